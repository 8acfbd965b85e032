#include "BackgroundCheckpoints.h"

#include "SqliteDb.h"

#include <sqlite3.h>

#include <algorithm>
#include <optional>

std::unique_ptr<CBackgroundCheckpoints> CBackgroundCheckpoints::Start(CSqliteDb& writer, std::int64_t foregroundBytes)
{
    const auto setting = [&writer](const char* pragma) -> std::optional<std::int64_t> {
        CSqliteQuery query(writer, pragma);
        return query.Next() ? std::optional<std::int64_t>(query.Int(0)) : std::nullopt;
    };
    const std::int64_t pageSize = setting("PRAGMA page_size").value_or(0);
    const auto autocheckpoint = static_cast<int>(setting("PRAGMA wal_autocheckpoint").value_or(0));
    const std::optional<std::int64_t> journalLimit = setting("PRAGMA journal_size_limit");
    // Only where the writer writes back on its own, to a file a second connection can open.
    if (pageSize <= 0 || autocheckpoint <= 0 || !journalLimit || writer.ReadOnly())
        return nullptr;
    int code = 0;
    std::string error;
    std::unique_ptr<CSqliteDb> own = CSqliteDb::OpenExisting(writer.Path(), false, code, error);
    if (!own)
        return nullptr;
    // A connection finds the log when it first reads: until then a write-back does nothing.
    {
        CSqliteQuery mode(*own, "PRAGMA journal_mode");
        if (!mode.Next() || mode.Text(0) != "wal")
            return nullptr;
    }
    const auto frames = static_cast<int>(std::max<std::int64_t>(foregroundBytes / pageSize, autocheckpoint));
    return std::unique_ptr<CBackgroundCheckpoints>(
        new CBackgroundCheckpoints(writer, std::move(own), frames, autocheckpoint, *journalLimit));
}

CBackgroundCheckpoints::CBackgroundCheckpoints(CSqliteDb& writer, std::unique_ptr<CSqliteDb> own, int foregroundFrames,
                                               int autocheckpointPages, std::int64_t journalLimit)
    : m_writer(writer), m_own(std::move(own)), m_foregroundFrames(foregroundFrames),
      m_autocheckpointPages(autocheckpointPages), m_journalLimit(journalLimit)
{
    // Cut back to its limit each time it starts again, the log would have its blocks freed
    // and taken again (on a disk that discards them, a wait each time): it keeps its length
    // until the writer's own limit is given back.
    m_writer.Exec("PRAGMA journal_size_limit = -1");
    m_thread = std::thread([this] { Run(); });
    // In place of the writer's own write-back after each commit (one hook a connection).
    sqlite3_wal_hook(m_writer.Handle(), &CBackgroundCheckpoints::Committed, this);
}

CBackgroundCheckpoints::~CBackgroundCheckpoints()
{
    sqlite3_wal_autocheckpoint(m_writer.Handle(), m_autocheckpointPages);
    m_writer.Exec(("PRAGMA journal_size_limit = " + std::to_string(m_journalLimit)).c_str());
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

int CBackgroundCheckpoints::Done() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_done;
}

int CBackgroundCheckpoints::Committed(void* self, sqlite3*, const char*, int frames)
{
    static_cast<CBackgroundCheckpoints*>(self)->AfterCommit(frames);
    return SQLITE_OK;
}

void CBackgroundCheckpoints::AfterCommit(int frames)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (frames < m_foregroundFrames) {
        m_asked = true;
        lock.unlock();
        m_changed.notify_all();
        return;
    }
    // Long enough: what the thread has not written back yet is written here, and the next
    // transaction starts the log again. Far too long (the thread lagging behind a slow
    // disk), the writer first waits for the thread, whose write-back would hold this one off.
    if (m_busy && frames < 2 * m_foregroundFrames)
        return;
    m_changed.wait(lock, [this] { return !m_busy; });
    m_asked = false;
    lock.unlock();
    // A failure leaves the frames in the log, read from there and written back later.
    sqlite3_wal_checkpoint_v2(m_writer.Handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
}

void CBackgroundCheckpoints::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_asked || m_stopping; });
        if (m_stopping)
            return;
        m_asked = false;
        m_busy = true;
        lock.unlock();
        // Passive: it neither waits for nor holds off the writer, and copies the frames of
        // the commits made so far; a failure (busy, the disk) leaves them for the next one.
        sqlite3_wal_checkpoint_v2(m_own->Handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        lock.lock();
        m_busy = false;
        ++m_done;
        m_changed.notify_all();
    }
}
