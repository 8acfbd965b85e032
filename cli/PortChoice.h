#pragma once
#include <string>
#include <vector>

class IMidiOutService;

// A hardware MIDI port as veltrix-cli lists it: the name the window's Midi Port list shows,
// the output device id, and whether the port can be read (a synthesizer's answers come in
// there).
struct CCliPort
{
    std::string name;
    int deviceId = -1;
    bool canRead = false;
};

// The hardware MIDI ports, in device order, as the window lists them.
std::vector<CCliPort> ListHardwarePorts(IMidiOutService& service);

// The port to use: the one named `requested` (ignoring letter case) when `portGiven`;
// otherwise the one named `stored` (the window's choice) when it is listed, else the first.
// False with a one-line `error` when there is no such port.
bool ChoosePort(const std::vector<CCliPort>& ports, bool portGiven, const std::string& requested,
                const std::string& stored, CCliPort& chosen, std::string& error);
