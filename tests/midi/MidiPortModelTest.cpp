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
    EXPECT_EQ("MS2000 USB-MIDI Interface Port 1 out", model.GetPorts()[1].name);
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
    EXPECT_EQ(1, model.RestorePort("ms2000 usb-midi interface port 1 OUT"));
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
    EXPECT_EQ(std::vector<std::string>{"open 24:0"}, service.GetCalls());
    model.Close(hMidiOut);
    EXPECT_EQ(nullptr, hMidiOut);
    EXPECT_FALSE(service.IsOpen());
    model.Close(hMidiOut);  // closing again has nothing to close
    EXPECT_EQ((std::vector<std::string>{"open 24:0", "close"}), service.GetCalls());
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

namespace {

TEST(MidiPortModelFind, FindsAPortByAddressAndProductNameAfterTheIdsMoved)
{
    CTestMidiOutService service;
    CMidiPortModel model{service};
    service.AddDevice("UM-ONE MIDI 1");     // 20:0
    service.AddDevice("Serial MIDI 1");     // 21:0
    service.AddDevice("um-one midi 1");     // 22:0, the same name in another case, another address
    model.FillPorts();
    const CMidiPortItem serial = model.GetPorts()[1];
    const CMidiPortItem first = model.GetPorts()[0];
    const CMidiPortItem second = model.GetPorts()[2];
    EXPECT_EQ("21:0", serial.address);
    EXPECT_EQ("um-one midi 1 #2", second.name);

    service.Unplug("UM-ONE MIDI 1");
    model.FillPorts();
    EXPECT_EQ(0, model.FindPort(serial));
    EXPECT_EQ(0, model.GetPorts()[0].deviceId);
    EXPECT_EQ(-1, model.FindPort(first));   // gone, though one of that name is there
    EXPECT_EQ(1, model.FindPort(second));   // no longer numbered, still the same port
    EXPECT_EQ("um-one midi 1", model.GetPorts()[1].name);
}

// Two interfaces of one model, as ALSA lists them: one name, two addresses.
struct TwinPortsTest : MidiPortModelTest
{
    void AddTwins()
    {
        service.AddDevice("Midi Through Port-0", MidiOutKind::Other);   // 20:0
        service.AddDevice("UM-ONE MIDI 1");                              // 21:0
        service.AddDevice("Serial MIDI 1");                              // 22:0
        service.AddDevice("UM-ONE MIDI 1");                              // 23:0
        model.FillPorts();
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const CMidiPortItem& port : model.GetPorts())
            names.push_back(port.name + "@" + port.address);
        return names;
    }
};

TEST_F(TwinPortsTest, PortsOfOneNameAreNumberedAndLongNamesKeptWhole)
{
    AddTwins();
    service.AddDevice("A very long name of a MIDI interface port, number one");
    service.AddDevice("A very long name of a MIDI interface port, number two");
    service.AddDevice("Port #2");
    service.AddDevice("Port");
    service.AddDevice("Port");
    model.FillPorts();
    EXPECT_EQ((std::vector<std::string>{"UM-ONE MIDI 1@21:0", "Serial MIDI 1@22:0", "UM-ONE MIDI 1 #2@23:0",
                                        "A very long name of a MIDI interface port, number one@24:0",
                                        "A very long name of a MIDI interface port, number two@25:0",
                                        "Port #2@26:0", "Port@27:0", "Port #3@28:0"}),
              Names());
}

TEST_F(TwinPortsTest, TheStoredPortIsFoundAgainAndNeverItsTwin)
{
    struct Case {
        const char* what;
        std::vector<std::string> unplugged;
        std::string storedName, storedAddress;
        int selected;   // index in the list after the unplugging, -1: none
    };
    const Case cases[] = {
        {"the second, both there", {}, "UM-ONE MIDI 1 #2", "23:0", 2},
        {"the second, stored before addresses were kept", {}, "um-one midi 1 #2", "", 2},
        {"the first, both there", {}, "UM-ONE MIDI 1", "21:0", 0},
        {"the second, its twin gone: renumbered", {"21:0"}, "UM-ONE MIDI 1 #2", "23:0", 1},
        {"the second gone: not its twin", {"23:0"}, "UM-ONE MIDI 1 #2", "23:0", -1},
        // One of its name elsewhere may be the same interface at a new address (as after a
        // restart of the computer): it is taken.
        {"the first gone, one of its name elsewhere", {"21:0"}, "UM-ONE MIDI 1", "21:0", 1},
        {"another port gone: the first, as ever", {}, "Gone Interface", "30:0", 0},
    };
    for (const Case& c : cases) {
        for (const char* address : {"21:0", "22:0", "23:0"})
            service.ReplugAt(address);
        for (const std::string& address : c.unplugged)
            service.UnplugAt(address);
        if (model.GetPorts().empty())
            AddTwins();
        model.FillPorts();
        EXPECT_EQ(c.selected, model.RestorePort(c.storedName, c.storedAddress)) << c.what;
    }
}

TEST_F(TwinPortsTest, TheSecondOpensAtItsAddressEvenWhenIdsMoveBeforeTheOpen)
{
    AddTwins();
    model.SelectPort(2);   // "UM-ONE MIDI 1 #2", device id 3
    service.UnplugAt("22:0");   // ids after Serial MIDI 1 move down before the open
    ASSERT_TRUE(model.Open(hMidiOut, done, error)) << error;
    EXPECT_EQ(std::vector<std::string>{"open 23:0"}, service.GetCalls());
    model.Close(hMidiOut);

    service.UnplugAt("23:0");   // gone between the listing and the open: nothing else opens
    service.ClearCalls();
    EXPECT_FALSE(model.Open(hMidiOut, done, error));
    EXPECT_EQ(nullptr, hMidiOut);
    EXPECT_EQ("Error: Failed to open the specified MIDI port. The MIDI port is no longer there; it may have been "
              "unplugged.", error);
}

}  // namespace
