#pragma once
#include "MidiOutService.h"

#include <string>
#include <vector>

// The MIDI output service on the ALSA sequencer.
//
// Devices are the sequencer ports that another client may write to (WRITE and
// SUBS_WRITE, not NO_EXPORT), ordered by client and port number; a device id is the
// index in that whole list, so ids move when ports come or go. IsHardwareMidiPortType
// tells the hardware ports (sound-card and USB MIDI ports) from the rest. Opening
// creates a sequencer client "Veltrix" with one output port connected to the chosen
// port; every event is addressed to that port itself, so a port that has gone away
// makes each later send fail (ERR_PORT_GONE) rather than reach nobody.
//
// A long message goes out as direct SysEx events of at most 256 bytes, its bytes
// unchanged (a piece of a longer SysEx is fine). The call returns, and sets the
// completion event, only once the cable behind the port can have carried the message
// and everything sent before it at MIDI speed (CWireClock), so no byte reported sent
// can be lost in a full buffer; a program message takes about 95 ms. A refused message
// is dropped from the output and the event is set at once. Messages sent on one device from
// two threads go out one after the other, each whole.
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
        ERR_PORT_GONE = 5,         // the open port is no longer there (unplugged)
    };

    CAlsaMidiOutService();

    unsigned int GetNumDevs() override;
    bool GetDevCaps(unsigned int deviceId, CMidiOutCaps& caps) override;
    int Open(MidiOutHandle* handle, int deviceId, CMidiEvent* completion) override;
    int OpenPort(MidiOutHandle* handle, const std::string& address, const std::string& productName,
                 CMidiEvent* completion) override;
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
    static std::string AddressOf(const PortInfo& port);
    int OpenTarget(MidiOutHandle* handle, const PortInfo& target, CMidiEvent* completion);
};

// True for a sequencer port type (SND_SEQ_PORT_TYPE_... bits) of a hardware MIDI port:
// HARDWARE with MIDI_GENERIC or PORT. On-card synthesizers (FM, wavetable, sample players)
// are HARDWARE too, but carry a synthesizer bit and are never hardware ports.
bool IsHardwareMidiPortType(unsigned int type);
