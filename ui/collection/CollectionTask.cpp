#include "CollectionTask.h"

#include <QProgressDialog>
#include <QWidget>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
constexpr int POLL_MS = 50;
constexpr int SHOW_AFTER_MS = 400;
constexpr int DIALOG_STEPS = 1000;
}  // namespace

CCollectionTask::CCollectionTask(QWidget* window, const QString& label, Work work, Done done)
    : QObject(window), m_dialog(new QProgressDialog(label, "Cancel", 0, DIALOG_STEPS, window)), m_done(std::move(done))
{
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(SHOW_AFTER_MS);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setValue(0);
    connect(m_dialog, &QProgressDialog::canceled, this, &CCollectionTask::Cancel);
    connect(&m_poll, &QTimer::timeout, this, &CCollectionTask::Poll);
    m_poll.start(POLL_MS);

    m_thread = std::thread([this, work = std::move(work)] {
        // Below the window: a backup of a large Collection reads it all.
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
        const CCollectionProgress progress = [this](std::int64_t done, std::int64_t total) {
            m_doneSteps = done;
            m_totalSteps = total;
            return !m_cancel.load();
        };
        m_outcome = work(progress, m_error);
        m_workEnded = true;
    });
}

CCollectionTask::~CCollectionTask()
{
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
    delete m_dialog.data();
}

void CCollectionTask::Cancel()
{
    m_cancel = true;
    if (m_dialog && m_running)
        m_dialog->setLabelText("Stopping...");
}

void CCollectionTask::Poll()
{
    if (m_workEnded) {
        Finish();
        return;
    }
    const std::int64_t total = m_totalSteps;
    if (total > 0 && m_dialog)
        m_dialog->setValue(static_cast<int>(m_doneSteps * DIALOG_STEPS / total));
}

void CCollectionTask::WaitUntilDone()
{
    if (m_thread.joinable())
        m_thread.join();
    Finish();
}

void CCollectionTask::Finish()
{
    if (!m_running)
        return;
    m_running = false;
    m_poll.stop();
    if (m_thread.joinable())
        m_thread.join();
    if (m_dialog)
        m_dialog->hide();
    if (m_done)
        m_done(m_outcome, QString::fromStdString(m_error));
}
