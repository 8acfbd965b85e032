#pragma once
#include "MidiOutService.h"

#include <string>
#include <vector>

// The MIDI output service on the ALSA sequencer.
//
// Devices are the sequencer ports that another client may write to (WRITE and
// SUBS_WRITE, not NO_EXPORT), ordered by client and port number; a device id is the
// index in that whole list. A port whose type has the HARDWARE bit (sound-card and USB
// MIDI ports) is a hardware port. Opening creates a sequencer client "Veltrix" with
// one output port connected to the chosen port. A long message goes out as one direct
// SysEx event; the call returns once the output has been drained and synchronised, so
// the bytes have reached the port's driver, and sets the completion event then (also
// when the message was refused, so that a caller's wait ends at once).
//
// Without a sequencer (no /dev/snd/seq) the list is empty and Open fails with a clear
// text. ALSA's own diagnostics on stderr are silenced: failures come back as codes.
class CAlsaMidiOutService : public IMidiOutService
{
public:
    // Error codes of our own; negative codes are ALSA's (-errno).
    enum : int {
        ERR_NO_SEQUENCER = 1,      // /dev/snd/seq is missing
        ERR_BAD_DEVICE_ID = 2,     // no device has this id (also -1: there is no mapper)
        ERR_NOT_OPEN = 3,          // null handle
        ERR_BAD_MESSAGE = 4,       // empty message
    };

    CAlsaMidiOutService();

    unsigned int GetNumDevs() override;
    bool GetDevCaps(unsigned int deviceId, CMidiOutCaps& caps) override;
    int Open(MidiOutHandle* handle, int deviceId, CMidiEvent* completion) override;
    int LongMsg(MidiOutHandle handle, const unsigned char* data, unsigned int length) override;
    void Reset(MidiOutHandle handle) override;
    void Close(MidiOutHandle handle) override;
    std::string GetErrorText(int code) override;

private:
    struct PortInfo {
        int client;
        int port;
        std::string name;
        bool hardware;
        bool readable;
    };
    // Lists the writable ports now; returns 0 or an error code.
    static int ListPorts(std::vector<PortInfo>& ports);
};
