#include "MidiPortModel.h"

#include "MidiEvent.h"

#include <cstdio>

std::string FormatOpenError(const std::string& serviceText)
{
    return "Error: Failed to open the specified MIDI port. " + serviceText;
}

CMidiPortModel::CMidiPortModel(IMidiOutService& service) : m_service(service)
{
    for (int channel = 0; channel < MIDI_CHANNEL_COUNT; ++channel) {
        char text[4];
        std::snprintf(text, sizeof text, "%02d", channel + 1);
        m_channels.push_back({text, channel});
    }
}

void CMidiPortModel::FillPorts()
{
    m_ports = ListMidiPorts(m_service);
    m_portSelection = MIDI_NO_SELECTION;
}

int CMidiPortModel::RestorePort(const std::string& storedName, const std::string& storedAddress)
{
    int index = MIDI_NO_SELECTION;
    switch (FindStoredPort(m_ports, storedName, storedAddress, index)) {
    case StoredPortMatch::Found:
        break;
    case StoredPortMatch::TwinConnected:
        index = MIDI_NO_SELECTION;
        break;
    case StoredPortMatch::NothingStored:
    case StoredPortMatch::NotConnected:
        index = m_ports.empty() ? MIDI_NO_SELECTION : 0;
        break;
    }
    m_portSelection = index;
    return m_portSelection;
}

int CMidiPortModel::FindPort(const CMidiPortItem& port) const
{
    return FindSamePort(m_ports, port.address, port.productName);
}

int CMidiPortModel::RestoreChannel(int storedChannel)
{
    SelectChannel(storedChannel);
    return m_channelSelection;
}

void CMidiPortModel::SelectPort(int index)
{
    m_portSelection = index >= 0 && static_cast<size_t>(index) < m_ports.size() ? index : MIDI_NO_SELECTION;
}

void CMidiPortModel::SelectChannel(int index)
{
    m_channelSelection = index >= 0 && index < MIDI_CHANNEL_COUNT ? index : MIDI_NO_SELECTION;
}

int CMidiPortModel::GetSelectedDeviceId() const
{
    return m_portSelection == MIDI_NO_SELECTION ? -1 : m_ports[static_cast<size_t>(m_portSelection)].deviceId;
}

int CMidiPortModel::GetSelectedChannel() const
{
    return m_channelSelection == MIDI_NO_SELECTION ? -1 : m_channels[static_cast<size_t>(m_channelSelection)].channel;
}

std::string CMidiPortModel::GetSelectedPortName() const
{
    return m_portSelection == MIDI_NO_SELECTION ? std::string() : m_ports[static_cast<size_t>(m_portSelection)].name;
}

CMidiPortItem CMidiPortModel::GetSelectedPort() const
{
    return m_portSelection == MIDI_NO_SELECTION ? CMidiPortItem{} : m_ports[static_cast<size_t>(m_portSelection)];
}

bool CMidiPortModel::Open(MidiOutHandle& hMidiOut, CMidiEvent& done, std::string& errorMessage)
{
    hMidiOut = nullptr;
    // Without a selection the service is asked for device -1 (it has none: the open fails
    // with its text); else the listed port, at its address, even if device ids moved.
    const CMidiPortItem port = GetSelectedPort();
    const int rc = port.deviceId < 0 ? m_service.Open(&hMidiOut, -1, &done)
                                     : m_service.OpenPort(&hMidiOut, port.address, port.productName, &done);
    if (rc == 0 && hMidiOut != nullptr)
        return true;
    errorMessage = FormatOpenError(m_service.GetErrorText(rc));
    hMidiOut = nullptr;
    return false;
}

void CMidiPortModel::Close(MidiOutHandle& hMidiOut)
{
    if (hMidiOut != nullptr)
        m_service.Close(hMidiOut);
    hMidiOut = nullptr;
}
