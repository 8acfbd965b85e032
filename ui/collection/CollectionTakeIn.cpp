#include "CollectionTakeIn.h"

#include "Collection.h"
#include "ImportBatch.h"
#include "CollectionService.h"
#include "host/CommandHost.h"
#include "host/LoadedList.h"
#include "services/Profile.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <memory>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
const char* const SECTION = "collection";
const char* const KEEP_KEY = "keepOpenedFiles";
}  // namespace

CCollectionTakeIn::CCollectionTakeIn(CCollectionService& service, ICommandHost& host, ILoadedList& library,
                                     IProfile& profile)
    : QObject(host.Window()), m_service(service), m_profile(profile), m_path(service.Path())
{
    m_keepAction = new QAction("Keep Opened Files &in Collection", host.Window());
    m_keepAction->setObjectName("keepOpenedFilesAction");
    m_keepAction->setCheckable(true);
    m_keepAction->setChecked(m_profile.GetProfileInt(SECTION, KEEP_KEY, 1) != 0);
    m_keepAction->setStatusTip("Take every file you open into the Collection");
    connect(m_keepAction, &QAction::toggled, this,
            [this](bool keep) { m_profile.WriteProfileInt(SECTION, KEEP_KEY, keep ? 1 : 0); });
    library.WhenFilesRead([this](const QStringList& paths) { TakeInFiles(paths); });
}

CCollectionTakeIn::~CCollectionTakeIn()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

bool CCollectionTakeIn::KeepsOpenedFiles() const
{
    return m_keepAction->isChecked();
}

void CCollectionTakeIn::TakeInFiles(const QStringList& paths)
{
    if (!KeepsOpenedFiles())
        return;
    for (const QString& path : paths)
        Enqueue(Job{QFileInfo(path).absoluteFilePath(), {}, 0});
}

void CCollectionTakeIn::TakeInSynthDump(const std::vector<unsigned char>& dump, std::int64_t receivedAt)
{
    Enqueue(Job{QString(), dump, receivedAt});
}

void CCollectionTakeIn::Enqueue(Job job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_closing)
            return;
        m_jobs.push_back(std::move(job));
        if (!m_worker.joinable())
            m_worker = std::thread([this] { Work(); });
    }
    m_wake.notify_one();
}

void CCollectionTakeIn::Work()
{
    // The lowest priority: taking in waits for the window and anything else that wants the
    // processor (an error here only leaves the priority as it was).
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
    std::unique_ptr<CCollection> collection;
    Outcome outcome;
    // Files that come together go into the Collection together, many to a transaction; each
    // counts once the transaction holding it committed.
    const auto told = [&outcome](const CImportBatch::COutcome& file) {
        if (!file.taken)
            outcome.failures.append(QString("%1: %2").arg(QFile::decodeName(file.path.c_str()),
                                                         QString::fromStdString(file.error)));
        else if (!file.result.alreadyKnown)
            outcome.changed = true;
    };
    std::unique_ptr<CImportBatch> batch;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        // The files still waiting when the window goes are left; received dumps are kept.
        if (m_closing) {
            while (!m_jobs.empty() && !m_jobs.front().path.isEmpty())
                m_jobs.pop_front();
        }
        // The files taken in so far are committed before anything but another file.
        if (batch && (m_paused || m_closing || m_jobs.empty() || m_jobs.front().path.isEmpty())) {
            lock.unlock();
            batch->Commit();
            batch.reset();
            lock.lock();
            m_busy = false;
            continue;
        }
        if (m_paused && !m_closing) {
            lock.unlock();
            batch.reset();
            collection.reset();
            lock.lock();
            m_released = true;
            m_idle.notify_all();
            m_wake.wait(lock, [this] { return m_closing || !m_paused; });
            m_released = false;
            outcome.unusable.clear();   // the next run tries the Collection again
            continue;
        }
        if (m_jobs.empty()) {
            if (!outcome.unusable.empty() || !outcome.notice.empty() || !outcome.failures.isEmpty()
                || outcome.changed) {
                // Told on the window's thread; dropped when the window is already gone.
                QMetaObject::invokeMethod(this, [this, outcome] { Tell(outcome); }, Qt::QueuedConnection);
                outcome = Outcome();
            }
            m_idle.notify_all();
            if (m_closing)
                return;
            m_wake.wait(lock, [this] { return m_closing || m_paused || !m_jobs.empty(); });
            continue;
        }
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();

        if (!collection && outcome.unusable.empty()) {   // one try a run: a locked file holds each
            std::string error;
            std::string notice;
            collection = CCollection::Open(m_path, error, notice);
            if (!notice.empty())
                outcome.notice = notice;
            if (!collection)
                outcome.unusable = error;
        }
        if (collection && !job.path.isEmpty()) {
            if (!batch)
                batch = std::make_unique<CImportBatch>(*collection, told);
            batch->Add(QFile::encodeName(job.path).toStdString());
        } else if (collection) {
            CImportResult result;
            std::string error;
            if (!collection->ImportSynthDump(job.dump, result, error, job.receivedAt))
                outcome.failures.append(QString("the received dump: %1").arg(QString::fromStdString(error)));
            else if (!result.alreadyKnown)
                outcome.changed = true;
        }

        lock.lock();
        m_busy = batch != nullptr;   // until its files are committed
    }
}

void CCollectionTakeIn::WaitUntilIdle()
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return (m_jobs.empty() && !m_busy) || m_released; });
    }
    QCoreApplication::sendPostedEvents(this);
}

void CCollectionTakeIn::Pause()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_paused = true;
    m_wake.notify_all();
    m_idle.wait(lock, [this] { return !m_worker.joinable() || m_released || m_closing; });
}

void CCollectionTakeIn::Resume()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_paused = false;
        m_released = false;   // what is asked from now on is waited for again
    }
    m_wake.notify_all();
}

void CCollectionTakeIn::Tell(const Outcome& outcome)
{
    if (!outcome.notice.empty())
        m_service.ReportNotice(outcome.notice);
    if (!outcome.unusable.empty())
        m_service.ReportUnusable(outcome.unusable);
    else if (!outcome.failures.isEmpty())
        m_service.ReportFailure(outcome.failures.size() == 1
                                    ? QString("Not kept in the Collection: %1").arg(outcome.failures.front())
                                    : QString("%1 files were not kept in the Collection. The first: %2")
                                          .arg(outcome.failures.size())
                                          .arg(outcome.failures.front()));
    if (outcome.changed)
        m_service.NotifyChanged();
}
