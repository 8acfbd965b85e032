#pragma once
#include "DumpRequest.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// How long a receive waits. Each wait starts again when a piece of the answer arrives.
struct CReceiveTimeouts
{
    unsigned int firstByteMs = 10000;  // from the request to the answer's first byte
    unsigned int pauseMs = 3000;       // the longest pause inside the answer
    unsigned int answerMs = 10000;     // from a bank's last byte to the synthesizer's verdict
};

enum class ReceiveStatus { Received, NoAnswer, Stalled, WrongAnswer, Invalid, Cancelled, MidiError };

struct CReceiveResult
{
    ReceiveStatus status = ReceiveStatus::NoAnswer;
    std::string error;                 // a clear text for the user; empty when Received
    std::vector<unsigned char> bytes;  // the exact message, F0 to F7, only when Received
};

// Collects the answer to one dump request from the bytes that arrive, without waiting
// itself: the caller feeds it what the input delivered, asks it how long it may wait for
// more, and tells it the time when that wait ran out. The blocking ReceiveDump drives it
// with poll(); a caller with an event loop can drive it from its notifier and a timer.
//
// Bytes before the answer are skipped: anything that is not a SysEx message, messages of
// other instruments, messages on other channels, the synthesizer's parameter changes and
// dump requests (our own, come back through a merger or a soft thru), and the answers to
// messages sent before the request (data load completed, write completed or failed). A
// data load error may be the synthesizer's refusal of the request or the late answer to a
// program sent before it: when no dump follows it, the receive ends as WrongAnswer once the
// wait for the first byte is over.
// The answer is the first other message of this instrument on this channel; when its
// function is not the requested dump's the receive ends as WrongAnswer at once. The whole message
// is judged by CProgramList::ReadSyxBytes, the reader Open uses, so a dump is accepted
// exactly when the same bytes would be as a file.
class CDumpReceiver
{
public:
    using Clock = std::chrono::steady_clock;

    CDumpReceiver(DumpKind kind, int channel, CReceiveTimeouts timeouts = {});

    // The request went out at `now`: the wait for the first byte starts.
    void Start(Clock::time_point now);
    // Bytes arrived at `now`.
    void Feed(const unsigned char* bytes, std::size_t size, Clock::time_point now);
    // Ends the receive when a wait has run out by `now`.
    void CheckTime(Clock::time_point now);
    // Ends the receive as Cancelled, or with a MIDI error and its text.
    void Cancel();
    void Fail(const std::string& error);

    bool IsDone() const { return m_done; }
    // Milliseconds from `now` until the current wait runs out (0 when it has).
    long long GetRemainingMs(Clock::time_point now) const;
    // Bytes of the answer so far, and the size a whole answer has.
    std::size_t GetReceived() const { return m_received; }
    std::size_t GetExpected() const { return m_expected; }
    bool HasAnswerStarted() const { return m_answerStarted; }

    // The outcome once IsDone(); the bytes are moved out.
    CReceiveResult TakeResult();

private:
    // Outside a message of interest (skipping up to the next F0), in a header not yet
    // known as ours, or in the answer.
    enum class Scan { Outside, Header, Answer };

    void Finish(ReceiveStatus status, std::string error);
    void TakeHeaderByte(unsigned char byte);
    void Judge();

    DumpKind m_kind;
    int m_channel;
    CReceiveTimeouts m_timeouts;
    std::size_t m_expected;
    Scan m_scan = Scan::Outside;
    std::vector<unsigned char> m_header;   // the start of a message not yet known as ours
    std::vector<unsigned char> m_message;  // the answer so far
    std::size_t m_received = 0;            // its size, kept once the answer is handed over
    bool m_answerStarted = false;
    bool m_refusalSeen = false;            // a data load error came, and no dump yet
    Clock::time_point m_deadline;
    bool m_done = false;
    CReceiveResult m_result;
};
