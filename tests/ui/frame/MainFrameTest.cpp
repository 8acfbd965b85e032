// The main window's start, its bars and panes, its settings, and "Midi Active".

#include "FrameTestSupport.h"
#include "frame/FirstStartSize.h"
#include "Resources.h"
#include "grid/ProgramGrid.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(MainFrame, StartsEmptyWithMidiOffAndLibraryCommandsDisabled)
{
    CFrameFixture fixture;
    CMainFrame& frame = fixture.Create();

    EXPECT_EQ(frame.windowTitle(), "Veltrix");
    EXPECT_EQ(fixture.PaneText("paneCount"), "0000");
    EXPECT_EQ(fixture.PaneText("paneMidi"), "MIDI-OFF");
    EXPECT_EQ(fixture.PaneText("paneMessage"), "Ready");
    EXPECT_FALSE(frame.findChild<QCheckBox*>("midiActive")->isChecked());

    CProgramGrid* grid = frame.Grid();
    ASSERT_EQ(grid->model()->columnCount(), 5);
    EXPECT_EQ(grid->model()->rowCount(), 0);
    EXPECT_EQ(grid->header()->sectionSize(0), 0);
    for (int column = 1; column < 5; ++column)
        EXPECT_GT(grid->header()->sectionSize(column), 0) << column;
    EXPECT_EQ(grid->model()->headerData(4, Qt::Horizontal).toString(), "Category");

    EXPECT_FALSE(frame.Action(ID_EDIT_FIND)->isEnabled());
    EXPECT_FALSE(frame.Action(ID_PROGRAM_AUDITION)->isEnabled());
    EXPECT_FALSE(frame.Action(ID_PROGRAM_RANDOM)->isEnabled());
    EXPECT_FALSE(frame.Action(ID_FILE_SAVE_LAST_RANDOM)->isEnabled());
    EXPECT_TRUE(frame.Action(ID_FILE_OPEN)->isEnabled());
}

TEST(MainFrame, MenusToolBarAndPromptsFollowTheCommandTable)
{
    CFrameFixture fixture;
    CMainFrame& frame = fixture.Create();

    QStringList menus;
    for (QAction* menu : frame.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&View", "&Program", "&Help"}));

    QStringList buttons;
    for (QAction* action : frame.findChild<QToolBar*>("toolBar")->actions())
        buttons << QString::number(action->data().toInt(), 16);
    EXPECT_EQ(buttons, QStringList({"e101", "e124", "8006", "8018", "e140"}));

    QAction* open = frame.Action(ID_FILE_OPEN);
    EXPECT_EQ(open->text(), "O&pen Syx File(s)...\tCtrl+O");
    EXPECT_EQ(open->statusTip(), "Open Syx Files");
    EXPECT_EQ(open->toolTip(), "Open  (Ctrl-O)");
    EXPECT_EQ(open->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(frame.Action(ID_PROGRAM_AUDITION)->shortcut(), QKeySequence("Ctrl+A"));
    EXPECT_EQ(frame.Action(ID_PROGRAM_RANDOM)->shortcut(), QKeySequence("Ctrl+R"));
    EXPECT_EQ(frame.Action(ID_EDIT_FIND)->shortcut(), QKeySequence("Ctrl+F"));
    EXPECT_EQ(frame.Action(ID_PROGRAM_RANDOM)->statusTip(), "Generate Random Program");
}

TEST(MainFrame, ViewCommandsHideAndShowTheBars)
{
    CFrameFixture fixture;
    CMainFrame& frame = fixture.Create();
    frame.show();
    QToolBar* toolBar = frame.findChild<QToolBar*>("toolBar");

    frame.Action(ID_VIEW_TOOLBAR)->trigger();
    EXPECT_FALSE(toolBar->isVisible());
    frame.Action(ID_VIEW_TOOLBAR)->trigger();
    EXPECT_TRUE(toolBar->isVisible());

    frame.Action(ID_VIEW_STATUS_BAR)->trigger();
    EXPECT_FALSE(frame.statusBar()->isVisible());
    frame.Action(ID_VIEW_STATUS_BAR)->trigger();
    EXPECT_TRUE(frame.statusBar()->isVisible());
}

TEST(MainFrameSettings, FirstRunSelectsTheFirstPortAndChannelOne)
{
    const QString before = QDir::currentPath();
    CFrameFixture fixture;
    fixture.midi.AddDevice("Synth Through", MidiOutKind::Other);
    fixture.midi.AddDevice("USB MIDI 1");
    fixture.midi.AddDevice("USB MIDI 2");
    CMainFrame& frame = fixture.Create();

    auto* port = frame.findChild<QComboBox*>("midiPort");
    ASSERT_EQ(port->count(), 2);
    EXPECT_EQ(port->currentText(), "USB MIDI 1");
    EXPECT_EQ(port->currentData().toInt(), 1);   // the device id, not the list position
    auto* channel = frame.findChild<QComboBox*>("midiChan");
    ASSERT_EQ(channel->count(), 16);
    EXPECT_EQ(channel->currentText(), "01");
    EXPECT_EQ(channel->itemText(15), "16");
    EXPECT_EQ(channel->itemData(15).toInt(), 15);
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST(MainFrameSettings, StoredChoicesAreRestored)
{
    QTemporaryDir folder;
    const QString before = QDir::currentPath();
    CFrameFixture fixture;
    fixture.midi.AddDevice("USB MIDI 1");
    fixture.midi.AddDevice("USB MIDI 2");
    fixture.profile.values["midi/port"] = "usb midi 2";
    fixture.profile.values["midi/chan"] = "5";
    fixture.profile.values["app/curdir"] = folder.path();
    CMainFrame& frame = fixture.Create();

    EXPECT_EQ(frame.findChild<QComboBox*>("midiPort")->currentText(), "USB MIDI 2");
    EXPECT_EQ(frame.findChild<QComboBox*>("midiChan")->currentText(), "06");
    EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(folder.path()).canonicalPath());
    QDir::setCurrent(before);
}

TEST(MainFrameSettings, ChannelOutsideTheListLeavesNoSelection)
{
    CFrameFixture fixture;
    fixture.profile.values["midi/chan"] = "16";
    CMainFrame& frame = fixture.Create();
    EXPECT_EQ(frame.findChild<QComboBox*>("midiChan")->currentIndex(), -1);
}

TEST(MainFrameSettings, StoredRectanglePlacesTheWindow)
{
    // Within the offscreen screen of 800 x 600 (the 1280 x 1024 desktop test places
    // 100, 50, 900, 650).
    CFrameFixture fixture;
    fixture.profile.values["rect/left"] = "100";
    fixture.profile.values["rect/top"] = "50";
    fixture.profile.values["rect/right"] = "700";
    fixture.profile.values["rect/bottom"] = "550";
    CMainFrame& frame = fixture.Create();
    frame.show();

    EXPECT_EQ(frame.frameGeometry().topLeft(), QPoint(100, 50));
    EXPECT_EQ(frame.frameGeometry().size(), QSize(600, 500));
}

// A rectangle stored on a larger screen, or partly off this one, is moved and if need be
// shrunk into the screen's available area; one that fits is used as it is.
TEST(MainFrameSettings, StoredRectangleIsFittedToTheScreen)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    struct Case {
        const char* what;
        QRect stored;
        QRect expected;
    };
    const int w = area.width(), h = area.height();
    const Case cases[] = {
        {"fits", QRect(area.x() + 10, area.y() + 20, w / 2, h / 2), QRect(area.x() + 10, area.y() + 20, w / 2, h / 2)},
        {"larger than the screen", QRect(area.x() + 30, area.y() + 40, w + 176, h + 132), area},
        {"hanging off right and bottom", QRect(area.x() + w - 100, area.y() + h - 50, w / 2, h / 2),
         QRect(area.x() + w - w / 2, area.y() + h - h / 2, w / 2, h / 2)},
        {"above and left of the screen", QRect(area.x() - 500, area.y() - 300, w / 2, h / 2),
         QRect(area.x(), area.y(), w / 2, h / 2)},
        {"on a screen that is gone", QRect(area.x() + 5000, area.y(), w / 2, h / 2),
         QRect(area.x() + w - w / 2, area.y(), w / 2, h / 2)},
    };
    for (const Case& c : cases) {
        CFrameFixture fixture;
        fixture.profile.values["rect/left"] = QString::number(c.stored.left());
        fixture.profile.values["rect/top"] = QString::number(c.stored.top());
        fixture.profile.values["rect/right"] = QString::number(c.stored.left() + c.stored.width());
        fixture.profile.values["rect/bottom"] = QString::number(c.stored.top() + c.stored.height());
        CMainFrame& frame = fixture.Create();
        frame.show();
        EXPECT_EQ(frame.frameGeometry(), c.expected) << c.what;
    }
}

TEST(MainFrameSettings, FirstStartShowsTheWholeMidiBarAndTwentyRowsCentred)
{
    CFrameFixture fixture;
    fixture.midi.AddDevice("USB MIDI Interface With A Long Name");
    CMainFrame& frame = fixture.Create();
    frame.Grid()->AddRows(FIRST_START_GRID_ROWS + 5);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    // Every control of the MIDI bar is on the bar, none is folded away behind its
    // extension button, and the bar is inside the window.
    auto* midiBar = frame.findChild<QToolBar*>("midiBar");
    const QRect window = frame.rect();
    EXPECT_TRUE(window.contains(QRect(midiBar->mapTo(&frame, QPoint(0, 0)), midiBar->size())));
    const QList<QWidget*> controls = midiBar->findChildren<QWidget*>(QRegularExpression("^midi"));
    ASSERT_EQ(controls.size(), 3);
    for (QWidget* control : controls) {
        EXPECT_TRUE(control->isVisible()) << control->objectName().toStdString();
        EXPECT_TRUE(midiBar->rect().contains(control->geometry())) << control->objectName().toStdString();
    }
    for (auto* extension : midiBar->findChildren<QToolButton*>("qt_toolbar_ext_button"))
        EXPECT_FALSE(extension->isVisible());

    // Twenty whole rows fit in the grid.
    CProgramGrid* grid = frame.Grid();
    const QRect lastRow = grid->visualRect(grid->model()->index(FIRST_START_GRID_ROWS - 1, 1));
    EXPECT_LE(lastRow.bottom(), grid->viewport()->height() - 1);

    const QRect screen = frame.screen()->availableGeometry();
    // Wide enough for the list's five columns beside the bank pane, it may take the whole
    // width of the small offscreen screen, or more when its bars need more: then it starts
    // at the screen's left edge.
    if (frame.frameGeometry().width() >= screen.width())
        EXPECT_EQ(frame.frameGeometry().x(), screen.x());
    else
        EXPECT_LE(std::abs(frame.frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(frame.frameGeometry().center().y() - screen.center().y()), 1);
}

TEST(MainFrameSettings, ShutdownWritesInOrder)
{
    QTemporaryDir folder;
    const QString before = QDir::currentPath();
    CFrameFixture fixture;
    fixture.midi.AddDevice("USB MIDI 1");
    CMainFrame& frame = fixture.Create();
    frame.setGeometry(120, 80, 640, 480);
    frame.findChild<QComboBox*>("midiChan")->setCurrentIndex(9);
    QDir::setCurrent(folder.path());

    frame.close();
    QDir::setCurrent(before);

    // The window layout (bars and bank pane) and where the bank is come after the settings
    // of old.
    const std::vector<QString> order = {"rect/top", "rect/left", "rect/bottom", "rect/right",
                                        "midi/chan", "midi/port", "midi/address", "app/curdir",
                                        "window/state", "bank/origin", "bank/where"};
    EXPECT_EQ(fixture.profile.writes, order);
    EXPECT_EQ(fixture.profile.values["rect/left"], "120");
    EXPECT_EQ(fixture.profile.values["rect/top"], "80");
    EXPECT_EQ(fixture.profile.values["rect/right"], "760");
    EXPECT_EQ(fixture.profile.values["rect/bottom"], "560");
    EXPECT_EQ(fixture.profile.values["midi/chan"], "9");
    EXPECT_EQ(fixture.profile.values["midi/port"], "USB MIDI 1");
    EXPECT_EQ(QDir(fixture.profile.values["app/curdir"]).canonicalPath(), QDir(folder.path()).canonicalPath());
}

// Two interfaces of one model: the one stored is selected again, never its twin.
TEST(MainFrameSettings, TheStoredOneOfTwoPortsOfOneNameIsRestored)
{
    struct Case {
        const char* what;
        QString port, address;
        bool secondGone;
        QString selected;   // empty: nothing selected
    };
    const Case cases[] = {
        {"the second", "USB MIDI #2", "21:0", false, "USB MIDI #2"},
        {"the first", "USB MIDI", "20:0", false, "USB MIDI"},
        {"the second, not connected", "USB MIDI #2", "21:0", true, ""},
    };
    for (const Case& c : cases) {
        CFrameFixture fixture;
        fixture.midi.AddDevice("USB MIDI");   // 20:0
        fixture.midi.AddDevice("USB MIDI");   // 21:0
        if (c.secondGone)
            fixture.midi.UnplugAt("21:0");
        fixture.profile.values["midi/port"] = c.port;
        fixture.profile.values["midi/address"] = c.address;
        CMainFrame& frame = fixture.Create();
        auto* ports = frame.findChild<QComboBox*>("midiPort");
        EXPECT_EQ(ports->currentText(), c.selected) << c.what;
        frame.DestroyWindow();
        if (!c.selected.isEmpty()) {
            EXPECT_EQ(fixture.profile.values["midi/port"], c.selected) << c.what;
            EXPECT_EQ(fixture.profile.values["midi/address"], c.address) << c.what;
        }
    }
}

TEST(MainFrameSettings, MinimizedKeepsTheRectangleAndNoPortKeepsThePort)
{
    CFrameFixture fixture;
    fixture.profile.values["rect/left"] = "1";
    fixture.profile.values["midi/port"] = "Gone Interface";
    CMainFrame& frame = fixture.Create();
    frame.show();
    frame.showMinimized();
    frame.DestroyWindow();

    EXPECT_EQ(fixture.profile.values["rect/left"], "1");
    EXPECT_EQ(fixture.profile.values.count("rect/top"), 0u);
    EXPECT_EQ(fixture.profile.values["midi/port"], "Gone Interface");
    EXPECT_EQ(fixture.profile.values["midi/chan"], "0");
    EXPECT_EQ(fixture.profile.writes.front(), "midi/chan");
}

TEST(MainFrameMidi, FailedOpenShowsTheErrorAndKeepsTheTick)
{
    CFrameFixture fixture;
    fixture.midi.AddDevice("USB MIDI 1");
    fixture.midi.RefuseOpen(7, "The device is busy.");
    CMainFrame& frame = fixture.Create();
    auto* active = frame.findChild<QCheckBox*>("midiActive");

    active->click();
    fixture.Idle();

    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].text, "Error: Failed to open the specified MIDI port. The device is busy.");
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(active->isChecked());
    EXPECT_FALSE(frame.IsMidiOpen());
    EXPECT_EQ(fixture.PaneText("paneMidi"), "MIDI-OFF");
    EXPECT_TRUE(frame.findChild<QComboBox*>("midiPort")->isEnabled());
}

TEST(MainFrameMidi, OpenDisablesTheListsAndCloseEnablesThem)
{
    CFrameFixture fixture;
    fixture.midi.AddDevice("USB MIDI 1");
    CMainFrame& frame = fixture.Create();
    auto* active = frame.findChild<QCheckBox*>("midiActive");
    auto* port = frame.findChild<QComboBox*>("midiPort");
    auto* channel = frame.findChild<QComboBox*>("midiChan");

    active->click();
    fixture.Idle();
    EXPECT_TRUE(frame.IsMidiOpen());
    EXPECT_EQ(fixture.PaneText("paneMidi"), "MIDI-ON");
    EXPECT_FALSE(port->isEnabled());
    EXPECT_FALSE(channel->isEnabled());

    active->click();
    fixture.Idle();
    EXPECT_FALSE(frame.IsMidiOpen());
    EXPECT_FALSE(fixture.midi.IsOpen());
    EXPECT_EQ(fixture.PaneText("paneMidi"), "MIDI-OFF");
    EXPECT_TRUE(port->isEnabled());
    EXPECT_TRUE(channel->isEnabled());
}

TEST(MainFrameMidi, ClosingTheWindowClosesTheDeviceFirst)
{
    CFrameFixture fixture;
    fixture.midi.AddDevice("USB MIDI 1");
    CMainFrame& frame = fixture.Create();
    frame.findChild<QCheckBox*>("midiActive")->click();
    ASSERT_TRUE(fixture.midi.IsOpen());

    frame.close();
    EXPECT_FALSE(fixture.midi.IsOpen());
    EXPECT_EQ(fixture.midi.GetCalls().back(), "close");
}

}  // namespace
