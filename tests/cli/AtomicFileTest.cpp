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

TEST(AtomicFile, NamesAsLongAsTheFileSystemAllowsAreWritten)
{
    CTempFolder folder;
    for (const size_t length : {200u, 248u, 250u, 255u}) {
        const std::string name = std::string(length - 4, 'n') + ".syx";
        CAtomicFileWriter writer;
        std::string error;
        ASSERT_TRUE(writer.Begin(folder.File(name), error)) << length << ": " << error;
        ASSERT_TRUE(writer.Commit({static_cast<unsigned char>(length)}, error)) << length << ": " << error;
        EXPECT_EQ(ReadBytes(folder.File(name)), std::vector<unsigned char>{static_cast<unsigned char>(length)});
        unlink(folder.File(name).c_str());
        EXPECT_TRUE(folder.Names().empty()) << length;
    }
}

// As QSaveFile does: the file a link names is replaced, and the link stays a link.
TEST(AtomicFile, ALinkIsFollowedToTheFileItNames)
{
    struct Case {
        const char* what;
        std::string linkTarget;   // as stored in the link
        std::string realFile;     // the file that must get the bytes, in the folder
        bool existing;
    };
    const Case cases[] = {
        {"a link to a file beside it", "real.syx", "real.syx", true},
        {"a link to a file in a sub-folder", "sub/real.syx", "sub/real.syx", true},
        {"a link to a file not yet there", "new.syx", "new.syx", false},
        {"a link to a link", "hop.syx", "real.syx", true},
    };
    for (const Case& c : cases) {
        CTempFolder folder;
        mkdir(folder.File("sub").c_str(), 0755);
        symlink("real.syx", folder.File("hop.syx").c_str());
        if (c.existing) {
            WriteBytes(folder.File(c.realFile), {1, 2, 3});
            chmod(folder.File(c.realFile).c_str(), 0600);
        }
        const std::string link = folder.File("backup.syx");
        ASSERT_EQ(symlink(c.linkTarget.c_str(), link.c_str()), 0) << c.what;

        CAtomicFileWriter writer;
        std::string error;
        ASSERT_TRUE(writer.Begin(link, error)) << c.what << ": " << error;
        ASSERT_TRUE(writer.Commit({7, 7}, error)) << c.what << ": " << error;

        struct stat info;
        ASSERT_EQ(lstat(link.c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode)) << c.what << ": the link stays a link";
        EXPECT_EQ(ReadBytes(folder.File(c.realFile)), (std::vector<unsigned char>{7, 7})) << c.what;
        ASSERT_EQ(stat(folder.File(c.realFile).c_str(), &info), 0);
        if (c.existing) {
            EXPECT_EQ(info.st_mode & 0777, 0600u) << c.what << ": the file keeps its permissions";
        }
        unlink(folder.File("sub/real.syx").c_str());
        unlink(folder.File("sub/new.syx").c_str());
        rmdir(folder.File("sub").c_str());
    }
}
