#include "CollectionService.h"

#include "Collection.h"
#include "FileMoves.h"
#include "host/CommandHost.h"
#include "services/MessageBoxService.h"
#include "services/ProtectedFiles.h"

#include <QFile>
#include <QMetaObject>
#include <QTimer>

namespace {
// After a failed open, the next attempt waits this long: a locked database holds each
// attempt for its busy timeout, and the window should not stall on every use.
constexpr qint64 RETRY_AFTER_MS = 60000;
// The weekly check waits this long after the first use, so as not to compete with starting.
constexpr int CHECK_AFTER_MS = 120000;
}  // namespace

CCollectionService::CCollectionService(ICommandHost& host, IMessageBoxService& messages, const std::string& path,
                                       QObject* parent)
    : QObject(parent), m_host(host), m_messages(messages), m_path(path.empty() ? CCollection::DefaultPath() : path)
{
    m_protected = std::make_unique<CProtectedFiles>([database = m_path](const QString& file) {
        return IsCollectionFile(QFile::encodeName(file).toStdString(), database)
            ? QStringLiteral("It is the Collection's own file")
            : QString();
    });
}

CCollectionService::~CCollectionService()
{
    if (m_checker.joinable())
        m_checker.join();
}

CCollection* CCollectionService::Collection()
{
    if (m_collection)
        return m_collection.get();
    if (m_suspended)
        return nullptr;
    if (m_sinceFailure.isValid() && m_sinceFailure.elapsed() < RETRY_AFTER_MS)
        return nullptr;

    std::string error;
    std::string notice;
    m_collection = CCollection::Open(m_path, error, notice);
    if (!notice.empty())
        ReportNotice(notice);
    if (!m_collection) {
        m_sinceFailure.start();
        ReportUnusable(error);
        return nullptr;
    }
    m_sinceFailure.invalidate();
    if (!m_checkPlanned && m_collection->FullCheckDue()) {
        m_checkPlanned = true;
        QTimer::singleShot(CHECK_AFTER_MS, this, [this] { StartWeeklyCheck(); });
    }
    return m_collection.get();
}

void CCollectionService::StartWeeklyCheck()
{
    if (m_checking.exchange(true))
        return;
    if (m_checker.joinable())
        m_checker.join();
    const std::string path = m_path;
    m_checker = std::thread([this, path] {
        std::string error, notice;
        CCollectionCheck report;
        // As it is: a worker never sets aside the file the window's own connection uses.
        std::unique_ptr<CCollection> collection = CCollection::OpenForReading(path, error, notice, true);
        const bool ran = collection && collection->FullCheck(report, error);
        QString text;
        if (ran && !report.fileIntact)
            text = "The Collection's weekly check found its file damaged. Keep a copy of it; veltrix-cli check "
                   "tells more.";
        else if (ran && !report.damagedSources.empty())
            text = QString("The Collection's weekly check found %1 damaged sources (veltrix-cli check lists them).")
                       .arg(report.damagedSources.size());
        collection.reset();
        const bool clean = ran && report.Clean();
        // The service outlives its worker (it joins it when it goes); a report still queued
        // when it goes is dropped with it.
        QMetaObject::invokeMethod(
            this, [this, ran, clean, text] { ReportCheck(ran, clean, text); }, Qt::QueuedConnection);
    });
}

void CCollectionService::ReportCheck(bool ran, bool clean, const QString& text)
{
    m_checking = false;
    std::string ignored;
    if (clean && m_collection)
        m_collection->NoteFullCheck(ignored);   // the worker's connection only read
    if (ran && !clean)
        ReportFailure(text);
}

void CCollectionService::ReportFailure(const QString& text)
{
    m_host.ShowStatusMessage(text, 0);
}

void CCollectionService::ReportNotice(const std::string& notice)
{
    // The first use may come while the window is being shown or painted (a view in sight
    // asks for its rows): a message box run in there would take the window down with it.
    // It is told once the event loop is back, with the window on the screen.
    QTimer::singleShot(0, this, [this, text = QString::fromStdString(notice)] {
        m_messages.Show(m_host.Window(), text, MessageIcon::Exclamation);
    });
}

void CCollectionService::ReportUnusable(const std::string& error)
{
    if (m_toldUnusable)
        return;
    m_toldUnusable = true;
    ReportFailure(QString::fromStdString(error));
}

void CCollectionService::Suspend()
{
    m_suspended = true;
    m_collection.reset();
}

void CCollectionService::Resume()
{
    m_suspended = false;
    m_sinceFailure.invalidate();   // the file may be another now: it is tried at once
}
