#include "ReceiveDump.h"
#include "SynthFixture.h"
#include "SyxFormat.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr CReceiveTimeouts SHORT_WAITS{300, 150, 300};

struct ReceiveDumpTest : SynthFixture
{
    std::vector<std::pair<size_t, size_t>> progress;
    std::atomic<bool> cancel{false};

    CReceiveResult Receive(DumpKind kind, int channel = 0, CReceiveTimeouts timeouts = {})
    {
        return ReceiveDump(out, hOut, in, hIn, kind, channel,
                           [this](size_t received, size_t expected) { progress.emplace_back(received, expected); },
                           &cancel, timeouts);
    }
};

TEST_F(ReceiveDumpTest, AllProgramsGivesTheSynthesizersMemoryByteForByte)
{
    const CReceiveResult result = Receive(DumpKind::AllPrograms);
    EXPECT_EQ(ReceiveStatus::Received, result.status) << result.error;
    EXPECT_EQ(synth.GetMemoryDump(), result.bytes);
    EXPECT_EQ((Bytes{0xF0, 0x42, 0x30, 0x58, 0x1C, 0xF7}), out.GetMessages().at(0));
    // Progress follows the pieces up to the whole size.
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(std::make_pair(size_t{37163}, size_t{37163}), progress.back());
    for (size_t i = 1; i < progress.size(); ++i)
        EXPECT_LT(progress[i - 1].first, progress[i].first);
}

TEST_F(ReceiveDumpTest, CurrentProgramAndAllDataOnTheSynthesizersChannel)
{
    synth.SetChannel(9);
    const CReceiveResult current = Receive(DumpKind::CurrentProgram, 9);
    ASSERT_EQ(ReceiveStatus::Received, current.status) << current.error;
    ASSERT_EQ(297u, current.bytes.size());
    Bytes expected = synth.GetEditDump();
    expected[2] = 0x39;
    EXPECT_EQ(expected, current.bytes);

    const CReceiveResult all = Receive(DumpKind::AllData, 9);
    ASSERT_EQ(ReceiveStatus::Received, all.status) << all.error;
    EXPECT_EQ(37392u, all.bytes.size());
    EXPECT_EQ(0x50, all.bytes[4]);
    EXPECT_EQ((Bytes{0xF0, 0x42, 0x39, 0x58, 0x0F, 0xF7}), out.GetMessages().at(1));
}

Bytes ReadRealDump(const std::string& name)
{
    std::ifstream file(std::string(VELTRIX_REALDATA_DIR) + "/" + name, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST_F(ReceiveDumpTest, RealDumpsLoadedIntoTheSynthesizerComeBackAsTheFiles)
{
    const Bytes bank = ReadRealDump("ms2000-bank-0x4C.syx");
    const Bytes allData = ReadRealDump("mk-all-data-0x50.syx");
    if (bank.empty() || allData.empty())
        GTEST_SKIP() << "no real dumps at " << VELTRIX_REALDATA_DIR;
    ASSERT_TRUE(synth.LoadMemory(bank));
    CReceiveResult result = Receive(DumpKind::AllPrograms);
    ASSERT_EQ(ReceiveStatus::Received, result.status) << result.error;
    EXPECT_EQ(bank, result.bytes);

    ASSERT_TRUE(synth.LoadMemory(allData));
    result = Receive(DumpKind::AllData);
    ASSERT_EQ(ReceiveStatus::Received, result.status) << result.error;
    EXPECT_EQ(allData, result.bytes);
}

TEST_F(ReceiveDumpTest, SynthesizerOnAnotherChannelIsNoAnswer)
{
    synth.SetChannel(1);
    const CReceiveResult result = Receive(DumpKind::CurrentProgram, 0, SHORT_WAITS);
    EXPECT_EQ(ReceiveStatus::NoAnswer, result.status);
    EXPECT_EQ("The synthesizer did not answer within 0.3 seconds. Check both MIDI cables, the port, and that the "
              "synthesizer's global MIDI channel is 1.", result.error);
    EXPECT_TRUE(result.bytes.empty());
    EXPECT_EQ(std::vector<std::string>{"ignored: channel 1"}, synth.GetLog());
}

TEST_F(ReceiveDumpTest, SilentSynthesizerIsNoAnswer)
{
    synth.SetMode(CTestMidiSynth::Mode::Silent);
    EXPECT_EQ(ReceiveStatus::NoAnswer, Receive(DumpKind::AllPrograms, 0, SHORT_WAITS).status);
    EXPECT_TRUE(progress.empty());
}

TEST_F(ReceiveDumpTest, HalfADumpStallsAndHandsNothingBack)
{
    synth.SetMode(CTestMidiSynth::Mode::Truncated);
    const CReceiveResult result = Receive(DumpKind::AllPrograms, 0, SHORT_WAITS);
    EXPECT_EQ(ReceiveStatus::Stalled, result.status);
    // Half of 37,163 bytes, of which the port delivers the full 256-byte pieces.
    EXPECT_EQ("The synthesizer stopped sending after 18,432 of 37,163 bytes: nothing came for 0.1 seconds. "
              "The dump is incomplete.", result.error);
    EXPECT_TRUE(result.bytes.empty());
}

TEST_F(ReceiveDumpTest, AnswerOfTheWrongKindIsWrongAnswer)
{
    synth.SetMode(CTestMidiSynth::Mode::Garbage);
    const CReceiveResult result = Receive(DumpKind::AllPrograms);
    EXPECT_EQ(ReceiveStatus::WrongAnswer, result.status);
    EXPECT_EQ("The synthesizer answered with a global data dump instead of a program data dump of 128 programs.",
              result.error);
    EXPECT_TRUE(result.bytes.empty());
}

TEST_F(ReceiveDumpTest, InputFromBeforeTheRequestIsNotTheAnswer)
{
    in.Deliver(synth.GetEditDump());  // say, left over from a receive that was cancelled
    synth.SetMode(CTestMidiSynth::Mode::Silent);
    EXPECT_EQ(ReceiveStatus::NoAnswer, Receive(DumpKind::CurrentProgram, 0, SHORT_WAITS).status);
}

// Behind a MIDI merger or a soft thru our own request comes back on the input before the
// answer: it is passed over like any other traffic.
TEST_F(ReceiveDumpTest, OurOwnRequestEchoedBackIsNotTheAnswer)
{
    synth.SetThru(true);
    for (const DumpKind kind : {DumpKind::CurrentProgram, DumpKind::AllPrograms, DumpKind::AllData}) {
        const CReceiveResult result = Receive(kind, 0, SHORT_WAITS);
        EXPECT_EQ(ReceiveStatus::Received, result.status) << result.error;
        EXPECT_EQ(GetAnswerSize(kind), result.bytes.size());
    }
}

TEST_F(ReceiveDumpTest, CancelWhileTheDumpArrivesEndsWithoutBytes)
{
    synth.SetWireRate(31250);
    const CReceiveResult result =
        ReceiveDump(out, hOut, in, hIn, DumpKind::AllPrograms, 0, [this](size_t, size_t) { cancel = true; }, &cancel);
    EXPECT_EQ(ReceiveStatus::Cancelled, result.status);
    EXPECT_EQ("The receive was cancelled.", result.error);
    EXPECT_TRUE(result.bytes.empty());
}

TEST_F(ReceiveDumpTest, RefusedRequestAndFailingInputAreMidiErrors)
{
    out.RefuseSend(7, "The port went away.");
    const CReceiveResult refused = Receive(DumpKind::CurrentProgram);
    EXPECT_EQ(ReceiveStatus::MidiError, refused.status);
    EXPECT_EQ("Error: Failed to send Midi SysEx message to MS2K. The port went away.", refused.error);

    out.RefuseSend(0, "");
    in.FailReads(9, "The input broke.");
    const CReceiveResult failed = Receive(DumpKind::CurrentProgram);
    EXPECT_EQ(ReceiveStatus::MidiError, failed.status);
    EXPECT_EQ("Error: Failed to read from the MIDI port. The input broke.", failed.error);
}

}  // namespace
