#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CTestMidiOutService;
class CTestMidiInService;

// The MS2000 at the far end of the cable, for tests: it takes what is sent through a
// CTestMidiOutService and answers through a CTestMidiInService, as the VM's simulated
// synthesizer does. It listens on its channel only (0-15, default 0) and:
//   F0 42 3n 58 10 F7  -> F0 42 3n 58 40 <edit buffer> F7         (297 bytes)
//   F0 42 3n 58 1C F7  -> F0 42 3n 58 4C <128 programs> F7        (37,163 bytes)
//   F0 42 3n 58 0F F7  -> F0 42 3n 58 50 <128 programs, global> F7 (37,392 bytes)
//   a 0x40 dump        -> its edit buffer, answered 23; 24 and no change unless 297 bytes
//   a 0x4C dump        -> its programs, answered 23; 24 when it does not hold 128 programs
//   F0 42 3n 58 11 00 pp F7 -> its edit buffer into program pp, answered 21; 22 for pp over
//                         127 or another length
//   Cn pp              -> its edit buffer becomes program pp; no answer
//   F0 7E nn 06 01 F7  -> F0 7E 0n 06 02 42 58 00 01 00 01 00 00 00 F7 when nn is its
//                         channel or 7F (a device inquiry)
// Answers reach the input as ALSA delivers them: pieces of 256 bytes, the rest with the
// end byte (a message without F7 leaves its last partial piece undelivered). By default
// they arrive at once; SetWireRate paces them as a wire would. Made with a port's address it
// is cabled to that port alone: it hears what is sent there and answers on its input only.
// Implemented in TestMidiSynth.cpp (memory, settings, log, panel), TestMidiSynthMessages.cpp
// (each message taken and its answer) and TestMidiSynthWire.cpp (bytes in, answers out).
class CTestMidiSynth
{
public:
    enum class Mode {
        Normal,
        Silent,     // takes everything, never answers
        Truncated,  // sends the first half of every dump answer, no end byte
        Garbage,    // answers every request with a global data dump (0x51)
        Nak,        // memory protect on: 24 to every dump and parameter change, 22 to a write
                    // request, nothing changed; dump requests and inquiries answered as usual
    };

    // Memory starts as 128 made-up programs, the edit buffer as the first of them.
    // `address` empty: it hears every port and answers on every input.
    CTestMidiSynth(CTestMidiOutService& out, CTestMidiInService& in, const std::string& address = std::string());
    ~CTestMidiSynth();
    CTestMidiSynth(const CTestMidiSynth&) = delete;
    CTestMidiSynth& operator=(const CTestMidiSynth&) = delete;

    void SetChannel(int channel);
    void SetMode(Mode mode);
    // Bytes a second of its answers (0: no wait, the default).
    void SetWireRate(unsigned int bytesPerSecond);
    // A MIDI merger or soft thru on the way back: everything sent to the synthesizer also
    // comes back on the input, ahead of its answer.
    void SetThru(bool thru);
    // Pause before an answer starts, in milliseconds.
    void SetAnswerDelay(unsigned int ms);
    // Memory from a 0x4C or 0x50 dump (with its global data); false (and memory
    // unchanged) for anything else.
    bool LoadMemory(const std::vector<unsigned char>& dump);

    // Its programs as a 0x4C dump on channel 1, its edit buffer as a 0x40 dump on channel 1.
    std::vector<unsigned char> GetMemoryDump() const;
    std::vector<unsigned char> GetEditDump() const;
    // One line per message it took, ignored or sent, as the VM's synth.log has them.
    std::vector<std::string> GetLog() const;
    // Waits until every answer so far has been delivered.
    void WaitIdle();

    // Parameter changes (function 41) and the panel.
    // A parameter change sets one parameter of the edit buffer as the VM's synthesizer does
    // (TestMidiSynthParameters.h) and is answered 23, or 24 and no change for an unknown
    // number, a value out of range or a wrong length.
    // A musician turning a knob: the change is made in the edit buffer and the same parameter
    // change is sent, as the instrument does. False, and nothing sent, for a change the
    // synthesizer would not take.
    bool TurnKnob(int number, int value);
    // A program chosen on the panel: the edit buffer becomes program `program` (0-127) of
    // its memory and the program change is sent, nothing else.
    void ChooseProgram(int program);

private:
    // Programs in its memory.
    static constexpr unsigned int PROGRAMS = 128;
    // SysEx data unpacked: the first byte of each group of eight holds bit 7 of the seven after it.
    static std::vector<unsigned char> Unpack(const unsigned char* packed, std::size_t size);
    // A byte in two hex digits, as the log shows it.
    static std::string Hex(unsigned char byte);
    void Take(const unsigned char* bytes, unsigned int length);
    void TakeMessage(const std::vector<unsigned char>& message);
    void TakeInquiry(const std::vector<unsigned char>& message);
    void TakeProgramWrite(const std::vector<unsigned char>& message);
    void TakeParameterChange(const std::vector<unsigned char>& message);
    void TakeChannelMessage(const std::vector<unsigned char>& message);
    std::vector<unsigned char> ShortReply(unsigned char function) const;
    void Deliver(const std::vector<unsigned char>& piece);
    // What the synthesizer sends on its own (the panel's): goes out in every mode.
    void Send(std::vector<unsigned char> message);
    void Reply(std::vector<unsigned char> message);
    void Note(const std::string& line);
    std::vector<unsigned char> Dump(unsigned char function, const std::vector<unsigned char>& data) const;
    void RunReplies();

    CTestMidiOutService& m_out;
    CTestMidiInService& m_in;
    const std::string m_address;   // the port it is cabled to; empty: every port

    mutable std::mutex m_mutex;
    int m_channel = 0;
    Mode m_mode = Mode::Normal;
    unsigned int m_wireRate = 0;
    unsigned int m_answerDelayMs = 0;
    bool m_thru = false;
    std::vector<unsigned char> m_programs;  // 128 x 254 bytes
    std::vector<unsigned char> m_global;    // 200 bytes
    std::vector<unsigned char> m_edit;      // 254 bytes
    std::vector<unsigned char> m_incoming;  // a message being taken
    bool m_inMessage = false;
    unsigned char m_status = 0;                 // running status of channel messages
    std::vector<unsigned char> m_channelData;   // a channel message being taken
    std::vector<std::string> m_log;

    std::deque<std::vector<unsigned char>> m_replies;
    bool m_sending = false;
    bool m_stop = false;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::thread m_thread;
};
