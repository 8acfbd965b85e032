#pragma once
#include "MidiInService.h"
#include "MidiOutService.h"
#include "WireClock.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CMidiEvent;

enum class BankSendStatus {
    Completed,    // the synthesizer answered "data load completed" (23)
    LoadError,    // it answered "data load error" (24)
    NoAnswer,     // it said nothing within the wait
    Cancelled,
    MidiError,    // the port refused the bytes or could not be read
    InvalidDump,  // what was given is not a program data dump of 128 programs; nothing sent
};

struct CBankSendResult
{
    BankSendStatus status = BankSendStatus::NoAnswer;
    std::string error;  // a clear text for the user; empty when Completed
};

// The largest piece of a long dump handed to the output at once.
constexpr std::size_t BANK_PIECE_SIZE = 256;

// Sends a whole program data dump (0x4C, 128 programs) that replaces the synthesizer's
// programs, then waits for its answer F0 42 3n 58 23|24 F7 on `channel` (0-15). Byte 2
// of what goes out carries `channel` whatever the dump holds there. The dump goes out in
// pieces of at most BANK_PIECE_SIZE bytes, one long message each (the send sequence with
// `done`, the output's completion event), never faster than wireBytesPerSecond. The ALSA
// output keeps the wire's pace itself, so this costs it nothing; it holds back an output
// that does not (0: as fast as the output takes them, for tests with a test output). The
// wait for the answer (answerMs) starts when the last byte has crossed the wire. Only an
// answer that arrives after the end byte went out counts: the end byte goes out as a piece
// of its own, and input that arrived before it (a late answer to an earlier send) is dropped. `progress(sent, total)` follows the bytes
// sent; `cancel` (may be null) is looked at between pieces and at least every 100 ms of
// the wait. A send cancelled part-way ends the message with F7 rather than leaving the
// synthesizer inside it; what it got is then short of a bank.
//
// Blocks for about 12 s at wire speed plus the answer; run it on a worker thread where a
// window must stay responsive. Nothing else may use hOut or hIn while it runs.
CBankSendResult SendBankDump(IMidiOutService& out, MidiOutHandle hOut, CMidiEvent& done, IMidiInService& in,
                             MidiInHandle hIn, const std::vector<unsigned char>& dump, int channel,
                             std::function<void(std::size_t, std::size_t)> progress,
                             const std::atomic<bool>* cancel, unsigned int answerMs = 10000,
                             unsigned int wireBytesPerSecond = MIDI_WIRE_BYTES_PER_SECOND);
