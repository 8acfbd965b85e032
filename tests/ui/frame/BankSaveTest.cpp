// The bank pane's files and settings: the question before unsaved changes are lost, Save
// Bank As, the remembered layout, and what a drag carries.

#include "BankTestSupport.h"
#include "SyxProgram.h"
#include "bank/ProgramMime.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <functional>
#include <memory>

namespace {

TEST_F(BankPaneTest, UnsavedChangesAreAskedAboutBeforeAnotherBankOrClosing)
{
    const QString factory = WriteBank("Factory.syx", "Prog");
    // An all-data dump is not saved over (its global data would go): Save asks for a name.
    const QString other = WriteBank("Other.syx", "Other", FUNC_ALL_DATA_DUMP);
    OpenBank(factory);
    OpenBank(other);   // nothing changed: no question
    EXPECT_TRUE(fixture.questions.asked.empty());
    EXPECT_EQ(Pane().windowTitle(), "Bank - Other.syx");

    Pane().MoveSlot(0, 1);
    ASSERT_TRUE(Pane().IsModified());
    const Bytes changed = Pane().BankDump();

    // Cancel: no file dialog, nothing replaced.
    fixture.questions.answer = SaveChoice::Cancel;
    const int opensBefore = fixture.fileDialogs.openCalls;
    OpenBank(factory);
    ASSERT_EQ(fixture.questions.asked.size(), 1u);
    EXPECT_EQ(fixture.questions.asked[0], "The bank Other.syx has changes that are not saved. Save them first?");
    EXPECT_EQ(fixture.fileDialogs.openCalls, opensBefore);
    EXPECT_EQ(Pane().BankDump(), changed);

    // Save, but the save is cancelled: still nothing replaced.
    fixture.questions.answer = SaveChoice::Save;
    fixture.fileDialogs.nextSave.clear();
    OpenBank(factory);
    EXPECT_EQ(Pane().BankDump(), changed);

    // Save: the changes are written, then the other bank comes.
    fixture.fileDialogs.nextSave = Path("Kept.syx");
    OpenBank(factory);
    QFile kept(Path("Kept.syx"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    const QByteArray keptBytes = kept.readAll();
    EXPECT_EQ(Bytes(keptBytes.begin(), keptBytes.end()), changed);
    EXPECT_EQ(Pane().windowTitle(), "Bank - Factory.syx");

    // Discard: replaced without saving.
    Pane().MoveSlot(3, 4);
    fixture.questions.answer = SaveChoice::Discard;
    const int savesBefore = fixture.fileDialogs.saveCalls;
    OpenBank(other);
    EXPECT_EQ(fixture.fileDialogs.saveCalls, savesBefore);
    EXPECT_EQ(Pane().windowTitle(), "Bank - Other.syx");
    EXPECT_FALSE(Pane().IsModified());

    // Closing the window: Cancel keeps it open, Discard closes it.
    CMainFrame& frame = fixture.Frame();
    frame.show();
    Pane().MoveSlot(3, 4);
    fixture.questions.answer = SaveChoice::Cancel;
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(fixture.profile.values.count("midi/chan"), 0u);   // no shutdown ran
    fixture.questions.answer = SaveChoice::Discard;
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(fixture.questions.asked.size(), 6u);
}

// Save Bank (Ctrl+S) writes to the file the bank came from or was last saved to, and asks
// for a name only when there is none, or when that file holds more than a bank.
TEST_F(BankPaneTest, SaveBankWritesToItsFileAndAsksForANameOnlyWithout)
{
    EXPECT_EQ(Command(ID_FILE_SAVE_BANK)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    auto fileBytes = [this](const QString& name) {
        QFile file(Path(name));
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        return Bytes(bytes.begin(), bytes.end());
    };
    const QString mine = WriteBank("Mine.syx", "Mine");
    const QString all = WriteBank("All.syx", "All", FUNC_ALL_DATA_DUMP);
    const Bytes allBefore = fileBytes("All.syx");

    struct Step {
        const char* what;
        std::function<void()> source;   // null: the bank stays
        QString answer;                 // what the save dialog answers, if asked
        bool asks;
        QString writes;                 // the file that must hold the bank afterwards
    };
    const Step steps[] = {
        {"opened from a program dump", [&] { OpenBank(mine); }, QString(), false, "Mine.syx"},
        {"saved again", nullptr, QString(), false, "Mine.syx"},
        {"opened from an all-data dump", [&] { OpenBank(all); }, "Copy.syx", true, "Copy.syx"},
        {"after Save As's name", nullptr, QString(), false, "Copy.syx"},
        {"from the synthesizer", [&] { fixture.Bank().SetBank(*Pane().Bank(), "Synth"); }, "Synth.syx", true,
         "Synth.syx"},
    };
    for (const Step& step : steps) {
        if (step.source)
            step.source();
        Pane().MoveSlot(0, 1);
        ASSERT_TRUE(Pane().IsModified()) << step.what;
        const int asked = fixture.fileDialogs.saveCalls;
        fixture.fileDialogs.nextSave = step.answer.isEmpty() ? QString() : Path(step.answer);
        fixture.Idle();
        Command(ID_FILE_SAVE_BANK)->trigger();
        EXPECT_EQ(fixture.fileDialogs.saveCalls - asked, step.asks ? 1 : 0) << step.what;
        EXPECT_FALSE(Pane().IsModified()) << step.what;
        EXPECT_EQ(Pane().windowTitle(), "Bank - " + step.writes) << step.what;
        EXPECT_EQ(fileBytes(step.writes), Pane().BankDump(0)) << step.what;
    }
    EXPECT_EQ(fileBytes("All.syx"), allBefore);
    EXPECT_TRUE(fixture.messageBox.shown.empty());
}

TEST_F(BankPaneTest, SaveBankAsWritesTheWholeBankAsOneProgramDump)
{
    const QString factory = WriteBank("Factory.syx", "Prog", FUNC_ALL_DATA_DUMP);
    OpenBank(factory);
    OpenLibrary({WriteSingle("Pad.syx", "Pad")});
    SelectLibraryRows({0});
    Pane().SelectSlot(77);
    Command(ID_PROGRAM_PUT_IN_BANK)->trigger();
    Pane().MoveSlot(77, 0);

    fixture.fileDialogs.nextSave = Path("New.syx");
    fixture.Idle();
    Command(ID_FILE_SAVE_BANK_AS)->trigger();
    EXPECT_EQ(fixture.fileDialogs.lastSaveFilter, "SysEx Files (*.syx)|*.syx|All Files (*.*)|*.*||");
    EXPECT_EQ(fixture.fileDialogs.lastSaveExtension, ".SYX");

    std::string error;
    std::optional<CBank> expected = CBank::ReadFile(factory.toStdString(), error);
    ASSERT_TRUE(expected.has_value());
    expected->PutProgram(77, Library(0).data(), PROGRAM_DATA_SIZE);
    expected->SwapSlots(77, 0);
    QFile saved(Path("New.syx"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    const Bytes expectedBytes = expected->BuildDump(0);
    ASSERT_EQ(bytes.size(), 37163);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), expectedBytes);
    EXPECT_EQ(Pane().windowTitle(), "Bank - New.syx");
    EXPECT_FALSE(Pane().IsModified());

    // Undoing past the save is a change again.
    Command(ID_EDIT_UNDO)->trigger();
    EXPECT_EQ(Pane().windowTitle(), "Bank - New.syx*");

    // A failed save says so, keeps the mark, and leaves what was at the target.
    QDir(folder.path()).mkdir("AFolder.syx");
    fixture.fileDialogs.nextSave = Path("AFolder.syx");
    Command(ID_FILE_SAVE_BANK_AS)->trigger();
    fixture.fileDialogs.nextSave = Path("missing-folder/New.syx");
    Command(ID_FILE_SAVE_BANK_AS)->trigger();
    ASSERT_EQ(fixture.messageBox.shown.size(), 2u);
    // The message names the file and gives the system's reason.
    EXPECT_EQ(fixture.messageBox.shown[0].text,
              "Failed to save syx file " + QDir::toNativeSeparators(Path("AFolder.syx")) + ". Filename refers to a directory");
    EXPECT_EQ(fixture.messageBox.shown[1].text, "Failed to save syx file " +
                                                    QDir::toNativeSeparators(Path("missing-folder/New.syx")) +
                                                    ". No such file or directory");
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(QFileInfo(Path("AFolder.syx")).isDir());
    EXPECT_TRUE(Pane().IsModified());
}

TEST(BankDragData, DamagedProgramDataGivesNothingAndOnlyABanksWorthIsCarried)
{
    const auto program = std::make_unique<CSyxProgram>('A', 1, MakeProgram("Pad", 0, 1).data(), 254, "f");
    std::vector<const CSyxProgram*> many(300, program.get());
    std::unique_ptr<QMimeData> mime(CreateProgramsMimeData(many));
    int dragged = 0;
    EXPECT_EQ(ProgramsFromMimeData(mime.get(), &dragged).size(), 128u);
    EXPECT_EQ(dragged, 300);

    const QByteArray whole = mime->data(PROGRAMS_MIME_TYPE);
    QMimeData cut;
    cut.setData(PROGRAMS_MIME_TYPE, whole.left(whole.size() - 1));
    EXPECT_TRUE(ProgramsFromMimeData(&cut, &dragged).empty());
    EXPECT_EQ(dragged, 0);

    const CSyxProgram shortRecord('A', 1, MakeProgram("Short", 0, 1).data(), 100, "f");
    std::unique_ptr<QMimeData> wrongSize(CreateProgramsMimeData({program.get(), &shortRecord}));
    EXPECT_TRUE(ProgramsFromMimeData(wrongSize.get()).empty());

    QMimeData garbage;
    garbage.setData(PROGRAMS_MIME_TYPE, QByteArray("\xff\xff\xff\xff\x00\x00\x00\x05", 8));
    EXPECT_TRUE(ProgramsFromMimeData(&garbage).empty());
    EXPECT_EQ(SlotFromMimeData(&garbage, nullptr), -1);
}

TEST(BankPaneLayout, ThePanesPlaceIsRememberedAndABadValueIsHarmless)
{
    CFrameFixture first;
    CMainFrame& frame = first.Create();
    frame.show();
    frame.addDockWidget(Qt::LeftDockWidgetArea, first.Bank().Pane());
    first.Bank().Pane()->show();
    frame.close();
    ASSERT_FALSE(first.profile.values["window/state"].isEmpty());

    CFrameFixture second;
    second.profile.values = first.profile.values;
    CMainFrame& again = second.Create();
    again.show();
    EXPECT_TRUE(second.Bank().Pane()->isVisible());
    EXPECT_EQ(again.dockWidgetArea(second.Bank().Pane()), Qt::LeftDockWidgetArea);

    for (const QString& bad : {QString("not a layout"), QString("AAAA"), QString("")}) {
        CFrameFixture third;
        third.profile.values["window/state"] = bad;
        CMainFrame& spoilt = third.Create();
        spoilt.show();
        EXPECT_FALSE(third.Bank().Pane()->isVisible()) << bad.toStdString();
        EXPECT_TRUE(spoilt.findChild<QToolBar*>("toolBar")->isVisible());
    }
}

}  // namespace
