#include "ProgramSender.h"
#include "TestMidiOutService.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

constexpr unsigned int SHORT_TIMEOUT_MS = 50;

struct ProgramSenderTest : testing::Test
{
    CTestMidiOutService service;
    CRecordingMidiEvent done{service};
    MidiOutHandle hMidiOut = nullptr;
    CProgramMessage message;
    std::string error;

    void SetUp() override
    {
        service.AddDevice("USB MIDI Interface");
        ASSERT_EQ(0, service.Open(&hMidiOut, 0, &done));
        unsigned char program[254];
        for (unsigned int i = 0; i < sizeof program; ++i)
            program[i] = static_cast<unsigned char>(i * 7);
        ASSERT_TRUE(BuildProgramMessage(program, sizeof program, 4, message));
        service.ClearCalls();
    }

    void TearDown() override { service.Close(hMidiOut); }

    bool Send(unsigned int timeoutMs = MIDI_SEND_TIMEOUT_MS)
    {
        return SendProgramMessage(service, hMidiOut, done, message, error, timeoutMs);
    }
};

TEST_F(ProgramSenderTest, SendsTheWholeMessageInTheFixedOrder)
{
    ASSERT_TRUE(Send());
    EXPECT_EQ((Calls{"prepare", "reset-event", "longmsg", "wait", "unprepare"}), service.GetCalls());
    ASSERT_EQ(1u, service.GetMessages().size());
    EXPECT_EQ(std::vector<unsigned char>(message.bytes, message.bytes + message.length), service.GetMessages()[0]);
    EXPECT_EQ("", error);
}

TEST_F(ProgramSenderTest, SlowDeviceWithinTheBoundIsWaitedForWithoutReset)
{
    service.SetCompletionDelay(30);
    ASSERT_TRUE(Send());
    EXPECT_EQ((Calls{"prepare", "reset-event", "longmsg", "wait", "unprepare"}), service.GetCalls());
}

TEST_F(ProgramSenderTest, DeviceThatNeverFinishesIsResetAfterTheWait)
{
    service.SetCompletionDelay(CTestMidiOutService::NEVER);
    EXPECT_TRUE(Send(SHORT_TIMEOUT_MS));  // taken, just not finished: nothing to tell
    EXPECT_EQ((Calls{"prepare", "reset-event", "longmsg", "wait", "reset", "unprepare"}), service.GetCalls());
    EXPECT_EQ("", error);
    EXPECT_TRUE(done.IsSet());  // the reset handed the buffer back
}

TEST_F(ProgramSenderTest, RefusalIsReportedAfterTheWait)
{
    service.RefuseSend(11, "The buffer was not prepared.");
    EXPECT_FALSE(Send());
    EXPECT_EQ("Error: Failed to send Midi SysEx message to MS2K. The buffer was not prepared.", error);
    EXPECT_EQ((Calls{"prepare", "reset-event", "longmsg", "wait", "unprepare"}), service.GetCalls());
    EXPECT_TRUE(service.GetMessages().empty());
}

TEST_F(ProgramSenderTest, RefusalThatNeverSignalsWaitsTheFullBoundThenResets)
{
    service.RefuseSend(11, "The buffer was not prepared.", false);
    EXPECT_FALSE(Send(SHORT_TIMEOUT_MS));
    EXPECT_EQ((Calls{"prepare", "reset-event", "longmsg", "wait", "reset", "unprepare"}), service.GetCalls());
    EXPECT_EQ("Error: Failed to send Midi SysEx message to MS2K. The buffer was not prepared.", error);
}

TEST_F(ProgramSenderTest, DeviceUnpluggedBetweenSendsRefusesEachLaterSend)
{
    ASSERT_TRUE(Send());
    service.Unplug("USB MIDI Interface");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_FALSE(Send());
        EXPECT_EQ("Error: Failed to send Midi SysEx message to MS2K. "
                  "The MIDI port is no longer there; it may have been unplugged.", error);
    }
    EXPECT_EQ(1u, service.GetMessages().size());
    // The port stays open until the user closes it.
    EXPECT_TRUE(service.IsOpen());
}

TEST_F(ProgramSenderTest, NothingIsSentWhileMidiIsOff)
{
    EXPECT_FALSE(SendProgramMessage(service, nullptr, done, message, error, SHORT_TIMEOUT_MS));
    EXPECT_EQ("", error);
    EXPECT_TRUE(service.GetCalls().empty());
}

}  // namespace
