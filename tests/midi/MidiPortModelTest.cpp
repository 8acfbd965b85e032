#include "MidiPortModel.h"
#include "TestMidiOutService.h"

#include <gtest/gtest.h>

namespace {

struct MidiPortModelTest : testing::Test
{
    CTestMidiOutService service;
    CMidiPortModel model{service};
    CMidiEvent done;
    MidiOutHandle hMidiOut = nullptr;
    std::string error;

    void AddTypicalDevices()
    {
        service.AddDevice("Midi Through Port-0", MidiOutKind::Other);   // id 0
        service.AddDevice("UM-ONE MIDI 1");                              // id 1
        service.AddUnreadableDevice();                                   // id 2
        service.AddDevice("TiMidity port 0", MidiOutKind::Other);       // id 3
        service.AddDevice("MS2000 USB-MIDI Interface Port 1 out");      // id 4
    }
};

TEST_F(MidiPortModelTest, ListsOnlyReadableHardwarePortsWithTheirDeviceIds)
{
    AddTypicalDevices();
    model.FillPorts();
    ASSERT_EQ(2u, model.GetPorts().size());
    EXPECT_EQ("UM-ONE MIDI 1", model.GetPorts()[0].name);
    EXPECT_EQ(1, model.GetPorts()[0].deviceId);
    EXPECT_EQ("MS2000 USB-MIDI Interface Port", model.GetPorts()[1].name.substr(0, 30));
    EXPECT_EQ(31u, model.GetPorts()[1].name.size());
    EXPECT_EQ(4, model.GetPorts()[1].deviceId);
}

TEST_F(MidiPortModelTest, OnlySoftwareOutputsGiveAnEmptyListWithoutSelection)
{
    service.AddDevice("Midi Through Port-0", MidiOutKind::Other);
    model.FillPorts();
    EXPECT_TRUE(model.GetPorts().empty());
    EXPECT_EQ(MIDI_NO_SELECTION, model.RestorePort("Midi Through Port-0"));
    EXPECT_EQ(-1, model.GetSelectedDeviceId());
    EXPECT_EQ("", model.GetSelectedPortName());
}

TEST_F(MidiPortModelTest, ChannelListIs01To16)
{
    const auto& channels = model.GetChannels();
    ASSERT_EQ(16u, channels.size());
    EXPECT_EQ("01", channels[0].text);
    EXPECT_EQ(0, channels[0].channel);
    EXPECT_EQ("10", channels[9].text);
    EXPECT_EQ("16", channels[15].text);
    EXPECT_EQ(15, channels[15].channel);
}

TEST_F(MidiPortModelTest, RestoresThePortByNameIgnoringCaseElseTheFirst)
{
    AddTypicalDevices();
    model.FillPorts();
    EXPECT_EQ(1, model.RestorePort("ms2000 usb-midi interface port "));
    EXPECT_EQ(4, model.GetSelectedDeviceId());
    EXPECT_EQ(0, model.RestorePort("UM-ONE"));  // no partial matches
    EXPECT_EQ(1, model.GetSelectedDeviceId());
    EXPECT_EQ(0, model.RestorePort(""));
}

TEST_F(MidiPortModelTest, RestoresTheChannelOnlyWithin0To15)
{
    EXPECT_EQ(5, model.RestoreChannel(5));
    EXPECT_EQ(5, model.GetSelectedChannel());
    EXPECT_EQ(MIDI_NO_SELECTION, model.RestoreChannel(16));
    EXPECT_EQ(-1, model.GetSelectedChannel());
    EXPECT_EQ(MIDI_NO_SELECTION, model.RestoreChannel(-1));
    EXPECT_EQ(0, model.RestoreChannel(0));
}

TEST_F(MidiPortModelTest, OpensTheSelectedDeviceAndClosesIt)
{
    AddTypicalDevices();
    model.FillPorts();
    model.SelectPort(1);
    ASSERT_TRUE(model.Open(hMidiOut, done, error));
    EXPECT_NE(nullptr, hMidiOut);
    EXPECT_TRUE(done.IsSet());  // opening leaves the event signalled
    EXPECT_EQ(std::vector<std::string>{"open 4"}, service.GetCalls());
    model.Close(hMidiOut);
    EXPECT_EQ(nullptr, hMidiOut);
    EXPECT_FALSE(service.IsOpen());
    model.Close(hMidiOut);  // closing again has nothing to close
    EXPECT_EQ((std::vector<std::string>{"open 4", "close"}), service.GetCalls());
}

TEST_F(MidiPortModelTest, FailedOpenLeavesMidiOffWithTheServicesText)
{
    AddTypicalDevices();
    model.FillPorts();
    model.RestorePort("");
    service.RefuseOpen(4, "The device is already in use.");
    EXPECT_FALSE(model.Open(hMidiOut, done, error));
    EXPECT_EQ(nullptr, hMidiOut);
    EXPECT_EQ("Error: Failed to open the specified MIDI port. The device is already in use.", error);
}

TEST_F(MidiPortModelTest, OpenWithoutSelectionPassesMinusOne)
{
    model.FillPorts();
    EXPECT_FALSE(model.Open(hMidiOut, done, error));
    EXPECT_EQ(std::vector<std::string>{"open -1"}, service.GetCalls());
    EXPECT_EQ("Error: Failed to open the specified MIDI port. There is no MIDI output device with this id.", error);
}

}  // namespace
