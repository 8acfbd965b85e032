#include "AlsaMidiInService.h"

#include "AlsaSequencer.h"
#include "MidiOutService.h"

#include <alsa/asoundlib.h>

#include <cerrno>

namespace {

constexpr char CLIENT_NAME[] = "Veltrix";
constexpr char PORT_NAME[] = "Veltrix MIDI in";
// Room in the kernel for the events that arrive between two reads: a bank comes as about
// 150 events of 256 bytes, each taking several cells.
constexpr int INPUT_POOL_CELLS = 2000;
constexpr size_t DECODER_SIZE = 32;  // the longest channel or system common message is 3 bytes

struct CAlsaMidiInDevice : CMidiInDevice
{
    snd_seq_t* seq = nullptr;
    snd_midi_event_t* decoder = nullptr;
    snd_seq_addr_t source{};
    snd_seq_addr_t own{};   // our input port
    bool gone = false;  // the source port went away: nothing more can come
};

// News from the System Announce port that the port we read from is gone: it exited, its
// client did (a USB interface pulled out), or our connection from it was broken.
bool SaysSourceIsGone(const CAlsaMidiInDevice& device, const snd_seq_event_t& ev)
{
    switch (ev.type) {
    case SND_SEQ_EVENT_PORT_EXIT:
        return ev.data.addr.client == device.source.client && ev.data.addr.port == device.source.port;
    case SND_SEQ_EVENT_CLIENT_EXIT:
        return ev.data.addr.client == device.source.client;
    case SND_SEQ_EVENT_PORT_UNSUBSCRIBED:
        return ev.data.connect.sender.client == device.source.client &&
               ev.data.connect.sender.port == device.source.port &&
               ev.data.connect.dest.client == device.own.client && ev.data.connect.dest.port == device.own.port;
    default:
        return false;
    }
}

// Clock, transport and active sensing: they may come between any two bytes and are
// never part of what a receiver reads.
bool IsRealtime(snd_seq_event_type_t type)
{
    switch (type) {
    case SND_SEQ_EVENT_CLOCK:
    case SND_SEQ_EVENT_TICK:
    case SND_SEQ_EVENT_START:
    case SND_SEQ_EVENT_CONTINUE:
    case SND_SEQ_EVENT_STOP:
    case SND_SEQ_EVENT_SENSING:
    case SND_SEQ_EVENT_RESET:
        return true;
    default:
        return false;
    }
}

}  // namespace

CAlsaMidiInService::CAlsaMidiInService(IMidiOutService& out) : m_out(out) {}

int CAlsaMidiInService::OpenIn(MidiInHandle* handle, int deviceId)
{
    if (handle == nullptr)
        return ERR_NOT_OPEN;
    *handle = nullptr;
    CMidiOutCaps caps;
    if (deviceId < 0 || !m_out.GetDevCaps(static_cast<unsigned int>(deviceId), caps))
        return ERR_BAD_DEVICE_ID;
    return OpenSource(handle, caps);
}

int CAlsaMidiInService::OpenInPort(MidiInHandle* handle, const std::string& address, const std::string& productName)
{
    if (handle == nullptr)
        return ERR_NOT_OPEN;
    *handle = nullptr;
    CMidiOutCaps caps;
    const int id = FindListedPort(m_out, address, productName, caps);
    return id < 0 ? ERR_PORT_GONE : OpenSource(handle, caps);
}

int CAlsaMidiInService::OpenSource(MidiInHandle* handle, const CMidiOutCaps& caps)
{
    if (!caps.canRead)
        return ERR_NOT_READABLE;

    snd_seq_t* seq = nullptr;
    int rc = OpenAlsaSequencer(&seq, SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK, ERR_NO_SEQUENCER);
    if (rc != 0)
        return rc;
    snd_seq_addr_t source;
    if (snd_seq_parse_address(seq, &source, caps.address.c_str()) < 0) {
        snd_seq_close(seq);
        return ERR_BAD_ADDRESS;
    }
    rc = snd_seq_set_client_name(seq, CLIENT_NAME);
    int port = -1;
    if (rc == 0) {
        // Hidden from other clients' lists (ours too): nobody else is meant to write here.
        port = snd_seq_create_simple_port(
            seq, PORT_NAME, SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
            SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        rc = port < 0 ? port : 0;
    }
    // The sequencer's news of ports, to know at once when the port is unplugged.
    if (rc == 0)
        rc = snd_seq_connect_from(seq, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE);
    if (rc == 0) {
        snd_seq_set_client_pool_input(seq, INPUT_POOL_CELLS);  // the default pool is kept if refused
        rc = snd_seq_connect_from(seq, port, source.client, source.port);
        if (rc == -EPERM)
            rc = ERR_NOT_READABLE;
        else if (rc == -EINVAL || rc == -ENOENT)
            rc = ERR_PORT_GONE;  // it went between the listing and now
    }
    snd_midi_event_t* decoder = nullptr;
    if (rc == 0)
        rc = snd_midi_event_new(DECODER_SIZE, &decoder);
    if (rc != 0) {
        snd_seq_close(seq);
        return rc;
    }
    snd_midi_event_no_status(decoder, 1);  // every message with its own status byte

    auto* device = new CAlsaMidiInDevice;
    device->seq = seq;
    device->decoder = decoder;
    device->source = source;
    device->own.client = static_cast<unsigned char>(snd_seq_client_id(seq));
    device->own.port = static_cast<unsigned char>(port);
    *handle = device;
    return 0;
}

void CAlsaMidiInService::CloseIn(MidiInHandle handle)
{
    auto* device = static_cast<CAlsaMidiInDevice*>(handle);
    if (device == nullptr)
        return;
    snd_midi_event_free(device->decoder);
    snd_seq_close(device->seq);  // also removes our port and its connection
    delete device;
}

std::vector<pollfd> CAlsaMidiInService::GetPollDescriptors(MidiInHandle handle)
{
    auto* device = static_cast<CAlsaMidiInDevice*>(handle);
    std::vector<pollfd> fds;
    if (device == nullptr)
        return fds;
    const int count = snd_seq_poll_descriptors_count(device->seq, POLLIN);
    if (count <= 0)
        return fds;
    fds.resize(static_cast<size_t>(count));
    const int filled = snd_seq_poll_descriptors(device->seq, fds.data(), static_cast<unsigned int>(count), POLLIN);
    fds.resize(static_cast<size_t>(filled > 0 ? filled : 0));
    return fds;
}

int CAlsaMidiInService::ReadBytes(MidiInHandle handle, std::vector<unsigned char>& bytes)
{
    auto* device = static_cast<CAlsaMidiInDevice*>(handle);
    if (device == nullptr)
        return ERR_NOT_OPEN;
    for (;;) {
        snd_seq_event_t* ev = nullptr;
        const int rc = snd_seq_event_input(device->seq, &ev);
        if (rc == -EAGAIN)
            return device->gone ? ERR_PORT_GONE : 0;
        if (rc == -ENOSPC)
            return ERR_INPUT_LOST;  // the kernel dropped events: what follows has a gap
        if (rc < 0)
            return rc;
        if (ev == nullptr)
            continue;
        if (ev->source.client == SND_SEQ_CLIENT_SYSTEM) {
            device->gone = device->gone || SaysSourceIsGone(*device, *ev);
        } else if (ev->type == SND_SEQ_EVENT_SYSEX) {
            // One piece of a SysEx message (at most 256 bytes); the pieces come in order.
            const auto* data = static_cast<const unsigned char*>(ev->data.ext.ptr);
            bytes.insert(bytes.end(), data, data + ev->data.ext.len);
        } else if (!IsRealtime(ev->type)) {
            unsigned char message[DECODER_SIZE];
            const long length = snd_midi_event_decode(device->decoder, message, sizeof message, ev);
            if (length > 0)  // events that are no MIDI message (port news...) give none
                bytes.insert(bytes.end(), message, message + length);
        }
    }
}

std::string CAlsaMidiInService::GetErrorText(int code)
{
    std::string text;
    switch (code) {
    case ERR_BAD_DEVICE_ID:
        text = "There is no MIDI port with this device id.";
        break;
    case ERR_NOT_OPEN:
        text = "The MIDI input is not open.";
        break;
    case ERR_NOT_READABLE:
        text = "This MIDI port only sends: nothing can be received through it.";
        break;
    case ERR_BAD_ADDRESS:
        text = "The MIDI port is no longer there.";
        break;
    case ERR_INPUT_LOST:
        text = "MIDI input was lost: it arrived faster than it was read.";
        break;
    case ERR_PORT_GONE:
        text = "The MIDI port is no longer there; it may have been unplugged.";
        break;
    default:
        text = AlsaErrorText(code, ERR_NO_SEQUENCER, "input");
        break;
    }
    return LimitText(text, MIDI_ERROR_TEXT_MAX);
}
