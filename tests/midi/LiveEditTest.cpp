// The editor's live road to the synthesizer in midi/: the parameter-change message, reading
// what the synthesizer sends, the paced and coalescing sender, and telling whose answer is
// whose.

#include "AnswerTracker.h"
#include "LiveSender.h"
#include "ParameterChange.h"
#include "SynthMessages.h"
#include "SyxFormat.h"
#include "SynthFixture.h"
#include "TestMidiOutService.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

TEST(ParameterChangeTest, ValuesTravelAsFourteenBitTwosComplementLowBitsFirst)
{
    struct Case {
        int value;
        unsigned char low, high;
    };
    const Case cases[] = {
        {0, 0x00, 0x00},   {1, 0x01, 0x00},     {127, 0x7F, 0x00}, {128, 0x00, 0x01},  {300, 0x2C, 0x02},
        {-1, 0x7F, 0x7F},  {-12, 0x74, 0x7F},   {-63, 0x41, 0x7F}, {-100, 0x1C, 0x7F}, {CHANGE_VALUE_MIN, 0x00, 0x40},
        {CHANGE_VALUE_MAX, 0x7F, 0x3F},
    };
    for (const Case& c : cases) {
        unsigned char low = 0xFF, high = 0xFF;
        EncodeChangeValue(c.value, low, high);
        EXPECT_EQ(c.low, low) << c.value;
        EXPECT_EQ(c.high, high) << c.value;
        EXPECT_EQ(c.value, DecodeChangeValue(low, high)) << c.value;
    }
}

TEST(ParameterChangeTest, MessagesAreBuiltAndReadAsTheMapGivesThem)
{
    // Timbre 1 Transpose (044) = -1 on channel 1, and timbre 2 Transpose (0D4) = -12 on 16.
    const CParameterChangeMessage transpose = BuildParameterChange(0, 0x044, -1);
    EXPECT_EQ((Bytes{0xF0, 0x42, 0x30, 0x58, 0x41, 0x44, 0x00, 0x7F, 0x7F, 0xF7}),
              Bytes(transpose.begin(), transpose.end()));
    const CParameterChangeMessage second = BuildParameterChange(15, 0x0D4, -12);
    EXPECT_EQ((Bytes{0xF0, 0x42, 0x3F, 0x58, 0x41, 0x54, 0x01, 0x74, 0x7F, 0xF7}), Bytes(second.begin(), second.end()));
    int channel = -1, number = -1, value = 0;
    ASSERT_TRUE(ParseParameterChange(second.data(), second.size(), channel, number, value));
    EXPECT_EQ(15, channel);
    EXPECT_EQ(0x0D4, number);
    EXPECT_EQ(-12, value);

    const Bytes notOne[] = {
        {0xF0, 0x42, 0x30, 0x58, 0x41, 0x44, 0x00, 0x7F, 0xF7},          // too short
        {0xF0, 0x42, 0x30, 0x58, 0x40, 0x44, 0x00, 0x7F, 0x7F, 0xF7},    // another function
        {0xF0, 0x42, 0x30, 0x57, 0x41, 0x44, 0x00, 0x7F, 0x7F, 0xF7},    // another instrument
        {0xF0, 0x42, 0x30, 0x58, 0x41, 0x44, 0x80, 0x7F, 0x7F, 0xF7},    // a status byte inside
    };
    for (const Bytes& message : notOne)
        EXPECT_FALSE(ParseParameterChange(message.data(), message.size(), channel, number, value));
}

std::vector<CSynthMessage> Read(const std::vector<Bytes>& pieces, int channel = 0)
{
    CSynthMessageReader reader(channel);
    std::vector<CSynthMessage> messages;
    for (const Bytes& piece : pieces)
        reader.Take(piece.data(), piece.size(), messages);
    return messages;
}

TEST(SynthMessageReaderTest, ReadsWhatTheSynthesizerSendsAndLeavesOutTheRest)
{
    unsigned char program[254];
    for (int i = 0; i < 254; ++i)
        program[i] = static_cast<unsigned char>(i * 3);
    const Bytes dump = BuildDumpMessage(FUNC_CURRENT_PROGRAM, 2, program, 254);
    const Bytes cutoff = {0xF0, 0x42, 0x32, 0x58, 0x41, 0x55, 0x00, 0x50, 0x00, 0xF7};
    // A program dump split into the pieces ALSA delivers, a clock byte inside a message, a
    // parameter change, a program change with running status, the three answers, and
    // what is not for this reader: another channel's SysEx and program change, another
    // instrument, a bank dump's start cut off by a status byte, a note.
    const std::vector<Bytes> pieces = {
        Bytes(dump.begin(), dump.begin() + 256), Bytes(dump.begin() + 256, dump.end()),
        {0xF0, 0x42, 0xF8, 0x32, 0x58, 0x23, 0xF7},
        cutoff,
        {0xC2, 0x04, 0x09},
        {0xF0, 0x42, 0x32, 0x58, 0x24, 0xF7, 0xF0, 0x42, 0x32, 0x58, 0x26, 0xF7},
        {0xF0, 0x42, 0x33, 0x58, 0x23, 0xF7, 0xC3, 0x01},
        {0xF0, 0x7E, 0x02, 0x06, 0x02, 0x42, 0x58, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0xF7},
        {0xF0, 0x42, 0x32, 0x58, 0x4C, 0x01, 0x02, 0x90, 0x3C, 0x40},
        {0xF0, 0x42, 0x32, 0x58, 0x40, 0x01, 0xF7},   // a program dump of the wrong length
    };
    const std::vector<CSynthMessage> messages = Read(pieces, 2);
    ASSERT_EQ(7u, messages.size());
    EXPECT_EQ(SynthMessageKind::CurrentProgram, messages[0].kind);
    EXPECT_EQ(Bytes(program, program + 254), messages[0].data);
    EXPECT_EQ(SynthMessageKind::DataLoadCompleted, messages[1].kind);
    EXPECT_EQ(SynthMessageKind::ParameterChange, messages[2].kind);
    EXPECT_EQ(0x055, messages[2].number);
    EXPECT_EQ(80, messages[2].value);
    EXPECT_EQ(SynthMessageKind::ProgramChange, messages[3].kind);
    EXPECT_EQ(4, messages[3].program);
    EXPECT_EQ(SynthMessageKind::ProgramChange, messages[4].kind);
    EXPECT_EQ(9, messages[4].program);
    EXPECT_EQ(SynthMessageKind::DataLoadError, messages[5].kind);
    EXPECT_EQ(SynthMessageKind::DataFormatError, messages[6].kind);
}

// A port whose wire the test holds: the message on it stays there until Release, so that
// what waits behind it can be looked at.
struct LiveSenderTest : testing::Test
{
    CTestMidiOutService out;
    CMidiEvent done;
    MidiOutHandle handle = nullptr;
    CLiveSender sender;
    std::mutex mutex;
    std::condition_variable changed;
    bool hold = false;
    int onWire = 0;
    std::vector<CLiveSender::Clock::time_point> sentAt;

    void SetUp() override
    {
        out.AddDevice("Serial MIDI 1");
        ASSERT_EQ(0, out.Open(&handle, 0, &done));
        out.SetListener([this](const unsigned char*, unsigned int) {
            std::unique_lock<std::mutex> lock(mutex);
            sentAt.push_back(CLiveSender::Clock::now());
            ++onWire;
            changed.notify_all();
            changed.wait(lock, [this] { return !hold; });
        });
        sender.Start(out, handle, 0);
    }
    void TearDown() override
    {
        Release();
        sender.Stop();
        out.SetListener(nullptr);
        out.Close(handle);
    }
    void Hold()
    {
        std::lock_guard<std::mutex> lock(mutex);
        hold = true;
    }
    void Release()
    {
        std::lock_guard<std::mutex> lock(mutex);
        hold = false;
        changed.notify_all();
    }
    void WaitOnWire(int count)
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 5s, [&] { return onWire >= count; }));
    }
    // The parameter changes that went out, as "number=value".
    std::vector<std::string> Sent()
    {
        std::vector<std::string> texts;
        for (const Bytes& message : out.GetMessages()) {
            int channel = 0, number = 0, value = 0;
            if (ParseParameterChange(message.data(), message.size(), channel, number, value))
                texts.push_back(std::to_string(number) + "=" + std::to_string(value));
            else
                texts.push_back(message[4] == FUNC_CURRENT_PROGRAM ? "program " + std::to_string(message[5 + 1])
                                                                   : "other");
        }
        return texts;
    }
    static std::vector<unsigned char> Program(unsigned char first)
    {
        std::vector<unsigned char> data(254, 0);
        data[0] = first;
        return data;
    }
};

TEST_F(LiveSenderTest, WhileOneIsOnTheWireANewerValueReplacesTheWaitingOne)
{
    Hold();
    sender.SendParameter(0x55, 1);
    WaitOnWire(1);
    for (int value = 2; value <= 60; ++value)
        sender.SendParameter(0x55, value);
    sender.SendParameter(0x56, 7);
    sender.SendParameter(0x55, 61);
    EXPECT_EQ(2u, sender.Waiting());   // one per parameter, however many changes came
    Release();
    ASSERT_TRUE(sender.WaitIdle(5s));
    EXPECT_EQ((std::vector<std::string>{"85=1", "85=61", "86=7"}), Sent());
}

TEST_F(LiveSenderTest, AWholeProgramReplacesTheEditorsWaitingMessagesButNotARequest)
{
    Hold();
    sender.SendParameter(0x55, 1);
    WaitOnWire(1);
    sender.SendParameter(0x56, 2);
    sender.SendMessage({0xF0, 0x42, 0x30, 0x58, 0x10, 0xF7});
    sender.SendProgram(Program(10).data());
    sender.SendParameter(0x57, 3);
    sender.SendProgram(Program(11).data());
    EXPECT_EQ(2u, sender.Waiting());
    Release();
    ASSERT_TRUE(sender.WaitIdle(5s));
    EXPECT_EQ((std::vector<std::string>{"85=1", "other", "program 11"}), Sent());
}

TEST_F(LiveSenderTest, WholeProgramsKeepTheirIntervalAndTheLatestWins)
{
    sender.SetProgramInterval(100ms);
    Hold();   // the first stays on the wire while the others come, however busy the machine
    // Measured from before the first is handed over: the listener's note of it may come late.
    const CLiveSender::Clock::time_point start = CLiveSender::Clock::now();
    sender.SendProgram(Program(1).data());
    WaitOnWire(1);
    for (unsigned char first = 2; first <= 9; ++first) {
        sender.SendProgram(Program(first).data());
        EXPECT_LE(sender.Waiting(), 1u);
    }
    Release();
    ASSERT_TRUE(sender.WaitIdle(5s));
    EXPECT_EQ((std::vector<std::string>{"program 1", "program 9"}), Sent());
    ASSERT_EQ(2u, sentAt.size());
    EXPECT_GE(sentAt[1] - start, 100ms);
}

TEST_F(LiveSenderTest, MessagesKeepTheWiresPaceEvenWhenTheOutputDoesNot)
{
    // The test output takes everything at once; the sender waits 3.2 ms per change itself.
    // Each change starts once those before it are off the wire, so the k-th starts at least
    // k times 3.2 ms after the first was handed over (measured from here: the moment the
    // listener notes a change may come late, which would shorten the gap after it).
    const CLiveSender::Clock::time_point start = CLiveSender::Clock::now();
    for (int number = 0; number < 6; ++number)
        sender.SendParameter(0x40 + number, number);
    ASSERT_TRUE(sender.WaitIdle(5s));
    ASSERT_EQ(6u, sentAt.size());
    for (std::size_t i = 1; i < sentAt.size(); ++i)
        EXPECT_GE(sentAt[i] - start, static_cast<int>(i) * 3200us) << i;
}

TEST_F(LiveSenderTest, StoppingDropsWhatWaitsAndEndsTheMessageOnTheWire)
{
    Hold();
    sender.SendParameter(0x55, 1);
    WaitOnWire(1);
    sender.SendParameter(0x56, 2);
    auto stopped = std::async(std::launch::async, [this] { sender.Stop(); });
    EXPECT_EQ(std::future_status::timeout, stopped.wait_for(20ms));   // the wire is not cut
    Release();
    stopped.get();
    EXPECT_EQ((std::vector<std::string>{"85=1"}), Sent());
    sender.SendParameter(0x57, 3);   // not started: nothing goes out
    EXPECT_EQ(1u, out.GetMessages().size());
}

using Tracker = CAnswerTracker;
using Event = CAnswerTracker::Event;

// What the tracker makes of a run of messages and answers, each at a time in ms.
struct AnswerStep {
    enum What { EditorChange, EditorProgram, Audition, Taken, Refused, Tick } what;
    int ms;
    Event expected = Event::None;
};

void RunSteps(const std::vector<AnswerStep>& steps, bool answeredAtEnd)
{
    Tracker tracker;
    const Tracker::Clock::time_point start{};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const AnswerStep& step = steps[i];
        const auto at = start + std::chrono::milliseconds(step.ms);
        Event event = Event::None;
        switch (step.what) {
        case AnswerStep::EditorChange: tracker.Sent(Tracker::Sender::Editor, true, at); break;
        case AnswerStep::EditorProgram: tracker.Sent(Tracker::Sender::Editor, false, at); break;
        case AnswerStep::Audition: tracker.Sent(Tracker::Sender::Other, false, at); break;
        case AnswerStep::Taken: event = tracker.Answer(true, at); break;
        case AnswerStep::Refused: event = tracker.Answer(false, at); break;
        case AnswerStep::Tick: event = tracker.Tick(at); break;
        }
        EXPECT_EQ(step.expected, event) << "step " << i;
    }
    EXPECT_EQ(answeredAtEnd, tracker.ParameterChangesAnswered());
}

TEST(AnswerTrackerTest, EachAnswerGoesToTheOldestMessageStillWaiting)
{
    using S = AnswerStep;
    // An audition's 23 right before the change's own: the change is answered.
    RunSteps({{S::Audition, 0}, {S::EditorChange, 10}, {S::Taken, 12}, {S::Taken, 15}, {S::Tick, 600}}, true);
    // An audition's 23 is the only answer: the change is not answered by it.
    RunSteps({{S::Audition, 0}, {S::EditorChange, 10}, {S::Taken, 12}, {S::Tick, 400},
              {S::Tick, 510, Event::Unanswered}, {S::Tick, 900}},
             false);
    // A refusal of an audition (memory protect) is not the editor's to tell; the editor's
    // own refusals are told once until the synthesizer takes one again.
    RunSteps({{S::Audition, 0}, {S::EditorChange, 5}, {S::EditorChange, 10}, {S::EditorChange, 15},
              {S::Refused, 6}, {S::Refused, 12, Event::Refused}, {S::Refused, 16}, {S::EditorChange, 20},
              {S::Taken, 22}, {S::EditorChange, 30}, {S::Refused, 32, Event::Refused}, {S::Tick, 700}},
             true);
    // A whole program first, then the first change: the program's 23 does not answer it.
    RunSteps({{S::EditorProgram, 0}, {S::EditorChange, 100}, {S::Taken, 101}, {S::Tick, 700, Event::Unanswered}},
             false);
    // An answer to nothing noted (an audition made before the input was open) tells nothing,
    // and an old audition whose answer never came is given up before it can take the
    // change's.
    RunSteps({{S::Taken, 0}, {S::Audition, 10}, {S::EditorChange, 2000}, {S::Taken, 2003}, {S::Tick, 2600}}, true);
}

TEST(AnswerTrackerTest, OnlyTheFirstChangeIsTimedAndResetStartsAgain)
{
    Tracker tracker;
    const Tracker::Clock::time_point start{};
    tracker.Sent(Tracker::Sender::Editor, true, start);
    EXPECT_EQ(start + 500ms, tracker.NextDeadline());
    EXPECT_EQ(Event::None, tracker.Answer(true, start + 3ms));
    tracker.Sent(Tracker::Sender::Editor, true, start + 10ms);   // answered or not, never told
    EXPECT_EQ(Event::None, tracker.Tick(start + 5s));
    EXPECT_TRUE(tracker.ParameterChangesAnswered());
    EXPECT_EQ(Tracker::Clock::time_point::max(), tracker.NextDeadline());

    tracker.Reset();
    tracker.Sent(Tracker::Sender::Editor, true, start + 6s);
    EXPECT_EQ(Event::Unanswered, tracker.Tick(start + 6500ms));
    EXPECT_EQ(Event::None, tracker.Tick(start + 7s));   // told once
    EXPECT_FALSE(tracker.ParameterChangesAnswered());
}

}  // namespace

namespace {

// The simulated synthesizer takes parameter changes as the VM's does, and its panel sends
// them.
struct TestSynthParameterTest : SynthFixture
{
    // The edit buffer, unpacked.
    std::vector<unsigned char> Edit()
    {
        const Bytes dump = synth.GetEditDump();
        std::vector<unsigned char> data;
        for (std::size_t i = SYX_HEADER_SIZE; i + 1 < dump.size(); i += 8)
            for (std::size_t k = 0; k < 7 && i + 1 + k < dump.size() - 1; ++k)
                data.push_back(static_cast<unsigned char>(dump[i + 1 + k] | (((dump[i] >> k) & 1) ? 0x80 : 0)));
        return data;
    }
    // The answer to one message sent.
    unsigned char Answer(const Bytes& message)
    {
        out.LongMsg(hOut, message.data(), static_cast<unsigned int>(message.size()));
        synth.WaitIdle();
        Bytes answer;
        in.ReadBytes(hIn, answer);
        return answer.size() == 6 ? answer[4] : 0;
    }
};

TEST_F(TestSynthParameterTest, ChangesOnlyTheParametersBitsAndAnswers)
{
    struct Case {
        int number, value;
        std::size_t byte;
        unsigned char mask, stored;   // the bits the change may touch and what they hold after
        unsigned char answer;
    };
    const Case cases[] = {
        {0x055, 80, 58, 0xFF, 80, 0x23},       // timbre 1 Cutoff
        {0x044, -12, 43, 0xFF, 52, 0x23},      // timbre 1 Transpose, c64
        {0x0D4, -1, 151, 0xFF, 63, 0x23},      // timbre 2 Transpose
        {0x043, -1, 38, 0xFF, 0xFF, 0x23},     // MIDI Ch GLB, a signed byte
        {0x01D, 2, 33, 0xF0, 0x20, 0x23},      // Arp Range, bits 7-4
        {0x024, -22, 36, 0xFF, 0xEA, 0x23},    // Arp Swing
        {0x055, 128, 58, 0xFF, 80, 0x24},      // out of range: refused, unchanged
        {0x03F, 0, 0, 0x00, 0, 0x24},          // no such parameter
    };
    for (const Case& c : cases) {
        const std::vector<unsigned char> before = Edit();
        const CParameterChangeMessage message = BuildParameterChange(0, c.number, c.value);
        EXPECT_EQ(c.answer, Answer(Bytes(message.begin(), message.end()))) << std::hex << c.number;
        std::vector<unsigned char> expected = before;
        expected[c.byte] = static_cast<unsigned char>((before[c.byte] & ~c.mask) | (c.stored & c.mask));
        EXPECT_EQ(expected, Edit()) << std::hex << c.number;
    }
    // Arp Tempo takes two bytes, high first.
    const CParameterChangeMessage tempo = BuildParameterChange(0, 0x01F, 300);
    EXPECT_EQ(0x23, Answer(Bytes(tempo.begin(), tempo.end())));
    EXPECT_EQ(0x01, Edit()[30]);
    EXPECT_EQ(0x2C, Edit()[31]);
}

TEST_F(TestSynthParameterTest, ThePanelSendsWhatItChanged)
{
    ASSERT_TRUE(synth.TurnKnob(0x055, 80));
    EXPECT_FALSE(synth.TurnKnob(0x055, 200));
    synth.ChooseProgram(9);
    synth.WaitIdle();
    Bytes received;
    in.ReadBytes(hIn, received);
    EXPECT_EQ((Bytes{0xF0, 0x42, 0x30, 0x58, 0x41, 0x55, 0x00, 0x50, 0x00, 0xF7, 0xC0, 0x09}), received);
}

}  // namespace

#include "Bank.h"
#include "LiveEdit.h"
#include "ProgramParameters.h"
#include "TestMidiSynthParameters.h"

namespace {

// Real programs of each voice mode: Stab Saw (Single), Far Horizon (Dual), Bass&5thLead
// (Split), Vocoder Ens (Vocoder).
std::vector<CBank::ProgramData> RealPrograms()
{
    std::string error;
    const std::optional<CBank> bank =
        CBank::ReadFile(std::string(VELTRIX_REALDATA_DIR) + "/ms2000-bank-0x4C.syx", error);
    if (!bank)
        return {};
    return {bank->GetProgram(0), bank->GetProgram(27), bank->GetProgram(115), bank->GetProgram(120)};
}

// Another value the parameter takes in this program, and one a parameter change can carry.
bool OtherValue(const CParameter& parameter, const unsigned char* data, int& value)
{
    int minValue = 0, maxValue = 0;
    Range(parameter, data, minValue, maxValue);
    if (parameter.display == ParamDisplay::TimbrePan)
        minValue = 1;   // L64 has no parameter change
    const int now = Value(parameter, data);
    value = now != maxValue ? maxValue : minValue;
    return value != now;
}

TEST(LiveEditPlanTest, EachParameterGoesAsItsOwnChangeAndTheVmSynthSetsTheSameBits)
{
    const std::vector<CBank::ProgramData> programs = RealPrograms();
    if (programs.empty())
        GTEST_SKIP() << "no real dumps at " << VELTRIX_REALDATA_DIR;
    int checked = 0;
    for (const CBank::ProgramData& program : programs) {
        for (const CParameter* parameter : ApplicableParameters(program.data(), SynthModel::MS2000, true)) {
            if (parameter->display == ParamDisplay::Text || parameter->id == FindParameter(ParamSection::Common, "Voice Mode")->id)
                continue;
            int value = 0;
            if (!OtherValue(*parameter, program.data(), value))
                continue;
            CBank::ProgramData wanted = program;
            ASSERT_TRUE(SetValue(*parameter, wanted.data(), value)) << parameter->name;
            const CLiveEditPlan plan = PlanLiveEdit(program.data(), wanted.data());
            if (parameter->changeNumber < 0) {
                EXPECT_TRUE(plan.wholeProgram) << SectionName(parameter->section) << ' ' << parameter->name;
                continue;
            }
            ASSERT_FALSE(plan.wholeProgram) << SectionName(parameter->section) << ' ' << parameter->name;
            ASSERT_EQ(1u, plan.changes.size()) << parameter->name;
            EXPECT_EQ(parameter->changeNumber, plan.changes[0].number) << parameter->name;
            // The VM's synthesizer, from its own table, makes the same program of it...
            std::vector<unsigned char> synth(program.begin(), program.end());
            std::string done;
            EXPECT_EQ("", ApplyTestParameterChange(synth, plan.changes[0].number, plan.changes[0].value, done))
                << SectionName(parameter->section) << ' ' << parameter->name;
            EXPECT_EQ(std::vector<unsigned char>(wanted.begin(), wanted.end()), synth)
                << SectionName(parameter->section) << ' ' << parameter->name << ": " << done;
            // ...and so does the editor, taking the same change from the synthesizer.
            CBank::ProgramData back = program;
            EXPECT_TRUE(ApplyParameterChange(back.data(), plan.changes[0].number, plan.changes[0].value));
            EXPECT_EQ(wanted, back) << parameter->name;
            ++checked;
        }
    }
    EXPECT_GT(checked, 500);
}

TEST(LiveEditPlanTest, WholeProgramWhenNoChangeCarriesItOrNothingIsKnown)
{
    const std::vector<CBank::ProgramData> programs = RealPrograms();
    if (programs.empty())
        GTEST_SKIP() << "no real dumps at " << VELTRIX_REALDATA_DIR;
    const CBank::ProgramData& program = programs[0];
    struct Case {
        const char* what;
        std::function<void(CBank::ProgramData&)> change;
        bool whole;
        std::size_t changes;
    };
    const Case cases[] = {
        {"nothing", [](CBank::ProgramData&) {}, false, 0},
        {"the voice mode", [](CBank::ProgramData& p) { p[16] ^= 0x30; }, true, 0},
        {"byte 13, which is no parameter's", [](CBank::ProgramData& p) { p[13] ^= 1; }, true, 0},
        {"a not-use bit", [](CBank::ProgramData& p) { p[16] ^= 0x01; }, true, 0},
        {"two name characters", [](CBank::ProgramData& p) { p[0] = 'X', p[5] = 'Y'; }, false, 2},
        {"the timbre pan to L64", [](CBank::ProgramData& p) { p[64] = 0; }, true, 0},
        {"forty parameters", [](CBank::ProgramData& p) { for (int i = 0; i < 40; ++i) p[92 + i] ^= 1; }, true, 0},
    };
    for (const Case& c : cases) {
        CBank::ProgramData wanted = program;
        c.change(wanted);
        const CLiveEditPlan plan = PlanLiveEdit(program.data(), wanted.data());
        EXPECT_EQ(c.whole, plan.wholeProgram) << c.what;
        EXPECT_EQ(c.changes, plan.changes.size()) << c.what;
    }
    EXPECT_TRUE(PlanLiveEdit(nullptr, program.data()).wholeProgram);
    // Name characters go one each, numbers 000-00B, as the character itself.
    CBank::ProgramData renamed = program;
    renamed[11] = 'Z';
    const CLiveEditPlan plan = PlanLiveEdit(program.data(), renamed.data());
    ASSERT_EQ(1u, plan.changes.size());
    EXPECT_EQ(0x00B, plan.changes[0].number);
    EXPECT_EQ('Z', plan.changes[0].value);
}

}  // namespace
