#pragma once
// Once a day while the window runs, a backup of the Collection into the folder "backups"
// beside it (~/.local/share/Veltrix/backups), the last seven kept. The backup runs on a
// thread of its own at the lowest priority; a failure is told once in the status bar.

#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class CCollectionService;
class ICommandHost;

class CCollectionDailyBackup : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t KEPT = 7;

    CCollectionDailyBackup(CCollectionService& service, ICommandHost& host, QObject* parent);
    ~CCollectionDailyBackup() override;

    // Starts a backup when none was made in the last 24 hours (what the timer calls).
    void BackUpIfDue();
    bool IsRunning() const { return m_thread.joinable(); }
    // Waits for a backup under way, and removes the oldest beyond the seven kept.
    void WaitUntilDone();

private:
    void Finish();

    CCollectionService& m_service;
    ICommandHost& m_host;
    QTimer m_timer;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    bool m_failed = false;
    std::string m_error;
    bool m_toldFailure = false;
};
