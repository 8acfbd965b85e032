#pragma once
#include "SysexCollector.h"

#include <cstddef>
#include <vector>

// The synthesizer's short answers, F0 42 3n 58 <function> F7: to a dump or a parameter change
// it was sent (23 data load completed, 24 data load error) and to a program write request
// (21 write completed, 22 write error). Each answers one message; an answer that comes late,
// or one to a message sent before (an audition's 23), must never be taken for the answer to
// what was sent since, so every caller says which answers it waits for.
constexpr unsigned char FUNC_WRITE_COMPLETED = 0x21;
constexpr unsigned char FUNC_WRITE_ERROR = 0x22;
constexpr unsigned char FUNC_DATA_LOAD_COMPLETED = 0x23;
constexpr unsigned char FUNC_DATA_LOAD_ERROR = 0x24;

// Picks the short answers of this instrument on this channel out of the bytes that arrive,
// in any pieces: realtime bytes are passed over, and so is every other message (a dump, a
// parameter change, another instrument's or another channel's message, a note).
class CShortReplyScanner
{
public:
    explicit CShortReplyScanner(int channel);

    // Appends the function of each short answer completed by these bytes, in order.
    void Feed(const unsigned char* bytes, std::size_t size, std::vector<unsigned char>& functions);
    void Feed(const std::vector<unsigned char>& bytes, std::vector<unsigned char>& functions)
    {
        Feed(bytes.data(), bytes.size(), functions);
    }

private:
    int m_channel;
    CSysexCollector m_collector;
};
