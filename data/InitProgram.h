#pragma once
// The program the MS2000 itself gives when a program is initialized: "INIT Program", a
// plain sound (one sawtooth through the 12 dB low-pass filter, fully open, organ-like
// envelopes) from which a sound is built up. A bank started anew holds it in every slot.

#include "Bank.h"

// The MS2000's initial program, byte for byte as the synthesizer makes it.
CBank::ProgramData InitProgram();
// A bank of 128 initial programs.
CBank InitBank();
