#pragma once
// Taking into the Collection what the window opens and receives: every file an Open read
// (its dialog, a drop, the command line, Recent Files) while File > "Keep Opened Files in
// Collection" is ticked (the default; remembered in the settings), and every dump received
// from the synthesizer, as a synth source. The work runs on a thread of its own with its
// own connection, after the grid was filled, so Open is neither slowed down nor made to
// fail by it. Files that come together are taken in together, many to a transaction
// (CImportBatch). When the window goes, the files taken in so far are committed and the
// files still waiting are left; received dumps are always kept.

#include <QObject>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CCollectionService;
class ICommandHost;
class ILoadedList;
class IProfile;
class QAction;

class CCollectionTakeIn : public QObject {
    Q_OBJECT
public:
    CCollectionTakeIn(CCollectionService& service, ICommandHost& host, ILoadedList& library, IProfile& profile);
    ~CCollectionTakeIn() override;

    // File > Keep Opened Files in Collection.
    QAction* KeepAction() const { return m_keepAction; }
    bool KeepsOpenedFiles() const;

    // Takes the files in, in the background; nothing while Keep is unticked.
    void TakeInFiles(const QStringList& paths);
    // Takes in a dump received from the synthesizer at `receivedAt` (seconds since the
    // epoch), in the background.
    void TakeInSynthDump(const std::vector<unsigned char>& dump, std::int64_t receivedAt);

    // Waits until everything asked for was taken in and its outcome told (tests, closing).
    void WaitUntilIdle();

    // Finishes the file under way and commits those before it, closes the connection and takes nothing more in until
    // Resume(); what is asked for meanwhile waits. Returns once the connection is closed.
    void Pause();
    void Resume();

private:
    struct Job {
        QString path;                       // a file, or empty for a received dump
        std::vector<unsigned char> dump;
        std::int64_t receivedAt = 0;
    };
    struct Outcome {
        std::string unusable;               // why the database could not be opened
        std::string notice;                 // a damaged database was set aside
        QStringList failures;               // "<file>: <reason>" for files not taken in
        bool changed = false;
    };

    void Enqueue(Job job);
    // The worker thread: takes the jobs in as they come, until the window goes.
    void Work();
    // Back on the window's thread: tells what a run of jobs came to.
    void Tell(const Outcome& outcome);

    CCollectionService& m_service;
    IProfile& m_profile;
    QAction* m_keepAction = nullptr;
    const std::string m_path;

    std::mutex m_mutex;
    std::condition_variable m_wake;    // jobs came, or the window goes
    std::condition_variable m_idle;    // the jobs ran out
    std::deque<Job> m_jobs;
    bool m_busy = false;         // the worker is on a job
    bool m_closing = false;      // the window goes: files still waiting are left
    bool m_paused = false;       // Pause(): nothing is taken in
    bool m_released = false;     // the worker has no connection while paused
    std::thread m_worker;        // started with the first job
};
