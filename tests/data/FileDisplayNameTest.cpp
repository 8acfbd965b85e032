#include "FileDisplayName.h"

#include <gtest/gtest.h>

// The one rule for the "File" column and for messages about a file, shared by the window and
// veltrix-cli.
TEST(FileDisplayName, OneFileLosesFolderAndExtension)
{
    EXPECT_EQ(DisplayNameForFile("/music/Factory.syx", true), "Factory");
    EXPECT_EQ(DisplayNameForFile("Factory.syx", true), "Factory");
    EXPECT_EQ(DisplayNameForFile("bank.2.syx", true), "bank");
    EXPECT_EQ(DisplayNameForFile("/a.b/NoDot", true), "NoDot");
}

TEST(FileDisplayName, SeveralFilesAreCutBeforeTheFirstDot)
{
    EXPECT_EQ(DisplayNameForFile("/music/Factory.syx", false), "Factory");
    EXPECT_EQ(DisplayNameForFile("bank.2.syx", false), "bank");
    EXPECT_EQ(DisplayNameForFile("NoDot", false), "NoDot");
}

TEST(FileDisplayName, ALeadingDotStays)
{
    EXPECT_EQ(DisplayNameForFile("/x/.hidden.syx", false), ".hidden");
    EXPECT_EQ(DisplayNameForFile("/x/.hidden.syx", true), ".hidden");
    // The only dot leads the name: with one file chosen it starts the "extension".
    EXPECT_EQ(DisplayNameForFile(".syx", true), "");
    EXPECT_EQ(DisplayNameForFile(".syx", false), ".syx");
}

TEST(FileDisplayName, NonAsciiNamesKeepTheirBytes)
{
    EXPECT_EQ(DisplayNameForFile("/m/Pads \xC3\xA9t\xC3\xA9.syx", true), "Pads \xC3\xA9t\xC3\xA9");
}
