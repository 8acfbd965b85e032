#pragma once
#include "MidiOutService.h"

#include <string>
#include <vector>

// One hardware MIDI port as the user sees it. `name` is what the port list shows and what
// --port takes: the product name, or, for the second and later of ports that share a product
// name (two interfaces of one model), the product name with " #2", " #3"... in address
// order, so that each can be told apart and chosen. The device id is the index among all of
// the service's devices (it moves as ports come and go); the address ("client:port" for
// ALSA) and the product name are what find the same port again while it stays connected.
struct CMidiPortItem
{
    std::string name;
    int deviceId = -1;
    std::string address;
    std::string productName;
    bool canRead = false;
};

// The hardware MIDI ports in device order (the count is asked again before every pass;
// devices whose capabilities can't be read are left out), named as described above.
std::vector<CMidiPortItem> ListMidiPorts(IMidiOutService& service);

// Whole names compared, ignoring letter case.
bool SamePortName(const std::string& a, const std::string& b);

// The index of the port the user names (as the list shows it), or -1.
int FindPortByName(const std::vector<CMidiPortItem>& ports, const std::string& name);

// The index of the port with this address and product name: the same port, whatever its
// number suffix and device id are now. -1 when it is gone.
int FindSamePort(const std::vector<CMidiPortItem>& ports, const std::string& address,
                 const std::string& productName);

// How a stored port (its listed name and address, as the window keeps them) is found again.
enum class StoredPortMatch { Found, NothingStored, NotConnected, TwinConnected };

// Finds the stored port: the port of that name at that address; else the port at that address
// whose product name is the stored name without its number (the same port, renumbered because
// its twin went away); else the port of that name elsewhere (its address changed, as after a
// restart of the computer). `index` is -1 unless Found. TwinConnected: the stored port is not
// connected but another port of its product name is, which may well be a different
// synthesizer: it must not be taken in its place.
StoredPortMatch FindStoredPort(const std::vector<CMidiPortItem>& ports, const std::string& name,
                               const std::string& address, int& index);
