#include "CollectionCommands.h"

#include "CollectionDump.h"
#include "CollectionExport.h"
#include "CollectionModel.h"
#include "CollectionTable.h"
#include "CollectionTags.h"
#include "CollectionView.h"
#include "Resources.h"
#include "SyxProgram.h"
#include "bank/ProgramMime.h"
#include "grid/ProgramGrid.h"
#include "host/BankAccess.h"
#include "host/CommandHost.h"
#include "host/LoadedList.h"
#include "host/MidiLink.h"
#include "library/SelectedRows.h"
#include "services/MessageBoxService.h"
#include "services/Profile.h"
#include "services/WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>

#include <algorithm>

namespace {
constexpr int STATUS_MESSAGE_MS = 8000;
const char* const PANE_SECTION = "collection";
const char* const PANE_SIZED_KEY = "paneSized";

// The program by its name, or how many.
QString Counted(const CCollectionModel& model, const std::vector<CCollectionRow>& programs)
{
    if (programs.size() == 1)
        return QString("\"%1\"").arg(model.ShownName(programs.front()));
    return QString("%1 programs").arg(programs.size());
}
// The name the selected programs carry in the list, as its File column shows them.
const char* const LIST_SOURCE_NAME = "Collection";
// Favourites get the background the list gives marked rows.
const COLORREF MARKED_ROW_BACK_COLOR = RGB(128, 128, 255);

// A record of one program for sending and dragging, as the list's records are.
std::unique_ptr<CSyxProgram> ProgramRecord(const CollectionProgramData& data)
{
    return std::make_unique<CSyxProgram>('A', 1, data.data(), PROGRAM_DATA_SIZE, LIST_SOURCE_NAME);
}
}  // namespace

CCollectionCommands::CCollectionCommands(ICommandHost& host, ILoadedList& list, IMidiLink& midi, IBankAccess& bank,
                                         const CUiServices& services)
    : QObject(host.Window()), m_host(host), m_list(list), m_midi(midi), m_bank(bank), m_services(services),
      m_commands(host.Window(), host.Updater()), m_pane(new QDockWidget("Collection", host.Window())),
      m_view(new CCollectionView(m_pane)), m_contextMenu(new QMenu(m_view))
{
    m_pane->setObjectName("collectionPane");
    m_pane->setWidget(m_view);
    if (const CProgramGrid* grid = m_list.Grid())
        m_view->SetColors(grid->GetTextColor(), grid->GetBackColor(), MARKED_ROW_BACK_COLOR);
    m_host.AddPane(m_pane, Qt::BottomDockWidgetArea);

    connect(m_view, &CCollectionView::auditionRequested, this, [this] {
        if (m_midi.IsMidiOpen())
            OnCollectionAudition();
    });
    connect(m_view, &CCollectionView::statusMessage, this, [this](const QString& text) { Say(text); });
    connect(m_view, &CCollectionView::changedCollection, this, &CCollectionCommands::collectionChanged);
    // Dragging onto a bank slot carries what dragging out of the list carries.
    m_view->Table()->SetDragSource([this]() -> QMimeData* {
        const std::vector<CollectionId> ids = m_view->SelectedIds();
        std::vector<CollectionProgramData> data = SelectedData(BANK_SLOT_COUNT);
        return data.empty() ? nullptr : CreateProgramsMimeData(data, static_cast<int>(ids.size()));
    });

    CreateCommands();
    AddToMenus();
    if (const QString dumpFile = CollectionDumpFile(); !dumpFile.isEmpty())
        DumpCollectionViewOnChange(*m_view, dumpFile);
}

void CCollectionCommands::CreateCommands()
{
    auto selection = [this](CCmdUI& ui) { ui.EnableIf(HasSelection(), NeedsCollectionRowFirst()); };
    QAction* view = m_commands.Add(ID_VIEW_COLLECTION, "&Collection\tCtrl+L", [this] { OnViewCollection(); });
    view->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    view->setShortcutContext(Qt::WindowShortcut);
    view->setCheckable(true);
    connect(m_pane, &QDockWidget::visibilityChanged, view, [this, view] {
        view->setChecked(m_pane->isVisible());
        if (m_pane->isVisible())
            SizeFirstPane();
    });

    m_commands.Add(ID_COLLECTION_AUDITION, "&Audition\tEnter", [this] { OnCollectionAudition(); },
                   [this](CCmdUI& ui) {
                       ui.EnableIf(m_midi.IsMidiOpen() && HasSelection(),
                                   m_midi.IsMidiOpen() ? NeedsCollectionRowFirst() : NeedsMidiFirst());
                   });
    m_commands.Add(ID_COLLECTION_PUT_IN_BANK, "&Put in Bank", [this] { OnCollectionPutInBank(); },
                   [this](CCmdUI& ui) {
                       const bool hasSlot = m_bank.SelectedSlot() >= 0;
                       ui.EnableIf(hasSlot && HasSelection(), hasSlot ? NeedsCollectionRowFirst() : NeedsBankFirst());
                   });
    m_commands.Add(ID_COLLECTION_SHOW_IN_LIST, "Show in &List", [this] { OnCollectionShowInList(); }, selection);
    QAction* favourite = m_commands.Add(ID_COLLECTION_FAVOURITE, "&Favourite\tCtrl+D",
                                        [this] { OnCollectionFavourite(); }, selection);
    favourite->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    m_commands.Add(ID_COLLECTION_HIDE, "H&ide/Unhide", [this] { OnCollectionHide(); }, selection);
    m_commands.Add(ID_COLLECTION_TAGS, "&Tags...", [this] { OnCollectionTags(); }, selection);
    QAction* rename = m_commands.Add(ID_COLLECTION_RENAME, "&Rename\tF2", [this] { OnCollectionRename(); },
                                     [this](CCmdUI& ui) { ui.Enable(m_view->Table()->currentIndex().isValid()); });
    rename->setShortcut(QKeySequence(Qt::Key_F2));
    m_commands.Add(ID_COLLECTION_EXPORT, "&Export...", [this] { OnCollectionExport(); }, selection);

    // The view's keys work while it has the focus, and only then.
    for (int id : {ID_COLLECTION_FAVOURITE, ID_COLLECTION_RENAME}) {
        Action(id)->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_view->addAction(Action(id));
    }
}

void CCollectionCommands::AddToMenus()
{
    if (QMenu* viewMenu = m_host.Menu(HostMenu::View))
        viewMenu->addAction(Action(ID_VIEW_COLLECTION));

    const int commands[] = {ID_COLLECTION_AUDITION,  ID_COLLECTION_PUT_IN_BANK, ID_COLLECTION_SHOW_IN_LIST, 0,
                            ID_COLLECTION_FAVOURITE, ID_COLLECTION_HIDE,        ID_COLLECTION_TAGS,
                            ID_COLLECTION_RENAME,    0,                         ID_COLLECTION_EXPORT};
    QMenu* programMenu = m_host.Menu(HostMenu::Program);
    QMenu* submenu = programMenu != nullptr ? new QMenu("&Collection", programMenu) : nullptr;
    if (submenu != nullptr) {
        submenu->setObjectName("collectionMenu");
        programMenu->addSeparator();
        programMenu->addMenu(submenu);
        m_menu = submenu;
    }
    for (int id : commands) {
        if (id == 0) {
            m_contextMenu->addSeparator();
            if (submenu != nullptr)
                submenu->addSeparator();
            continue;
        }
        m_contextMenu->addAction(Action(id));
        if (submenu != nullptr)
            submenu->addAction(Action(id));
    }
    m_contextMenu->addSeparator();   // others' commands go below this line

    CCollectionTable* table = m_view->Table();
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint& at) {
        m_host.Updater().UpdateAll();
        m_contextMenu->popup(table->viewport()->mapToGlobal(at));
    });
}

void CCollectionCommands::SetCollectionSource(std::function<CCollection*()> source, const std::string& readPath)
{
    m_view->SetCollectionSource(std::move(source), QString(), readPath);
}

void CCollectionCommands::JoinUndo(QUndoGroup& group)
{
    QUndoStack* stack = m_view->UndoStack();
    group.addStack(stack);
    // Undo and Redo act on the view's steps while the keyboard is in it, and on the others'
    // (the bank's) once it is elsewhere.
    connect(qApp, &QApplication::focusChanged, this, [this, &group, stack](QWidget*, QWidget* now) {
        // A dialog of a command (Tags...) leaves Undo where it was.
        if (now == nullptr || qobject_cast<QDialog*>(now->window()) != nullptr)
            return;
        if (m_view->isAncestorOf(now)) {
            if (group.activeStack() != stack) {
                m_otherStack = group.activeStack();
                group.setActiveStack(stack);
            }
        } else if (group.activeStack() == stack) {
            group.setActiveStack(m_otherStack);
        }
    });
}

void CCollectionCommands::SetCollection(CCollection* collection)
{
    m_view->SetCollection(collection);
}

CCollection* CCollectionCommands::Db() const
{
    return m_view->Collection();
}

void CCollectionCommands::Refresh()
{
    // What changed is looked for; the view's own changes are in its rows already.
    m_view->CheckForChanges();
}

bool CCollectionCommands::HasSelection() const
{
    // Asked at every idle moment: the database is not, only the view.
    return m_view->isVisible() && HasRowsToActOn(*m_view->Table());
}

std::vector<CollectionProgramData> CCollectionCommands::SelectedData(std::size_t limit) const
{
    std::vector<CollectionProgramData> programs;
    CCollection* collection = Db();
    if (collection == nullptr)
        return programs;
    for (CollectionId id : m_view->SelectedIds()) {
        if (programs.size() >= limit)
            break;
        CollectionProgramData data;
        if (collection->ProgramData(id, data))
            programs.push_back(data);
    }
    return programs;
}

void CCollectionCommands::Say(const QString& text)
{
    m_host.ShowStatusMessage(text, STATUS_MESSAGE_MS);
}

void CCollectionCommands::SizeFirstPane()
{
    // The first time the pane is ever shown it takes room for a dozen rows: the window would
    // give it only what its list leaves over. Later the size the user left it at comes back
    // with the window's layout.
    IProfile& profile = *m_services.profile;
    if (profile.GetProfileInt(PANE_SECTION, PANE_SIZED_KEY, 0) != 0 || m_pane->isFloating())
        return;
    profile.WriteProfileInt(PANE_SECTION, PANE_SIZED_KEY, 1);
    m_view->setMinimumHeight(m_view->sizeHint().height());
    QTimer::singleShot(0, m_view, [view = m_view] { view->setMinimumHeight(0); });
}

void CCollectionCommands::OnViewCollection()
{
    // Ctrl+L shows the view and goes to its search field; pressed there again, it hides it.
    const bool inView = m_pane->isVisible() && m_view->isAncestorOf(QApplication::focusWidget());
    if (inView) {
        m_pane->hide();
        return;
    }
    m_pane->show();
    m_pane->raise();
    m_pane->activateWindow();
    m_view->CheckForChanges();
    m_view->SearchField()->setFocus();
    m_view->SearchField()->selectAll();
    Action(ID_VIEW_COLLECTION)->setChecked(true);
}

void CCollectionCommands::OnCollectionAudition()
{
    const CCollectionRow* current = m_view->Model()->Program(m_view->Table()->currentIndex().row());
    CollectionProgramData data;
    CCollection* collection = Db();
    if (current == nullptr || collection == nullptr || !collection->ProgramData(current->id, data))
        return;
    m_midi.AuditionProgram(*ProgramRecord(data));
    Say(QString("Auditioning \"%1\"").arg(m_view->Model()->ShownName(*current)));
}

void CCollectionCommands::OnCollectionPutInBank()
{
    const std::vector<CollectionId> ids = m_view->SelectedIds();
    CWaitCursor wait(*m_services.waitCursor);
    // The bank takes at most 128; it says itself how many of those it left out.
    std::vector<CBank::ProgramData> programs;
    for (const CollectionProgramData& data : SelectedData(BANK_SLOT_COUNT))
        programs.push_back(data);
    const int slot = m_bank.SelectedSlot();
    const int placed = m_bank.PutPrograms(programs);
    // The bank tells itself what it had to leave out.
    if (placed > 0 && placed == static_cast<int>(ids.size()))
        Say(placed == 1 ? QString("Put in the bank at %1").arg(QString::fromStdString(CBank::SlotName(slot)))
                        : QString("Put %1 programs in the bank, %2 to %3")
                              .arg(placed)
                              .arg(QString::fromStdString(CBank::SlotName(slot)),
                                   QString::fromStdString(CBank::SlotName(slot + placed - 1))));
}

void CCollectionCommands::OnCollectionShowInList()
{
    CWaitCursor wait(*m_services.waitCursor);
    const std::vector<CollectionProgramData> programs = SelectedData();
    if (programs.empty())
        return;
    std::vector<CBank::ProgramData> records(programs.begin(), programs.end());
    m_list.AddLibraryPrograms(records, LIST_SOURCE_NAME);
    // The new rows are at the end of the list: brought into sight, the first at the top.
    if (CProgramGrid* grid = m_list.Grid(); grid != nullptr && grid->model() != nullptr) {
        const int rows = grid->model()->rowCount();
        const int first = std::max(0, rows - static_cast<int>(records.size()));
        grid->scrollTo(grid->model()->index(rows - 1, 0));
        grid->scrollTo(grid->model()->index(first, 0), QAbstractItemView::PositionAtTop);
    }
    Say(records.size() == 1 ? QString("Added 1 program to the end of the list, as \"%1\"").arg(LIST_SOURCE_NAME)
                            : QString("Added %1 programs to the end of the list, as \"%2\"")
                                  .arg(records.size())
                                  .arg(LIST_SOURCE_NAME));
}

void CCollectionCommands::OnCollectionFavourite()
{
    // Favourite when any of them is not yet; otherwise all lose the mark.
    const std::vector<CCollectionRow> programs = m_view->SelectedPrograms();
    if (programs.empty())
        return;
    const bool favourite = std::any_of(programs.begin(), programs.end(),
                                       [](const CCollectionRow& program) { return !program.favourite; });
    if (m_view->SetFavourite(programs, favourite))
        Say(QString(favourite ? "Marked %1 as favourite" : "%1 no longer favourite")
                .arg(Counted(*m_view->Model(), programs)));
}

void CCollectionCommands::OnCollectionHide()
{
    const std::vector<CCollectionRow> programs = m_view->SelectedPrograms();
    if (programs.empty())
        return;
    const bool hide = std::any_of(programs.begin(), programs.end(),
                                  [](const CCollectionRow& program) { return !program.hidden; });
    if (m_view->SetHidden(programs, hide))
        Say(hide ? QString("Hid %1: the Hidden filter shows them").arg(Counted(*m_view->Model(), programs))
                 : QString("Shown again: %1").arg(Counted(*m_view->Model(), programs)));
}

void CCollectionCommands::OnCollectionTags()
{
    const std::vector<CCollectionRow> programs = m_view->SelectedPrograms();
    if (programs.empty())
        return;
    const std::vector<std::string> before = CommonTags(programs);
    std::vector<std::string> after;
    if (!AskTags(m_host.Window(), before, static_cast<int>(programs.size()), after))
        return;
    const CTagChange tagChange = TagChange(before, after);
    if (tagChange.added.empty() && tagChange.removed.empty()) {
        Say("The tags stay as they were");
        return;
    }
    if (m_view->ChangeTags(programs, tagChange.added, tagChange.removed))
        Say(QString("Tags changed on %1").arg(Counted(*m_view->Model(), programs)));
}

void CCollectionCommands::OnCollectionRename()
{
    m_view->Table()->setFocus();
    m_view->Table()->EditName();
}

void CCollectionCommands::OnCollectionExport()
{
    CCollection* collection = Db();
    if (collection == nullptr)
        return;
    const QString result = ExportPrograms(*collection, m_view->SelectedPrograms(), m_host.Window(), m_services);
    if (!result.isEmpty())
        Say(result);
}
