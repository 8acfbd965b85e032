#pragma once
#include "MidiInService.h"

#include <vector>

// The longest a blocking MIDI operation sleeps before it looks at its cancel flag again.
constexpr int MIDI_CANCEL_POLL_MS = 100;

// Reads and drops what arrived before a request, so that it cannot pass for the answer.
// Errors are dropped with it: a backend may report input lost while nobody read (ALSA
// then empties its queue), which says nothing about what comes next.
void DropPendingInput(IMidiInService& in, MidiInHandle hIn);

// Waits until one of `fds` is readable or `timeoutMs` has passed (a plain sleep when there
// are no descriptors).
void WaitForInput(std::vector<pollfd>& fds, int timeoutMs);
