#pragma once
#include "DumpReceiver.h"
#include "MidiInService.h"
#include "MidiOutService.h"

#include <atomic>
#include <cstddef>
#include <functional>

// Asks the synthesizer for a dump and waits for it (poll() on the input's descriptors):
// the input is emptied of anything stale, the request goes out on `channel` (0-15)
// through the open output hOut, and the answer is collected from the open input hIn of
// the same port by a CDumpReceiver (see there for what counts as the answer and what
// ends the wait). `progress(received, expected)` is called whenever bytes of the answer
// arrive (may be empty); `cancel` (may be null) is looked at least every 100 ms.
//
// Returns Received with the exact message only when the whole dump arrived and is valid;
// otherwise the status, a clear text for the user and no bytes. Blocks the calling thread
// for up to the timeouts' length (about 12 s for a bank at wire speed); run it on a
// worker thread where a window must stay responsive. Nothing else may use hOut or hIn
// while it runs.
CReceiveResult ReceiveDump(IMidiOutService& out, MidiOutHandle hOut, IMidiInService& in, MidiInHandle hIn,
                           DumpKind kind, int channel, std::function<void(std::size_t, std::size_t)> progress,
                           const std::atomic<bool>* cancel, CReceiveTimeouts timeouts = {});
