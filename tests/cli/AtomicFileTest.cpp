#include "AtomicFile.h"
#include "CliTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(AtomicFile, WritesTheWholeFileAndLeavesNothingElse)
{
    CTempFolder folder;
    CAtomicFileWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Begin(folder.File("backup.syx"), error)) << error;
    EXPECT_FALSE(Exists(folder.File("backup.syx"))) << "nothing at the target before Commit";
    const std::vector<unsigned char> bytes(37163, 0x42);
    ASSERT_TRUE(writer.Commit(bytes, error)) << error;
    EXPECT_EQ(ReadBytes(folder.File("backup.syx")), bytes);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"backup.syx"});
}

TEST(AtomicFile, AnExistingFileIsUntouchedUntilCommitAndWhenAbandoned)
{
    CTempFolder folder;
    const std::string target = folder.File("backup.syx");
    WriteBytes(target, {1, 2, 3});
    chmod(target.c_str(), 0640);
    {
        CAtomicFileWriter writer;
        std::string error;
        ASSERT_TRUE(writer.Begin(target, error));
        EXPECT_EQ(folder.Names().size(), 2u);
        EXPECT_EQ(ReadBytes(target), (std::vector<unsigned char>{1, 2, 3}));
    }  // dropped without Commit, as after a failed receive
    EXPECT_EQ(ReadBytes(target), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"backup.syx"});

    CAtomicFileWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Begin(target, error));
    ASSERT_TRUE(writer.Commit({9}, error));
    EXPECT_EQ(ReadBytes(target), std::vector<unsigned char>{9});
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
}

TEST(AtomicFile, ANewFileGetsTheUsualPermissions)
{
    CTempFolder folder;
    const mode_t old = umask(022);
    CAtomicFileWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Begin(folder.File("new.syx"), error));
    ASSERT_TRUE(writer.Commit({1}, error));
    umask(old);
    struct stat info;
    ASSERT_EQ(stat(folder.File("new.syx").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(AtomicFile, AnUnwritablePlaceIsFoundAtBegin)
{
    CTempFolder folder;
    CAtomicFileWriter writer;
    std::string error;
    EXPECT_FALSE(writer.Begin(folder.File("no/such/folder/x.syx"), error));
    EXPECT_EQ(error, "Cannot write " + folder.File("no/such/folder/x.syx") + ": No such file or directory");
    EXPECT_FALSE(writer.Begin(folder.Path(), error));
    EXPECT_EQ(error, "Cannot write " + folder.Path() + ": it is a folder");
    EXPECT_TRUE(folder.Names().empty());
}
