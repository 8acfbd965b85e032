#include "WireClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace {

using namespace std::chrono_literals;
using TimePoint = CWireClock::Clock::time_point;

constexpr size_t PROGRAM_MESSAGE = 297;
constexpr size_t BANK_DUMP = 37163;
constexpr size_t PIECE = 256;

// A wire clock whose "now" the test moves by hand.
struct WireClockTest : testing::Test
{
    TimePoint now{};
    CWireClock wire{MIDI_WIRE_BYTES_PER_SECOND, [this] { return now; }};
};

TEST_F(WireClockTest, EachByteTakes320MicrosecondsOnTheWire)
{
    EXPECT_EQ(320us, wire.TimeFor(1));
    EXPECT_EQ(95040us, wire.TimeFor(PROGRAM_MESSAGE));
    EXPECT_EQ(81920us, wire.TimeFor(PIECE));
    EXPECT_EQ(now + 95040us, wire.Carry(PROGRAM_MESSAGE));
}

TEST_F(WireClockTest, BackToBackMessagesQueueBehindWhatTheLineStillCarries)
{
    wire.Carry(PROGRAM_MESSAGE);
    now += 10ms;  // the second comes long before the first has gone out
    EXPECT_EQ(TimePoint{} + 2 * 95040us, wire.Carry(PROGRAM_MESSAGE));
    now += 1ms;
    EXPECT_EQ(TimePoint{} + 3 * 95040us, wire.Carry(PROGRAM_MESSAGE));
    EXPECT_EQ(TimePoint{} + 3 * 95040us, wire.FreeAt());
}

TEST_F(WireClockTest, AnIdleLineOwesNothing)
{
    wire.Carry(PROGRAM_MESSAGE);
    now += 5s;
    EXPECT_EQ(now + 95040us, wire.Carry(PROGRAM_MESSAGE));
}

TEST_F(WireClockTest, FortySendsWaitedOutOneByOneTakeTheWiresTime)
{
    const TimePoint start = now;
    for (int i = 0; i < 40; ++i)
        now = wire.Carry(PROGRAM_MESSAGE);  // each send returns when its bytes are across
    EXPECT_EQ(start + 40 * 95040us, now);   // 3.80 s for 11,880 bytes
}

TEST_F(WireClockTest, ABankDumpInPiecesTakesAsLongAsInOneGo)
{
    const TimePoint start = now;
    size_t sent = 0;
    while (sent < BANK_DUMP) {
        const size_t piece = std::min(PIECE, BANK_DUMP - sent);
        now = wire.Carry(piece);
        sent += piece;
    }
    // Rounding each piece up to the nanosecond costs at most a nanosecond a piece.
    EXPECT_GE(now, start + wire.TimeFor(BANK_DUMP));
    EXPECT_LE(now, start + wire.TimeFor(BANK_DUMP) + 146ns);
    EXPECT_GT(now, start + 11890ms);
}

TEST(WireClockRateTest, OddRatesRoundUpSoTheLineIsNeverOverrun)
{
    CWireClock wire(3, [] { return CWireClock::Clock::time_point{}; });
    EXPECT_EQ(333333334ns, wire.TimeFor(1));
}

}  // namespace
