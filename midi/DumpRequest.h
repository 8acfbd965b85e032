#pragma once
#include "SynthReplies.h"

#include <cstddef>
#include <vector>

// The dumps the synthesizer sends when asked, and the requests that ask for them:
//   F0 42 3n 58 <request> F7  ->  F0 42 3n 58 <answer function> ... F7
enum class DumpKind { CurrentProgram, AllPrograms, AllData };

constexpr unsigned char REQUEST_CURRENT_PROGRAM = 0x10;
constexpr unsigned char REQUEST_PROGRAM_DUMP = 0x1C;
constexpr unsigned char REQUEST_ALL_DATA = 0x0F;
// Sent by the synthesizer on its own when a knob is turned; never an answer.
constexpr unsigned char FUNC_PARAMETER_CHANGE = 0x41;

// The request's function byte (0x10, 0x1C or 0x0F).
unsigned char GetRequestFunction(DumpKind kind);
// The function of the dump that answers it (0x40, 0x4C or 0x50).
unsigned char GetAnswerFunction(DumpKind kind);
// The whole answer's size in bytes, F0 to F7 (297, 37163 or 37392).
std::size_t GetAnswerSize(DumpKind kind);
// The 6-byte request on `channel` (0-15, only the low nibble is used).
std::vector<unsigned char> BuildDumpRequest(DumpKind kind, int channel);
// What the user calls the dump: "current program", "program data dump" ...
const char* DescribeFunction(unsigned char function);
