#pragma once
// A long task on the whole Collection (a backup, a restore, a merge) run on a thread of its
// own, with a progress dialog and Cancel over the window: the window stays live meanwhile.
// The task is told to stop when Cancel is pressed, and says itself how it ended.

#include "CollectionBackup.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class QWidget;

class CCollectionTask : public QObject {
    Q_OBJECT
public:
    // Runs on the task's thread; `error` tells what went wrong.
    using Work = std::function<CollectionCopyOutcome(const CCollectionProgress& progress, std::string& error)>;
    // Back on the window's thread, once the work returned.
    using Done = std::function<void(CollectionCopyOutcome outcome, const QString& error)>;

    // Starts `work` at once; the dialog shows `label` when the work takes longer than a blink.
    CCollectionTask(QWidget* window, const QString& label, Work work, Done done);
    ~CCollectionTask() override;

    bool IsRunning() const { return m_running; }
    QProgressDialog* Dialog() const { return m_dialog.data(); }
    // What Cancel does.
    void Cancel();
    // Waits for the work and tells how it ended (tests).
    void WaitUntilDone();

private:
    void Poll();
    void Finish();

    QPointer<QProgressDialog> m_dialog;   // a child of the window, for its modality
    QTimer m_poll;
    Done m_done;
    std::thread m_thread;
    std::atomic<std::int64_t> m_doneSteps{0};
    std::atomic<std::int64_t> m_totalSteps{0};
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_workEnded{false};
    bool m_running = true;
    CollectionCopyOutcome m_outcome = CollectionCopyOutcome::Done;
    std::string m_error;
};
