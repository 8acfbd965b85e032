#include "ReceiveDump.h"

#include "MidiInWait.h"
#include "MidiTexts.h"
#include "ProgramSender.h"

#include <algorithm>

CReceiveResult ReceiveDump(IMidiOutService& out, MidiOutHandle hOut, IMidiInService& in, MidiInHandle hIn,
                           DumpKind kind, int channel, std::function<void(std::size_t, std::size_t)> progress,
                           const std::atomic<bool>* cancel, CReceiveTimeouts timeouts)
{
    using Clock = CDumpReceiver::Clock;
    CDumpReceiver receiver(kind, channel, timeouts);
    if (hOut == nullptr || hIn == nullptr) {
        receiver.Fail("The MIDI port is not open.");
        return receiver.TakeResult();
    }

    DropPendingInput(in, hIn);

    // Six bytes: the outputs are done with them when LongMsg returns (ALSA once they have
    // crossed the wire), so there is no completion to wait for.
    const std::vector<unsigned char> request = BuildDumpRequest(kind, channel);
    const auto length = static_cast<unsigned int>(request.size());
    out.Prepare(hOut, request.data(), length);
    int rc = out.LongMsg(hOut, request.data(), length);
    out.Unprepare(hOut, request.data(), length);
    if (rc != 0) {
        receiver.Fail(FormatSendError(out.GetErrorText(rc)));
        return receiver.TakeResult();
    }
    receiver.Start(Clock::now());

    std::vector<pollfd> fds = in.GetPollDescriptors(hIn);
    std::vector<unsigned char> bytes;
    std::size_t reported = 0;
    while (!receiver.IsDone()) {
        if (cancel != nullptr && cancel->load()) {
            receiver.Cancel();
            break;
        }
        const long long remaining = receiver.GetRemainingMs(Clock::now());
        WaitForInput(fds, static_cast<int>(std::min<long long>(remaining, MIDI_CANCEL_POLL_MS)));
        bytes.clear();
        rc = in.ReadBytes(hIn, bytes);
        const Clock::time_point now = Clock::now();
        receiver.Feed(bytes.data(), bytes.size(), now);
        if (rc != 0)
            receiver.Fail(FormatReadError(in.GetErrorText(rc)));
        if (progress && receiver.GetReceived() != reported) {
            reported = receiver.GetReceived();
            progress(reported, receiver.GetExpected());
        }
        receiver.CheckTime(now);
    }
    return receiver.TakeResult();
}
