// The bank pane through the window: loading a bank, filling and moving slots, undo and
// redo, the modified mark, and audition.

#include "BankTestSupport.h"
#include "SyxProgram.h"
#include "bank/ProgramMime.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

QStringList MenuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    return texts;
}

QMenu* Menu(QMainWindow& frame, const QString& title)
{
    for (QAction* entry : frame.menuBar()->actions())
        if (entry->text() == title)
            return entry->menu();
    return nullptr;
}

TEST_F(BankPaneTest, BeforeABankThePaneIsHiddenAndItsCommandsAreOff)
{
    CMainFrame& frame = fixture.Frame();
    frame.show();
    EXPECT_FALSE(Pane().isVisible());
    EXPECT_FALSE(Pane().HasBank());
    EXPECT_EQ(Pane().windowTitle(), "Bank");

    EXPECT_EQ(MenuTexts(Menu(frame, "&File")),
              QStringList({"O&pen Syx File(s)...\tCtrl+O", "&Save Last Random...", "", "Recent &Files", "",
                           "&New Bank", "Open &Bank...", "Save Ban&k	Ctrl+S", "Sa&ve Bank As...", "",
                           "Keep Opened Files &in Collection", "Save Bank to &Collection...",
                           "Open Bank from Co&llection...", "", "E&xit"}));
    EXPECT_EQ(MenuTexts(Menu(frame, "&Edit")), QStringList({"&Undo", "&Redo"}));
    EXPECT_EQ(Command(ID_EDIT_UNDO)->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(Command(ID_EDIT_REDO)->shortcut(), QKeySequence("Ctrl+Y"));
    EXPECT_TRUE(MenuTexts(Menu(frame, "&View")).contains("&Bank"));
    EXPECT_EQ(MenuTexts(Menu(frame, "&Program")).mid(5, 3), QStringList({"", "&Put in Bank", "&Use as Bank"}));
    EXPECT_EQ(frame.Grid()->actions(), QList<QAction*>({Command(ID_PROGRAM_PUT_IN_BANK), Command(ID_PROGRAM_USE_AS_BANK)}));

    for (int id : {ID_FILE_SAVE_BANK_AS, ID_PROGRAM_PUT_IN_BANK, ID_PROGRAM_USE_AS_BANK, ID_EDIT_UNDO, ID_EDIT_REDO})
        EXPECT_FALSE(Command(id)->isEnabled()) << id;
    EXPECT_TRUE(Command(ID_FILE_OPEN_BANK)->isEnabled());

    // Shown without a bank, it says how to get one rather than listing made-up slots.
    Command(ID_VIEW_BANK)->trigger();
    EXPECT_TRUE(Pane().isVisible());
    EXPECT_TRUE(Pane().findChild<QLabel*>("bankHint")->isVisible());
    EXPECT_FALSE(Pane().Grid()->isVisible());
    EXPECT_EQ(Pane().SelectedSlot(), -1);
    Command(ID_VIEW_BANK)->trigger();
    EXPECT_FALSE(Pane().isVisible());
}

TEST_F(BankPaneTest, OpenBankListsTheSlotsAndRefusesWhatIsNotABank)
{
    fixture.Frame().show();
    OpenBank(WriteBank("Factory.syx", "Prog", FUNC_ALL_DATA_DUMP));
    EXPECT_EQ(fixture.fileDialogs.lastOpenFilter, "SYX Files (*.syx)|*.syx|All Files (*.*)|*.*||");
    ASSERT_TRUE(Pane().HasBank());
    EXPECT_TRUE(Pane().isVisible());
    EXPECT_TRUE(Pane().Grid()->isVisible());
    EXPECT_EQ(Pane().windowTitle(), "Bank - Factory.syx");
    ASSERT_EQ(Pane().Grid()->model()->rowCount(), 128);
    const std::optional<CGridCell> h16 = Pane().Grid()->GetCell(127, 0);
    EXPECT_EQ(h16->text + Pane().Grid()->GetCell(127, 1)->text, "H016");
    EXPECT_EQ(SlotName(127), " Prog127");
    EXPECT_EQ(Pane().Grid()->GetCell(2, 3)->text, " Dual");
    // The library grid's colours.
    EXPECT_EQ(h16->textColor, RGB(0, 64, 128));
    EXPECT_EQ(h16->backColor, RGB(193, 193, 255));
    EXPECT_EQ(Pane().SelectedSlot(), 0);
    EXPECT_TRUE(Command(ID_FILE_SAVE_BANK_AS)->isEnabled());

    const Bytes before = Pane().BankDump();
    OpenBank(WriteSingle("Warm.syx", "Warm"));
    QFile::copy(Path("Factory.syx"), Path("Cut.syx"));
    QFile::resize(Path("Cut.syx"), 30000);
    OpenBank(Path("Cut.syx"));

    ASSERT_EQ(fixture.messageBox.shown.size(), 2u);
    EXPECT_EQ(fixture.messageBox.shown[0].text, "Failed to parse Syx file Warm. File holds one program, not a bank of 128");
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(fixture.messageBox.shown[1].text,
              "Failed to parse Syx file Cut. Failed to read file, patch data appears to be corrupted");
    EXPECT_EQ(Pane().BankDump(), before);
    EXPECT_EQ(Pane().windowTitle(), "Bank - Factory.syx");
}

TEST_F(BankPaneTest, UseAsBankTakesTheRowsFileInDumpOrderEvenWhenNamesRepeat)
{
    QDir(folder.path()).mkdir("other");
    const QString first = WriteBank("Bank.syx", "One");
    const QString second = WriteBank("other/Bank.syx", "Two");
    OpenLibrary({first, WriteSingle("Pad.syx", "Pad"), second});
    ASSERT_EQ(fixture.Frame().Programs().GetSize(), 257);

    SelectLibraryRows({128});   // the one-program file
    EXPECT_FALSE(Command(ID_PROGRAM_USE_AS_BANK)->isEnabled());

    // Sorted by name, the rows of the second file are mixed with the first's; the bank
    // still follows the dump.
    fixture.Frame().OnGridNotify(GN_COLUMNCLICK, 3);
    int row = 0;
    while (fixture.Frame().Programs().GetAt(row)->GetName() != "Two5")
        ++row;
    SelectLibraryRows({row});
    ASSERT_TRUE(Command(ID_PROGRAM_USE_AS_BANK)->isEnabled());
    Command(ID_PROGRAM_USE_AS_BANK)->trigger();
    fixture.Idle();

    ASSERT_TRUE(Pane().HasBank());
    EXPECT_EQ(Pane().windowTitle(), "Bank - Bank.syx");
    std::string error;
    const auto expected = CBank::ReadFile(second.toStdString(), error);
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(*Pane().Bank(), *expected);
    EXPECT_FALSE(Pane().IsModified());
}

TEST_F(BankPaneTest, PutInBankFillsFromTheSelectedSlotAsOneStepThatUndoes)
{
    OpenBank(WriteBank("Factory.syx", "Prog"));
    OpenLibrary({WriteBank("Library.syx", "Lib")});
    const Bytes original = Pane().BankDump();
    const Bytes b04 = Slot(19);

    SelectLibraryRows({5, 3});
    Pane().SelectSlot(18);   // B03
    fixture.Idle();
    ASSERT_TRUE(Command(ID_PROGRAM_PUT_IN_BANK)->isEnabled());
    Command(ID_PROGRAM_PUT_IN_BANK)->trigger();
    fixture.Idle();

    // Grid order, whatever the order of selection.
    EXPECT_EQ(Slot(18), Library(3));
    EXPECT_EQ(Slot(19), Library(5));
    EXPECT_EQ(SlotName(19), " Lib5");
    EXPECT_EQ(Pane().windowTitle(), "Bank - Factory.syx*");
    EXPECT_TRUE(Pane().IsModified());
    EXPECT_EQ(Undo().count(), 1);
    EXPECT_EQ(Command(ID_EDIT_UNDO)->text(), "&Undo Put in B 003-B 004");

    Command(ID_EDIT_UNDO)->trigger();
    EXPECT_EQ(Pane().BankDump(), original);
    EXPECT_EQ(Slot(19), b04);
    EXPECT_EQ(Pane().windowTitle(), "Bank - Factory.syx");
    EXPECT_FALSE(Pane().IsModified());

    Command(ID_EDIT_REDO)->trigger();
    EXPECT_EQ(Slot(19), Library(5));
    EXPECT_TRUE(Pane().IsModified());

    // A click on the bank's header sorts nothing, the library least of all.
    emit Pane().Grid()->header()->sectionClicked(2);
    fixture.Idle();
    EXPECT_EQ(fixture.Frame().Programs().GetAt(1)->GetName(), "Lib1");

    // At H15 only two of three fit; the status bar says so.
    SelectLibraryRows({0, 1, 2});
    Pane().SelectSlot(126);
    Command(ID_PROGRAM_PUT_IN_BANK)->trigger();
    EXPECT_EQ(Slot(126), Library(0));
    EXPECT_EQ(Slot(127), Library(1));
    EXPECT_EQ(fixture.Frame().statusBar()->currentMessage(), "The bank ends at H 016: 1 of 3 programs left out");
    EXPECT_EQ(Undo().count(), 2);
}

TEST_F(BankPaneTest, DroppedLibraryRowsFillTheSlotAndTheFollowingOnes)
{
    OpenBank(WriteBank("Factory.syx", "Prog"));
    OpenLibrary({WriteBank("Library.syx", "Lib")});
    const Bytes original = Pane().BankDump();

    // The library grid only gives: drags start there, drops are not its business.
    CProgramGrid* library = fixture.Frame().Grid();
    EXPECT_EQ(library->dragDropMode(), QAbstractItemView::DragOnly);
    EXPECT_FALSE(library->acceptDrops());
    EXPECT_TRUE(library->model()->flags(library->model()->index(0, 3)) & Qt::ItemIsDragEnabled);

    // What dragging the selected rows carries: their programs in grid order.
    SelectLibraryRows({12, 10, 11});
    std::unique_ptr<QMimeData> mime(library->CreateDragData());
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->formats(), QStringList({PROGRAMS_MIME_TYPE}));
    DropOnSlot(*mime, 40);

    EXPECT_EQ(Slot(40), Library(10));
    EXPECT_EQ(Slot(42), Library(12));
    EXPECT_EQ(Pane().SelectedSlot(), 40);
    EXPECT_EQ(Pane().windowTitle(), "Bank - Factory.syx*");
    EXPECT_EQ(Undo().count(), 1);
    Command(ID_EDIT_UNDO)->trigger();
    EXPECT_EQ(Pane().BankDump(), original);
    Command(ID_EDIT_REDO)->trigger();
    EXPECT_EQ(Slot(41), Library(11));

    // Dropped on H16, one fits.
    DropOnSlot(*mime, 127);
    EXPECT_EQ(Slot(127), Library(10));
    EXPECT_EQ(fixture.Frame().statusBar()->currentMessage(), "The bank ends at H 016: 2 of 3 programs left out");

    // Text is not a program.
    QMimeData text;
    text.setText("Lib3");
    const Bytes before = Pane().BankDump();
    DropOnSlot(text, 5);
    EXPECT_EQ(Pane().BankDump(), before);
    EXPECT_EQ(Undo().count(), 2);
}

TEST_F(BankPaneTest, ASlotDraggedOntoAnotherSwapsThemAsOneStep)
{
    OpenBank(WriteBank("Factory.syx", "Prog"));
    const Bytes a03 = Slot(2);
    const Bytes a10 = Slot(9);

    Pane().SelectSlot(2);
    std::unique_ptr<QMimeData> mime(Pane().Grid()->CreateDragData());
    ASSERT_NE(mime, nullptr);
    DropOnSlot(*mime, 9, Qt::MoveAction);
    EXPECT_EQ(Slot(9), a03);
    EXPECT_EQ(Slot(2), a10);
    EXPECT_EQ(SlotName(9), " Prog2");
    EXPECT_EQ(Pane().SelectedSlot(), 9);
    EXPECT_TRUE(Pane().IsModified());
    EXPECT_EQ(Command(ID_EDIT_UNDO)->text(), "&Undo Move A 003 to A 010");

    // Ctrl+Z and Ctrl+Y, wherever the focus is in the window.
    fixture.Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&fixture.Frame()));
    Pane().Grid()->setFocus();
    QTest::keyClick(Pane().Grid(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Slot(2), a03);
    EXPECT_EQ(Slot(9), a10);
    EXPECT_FALSE(Pane().IsModified());
    EXPECT_EQ(Pane().windowTitle(), "Bank - Factory.syx");
    fixture.Frame().Grid()->setFocus();
    QTest::keyClick(fixture.Frame().Grid(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Slot(9), a03);
    EXPECT_EQ(Pane().windowTitle(), "Bank - Factory.syx*");

    // A slot of another pane (another window, another Veltrix) is not a slot of this bank.
    const Bytes before = Pane().BankDump();
    std::unique_ptr<QMimeData> foreign(CreateSlotMimeData(&fixture, 2));
    DropOnSlot(*foreign, 5, Qt::MoveAction);
    EXPECT_EQ(Pane().BankDump(), before);
    EXPECT_EQ(Undo().count(), 1);
    // Onto itself: nothing to do.
    DropOnSlot(*mime, 2, Qt::MoveAction);
    EXPECT_EQ(Undo().count(), 1);
}

TEST_F(BankPaneTest, EnterAndDoubleClickAuditionTheSelectedSlot)
{
    OpenBank(WriteBank("Factory.syx", "Prog"));
    OpenLibrary({WriteBank("Library.syx", "Lib")});
    SelectLibraryRows({0});
    Pane().SelectSlot(33);
    QTest::keyClick(Pane().Grid(), Qt::Key_Return);   // MIDI off: nothing
    fixture.Idle();
    EXPECT_TRUE(fixture.midi.GetMessages().empty());

    fixture.Frame().findChild<QComboBox*>("midiChan")->setCurrentIndex(6);
    fixture.Frame().findChild<QCheckBox*>("midiActive")->click();
    fixture.Idle();
    QTest::keyClick(Pane().Grid(), Qt::Key_Return);
    CBankGrid* grid = Pane().Grid();
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(33, 2)).center());
    fixture.Idle();

    // The slot's program, on the chosen channel; the library's selected row is left alone.
    const auto messages = fixture.midi.GetMessages();
    ASSERT_EQ(messages.size(), 2u);
    CProgramMessage expected;
    ASSERT_TRUE(BuildProgramMessage(Pane().Bank()->GetProgram(33).data(), PROGRAM_DATA_SIZE, 6, expected));
    EXPECT_EQ(messages[0], Bytes(expected.bytes, expected.bytes + expected.length));
    EXPECT_EQ(messages[1], messages[0]);
}

// What a drop carries may come from anywhere; damaged data gives no programs at all.

}  // namespace

// Putting programs in the bank shows the pane, whatever puts them there; View > Bank keeps
// its text and mnemonic whatever the pane's title says.
TEST_F(BankPaneTest, PutInBankShowsThePaneAndViewBankKeepsItsText)
{
    OpenBank(WriteBank("Factory.syx", "Prog"));
    OpenLibrary({WriteSingle("Pad.syx", "Pad")});
    SelectLibraryRows({0});
    QAction* view = Command(ID_VIEW_BANK);
    const Bytes library = Library(0);
    ASSERT_EQ(library.size(), PROGRAM_DATA_SIZE);
    CBank::ProgramData program{};
    std::copy(library.begin(), library.end(), program.begin());

    struct Way {
        const char* what;
        std::function<void()> put;
    };
    const Way ways[] = {
        {"Program > Put in Bank", [&] { Command(ID_PROGRAM_PUT_IN_BANK)->trigger(); }},
        {"another feature through the bank's access", [&] { fixture.Bank().PutPrograms({program}); }},
    };
    for (const Way& way : ways) {
        Pane().hide();
        fixture.Idle();
        ASSERT_FALSE(view->isChecked()) << way.what;
        Pane().SelectSlot(5);
        way.put();
        fixture.Idle();
        EXPECT_TRUE(Pane().isVisible()) << way.what;
        EXPECT_TRUE(view->isChecked()) << way.what;
        EXPECT_EQ(Slot(5), Library(0)) << way.what;
        EXPECT_EQ(Pane().windowTitle(), "Bank - Factory.syx*") << way.what;
        EXPECT_EQ(view->text(), "&Bank") << way.what;
    }
}
