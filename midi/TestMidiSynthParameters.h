#pragma once
// The parameter changes (function 41) as the simulated synthesizer takes them: the number
// tells the bytes and bits of the edit buffer, the range and how the value sent is stored.
// The table is the VM's synthesizer's own (synth.py, PARAMETERS), in its own text form, so
// that the two simulate one instrument; it is deliberately not the program model's table,
// which the tests check against it.

#include <string>
#include <vector>

// Puts parameter `number` = `value` (signed, as the message carries it) into `edit` (254
// bytes) as the synthesizer does: only the parameter's bits change. Returns an empty text,
// with `done` saying what changed ("parameter 055 timbre 1 Cutoff = 80: byte 58 3C -> 50"), or
// why nothing was changed (an unknown number, a value out of range).
std::string ApplyTestParameterChange(std::vector<unsigned char>& edit, int number, int value, std::string& done);
