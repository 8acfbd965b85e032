#include "MidiEvent.h"

#include <gtest/gtest.h>

#include <thread>

TEST(MidiEventTest, StaysSignalledUntilReset)
{
    CMidiEvent event;
    EXPECT_FALSE(event.Wait(0));
    event.Set();
    EXPECT_TRUE(event.Wait(0));
    EXPECT_TRUE(event.Wait(0));  // manual reset: a wait does not consume the signal
    event.Reset();
    EXPECT_FALSE(event.Wait(10));
}

TEST(MidiEventTest, WaitWakesWhenAnotherThreadSets)
{
    CMidiEvent event;
    std::thread setter([&event] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        event.Set();
    });
    EXPECT_TRUE(event.Wait(10000));
    setter.join();
}
