#pragma once
#include <poll.h>

#include <string>
#include <vector>

// MIDI input from the same ports the output service lists: a hardware MIDI port is read
// and written through one device id. One interface with a backend per platform; calls
// return 0 or an error code that GetErrorText turns into a readable sentence.

// An open input. Each backend derives its own state from this; callers only hold the
// pointer, and a null handle means no input is open.
class CMidiInDevice
{
public:
    virtual ~CMidiInDevice() = default;
};
using MidiInHandle = CMidiInDevice*;

class IMidiInService
{
public:
    virtual ~IMidiInService() = default;

    // Opens input from the port of OUTPUT device `deviceId` (its index among the output
    // service's devices, the same hardware port) and stores the handle in *handle (null
    // on failure). Fails with a code when that port cannot be read.
    virtual int OpenIn(MidiInHandle* handle, int deviceId) = 0;
    // The same for the port listed at `address` under `productName` (see
    // IMidiOutService::OpenPort): fails when that port is gone.
    virtual int OpenInPort(MidiInHandle* handle, const std::string& address, const std::string& productName) = 0;
    // Closes the input; the handle is invalid afterwards. A null handle is ignored.
    virtual void CloseIn(MidiInHandle handle) = 0;

    // The descriptors to watch for arriving input (with poll() or QSocketNotifier);
    // `events` as in struct pollfd. Empty for a null handle.
    virtual std::vector<pollfd> GetPollDescriptors(MidiInHandle handle) = 0;
    // Appends every byte that has arrived, without waiting: the pieces of a SysEx message
    // joined in order, other channel and system messages as their raw bytes; realtime
    // bytes (clock, start, stop, active sensing...) are dropped. Returns 0 or an error code;
    // once the port has gone away (unplugged) every read fails with the code of a port that
    // is gone, so that a receive ends at once instead of waiting for silence.
    virtual int ReadBytes(MidiInHandle handle, std::vector<unsigned char>& bytes) = 0;

    // The readable text of an error code, at most MIDI_ERROR_TEXT_MAX characters.
    virtual std::string GetErrorText(int code) = 0;
};
