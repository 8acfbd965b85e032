#pragma once
#include "PortChoice.h"
#include "MidiEvent.h"
#include "MidiInService.h"
#include "MidiOutService.h"

#include <string>

// The chosen port opened for one command: its output, and its input when the command
// listens for the synthesizer's answer. Both are closed when the connection goes.
class CMidiConnection
{
public:
    CMidiConnection(IMidiOutService& out, IMidiInService& in) : m_out(out), m_in(in) {}
    ~CMidiConnection();
    CMidiConnection(const CMidiConnection&) = delete;
    CMidiConnection& operator=(const CMidiConnection&) = delete;

    // Opens the port's output and, with `withInput`, its input. False with the window's
    // "Error: Failed to open the specified MIDI port. ..." text when either fails.
    bool Open(const CCliPort& port, bool withInput, std::string& error);

    MidiOutHandle Out() const { return m_hOut; }
    MidiInHandle In() const { return m_hIn; }
    CMidiEvent& Done() { return m_done; }

private:
    IMidiOutService& m_out;
    IMidiInService& m_in;
    CMidiEvent m_done;
    MidiOutHandle m_hOut = nullptr;
    MidiInHandle m_hIn = nullptr;
};
