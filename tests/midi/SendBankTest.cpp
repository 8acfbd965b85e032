#include "MidiEvent.h"
#include "SendBank.h"
#include "SynthFixture.h"
#include "SyxFormat.h"

#include <atomic>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr unsigned int SHORT_ANSWER_MS = 200;
constexpr unsigned int NO_WIRE = 0;

// A bank other than the one the synthesizer starts with, on channel 1.
Bytes NewBank()
{
    Bytes programs(128 * 254);
    for (size_t i = 0; i < programs.size(); ++i)
        programs[i] = static_cast<unsigned char>(255 - i * 11);
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, programs.data(), static_cast<unsigned int>(programs.size()));
}

Bytes Joined(const std::vector<Bytes>& messages)
{
    Bytes all;
    for (const Bytes& message : messages)
        all.insert(all.end(), message.begin(), message.end());
    return all;
}

struct SendBankTest : SynthFixture
{
    std::atomic<bool> cancel{false};
    std::function<void(size_t, size_t)> progress;

    CBankSendResult Send(const Bytes& bank, int channel = 0, unsigned int answerMs = 10000)
    {
        return SendBankDump(out, hOut, done, in, hIn, bank, channel, progress, &cancel, answerMs, NO_WIRE);
    }
};

TEST_F(SendBankTest, BankGoesOutInPiecesOnTheChannelAndIsStored)
{
    synth.SetChannel(3);
    Bytes bank = NewBank();
    std::vector<std::pair<size_t, size_t>> seen;
    progress = [&seen](size_t sent, size_t total) { seen.emplace_back(sent, total); };
    const CBankSendResult result = Send(bank, 3);
    EXPECT_EQ(BankSendStatus::Completed, result.status) << result.error;
    EXPECT_EQ("", result.error);

    const std::vector<Bytes> pieces = out.GetMessages();
    ASSERT_EQ(147u, pieces.size());  // 37,162 bytes in pieces of 256, then the end byte alone
    for (const Bytes& piece : pieces)
        EXPECT_LE(piece.size(), 256u);
    EXPECT_EQ(Bytes{0xF7}, pieces.back());
    bank[2] = 0x33;  // byte 2 carries the channel, whatever the file had
    EXPECT_EQ(bank, Joined(pieces));
    bank[2] = 0x30;
    EXPECT_EQ(bank, synth.GetMemoryDump());
    ASSERT_EQ(147u, seen.size());
    EXPECT_EQ(std::make_pair(size_t{256}, size_t{37163}), seen.front());
    EXPECT_EQ(std::make_pair(size_t{37163}, size_t{37163}), seen.back());
}

TEST_F(SendBankTest, DataLoadErrorIsLoadError)
{
    synth.SetMode(CTestMidiSynth::Mode::Silent);
    // The synthesizer's verdict arrives once the last piece is out.
    progress = [this](size_t sent, size_t total) {
        if (sent == total)
            in.Deliver({0xF0, 0x42, 0x30, 0x58, 0x24, 0xF7});
    };
    const CBankSendResult result = Send(NewBank());
    EXPECT_EQ(BankSendStatus::LoadError, result.status);
    EXPECT_EQ("The synthesizer reported a data load error: it did not take the bank.", result.error);
}

TEST_F(SendBankTest, SilenceIsNoAnswer)
{
    synth.SetMode(CTestMidiSynth::Mode::Silent);
    const CBankSendResult result = Send(NewBank(), 0, SHORT_ANSWER_MS);
    EXPECT_EQ(BankSendStatus::NoAnswer, result.status);
    EXPECT_EQ("The synthesizer did not confirm the bank within 0.2 seconds. Check the MIDI cable from the "
              "synthesizer and that its global MIDI channel is 1; it may not have taken the bank.", result.error);
}

TEST_F(SendBankTest, VerdictsFromBeforeTheSendOrForAnotherChannelDoNotCount)
{
    synth.SetMode(CTestMidiSynth::Mode::Silent);
    in.Deliver({0xF0, 0x42, 0x30, 0x58, 0x23, 0xF7});  // pending before the send
    progress = [this](size_t sent, size_t total) {
        if (sent == total)
            in.Deliver({0xF0, 0x42, 0x31, 0x58, 0x23, 0xF7});  // another synthesizer on channel 2
    };
    EXPECT_EQ(BankSendStatus::NoAnswer, Send(NewBank(), 0, SHORT_ANSWER_MS).status);
}

// The synthesizer answers only once it has the end byte: whatever came before it is an
// answer to something earlier (a send that timed out or was cancelled), however late.
TEST_F(SendBankTest, OnlyAVerdictAfterTheEndByteCounts)
{
    const Bytes completed = {0xF0, 0x42, 0x30, 0x58, 0x23, 0xF7};
    const Bytes loadError = {0xF0, 0x42, 0x30, 0x58, 0x24, 0xF7};
    struct Case {
        const char* what;
        size_t deliverAfter;   // bytes sent when the verdict arrives
        Bytes verdict;
        BankSendStatus expected;
    };
    const Case cases[] = {
        {"late 23 while the first piece is on the wire", 256, completed, BankSendStatus::NoAnswer},
        {"late 24 in the middle", 18432, loadError, BankSendStatus::NoAnswer},
        {"late 23 with the last byte but one", 37162, completed, BankSendStatus::NoAnswer},
        {"23 after the end byte", 37163, completed, BankSendStatus::Completed},
        {"24 after the end byte", 37163, loadError, BankSendStatus::LoadError},
    };
    synth.SetMode(CTestMidiSynth::Mode::Silent);   // it dropped this bank
    for (const Case& c : cases) {
        progress = [&](size_t sent, size_t) {
            if (sent == c.deliverAfter)
                in.Deliver(c.verdict);
        };
        EXPECT_EQ(c.expected, Send(NewBank(), 0, SHORT_ANSWER_MS).status) << c.what;
    }
}

TEST_F(SendBankTest, SynthesizerOnAnotherChannelKeepsItsProgramsAndSaysNothing)
{
    const Bytes before = synth.GetMemoryDump();
    EXPECT_EQ(BankSendStatus::NoAnswer, Send(NewBank(), 5, SHORT_ANSWER_MS).status);
    EXPECT_EQ(0x35, out.GetMessages().at(0).at(2));
    EXPECT_EQ(before, synth.GetMemoryDump());
}

TEST_F(SendBankTest, WhatIsNotABankOf128ProgramsIsNotSent)
{
    Bytes shortBank = NewBank();
    shortBank.erase(shortBank.begin() + 5, shortBank.begin() + 300);
    const Bytes program = synth.GetEditDump();
    for (const Bytes& dump : {shortBank, program, Bytes{}}) {
        const CBankSendResult result = Send(dump);
        EXPECT_EQ(BankSendStatus::InvalidDump, result.status);
        EXPECT_EQ("This is not a program data dump of 128 programs; nothing was sent to the synthesizer.",
                  result.error);
    }
    EXPECT_TRUE(out.GetMessages().empty());
}

TEST_F(SendBankTest, CancelPartWayEndsTheMessageAndTheProgramsStay)
{
    const Bytes before = synth.GetMemoryDump();
    progress = [this](size_t sent, size_t) {
        if (sent >= 1024)
            cancel = true;
    };
    const CBankSendResult result = Send(NewBank());
    EXPECT_EQ(BankSendStatus::Cancelled, result.status);
    EXPECT_EQ("The bank send was cancelled after 1,024 of 37,163 bytes; the synthesizer did not get a whole bank.",
              result.error);
    const std::vector<Bytes> pieces = out.GetMessages();
    ASSERT_EQ(5u, pieces.size());
    EXPECT_EQ(Bytes{0xF7}, pieces.back());
    EXPECT_EQ(before, synth.GetMemoryDump());
}

TEST_F(SendBankTest, RefusedPieceIsAMidiErrorWithTheSendText)
{
    out.RefuseSend(4, "The port went away.");
    const CBankSendResult result = Send(NewBank());
    EXPECT_EQ(BankSendStatus::MidiError, result.status);
    EXPECT_EQ("Error: Failed to send Midi SysEx message to MS2K. The port went away.", result.error);
}

}  // namespace
