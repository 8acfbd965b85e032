#pragma once
// Builds whole dump messages of one or 128 programs, for the demo files and the tests.
// The program itself only ever writes one-program messages (PackProgramMessage).

#include <vector>

// The message F0 42 30 58 <function> <packed programs> [229 bytes for 0x50] F7 for the
// given programs, each of PROGRAM_DATA_SIZE bytes, packed as one continuous stream.
std::vector<unsigned char> BuildDumpMessage(unsigned char function,
                                            const std::vector<std::vector<unsigned char>>& programs);
