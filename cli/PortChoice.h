#pragma once
#include "MidiPortList.h"
#include "WindowSettings.h"

#include <string>
#include <vector>

class IMidiOutService;

// A hardware MIDI port as veltrix-cli lists it: the name the window's Midi Port list shows
// (ports of one name told apart by " #2"...), where it is, and whether it can be read (a
// synthesizer's answers come in there).
using CCliPort = CMidiPortItem;

// The port to use: the one named `requested` (as `ports` names it, whole, ignoring letter
// case) when `portGiven`; otherwise the window's stored port when it is connected, else the
// first. When the stored port is missing but a port of its product name is connected, that
// port may be another synthesizer of the same model: nothing is chosen. False with a
// one-line `error` (naming the ports there are) when there is no such port.
bool ChoosePort(const std::vector<CCliPort>& ports, bool portGiven, const std::string& requested,
                const CStoredPort& stored, CCliPort& chosen, std::string& error);
