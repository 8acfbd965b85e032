// backup, restore and merge run whole (RunCli) on real databases in a temporary folder: what each
// prints, and the exit code of each way they can end.

#include "Cli.h"
#include "CliContext.h"
#include "CliTestSupport.h"
#include "Collection.h"
#include "SyxFormat.h"
#include "TestMidiInService.h"
#include "TestMidiOutService.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

namespace {

class MoveCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::vector<unsigned char> data = MadeUpPrograms(128);
        WriteBytes(files.File("bank.syx"),
                   BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, data.data(), static_cast<unsigned int>(data.size())));
        ASSERT_EQ(Run({"import", files.File("bank.syx")}), 0) << errText.str();
    }
    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin() + 1, {"--collection", Db()});
        outText.str("");
        errText.str("");
        return RunCli(args, context);
    }
    std::string Db() const { return data.File("c.sqlite"); }

    CTempFolder files, data;
    CTestMidiOutService out;
    CTestMidiInService in{out};
    std::ostringstream outText, errText;
    CCliContext context{out, in, outText, errText, false, std::string(), nullptr, CReceiveTimeouts(), 0,
                        "/nonexistent/never-the-default.sqlite"};
};

}  // namespace

TEST_F(MoveCommandsTest, BackupAndRestorePrintWhatTheyWroteAndPutTheCopyBack)
{
    ASSERT_EQ(Run({"backup", files.File("b.sqlite")}), 0) << errText.str();
    EXPECT_EQ(outText.str(), files.File("b.sqlite") + "\n");
    EXPECT_EQ(errText.str(), "");
    const std::vector<unsigned char> copy = ReadBytes(files.File("b.sqlite"));

    WriteBytes(files.File("late.syx"), ReadBytes(files.File("bank.syx")));
    std::vector<unsigned char> late = ReadBytes(files.File("late.syx"));
    late[100] ^= 1;
    WriteBytes(files.File("late.syx"), late);
    ASSERT_EQ(Run({"import", files.File("late.syx")}), 0);
    ASSERT_EQ(Run({"restore", files.File("b.sqlite")}), 0) << errText.str();
    const std::vector<std::string> printed = Lines(outText.str());
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].rfind(Db() + ".before-restore-", 0), 0u) << printed[0];
    EXPECT_EQ(ReadBytes(files.File("b.sqlite")), copy);
    ASSERT_EQ(Run({"sources"}), 0);
    EXPECT_EQ(Lines(outText.str()).size(), 1u);   // the late file went with the Collection set aside
    ASSERT_EQ(Run({"sources", "--collection", printed[0]}), 0);
    EXPECT_EQ(Lines(outText.str()).size(), 2u);
}

TEST_F(MoveCommandsTest, EachWayOfFailingHasItsExitCode)
{
    ASSERT_EQ(Run({"backup", files.File("good.sqlite")}), 0) << errText.str();
    WriteBytes(files.File("notes.txt"), std::vector<unsigned char>(3000, 'x'));
    std::atomic<bool> stop{true};

    const struct {
        const char* what;
        std::vector<std::string> args;
        bool interrupted;   // Ctrl+C came before
        bool keepOpen;      // another connection has the Collection open
        int exitCode;
        const char* says;
    } cases[] = {
        {"backup onto the Collection", {"backup", Db() + "-wal"}, false, false, 2, "onto the Collection itself"},
        {"backup into a missing folder", {"backup", files.File("none/b.sqlite")}, false, false, 1, "Cannot write"},
        {"backup without a Collection", {"backup", files.File("b.sqlite"), "--collection", files.File("no.sqlite")},
         false, false, 7, "There is no Collection"},
        {"backup stopped", {"backup", files.File("b.sqlite")}, true, false, 130, "Stopped: no backup was written"},
        {"backup without a file", {"backup"}, false, false, 2, "backup needs one file"},
        {"restore of a text file", {"restore", files.File("notes.txt")}, false, false, 1, "is not a Collection"},
        {"restore of a missing file", {"restore", files.File("none.sqlite")}, false, false, 1, "does not exist"},
        {"restore while the Collection is open", {"restore", files.File("good.sqlite")}, false, true, 7,
         "is open in another program"},
        {"restore stopped", {"restore", files.File("good.sqlite")}, true, false, 130, "the Collection is as it was"},
        {"restore of two files", {"restore", files.File("a"), files.File("b")}, false, false, 2, "restore needs one"},
        {"merge of a text file", {"merge", files.File("notes.txt")}, false, false, 1, "is not a Collection"},
        {"merge stopped", {"merge", files.File("good.sqlite")}, true, false, 130, "merge again to take in the rest"},
        {"merge of nothing", {"merge"}, false, false, 2, "merge needs one file, another Collection"},
    };
    const std::vector<unsigned char> before = ReadBytes(Db());
    for (const auto& c : cases) {
        std::string error, notice;
        std::unique_ptr<CCollection> open = c.keepOpen ? CCollection::Open(Db(), error, notice) : nullptr;
        context.cancel = c.interrupted ? &stop : nullptr;
        EXPECT_EQ(Run(c.args), c.exitCode) << c.what << ": " << errText.str();
        EXPECT_NE(errText.str().find(c.says), std::string::npos) << c.what << ": " << errText.str();
        EXPECT_EQ(outText.str(), "") << c.what;
        open.reset();
        EXPECT_TRUE(ReadBytes(Db()) == before) << c.what;
        EXPECT_FALSE(Exists(files.File("b.sqlite"))) << c.what;
    }
}

TEST_F(MoveCommandsTest, MergePrintsWhatItAddedAndNamesTheListsKeptUnderAnotherName)
{
    std::vector<unsigned char> data = MadeUpPrograms(128);
    data[300] ^= 1;   // another sound in slot 2
    WriteBytes(files.File("theirs.syx"),
               BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, data.data(), static_cast<unsigned int>(data.size())));
    std::string error, notice;
    {
        auto theirs = CCollection::Open(files.File("theirs.sqlite"), error, notice);
        ASSERT_TRUE(theirs) << error;
        CImportResult result;
        ASSERT_TRUE(theirs->ImportFile(files.File("theirs.syx"), result, error)) << error;
        ASSERT_TRUE(theirs->SaveList("Live", {theirs->SourcePrograms(result.source)[1]}, error)) << error;
        auto mine = CCollection::Open(Db(), error, notice);
        ASSERT_TRUE(mine && mine->SaveList("Live", {mine->SourcePrograms(mine->Sources()[0].id)[0]}, error)) << error;
    }
    ASSERT_EQ(Run({"merge", files.File("theirs.sqlite")}), 0) << errText.str();
    EXPECT_EQ(outText.str(), "1\t1\t1\n");
    EXPECT_EQ(errText.str(), "The list \"Live\" is in both; the other's is kept as \"Live (merged)\"\n");
    ASSERT_EQ(Run({"merge", files.File("theirs.sqlite")}), 0) << errText.str();
    EXPECT_EQ(outText.str(), "0\t0\t0\n");
    EXPECT_EQ(errText.str(), "");
}
