#pragma once
#include <condition_variable>
#include <mutex>

// A manual-reset event: once set it stays signalled, and every Wait returns at once,
// until Reset. The MIDI service sets it from its own thread when a device has opened,
// has closed, or has finished with a long message; the sender resets it and waits.
// The methods are virtual so that tests can watch the order of the calls.
class CMidiEvent
{
public:
    CMidiEvent() = default;
    virtual ~CMidiEvent() = default;
    CMidiEvent(const CMidiEvent&) = delete;
    CMidiEvent& operator=(const CMidiEvent&) = delete;

    virtual void Set();
    virtual void Reset();
    // Waits until the event is signalled or `timeoutMs` milliseconds have passed.
    // Returns true when it was signalled, false on timeout.
    virtual bool Wait(unsigned int timeoutMs);
    bool IsSet() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_signalled;
    bool m_set = false;
};
