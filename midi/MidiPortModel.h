#pragma once
#include "MidiOutService.h"
#include "MidiPortList.h"

#include <string>
#include <vector>

class CMidiEvent;

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

    // Lists the hardware MIDI ports (ListMidiPorts: in device order, ports that share a
    // name told apart by a number) and clears the port selection.
    void FillPorts();
    const std::vector<CMidiPortItem>& GetPorts() const { return m_ports; }
    const std::vector<CMidiChannelItem>& GetChannels() const { return m_channels; }

    // Selects the stored port (its listed name, whole and ignoring letter case, and its
    // address; see FindStoredPort), else the first port; with no ports nothing is selected.
    // Nothing is selected either when the stored port is missing but a port of its product
    // name is there: that may be another synthesizer of the same model.
    // Returns the selected index or -1.
    int RestorePort(const std::string& storedName, const std::string& storedAddress = std::string());
    // The index of the listed port that is `port` (the same address and product name),
    // whatever its number and device id are now; -1 when it is gone.
    int FindPort(const CMidiPortItem& port) const;

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
    // The selected port, or an item with device id -1 when nothing is selected.
    CMidiPortItem GetSelectedPort() const;

    // Opens the selected port, the one listed at its address (nothing when none is
    // selected, or when it has gone since the listing), into hMidiOut, with `done` as its
    // completion event. On failure hMidiOut is null and errorMessage
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
