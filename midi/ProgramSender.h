#pragma once
#include "MidiOutService.h"

#include <string>

class CMidiEvent;

// How long a send waits for the device to finish with the message before resetting it.
constexpr unsigned int MIDI_SEND_TIMEOUT_MS = 30000;
// The fixed buffer a program message is built in; a program of up to 890 data bytes fits.
constexpr unsigned int MIDI_MESSAGE_BUFFER_SIZE = 1024;
// The channel used when the channel list has no selection (-1).
constexpr int MIDI_DEFAULT_CHANNEL = 0;

// One current-program SysEx message, built in place without allocation.
struct CProgramMessage
{
    unsigned char bytes[MIDI_MESSAGE_BUFFER_SIZE];
    unsigned int length = 0;   // valid bytes, F0 to F7; 0 when nothing was built
};

// Builds the current-program dump of `length` data bytes on `channel` (0-15; -1, or
// anything else outside that range, means MIDI_DEFAULT_CHANNEL). Returns false, with
// message.length 0, when the program does not fit the buffer.
bool BuildProgramMessage(const unsigned char* data, unsigned int length, int channel, CProgramMessage& message);

// Sends a built message through the open device hMidiOut: prepare, reset `done`, long
// message, wait for `done` at most timeoutMs (resetting the device when the wait runs
// out; the wait is made even when the device refused the message), unprepare.
// Returns true when the device took the message. When it refused, returns false with
// errorMessage = "Error: Failed to send Midi SysEx message to MS2K. " + the service's
// text, for the caller to show with a stop icon. A null hMidiOut (MIDI off) sends
// nothing and returns false with errorMessage empty: there is nothing to tell.
bool SendProgramMessage(IMidiOutService& service, MidiOutHandle hMidiOut, CMidiEvent& done,
                        const CProgramMessage& message, std::string& errorMessage,
                        unsigned int timeoutMs = MIDI_SEND_TIMEOUT_MS);

// "Error: Failed to send Midi SysEx message to MS2K. " followed by the service's text.
std::string FormatSendError(const std::string& serviceText);
