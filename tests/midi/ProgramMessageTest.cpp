#include "ProgramSender.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr unsigned int PROGRAM_SIZE = 254;

struct ProgramMessageTest : testing::Test
{
    unsigned char program[PROGRAM_SIZE];
    CProgramMessage message;

    void SetUp() override
    {
        for (unsigned int i = 0; i < PROGRAM_SIZE; ++i)
            program[i] = static_cast<unsigned char>(i % 0x80);
    }
};

TEST_F(ProgramMessageTest, ProgramBelow0x80HasZeroFlagsAndTheFramingBytes)
{
    ASSERT_TRUE(BuildProgramMessage(program, PROGRAM_SIZE, 0, message));
    ASSERT_EQ(297u, message.length);
    EXPECT_EQ(0xF0, message.bytes[0]);
    EXPECT_EQ(0x42, message.bytes[1]);
    EXPECT_EQ(0x30, message.bytes[2]);
    EXPECT_EQ(0x58, message.bytes[3]);
    EXPECT_EQ(0x40, message.bytes[4]);
    EXPECT_EQ(0xF7, message.bytes[296]);
    int flags = 0;
    for (unsigned int pos = 5; pos < 296; pos += 8, ++flags)
        EXPECT_EQ(0, message.bytes[pos]) << "flag byte at " << pos;
    EXPECT_EQ(37, flags);
    // Data bytes sit between the flags, unchanged.
    EXPECT_EQ(program[0], message.bytes[6]);
    EXPECT_EQ(program[7], message.bytes[14]);
    EXPECT_EQ(program[253], message.bytes[295]);
}

TEST_F(ProgramMessageTest, HighBitOfFirstDataByteGoesToTheFirstFlag)
{
    program[0] = 0xC1;
    ASSERT_TRUE(BuildProgramMessage(program, PROGRAM_SIZE, 0, message));
    EXPECT_EQ(0x01, message.bytes[5]);
    EXPECT_EQ(0x41, message.bytes[6]);
}

TEST_F(ProgramMessageTest, ChannelGoesIntoTheLowNibbleOfByte2)
{
    ASSERT_TRUE(BuildProgramMessage(program, PROGRAM_SIZE, 9, message));  // "10"
    EXPECT_EQ(0x39, message.bytes[2]);
    ASSERT_TRUE(BuildProgramMessage(program, PROGRAM_SIZE, 15, message));  // "16"
    EXPECT_EQ(0x3F, message.bytes[2]);
}

TEST_F(ProgramMessageTest, NoChannelSelectedUsesChannel01)
{
    ASSERT_TRUE(BuildProgramMessage(program, PROGRAM_SIZE, -1, message));
    EXPECT_EQ(0x30, message.bytes[2]);
    ASSERT_TRUE(BuildProgramMessage(program, PROGRAM_SIZE, 16, message));
    EXPECT_EQ(0x30, message.bytes[2]);
}

TEST_F(ProgramMessageTest, LargestProgramFitsTheBufferAndOneMoreByteDoesNot)
{
    unsigned char big[891] = {};
    ASSERT_TRUE(BuildProgramMessage(big, 890, 0, message));
    EXPECT_EQ(1024u, message.length);
    EXPECT_FALSE(BuildProgramMessage(big, 891, 0, message));
    EXPECT_EQ(0u, message.length);
}

}  // namespace
