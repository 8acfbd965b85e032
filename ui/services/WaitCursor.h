#pragma once

// Shows and restores the busy cursor. Replaceable in tests.
class IWaitCursorService {
public:
    virtual ~IWaitCursorService() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;
};

class CQtWaitCursorService : public IWaitCursorService {
public:
    void Begin() override;
    void End() override;
};

// Shows the wait cursor for the life of the scope.
class CWaitCursor {
public:
    explicit CWaitCursor(IWaitCursorService& service) : m_service(service) { m_service.Begin(); }
    ~CWaitCursor() { m_service.End(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    IWaitCursorService& m_service;
};
