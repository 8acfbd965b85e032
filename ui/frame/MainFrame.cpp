#include "MainFrame.h"

#include "DialogUnits.h"
#include "FirstStartSize.h"
#include "Icons.h"
#include "Resources.h"
#include "WindowPlacement.h"
#include "grid/ProgramGrid.h"
#include "services/DisabledCommandTips.h"
#include "services/PostMessage.h"
#include "services/Profile.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {
// Grid colours: text and grid lines, and the background of unmarked rows.
const COLORREF GRID_TEXT_COLOR = RGB(0, 64, 128);
const COLORREF GRID_BACK_COLOR = RGB(193, 193, 255);
// How long after the window is shown its floating panes are placed at the latest.
constexpr int PANES_PLACED_AFTER_MS = 500;

QLabel* CreatePane(QWidget* parent, const QString& sample)
{
    auto* pane = new QLabel(sample, parent);
    pane->setAlignment(Qt::AlignCenter);
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    const int margins = 2 * pane->frameWidth() + pane->fontMetrics().horizontalAdvance(' ') * 2;
    pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(sample) + margins);
    return pane;
}

// A right-aligned label of the MIDI bar, at least `width` wide.
QLabel* CreateBarLabel(const QString& text, int width, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(width);
    return label;
}

QFrame* CreateEtchedLine(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    return line;
}
}  // namespace

CMainFrame::CMainFrame(const CUiServices& services, IMidiOutService& midi, CommandHandler onAppAbout)
    : m_services(services), m_midi(midi), m_onAppAbout(std::move(onAppAbout)), m_updater(this),
      m_commands(this, m_updater), m_placement(new CWindowPlacement(this)), m_midiPorts(midi)
{
    setObjectName("CMainFrame");
    setWindowTitle(AppTitle());
    setWindowIcon(AppIcon());
}

CMainFrame::~CMainFrame()
{
    CloseMidiOut();
    if (GetMainWindow() == this)
        SetMainWindow(nullptr);
}

bool CMainFrame::PreCreateWindow()
{
    IProfile& profile = *m_services.profile;
    const int top = profile.GetProfileInt("rect", "top", 0);
    const int left = profile.GetProfileInt("rect", "left", 0);
    const int bottom = profile.GetProfileInt("rect", "bottom", 0);
    const int right = profile.GetProfileInt("rect", "right", 0);
    if (right != left && bottom != top)
        m_placement->PlaceOuter(QRect(left, top, right - left, bottom - top));
    return true;
}

int CMainFrame::OnCreate()
{
    m_wndGrid = new CProgramGrid(this);
    m_wndGrid->setObjectName("grid");
    m_wndGrid->setAccessibleName("Program list");
    setCentralWidget(m_wndGrid);

    CreateCommands();
    CreateMenus();
    new CDisabledCommandTips(this);   // a greyed menu item says what it needs first
    CreateToolBar();
    CreateMidiBar();
    CreateStatusBar();

    FillMidiPortList();
    FillMidiChannelList();
    RestoreMidiChoice();

    const QString currentDirectory = m_services.profile->GetProfileString("app", "curdir", QString());
    if (!currentDirectory.isEmpty())
        QDir::setCurrent(currentDirectory);   // a folder that is gone is silently ignored

    m_wndGrid->SetColors(GRID_TEXT_COLOR, GRID_BACK_COLOR);
    CreateGridColumns();

    SetMainWindow(this);
    m_updater.UpdateAll();
    return 0;
}

void CMainFrame::PlaceAtFirstStart()
{
    if (!m_placement->IsPlaced())
        m_placement->PlaceCentred(FirstStartSize(*this, *m_wndGrid));
}

void CMainFrame::CreateGridColumns()
{
    m_wndGrid->AddColumn("File", GRID_ALIGN_CENTER, 0);
    m_wndGrid->AddColumn("Bank", GRID_ALIGN_CENTER, m_wndGrid->GetSampleWidth("Bank"));
    m_wndGrid->AddColumn("#", GRID_ALIGN_CENTER, m_wndGrid->GetSampleWidth("128  "));
    m_wndGrid->AddColumn("Program", GRID_ALIGN_LEFT, m_wndGrid->GetSampleWidth("XXXXXXXX|XXXXXX"));
    m_wndGrid->AddColumn("Category", GRID_ALIGN_LEFT, m_wndGrid->GetSampleWidth("XXXXXXXXXXXXXXX"));
    m_wndGrid->SetSearchColumn(3);   // typing a name's first letters moves to it
    m_wndGrid->SetEmptyText("Open a .syx file (Ctrl+O) or drop one here");
}

QAction* CMainFrame::Action(int commandId) const
{
    return m_commands.Find(commandId);
}

void CMainFrame::CreateCommands()
{
    m_commands.Add(ID_FILE_OPEN, "O&pen Syx File(s)...\tCtrl+O", [this] { OnFileOpen(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_commands.Add(ID_FILE_SAVE_LAST_RANDOM, "&Save Last Random...", [this] { OnFileSaveLastRandom(); },
               [this](CCmdUI& ui) { OnUpdateFileSaveLastRandom(ui); });
    m_commands.Add(ID_APP_EXIT, "E&xit", [this] { close(); });
    m_commands.Add(ID_EDIT_FIND, "&Find...\tCtrl+F", [this] { OnEditFind(); },
               [this](CCmdUI& ui) { OnUpdateEditFind(ui); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_commands.Add(ID_PROGRAM_AUDITION, "&Audition\tCtrl+A", [this] { OnProgramAudition(); },
               [this](CCmdUI& ui) { OnUpdateProgramAudition(ui); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    m_commands.Add(ID_PROGRAM_RANDOM, "&Random\tCtrl+R", [this] { OnProgramRandom(); },
               [this](CCmdUI& ui) { OnUpdateProgramAudition(ui); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    m_commands.Add(ID_APP_ABOUT, "&About...", [this] { if (m_onAppAbout) m_onAppAbout(); });
    m_commands.Add(ID_PROGRAM_RANDOM_SELECTION, "Random from &Selection", [this] { OnProgramRandomFromSelection(); },
               [this](CCmdUI& ui) { OnUpdateProgramRandomFromSelection(ui); });
    m_commands.Add(ID_PROGRAM_MARK_DUPLICATES, "Mark &Duplicates", [this] { OnProgramMarkDuplicates(); },
               [this](CCmdUI& ui) { OnUpdateEditFind(ui); });

    for (QAction* action : {Action(ID_FILE_OPEN), Action(ID_EDIT_FIND), Action(ID_PROGRAM_AUDITION),
                            Action(ID_PROGRAM_RANDOM)})
        action->setShortcutContext(Qt::WindowShortcut);
    Action(ID_FILE_OPEN)->setIcon(OpenIcon());
    Action(ID_EDIT_FIND)->setIcon(FindIcon());
    Action(ID_PROGRAM_AUDITION)->setIcon(AuditionIcon());
    Action(ID_PROGRAM_RANDOM)->setIcon(RandomIcon());
    Action(ID_APP_ABOUT)->setIcon(AboutIcon());
}

void CMainFrame::CreateMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    m_menus[HostMenu::File] = file;
    file->addAction(Action(ID_FILE_OPEN));
    file->addAction(Action(ID_FILE_SAVE_LAST_RANDOM));
    file->addSeparator();
    file->addAction(Action(ID_APP_EXIT));

    // View's two items show and hide the bars; they are created with the bars.
    m_menus[HostMenu::View] = menuBar()->addMenu("&View");
    m_menus[HostMenu::View]->setObjectName("viewMenu");

    QMenu* program = menuBar()->addMenu("&Program");
    m_menus[HostMenu::Program] = program;
    program->addAction(Action(ID_EDIT_FIND));
    program->addAction(Action(ID_PROGRAM_MARK_DUPLICATES));
    program->addAction(Action(ID_PROGRAM_AUDITION));
    program->addAction(Action(ID_PROGRAM_RANDOM));
    program->addAction(Action(ID_PROGRAM_RANDOM_SELECTION));

    QMenu* help = menuBar()->addMenu("&Help");
    m_menus[HostMenu::Help] = help;
    help->addAction(Action(ID_APP_ABOUT));
}

void CMainFrame::CreateToolBar()
{
    m_wndToolBar = new QToolBar("Toolbar", this);
    m_wndToolBar->setObjectName("toolBar");
    m_wndToolBar->setIconSize(QSize(16, 15));
    for (int id : {ID_FILE_OPEN, ID_EDIT_FIND, ID_PROGRAM_AUDITION, ID_PROGRAM_RANDOM, ID_APP_ABOUT})
        m_wndToolBar->addAction(Action(id));
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    QAction* toggle = m_wndToolBar->toggleViewAction();
    toggle->setText("&Toolbar");
    m_commands.Register(ID_VIEW_TOOLBAR, toggle);
    Menu(HostMenu::View)->addAction(toggle);
}

void CMainFrame::CreateMidiBar()
{
    m_wndDlgBar = new QToolBar("MIDI", this);
    m_wndDlgBar->setObjectName("midiBar");
    const CDialogUnits du(m_wndDlgBar);

    QLabel* portLabel = CreateBarLabel("Midi Port", du.X(29), m_wndDlgBar);
    m_cbMidiPort = new QComboBox(m_wndDlgBar);
    m_cbMidiPort->setObjectName("midiPort");
    m_cbMidiPort->setAccessibleName("Midi Port");
    portLabel->setBuddy(m_cbMidiPort);
    m_cbMidiPort->setFixedWidth(du.X(113));

    QLabel* chanLabel = CreateBarLabel("Midi Chan", du.X(36), m_wndDlgBar);
    m_cbMidiChan = new QComboBox(m_wndDlgBar);
    m_cbMidiChan->setObjectName("midiChan");
    m_cbMidiChan->setAccessibleName("Midi Chan");
    chanLabel->setBuddy(m_cbMidiChan);
    m_cbMidiChan->setMinimumWidth(du.X(26));

    m_btnMidiActive = new QCheckBox("Midi Active", m_wndDlgBar);
    m_btnMidiActive->setObjectName("midiActive");
    m_btnMidiActive->setLayoutDirection(Qt::RightToLeft);   // text on the left of the box
    connect(m_btnMidiActive, &QCheckBox::clicked, this, [this] { OnMidiActive(); });

    m_wndDlgBar->addWidget(portLabel);
    m_wndDlgBar->addWidget(m_cbMidiPort);
    m_wndDlgBar->addWidget(CreateEtchedLine(m_wndDlgBar));
    m_wndDlgBar->addWidget(chanLabel);
    m_wndDlgBar->addWidget(m_cbMidiChan);
    m_wndDlgBar->addWidget(CreateEtchedLine(m_wndDlgBar));
    m_wndDlgBar->addWidget(m_btnMidiActive);
    addToolBar(Qt::TopToolBarArea, m_wndDlgBar);
}

void CMainFrame::CreateStatusBar()
{
    m_wndStatusBar = statusBar();
    m_paneMessage = new QLabel("Ready", m_wndStatusBar);
    m_paneMessage->setObjectName("paneMessage");
    m_paneCount = CreatePane(m_wndStatusBar, "9999");
    m_paneCount->setObjectName("paneCount");
    m_paneCount->setAccessibleName("Programs in the list");
    m_paneCount->setToolTip("Programs in the list");
    m_paneMidi = CreatePane(m_wndStatusBar, "MIDI-OFF");
    m_paneMidi->setObjectName("paneMidi");
    m_paneMidi->setAccessibleName("MIDI output");
    m_paneMidi->setToolTip("MIDI output: on while Midi Active has the port open");
    // A normal widget gives way to the prompts while they show, then comes back.
    m_wndStatusBar->addWidget(m_paneMessage, 1);
    m_wndStatusBar->addPermanentWidget(m_paneCount);
    m_wndStatusBar->addPermanentWidget(m_paneMidi);
    m_updater.AddPane(m_paneCount, [this](CCmdUI& ui) { OnUpdateIndicatorCount(ui); });
    m_updater.AddPane(m_paneMidi, [this](CCmdUI& ui) { OnUpdateIndicatorMidi(ui); });

    auto* toggle = new QAction("&Status Bar", this);
    toggle->setCheckable(true);
    toggle->setChecked(true);
    connect(toggle, &QAction::toggled, m_wndStatusBar, &QWidget::setVisible);
    m_commands.Register(ID_VIEW_STATUS_BAR, toggle);
    Menu(HostMenu::View)->addAction(toggle);
}

void CMainFrame::OnUpdateIndicatorMidi(CCmdUI& cmdUI)
{
    cmdUI.Enable(true);
    cmdUI.SetText(m_hMidiOut != nullptr ? "MIDI-ON" : "MIDI-OFF");
}

void CMainFrame::OnUpdateIndicatorCount(CCmdUI& cmdUI)
{
    cmdUI.Enable(true);
    cmdUI.SetText(QString::asprintf("%04d", m_programs.GetSize()));
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == CPostedMessageEvent::EventType()) {
        const auto* message = static_cast<CPostedMessageEvent*>(event);
        if (message->Message() == WM_USER)
            OnGridNotify(message->WParam(), message->LParam());
        return true;
    }
    // The window getting the keyboard back is the frame getting the focus: it goes to the
    // grid, not to the MIDI bar control that last had it.
    if (event->type() == QEvent::WindowActivate) {
        OnSetFocus();
        if (!m_panesPlaced)   // the window manager has the window on the screen
            PlaceFloatingPanes();
    }
    return QMainWindow::event(event);
}

void CMainFrame::focusInEvent(QFocusEvent* event)
{
    QMainWindow::focusInEvent(event);
    OnSetFocus();
}

void CMainFrame::OnSetFocus()
{
    if (m_wndGrid)
        m_wndGrid->setFocus();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Once the window itself is on the screen: when it is first activated, or a little
    // later for a window manager that does not activate it.
    QTimer::singleShot(PANES_PLACED_AFTER_MS, this, [this] {
        if (!m_panesPlaced)
            PlaceFloatingPanes();
    });
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    for (const CloseGuard& mayClose : m_closeGuards) {
        if (!mayClose()) {   // such as unsaved bank changes, and Cancel
            event->ignore();
            return;
        }
    }
    DestroyWindow();
    SaveLayout();
    for (const ClosedHandler& closed : m_closedHandlers)
        closed();
    event->accept();
}

bool CMainFrame::DestroyWindow()
{
    CloseMidiOut();

    IProfile& profile = *m_services.profile;
    if (!isMinimized()) {
        const QRect outer = frameGeometry();
        profile.WriteProfileInt("rect", "top", outer.y());
        profile.WriteProfileInt("rect", "left", outer.x());
        profile.WriteProfileInt("rect", "bottom", outer.y() + outer.height());
        profile.WriteProfileInt("rect", "right", outer.x() + outer.width());
    }
    profile.WriteProfileInt("midi", "chan", m_cbMidiChan ? m_cbMidiChan->currentIndex() : -1);
    if (m_cbMidiPort && m_cbMidiPort->currentIndex() >= 0) {
        profile.WriteProfileString("midi", "port", m_cbMidiPort->currentText());
        // Where it is, to tell it from another port of the same name at the next start.
        profile.WriteProfileString("midi", "address", QString::fromStdString(m_midiPorts.GetSelectedPort().address));
    }
    const QString currentDirectory = QDir::currentPath();
    if (!currentDirectory.isEmpty())
        profile.WriteProfileString("app", "curdir", QDir::toNativeSeparators(currentDirectory));
    return true;
}
