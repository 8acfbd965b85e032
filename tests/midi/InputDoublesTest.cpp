#include "TestMidiInService.h"
#include "TestMidiOutService.h"
#include "TestPortWatcher.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

bool IsReadable(std::vector<pollfd> fds)
{
    return poll(fds.data(), static_cast<nfds_t>(fds.size()), 0) > 0;
}

// A window watches these descriptors with a notifier: they must be readable exactly while
// something waits to be read.
TEST(TestMidiInServiceTest, DescriptorIsReadableWhileBytesWait)
{
    CTestMidiOutService out;
    out.AddDevice("Serial MIDI 1");
    CTestMidiInService in(out);
    MidiInHandle hIn = nullptr;
    ASSERT_EQ(0, in.OpenIn(&hIn, 0));
    EXPECT_FALSE(IsReadable(in.GetPollDescriptors(hIn)));
    in.Deliver({0xF0, 0x42});
    in.Deliver({0x30, 0xF7});
    EXPECT_TRUE(IsReadable(in.GetPollDescriptors(hIn)));
    Bytes bytes{0x01};
    EXPECT_EQ(0, in.ReadBytes(hIn, bytes));
    EXPECT_EQ((Bytes{0x01, 0xF0, 0x42, 0x30, 0xF7}), bytes);  // appended, pieces joined
    EXPECT_FALSE(IsReadable(in.GetPollDescriptors(hIn)));
    in.CloseIn(hIn);
    EXPECT_EQ(0, in.GetOpenCount());
}

TEST(TestMidiInServiceTest, WriteOnlyOrMissingPortsDoNotOpen)
{
    CTestMidiOutService out;
    out.AddDevice("Serial MIDI 1");
    out.AddDevice("Output only");
    CTestMidiInService in(out);
    in.MakeWriteOnly(1);
    MidiInHandle hIn = nullptr;
    EXPECT_EQ(CTestMidiInService::ERR_NOT_READABLE, in.OpenIn(&hIn, 1));
    EXPECT_EQ(CTestMidiInService::ERR_BAD_DEVICE_ID, in.OpenIn(&hIn, 2));
    out.Unplug();
    EXPECT_EQ(CTestMidiInService::ERR_BAD_DEVICE_ID, in.OpenIn(&hIn, 0));
    EXPECT_EQ(nullptr, hIn);
}

TEST(TestPortWatcherTest, AnnouncementIsReadOnce)
{
    CTestPortWatcher watcher;
    EXPECT_FALSE(IsReadable(watcher.GetPollDescriptors()));
    EXPECT_FALSE(watcher.ReadChanges());
    watcher.Announce();
    watcher.Announce();
    EXPECT_TRUE(IsReadable(watcher.GetPollDescriptors()));
    EXPECT_TRUE(watcher.ReadChanges());
    EXPECT_FALSE(watcher.ReadChanges());
}

}  // namespace
