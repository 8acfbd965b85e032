#include "ProgramWrite.h"

#include "MidiInWait.h"
#include "MidiTexts.h"
#include "ProgramSender.h"
#include "SynthReplies.h"
#include "SyxFormat.h"

#include <algorithm>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int SLOTS = 128;
constexpr int SLOTS_PER_BANK = 16;

enum class Heard { Yes, No, Nothing, Cancelled, ReadError };

// Waits up to answerMs for one of the two answers, passing over every other one. `yes` and
// `no` are functions of short answers; `alsoNo` is another that means no (0: none).
Heard WaitForAnswer(IMidiInService& in, MidiInHandle hIn, CShortReplyScanner& scanner, unsigned char yes,
                    unsigned char no, unsigned char alsoNo, unsigned int answerMs, const std::atomic<bool>* cancel,
                    std::string& readError)
{
    std::vector<pollfd> fds = in.GetPollDescriptors(hIn);
    std::vector<unsigned char> bytes;
    std::vector<unsigned char> replies;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(answerMs);
    for (;;) {
        bytes.clear();
        replies.clear();
        const int rc = in.ReadBytes(hIn, bytes);
        scanner.Feed(bytes, replies);
        for (const unsigned char reply : replies) {
            if (reply == yes)
                return Heard::Yes;
            if (reply == no || (alsoNo != 0 && reply == alsoNo))
                return Heard::No;
        }
        if (rc != 0) {
            readError = FormatReadError(in.GetErrorText(rc));
            return Heard::ReadError;
        }
        if (cancel != nullptr && cancel->load())
            return Heard::Cancelled;
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return Heard::Nothing;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
        WaitForInput(fds, static_cast<int>(std::min<long long>(left, MIDI_CANCEL_POLL_MS)));
    }
}

CSlotWriteResult Result(SlotWriteStatus status, std::string text)
{
    return {status, std::move(text)};
}

CSlotWriteResult FromHeard(Heard heard, const std::string& readError)
{
    switch (heard) {
    case Heard::No: return Result(SlotWriteStatus::Refused, WriteRefusedText());
    case Heard::Nothing: return Result(SlotWriteStatus::NoAnswer, WriteNoAnswerText());
    case Heard::Cancelled: return Result(SlotWriteStatus::Cancelled, "The write was cancelled.");
    case Heard::ReadError: return Result(SlotWriteStatus::MidiError, readError);
    case Heard::Yes: break;
    }
    return Result(SlotWriteStatus::Written, "");
}

}  // namespace

std::string SlotLabel(int slot)
{
    if (slot < 0 || slot >= SLOTS)
        return std::string();
    const int number = slot % SLOTS_PER_BANK + 1;
    std::string label(1, static_cast<char>('A' + slot / SLOTS_PER_BANK));
    label += ' ';
    label += static_cast<char>('0' + number / 10);
    label += static_cast<char>('0' + number % 10);
    return label;
}

std::vector<unsigned char> BuildProgramWriteRequest(int slot, int channel)
{
    return {SYX_START, KORG_ID, static_cast<unsigned char>(SYX_CHANNEL_BASE | (channel & 0x0F)), MS2000_MODEL_ID,
            REQUEST_PROGRAM_WRITE, 0x00, static_cast<unsigned char>(slot & 0x7F), SYX_END};
}

std::string WrittenText(int slot)
{
    return "Written to " + SlotLabel(slot);
}

std::string WriteRefusedText()
{
    return "The synthesizer refused the write (memory protect on?)";
}

std::string WriteNoAnswerText()
{
    return "No answer from the synthesizer";
}

CSlotWriteResult WriteProgramToSlot(IMidiOutService& out, MidiOutHandle hOut, CMidiEvent& done, IMidiInService& in,
                                    MidiInHandle hIn, const unsigned char* data, unsigned int length, int slot,
                                    int channel, const std::atomic<bool>* cancel, unsigned int answerMs)
{
    if (hOut == nullptr || hIn == nullptr)
        return Result(SlotWriteStatus::MidiError, "The MIDI port is not open.");
    CProgramMessage program;
    if (slot < 0 || slot >= SLOTS || !BuildProgramMessage(data, length, channel, program))
        return Result(SlotWriteStatus::MidiError, "There is no such slot, or the program does not fit one message.");

    // What came before (an audition's answer, a knob turned) cannot be an answer to these.
    DropPendingInput(in, hIn);
    CShortReplyScanner scanner(channel);
    std::string error;
    if (!SendProgramMessage(out, hOut, done, program, error))
        return Result(SlotWriteStatus::MidiError, error);
    std::string readError;
    Heard heard = WaitForAnswer(in, hIn, scanner, FUNC_DATA_LOAD_COMPLETED, FUNC_DATA_LOAD_ERROR, 0, answerMs,
                                cancel, readError);
    if (heard != Heard::Yes)
        return FromHeard(heard, readError);

    // Six bytes and two: the output is done with them when LongMsg returns.
    const std::vector<unsigned char> request = BuildProgramWriteRequest(slot, channel);
    const auto size = static_cast<unsigned int>(request.size());
    out.Prepare(hOut, request.data(), size);
    const int rc = out.LongMsg(hOut, request.data(), size);
    out.Unprepare(hOut, request.data(), size);
    if (rc != 0)
        return Result(SlotWriteStatus::MidiError, FormatSendError(out.GetErrorText(rc)));
    // The edit buffer's answer is in; a data load error now is a late one of the same refusal.
    heard = WaitForAnswer(in, hIn, scanner, FUNC_WRITE_COMPLETED, FUNC_WRITE_ERROR, FUNC_DATA_LOAD_ERROR, answerMs,
                          nullptr, readError);
    if (heard != Heard::Yes)
        return FromHeard(heard, readError);
    return Result(SlotWriteStatus::Written, WrittenText(slot));
}
