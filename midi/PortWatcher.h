#pragma once
#include <poll.h>

#include <vector>

// Follows the MIDI ports as they come and go (a USB interface plugged in or pulled out),
// so that a port list can be filled again while the program runs.
class IMidiPortWatcher
{
public:
    virtual ~IMidiPortWatcher() = default;
    // The descriptors that become readable when something changed (poll() or
    // QSocketNotifier); empty when the watcher could not start.
    virtual std::vector<pollfd> GetPollDescriptors() = 0;
    // Reads the pending news without waiting; true when ports came, went or changed.
    virtual bool ReadChanges() = 0;
};
