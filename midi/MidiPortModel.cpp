#include "MidiPortModel.h"

#include "MidiEvent.h"

#include <cstdio>
#include <strings.h>

namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

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
    m_ports.clear();
    m_portSelection = MIDI_NO_SELECTION;
    for (unsigned int id = 0; id < m_service.GetNumDevs(); ++id) {
        CMidiOutCaps caps;
        if (!m_service.GetDevCaps(id, caps) || caps.kind != MidiOutKind::HardwarePort)
            continue;
        m_ports.push_back({LimitText(caps.productName, MIDI_OUT_NAME_MAX), static_cast<int>(id)});
    }
}

int CMidiPortModel::RestorePort(const std::string& storedName)
{
    m_portSelection = m_ports.empty() ? MIDI_NO_SELECTION : 0;
    for (size_t i = 0; i < m_ports.size(); ++i) {
        if (EqualIgnoringCase(m_ports[i].name, storedName)) {
            m_portSelection = static_cast<int>(i);
            break;
        }
    }
    return m_portSelection;
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

bool CMidiPortModel::Open(MidiOutHandle& hMidiOut, CMidiEvent& done, std::string& errorMessage)
{
    hMidiOut = nullptr;
    const int rc = m_service.Open(&hMidiOut, GetSelectedDeviceId(), &done);
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
