#include "CollectionDailyBackup.h"

#include "CollectionBackup.h"
#include "CollectionService.h"
#include "CollectionTime.h"
#include "host/CommandHost.h"

#include <QString>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// Not at start, which must stay quick; then a look every hour.
constexpr int FIRST_LOOK_MS = 60 * 1000;
constexpr int LOOK_EVERY_MS = 60 * 60 * 1000;
}  // namespace

CCollectionDailyBackup::CCollectionDailyBackup(CCollectionService& service, ICommandHost& host, QObject* parent)
    : QObject(parent), m_service(service), m_host(host)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        BackUpIfDue();
        m_timer.start(LOOK_EVERY_MS);
    });
    m_timer.start(FIRST_LOOK_MS);
}

CCollectionDailyBackup::~CCollectionDailyBackup()
{
    m_cancel = true;
    if (m_thread.joinable())
        m_thread.join();
}

void CCollectionDailyBackup::BackUpIfDue()
{
    const std::string path = m_service.Path();
    const std::string folder = DailyBackupFolder(path);
    std::error_code failure;
    if (IsRunning() || m_service.IsSuspended() || !std::filesystem::exists(path, failure)
        || !DailyBackupDue(folder, NowSeconds()))
        return;
    std::filesystem::create_directories(folder, failure);
    m_failed = false;
    m_thread = std::thread([this, path, folder] {
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
        std::string written;
        const CollectionCopyOutcome outcome = BackUpCollection(
            path, folder, [this](std::int64_t, std::int64_t) { return !m_cancel.load(); }, written, m_error);
        m_failed = outcome != CollectionCopyOutcome::Done && outcome != CollectionCopyOutcome::Cancelled;
        QMetaObject::invokeMethod(this, [this] { Finish(); }, Qt::QueuedConnection);
    });
}

void CCollectionDailyBackup::WaitUntilDone()
{
    Finish();
}

void CCollectionDailyBackup::Finish()
{
    if (!m_thread.joinable())
        return;
    m_thread.join();
    if (m_failed) {
        if (!m_toldFailure)
            m_host.ShowStatusMessage(QString("The daily backup of the Collection failed: %1")
                                         .arg(QString::fromStdString(m_error)), 0);
        m_toldFailure = true;
        return;
    }
    for (const std::string& old : DailyBackupsBeyond(DailyBackupFolder(m_service.Path()), KEPT))
        std::remove(old.c_str());
}
