#pragma once
// Where the Collection view reads: on a thread of its own, with its own connection to the
// database file, so that a read of many rows never holds up the window; or, without a file
// to open (tests, benchmarks), at once on the window's connection. A read is a job run on a
// connection that returns what to do with its outcome on the window's thread. A job waiting
// to run is dropped for a newer one of the same kind: only the latest search counts.

#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CCollection;

class CCollectionReader : public QObject {
    Q_OBJECT
public:
    // What a job hands back to the window's thread.
    using Outcome = std::function<void()>;
    using Job = std::function<Outcome(CCollection& collection)>;
    // The window's connection (null while there is none).
    using Local = std::function<CCollection*()>;

    explicit CCollectionReader(QObject* parent = nullptr);
    ~CCollectionReader() override;

    // `path` empty: jobs run at once on `local`. Otherwise on the thread, which opens `path`.
    void SetSource(Local local, const std::string& path);
    bool ReadsApart() const { return !m_path.empty(); }

    // Runs the job (at once, or on the thread); its outcome runs on the window's thread.
    void Post(int kind, Job job);
    // Frees what is handed over on the thread (at once when jobs run at once): memory of
    // many rows takes a while to give back.
    void FreeApart(std::shared_ptr<void> garbage);
    // Whether a job waits or runs, or its outcome waits to be handled.
    bool Busy();
    // Whether a job waits or runs, outcomes aside (tests).
    bool Reading();
    // Waits until every job posted has run and its outcome was handled (tests, benchmarks).
    void WaitUntilIdle();

private:
    struct Waiting {
        int kind;
        Job job;
    };
    void Work();
    void Stop();
    void Deliver(Outcome outcome);

    Local m_local;
    std::string m_path;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Waiting> m_jobs;
    std::vector<std::shared_ptr<void>> m_garbage;
    int m_delivering = 0;       // outcomes posted to the window's thread, not handled yet
    bool m_busy = false;
    bool m_closing = false;
    std::thread m_worker;
};
