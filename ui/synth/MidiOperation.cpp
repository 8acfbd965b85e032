#include "MidiOperation.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace {
constexpr int PROGRESS_REFRESH_MS = 100;

// A progress dialog that never closes itself: Cancel, Escape and the close button only
// ask for the cancel, and the operation closes the dialog once its worker has ended.
class CTransferDialog : public QProgressDialog {
public:
    explicit CTransferDialog(QWidget* parent) : QProgressDialog(parent)
    {
        // The bar is set directly: QProgressDialog::setValue would run the event loop
        // from inside the refresh of a modal dialog.
        m_bar = new QProgressBar(this);
        setBar(m_bar);
        // QProgressDialog hides itself on its own canceled(); it connects the two by name,
        // so only a disconnect by name undoes it.
        disconnect(this, SIGNAL(canceled()), this, SLOT(cancel()));
        setAutoClose(false);
        setAutoReset(false);
        setMinimumDuration(0);
        setWindowModality(Qt::WindowModal);
    }

    void SetProgress(std::size_t done, std::size_t total)
    {
        // QProgressBar counts in int; a dump is far below its limit.
        const auto limit = static_cast<std::size_t>(std::numeric_limits<int>::max());
        m_bar->setRange(0, static_cast<int>(std::min(total, limit)));
        m_bar->setValue(static_cast<int>(std::min(done, total)));
    }

    void reject() override { emit canceled(); }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        emit canceled();
    }

private:
    QProgressBar* m_bar;
};
}  // namespace

CMidiOperation::CMidiOperation(QWidget* window)
    : QObject(window), m_window(window), m_timer(new QTimer(this))
{
    m_timer->setInterval(PROGRESS_REFRESH_MS);
    connect(m_timer, &QTimer::timeout, this, &CMidiOperation::ShowProgress);
}

CMidiOperation::~CMidiOperation()
{
    CancelAndWait();
}

bool CMidiOperation::Start(std::size_t total, Describe describe, Work work, Finished finished)
{
    if (IsRunning())
        return false;
    m_cancel = false;
    m_done = 0;
    m_total = total;
    m_describe = std::move(describe);
    m_finished = std::move(finished);

    auto* dialog = new CTransferDialog(m_window);
    m_dialog = dialog;
    dialog->setWindowTitle(m_window->windowTitle());
    connect(dialog, &QProgressDialog::canceled, this, &CMidiOperation::OnCancelClicked);
    ShowProgress();
    dialog->show();
    m_timer->start();

    const unsigned int generation = ++m_generation;
    m_thread = std::thread([this, generation, work = std::move(work)] {
        work(m_cancel, [this](std::size_t done, std::size_t all) {
            m_total = all;
            m_done = done;
        });
        // Queued to the window's thread; dropped with this object if it is gone by then.
        QMetaObject::invokeMethod(this, [this, generation] { OnWorkDone(generation); }, Qt::QueuedConnection);
    });
    return true;
}

void CMidiOperation::ShowProgress()
{
    auto* dialog = static_cast<CTransferDialog*>(m_dialog);
    if (dialog == nullptr)
        return;
    const std::size_t done = m_done;
    const std::size_t total = m_total;
    dialog->SetProgress(done, total);
    if (!m_cancel)
        dialog->setLabelText(m_describe ? m_describe(done, total) : QString());
}

void CMidiOperation::OnCancelClicked()
{
    if (m_dialog == nullptr || m_cancel)
        return;
    m_cancel = true;
    m_dialog->setLabelText("Cancelling...");
}

void CMidiOperation::OnWorkDone(unsigned int generation)
{
    if (generation == m_generation && IsRunning())
        End(false);
}

void CMidiOperation::CancelAndWait()
{
    if (!IsRunning())
        return;
    m_cancel = true;
    End(true);
}

void CMidiOperation::End(bool aborted)
{
    m_thread.join();
    m_timer->stop();
    if (m_dialog != nullptr) {
        m_dialog->hide();
        m_dialog->deleteLater();
        m_dialog = nullptr;
    }
    Finished finished = std::move(m_finished);
    m_finished = nullptr;
    m_describe = nullptr;
    if (finished)
        finished(aborted);
}
