#pragma once
#include <chrono>
#include <cstddef>
#include <functional>

// A 5-pin MIDI cable runs at 31,250 baud, ten bits a byte: 3,125 bytes a second, 320 µs a
// byte. Nothing may be handed to an interface faster than that for long, or its buffers
// overflow and bytes are lost.
constexpr unsigned int MIDI_WIRE_BYTES_PER_SECOND = 3125;

// Knows when a MIDI line has carried what was put on it. Bytes given to it go on the line
// behind those it still carries, or at once when it is idle; the sender waits until
// Carry's answer before it calls its bytes delivered. The clock is injectable for tests.
class CWireClock
{
public:
    using Clock = std::chrono::steady_clock;
    using NowFunction = std::function<Clock::time_point()>;

    explicit CWireClock(unsigned int bytesPerSecond = MIDI_WIRE_BYTES_PER_SECOND, NowFunction now = Clock::now);

    // How long the line takes to carry `bytes`, rounded up to the nanosecond.
    Clock::duration TimeFor(size_t bytes) const;
    // Puts `bytes` on the line and returns the time at which it will have carried them.
    Clock::time_point Carry(size_t bytes);
    // The time at which the line will have carried everything put on it so far.
    Clock::time_point FreeAt() const { return m_freeAt; }

private:
    unsigned int m_bytesPerSecond;
    NowFunction m_now;
    Clock::time_point m_freeAt;
};
