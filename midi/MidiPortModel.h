#pragma once
#include "MidiOutService.h"

#include <string>
#include <vector>

class CMidiEvent;

// One entry of the port list: the device's product name and its device id (the index
// among all of the service's devices, not the position in this list).
struct CMidiPortItem
{
    std::string name;
    int deviceId;
};

// One entry of the channel list: "01" .. "16" and the channel 0 .. 15.
struct CMidiChannelItem
{
    std::string text;
    int channel;
};

constexpr int MIDI_CHANNEL_COUNT = 16;
constexpr int MIDI_NO_SELECTION = -1;

// The MIDI output port without its widgets: the port and channel lists, their
// selections, and opening and closing the chosen device. The window mirrors the lists
// into its two combo boxes and reports selection changes back with Select...().
//
// The open device's handle is not kept here: Open and Close take the caller's
// MidiOutHandle by reference, so the window keeps `m_hMidiOut` itself and its being
// null or not stays the one flag that tells whether MIDI output is on.
class CMidiPortModel
{
public:
    explicit CMidiPortModel(IMidiOutService& service);

    // Lists the hardware MIDI ports in device order (the count is asked again before
    // every pass; devices whose capabilities can't be read are left out) and clears
    // the port selection.
    void FillPorts();
    const std::vector<CMidiPortItem>& GetPorts() const { return m_ports; }
    const std::vector<CMidiChannelItem>& GetChannels() const { return m_channels; }

    // Selects the port whose name equals `storedName` ignoring letter case, else the
    // first port; with no ports nothing is selected. Returns the selected index or -1.
    int RestorePort(const std::string& storedName);
    // Selects channel item `storedChannel`; outside 0 .. 15 nothing is selected.
    // Returns the selected index or -1.
    int RestoreChannel(int storedChannel);

    // Selection changes made by the user; an index out of range means no selection.
    void SelectPort(int index);
    void SelectChannel(int index);
    int GetPortSelection() const { return m_portSelection; }
    int GetChannelSelection() const { return m_channelSelection; }

    // Item data of the selections, -1 when nothing is selected.
    int GetSelectedDeviceId() const;
    int GetSelectedChannel() const;
    // Text of the selected port, empty when nothing is selected.
    std::string GetSelectedPortName() const;

    // Opens the selected port (device id -1 when none is selected) into hMidiOut, with
    // `done` as its completion event. On failure hMidiOut is null and errorMessage
    // holds the text to show the user with a stop icon.
    bool Open(MidiOutHandle& hMidiOut, CMidiEvent& done, std::string& errorMessage);
    // Closes hMidiOut when it is open and sets it to null.
    void Close(MidiOutHandle& hMidiOut);

private:
    IMidiOutService& m_service;
    std::vector<CMidiPortItem> m_ports;
    std::vector<CMidiChannelItem> m_channels;
    int m_portSelection = MIDI_NO_SELECTION;
    int m_channelSelection = MIDI_NO_SELECTION;
};

// "Error: Failed to open the specified MIDI port. " followed by the service's text.
std::string FormatOpenError(const std::string& serviceText);
