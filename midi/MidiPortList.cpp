#include "MidiPortList.h"

#include <strings.h>

namespace {

// "UM-ONE MIDI 1 #2" -> "UM-ONE MIDI 1"; a name without a number stays as it is.
std::string WithoutNumber(const std::string& name)
{
    const auto hash = name.rfind(" #");
    if (hash == std::string::npos || hash + 2 >= name.size())
        return name;
    for (size_t i = hash + 2; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9')
            return name;
    return name.substr(0, hash);
}

bool NameTaken(const std::vector<CMidiPortItem>& ports, const std::string& name)
{
    return FindPortByName(ports, name) >= 0;
}

bool IsSomeProductName(const std::vector<CMidiPortItem>& ports, const std::string& name)
{
    for (const CMidiPortItem& port : ports)
        if (SamePortName(port.productName, name))
            return true;
    return false;
}

}  // namespace

bool SamePortName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::vector<CMidiPortItem> ListMidiPorts(IMidiOutService& service)
{
    std::vector<CMidiPortItem> ports;
    for (unsigned int id = 0; id < service.GetNumDevs(); ++id) {
        CMidiOutCaps caps;
        if (!service.GetDevCaps(id, caps) || caps.kind != MidiOutKind::HardwarePort)
            continue;
        CMidiPortItem port;
        port.productName = LimitText(caps.productName, MIDI_OUT_NAME_MAX);
        port.deviceId = static_cast<int>(id);
        port.address = caps.address;
        port.canRead = caps.canRead;
        ports.push_back(port);
    }
    // Numbers go to the second and later of a product name, in list (address) order; a
    // name that another port carries as its own product name is skipped.
    std::vector<CMidiPortItem> named;
    for (CMidiPortItem& port : ports) {
        port.name = port.productName;
        for (int number = 2; NameTaken(named, port.name) || (number > 2 && IsSomeProductName(ports, port.name));
             ++number)
            port.name = port.productName + " #" + std::to_string(number);
        named.push_back(port);
    }
    return named;
}

int FindPortByName(const std::vector<CMidiPortItem>& ports, const std::string& name)
{
    for (size_t i = 0; i < ports.size(); ++i)
        if (SamePortName(ports[i].name, name))
            return static_cast<int>(i);
    return -1;
}

int FindSamePort(const std::vector<CMidiPortItem>& ports, const std::string& address,
                 const std::string& productName)
{
    if (address.empty())
        return -1;
    for (size_t i = 0; i < ports.size(); ++i)
        if (ports[i].address == address && SamePortName(ports[i].productName, productName))
            return static_cast<int>(i);
    return -1;
}

StoredPortMatch FindStoredPort(const std::vector<CMidiPortItem>& ports, const std::string& name,
                               const std::string& address, int& index)
{
    index = -1;
    if (name.empty())
        return StoredPortMatch::NothingStored;
    const int byName = FindPortByName(ports, name);
    if (byName >= 0 && (address.empty() || ports[static_cast<size_t>(byName)].address == address)) {
        index = byName;
        return StoredPortMatch::Found;
    }
    const std::string productName = WithoutNumber(name);
    index = FindSamePort(ports, address, productName);
    if (index < 0)
        index = byName;
    if (index >= 0)
        return StoredPortMatch::Found;
    for (const CMidiPortItem& port : ports)
        if (SamePortName(port.productName, productName))
            return StoredPortMatch::TwinConnected;
    return StoredPortMatch::NotConnected;
}
