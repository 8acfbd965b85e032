#pragma once
// While many commits follow one another (an import of many files), the write-ahead log is
// written back into the file by a thread of its own rather than after each commit on the
// writer's: the disk syncs that a write-back ends with then cost the import no time. The
// log is kept short all the same: once it holds `foregroundBytes`, the next commit writes
// back what is left on the writer's thread (little, the thread having done the rest), and
// the log starts again from its beginning.

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class CSqliteDb;
struct sqlite3;

class CBackgroundCheckpoints
{
public:
    // Null when the file can't be opened a second time (the writer then writes back as before).
    static std::unique_ptr<CBackgroundCheckpoints> Start(CSqliteDb& writer, std::int64_t foregroundBytes);
    // Waits for a write-back in progress; the writer writes back after its commits again.
    ~CBackgroundCheckpoints();
    CBackgroundCheckpoints(const CBackgroundCheckpoints&) = delete;
    CBackgroundCheckpoints& operator=(const CBackgroundCheckpoints&) = delete;

    // The write-backs done on the thread so far (for tests).
    int Done() const;

private:
    CBackgroundCheckpoints(CSqliteDb& writer, std::unique_ptr<CSqliteDb> own, int foregroundFrames,
                           int autocheckpointPages, std::int64_t journalLimit);
    // SQLite's hook after each commit of the writer, with the frames the log holds.
    static int Committed(void* self, sqlite3* db, const char* name, int frames);
    void AfterCommit(int frames);
    void Run();

    CSqliteDb& m_writer;
    std::unique_ptr<CSqliteDb> m_own;   // the thread's connection
    const int m_foregroundFrames;
    const int m_autocheckpointPages;    // the writer's own settings, given back at the end
    const std::int64_t m_journalLimit;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_asked = false;     // a commit came since the thread last began a write-back
    bool m_busy = false;
    bool m_stopping = false;
    int m_done = 0;
    std::thread m_thread;
};
