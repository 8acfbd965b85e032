// The library at work through the window's commands: Open, the grid, Find, sorting,
// audition, random and Save Last Random.

#include "FrameTestSupport.h"
#include "ProgramList.h"
#include "SyxFormat.h"
#include "frame/FindDlg.h"
#include "Resources.h"
#include "grid/ProgramGrid.h"
#include "services/PostMessage.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const COLORREF UNMARKED = RGB(193, 193, 255);
const COLORREF MARKED = RGB(128, 128, 255);

// A window with a temporary folder for dump files and one hardware MIDI port.
class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.midi.AddDevice("USB MIDI 1");
        fixture.Create();
    }

    QString Path(const QString& name) const { return folder.filePath(name); }

    // A 128-program dump whose names are `prefix` and the program's index.
    QString WriteBank(const QString& name, const std::string& prefix, unsigned char function = FUNC_PROGRAM_DUMP)
    {
        std::vector<std::vector<unsigned char>> programs;
        for (int i = 0; i < 128; ++i)
            programs.push_back(MakeProgram(prefix + std::to_string(i), i % 4, i));
        return WriteDump(Path(name), programs, function);
    }

    QString WriteSingle(const QString& name, const std::string& programName, int voiceMode = 0)
    {
        return WriteDump(Path(name), {MakeProgram(programName, voiceMode, 3)}, FUNC_CURRENT_PROGRAM);
    }

    void Open(const QStringList& paths)
    {
        fixture.fileDialogs.nextOpen = paths;
        Frame().Action(ID_FILE_OPEN)->trigger();
        fixture.Idle();
    }

    void Find(const QString& text)
    {
        fixture.Find(text);
    }

    void OpenMidi(int channelIndex = 0)
    {
        Frame().findChild<QComboBox*>("midiChan")->setCurrentIndex(channelIndex);
        Frame().findChild<QCheckBox*>("midiActive")->click();
        fixture.Idle();
        ASSERT_TRUE(Frame().IsMidiOpen());
    }

    void PostGridNotify(int code, int value)
    {
        PostMessageToMainWindow(WM_USER, code, value);
        fixture.Idle();
    }

    CMainFrame& Frame() { return fixture.Frame(); }
    CProgramGrid& Grid() { return *fixture.Frame().Grid(); }
    QString CellText(int row, int column) { return Grid().GetCell(row, column)->text; }

    QTemporaryDir folder;
    CFrameFixture fixture;
};

TEST_F(LibraryTest, OpeningOneBankShowsItsProgramsInDumpOrder)
{
    Open({WriteBank("Factory.syx", "Prog")});

    EXPECT_EQ(fixture.fileDialogs.lastOpenFilter, "SYX Files (*.syx)|*.syx|All Files (*.*)|*.*||");
    EXPECT_EQ(fixture.fileDialogs.lastOpenExtension, ".syx");
    ASSERT_EQ(Grid().model()->rowCount(), 128);
    EXPECT_EQ(CellText(0, 1), "A");
    EXPECT_EQ(CellText(0, 2), "001");
    EXPECT_EQ(CellText(0, 3), " Prog0");
    EXPECT_EQ(CellText(0, 4), " Single");
    EXPECT_EQ(CellText(127, 1), "H");
    EXPECT_EQ(CellText(127, 2), "016");
    EXPECT_EQ(CellText(127, 4), " Vocoder");
    EXPECT_TRUE(CellText(0, 0).isEmpty());
    EXPECT_EQ(Grid().header()->sectionSize(0), 0);
    EXPECT_EQ(Grid().GetCell(0, 3)->alignment, GRID_ALIGN_LEFT);
    EXPECT_EQ(Grid().GetCell(0, 1)->alignment, GRID_ALIGN_CENTER);
    EXPECT_EQ(Frame().windowTitle(), "Veltrix - [Factory.syx]");
    EXPECT_EQ(fixture.PaneText("paneCount"), "0128");
    EXPECT_EQ(Grid().GetSelectedRow(), -1);
    EXPECT_EQ(fixture.waitCursor.depth, 0);
    EXPECT_GE(fixture.waitCursor.begins, 1);
    EXPECT_TRUE(Frame().Action(ID_EDIT_FIND)->isEnabled());
    EXPECT_FALSE(Frame().Action(ID_PROGRAM_AUDITION)->isEnabled());   // MIDI is off
}

TEST_F(LibraryTest, OpeningTwoBanksShowsTheFileColumn)
{
    Open({WriteBank("First.syx", "One"), WriteBank("Second.2.syx", "Two", FUNC_ALL_DATA_DUMP)});

    ASSERT_EQ(Grid().model()->rowCount(), 256);
    EXPECT_EQ(CellText(0, 0), " First");
    EXPECT_EQ(CellText(200, 0), " Second");
    EXPECT_EQ(Grid().header()->sectionSize(0), Grid().GetSampleWidth("XXXXXXXXXXXXXXXX"));
    EXPECT_EQ(Frame().windowTitle(), "Veltrix");
    EXPECT_EQ(Frame().FileCount(), 2);
}

TEST_F(LibraryTest, ACorruptedFileIsReportedAndTheOthersAreRead)
{
    const QString broken = WriteSingle("Broken.syx", "Bad");
    QFile::resize(broken, 200);
    Open({WriteSingle("Lead.syx", "Lead"), broken, WriteSingle("Pad.syx", "Pad")});

    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].text,
              "Failed to parse Syx file Broken. Failed to read file, patch data appears to be corrupted");
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);
    ASSERT_EQ(Grid().model()->rowCount(), 2);
    EXPECT_EQ(CellText(0, 3), " Lead");
    EXPECT_EQ(CellText(1, 3), " Pad");
    EXPECT_EQ(Frame().FileCount(), 2);
    EXPECT_EQ(Frame().windowTitle(), "Veltrix");
}

TEST_F(LibraryTest, ABadHeaderIsNamedWithTheDisplayName)
{
    QFile junk(Path("Notes.txt"));
    junk.open(QIODevice::WriteOnly);
    junk.write("just some text");
    junk.close();
    Open({junk.fileName()});

    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].text, "Failed to parse Syx file Notes. File is not a valid Korg Syx File");
    EXPECT_EQ(Grid().model()->rowCount(), 0);
    EXPECT_EQ(Frame().windowTitle(), "Veltrix");
}

TEST_F(LibraryTest, CancellingOpenKeepsEverything)
{
    Open({WriteBank("Factory.syx", "Prog")});
    Open({});
    EXPECT_EQ(Grid().model()->rowCount(), 128);
    EXPECT_EQ(Frame().windowTitle(), "Veltrix - [Factory.syx]");
}

TEST_F(LibraryTest, FindMarksMatchingNamesAndAnEmptyFindClears)
{
    Open({WriteSingle("a.syx", "Init Sound"), WriteSingle("b.syx", "Bass"), WriteSingle("c.syx", "INIT Program")});
    Find("init");

    EXPECT_EQ(Frame().FindText(), "init");
    EXPECT_EQ(Grid().GetCell(0, 3)->backColor, MARKED);
    EXPECT_EQ(Grid().GetCell(0, 1)->backColor, MARKED);
    EXPECT_EQ(Grid().GetCell(1, 3)->backColor, UNMARKED);
    EXPECT_EQ(Grid().GetCell(2, 3)->backColor, MARKED);

    Find("");
    EXPECT_EQ(Grid().GetCell(0, 3)->backColor, UNMARKED);
    EXPECT_EQ(Grid().GetCell(2, 3)->backColor, UNMARKED);
}

TEST_F(LibraryTest, HeaderClickSortsKeepsTheMarkingAndClearsTheSelection)
{
    Open({WriteBank("Factory.syx", "Prog")});
    Find("prog1");
    Grid().selectionModel()->select(Grid().model()->index(5, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);

    PostGridNotify(GN_COLUMNCLICK, 4);   // "Category"

    EXPECT_EQ(CellText(0, 4), " Dual");
    EXPECT_EQ(CellText(127, 4), " Vocoder");
    EXPECT_EQ(Grid().GetSelectedRow(), -1);
    for (int row = 0; row < 128; ++row) {
        const bool marked = CellText(row, 3).startsWith(" Prog1");
        EXPECT_EQ(Grid().GetCell(row, 3)->backColor, marked ? MARKED : UNMARKED) << row;
    }
}

// The grid hands its texts to Qt (what a screen reader reads, and what typing searches),
// and the sorted column shows it in its header.
TEST_F(LibraryTest, CellTextsReachQtTypingFindsANameAndTheSortedColumnIsShown)
{
    Open({WriteSingle("a.syx", "Lead"), WriteSingle("b.syx", "Bass"), WriteSingle("c.syx", "Pad", 2),
          WriteSingle("d.syx", "bright", 3), WriteSingle("e.syx", "Brass")});
    QAbstractItemModel* model = Grid().model();
    EXPECT_EQ(model->index(1, 3).data(Qt::DisplayRole).toString(), " Bass");
    EXPECT_EQ(model->index(2, 4).data(Qt::AccessibleTextRole).toString(), "Dual");
    EXPECT_EQ(model->index(0, 0).data(Qt::DisplayRole).toString(), " a");

    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&Grid());
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    QAccessibleInterface* cell = table->tableInterface()->cellAt(4, 3);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), "Brass");

    // Keys typed one after the other make one search; the same key again moves on.
    struct Typed {
        const char* keys;
        bool pause;   // longer than the typing interval before the keys
        int row;
    };
    const Typed typing[] = {
        {"b", true, 1}, {"r", false, 3}, {"a", false, 4}, {"p", true, 2}, {"b", true, 3},
        {"b", false, 4}, {"b", false, 1}, {"z", true, 1},
    };
    for (const Typed& t : typing) {
        if (t.pause)
            QTest::qWait(QApplication::keyboardInputInterval() + 50);
        QTest::keyClicks(&Grid(), t.keys);
        EXPECT_EQ(Grid().currentIndex().row(), t.row) << t.keys;
        EXPECT_EQ(Grid().GetSelectedRow(), t.row) << t.keys;
    }
    fixture.Idle();

    EXPECT_FALSE(Grid().header()->isSortIndicatorShown());
    PostGridNotify(GN_COLUMNCLICK, 3);
    EXPECT_TRUE(Grid().header()->isSortIndicatorShown());
    EXPECT_EQ(Grid().header()->sortIndicatorSection(), 3);
    EXPECT_EQ(Grid().header()->sortIndicatorOrder(), Qt::AscendingOrder);
    PostGridNotify(GN_COLUMNCLICK, 3);   // a second click sorts the same way
    EXPECT_EQ(Grid().header()->sortIndicatorOrder(), Qt::AscendingOrder);
    Open({WriteSingle("f.syx", "Fresh")});   // a new library comes in file order
    EXPECT_FALSE(Grid().header()->isSortIndicatorShown());
}

TEST_F(LibraryTest, EnterAndDoubleClickAuditionTheFirstSelectedRow)
{
    Open({WriteBank("Factory.syx", "Prog")});
    OpenMidi(9);   // "10"
    for (int row : {7, 3})
        Grid().selectionModel()->select(Grid().model()->index(row, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);

    PostGridNotify(GN_KEYDOWN, 13);
    PostGridNotify(GN_KEYDOWN, 65);   // 'A' does nothing
    PostGridNotify(GN_DBLCLK, 0);

    const auto messages = fixture.midi.GetMessages();
    ASSERT_EQ(messages.size(), 2u);
    CProgramMessage expected;
    const CSyxProgram* program = Frame().Programs().GetAt(3);
    ASSERT_TRUE(BuildProgramMessage(program->GetData(), program->GetLength(), 9, expected));
    EXPECT_EQ(messages[0], std::vector<unsigned char>(expected.bytes, expected.bytes + expected.length));
    EXPECT_EQ(messages[0][2], 0x39);
    EXPECT_EQ(messages[1], messages[0]);
}

TEST_F(LibraryTest, NothingIsSentWhileMidiIsOff)
{
    Open({WriteBank("Factory.syx", "Prog")});
    Grid().selectionModel()->select(Grid().model()->index(0, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    PostGridNotify(GN_DBLCLK, 0);
    Frame().OnProgramRandom();
    EXPECT_TRUE(fixture.midi.GetMessages().empty());
    EXPECT_TRUE(fixture.messageBox.shown.empty());
    EXPECT_EQ(Frame().LastRandomLength(), 0u);
}

TEST_F(LibraryTest, RandomSendsOnTheChosenChannelAndKeepsACopyForChannelOne)
{
    Open({WriteBank("Factory.syx", "Prog")});
    OpenMidi(4);   // "05"
    EXPECT_TRUE(Frame().Action(ID_PROGRAM_RANDOM)->isEnabled());
    Frame().Action(ID_PROGRAM_RANDOM)->trigger();
    fixture.Idle();

    const auto messages = fixture.midi.GetMessages();
    ASSERT_EQ(messages.size(), 1u);
    ASSERT_EQ(messages[0].size(), 297u);
    EXPECT_EQ(messages[0][2], 0x34);
    ASSERT_EQ(Frame().LastRandomLength(), 297u);
    std::vector<unsigned char> kept(Frame().LastRandom(), Frame().LastRandom() + 297);
    EXPECT_EQ(kept[2], 0x30);
    kept[2] = 0x34;
    EXPECT_EQ(kept, messages[0]);
    EXPECT_TRUE(Frame().Action(ID_FILE_SAVE_LAST_RANDOM)->isEnabled());
}

TEST_F(LibraryTest, ARefusedRandomIsReportedAndStillKept)
{
    Open({WriteBank("Factory.syx", "Prog")});
    OpenMidi();
    fixture.midi.RefuseSend(9, "The cable is loose.");
    Frame().OnProgramRandom();

    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].text, "Error: Failed to send Midi SysEx message to MS2K. The cable is loose.");
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(Frame().LastRandomLength(), 297u);
}

TEST_F(LibraryTest, SaveLastRandomWritesAProgramThatReadsBack)
{
    Open({WriteBank("Factory.syx", "Prog")});
    OpenMidi(4);
    Frame().OnProgramRandom();

    const QString target = Path("Keep.syx");
    QFile old(target);
    old.open(QIODevice::WriteOnly);
    old.write(QByteArray(5000, 'x'));
    old.close();
    fixture.fileDialogs.nextSave = target;
    fixture.Idle();
    Frame().Action(ID_FILE_SAVE_LAST_RANDOM)->trigger();

    EXPECT_EQ(fixture.fileDialogs.lastSaveFilter, "SysEx Files (*.syx)|*.syx|All Files (*.*)|*.*||");
    EXPECT_EQ(fixture.fileDialogs.lastSaveExtension, ".SYX");
    QFile saved(target);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    ASSERT_EQ(bytes.size(), 297);
    EXPECT_EQ(0, memcmp(bytes.constData(), Frame().LastRandom(), 297));

    CProgramList list;
    std::string error;
    ASSERT_EQ(list.ReadSyxFile(target.toStdString(), error, "Keep"), 1) << error;
    ASSERT_EQ(list.GetSize(), 1);
    EXPECT_EQ(list.GetAt(0)->GetName(), "RandomPatch");
    EXPECT_EQ(list.GetAt(0)->GetBankText(), "A");
    EXPECT_EQ(list.GetAt(0)->GetNumberText(), "001");
}

TEST_F(LibraryTest, AFailedSaveSaysSoAndLeavesWhatWasThere)
{
    Open({WriteBank("Factory.syx", "Prog")});
    OpenMidi();
    Frame().OnProgramRandom();

    fixture.fileDialogs.nextSave = Path("missing-folder/Keep.syx");
    Frame().OnFileSaveLastRandom();
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].text, "Doh ! Failed to save syx file, check file name and drive space.");
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);

    // A target that is a folder is refused, and the folder and its contents stay.
    QDir(folder.path()).mkdir("AFolder.syx");
    WriteSingle("AFolder.syx/inside.syx", "Inside");
    fixture.fileDialogs.nextSave = Path("AFolder.syx");
    Frame().OnFileSaveLastRandom();
    EXPECT_EQ(fixture.messageBox.shown.size(), 2u);
    EXPECT_TRUE(QFileInfo(Path("AFolder.syx")).isDir());
    EXPECT_TRUE(QFile::exists(Path("AFolder.syx/inside.syx")));
}

TEST_F(LibraryTest, TheRealDumpsOpenAsTheirOwnersSay)
{
    const QDir realData(VELTRIX_REALDATA_DIR);
    if (!realData.exists())
        GTEST_SKIP() << "no real dumps beside the project";
    struct Expectation {
        const char* file;
        int programs;       // 0: refused
        const char* error;
    };
    const Expectation expectations[] = {
        {"ms2000-bank-0x4C.syx", 128, nullptr},
        {"mk-programs-0x4C.syx", 128, nullptr},
        {"mk-all-data-0x50.syx", 128, nullptr},
        {"mk-current-A11-0x40.syx", 1, nullptr},
        {"mk-init-0x40.syx", 1, nullptr},
        {"mk-global-0x51.syx", 0, "File is not a valid Korg Syx File"},
        {"ms2000-factory-zeropad-noF7.syx", 0, "Failed to read file, patch data appears to be corrupted"},
        {"mk-factory-backup-truncated-0x50.syx", 0, "Failed to read file, patch data appears to be corrupted"},
        {"mkS-current-0x40-model-000140.syx", 0, "File is not a valid Korg Syx File"},
        {"mkS-global-and-programs-2msgs.syx", 0, "File is not a valid Korg Syx File"},
        {"bad-raw8bit-bank-as-0x40.syx", 0, "Failed to read file, patch data appears to be corrupted"},
    };
    for (const Expectation& expected : expectations) {
        fixture.messageBox.shown.clear();
        Open({realData.filePath(expected.file)});
        EXPECT_EQ(Grid().model()->rowCount(), expected.programs) << expected.file;
        if (expected.error) {
            ASSERT_EQ(fixture.messageBox.shown.size(), 1u) << expected.file;
            EXPECT_TRUE(fixture.messageBox.shown[0].text.endsWith(expected.error)) << expected.file;
        } else {
            EXPECT_TRUE(fixture.messageBox.shown.empty()) << expected.file;
        }
    }
    Open({realData.filePath("ms2000-bank-0x4C.syx")});
    EXPECT_EQ(CellText(127, 3), " INIT Program");
}

}  // namespace

namespace {

TEST_F(LibraryTest, AcceleratorsReachOnlyEnabledCommands)
{
    Open({WriteBank("Factory.syx", "Prog")});
    Frame().show();
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    Grid().setFocus();
    Grid().selectionModel()->select(Grid().model()->index(2, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);

    // MIDI off: Ctrl+A and Ctrl+R are disabled and send nothing.
    QTest::keyClick(&Grid(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&Grid(), Qt::Key_R, Qt::ControlModifier);
    fixture.Idle();
    EXPECT_TRUE(fixture.midi.GetMessages().empty());

    OpenMidi();
    Grid().setFocus();
    Grid().selectionModel()->clearSelection();
    Grid().selectionModel()->select(Grid().model()->index(2, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(&Grid(), Qt::Key_A, Qt::ControlModifier);
    fixture.Idle();
    ASSERT_EQ(fixture.midi.GetMessages().size(), 1u);
    EXPECT_EQ(fixture.midi.GetMessages()[0][5 + 1], Frame().Programs().GetAt(2)->GetData()[0] & 0x7F);

    QTest::keyClick(&Grid(), Qt::Key_R, Qt::ControlModifier);
    fixture.Idle();
    EXPECT_EQ(fixture.midi.GetMessages().size(), 2u);
    EXPECT_EQ(Frame().LastRandomLength(), 297u);
}

}  // namespace

namespace {

TEST_F(LibraryTest, FileNamesOutsideAsciiShowAsTheyAre)
{
    Open({WriteSingle(QString::fromUtf8("Überbass.syx"), "Uber"), WriteSingle(QString::fromUtf8("Café.syx"), "Cafe")});
    ASSERT_EQ(Grid().model()->rowCount(), 2);
    EXPECT_EQ(CellText(0, 0), QString::fromUtf8(" Überbass"));
    EXPECT_EQ(CellText(1, 0), QString::fromUtf8(" Café"));
}

}  // namespace
