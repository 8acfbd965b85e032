#pragma once
// A long MIDI transfer (a dump received, a bank sent) run on a worker thread while the
// window stays responsive: a window-modal progress dialog shows how far it got and offers
// Cancel, and the outcome is handed back on the window's thread. The dialog stays up until
// the worker has really ended, so nothing else can use the MIDI port meanwhile.

#include <QObject>
#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

class QProgressDialog;
class QTimer;
class QWidget;

class CMidiOperation : public QObject {
    Q_OBJECT
public:
    using Progress = std::function<void(std::size_t done, std::size_t total)>;
    // Runs on the worker thread; looks at `cancel` often and reports through `progress`.
    using Work = std::function<void(const std::atomic<bool>& cancel, const Progress& progress)>;
    // Runs on the window's thread once the worker has ended; `aborted` when CancelAndWait
    // ended it (the port went away, the window closes) rather than the work itself.
    using Finished = std::function<void(bool aborted)>;
    // The dialog's text for the progress so far.
    using Describe = std::function<QString(std::size_t done, std::size_t total)>;

    explicit CMidiOperation(QWidget* window);
    ~CMidiOperation() override;

    bool IsRunning() const { return m_thread.joinable(); }
    // Starts `work` with the dialog showing `describe(0, total)`. Only one at a time:
    // false, and nothing started, while another runs.
    bool Start(std::size_t total, Describe describe, Work work, Finished finished);
    // Tells the work to stop, waits for the worker, closes the dialog and calls the
    // finished step with aborted = true. Nothing happens when nothing runs.
    void CancelAndWait();

    // The dialog of the running operation, or null.
    QProgressDialog* Dialog() const { return m_dialog; }

private:
    void OnWorkDone(unsigned int generation);
    void ShowProgress();
    void OnCancelClicked();
    void End(bool aborted);

    QWidget* m_window;
    QProgressDialog* m_dialog = nullptr;
    QTimer* m_timer;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<std::size_t> m_done{0};
    std::atomic<std::size_t> m_total{0};
    unsigned int m_generation = 0;   // tells a finished worker's note from an older one's
    Describe m_describe;
    Finished m_finished;
};
