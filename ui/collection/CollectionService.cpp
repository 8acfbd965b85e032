#include "CollectionService.h"

#include "Collection.h"
#include "host/CommandHost.h"
#include "services/MessageBoxService.h"

#include <QTimer>

namespace {
// After a failed open, the next attempt waits this long: a locked database holds each
// attempt for its busy timeout, and the window should not stall on every use.
constexpr qint64 RETRY_AFTER_MS = 60000;
}  // namespace

CCollectionService::CCollectionService(ICommandHost& host, IMessageBoxService& messages, const std::string& path,
                                       QObject* parent)
    : QObject(parent), m_host(host), m_messages(messages), m_path(path.empty() ? CCollection::DefaultPath() : path)
{
}

CCollectionService::~CCollectionService() = default;

CCollection* CCollectionService::Collection()
{
    if (m_collection)
        return m_collection.get();
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
    return m_collection.get();
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
