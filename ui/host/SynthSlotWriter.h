#pragma once
// What a feature sees of writing one program into one slot of the synthesizer's memory:
// "Send to Synth Slot..." for a program held anywhere (the Program Editor's, the
// Collection's), with its questions, its transfer on the open port and its answer.

#include "Bank.h"

class ISynthSlotWriter {
public:
    virtual ~ISynthSlotWriter() = default;

    // Whether a program can be written now: Midi Active has the port open and no transfer runs.
    virtual bool CanWriteSlot() const = 0;
    // Asks which slot (`proposedSlot` 0-127 chosen first, or the slot chosen last when -1),
    // then whether to replace what the slot holds, naming it when the synthesizer's memory
    // is known; when confirmed, writes `program` there and tells the synthesizer's answer when
    // it comes. Returns at once; does nothing when a program cannot be written now.
    virtual void SendToSynthSlot(const CBank::ProgramData& program, int proposedSlot = -1) = 0;
};
