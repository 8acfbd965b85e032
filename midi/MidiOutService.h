#pragma once
#include <string>

class CMidiEvent;

// The output devices a MIDI service offers, one interface with a backend per platform.
// Device ids are 0 .. GetNumDevs() - 1. Calls return 0 or an error code that
// GetErrorText turns into a readable sentence.

// What a device is: only hardware MIDI ports (a sound card's or a USB interface's
// MIDI out) can reach a synthesizer; software synthesizers, through ports and other
// applications' ports are "other".
enum class MidiOutKind { HardwarePort, Other };

// Bytes of a product name: the whole of an ALSA port name (64 bytes with its end), so that two
// long names that differ late stay two names.
constexpr unsigned int MIDI_OUT_NAME_MAX = 63;
constexpr unsigned int MIDI_ERROR_TEXT_MAX = 98;      // characters of an error text

struct CMidiOutCaps
{
    std::string productName;   // at most MIDI_OUT_NAME_MAX characters
    MidiOutKind kind = MidiOutKind::Other;
    bool canRead = false;      // the port also offers input (ALSA: READ and SUBS_READ)
    std::string address;       // where the port is, "client:port" for ALSA
};

// An open device. Each backend derives its own device state from this; callers only
// hold the pointer, and a null handle means no device is open.
class CMidiOutDevice
{
public:
    virtual ~CMidiOutDevice() = default;
};
using MidiOutHandle = CMidiOutDevice*;

class IMidiOutService
{
public:
    virtual ~IMidiOutService() = default;

    virtual unsigned int GetNumDevs() = 0;
    // Fills `caps` and returns true, or returns false when the device can't be read.
    virtual bool GetDevCaps(unsigned int deviceId, CMidiOutCaps& caps) = 0;

    // Opens device `deviceId` and stores its handle in *handle (null on failure).
    // `completion` is set when the device has opened, when it closes, and each time
    // it has finished with a long message; it must outlive the open device.
    virtual int Open(MidiOutHandle* handle, int deviceId, CMidiEvent* completion) = 0;
    // Opens the port that was listed at `address` (CMidiOutCaps::address) under the product
    // name `productName`, as Open does. Device ids move when ports come or go between the
    // listing and the open; the address does not, so this opens the port the user saw, or
    // fails with the code of a port that is gone when nothing of that name is there now.
    virtual int OpenPort(MidiOutHandle* handle, const std::string& address, const std::string& productName,
                         CMidiEvent* completion) = 0;

    // Prepare and Unprepare bracket a long message; the buffer must stay alive and
    // untouched between them. Backends that need nothing of it keep these no-ops.
    virtual void Prepare(MidiOutHandle handle, const unsigned char* data, unsigned int length);
    // Sends SysEx bytes as they are: one whole message, or one piece of a longer one
    // (the first piece starts with F0, the last ends with F7). Returns 0 when the device
    // took them, else an error code; the completion event is set once the device has
    // finished with the buffer. A backend for a MIDI cable finishes only when the cable
    // can have carried the bytes, so a caller that waits loses none to a full buffer.
    virtual int LongMsg(MidiOutHandle handle, const unsigned char* data, unsigned int length) = 0;
    virtual void Unprepare(MidiOutHandle handle, const unsigned char* data, unsigned int length);

    // Ends pending output at once, hands the buffer back as finished (sets the
    // completion event) and turns off all notes on all 16 channels.
    virtual void Reset(MidiOutHandle handle) = 0;
    // Closes the device; the handle is invalid afterwards.
    virtual void Close(MidiOutHandle handle) = 0;

    // The readable text of an error code, at most MIDI_ERROR_TEXT_MAX characters.
    virtual std::string GetErrorText(int code) = 0;
};

// Cuts `text` to at most `maxBytes` bytes without splitting a UTF-8 character.
std::string LimitText(const std::string& text, unsigned int maxBytes);

// The device id of the listed port at `address` (client:port) whose name is `productName`,
// with its caps; -1 when no such port is listed now.
int FindListedPort(IMidiOutService& out, const std::string& address, const std::string& productName,
                   CMidiOutCaps& caps);
