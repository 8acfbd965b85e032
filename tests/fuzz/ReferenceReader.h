#pragma once
// A second, deliberately plain reader of one dump message held in memory: it walks the bytes
// one at a time exactly as the format describes (flag byte, seven data bytes, end byte ends
// the data, a read past the end yields 0 and fails the stream). The fuzz target compares the
// real reader, which judges the whole message before unpacking it in blocks, against it.

#include <cstddef>
#include <string>
#include <vector>

struct ReferenceResult {
    int result = 0;                               // 1 when the message was read whole
    std::string error;                            // the error text when result is 0
    std::vector<std::vector<unsigned char>> programs;  // the unpacked programs, in dump order
};

ReferenceResult ReadReference(const unsigned char* bytes, size_t size);
