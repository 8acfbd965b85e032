#include "SendBank.h"

#include "DumpRequest.h"
#include "MidiEvent.h"
#include "MidiInWait.h"
#include "MidiTexts.h"
#include "ProgramList.h"
#include "ProgramSender.h"
#include "SynthReplies.h"
#include "SyxFormat.h"
#include "WireClock.h"

#include <algorithm>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

bool IsCancelled(const std::atomic<bool>* cancel) { return cancel != nullptr && cancel->load(); }

// One piece through the send sequence: prepare, long message, wait for the output to be
// done with it (resetting it when it never is), unprepare.
int SendPiece(IMidiOutService& out, MidiOutHandle hOut, CMidiEvent& done, const unsigned char* data,
              unsigned int length)
{
    out.Prepare(hOut, data, length);
    done.Reset();
    const int rc = out.LongMsg(hOut, data, length);
    if (!done.Wait(MIDI_SEND_TIMEOUT_MS))
        out.Reset(hOut);
    out.Unprepare(hOut, data, length);
    return rc;
}

bool IsBank(const std::vector<unsigned char>& dump)
{
    if (dump.size() != GetAnswerSize(DumpKind::AllPrograms) || dump[4] != FUNC_PROGRAM_DUMP)
        return false;
    CProgramList programs;
    std::string error;
    return programs.ReadSyxBytes(dump.data(), dump.size(), error, "") != 0;
}

CBankSendResult Result(BankSendStatus status, std::string error)
{
    return {status, std::move(error)};
}

}  // namespace

CBankSendResult SendBankDump(IMidiOutService& out, MidiOutHandle hOut, CMidiEvent& done, IMidiInService& in,
                             MidiInHandle hIn, const std::vector<unsigned char>& dump, int channel,
                             std::function<void(std::size_t, std::size_t)> progress,
                             const std::atomic<bool>* cancel, unsigned int answerMs, unsigned int wireBytesPerSecond)
{
    if (!IsBank(dump))
        return Result(BankSendStatus::InvalidDump,
                      "This is not a program data dump of 128 programs; nothing was sent to the synthesizer.");
    if (hOut == nullptr || hIn == nullptr)
        return Result(BankSendStatus::MidiError, "The MIDI port is not open.");

    // Nothing read before the final byte goes out can be this bank's answer (the synthesizer
    // answers only once it has the whole bank); an answer to an earlier send that arrives
    // late, while this bank is on the wire, must not pass for it. So the end byte goes out
    // on its own, and what arrived before it is dropped.
    DropPendingInput(in, hIn);

    std::vector<unsigned char> message = dump;
    message[2] = static_cast<unsigned char>(SYX_CHANNEL_BASE | (channel & 0x0F));
    // Counted from the first byte, so that an output that keeps the wire's pace itself
    // (as the ALSA backend does) makes this wait nothing more.
    const Clock::time_point start = Clock::now();
    const CWireClock wire(wireBytesPerSecond);
    std::size_t sent = 0;
    while (sent < message.size()) {
        if (IsCancelled(cancel)) {
            const unsigned char end = SYX_END;
            SendPiece(out, hOut, done, &end, 1);
            return Result(BankSendStatus::Cancelled, "The bank send was cancelled after " + FormatCount(sent) +
                                                         " of " + FormatCount(message.size()) +
                                                         " bytes; the synthesizer did not get a whole bank.");
        }
        const bool last = sent + 1 == message.size();
        if (last)
            DropPendingInput(in, hIn);
        const auto length =
            last ? 1u : static_cast<unsigned int>(std::min(BANK_PIECE_SIZE, message.size() - 1 - sent));
        const int rc = SendPiece(out, hOut, done, message.data() + sent, length);
        if (rc != 0)
            return Result(BankSendStatus::MidiError, FormatSendError(out.GetErrorText(rc)));
        sent += length;
        if (progress)
            progress(sent, message.size());
        if (wireBytesPerSecond != 0)
            std::this_thread::sleep_until(start + wire.TimeFor(sent));
    }

    // The last byte has crossed the wire: the synthesizer now stores the bank and answers.
    // Only a data load answer is the verdict; a write's answer or anything else is passed over.
    CShortReplyScanner scanner(channel);
    std::vector<unsigned char> bytes;
    std::vector<unsigned char> replies;
    std::vector<pollfd> fds = in.GetPollDescriptors(hIn);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(answerMs);
    for (;;) {
        bytes.clear();
        const int rc = in.ReadBytes(hIn, bytes);
        replies.clear();
        scanner.Feed(bytes, replies);
        for (const unsigned char reply : replies) {
            if (reply == FUNC_DATA_LOAD_COMPLETED)
                return Result(BankSendStatus::Completed, "");
            if (reply == FUNC_DATA_LOAD_ERROR)
                return Result(BankSendStatus::LoadError,
                              "The synthesizer reported a data load error: it did not take the bank.");
        }
        if (rc != 0)
            return Result(BankSendStatus::MidiError, FormatReadError(in.GetErrorText(rc)));
        if (IsCancelled(cancel))
            return Result(BankSendStatus::Cancelled,
                          "The bank was sent, but the wait for the synthesizer's answer was cancelled.");
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return Result(BankSendStatus::NoAnswer,
                          "The synthesizer did not confirm the bank within " + FormatSeconds(answerMs) +
                              ". Check the MIDI cable from the synthesizer and that its global MIDI "
                              "channel is " + std::to_string((channel & 0x0F) + 1) +
                              "; it may not have taken the bank.");
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        WaitForInput(fds, static_cast<int>(std::min<long long>(left, MIDI_CANCEL_POLL_MS)));
    }
}
