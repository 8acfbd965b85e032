#include "PortChoice.h"

#include "MidiOutService.h"

#include <strings.h>

namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

const CCliPort* FindPort(const std::vector<CCliPort>& ports, const std::string& name)
{
    for (const CCliPort& port : ports)
        if (EqualIgnoringCase(port.name, name))
            return &port;
    return nullptr;
}

}  // namespace

std::vector<CCliPort> ListHardwarePorts(IMidiOutService& service)
{
    // The same rule as the window's port list (CMidiPortModel::FillPorts), so that a name the
    // window stored is found here.
    std::vector<CCliPort> ports;
    for (unsigned int id = 0; id < service.GetNumDevs(); ++id) {
        CMidiOutCaps caps;
        if (!service.GetDevCaps(id, caps) || caps.kind != MidiOutKind::HardwarePort)
            continue;
        ports.push_back({LimitText(caps.productName, MIDI_OUT_NAME_MAX), static_cast<int>(id), caps.canRead});
    }
    return ports;
}

bool ChoosePort(const std::vector<CCliPort>& ports, bool portGiven, const std::string& requested,
                const std::string& stored, CCliPort& chosen, std::string& error)
{
    if (portGiven) {
        if (const CCliPort* port = FindPort(ports, requested)) {
            chosen = *port;
            return true;
        }
        error = "There is no MIDI port named \"" + requested + "\"";
        if (ports.empty()) {
            error += ": no hardware MIDI port is connected";
        } else {
            error += "; the ports are:";
            for (size_t i = 0; i < ports.size(); ++i)
                error += (i == 0 ? " \"" : ", \"") + ports[i].name + "\"";
        }
        return false;
    }
    if (ports.empty()) {
        error = "No hardware MIDI port is connected";
        return false;
    }
    const CCliPort* port = stored.empty() ? nullptr : FindPort(ports, stored);
    chosen = port != nullptr ? *port : ports.front();
    return true;
}
