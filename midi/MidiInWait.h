#pragma once
#include "MidiInService.h"

#include <vector>

// The longest a blocking MIDI operation sleeps before it looks at its cancel flag again.
constexpr int MIDI_CANCEL_POLL_MS = 100;

// Waits until one of `fds` is readable or `timeoutMs` has passed (a plain sleep when there
// are no descriptors).
void WaitForInput(std::vector<pollfd>& fds, int timeoutMs);
