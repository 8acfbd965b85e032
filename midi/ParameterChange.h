#pragma once
// The parameter-change message (function 41), both ways:
//   F0 42 3g 58 41 pp PP vv VV F7
// The parameter number is PP * 128 + pp and the value VV * 128 + vv, low 7 bits first. The
// value is signed, in the units the synthesizer shows (Transpose -24..+24, not the stored
// 40..88); a negative value travels as 14-bit two's complement (-1 = 7F 7F). That encoding
// lives here and nowhere else.

#include <array>
#include <cstddef>

constexpr std::size_t PARAMETER_CHANGE_SIZE = 10;
// What the two 7-bit value bytes hold: -8192..+8191.
constexpr int CHANGE_VALUE_MIN = -0x2000;
constexpr int CHANGE_VALUE_MAX = 0x1FFF;

using CParameterChangeMessage = std::array<unsigned char, PARAMETER_CHANGE_SIZE>;

// A value as its two 7-bit bytes, low first, and back.
void EncodeChangeValue(int value, unsigned char& low, unsigned char& high);
int DecodeChangeValue(unsigned char low, unsigned char high);

// The message for parameter `number` (0..3FFF) = `value` on `channel` (only its low nibble is
// used).
CParameterChangeMessage BuildParameterChange(int channel, int number, int value);

// Reads a whole parameter-change message (F0 to F7). False for anything else: another
// function, another instrument, a wrong length.
bool ParseParameterChange(const unsigned char* message, std::size_t length, int& channel, int& number, int& value);
