#pragma once
// Sends an editor's changes to the synthesizer while they are being made, on a thread of its
// own, at the wire's pace, so that the synthesizer is never more than one message behind the
// screen: while a message is on the wire, a newer value of a parameter replaces its value
// still waiting (the waiting message, not a second one), a whole program replaces everything
// of the editor's still waiting (it carries it all), and when the changes stop the last value
// is the last message that goes out. Whole programs can be held to a slowest pace of their
// own (the editor's fallback: at most one every 100 ms, latest state wins).
//
// Each message goes out whole with one LongMsg, and the next not before the wire can have
// carried it (the ALSA output waits for that itself; the sender's own clock holds back an
// output that does not). Nothing of Qt: what went out is told through a handler called on
// the sending thread.

#include "MidiOutService.h"
#include "WireClock.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class CLiveSender {
public:
    using Clock = std::chrono::steady_clock;
    enum class Kind { ParameterChange, Program, Other };

    // A message that went out: when the wire had carried it, and the output's answer (0, or
    // its error code).
    struct CSent {
        Kind kind = Kind::Other;
        int number = -1;                       // ParameterChange: its number
        std::vector<unsigned char> message;
        Clock::time_point carriedAt;
        int rc = 0;
    };
    using SentHandler = std::function<void(const CSent& sent)>;

    explicit CLiveSender(unsigned int bytesPerSecond = MIDI_WIRE_BYTES_PER_SECOND);
    ~CLiveSender();
    CLiveSender(const CLiveSender&) = delete;
    CLiveSender& operator=(const CLiveSender&) = delete;

    // Called with every message once it went out (on the sending thread).
    void SetSentHandler(SentHandler handler);
    // Called with every message right before it goes on the wire (on the sending thread),
    // so that whatever answers it can never come before this; `carriedAt` is when the wire
    // will have carried it.
    void SetSendingHandler(SentHandler handler);
    // Whole programs start at least `interval` apart (0, the default: as the wire allows).
    void SetProgramInterval(Clock::duration interval);

    // Sends through `service`'s open device `handle`, on `channel` (0-15).
    void Start(IMidiOutService& service, MidiOutHandle handle, int channel);
    // Drops what waits, lets the message on the wire end and stops the thread: the device
    // may be closed afterwards. Nothing happens when not started.
    void Stop();
    bool IsStarted() const;
    int Channel() const { return m_channel; }

    // Parameter `number` = `value` (the signed value the message carries).
    void SendParameter(int number, int value);
    // The whole program (254 bytes) to the edit buffer, as a current program dump.
    void SendProgram(const unsigned char* data);
    // Any other message (a request), in turn; never replaced.
    void SendMessage(std::vector<unsigned char> message);
    // Drops the editor's messages still waiting (not the others).
    void DropWaiting();

    // Messages waiting behind the one on the wire.
    std::size_t Waiting() const;
    // Nothing waits and nothing is on the wire.
    bool IsIdle() const;
    // Waits until IsIdle, at most `timeout`; true when idle.
    bool WaitIdle(Clock::duration timeout);

private:
    struct CEntry {
        Kind kind;
        int number;
        std::vector<unsigned char> message;
    };
    void Queue(CEntry entry);
    void Run();

    const unsigned int m_bytesPerSecond;
    SentHandler m_sentHandler;
    SentHandler m_sendingHandler;
    IMidiOutService* m_service = nullptr;
    MidiOutHandle m_handle = nullptr;
    int m_channel = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<CEntry> m_waiting;
    bool m_onWire = false;
    bool m_stop = false;
    Clock::duration m_programInterval{0};
    Clock::time_point m_nextProgramAt{};
    std::thread m_thread;
};
