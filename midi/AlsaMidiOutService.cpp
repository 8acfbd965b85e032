#include "AlsaMidiOutService.h"

#include "AlsaSequencer.h"
#include "MidiEvent.h"
#include "WireClock.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <thread>

namespace {

constexpr char CLIENT_NAME[] = "Veltrix";
constexpr char PORT_NAME[] = "Veltrix MIDI out";
constexpr unsigned int WRITABLE = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
constexpr unsigned int READABLE = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
// A long message goes out in SysEx events of at most this many bytes, as ALSA itself
// delivers SysEx, so a port's driver never gets more at once than its buffer holds.
constexpr unsigned int SYSEX_EVENT_BYTES = 256;
// Room in the client's output buffer for one event with its bytes, and to spare.
constexpr size_t MIN_OUTPUT_BUFFER = sizeof(snd_seq_event_t) + 4096;
constexpr unsigned char CONTROL_ALL_NOTES_OFF = 123;
constexpr unsigned int CONTROL_CHANGE_BYTES = 3;
constexpr int CHANNELS = 16;

struct CAlsaMidiOutDevice : CMidiOutDevice
{
    snd_seq_t* seq = nullptr;
    int port = -1;
    int targetClient = -1;
    int targetPort = -1;
    CMidiEvent* completion = nullptr;
    CWireClock wire;
    // Two threads may send on one device (the window's auditions, an editor's live
    // changes): each message goes out whole, and the wire clock sees them one at a time.
    std::mutex sending;
};

// An event from our port straight to the chosen port, not to our port's subscribers: when
// that port goes away, sending to it fails instead of reaching nobody.
void AddressEvent(const CAlsaMidiOutDevice& device, snd_seq_event_t& ev)
{
    snd_seq_ev_clear(&ev);
    snd_seq_ev_set_source(&ev, device.port);
    snd_seq_ev_set_dest(&ev, device.targetClient, device.targetPort);
    snd_seq_ev_set_direct(&ev);
}

// Hands one SysEx event to the sequencer and waits until the kernel has passed it to the
// port's driver. Returns 0 or a negative ALSA code.
int OutputSysex(CAlsaMidiOutDevice& device, const unsigned char* data, unsigned int length)
{
    snd_seq_event_t ev;
    AddressEvent(device, ev);
    // ALSA only reads the bytes; its setter just isn't const-correct.
    snd_seq_ev_set_sysex(&ev, length, const_cast<unsigned char*>(data));
    int rc = snd_seq_event_output(device.seq, &ev);
    if (rc >= 0)
        rc = snd_seq_drain_output(device.seq);
    if (rc >= 0)
        rc = snd_seq_sync_output_queue(device.seq);
    return rc > 0 ? 0 : rc;
}

// ALSA writes its own diagnostics to stderr (for example when /dev/snd/seq is
// missing); every failure also comes back to us as a code, so they are dropped.
void SilentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(SilentAlsaErrors); });
}

int OpenSequencer(snd_seq_t** seq)
{
    return OpenAlsaSequencer(seq, SND_SEQ_OPEN_OUTPUT, 0, CAlsaMidiOutService::ERR_NO_SEQUENCER);
}

void Signal(CMidiEvent* completion)
{
    if (completion != nullptr)
        completion->Set();
}

}  // namespace

bool IsHardwareMidiPortType(unsigned int type)
{
    const unsigned int synthesizer = SND_SEQ_PORT_TYPE_SYNTH | SND_SEQ_PORT_TYPE_DIRECT_SAMPLE
                                     | SND_SEQ_PORT_TYPE_SAMPLE | SND_SEQ_PORT_TYPE_SYNTHESIZER;
    return (type & SND_SEQ_PORT_TYPE_HARDWARE) != 0 && (type & synthesizer) == 0
           && (type & (SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_PORT)) != 0;
}

CAlsaMidiOutService::CAlsaMidiOutService()
{
    SilenceAlsa();
}

int CAlsaMidiOutService::ListPorts(std::vector<PortInfo>& ports)
{
    ports.clear();
    snd_seq_t* seq = nullptr;
    const int rc = OpenSequencer(&seq);
    if (rc != 0)
        return rc;

    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    // Clients and their ports come in ascending number order, which keeps device ids
    // stable while the set of ports does not change.
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        snd_seq_port_info_set_client(port, snd_seq_client_info_get_client(client));
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            const unsigned int caps = snd_seq_port_info_get_capability(port);
            if ((caps & WRITABLE) != WRITABLE || (caps & SND_SEQ_PORT_CAP_NO_EXPORT) != 0)
                continue;
            ports.push_back({snd_seq_port_info_get_client(port), snd_seq_port_info_get_port(port),
                             snd_seq_port_info_get_name(port),
                             IsHardwareMidiPortType(snd_seq_port_info_get_type(port)),
                             (caps & READABLE) == READABLE});
        }
    }
    snd_seq_close(seq);
    return 0;
}

unsigned int CAlsaMidiOutService::GetNumDevs()
{
    std::vector<PortInfo> ports;
    ListPorts(ports);
    return static_cast<unsigned int>(ports.size());
}

bool CAlsaMidiOutService::GetDevCaps(unsigned int deviceId, CMidiOutCaps& caps)
{
    std::vector<PortInfo> ports;
    if (ListPorts(ports) != 0 || deviceId >= ports.size())
        return false;
    caps.productName = LimitText(ports[deviceId].name, MIDI_OUT_NAME_MAX);
    caps.kind = ports[deviceId].hardware ? MidiOutKind::HardwarePort : MidiOutKind::Other;
    caps.canRead = ports[deviceId].readable;
    caps.address = AddressOf(ports[deviceId]);
    return true;
}

int CAlsaMidiOutService::Open(MidiOutHandle* handle, int deviceId, CMidiEvent* completion)
{
    if (handle == nullptr)
        return ERR_NOT_OPEN;
    *handle = nullptr;

    std::vector<PortInfo> ports;
    const int rc = ListPorts(ports);
    if (rc != 0)
        return rc;
    if (deviceId < 0 || static_cast<size_t>(deviceId) >= ports.size())
        return ERR_BAD_DEVICE_ID;
    return OpenTarget(handle, ports[static_cast<size_t>(deviceId)], completion);
}

int CAlsaMidiOutService::OpenPort(MidiOutHandle* handle, const std::string& address, const std::string& productName,
                                  CMidiEvent* completion)
{
    if (handle == nullptr)
        return ERR_NOT_OPEN;
    *handle = nullptr;

    std::vector<PortInfo> ports;
    const int rc = ListPorts(ports);
    if (rc != 0)
        return rc;
    for (const PortInfo& port : ports) {
        // Another device may have been given the address meanwhile: the name must fit too.
        if (AddressOf(port) == address && LimitText(port.name, MIDI_OUT_NAME_MAX) == productName)
            return OpenTarget(handle, port, completion);
    }
    return ERR_PORT_GONE;
}

std::string CAlsaMidiOutService::AddressOf(const PortInfo& port)
{
    return std::to_string(port.client) + ":" + std::to_string(port.port);
}

int CAlsaMidiOutService::OpenTarget(MidiOutHandle* handle, const PortInfo& target, CMidiEvent* completion)
{
    snd_seq_t* seq = nullptr;
    int rc = OpenSequencer(&seq);
    if (rc != 0)
        return rc;
    int port = -1;
    rc = snd_seq_set_client_name(seq, CLIENT_NAME);
    if (rc >= 0) {
        port = snd_seq_create_simple_port(seq, PORT_NAME, SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                          SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        rc = port < 0 ? port : 0;
    }
    if (rc >= 0 && snd_seq_get_output_buffer_size(seq) < MIN_OUTPUT_BUFFER)
        rc = snd_seq_set_output_buffer_size(seq, MIN_OUTPUT_BUFFER);
    if (rc >= 0)
        rc = snd_seq_connect_to(seq, port, target.client, target.port);
    if (rc < 0) {
        snd_seq_close(seq);
        return rc;
    }

    auto* device = new CAlsaMidiOutDevice;
    device->seq = seq;
    device->port = port;
    device->targetClient = target.client;
    device->targetPort = target.port;
    device->completion = completion;
    *handle = device;
    Signal(completion);
    return 0;
}

int CAlsaMidiOutService::LongMsg(MidiOutHandle handle, const unsigned char* data, unsigned int length)
{
    auto* device = static_cast<CAlsaMidiOutDevice*>(handle);
    if (device == nullptr)
        return ERR_NOT_OPEN;
    std::lock_guard<std::mutex> whole(device->sending);
    int rc = data != nullptr && length > 0 ? 0 : ERR_BAD_MESSAGE;
    for (unsigned int sent = 0; rc == 0 && sent < length;) {
        const unsigned int piece = std::min(SYSEX_EVENT_BYTES, length - sent);
        rc = OutputSysex(*device, data + sent, piece);
        if (rc < 0) {
            // Nothing of a failed send may go out ahead of the next message.
            snd_seq_drop_output(device->seq);
            if (rc == -ENOENT)
                rc = ERR_PORT_GONE;
            break;
        }
        // The driver has the bytes, but the cable takes 320 µs for each: only once they are
        // across can nothing that follows push them out of a full buffer.
        std::this_thread::sleep_until(device->wire.Carry(piece));
        sent += piece;
    }
    Signal(device->completion);
    return rc;
}

void CAlsaMidiOutService::Reset(MidiOutHandle handle)
{
    auto* device = static_cast<CAlsaMidiOutDevice*>(handle);
    if (device == nullptr)
        return;
    snd_seq_drop_output(device->seq);
    // The port may be stuck (that is why we reset): never block on it here.
    snd_seq_nonblock(device->seq, 1);
    for (int channel = 0; channel < CHANNELS; ++channel) {
        snd_seq_event_t ev;
        AddressEvent(*device, ev);
        snd_seq_ev_set_controller(&ev, channel, CONTROL_ALL_NOTES_OFF, 0);
        snd_seq_event_output(device->seq, &ev);
    }
    if (snd_seq_drain_output(device->seq) < 0)
        snd_seq_drop_output(device->seq);
    // The next send waits for these bytes too.
    device->wire.Carry(CHANNELS * CONTROL_CHANGE_BYTES);
    snd_seq_nonblock(device->seq, 0);
    Signal(device->completion);
}

void CAlsaMidiOutService::Close(MidiOutHandle handle)
{
    auto* device = static_cast<CAlsaMidiOutDevice*>(handle);
    if (device == nullptr)
        return;
    snd_seq_close(device->seq);  // also removes our port and its connection
    Signal(device->completion);
    delete device;
}

std::string CAlsaMidiOutService::GetErrorText(int code)
{
    std::string text;
    switch (code) {
    case ERR_BAD_DEVICE_ID:
        text = "There is no MIDI output port with this device id.";
        break;
    case ERR_NOT_OPEN:
        text = "The MIDI output port is not open.";
        break;
    case ERR_BAD_MESSAGE:
        text = "The MIDI message is empty.";
        break;
    case ERR_PORT_GONE:
        text = "The MIDI port is no longer there; it may have been unplugged.";
        break;
    default:
        text = AlsaErrorText(code, ERR_NO_SEQUENCER, "output");
        break;
    }
    return LimitText(text, MIDI_ERROR_TEXT_MAX);
}
