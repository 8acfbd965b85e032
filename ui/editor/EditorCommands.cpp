#include "EditorCommands.h"

#include "EditorLiveLink.h"
#include "ProgramEditorPane.h"
#include "ProgramParameters.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "SyxProgram.h"
#include "host/BankAccess.h"
#include "host/CommandHost.h"
#include "host/MidiLink.h"
#include "host/SynthModelSetting.h"
#include "host/SynthSlotWriter.h"
#include "services/AtomicSave.h"
#include "services/FileDialogService.h"
#include "services/MessageBoxService.h"
#include "services/Profile.h"
#include "services/QuestionService.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolBar>
#include <QUndoGroup>
#include <QUndoStack>

namespace {
constexpr int STATUS_MESSAGE_MS = 8000;
const char* const SETTINGS_SECTION = "editor";
const char* const FOLLOW_KEY = "followSynth";

// A file name a program's name can be offered as.
QString FileNameFor(const QString& programName)
{
    QString name = programName.trimmed();
    for (QChar& c : name)
        if (QStringLiteral("/\\:*?\"<>|").contains(c))
            c = '_';
    return (name.isEmpty() ? QString("Program") : name) + ".syx";
}
}  // namespace

CEditorCommands::CEditorCommands(ICommandHost& host, IMidiLink& midi, IMidiInService* midiIn, IBankAccess* bank,
                                 const CUiServices& services)
    : QObject(host.Window()), m_host(host), m_midi(midi), m_midiIn(midiIn), m_bank(bank), m_services(services),
      m_commands(host.Window(), host.Updater()), m_pane(new CProgramEditorPane(host.Window())),
      m_live(new CEditorLiveLink(midi, midiIn, this)), m_selectionTimer(new QTimer(this))
{
    m_host.AddPane(m_pane, Qt::BottomDockWidgetArea);
    m_selectionTimer->setSingleShot(true);
    m_selectionTimer->setInterval(0);
    connect(m_selectionTimer, &QTimer::timeout, this, &CEditorCommands::ShowFollowedSelection);

    connect(m_pane, &CProgramEditorPane::programChanged, this, [this] { m_live->SendChanges(m_pane->Program()); });
    connect(m_pane, &CProgramEditorPane::statusMessage, this, &CEditorCommands::Note);
    connect(m_live, &CEditorLiveLink::note, this, &CEditorCommands::Note);
    connect(m_live, &CEditorLiveLink::knobTurned, this,
            [this](int number, int value) { m_pane->ApplySynthChange(number, value); });
    connect(m_live, &CEditorLiveLink::programChosen, this, &CEditorCommands::OnProgramChosen);
    connect(m_live, &CEditorLiveLink::programReceived, this, &CEditorCommands::OnProgramReceived);
    m_midi.WhenProgramSent([this](const CBank::ProgramData& program, bool random) { OnProgramSent(program, random); });

    CreateCommands();
    AddToMenus();
    const bool follow = m_midiIn != nullptr && m_services.profile != nullptr
                        && m_services.profile->GetProfileInt(SETTINGS_SECTION, FOLLOW_KEY, 0) != 0;
    Action(ID_EDITOR_FOLLOW_SYNTH)->setChecked(follow);
    m_live->SetFollowing(follow);
    m_host.AddCloseGuard([this] { return MayLeaveProgram(); });
}

void CEditorCommands::CreateCommands()
{
    // View > Program Editor shows or hides the pane; Ctrl+E shows it and goes to its Find
    // parameter field, wherever the keyboard is.
    QAction* toggle = m_pane->toggleViewAction();
    const QString menuText = "Program &Editor\tCtrl+E";
    toggle->setText(menuText);
    // The dock names its action after its title, which names the program.
    connect(m_pane, &QWidget::windowTitleChanged, toggle, [toggle, menuText] { toggle->setText(menuText); });
    connect(toggle, &QAction::triggered, this, [this](bool shown) {
        if (shown)
            OnViewProgramEditor();
    });
    m_commands.Register(ID_VIEW_PROGRAM_EDITOR, toggle);
    auto* findKey = new QAction(this);
    findKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    findKey->setShortcutContext(Qt::WindowShortcut);
    connect(findKey, &QAction::triggered, this, &CEditorCommands::OnViewProgramEditor);
    m_host.Window()->addAction(findKey);

    const auto live = [this](CCmdUI& ui) { ui.Enable(m_live->IsLive()); };
    QAction* follow = m_commands.Add(ID_EDITOR_FOLLOW_SYNTH, "Follo&w Synthesizer", [this] { OnFollowSynth(); },
                                     [this](CCmdUI& ui) { ui.Enable(m_midiIn != nullptr); });
    follow->setCheckable(true);
    m_commands.Add(ID_EDITOR_GET_FROM_SYNTH, "Get from Synthesi&zer", [this] { OnGetFromSynth(); },
                   [this, live](CCmdUI& ui) {
                       if (m_midiIn == nullptr)
                           ui.Enable(false);
                       else
                           live(ui);
                   });

    const auto hasProgram = [this](CCmdUI& ui) { ui.Enable(m_pane->HasProgram()); };
    QAction* saveAs = m_commands.Add(ID_EDITOR_SAVE_PROGRAM_AS, "Save Program &As...\tCtrl+Shift+S",
                                     [this] { OnSaveProgramAs(); }, hasProgram);
    saveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    QAction* keep = m_commands.Add(ID_EDITOR_KEEP_IN_COLLECTION, "&Keep in Collection\tCtrl+K",
                                   [this] { OnKeepInCollection(); },
                                   [this](CCmdUI& ui) { ui.Enable(m_pane->HasProgram() && m_keeper); });
    keep->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    m_commands.Add(ID_EDITOR_PUT_IN_BANK, "&Put in Bank", [this] { OnPutInBank(); }, [this](CCmdUI& ui) {
        ui.Enable(m_pane->HasProgram() && m_bank != nullptr && m_bank->SelectedSlot() >= 0);
    });
    m_commands.Add(ID_EDITOR_SEND_TO_EDIT_BUFFER, "Send to &Edit Buffer", [this] { OnSendToEditBuffer(); },
                   [this](CCmdUI& ui) { ui.Enable(m_pane->HasProgram() && m_live->IsLive()); });
    m_commands.Add(ID_EDITOR_REVERT, "&Revert", [this] { OnRevert(); },
                   [this](CCmdUI& ui) { ui.Enable(m_pane->IsEdited()); });
    m_commands.Add(ID_EDITOR_EDIT_LAST_RANDOM, "Edit Last Ra&ndom", [this] { OnEditLastRandom(); },
                   [this](CCmdUI& ui) { ui.Enable(m_lastRandom.has_value()); });

    // Save Program As and Keep in Collection have their keys while the pane has the focus.
    for (int id : {ID_EDITOR_SAVE_PROGRAM_AS, ID_EDITOR_KEEP_IN_COLLECTION}) {
        Action(id)->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_pane->addAction(Action(id));
    }
}

void CEditorCommands::AddToMenus()
{
    if (QMenu* view = m_host.Menu(HostMenu::View))
        view->addAction(Action(ID_VIEW_PROGRAM_EDITOR));
    QToolBar* bar = m_pane->ToolBar();
    for (int id : {ID_EDITOR_REVERT, ID_EDITOR_SAVE_PROGRAM_AS, ID_EDITOR_KEEP_IN_COLLECTION, ID_EDITOR_PUT_IN_BANK,
                   ID_EDITOR_SEND_TO_EDIT_BUFFER}) {
        // The buttons are named without their keys (which the tool tips give).
        QAction* action = Action(id);
        action->setIconText(action->text().section('\t', 0, 0).remove('&'));
        bar->addAction(action);
    }
    QMenu* program = m_host.Menu(HostMenu::Program);
    if (program == nullptr)
        return;
    program->addSeparator();
    program->addAction(Action(ID_EDITOR_FOLLOW_SYNTH));
    program->addAction(Action(ID_EDITOR_GET_FROM_SYNTH));
    m_menu = program->addMenu("&Edited Program");
    m_menu->setObjectName("editedProgramMenu");
    for (int id : {ID_EDITOR_REVERT, ID_EDITOR_SAVE_PROGRAM_AS, ID_EDITOR_KEEP_IN_COLLECTION, ID_EDITOR_PUT_IN_BANK,
                   ID_EDITOR_SEND_TO_EDIT_BUFFER})
        m_menu->addAction(Action(id));
    m_menu->addSeparator();
    m_menu->addAction(Action(ID_EDITOR_EDIT_LAST_RANDOM));
}

void CEditorCommands::AddProgramCommand(QAction* action)
{
    m_pane->ToolBar()->addAction(action);
    if (m_menu != nullptr)
        m_menu->insertAction(Action(ID_EDITOR_SEND_TO_EDIT_BUFFER), action);
}

void CEditorCommands::SetSlotWriter(ISynthSlotWriter* writer)
{
    m_slotWriter = writer;
    if (writer == nullptr || Action(ID_EDITOR_SEND_TO_SLOT) != nullptr)
        return;
    QAction* action = m_commands.Add(ID_EDITOR_SEND_TO_SLOT, "Send to Synth Sl&ot...", [this] { OnSendToSynthSlot(); },
                                     [this](CCmdUI& ui) {
                                         ui.Enable(m_pane->HasProgram() && m_slotWriter != nullptr
                                                   && m_slotWriter->CanWriteSlot());
                                     });
    action->setIconText("Send to Synth Slot...");
    AddProgramCommand(action);
}

void CEditorCommands::OnSendToSynthSlot()
{
    if (m_pane->HasProgram() && m_slotWriter != nullptr)
        m_slotWriter->SendToSynthSlot(m_pane->Program());
}

void CEditorCommands::SetModelSetting(ISynthModelSetting& setting)
{
    m_pane->SetModel(setting.Model());
    CProgramEditorPane* pane = m_pane;
    setting.WhenModelChanged([pane](SynthModel model) { pane->SetModel(model); });
}

void CEditorCommands::SetKeeper(Keeper keeper)
{
    m_keeper = std::move(keeper);
}

void CEditorCommands::SetSynthMemory(ISynthMemory* memory, std::function<void(int slot)> selectBankSlot)
{
    m_synthMemory = memory;
    m_selectBankSlot = std::move(selectBankSlot);
}

void CEditorCommands::SetUndoGroup(QUndoGroup* group)
{
    m_undoGroup = group;
    group->addStack(m_pane->UndoStack());
    // Ctrl+Z and Ctrl+Y act on the editor while it has the keyboard, on the bank elsewhere.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        QUndoStack* mine = m_pane->UndoStack();
        const bool inPane = now != nullptr && m_pane->isAncestorOf(now);
        if (inPane && m_undoGroup->activeStack() != mine) {
            m_otherStack = m_undoGroup->activeStack();
            m_undoGroup->setActiveStack(mine);
        } else if (!inPane && now != nullptr && m_undoGroup->activeStack() == mine) {
            m_undoGroup->setActiveStack(m_otherStack);
        }
    });
}

void CEditorCommands::ShowPane()
{
    m_pane->show();
    m_pane->raise();
}

void CEditorCommands::Note(const QString& text)
{
    m_host.ShowStatusMessage(text, STATUS_MESSAGE_MS);
}

QString CEditorCommands::NameOf(const CBank::ProgramData& program)
{
    return QString::fromStdString(ProgramNameText(program.data())).trimmed();
}

void CEditorCommands::OnViewProgramEditor()
{
    ShowPane();
    // A floating pane is a window of its own, which takes the keyboard first; a docked one is
    // in the window that has it (activating that again would give the list the keyboard).
    if (m_pane->isFloating())
        m_pane->activateWindow();
    m_pane->FindField()->setFocus(Qt::ShortcutFocusReason);
    m_pane->FindField()->selectAll();
}

void CEditorCommands::OnFollowSynth()
{
    const bool follow = Action(ID_EDITOR_FOLLOW_SYNTH)->isChecked();
    m_live->SetFollowing(follow);
    if (follow && m_live->IsInputOpen())
        Note("Following the synthesizer: its knobs, its edit buffer and the programs chosen on it");
    if (m_services.profile != nullptr)
        m_services.profile->WriteProfileInt(SETTINGS_SECTION, FOLLOW_KEY, follow ? 1 : 0);
}

void CEditorCommands::OnGetFromSynth()
{
    m_live->RequestEditBuffer();
}

bool CEditorCommands::MayLeaveProgram()
{
    if (!m_pane->IsEdited())
        return true;
    const QString text = QString("The program %1 has changes that are not kept. Keep it in the Collection first?")
                             .arg(m_pane->ProgramTitle());
    switch (QuestionsOf(m_services).AskKeepChanges(m_host.Window(), text)) {
    case SaveChoice::Save: return OnKeepInCollection();
    case SaveChoice::Discard: return true;
    case SaveChoice::Cancel: break;
    }
    return false;
}

bool CEditorCommands::OpenProgram(const CBank::ProgramData& data, const QString& title, const QString& source)
{
    // The program shown already (edited or not): the selection came back to it.
    if (m_pane->HasProgram() && data == m_pane->Original() && title == m_pane->ProgramTitle())
        return true;
    if (!MayLeaveProgram())
        return false;
    m_pane->ShowProgram(data, title);
    m_shownSource = source;
    return true;
}

void CEditorCommands::OnSaveProgramAs()
{
    if (!m_pane->HasProgram())
        return;
    const CBank::ProgramData program = m_pane->Program();
    const QString path = m_services.fileDialogs->GetSaveFileNameFor(
        m_host.Window(), "SysEx Files (*.syx)|*.syx|All Files (*.*)|*.*||", ".syx", FileNameFor(NameOf(program)));
    if (path.isEmpty())
        return;
    // One program as a current program dump on channel 1, as Save Last Random writes it.
    const std::vector<unsigned char> dump =
        BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, program.data(), PROGRAM_DATA_SIZE);
    QString reason;
    if (!SaveBytesAtomically(path, dump.data(), dump.size(), &reason)) {
        m_services.messageBox->Show(m_host.Window(), SaveFailedText(path, reason), MessageIcon::Exclamation);
        return;
    }
    m_pane->MarkKept();
    Note(QString("Saved %1").arg(path));
}

bool CEditorCommands::OnKeepInCollection()
{
    if (!m_pane->HasProgram())
        return false;
    if (!m_keeper) {
        m_services.messageBox->Show(m_host.Window(), "The Collection cannot be used: the program was not kept.",
                                    MessageIcon::Exclamation);
        return false;
    }
    QString error;
    if (!m_keeper(m_pane->Program(), error)) {
        m_services.messageBox->Show(m_host.Window(),
                                    QString("The program could not be kept in the Collection. %1").arg(error),
                                    MessageIcon::Exclamation);
        return false;
    }
    m_pane->MarkKept();
    Note(QString("\"%1\" is kept in the Collection").arg(NameOf(m_pane->Program())));
    return true;
}

void CEditorCommands::OnPutInBank()
{
    if (!m_pane->HasProgram() || m_bank == nullptr)
        return;
    const int slot = m_bank->SelectedSlot();
    if (slot < 0 || m_bank->PutPrograms({m_pane->Program()}) == 0)
        return;
    m_pane->MarkKept();
}

void CEditorCommands::OnSendToEditBuffer()
{
    if (m_pane->HasProgram())
        m_live->SendProgram(m_pane->Program());
}

void CEditorCommands::OnRevert()
{
    m_pane->Revert();
}

void CEditorCommands::OnEditLastRandom()
{
    if (!m_lastRandom)
        return;
    ShowPane();
    OpenProgram(*m_lastRandom, "The last Random program", "random");
}

