#pragma once
#include "MidiInService.h"
#include "MidiOutService.h"

#include <atomic>
#include <string>
#include <vector>

class CMidiEvent;

// Writing one program into one slot of the synthesizer's memory, without sending a bank:
//   F0 42 3n 58 40 <program> F7    the program to the edit buffer; answered 23 (or 24)
//   F0 42 3n 58 11 00 pp F7        the edit buffer into program pp (0-127); answered 21 (or 22)
// The write request goes out only once the edit buffer is confirmed to hold the program: a
// refused or unanswered program dump must not let the slot get whatever the edit buffer held.

constexpr unsigned char REQUEST_PROGRAM_WRITE = 0x11;
// How long each answer is waited for.
constexpr unsigned int SLOT_WRITE_ANSWER_MS = 2000;

enum class SlotWriteStatus {
    Written,     // write completed (21)
    Refused,     // data load error (24) for the program, or write error (22)
    NoAnswer,    // no answer within the wait: it is not known what the slot holds
    Cancelled,   // before the write request went out
    MidiError,   // the port refused the bytes or could not be read
};

struct CSlotWriteResult
{
    SlotWriteStatus status = SlotWriteStatus::NoAnswer;
    std::string text;   // "Written to A 05", or why not, for the user
};

// "A 05" for slot 4: the slot as the write's texts name it (bank letter, a space, two digits).
std::string SlotLabel(int slot);

// The 8-byte write request for `slot` (0-127) on `channel` (0-15).
std::vector<unsigned char> BuildProgramWriteRequest(int slot, int channel);

// The texts of the three outcomes the synthesizer can give.
std::string WrittenText(int slot);      // "Written to A 05"
std::string WriteRefusedText();         // "The synthesizer refused the write (memory protect on?)"
std::string WriteNoAnswerText();        // "No answer from the synthesizer"

// Writes the program of `length` data bytes (one program, 254) into `slot` on `channel`
// through the open output hOut (with its completion event `done`), hearing the answers on
// the open input hIn of the same port; anything that arrived before is dropped first. Each
// answer is waited for at most answerMs; answers to other messages are passed over.
// `cancel` (may be null) is looked at while waiting for the edit buffer's answer.
// Blocks for up to twice answerMs plus the program's time on the wire (about 95 ms); nothing
// else may use hOut or hIn while it runs.
CSlotWriteResult WriteProgramToSlot(IMidiOutService& out, MidiOutHandle hOut, CMidiEvent& done, IMidiInService& in,
                                    MidiInHandle hIn, const unsigned char* data, unsigned int length, int slot,
                                    int channel, const std::atomic<bool>* cancel,
                                    unsigned int answerMs = SLOT_WRITE_ANSWER_MS);
