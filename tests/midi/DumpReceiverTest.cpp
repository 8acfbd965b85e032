#include "DumpReceiver.h"
#include "SyxFormat.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Clock = CDumpReceiver::Clock;
using std::chrono::milliseconds;

Bytes Bank(int channel)
{
    Bytes programs(128 * 254);
    for (size_t i = 0; i < programs.size(); ++i)
        programs[i] = static_cast<unsigned char>(i * 29);
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, channel, programs.data(), static_cast<unsigned int>(programs.size()));
}

Bytes CurrentProgram(int channel)
{
    Bytes program(254, 0x85);
    return BuildDumpMessage(FUNC_CURRENT_PROGRAM, channel, program.data(), 254);
}

struct DumpReceiverTest : testing::Test
{
    Clock::time_point t0 = Clock::now();
    CDumpReceiver receiver{DumpKind::AllPrograms, 2};

    void SetUp() override { receiver.Start(t0); }
    void Feed(const Bytes& bytes, int atMs = 0) { receiver.Feed(bytes.data(), bytes.size(), t0 + milliseconds(atMs)); }
};

TEST_F(DumpReceiverTest, AnswerInPiecesOfAnySizeIsJoinedToTheExactMessage)
{
    const Bytes bank = Bank(2);
    // The header split over several pieces, then ALSA's 256-byte pieces.
    Feed(Bytes(bank.begin(), bank.begin() + 1));
    Feed(Bytes(bank.begin() + 1, bank.begin() + 3));
    for (size_t at = 3; at < bank.size(); at += 256)
        Feed(Bytes(bank.begin() + static_cast<long>(at), bank.begin() + static_cast<long>(std::min(at + 256, bank.size()))));
    ASSERT_TRUE(receiver.IsDone());
    EXPECT_EQ(bank.size(), receiver.GetReceived());
    const CReceiveResult result = receiver.TakeResult();
    EXPECT_EQ(ReceiveStatus::Received, result.status);
    EXPECT_EQ("", result.error);
    EXPECT_EQ(bank, result.bytes);
}

TEST_F(DumpReceiverTest, PassesOverWhatIsNotTheAnswer)
{
    Bytes stream = {0x90, 0x40, 0x7F};                             // a note
    const Bytes otherChannel = Bank(3);                           // the same kind, another channel
    stream.insert(stream.end(), otherChannel.begin(), otherChannel.end());
    const Bytes otherMaker = {0xF0, 0x41, 0x32, 0x58, 0x4C, 0x01, 0xF7};  // another maker
    stream.insert(stream.end(), otherMaker.begin(), otherMaker.end());
    const Bytes knob = {0xF0, 0x42, 0x32, 0x58, 0x41, 0x10, 0x00, 0x05, 0x00, 0xF7};  // a parameter change
    stream.insert(stream.end(), knob.begin(), knob.end());
    const Bytes bank = Bank(2);
    stream.insert(stream.end(), bank.begin(), bank.begin() + 1000);
    stream.push_back(0xF8);  // a clock tick inside the answer
    stream.insert(stream.end(), bank.begin() + 1000, bank.end());
    Feed(stream);
    ASSERT_TRUE(receiver.IsDone());
    const CReceiveResult result = receiver.TakeResult();
    EXPECT_EQ(ReceiveStatus::Received, result.status);
    EXPECT_EQ(bank, result.bytes);
}

TEST_F(DumpReceiverTest, AnswerOfAnotherKindEndsTheReceiveAtOnce)
{
    const Bytes program = CurrentProgram(2);
    Feed(Bytes(program.begin(), program.begin() + 5));
    ASSERT_TRUE(receiver.IsDone());
    const CReceiveResult result = receiver.TakeResult();
    EXPECT_EQ(ReceiveStatus::WrongAnswer, result.status);
    EXPECT_EQ("The synthesizer answered with a current program dump instead of a program data dump of 128 programs.",
              result.error);
    EXPECT_TRUE(result.bytes.empty());
}

TEST_F(DumpReceiverTest, DumpTheReaderRejectsIsInvalidWithTheReadersText)
{
    Bytes broken = Bank(2);
    broken.erase(broken.begin() + 100);  // one packed byte missing
    Feed(broken);
    ASSERT_TRUE(receiver.IsDone());
    const CReceiveResult result = receiver.TakeResult();
    EXPECT_EQ(ReceiveStatus::Invalid, result.status);
    EXPECT_EQ("The dump received from the synthesizer is not valid: "
              "Failed to read file, patch data appears to be corrupted.", result.error);
    EXPECT_TRUE(result.bytes.empty());
}

TEST_F(DumpReceiverTest, AnswerLongerThanADumpOrCutByAnotherMessageIsInvalid)
{
    Bytes endless = Bank(2);
    endless.back() = 0x00;  // no end byte where it belongs
    endless.push_back(0x00);
    Feed(endless);
    ASSERT_TRUE(receiver.IsDone());
    EXPECT_EQ(ReceiveStatus::Invalid, receiver.TakeResult().status);

    CDumpReceiver cut(DumpKind::AllPrograms, 2);
    cut.Start(t0);
    const Bytes bank = Bank(2);
    Bytes stream(bank.begin(), bank.begin() + 500);
    stream.push_back(0x90);  // a note: the SysEx message ended without F7
    cut.Feed(stream.data(), stream.size(), t0);
    ASSERT_TRUE(cut.IsDone());
    EXPECT_EQ(ReceiveStatus::Invalid, cut.TakeResult().status);
}

TEST_F(DumpReceiverTest, NoAnswerWithinTheFirstWaitIsNoAnswer)
{
    Feed(Bank(3), 5000);  // another channel's dump does not count as an answer
    receiver.CheckTime(t0 + milliseconds(9999));
    EXPECT_FALSE(receiver.IsDone());
    EXPECT_EQ(1, receiver.GetRemainingMs(t0 + milliseconds(9999)));
    receiver.CheckTime(t0 + milliseconds(10000));
    ASSERT_TRUE(receiver.IsDone());
    const CReceiveResult result = receiver.TakeResult();
    EXPECT_EQ(ReceiveStatus::NoAnswer, result.status);
    EXPECT_EQ("The synthesizer did not answer within 10 seconds. Check both MIDI cables, the port, and that the "
              "synthesizer's global MIDI channel is 3.", result.error);
}

TEST_F(DumpReceiverTest, EveryPieceStartsThePauseAgain)
{
    const Bytes bank = Bank(2);
    Feed(Bytes(bank.begin(), bank.begin() + 256), 9000);
    receiver.CheckTime(t0 + milliseconds(11999));
    EXPECT_FALSE(receiver.IsDone());
    Feed(Bytes(bank.begin() + 256, bank.begin() + 512), 11999);
    receiver.CheckTime(t0 + milliseconds(14998));
    EXPECT_FALSE(receiver.IsDone());
    receiver.CheckTime(t0 + milliseconds(14999));
    ASSERT_TRUE(receiver.IsDone());
    const CReceiveResult result = receiver.TakeResult();
    EXPECT_EQ(ReceiveStatus::Stalled, result.status);
    EXPECT_EQ("The synthesizer stopped sending after 512 of 37,163 bytes: nothing came for 3 seconds. "
              "The dump is incomplete.", result.error);
    EXPECT_TRUE(result.bytes.empty());
}

TEST_F(DumpReceiverTest, CancelAndMidiErrorEndTheReceiveWithoutBytes)
{
    const Bytes bank = Bank(2);
    Feed(Bytes(bank.begin(), bank.end() - 1));
    receiver.Cancel();
    ASSERT_TRUE(receiver.IsDone());
    const CReceiveResult result = receiver.TakeResult();
    EXPECT_EQ(ReceiveStatus::Cancelled, result.status);
    EXPECT_TRUE(result.bytes.empty());

    CDumpReceiver failing(DumpKind::CurrentProgram, 0);
    failing.Start(t0);
    failing.Fail("Error: it broke.");
    const CReceiveResult failed = failing.TakeResult();
    EXPECT_EQ(ReceiveStatus::MidiError, failed.status);
    EXPECT_EQ("Error: it broke.", failed.error);
}

}  // namespace
