#include "CollectionMoves.h"

#include "Collection.h"

#include "CollectionDailyBackup.h"
#include "CollectionService.h"
#include "CollectionTakeIn.h"
#include "CollectionTask.h"
#include "Resources.h"
#include "host/CommandHost.h"
#include "services/FileDialogService.h"
#include "services/MessageBoxService.h"
#include "services/QuestionService.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

namespace {
constexpr int STATUS_MESSAGE_MS = 10000;
const char* const BACKUP_FILTER = "Collection Backups (*.sqlite)|*.sqlite|All Files (*.*)|*.*||";
const char* const BACKUP_EXTENSION = ".sqlite";
}  // namespace

CCollectionMoves::CCollectionMoves(CCollectionService& service, CCollectionTakeIn& takeIn,
                                   CCollectionDailyBackup* daily, ICommandHost& host, const CUiServices& services)
    : QObject(host.Window()), m_service(service), m_takeIn(takeIn), m_daily(daily), m_host(host),
      m_services(services), m_commands(host.Window(), host.Updater()), m_menu(new QMenu("Collec&tion", host.Window()))
{
    m_menu->setObjectName("collectionFileMenu");
    const auto idle = [this](CCmdUI& ui) { ui.Enable(!IsBusy()); };
    m_menu->addAction(m_commands.Add(ID_COLLECTION_BACK_UP, "&Back Up...", [this] { OnCollectionBackUp(); }, idle));
    m_menu->addAction(m_commands.Add(ID_COLLECTION_RESTORE, "&Restore...", [this] { OnCollectionRestore(); }, idle));
    m_menu->addAction(m_commands.Add(ID_COLLECTION_MERGE, "&Merge...", [this] { OnCollectionMerge(); }, idle));
}

CCollectionMoves::~CCollectionMoves() = default;

bool CCollectionMoves::IsBusy() const
{
    return m_task && m_task->IsRunning();
}

void CCollectionMoves::Say(const QString& text)
{
    m_host.ShowStatusMessage(text, STATUS_MESSAGE_MS);
}

void CCollectionMoves::Fail(const QString& text)
{
    m_services.messageBox->Show(m_host.Window(), text, MessageIcon::Exclamation);
}

void CCollectionMoves::Run(const QString& label, Work work, Done done)
{
    m_task = std::make_unique<CCollectionTask>(m_host.Window(), label, std::move(work), std::move(done));
}

void CCollectionMoves::OnCollectionBackUp()
{
    if (IsBusy())
        return;
    const QString target = m_services.fileDialogs->GetSaveFileName(m_host.Window(), BACKUP_FILTER, BACKUP_EXTENSION);
    if (target.isEmpty())
        return;
    const std::string path = m_service.Path();
    auto written = std::make_shared<std::string>();
    Run("Backing up the Collection...",
        [path, target = QFileInfo(target).absoluteFilePath().toStdString(), written](
            const CCollectionProgress& progress, std::string& error) {
            return BackUpCollection(path, target, progress, *written, error);
        },
        [this, written](CollectionCopyOutcome outcome, const QString& error) {
            if (outcome == CollectionCopyOutcome::Done)
                Say(QString("The Collection was backed up to %1").arg(QString::fromStdString(*written)));
            else if (outcome == CollectionCopyOutcome::Cancelled)
                Say("Back Up stopped: no file was written");
            else
                Fail(error);
        });
}

void CCollectionMoves::OnCollectionRestore()
{
    if (IsBusy())
        return;
    const QStringList chosen = m_services.fileDialogs->GetOpenFileNames(m_host.Window(), BACKUP_FILTER, BACKUP_EXTENSION);
    if (chosen.isEmpty())
        return;
    const QString copy = QFileInfo(chosen.front()).absoluteFilePath();
    const QString path = QString::fromStdString(m_service.Path());
    const QString question
        = QString("Restore replaces the Collection with the backup %1.\n\nThe Collection in use now is kept beside it, "
                  "as %2.before-restore- followed by the date and time.")
              .arg(copy, QFileInfo(path).fileName());
    if (!QuestionsOf(m_services).AskConfirm(m_host.Window(), question, "&Restore"))
        return;

    // Every connection of the window is closed while the copy goes in: a restore is refused
    // while anything has the Collection open.
    if (m_daily != nullptr)
        m_daily->WaitUntilDone();
    m_takeIn.Pause();
    m_service.Suspend();
    auto setAside = std::make_shared<std::string>();
    Run("Restoring the Collection...",
        [path = path.toStdString(), copy = copy.toStdString(), setAside](const CCollectionProgress& progress,
                                                                         std::string& error) {
            return RestoreCollection(path, copy, progress, *setAside, error);
        },
        [this, copy, setAside](CollectionCopyOutcome outcome, const QString& error) {
            m_service.Resume();
            m_takeIn.Resume();
            if (outcome == CollectionCopyOutcome::Done) {
                m_service.NotifyChanged();
                Say(setAside->empty() ? QString("The Collection is now the backup %1").arg(copy)
                                      : QString("The Collection is now the backup %1; the one before it is kept as %2")
                                            .arg(copy, QString::fromStdString(*setAside)));
            } else if (outcome == CollectionCopyOutcome::Cancelled) {
                Say("Restore stopped: the Collection is as it was");
            } else {
                Fail(error);
            }
        });
}

void CCollectionMoves::OnCollectionMerge()
{
    if (IsBusy())
        return;
    const QStringList chosen = m_services.fileDialogs->GetOpenFileNames(m_host.Window(), BACKUP_FILTER, BACKUP_EXTENSION);
    if (chosen.isEmpty())
        return;
    const QString other = QFileInfo(chosen.front()).absoluteFilePath();
    auto result = std::make_shared<CMergeResult>();
    // A connection of its own, on the task's thread; the window's stays usable meanwhile.
    Run("Merging " + QFileInfo(other).fileName() + " into the Collection...",
        [path = m_service.Path(), other = other.toStdString(), result](const CCollectionProgress& progress,
                                                                        std::string& error) {
            std::string notice;
            std::unique_ptr<CCollection> collection = CCollection::Open(path, error, notice);
            if (!collection)
                return CollectionCopyOutcome::CollectionFailed;
            return collection->Merge(other, progress, *result, error);
        },
        [this, other, result](CollectionCopyOutcome outcome, const QString& error) {
            if (result->sources > 0 || result->lists > 0 || outcome == CollectionCopyOutcome::Done)
                m_service.NotifyChanged();
            if (outcome == CollectionCopyOutcome::Cancelled) {
                Say("Merge stopped: the sources taken in so far are kept; merge again to take in the rest");
            } else if (outcome != CollectionCopyOutcome::Done) {
                Fail(error);
            } else {
                QString text = QString("Merged %1: %2 sources, %3 programs and %4 lists were new")
                                   .arg(other)
                                   .arg(result->sources)
                                   .arg(result->programs)
                                   .arg(result->lists);
                for (const auto& [name, kept] : result->renamedLists)
                    text += QString("; its list \"%1\" is kept as \"%2\"")
                                .arg(QString::fromStdString(name), QString::fromStdString(kept));
                Say(text);
            }
        });
}
