#include "AlsaMidiOutService.h"

#include "MidiEvent.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <mutex>

namespace {

constexpr char CLIENT_NAME[] = "Veltrix";
constexpr char PORT_NAME[] = "Veltrix MIDI out";
constexpr unsigned int WRITABLE = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
constexpr unsigned int READABLE = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
// Room in the client's output buffer for one event carrying the largest program message.
constexpr size_t MIN_OUTPUT_BUFFER = sizeof(snd_seq_event_t) + 4096;
constexpr unsigned char CONTROL_ALL_NOTES_OFF = 123;
constexpr int CHANNELS = 16;

struct CAlsaMidiOutDevice : CMidiOutDevice
{
    snd_seq_t* seq = nullptr;
    int port = -1;
    CMidiEvent* completion = nullptr;
};

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
    const int rc = snd_seq_open(seq, "default", SND_SEQ_OPEN_OUTPUT, 0);
    if (rc == -ENOENT)
        return CAlsaMidiOutService::ERR_NO_SEQUENCER;
    return rc;
}

void Signal(CMidiEvent* completion)
{
    if (completion != nullptr)
        completion->Set();
}

}  // namespace

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
                             (snd_seq_port_info_get_type(port) & SND_SEQ_PORT_TYPE_HARDWARE) != 0,
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
    caps.address = std::to_string(ports[deviceId].client) + ":" + std::to_string(ports[deviceId].port);
    return true;
}

int CAlsaMidiOutService::Open(MidiOutHandle* handle, int deviceId, CMidiEvent* completion)
{
    if (handle == nullptr)
        return ERR_NOT_OPEN;
    *handle = nullptr;

    std::vector<PortInfo> ports;
    int rc = ListPorts(ports);
    if (rc != 0)
        return rc;
    if (deviceId < 0 || static_cast<size_t>(deviceId) >= ports.size())
        return ERR_BAD_DEVICE_ID;
    const PortInfo& target = ports[static_cast<size_t>(deviceId)];

    snd_seq_t* seq = nullptr;
    rc = OpenSequencer(&seq);
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
    int rc = ERR_BAD_MESSAGE;
    if (data != nullptr && length > 0) {
        snd_seq_event_t ev;
        snd_seq_ev_clear(&ev);
        snd_seq_ev_set_source(&ev, device->port);
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        // ALSA only reads the bytes; its setter just isn't const-correct.
        snd_seq_ev_set_sysex(&ev, length, const_cast<unsigned char*>(data));
        rc = snd_seq_event_output(device->seq, &ev);
        if (rc >= 0)
            rc = snd_seq_drain_output(device->seq);
        // Waits until the kernel has handed the event on to the port's driver.
        if (rc >= 0)
            rc = snd_seq_sync_output_queue(device->seq);
        if (rc > 0)
            rc = 0;
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
        snd_seq_ev_clear(&ev);
        snd_seq_ev_set_source(&ev, device->port);
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        snd_seq_ev_set_controller(&ev, channel, CONTROL_ALL_NOTES_OFF, 0);
        snd_seq_event_output(device->seq, &ev);
    }
    snd_seq_drain_output(device->seq);
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
    case 0:
        text = "The MIDI operation succeeded.";
        break;
    case ERR_NO_SEQUENCER:
        text = "No ALSA sequencer is available on this computer (/dev/snd/seq is missing).";
        break;
    case ERR_BAD_DEVICE_ID:
        text = "There is no MIDI output port with this device id.";
        break;
    case ERR_NOT_OPEN:
        text = "The MIDI output port is not open.";
        break;
    case ERR_BAD_MESSAGE:
        text = "The MIDI message is empty.";
        break;
    default:
        if (code < 0)
            text = std::string("The ALSA sequencer reported: ") + snd_strerror(code) + ".";
        else
            text = "Unknown MIDI output error " + std::to_string(code) + ".";
        break;
    }
    return LimitText(text, MIDI_ERROR_TEXT_MAX);
}
