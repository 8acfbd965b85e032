#include "WireClock.h"

#include <algorithm>

CWireClock::CWireClock(unsigned int bytesPerSecond, NowFunction now)
    : m_bytesPerSecond(bytesPerSecond == 0 ? MIDI_WIRE_BYTES_PER_SECOND : bytesPerSecond), m_now(std::move(now))
{
}

CWireClock::Clock::duration CWireClock::TimeFor(size_t bytes) const
{
    const unsigned long long nanoseconds =
        (static_cast<unsigned long long>(bytes) * 1000000000ULL + m_bytesPerSecond - 1) / m_bytesPerSecond;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(nanoseconds));
}

CWireClock::Clock::time_point CWireClock::Carry(size_t bytes)
{
    // An idle line owes nothing: it starts on these bytes now.
    m_freeAt = std::max(m_freeAt, m_now()) + TimeFor(bytes);
    return m_freeAt;
}
