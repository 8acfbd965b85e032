// File > New Bank, and what a greyed command says it needs first.

#include "BankTestSupport.h"
#include "InitProgram.h"
#include "TestMidiInService.h"
#include "services/DisabledCommandTips.h"
#include "synth/SynthCommands.h"

#include <QCheckBox>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

namespace {

TEST_F(BankPaneTest, NewBankHoldsTheInitialProgramInEverySlot)
{
    Command(ID_FILE_NEW_BANK)->trigger();
    fixture.Idle();
    ASSERT_TRUE(Pane().HasBank());
    EXPECT_TRUE(Pane().isVisible());
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        ASSERT_EQ(Pane().Bank()->GetProgram(slot), InitProgram()) << slot;
    EXPECT_EQ(SlotName(0).trimmed(), "INIT Program");
    EXPECT_EQ(Pane().windowTitle(), "Bank - New Bank");
    EXPECT_FALSE(Pane().IsModified());   // nothing in it to lose yet

    // Save Bank asks where the first time.
    fixture.fileDialogs.nextSave = Path("Mine.syx");
    Command(ID_FILE_SAVE_BANK)->trigger();
    EXPECT_EQ(fixture.fileDialogs.saveCalls, 1);
    EXPECT_TRUE(QFile::exists(Path("Mine.syx")));
}

TEST_F(BankPaneTest, NewBankAsksFirstAboutUnsavedChanges)
{
    OpenBank(WriteBank("Bank.syx", "Slot"));
    OpenLibrary({WriteSingle("One.syx", "Lead")});
    SelectLibraryRows({0});
    Command(ID_PROGRAM_PUT_IN_BANK)->trigger();
    ASSERT_TRUE(Pane().IsModified());

    fixture.questions.answer = SaveChoice::Cancel;
    Command(ID_FILE_NEW_BANK)->trigger();
    EXPECT_EQ(fixture.questions.asked.size(), 1u);
    EXPECT_EQ(Pane().SourceName(), "Bank.syx");
    EXPECT_TRUE(Pane().IsModified());

    fixture.questions.answer = SaveChoice::Discard;
    Command(ID_FILE_NEW_BANK)->trigger();
    EXPECT_EQ(Pane().SourceName(), "New Bank");
    EXPECT_EQ(Pane().Bank()->GetProgram(0), InitProgram());
}

// Every greyed command of the window says what it needs first, in its menu and on the tool
// bar; once it has it, its own prompt is back.
TEST(GreyedCommands, SayWhatTheyNeedFirst)
{
    CFrameFixture fixture;
    fixture.midi.AddDevice("USB MIDI 1");
    CTestMidiInService midiIn(fixture.midi);
    CMainFrame& frame = fixture.Create(&midiIn);
    const auto command = [&](int id) {
        QAction* action = frame.Action(id);
        if (action == nullptr)
            action = fixture.Bank().Action(id);
        if (action == nullptr)
            action = fixture.features.synth->Action(id);
        return action;
    };
    struct Case {
        int id;
        QString needs;
    };
    const Case greyed[] = {
        {ID_FILE_SAVE_BANK, "Open or start a bank first"},
        {ID_FILE_SAVE_BANK_AS, "Open or start a bank first"},
        {ID_PROGRAM_PUT_IN_BANK, "Open or start a bank first"},
        {ID_PROGRAM_AUDITION, "Tick Midi Active first"},
        {ID_PROGRAM_RANDOM, "Tick Midi Active first"},
        {ID_PROGRAM_RANDOM_SELECTION, "Tick Midi Active first"},
        {ID_PROGRAM_RECEIVE_PROGRAMS, "Tick Midi Active first"},
        {ID_PROGRAM_SEND_BANK, "Tick Midi Active first"},
        {ID_EDIT_FIND, "Open a .syx file first"},
        {ID_PROGRAM_USE_AS_BANK, "Select a program of a 128-program file first"},
        {ID_FILE_SAVE_LAST_RANDOM, "Make a Random program first (Ctrl+R)"},
        {ID_FILE_SAVE_RECEIVED_DUMP, "Receive a dump from the synthesizer first"},
    };
    for (const Case& test : greyed) {
        QAction* action = command(test.id);
        ASSERT_NE(action, nullptr) << test.id;
        EXPECT_FALSE(action->isEnabled()) << test.id;
        EXPECT_EQ(NeedsFirst(*action), test.needs) << test.id;
        EXPECT_EQ(action->statusTip(), CommandPrompt(test.id)) << test.id;   // its own, for when it runs
    }

    // Hovered in its menu, the greyed item says it in the status bar.
    frame.show();
    QMenu* file = frame.Menu(HostMenu::File);
    ASSERT_NE(file, nullptr);
    file->popup(frame.mapToGlobal(QPoint(10, 30)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    QTest::mouseMove(file, file->actionGeometry(command(ID_FILE_SAVE_BANK)).center());
    QTest::qWait(10);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Open or start a bank first");
    file->hide();
    // So does its tool bar button (Audition is on the tool bar).
    QToolBar* tools = frame.findChild<QToolBar*>("toolBar");
    QWidget* audition = tools->widgetForAction(command(ID_PROGRAM_AUDITION));
    QTest::mouseMove(audition, audition->rect().center());
    QTest::qWait(10);
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Tick Midi Active first");
    QCursor::setPos(QPoint(10000, 10000));   // off every window, for the tests that follow

    // A bank, and the ticked box: the commands have their own prompts again, or say what
    // they need next.
    fixture.Bank().Action(ID_FILE_NEW_BANK)->trigger();
    frame.MidiActiveBox()->click();
    fixture.Idle();
    for (int id : {ID_FILE_SAVE_BANK, ID_PROGRAM_SEND_BANK, ID_PROGRAM_RECEIVE_PROGRAMS}) {
        EXPECT_TRUE(command(id)->isEnabled()) << id;
        EXPECT_EQ(NeedsFirst(*command(id)), QString()) << id;
    }
    EXPECT_EQ(NeedsFirst(*command(ID_PROGRAM_PUT_IN_BANK)), "Select a program in the list first");
    EXPECT_EQ(NeedsFirst(*command(ID_PROGRAM_AUDITION)), "Open a .syx file first");
    frame.MidiActiveBox()->click();
}

}  // namespace
