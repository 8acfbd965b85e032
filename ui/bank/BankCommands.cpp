#include "BankCommands.h"

#include "BankGrid.h"
#include "BankPane.h"
#include "InitProgram.h"
#include "ProgramList.h"
#include "ProgramMime.h"
#include "Resources.h"
#include "SyxProgram.h"
#include "grid/ProgramGrid.h"
#include "host/CommandHost.h"
#include "host/LoadedList.h"
#include "host/MidiLink.h"
#include "library/DisplayName.h"
#include "library/LibrarySources.h"
#include "library/SelectedRows.h"
#include "services/AtomicSave.h"
#include "services/FileDialogService.h"
#include "services/MessageBoxService.h"
#include "services/ProtectedFiles.h"
#include "services/QuestionService.h"
#include "services/WaitCursor.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QUndoGroup>
#include <QUndoStack>

#include <optional>

namespace {
constexpr int STATUS_MESSAGE_MS = 8000;
// The title of a bank started anew until it is saved.
const char* const NEW_BANK_NAME = "New Bank";

}  // namespace

CBankCommands::CBankCommands(ICommandHost& host, ILoadedList& library, IMidiLink& midi, const CUiServices& services)
    : QObject(host.Window()), m_host(host), m_library(library), m_midi(midi), m_services(services),
      m_commands(host.Window(), host.Updater()), m_pane(new CBankPane(*library.Grid(), host.Window()))
{
    m_host.AddPane(m_pane, Qt::RightDockWidgetArea);
    connect(m_pane, &CBankPane::auditionRequested, this, &CBankCommands::AuditionSlot);
    connect(m_pane, &CBankPane::bankReplaced, this, [this] {
        for (const BankReplacedHandler& handler : m_bankReplacedHandlers)
            handler();
    });
    connect(m_pane, &CBankPane::statusMessage, this,
            [this](const QString& text) { m_host.ShowStatusMessage(text, STATUS_MESSAGE_MS); });

    // Library rows can be dragged onto the bank; the grid itself takes no drops.
    CProgramGrid* grid = m_library.Grid();
    grid->SetDragSource([this](const std::vector<int>& rows) {
        std::vector<const CSyxProgram*> programs;
        for (int row : rows)
            if (const CSyxProgram* program = m_library.Programs().GetAt(row))
                programs.push_back(program);
        return programs.empty() ? nullptr : CreateProgramsMimeData(programs);
    });
    grid->setDragDropMode(QAbstractItemView::DragOnly);

    CreateCommands();
    AddToMenus();
    m_host.AddCloseGuard([this] { return MayReplaceBank(); });   // unsaved changes are asked about
}

QAction* CBankCommands::Action(int commandId) const
{
    return m_commands.Find(commandId);
}

void CBankCommands::CreateCommands()
{
    m_commands.Add(ID_FILE_NEW_BANK, "&New Bank", [this] { OnFileNewBank(); });
    m_commands.Add(ID_FILE_OPEN_BANK, "Open &Bank...", [this] { OnFileOpenBank(); });
    m_commands.Add(ID_FILE_SAVE_BANK, "Save Ban&k\tCtrl+S", [this] { OnFileSaveBank(); },
               [this](CCmdUI& ui) { OnUpdateHasBank(ui); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Action(ID_FILE_SAVE_BANK)->setShortcutContext(Qt::WindowShortcut);
    m_commands.Add(ID_FILE_SAVE_BANK_AS, "Sa&ve Bank As...", [this] { OnFileSaveBankAs(); },
               [this](CCmdUI& ui) { OnUpdateHasBank(ui); });
    m_commands.Add(ID_PROGRAM_PUT_IN_BANK, "&Put in Bank", [this] { OnProgramPutInBank(); },
               [this](CCmdUI& ui) { OnUpdateProgramPutInBank(ui); });
    m_commands.Add(ID_PROGRAM_USE_AS_BANK, "&Use as Bank", [this] { OnProgramUseAsBank(); },
               [this](CCmdUI& ui) { OnUpdateProgramUseAsBank(ui); });

    // The undo group keeps these two enabled and named after the step they would take, on
    // the bank's stack unless another pane with the keyboard has made its own the active one.
    m_undoGroup = new QUndoGroup(this);
    m_undoGroup->addStack(m_pane->UndoStack());
    m_undoGroup->setActiveStack(m_pane->UndoStack());
    QAction* undoAction = m_undoGroup->createUndoAction(m_host.Window(), "&Undo");
    QAction* redoAction = m_undoGroup->createRedoAction(m_host.Window(), "&Redo");
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    for (auto [id, action] : {std::pair{ID_EDIT_UNDO, undoAction}, std::pair{ID_EDIT_REDO, redoAction}}) {
        action->setShortcutContext(Qt::WindowShortcut);
        m_commands.Register(id, action);
    }

    QAction* toggle = m_pane->toggleViewAction();
    toggle->setText("&Bank");
    // The dock names its action after its title, which carries the bank's name: the menu
    // item keeps its own text and mnemonic.
    connect(m_pane, &QWidget::windowTitleChanged, toggle, [toggle] { toggle->setText("&Bank"); });
    m_commands.Register(ID_VIEW_BANK, toggle);
}

void CBankCommands::AddToMenus()
{
    // File: the bank's two commands in a group of their own before Exit.
    if (QMenu* file = m_host.Menu(HostMenu::File))
        InsertGroupAbove(*file, m_host.Action(ID_APP_EXIT),
                         {Action(ID_FILE_NEW_BANK), Action(ID_FILE_OPEN_BANK), Action(ID_FILE_SAVE_BANK),
                          Action(ID_FILE_SAVE_BANK_AS)});

    QMenu* edit = m_host.Menu(HostMenu::Edit);
    edit->addAction(Action(ID_EDIT_UNDO));
    edit->addAction(Action(ID_EDIT_REDO));

    if (QMenu* view = m_host.Menu(HostMenu::View))
        view->addAction(Action(ID_VIEW_BANK));

    if (QMenu* program = m_host.Menu(HostMenu::Program)) {
        program->addSeparator();
        program->addAction(Action(ID_PROGRAM_PUT_IN_BANK));
        program->addAction(Action(ID_PROGRAM_USE_AS_BANK));
    }

    CProgramGrid* grid = m_library.Grid();
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    grid->addAction(Action(ID_PROGRAM_PUT_IN_BANK));
    grid->addAction(Action(ID_PROGRAM_USE_AS_BANK));
}

void CBankCommands::ShowPane()
{
    m_pane->show();
    m_pane->raise();
}

const CBank* CBankCommands::Bank() const
{
    return m_pane->Bank();
}

QString CBankCommands::BankName() const
{
    return m_pane->SourceName();
}

void CBankCommands::SetBank(const CBank& bank, const QString& sourceName)
{
    m_pane->SetBank(bank, sourceName);
    m_bankPath.clear();   // not from a file: Save Bank asks for a name
    m_origin = CBankOrigin();
    ShowPane();
}

std::vector<unsigned char> CBankCommands::BankDump(int channel) const
{
    return m_pane->BankDump(channel);
}

int CBankCommands::SelectedSlot() const
{
    return m_pane->SelectedSlot();
}

int CBankCommands::PutPrograms(const std::vector<CBank::ProgramData>& programs)
{
    const int placed = m_pane->PutPrograms(m_pane->SelectedSlot(), programs);
    if (placed > 0)
        ShowPane();   // a change to the bank is never out of sight
    return placed;
}

bool CBankCommands::MayReplaceBank()
{
    if (!m_pane->IsModified())
        return true;
    const QString name = m_pane->SourceName();
    const QString text = QString("The bank %1has changes that are not saved. Save them first?")
                             .arg(name.isEmpty() ? QString() : name + ' ');
    switch (QuestionsOf(m_services).AskSaveChanges(m_host.Window(), text)) {
    case SaveChoice::Save: return OnFileSaveBank();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: break;
    }
    return false;
}

void CBankCommands::OnFileNewBank()
{
    if (!MayReplaceBank())
        return;
    // Nothing in it to lose yet: it counts as saved, and Save Bank asks for a name. It
    // comes back at the next start once it is saved somewhere.
    SetBank(InitBank(), NEW_BANK_NAME);
}

void CBankCommands::OnFileOpenBank()
{
    if (!MayReplaceBank())
        return;
    const QStringList paths = m_services.fileDialogs->GetOpenFileNames(
        m_host.Window(), "SYX Files (*.syx)|*.syx|All Files (*.*)|*.*||", ".syx");
    if (paths.isEmpty())
        return;
    // A bank is one file: of several chosen, the first.
    const QString path = paths.first();
    std::string error = NotOpenedText(path);
    std::optional<CBank> bank;
    if (error.empty()) {
        CWaitCursor wait(*m_services.waitCursor);
        bank = CBank::ReadFile(QFile::encodeName(path).toStdString(), error);
    }
    if (!bank) {
        m_services.messageBox->Show(m_host.Window(),
                                    QString("Failed to parse Syx file %1. %2")
                                        .arg(DisplayNameForFile(path, true), QString::fromStdString(error)),
                                    MessageIcon::Exclamation);
        return;
    }
    TakeBankFile(*bank, path);
    ShowPane();
    for (const BankFileReadHandler& handler : m_bankFileReadHandlers)
        handler(path);
}

void CBankCommands::TakeBankFile(const CBank& bank, const QString& path)
{
    m_pane->SetBank(bank, QFileInfo(path).fileName());
    m_bankPath = SavesAsItIs(path) ? path : QString();
    m_origin = CBankOrigin::File(path);
}

bool CBankCommands::ReopenBankFile(const QString& path, QString& error)
{
    std::string reason;
    const std::optional<CBank> bank = CBank::ReadFile(QFile::encodeName(path).toStdString(), reason);
    if (!bank) {
        error = QString::fromStdString(reason);
        return false;
    }
    TakeBankFile(*bank, path);
    return true;
}

void CBankCommands::WhenBankFileRead(BankFileReadHandler handler)
{
    m_bankFileReadHandlers.push_back(std::move(handler));
}

void CBankCommands::AddSlotCommand(QAction* action)
{
    CBankGrid* grid = m_pane->Grid();
    grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    grid->addAction(action);
}

void CBankCommands::WhenBankReplaced(BankReplacedHandler handler)
{
    m_bankReplacedHandlers.push_back(std::move(handler));
}

bool CBankCommands::SavesAsItIs(const QString& path)
{
    return CBank::IsProgramDumpFile(QFile::encodeName(path).toStdString());
}

bool CBankCommands::OnFileSaveBank()
{
    if (!m_pane->HasBank())
        return false;
    return m_bankPath.isEmpty() ? OnFileSaveBankAs() : SaveBankTo(m_bankPath);
}

bool CBankCommands::OnFileSaveBankAs()
{
    if (!m_pane->HasBank())
        return false;
    const QString path = m_services.fileDialogs->GetSaveFileName(
        m_host.Window(), "SysEx Files (*.syx)|*.syx|All Files (*.*)|*.*||", ".SYX");
    return !path.isEmpty() && SaveBankTo(path);
}

bool CBankCommands::SaveBankTo(const QString& path)
{
    const std::vector<unsigned char> dump = m_pane->BankDump(0);
    QString reason;
    if (!SaveBytesAtomically(path, dump.data(), dump.size(), &reason)) {
        m_services.messageBox->Show(m_host.Window(), SaveFailedText(path, reason), MessageIcon::Exclamation);
        return false;
    }
    m_bankPath = path;
    m_origin = CBankOrigin::File(path);
    m_pane->MarkSaved(QFileInfo(path).fileName());
    return true;
}

void CBankCommands::OnProgramPutInBank()
{
    const int slot = m_pane->SelectedSlot();
    std::vector<CBank::ProgramData> programs;
    for (const CSyxProgram* program : m_library.SelectedPrograms()) {
        if (program->GetLength() != PROGRAM_DATA_SIZE)
            continue;
        CBank::ProgramData data;
        std::copy(program->GetData(), program->GetData() + PROGRAM_DATA_SIZE, data.begin());
        programs.push_back(data);
    }
    if (m_pane->PutPrograms(slot, programs) > 0)
        ShowPane();   // a change to the bank is never out of sight
}

void CBankCommands::OnProgramUseAsBank()
{
    const CLibrarySources::Source* source = m_library.Sources().FindBank(m_library.SelectedProgram());
    if (source == nullptr || !MayReplaceBank())
        return;
    if (m_pane->ReplaceBank(source->programs, QFileInfo(source->path).fileName())) {
        m_bankPath = source->isFile && SavesAsItIs(source->path) ? source->path : QString();
        // A receive from the synthesizer has no file to come back from.
        m_origin = source->isFile ? CBankOrigin::File(source->path) : CBankOrigin();
        ShowPane();
    }
}

void CBankCommands::OnUpdateHasBank(CCmdUI& cmdUI)
{
    cmdUI.EnableIf(m_pane->HasBank(), NeedsBankFirst());
}

void CBankCommands::OnUpdateProgramPutInBank(CCmdUI& cmdUI)
{
    const bool hasSlot = m_pane->SelectedSlot() >= 0;
    cmdUI.EnableIf(hasSlot && HasRowsToActOn(*m_library.Grid()), hasSlot ? NeedsListRowFirst() : NeedsBankFirst());
}

void CBankCommands::OnUpdateProgramUseAsBank(CCmdUI& cmdUI)
{
    cmdUI.EnableIf(m_library.Sources().FindBank(m_library.SelectedProgram()) != nullptr, NeedsBankFileRowFirst());
}

void CBankCommands::AuditionSlot(int slot)
{
    if (!m_pane->HasBank())
        return;
    if (const auto record = m_pane->Bank()->CreateSlotRecord(slot))
        m_midi.AuditionProgram(*record);
}
