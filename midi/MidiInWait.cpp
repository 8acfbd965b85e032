#include "MidiInWait.h"

#include <chrono>
#include <thread>

void WaitForInput(std::vector<pollfd>& fds, int timeoutMs)
{
    if (timeoutMs <= 0)
        return;
    if (fds.empty()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return;
    }
    for (pollfd& fd : fds)
        fd.revents = 0;
    // An interrupted poll just ends this wait early; the caller loops.
    poll(fds.data(), static_cast<nfds_t>(fds.size()), timeoutMs);
}

void DropPendingInput(IMidiInService& in, MidiInHandle hIn)
{
    std::vector<unsigned char> stale;
    if (in.ReadBytes(hIn, stale) != 0)
        in.ReadBytes(hIn, stale);
}
