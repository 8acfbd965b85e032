// The simulated synthesizer answers as the VM's does, and what Veltrix reads never takes an
// answer to one message for the answer to another.

#include "DumpReceiver.h"
#include "ProgramSender.h"
#include "ProgramWrite.h"
#include "ReceiveDump.h"
#include "SendBank.h"
#include "SynthFixture.h"
#include "SynthReplies.h"
#include "SyxFormat.h"

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Program(unsigned char fill)
{
    return Bytes(254, fill);
}

Bytes ProgramDump(const Bytes& program, int channel = 0)
{
    return BuildDumpMessage(FUNC_CURRENT_PROGRAM, channel, program.data(), static_cast<unsigned int>(program.size()));
}

Bytes Short(unsigned char function, int channel = 0)
{
    return {0xF0, 0x42, static_cast<unsigned char>(0x30 | channel), 0x58, function, 0xF7};
}

struct SynthAnswersTest : SynthFixture
{
    // Sends `message` and returns what came back once the synthesizer is idle.
    Bytes Exchange(const Bytes& message)
    {
        Bytes stale;
        in.ReadBytes(hIn, stale);
        EXPECT_EQ(0, out.LongMsg(hOut, message.data(), static_cast<unsigned int>(message.size())));
        synth.WaitIdle();
        Bytes answer;
        in.ReadBytes(hIn, answer);
        return answer;
    }
};

const Bytes IDENTITY = {0xF0, 0x7E, 0x02, 0x06, 0x02, 0x42, 0x58, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0xF7};

TEST_F(SynthAnswersTest, AnswersEachMessageAsTheInstrumentDoes)
{
    synth.SetChannel(2);
    const Bytes dump297 = ProgramDump(Program(0x81), 2);
    Bytes short296 = dump297;
    short296.erase(short296.begin() + 10);
    struct Case {
        const char* what;
        CTestMidiSynth::Mode mode;
        Bytes message;
        Bytes answer;
    } cases[] = {
        {"a program to the edit buffer", CTestMidiSynth::Mode::Normal, dump297, Short(0x23, 2)},
        {"a program one byte short", CTestMidiSynth::Mode::Normal, short296, Short(0x24, 2)},
        {"a write request to C05", CTestMidiSynth::Mode::Normal, BuildProgramWriteRequest(36, 2), Short(0x21, 2)},
        {"a write request past H16", CTestMidiSynth::Mode::Normal, {0xF0, 0x42, 0x32, 0x58, 0x11, 0x01, 0x00, 0xF7},
         Short(0x22, 2)},
        {"a write request of the wrong length", CTestMidiSynth::Mode::Normal, {0xF0, 0x42, 0x32, 0x58, 0x11, 0x05, 0xF7},
         Short(0x22, 2)},
        {"a device inquiry to all", CTestMidiSynth::Mode::Normal, {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}, IDENTITY},
        {"a device inquiry to its channel", CTestMidiSynth::Mode::Normal, {0xF0, 0x7E, 0x02, 0x06, 0x01, 0xF7}, IDENTITY},
        {"a device inquiry to another", CTestMidiSynth::Mode::Normal, {0xF0, 0x7E, 0x05, 0x06, 0x01, 0xF7}, {}},
        {"a program change", CTestMidiSynth::Mode::Normal, {0xC2, 0x09}, {}},
        {"a program, memory protected", CTestMidiSynth::Mode::Nak, dump297, Short(0x24, 2)},
        {"a write, memory protected", CTestMidiSynth::Mode::Nak, BuildProgramWriteRequest(36, 2), Short(0x22, 2)},
        {"an inquiry, memory protected", CTestMidiSynth::Mode::Nak, {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}, IDENTITY},
        {"an inquiry to a silent one", CTestMidiSynth::Mode::Silent, {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}, {}},
    };
    for (const Case& c : cases) {
        synth.SetMode(c.mode);
        EXPECT_EQ(c.answer, Exchange(c.message)) << c.what;
    }
}

// What the edit buffer holds after a program change: the stored program, here one just written.
TEST_F(SynthAnswersTest, ProgramChangeMakesAStoredProgramTheEditBuffer)
{
    Exchange(ProgramDump(Program(0x81)));
    Exchange(BuildProgramWriteRequest(36, 0));
    Exchange(ProgramDump(Program(0x11)));
    Exchange({0xC0, 36});
    EXPECT_EQ(ProgramDump(Program(0x81)), synth.GetEditDump());
    Exchange({0xC1, 5});   // another channel: nothing changes
    EXPECT_EQ(ProgramDump(Program(0x81)), synth.GetEditDump());
}

// Each way an answer to something sent before could reach a reader: the reader must pass it
// over and still see its own answer.
TEST_F(SynthAnswersTest, ReceiveRightAfterAnAuditionPassesOverTheAuditionsAnswer)
{
    // The audition's 23 is still on its way when the receive starts.
    synth.SetAnswerDelay(50);
    CProgramMessage audition;
    ASSERT_TRUE(BuildProgramMessage(Program(0x44).data(), 254, 0, audition));
    std::string error;
    ASSERT_TRUE(SendProgramMessage(out, hOut, done, audition, error));
    const CReceiveResult result = ReceiveDump(out, hOut, in, hIn, DumpKind::CurrentProgram, 0, nullptr, nullptr);
    ASSERT_EQ(ReceiveStatus::Received, result.status) << result.error;
    EXPECT_EQ(ProgramDump(Program(0x44)), result.bytes);
}

TEST(DumpReceiverStrayAnswersTest, AnswersToOtherMessagesBeforeTheDumpArePassedOver)
{
    const Bytes program = ProgramDump(Program(0x05));
    const struct {
        const char* what;
        Bytes before;
    } cases[] = {
        {"data load completed", Short(0x23)},
        {"write completed", Short(0x21)},
        {"write error", Short(0x22)},
        {"data load error", Short(0x24)},
        {"an identity reply", IDENTITY},
        {"all of them", [] {
             Bytes all = Short(0x23);
             for (const Bytes& more : {Short(0x24), Short(0x21), Short(0x22), IDENTITY})
                 all.insert(all.end(), more.begin(), more.end());
             return all;
         }()},
    };
    for (const auto& c : cases) {
        CDumpReceiver receiver(DumpKind::CurrentProgram, 0);
        const auto now = CDumpReceiver::Clock::now();
        receiver.Start(now);
        Bytes stream = c.before;
        stream.insert(stream.end(), program.begin(), program.end());
        receiver.Feed(stream.data(), stream.size(), now);
        ASSERT_TRUE(receiver.IsDone()) << c.what;
        const CReceiveResult result = receiver.TakeResult();
        EXPECT_EQ(ReceiveStatus::Received, result.status) << c.what << ": " << result.error;
        EXPECT_EQ(program, result.bytes) << c.what;
    }
}

TEST(DumpReceiverStrayAnswersTest, DataLoadErrorAndNoDumpIsTheRefusalOnceTheWaitIsOver)
{
    CReceiveTimeouts timeouts;
    timeouts.firstByteMs = 100;
    CDumpReceiver receiver(DumpKind::AllPrograms, 0, timeouts);
    const auto now = CDumpReceiver::Clock::now();
    receiver.Start(now);
    const Bytes refusal = Short(0x24);
    receiver.Feed(refusal.data(), refusal.size(), now);
    EXPECT_FALSE(receiver.IsDone());
    receiver.CheckTime(now + std::chrono::milliseconds(100));
    ASSERT_TRUE(receiver.IsDone());
    const CReceiveResult result = receiver.TakeResult();
    EXPECT_EQ(ReceiveStatus::WrongAnswer, result.status);
    EXPECT_EQ("The synthesizer answered with a data load error message instead of a program data dump of 128 "
              "programs.", result.error);
}

TEST(ShortReplyScannerTest, FindsTheShortAnswersOfItsChannelInAnyPieces)
{
    Bytes stream = {0x90, 0x40, 0x7F};                        // a note
    const Bytes other = Short(0x23, 5);                       // another channel
    stream.insert(stream.end(), other.begin(), other.end());
    stream.insert(stream.end(), IDENTITY.begin(), IDENTITY.end());
    const Bytes program = ProgramDump(Program(0x23));         // 23s inside a dump
    stream.insert(stream.end(), program.begin(), program.end());
    for (const unsigned char function : {0x21, 0x23, 0x24}) {
        const Bytes reply = Short(function);
        stream.insert(stream.end(), reply.begin(), reply.end());
    }
    stream.insert(stream.begin() + static_cast<long>(stream.size()) - 3, 0xF8);   // a clock tick inside one
    CShortReplyScanner scanner(0);
    std::vector<unsigned char> functions;
    for (size_t at = 0; at < stream.size(); at += 5)
        scanner.Feed(stream.data() + at, std::min<size_t>(5, stream.size() - at), functions);
    EXPECT_EQ((std::vector<unsigned char>{0x21, 0x23, 0x24}), functions);
}

}  // namespace
