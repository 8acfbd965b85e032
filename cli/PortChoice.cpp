#include "PortChoice.h"

#include "TextOutput.h"

namespace {

std::string PortList(const std::vector<CCliPort>& ports)
{
    if (ports.empty())
        return ": no hardware MIDI port is connected";
    std::string list = "; the ports are:";
    for (size_t i = 0; i < ports.size(); ++i)
        list += (i == 0 ? " \"" : ", \"") + FieldText(ports[i].name, false) + "\"";
    return list;
}

}  // namespace

bool ChoosePort(const std::vector<CCliPort>& ports, bool portGiven, const std::string& requested,
                const CStoredPort& stored, CCliPort& chosen, std::string& error)
{
    if (portGiven) {
        const int index = FindPortByName(ports, requested);
        if (index >= 0) {
            chosen = ports[static_cast<size_t>(index)];
            return true;
        }
        error = "There is no MIDI port named \"" + ShownArgument(requested) + "\"" + PortList(ports);
        return false;
    }
    if (ports.empty()) {
        error = "No hardware MIDI port is connected";
        return false;
    }
    int index = -1;
    switch (FindStoredPort(ports, stored.name, stored.address, index)) {
    case StoredPortMatch::Found:
        chosen = ports[static_cast<size_t>(index)];
        return true;
    case StoredPortMatch::TwinConnected:
        error = "The MIDI port \"" + ShownArgument(stored.name) +
                "\" chosen in the Veltrix window is not connected, and a port of "
                "the same name may lead to another synthesizer; choose one with --port" + PortList(ports);
        return false;
    case StoredPortMatch::NothingStored:
    case StoredPortMatch::NotConnected:
        break;
    }
    chosen = ports.front();
    return true;
}
