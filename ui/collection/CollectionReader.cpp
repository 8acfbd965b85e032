#include "CollectionReader.h"

#include "Collection.h"

#include <QCoreApplication>

CCollectionReader::CCollectionReader(QObject* parent) : QObject(parent) {}

CCollectionReader::~CCollectionReader()
{
    Stop();
}

void CCollectionReader::SetSource(Local local, const std::string& path)
{
    Stop();
    m_local = std::move(local);
    m_path = path;
}

void CCollectionReader::Stop()
{
    std::vector<std::shared_ptr<void>> garbage;   // freed here, once the thread is gone
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
        m_jobs.clear();
        garbage.swap(m_garbage);
    }
    m_wake.notify_all();
    if (m_worker.joinable())
        m_worker.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closing = false;
    m_busy = false;
}

void CCollectionReader::Post(int kind, Job job)
{
    if (m_path.empty()) {
        CCollection* collection = m_local ? m_local() : nullptr;
        if (collection != nullptr)
            job(*collection)();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (auto waiting = m_jobs.begin(); waiting != m_jobs.end();)
            waiting = waiting->kind == kind ? m_jobs.erase(waiting) : waiting + 1;
        m_jobs.push_back({kind, std::move(job)});
        if (!m_worker.joinable())
            m_worker = std::thread([this] { Work(); });
    }
    m_wake.notify_one();
}

void CCollectionReader::FreeApart(std::shared_ptr<void> garbage)
{
    if (m_path.empty() || !garbage)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_garbage.push_back(std::move(garbage));
        if (!m_worker.joinable())
            m_worker = std::thread([this] { Work(); });
    }
    m_wake.notify_one();
}

void CCollectionReader::Deliver(Outcome outcome)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_delivering;
    }
    // Dropped with the reader when the view goes first.
    QMetaObject::invokeMethod(
        this,
        [this, outcome = std::move(outcome)] {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                --m_delivering;
            }
            m_idle.notify_all();
            outcome();
        },
        Qt::QueuedConnection);
}

void CCollectionReader::Work()
{
    std::unique_ptr<CCollection> collection;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (m_jobs.empty())
            m_idle.notify_all();
        m_wake.wait(lock, [this] { return m_closing || !m_jobs.empty() || !m_garbage.empty(); });
        if (m_closing)
            return;
        if (!m_garbage.empty()) {
            std::vector<std::shared_ptr<void>> garbage = std::move(m_garbage);
            m_garbage.clear();
            lock.unlock();
            garbage.clear();
            lock.lock();
            continue;
        }
        Waiting waiting = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();

        if (!collection) {
            std::string error;
            std::string notice;
            collection = CCollection::Open(m_path, error, notice);
        }
        if (collection) {
            Deliver(waiting.job(*collection));
        } else {
            // Without a connection of its own the job runs on the window's, as it would
            // without a file; the window's handle tells why the database cannot be used.
            Deliver([this, job = std::move(waiting.job)] {
                if (CCollection* local = m_local ? m_local() : nullptr)
                    job(*local)();
            });
        }

        lock.lock();
        m_busy = false;
    }
}

bool CCollectionReader::Busy()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_busy || !m_jobs.empty() || m_delivering > 0;
}

bool CCollectionReader::Reading()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_busy || !m_jobs.empty();
}

void CCollectionReader::WaitUntilIdle()
{
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
            if (m_delivering == 0)
                return;
        }
        // An outcome may post another job: handle them until none is left.
        QCoreApplication::sendPostedEvents(this);
    }
}
