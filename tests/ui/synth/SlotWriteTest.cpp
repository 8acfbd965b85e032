// Send to Synth Slot..., Send Slot to Synth and Send Changed Slots to Synth against the
// simulated synthesizer, and the synthesizer's memory as the window knows it.

#include "SynthTestSupport.h"
#include "Bank.h"
#include "Collection.h"
#include "ProgramWrite.h"
#include "bank/BankCommands.h"
#include "bank/BankPane.h"
#include "collection/CollectionCommands.h"
#include "collection/CollectionSendToSlot.h"
#include "collection/CollectionTakeIn.h"
#include "collection/CollectionView.h"
#include "grid/ProgramGrid.h"
#include "synth/ChangedSlotsCommand.h"
#include "synth/SlotWriteCommands.h"
#include "synth/SynthMemoryTracker.h"

#include <QAction>
#include <QRegularExpression>

#include <filesystem>
#include <optional>

namespace {

CBank::ProgramData Data(const Bytes& program)
{
    CBank::ProgramData data{};
    std::copy(program.begin(), program.end(), data.begin());
    return data;
}

CBank BankOf(const Bytes& dump)
{
    std::string error;
    std::optional<CBank> bank = CBank::ReadBytes(dump.data(), dump.size(), error);
    EXPECT_TRUE(bank) << error;
    return bank ? *bank : *CBank::FromProgramData(std::vector<CBank::ProgramData>(128));
}

// How many programs the synthesizer wrote, and whether it took a bank, by its log.
int WritesIn(const std::vector<std::string>& log)
{
    return static_cast<int>(std::count_if(log.begin(), log.end(), [](const std::string& line) {
        return line.rfind("wrote the edit buffer to program", 0) == 0;
    }));
}

bool TookABank(const std::vector<std::string>& log)
{
    return std::any_of(log.begin(), log.end(), [](const std::string& line) { return line.rfind("took 4C", 0) == 0; });
}

class SlotWriteTest : public SynthTest {
protected:
    void SetUp() override
    {
        // A Collection of its own, also when the tests run in one process.
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(CCollection::DefaultPath() + suffix);
        SynthTest::SetUp();
        fixture.features.slotWrites->SetAnswerWaitForTests(150);
        fixture.features.changedSlots->SetAnswerWaitForTests(150);
        fixture.Idle();   // the memory is read from the Collection once the event loop runs
    }

    CSynthMemoryTracker& Memory() { return *fixture.features.synthMemory; }
    CBankPane& Pane() { return *fixture.Bank().Pane(); }

    // A library of one bank file: its program i is named "Lib<i>".
    void OpenLibrary()
    {
        std::vector<Bytes> programs;
        for (int i = 0; i < 128; ++i)
            programs.push_back(MakeProgram("Lib" + std::to_string(i), i % 4, 1000 + i));
        library = programs;
        Frame().OpenFiles({WriteDump(Path("Library.syx"), programs, FUNC_PROGRAM_DUMP)});
        fixture.Idle();
    }

    void SelectRow(int row)
    {
        CProgramGrid& grid = *Frame().Grid();
        grid.selectionModel()->clearSelection();
        grid.selectionModel()->select(grid.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
        grid.setCurrentIndex(grid.model()->index(row, 0));
        fixture.Idle();
    }

    void ReceiveBank()
    {
        fixture.questions.answer = SaveChoice::Discard;
        ReceiveWith(ID_PROGRAM_RECEIVE_BANK);
        ASSERT_TRUE(fixture.messageBox.shown.empty());
    }

    // Runs a command that asks and then writes, and waits for the write.
    void RunConfirmed(int commandId)
    {
        fixture.questions.confirm = true;
        Trigger(commandId);
        ASSERT_TRUE(WaitForTransfer());
    }

    QString LastMessage() const
    {
        return fixture.messageBox.shown.empty() ? QString() : fixture.messageBox.shown.back().text;
    }

    std::vector<Bytes> library;
};

TEST_F(SlotWriteTest, SendToSynthSlotAsksTheSlotThenWritesTheProgramThereOnly)
{
    OpenLibrary();
    SelectRow(36);
    EXPECT_FALSE(Command(ID_PROGRAM_SEND_TO_SLOT)->isEnabled());   // MIDI is off
    ClickMidiActive();
    EXPECT_TRUE(Command(ID_PROGRAM_SEND_TO_SLOT)->isEnabled());
    EXPECT_EQ(Command(ID_PROGRAM_SEND_TO_SLOT)->text(), "Send to Synth Sl&ot...");

    const CBank before = BankOf(synth->GetMemoryDump());
    RunConfirmed(ID_PROGRAM_SEND_TO_SLOT);
    // The slot the program came from is offered first; nothing is known of the memory.
    ASSERT_EQ(fixture.questions.choiceLists.size(), 1u);
    EXPECT_EQ(fixture.questions.choiceCurrents[0], 36);
    EXPECT_EQ(fixture.questions.choiceLists[0][36], "C 05");
    EXPECT_EQ(fixture.questions.choiceTexts[0], "Write \"Lib36\" into which slot of the synthesizer?");
    ASSERT_EQ(fixture.questions.confirmations.size(), 1u);
    EXPECT_EQ(fixture.questions.confirmations[0], "Replace C 05 in the synthesizer with \"Lib36\"?");

    EXPECT_EQ(LastMessage(), "Written to C 05");
    EXPECT_EQ(fixture.messageBox.shown.back().icon, MessageIcon::Information);
    CBank expected = before;
    expected.PutProgram(36, library[36].data(), 254);
    EXPECT_EQ(BankOf(synth->GetMemoryDump()), expected);
    EXPECT_EQ(midiIn.GetOpenCount(), 0);
    EXPECT_FALSE(Memory().IsKnown());   // one slot says nothing of the other 127
}

TEST_F(SlotWriteTest, WithTheMemoryKnownTheQuestionNamesWhatIsReplacedAndTheMemoryFollows)
{
    ClickMidiActive();
    ReceiveBank();
    ASSERT_TRUE(Memory().IsKnown());
    EXPECT_TRUE(Memory().IsBankTheSynths());
    EXPECT_TRUE(QRegularExpression("^the receive of \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d$")
                    .match(Memory().KnownMemoryOrigin()).hasMatch()) << Memory().KnownMemoryOrigin().toStdString();
    OpenLibrary();
    SelectRow(4);
    fixture.questions.choice = 36;   // another slot than the program's own
    RunConfirmed(ID_PROGRAM_SEND_TO_SLOT);
    EXPECT_EQ(fixture.questions.choiceLists.back()[0], "A 01  Synth 001");
    EXPECT_EQ(fixture.questions.confirmations.back(), "Replace C 05 \"Synth 037\" in the synthesizer with \"Lib4\"?");
    EXPECT_EQ(LastMessage(), "Written to C 05");
    EXPECT_EQ(Memory().KnownMemory()->GetProgram(36), Data(library[4]));
    EXPECT_TRUE(Memory().KnownMemoryOrigin().endsWith(", with 1 slot written since"));
    EXPECT_EQ(*Memory().KnownMemory(), BankOf(synth->GetMemoryDump()));

    // The next Send to Synth Slot... offers the slot chosen last for a program of no slot.
    fixture.questions.choice = -1;
    Frame().OpenFiles({WriteDump(Path("One.syx"), {MakeProgram("One", 0, 5)}, FUNC_CURRENT_PROGRAM)});
    SelectRow(0);
    Trigger(ID_PROGRAM_SEND_TO_SLOT);
    EXPECT_EQ(fixture.questions.choiceCurrents.back(), 0);   // "A 001" of a one-program file
}

TEST_F(SlotWriteTest, DeclinedRefusedOrUnansweredWritesLeaveTheMemoryAsItWas)
{
    ClickMidiActive();
    ReceiveBank();
    const CBank known = *Memory().KnownMemory();
    const Bytes before = synth->GetMemoryDump();
    Pane().SelectSlot(9);
    fixture.Idle();

    fixture.questions.confirm = false;
    const size_t sent = fixture.midi.GetMessages().size();
    Trigger(ID_BANK_SEND_SLOT);
    EXPECT_EQ(fixture.questions.confirmations.back(), "Replace A 10 \"Synth 010\" in the synthesizer with \"Synth 010\"?");
    EXPECT_EQ(fixture.midi.GetMessages().size(), sent);

    const struct {
        CTestMidiSynth::Mode mode;
        const char* says;
    } cases[] = {
        {CTestMidiSynth::Mode::Nak, "The synthesizer refused the write (memory protect on?)"},
        {CTestMidiSynth::Mode::Silent, "No answer from the synthesizer\n\nIt had 0.1 seconds to answer. Check both MIDI "
                                       "cables and that its global MIDI channel is 1. What A 10 holds now is not known."},
    };
    for (const auto& c : cases) {
        synth->SetMode(c.mode);
        RunConfirmed(ID_BANK_SEND_SLOT);
        EXPECT_EQ(LastMessage(), c.says);
        EXPECT_EQ(fixture.messageBox.shown.back().icon, MessageIcon::Exclamation);
        EXPECT_EQ(synth->GetMemoryDump(), before);
        EXPECT_EQ(*Memory().KnownMemory(), known);
    }
}

TEST_F(SlotWriteTest, SendChangedSlotsWritesExactlyTheSlotsThatDifferAndNoBank)
{
    ClickMidiActive();
    ReceiveBank();
    const Bytes before = synth->GetMemoryDump();
    Pane().PutPrograms(5, {Data(MakeProgram("New 6", 0, 1)), Data(MakeProgram("New 7", 1, 2))});
    Pane().PutPrograms(100, {Data(MakeProgram("New 101", 2, 3))});
    fixture.Idle();
    const std::vector<std::string> logBefore = synth->GetLog();

    RunConfirmed(ID_BANK_SEND_CHANGED);
    ASSERT_EQ(fixture.questions.confirmations.size(), 1u);
    const QString question = fixture.questions.confirmations[0];
    EXPECT_TRUE(question.startsWith("Replace these 3 programs in the synthesizer with the bank's?\n\n"
                                    "A 06 \"Synth 006\" with \"New 6\"\nA 07 \"Synth 007\" with \"New 7\"\n"
                                    "G 05 \"Synth 101\" with \"New 101\"\n\nVeltrix knows the synthesizer's memory from "
                                    "the receive of "))
        << question.toStdString();
    EXPECT_TRUE(question.endsWith("; its other 125 slots hold the bank's programs already.")) << question.toStdString();
    EXPECT_EQ(fixture.questions.confirmButtons[0], "&Replace 3 Programs");

    const std::vector<std::string> log = synth->GetLog();
    const std::vector<std::string> during(log.begin() + static_cast<long>(logBefore.size()), log.end());
    EXPECT_EQ(WritesIn(during), 3);
    EXPECT_FALSE(TookABank(during));
    EXPECT_EQ(synth->GetMemoryDump(), Pane().BankDump(0));
    EXPECT_NE(synth->GetMemoryDump(), before);
    EXPECT_EQ(LastMessage(), "All 3 changed slots were written.\n\nWritten to A 06, A 07, G 05");
    EXPECT_EQ(*Memory().KnownMemory(), *Pane().Bank());
    EXPECT_TRUE(Memory().IsBankTheSynths());

    // Nothing differs now.
    Trigger(ID_BANK_SEND_CHANGED);
    EXPECT_TRUE(LastMessage().startsWith("No slot of the bank differs from the synthesizer's memory")) << LastMessage().toStdString();
}

TEST_F(SlotWriteTest, ChangedSlotsThatFailAreNamedAndASilentSynthesizerIsNotWrittenToFurther)
{
    ClickMidiActive();
    ReceiveBank();
    Pane().PutPrograms(0, {Data(MakeProgram("N1", 0, 1)), Data(MakeProgram("N2", 0, 2)), Data(MakeProgram("N3", 0, 3))});
    fixture.Idle();
    const struct {
        CTestMidiSynth::Mode mode;
        const char* says;
    } cases[] = {
        {CTestMidiSynth::Mode::Nak, "0 of 3 changed slots were written.\n\nThe synthesizer refused the write (memory "
                                    "protect on?): A 01, A 02, A 03"},
        {CTestMidiSynth::Mode::Silent, "0 of 3 changed slots were written.\n\nNo answer from the synthesizer: A 01 (what "
                                       "it holds now is not known)\nNot sent: A 02, A 03"},
    };
    const CBank known = *Memory().KnownMemory();
    for (const auto& c : cases) {
        synth->SetMode(c.mode);
        RunConfirmed(ID_BANK_SEND_CHANGED);
        EXPECT_EQ(LastMessage(), c.says);
        EXPECT_EQ(*Memory().KnownMemory(), known);
        EXPECT_FALSE(Memory().IsBankTheSynths());
    }
}

TEST_F(SlotWriteTest, ChangedSlotsWithoutKnowingTheMemoryOfferTheWholeBank)
{
    ClickMidiActive();
    fixture.fileDialogs.nextOpen = {WriteDump(Path("Bank.syx"), std::vector<Bytes>(128, MakeProgram("B", 0, 1)),
                                              FUNC_PROGRAM_DUMP)};
    Trigger(ID_FILE_OPEN_BANK);
    fixture.questions.confirm = false;
    Trigger(ID_BANK_SEND_CHANGED);
    ASSERT_EQ(fixture.questions.confirmations.size(), 1u);
    EXPECT_TRUE(fixture.questions.confirmations[0].startsWith("Veltrix does not know what the synthesizer's memory holds"));
    EXPECT_EQ(fixture.questions.confirmButtons[0], "Send &Bank to Synth...");

    // Accepted, Send Bank to Synth... asks its own question and sends the bank.
    fixture.questions.confirm = true;
    Trigger(ID_BANK_SEND_CHANGED);
    ASSERT_TRUE(WaitForTransfer());
    ASSERT_EQ(fixture.questions.confirmations.size(), 3u);
    EXPECT_EQ(fixture.questions.confirmButtons[2], "&Replace All 128 Programs");
    EXPECT_EQ(synth->GetMemoryDump(), Pane().BankDump(0));
    // The bank sent is the synthesizer's memory now.
    ASSERT_TRUE(Memory().IsKnown());
    EXPECT_TRUE(Memory().KnownMemoryOrigin().startsWith("the bank sent "));
    EXPECT_TRUE(Memory().IsBankTheSynths());
}

TEST_F(SlotWriteTest, TheNextWindowKnowsTheMemoryFromTheCollection)
{
    ClickMidiActive();
    ReceiveBank();
    fixture.features.collection.takeIn->WaitUntilIdle();
    Pane().SelectSlot(3);
    fixture.Idle();
    const CBank::ProgramData written = Pane().Bank()->GetProgram(3);
    Pane().PutPrograms(3, {Data(MakeProgram("Kept", 0, 9))});
    fixture.Idle();
    RunConfirmed(ID_BANK_SEND_SLOT);
    ASSERT_EQ(LastMessage(), "Written to A 04");
    const CBank known = *Memory().KnownMemory();
    EXPECT_NE(known.GetProgram(3), written);

    // A window started afresh on the same Collection.
    fixture.frame.reset();
    fixture.messageBox.shown.clear();
    fixture.Create(&midiIn, &watcher);
    fixture.Idle();
    ASSERT_NE(fixture.features.synthMemory->KnownMemory(), nullptr);
    EXPECT_EQ(*fixture.features.synthMemory->KnownMemory(), known);
    EXPECT_TRUE(fixture.features.synthMemory->KnownMemoryOrigin().endsWith(", with 1 slot written since"));
    EXPECT_FALSE(fixture.features.synthMemory->IsBankTheSynths());   // the pane is empty
}

TEST_F(SlotWriteTest, TheCollectionsProgramGoesIntoTheSlotPickedWithItsShownName)
{
    ClickMidiActive();
    OpenLibrary();
    fixture.features.collection.takeIn->WaitUntilIdle();
    CCollectionCommands& view = *fixture.features.collectionView;
    Frame().show();   // a hidden view asks nothing of the database
    view.OnViewCollection();
    view.Refresh();
    view.View()->WaitForReads();   // the view reads on a thread of its own
    CCollection* collection = view.View()->Collection();
    ASSERT_NE(collection, nullptr);
    CCollectionQuery query;
    query.text = "Lib7";
    std::vector<CCollectionProgram> found = collection->Search(query);
    found.erase(std::remove_if(found.begin(), found.end(),
                               [](const CCollectionProgram& program) { return program.shownName != "Lib7"; }),
                found.end());
    ASSERT_EQ(found.size(), 1u);
    std::string error;
    ASSERT_TRUE(collection->Rename(found[0].id, "Shown Name", error)) << error;
    view.Refresh();
    view.View()->WaitForReads();
    view.View()->SelectIds({found[0].id});
    fixture.Idle();
    QAction* send = fixture.features.collectionSendToSlot->Action();
    EXPECT_TRUE(send->isEnabled());
    EXPECT_EQ(send->text(), "Send to Synth Sl&ot...");

    fixture.questions.choice = 127;
    fixture.questions.confirm = true;
    send->trigger();
    ASSERT_TRUE(WaitForTransfer());
    EXPECT_EQ(fixture.questions.confirmations.back(), "Replace H 16 in the synthesizer with \"Shown Name\"?");
    EXPECT_EQ(LastMessage(), "Written to H 16");
    Bytes expected = library[7];
    const std::string name = "Shown Name  ";
    std::copy(name.begin(), name.end(), expected.begin());
    EXPECT_EQ(BankOf(synth->GetMemoryDump()).GetProgram(127), Data(expected));
}

}  // namespace
