#pragma once
// The window's one handle on the Collection: its database connection for the window's own
// thread, opened on first use. When the Collection cannot be used the status bar says so
// once, and the window goes on without it; a damaged file that was set aside is told in a
// message box, once the event loop is back (never inside a show or a paint). Once a week, a
// while after the Collection is first used, its full check runs on a worker thread with a
// connection of its own, and what it finds is told. Whatever in the window changes the
// Collection says so through changed(), so that the views showing it look again.

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

class CCollection;
class CProtectedFiles;
class ICommandHost;
class IMessageBoxService;

class CCollectionService : public QObject {
    Q_OBJECT
public:
    // The database at `path`, or at CCollection::DefaultPath() when `path` is empty.
    CCollectionService(ICommandHost& host, IMessageBoxService& messages, const std::string& path = {},
                       QObject* parent = nullptr);
    ~CCollectionService() override;

    // The connection for the window's thread, opened on the first call; null when the
    // Collection cannot be used (told once in the status bar; tried again a while later).
    // Never hold it across a return to the event loop without asking again.
    CCollection* Collection();
    // The database file, for workers that open a connection of their own.
    const std::string& Path() const { return m_path; }

    // A failure of something the window asked of the Collection: a note in the status bar.
    void ReportFailure(const QString& text);
    // The Collection cannot be used: `error` in the status bar, once a session.
    void ReportUnusable(const std::string& error);
    // A damaged database was set aside and a new one started: told in a message box as soon
    // as the event loop runs.
    void ReportNotice(const std::string& notice);
    // Tells the views that the window changed the Collection.
    void NotifyChanged() { emit changed(); }

    // Closes the window's connection and opens none until Resume(): while a restore puts
    // another file in the Collection's place, Collection() gives null.
    void Suspend();
    void Resume();
    bool IsSuspended() const { return m_suspended; }

signals:
    // The window changed something in the Collection (took files in, marked, renamed...).
    void changed();

private:
    // The weekly full check, on its worker; its findings come back to the window's thread.
    void StartWeeklyCheck();
    void ReportCheck(bool ran, bool clean, const QString& text);

    ICommandHost& m_host;
    IMessageBoxService& m_messages;
    std::string m_path;
    // Its files neither read as dumps nor saved over, from any of the window's commands.
    std::unique_ptr<CProtectedFiles> m_protected;
    std::unique_ptr<CCollection> m_collection;
    QElapsedTimer m_sinceFailure;   // valid after a failed open
    bool m_toldUnusable = false;
    bool m_suspended = false;
    bool m_checkPlanned = false;
    std::thread m_checker;
    std::atomic<bool> m_checking{false};
};
