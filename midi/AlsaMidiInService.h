#pragma once
#include "MidiInService.h"
#include "MidiOutService.h"

class IMidiOutService;

// MIDI input on the ALSA sequencer. The device id is the output service's: its
// capabilities give the port's address and whether the port can be read (READ and
// SUBS_READ). Opening creates a sequencer client "Veltrix" with one input port (WRITE,
// SUBS_WRITE, hidden from other clients' lists) connected from the chosen port. ALSA
// hands a long SysEx message over in events of at most 256 bytes; ReadBytes joins them in
// order. Channel and system common events come back as their MIDI bytes, realtime events
// are dropped. The input also hears the System Announce port, so that it knows at once when
// its port goes away (ReadBytes then fails with ERR_PORT_GONE).
class CAlsaMidiInService : public IMidiInService
{
public:
    // Error codes of our own; negative codes are ALSA's (-errno).
    enum : int {
        ERR_NO_SEQUENCER = 1,      // /dev/snd/seq is missing
        ERR_BAD_DEVICE_ID = 2,     // the output service has no such device
        ERR_NOT_OPEN = 3,          // null handle
        ERR_NOT_READABLE = 4,      // the port only takes output
        ERR_BAD_ADDRESS = 5,       // the port's address cannot be found
        ERR_INPUT_LOST = 6,        // the input overflowed: bytes were lost
        ERR_PORT_GONE = 7,         // the port went away (unplugged)
    };

    explicit CAlsaMidiInService(IMidiOutService& out);

    int OpenIn(MidiInHandle* handle, int deviceId) override;
    int OpenInPort(MidiInHandle* handle, const std::string& address, const std::string& productName) override;
    void CloseIn(MidiInHandle handle) override;
    std::vector<pollfd> GetPollDescriptors(MidiInHandle handle) override;
    int ReadBytes(MidiInHandle handle, std::vector<unsigned char>& bytes) override;
    std::string GetErrorText(int code) override;

private:
    int OpenSource(MidiInHandle* handle, const CMidiOutCaps& caps);

    IMidiOutService& m_out;
};
