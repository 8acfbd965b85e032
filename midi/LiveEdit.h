#pragma once
// What to send so that the synthesizer's edit buffer becomes the editor's program: the
// parameter changes for what differs, or the whole program when that is shorter, when a
// difference has no parameter-change number (Key Priority of a vocoder program, a byte that
// carries no parameter), when the voice mode changes (it moves every parameter of bytes
// 38-253), or when nothing is known of the edit buffer.

#include <vector>

struct CParameterChangeValue {
    int number = 0;
    int value = 0;   // as the message carries it
};

struct CLiveEditPlan {
    bool wholeProgram = false;
    std::vector<CParameterChangeValue> changes;   // when not wholeProgram; empty: nothing to send
};

// `synthHas` is the synthesizer's edit buffer as far as it is known (null: unknown), `wanted`
// the program it should play; 254 bytes each.
CLiveEditPlan PlanLiveEdit(const unsigned char* synthHas, const unsigned char* wanted);

// Puts a parameter change the synthesizer sent (its knob turned) into `data`, as the
// synthesizer puts it into its edit buffer. False, changing nothing, for a number the
// program map does not know (an edit cursor) or a value out of range.
bool ApplyParameterChange(unsigned char* data, int number, int value);
