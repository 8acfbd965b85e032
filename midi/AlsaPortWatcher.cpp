#include "AlsaPortWatcher.h"

#include <alsa/asoundlib.h>

#include <cerrno>

namespace {

constexpr char CLIENT_NAME[] = "Veltrix";
constexpr char PORT_NAME[] = "Veltrix port watch";

// Only news of ports counts. A client's start and exit are left out: listing the ports
// opens and closes a client of its own each time, so a port list filled again on client
// news would feed itself without end. A client that goes away (a USB interface pulled
// out) takes its ports with it, and the sequencer announces each of them as it goes.
bool IsPortNews(snd_seq_event_type_t type)
{
    switch (type) {
    case SND_SEQ_EVENT_PORT_START:
    case SND_SEQ_EVENT_PORT_EXIT:
    case SND_SEQ_EVENT_PORT_CHANGE:
        return true;
    default:
        return false;  // clients, and connections made or broken, change no port
    }
}

}  // namespace

CAlsaPortWatcher::CAlsaPortWatcher()
{
    int rc = snd_seq_open(&m_seq, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK);
    int port = -1;
    if (rc >= 0)
        rc = snd_seq_set_client_name(m_seq, CLIENT_NAME);
    if (rc >= 0) {
        port = snd_seq_create_simple_port(
            m_seq, PORT_NAME, SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE | SND_SEQ_PORT_CAP_NO_EXPORT,
            SND_SEQ_PORT_TYPE_APPLICATION);
        rc = port < 0 ? port : 0;
    }
    if (rc >= 0)
        rc = snd_seq_connect_from(m_seq, port, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE);
    if (rc < 0) {
        if (m_seq != nullptr)
            snd_seq_close(m_seq);
        m_seq = nullptr;
        m_startError = rc;
    }
}

CAlsaPortWatcher::~CAlsaPortWatcher()
{
    if (m_seq != nullptr)
        snd_seq_close(m_seq);
}

std::vector<pollfd> CAlsaPortWatcher::GetPollDescriptors()
{
    std::vector<pollfd> fds;
    if (m_seq == nullptr)
        return fds;
    const int count = snd_seq_poll_descriptors_count(m_seq, POLLIN);
    if (count <= 0)
        return fds;
    fds.resize(static_cast<size_t>(count));
    const int filled = snd_seq_poll_descriptors(m_seq, fds.data(), static_cast<unsigned int>(count), POLLIN);
    fds.resize(static_cast<size_t>(filled > 0 ? filled : 0));
    return fds;
}

bool CAlsaPortWatcher::ReadChanges()
{
    if (m_seq == nullptr)
        return false;
    bool changed = false;
    for (;;) {
        snd_seq_event_t* ev = nullptr;
        const int rc = snd_seq_event_input(m_seq, &ev);
        if (rc == -ENOSPC) {
            changed = true;  // news was lost: something may have changed
            continue;
        }
        if (rc < 0)
            return changed;
        if (ev != nullptr && IsPortNews(ev->type))
            changed = true;
    }
}
