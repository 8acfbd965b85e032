#pragma once
// Gathers the short system exclusive messages an answer is made of out of the bytes that
// arrive, in any pieces: realtime bytes may come between any two bytes and are passed over,
// a status byte other than F7 ends what was gathered (another message began), and a message
// that grows to `longest` bytes without its F7 is too long to be an answer and is dropped.

#include "SyxFormat.h"

#include <cstddef>
#include <vector>

class CSysexCollector
{
public:
    explicit CSysexCollector(std::size_t longest) : m_longest(longest) {}

    // Calls `whole(message)` for each message, F0 to F7, completed by these bytes.
    template <typename Whole>
    void Feed(const unsigned char* bytes, std::size_t size, Whole&& whole)
    {
        for (std::size_t i = 0; i < size; ++i) {
            const unsigned char byte = bytes[i];
            if (byte >= REALTIME_FIRST)
                continue;
            if (byte == SYX_START) {
                m_message.assign(1, byte);
                continue;
            }
            if (m_message.empty())
                continue;
            if (byte >= 0x80 && byte != SYX_END) {
                m_message.clear();
                continue;
            }
            m_message.push_back(byte);
            if (byte == SYX_END) {
                whole(static_cast<const std::vector<unsigned char>&>(m_message));
                m_message.clear();
            } else if (m_message.size() >= m_longest) {
                m_message.clear();
            }
        }
    }

private:
    static constexpr unsigned char REALTIME_FIRST = 0xF8;
    std::size_t m_longest;
    std::vector<unsigned char> m_message;   // from its F0
};
