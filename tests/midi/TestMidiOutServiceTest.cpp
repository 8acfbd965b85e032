// The test service must behave as the ALSA backend does when a port goes away, since the
// window's tests rely on it: the port leaves the list (later ids move down), a handle on it
// refuses every send with a reason, and the other ports go on working.
#include "ProgramSender.h"
#include "TestMidiOutService.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string PORT_GONE =
    "Error: Failed to send Midi SysEx message to MS2K. The MIDI port is no longer there; it may have been unplugged.";

struct UnplugTest : testing::Test
{
    CTestMidiOutService service;
    CMidiEvent firstDone, secondDone;
    MidiOutHandle first = nullptr, second = nullptr;
    CProgramMessage message;
    std::string error;

    void SetUp() override
    {
        service.AddDevice("USB MIDI 1", MidiOutKind::HardwarePort, true);
        service.AddDevice("USB MIDI 2");
        service.AddDevice("USB MIDI 3");
        ASSERT_EQ(0, service.Open(&first, 0, &firstDone));
        ASSERT_EQ(0, service.Open(&second, 2, &secondDone));
        const unsigned char program[254] = {};
        ASSERT_TRUE(BuildProgramMessage(program, sizeof program, 0, message));
    }
    void TearDown() override
    {
        service.Close(first);
        service.Close(second);
    }
    CMidiOutCaps Caps(unsigned int id)
    {
        CMidiOutCaps caps;
        EXPECT_TRUE(service.GetDevCaps(id, caps));
        return caps;
    }
};

TEST_F(UnplugTest, DevicesTellTheirAddressAndWhetherTheyCanBeRead)
{
    EXPECT_EQ("20:0", Caps(0).address);
    EXPECT_TRUE(Caps(0).canRead);
    EXPECT_EQ("22:0", Caps(2).address);
    EXPECT_FALSE(Caps(2).canRead);
}

TEST_F(UnplugTest, AnUnpluggedPortLeavesTheListAndTheIdsAfterItMoveDown)
{
    service.Unplug("USB MIDI 2");
    ASSERT_EQ(2u, service.GetNumDevs());
    EXPECT_EQ("USB MIDI 1", Caps(0).productName);
    EXPECT_EQ("USB MIDI 3", Caps(1).productName);
    EXPECT_EQ("22:0", Caps(1).address);  // its address stays
    CMidiOutCaps caps;
    EXPECT_FALSE(service.GetDevCaps(2, caps));
}

TEST_F(UnplugTest, AVanishedPortRefusesEverySendWithItsReasonWhileTheOthersWork)
{
    service.Unplug("USB MIDI 1");
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_FALSE(SendProgramMessage(service, first, firstDone, message, error, 50));
        EXPECT_EQ(PORT_GONE, error);
        EXPECT_TRUE(firstDone.IsSet()) << "the refusal ends the wait at once";
    }
    // "USB MIDI 3" is now device 1, and its handle goes on working.
    EXPECT_EQ("USB MIDI 3", Caps(1).productName);
    EXPECT_TRUE(SendProgramMessage(service, second, secondDone, message, error));
    EXPECT_EQ(1u, service.GetMessages().size());
}

TEST_F(UnplugTest, APortBackAtItsAddressTakesMessagesAgain)
{
    service.Unplug("USB MIDI 1");
    EXPECT_FALSE(SendProgramMessage(service, first, firstDone, message, error));
    service.Replug("USB MIDI 1");
    EXPECT_EQ("USB MIDI 1", Caps(0).productName);
    EXPECT_TRUE(SendProgramMessage(service, first, firstDone, message, error));
    EXPECT_EQ(1u, service.GetMessages().size());
}

TEST_F(UnplugTest, UnpluggingEverythingEmptiesTheListAndOpensFail)
{
    service.Unplug();
    EXPECT_EQ(0u, service.GetNumDevs());
    MidiOutHandle third = nullptr;
    CMidiEvent done;
    EXPECT_EQ(CTestMidiOutService::ERR_BAD_DEVICE_ID, service.Open(&third, 0, &done));
    EXPECT_EQ(nullptr, third);
    EXPECT_FALSE(SendProgramMessage(service, second, secondDone, message, error));
    EXPECT_EQ(PORT_GONE, error);
}

}  // namespace
