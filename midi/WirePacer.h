#pragma once
#include <chrono>
#include <cstddef>

// When bytes handed to a MIDI output have crossed the wire, counted from the first one:
// a sender that waits for this before its next piece never outruns the wire, and waits
// nothing more when the output already held it back that long.
class CWirePacer
{
public:
    using Clock = std::chrono::steady_clock;

    // 0 bytes a second: no pacing, every time is the start.
    CWirePacer(unsigned int bytesPerSecond, Clock::time_point start) : m_rate(bytesPerSecond), m_start(start) {}

    // The time the first `bytes` bytes have left.
    Clock::time_point GetDoneTime(std::size_t bytes) const
    {
        if (m_rate == 0)
            return m_start;
        return m_start + std::chrono::microseconds(static_cast<long long>(bytes) * 1000000 / m_rate);
    }

private:
    unsigned int m_rate;
    Clock::time_point m_start;
};
