// The Program Editor live, against the simulated synthesizer at the far end of the test
// MIDI services: what goes out for each change, what its answers mean, and following what
// the synthesizer sends.

#include "EditorTestSupport.h"

#include "Bank.h"
#include "ParameterChange.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "bank/BankCommands.h"
#include "bank/BankPane.h"
#include "host/SynthMemory.h"

#include <QFile>
#include <QStatusBar>
#include <QTest>
#include <QUndoStack>

namespace {

bool IsParameterChange(const Bytes& message)
{
    return message.size() == PARAMETER_CHANGE_SIZE && message[4] == 0x41;
}

bool IsWholeProgram(const Bytes& message)
{
    return message.size() == ProgramMessageSize(PROGRAM_DATA_SIZE) && message[4] == FUNC_CURRENT_PROGRAM;
}

Bytes Answer(unsigned char function)
{
    return {SYX_START, KORG_ID, SYX_CHANNEL_BASE, MS2000_MODEL_ID, function, SYX_END};
}

// What Veltrix knows of the synthesizer's memory, as the test says.
class CKnownMemory : public ISynthMemory {
public:
    const CBank* KnownMemory() const override { return known ? &*bank : nullptr; }
    QString KnownMemoryOrigin() const override { return known ? "the receive of today" : QString(); }
    bool IsBankTheSynths() const override { return bankIsTheSynths; }
    void WhenKnownMemoryChanged(ChangedHandler) override {}
    std::optional<CBank> bank;
    bool known = true;
    bool bankIsTheSynths = false;
};

class EditorLiveTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        if (IsSkipped())
            return;
        // The synthesizer's memory is the real bank, which the list shows too.
        ASSERT_TRUE(synth->LoadMemory(ReadAll(RealFile("ms2000-bank-0x4C.syx"))));
        ClickMidiActive();
        ASSERT_TRUE(Frame().IsMidiOpen());
    }
    // Types a value into a parameter's control as the user does.
    void Edit(const QString& find, const QString& value)
    {
        FindParameter(find);
        TypeText(value);
        Type(Qt::Key_Return);
    }
    void Audition(int row)
    {
        SelectRow(row);
        Trigger(ID_PROGRAM_AUDITION);
    }
};

TEST_F(EditorLiveTest, AfterAnAuditionEachChangeGoesAsAParameterChange)
{
    Audition(0);
    Edit("cutoff", "99");
    Edit("arp tempo", "150");
    Edit("filter type", "12HPF");
    Edit("transpose", "-12");
    Edit("osc2 wave", "Tri");
    Settle();
    const std::vector<Bytes> sent = Sent();
    ASSERT_EQ(6u, sent.size());
    EXPECT_TRUE(IsWholeProgram(sent[0]));   // the audition
    for (std::size_t i = 1; i < sent.size(); ++i)
        EXPECT_TRUE(IsParameterChange(sent[i])) << i;
    EXPECT_EQ(Pane().Program(), SynthEditBuffer());
    EXPECT_TRUE(StatusText().isEmpty()) << StatusText().toStdString();   // the answers are 23s: nothing to say
}

TEST_F(EditorLiveTest, WithoutAnAuditionTheFirstChangeSendsTheWholeProgram)
{
    SelectRow(3);
    Edit("cutoff", "10");
    Edit("resonance", "20");
    Settle();
    const std::vector<Bytes> sent = Sent();
    ASSERT_EQ(2u, sent.size());
    EXPECT_TRUE(IsWholeProgram(sent[0]));
    EXPECT_TRUE(IsParameterChange(sent[1]));
    EXPECT_EQ(Pane().Program(), SynthEditBuffer());
    // A program received from the synthesizer's edit buffer counts as what it holds.
    fixture.questions.answer = SaveChoice::Discard;
    fixture.features.editor->NoteReceivedDump(BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, RowProgram(5).data(), PROGRAM_DATA_SIZE));
    SelectRow(5);
    Edit("cutoff", "11");
    Settle();
    EXPECT_TRUE(IsParameterChange(Sent().back()));
}

TEST_F(EditorLiveTest, EveryParameterOfBothLayoutsReachesTheEditBuffer)
{
    for (const int row : {27, 120}) {   // Dual: both timbres; Vocoder
        Audition(row);
        for (const CParameter* parameter : Pane().ShownParameters()) {
            if (parameter->display == ParamDisplay::Text || parameter->name == std::string("Voice Mode"))
                continue;
            int minValue = 0, maxValue = 0;
            Range(*parameter, Pane().Program().data(), minValue, maxValue);
            const int now = ::Value(*parameter, Pane().Program().data());
            Pane().SetParameter(*parameter, now != maxValue ? maxValue : minValue);
        }
        Settle();
        EXPECT_EQ(Pane().Program(), SynthEditBuffer()) << row;
        fixture.questions.answer = SaveChoice::Discard;
    }
}

TEST_F(EditorLiveTest, UndoAndRevertReachTheSynthesizerToo)
{
    Audition(0);
    const CBank::ProgramData original = Pane().Program();
    Edit("cutoff", "5");
    Edit("resonance", "6");
    Type(Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(Pane().Program(), SynthEditBuffer());
    Trigger(ID_EDITOR_REVERT);
    Settle();
    EXPECT_EQ(original, SynthEditBuffer());
}

TEST_F(EditorLiveTest, ASilentSynthesizerGetsOneNoteThenWholeProgramsAtMostEvery100ms)
{
    synth->SetMode(CTestMidiSynth::Mode::Silent);
    Audition(0);
    // The audition's answer would have come by now; only the change's is waited for.
    Edit("cutoff", "40");
    ASSERT_TRUE(QTest::qWaitFor([this] { return StatusText() == CEditorLiveLink::UNANSWERED_NOTE; }, 3000));
    const std::size_t before = Sent().size();
    for (int value = 41; value < 60; ++value)
        Pane().SetParameter(Parameter(ParamSection::Timbre1, "Cutoff"), value);
    Settle();
    const std::vector<Bytes> sent = Sent();
    ASSERT_GT(sent.size(), before);
    EXPECT_LE(sent.size() - before, 3u);   // latest state wins
    for (std::size_t i = before; i < sent.size(); ++i)
        EXPECT_TRUE(IsWholeProgram(sent[i])) << i;
    EXPECT_EQ(Pane().Program(), SynthEditBuffer());
}

// The synthesizer answers auditions too: their answers are never taken for the editor's.
TEST_F(EditorLiveTest, AnAuditionsAnswerIsNotTakenForTheAnswerToAChange)
{
    synth->SetMode(CTestMidiSynth::Mode::Silent);   // the test gives the answers itself
    Editor().Live().SetFollowing(true);              // the input is open before the audition
    Audition(0);
    midiIn.Deliver(Answer(0x23));                    // the audition's 23
    Edit("cutoff", "40");
    // Nothing answers the change: the audition's 23 did not.
    ASSERT_TRUE(QTest::qWaitFor([this] { return StatusText() == CEditorLiveLink::UNANSWERED_NOTE; }, 3000));

    // Refusals: the audition's 24 is not the editor's; the change's is, told once.
    fixture.frame->statusBar()->clearMessage();
    Audition(1);
    Edit("cutoff", "41");
    Settle();
    midiIn.Deliver(Answer(0x24));   // the audition's
    Settle();
    EXPECT_TRUE(StatusText().isEmpty());
    midiIn.Deliver(Answer(0x24));   // the change's
    Settle();
    EXPECT_EQ(CEditorLiveLink::REFUSED_NOTE, StatusText());
    fixture.frame->statusBar()->clearMessage();
    Edit("cutoff", "42");
    Settle();
    midiIn.Deliver(Answer(0x24));
    Settle();
    EXPECT_TRUE(StatusText().isEmpty());   // once, until the synthesizer takes one again
}

TEST_F(EditorLiveTest, MemoryProtectOnIsToldOnceAndNothingChangesThere)
{
    synth->SetMode(CTestMidiSynth::Mode::Nak);
    Audition(0);
    const CBank::ProgramData before = SynthEditBuffer();
    Edit("cutoff", "12");
    Settle();
    EXPECT_EQ(CEditorLiveLink::REFUSED_NOTE, StatusText());
    EXPECT_TRUE(IsParameterChange(Sent().back()));
    EXPECT_EQ(before, SynthEditBuffer());
    fixture.frame->statusBar()->clearMessage();
    Edit("resonance", "13");
    Settle();
    EXPECT_TRUE(StatusText().isEmpty());   // told once
    EXPECT_TRUE(fixture.messageBox.shown.empty());
}

TEST_F(EditorLiveTest, FollowingShowsTheKnobsTurnedOneStepPerKnob)
{
    Trigger(ID_EDITOR_FOLLOW_SYNTH);
    EXPECT_EQ("1", fixture.profile.values["editor/followSynth"]);
    Audition(0);
    const std::size_t sent = Sent().size();
    for (int value : {60, 70, 80})
        ASSERT_TRUE(synth->TurnKnob(0x055, value));   // timbre 1 Cutoff
    ASSERT_TRUE(synth->TurnKnob(0x044, -12));         // timbre 1 Transpose
    ASSERT_TRUE(QTest::qWaitFor([this] { return Pane().Program()[43] == 52; }, 3000));
    EXPECT_EQ(80, Pane().Program()[58]);
    EXPECT_EQ(2, Pane().UndoStack()->count());
    EXPECT_EQ(sent, Sent().size());   // nothing goes back
    EXPECT_EQ(SynthEditBuffer(), Pane().Program());
    // Undone here (the editor has the keyboard), the synthesizer follows.
    FindParameter("resonance");
    Type(Qt::Key_Z, Qt::ControlModifier);
    Settle();
    EXPECT_EQ(SynthEditBuffer(), Pane().Program());
    EXPECT_NE(52, Pane().Program()[43]);
}

// A program chosen on the synthesizer: the status bar names it and the bank or the editor
// shows it.
TEST_F(EditorLiveTest, AProgramChosenOnTheSynthesizerIsShownAndNamed)
{
    CKnownMemory memory;
    std::string error;
    memory.bank = CBank::ReadFile(RealFile("ms2000-bank-0x4C.syx").toStdString(), error);
    ASSERT_TRUE(memory.bank);
    Editor().SetSynthMemory(&memory, [this](int slot) { fixture.Bank().Pane()->SelectSlot(slot); });
    fixture.fileDialogs.nextOpen = {RealFile("ms2000-bank-0x4C.syx")};
    fixture.Bank().OnFileOpenBank();
    Trigger(ID_EDITOR_FOLLOW_SYNTH);

    // The bank is the synthesizer's: its slot is selected, and the editor follows.
    memory.bankIsTheSynths = true;
    synth->ChooseProgram(4);
    ASSERT_TRUE(QTest::qWaitFor([this] { return fixture.Bank().SelectedSlot() == 4; }, 3000));
    fixture.Idle();
    EXPECT_EQ(QString("Synth: A 05 ") + QString::fromStdString(ProgramNameText(memory.bank->GetProgram(4).data())).trimmed(),
              StatusText());
    EXPECT_EQ(memory.bank->GetProgram(4), Pane().Program());

    // Another bank: the editor shows the program by itself.
    memory.bankIsTheSynths = false;
    synth->ChooseProgram(17);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Pane().Program() == memory.bank->GetProgram(17); }, 3000));
    EXPECT_TRUE(StatusText().startsWith("Synth: B 02 "));
    EXPECT_EQ(4, fixture.Bank().SelectedSlot());
    EXPECT_TRUE(Pane().ProgramTitle().startsWith("Synth B 02"));
    // What it plays is known: the next change goes as a parameter change.
    Edit("cutoff", "3");
    Settle();
    EXPECT_TRUE(IsParameterChange(Sent().back()));
    EXPECT_EQ(Pane().Program(), SynthEditBuffer());

    // Its memory unknown: the edit buffer, now that program, is asked for and shown.
    memory.known = false;
    fixture.questions.answer = SaveChoice::Discard;
    synth->ChooseProgram(33);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Pane().Program() == memory.bank->GetProgram(33); }, 3000));
    EXPECT_EQ("The synthesizer's edit buffer", Pane().ProgramTitle());
}

// After Find Synthesizer, without following: the program chosen there is named, and its slot
// selected when the bank is the synthesizer's; the editor does not open it.
TEST_F(EditorLiveTest, AfterFindSynthesizerAProgramChosenIsNamedWithoutFollowing)
{
    CKnownMemory memory;
    std::string error;
    memory.bank = CBank::ReadFile(RealFile("ms2000-bank-0x4C.syx").toStdString(), error);
    ASSERT_TRUE(memory.bank);
    Editor().SetSynthMemory(&memory, [this](int slot) { fixture.Bank().Pane()->SelectSlot(slot); });
    fixture.fileDialogs.nextOpen = {RealFile("ms2000-bank-0x4C.syx")};
    fixture.Bank().OnFileOpenBank();
    SelectRow(9);
    Settle();
    const CBank::ProgramData shown = Pane().Program();

    synth->ChooseProgram(4);   // not followed, not watched: nothing is read
    fixture.Idle();
    EXPECT_NE(4, fixture.Bank().SelectedSlot());

    Editor().WatchSynthProgramChanges();
    memory.bankIsTheSynths = false;
    synth->ChooseProgram(6);
    const QString name = QString::fromStdString(ProgramNameText(memory.bank->GetProgram(6).data())).trimmed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return StatusText() == "Synth: A 07 " + name; }, 3000)) << StatusText().toStdString();
    Settle();
    EXPECT_EQ(shown, Pane().Program());
    EXPECT_NE(6, fixture.Bank().SelectedSlot());

    memory.bankIsTheSynths = true;
    synth->ChooseProgram(7);
    ASSERT_TRUE(QTest::qWaitFor([this] { return fixture.Bank().SelectedSlot() == 7; }, 3000));
}

TEST_F(EditorLiveTest, GetFromSynthesizerAndADumpItSendsOpenInTheEditor)
{
    SelectRow(9);
    Trigger(ID_EDITOR_GET_FROM_SYNTH);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Pane().ProgramTitle() == "The synthesizer's edit buffer"; }, 3000));
    EXPECT_EQ(SynthEditBuffer(), Pane().Program());

    // Following, a current program dump it sends on entering its edit mode.
    Trigger(ID_EDITOR_FOLLOW_SYNTH);
    const CBank::ProgramData other = RowProgram(40);
    midiIn.Deliver(BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, other.data(), PROGRAM_DATA_SIZE));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Pane().Program() == other; }, 3000));
    Edit("cutoff", "7");
    Settle();
    EXPECT_TRUE(IsParameterChange(Sent().back()));   // it is known to play that program
}

}  // namespace
