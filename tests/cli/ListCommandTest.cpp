#include "CliTestSupport.h"
#include "ListCommand.h"
#include "SyxFormat.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const std::string REALDATA = VELTRIX_REALDATA_DIR;
const std::string EXAMPLES = VELTRIX_EXAMPLES_DIR;

struct CListRun
{
    int exitCode;
    std::vector<std::string> lines;
    std::string errors;
};

CListRun List(const std::vector<std::string>& files)
{
    std::ostringstream out, err;
    const int code = RunListCommand(files, out, err);
    return {code, Lines(out.str()), err.str()};
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

bool HasRealData()
{
    return Exists(REALDATA + "/ms2000-bank-0x4C.syx");
}

}  // namespace

TEST(ListCommand, ARealBankIsListedInDumpOrderWithTheGridsTexts)
{
    if (!HasRealData())
        GTEST_SKIP() << "the real dumps are not beside the checkout: " << REALDATA;
    const CListRun run = List({REALDATA + "/ms2000-bank-0x4C.syx"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, "");
    ASSERT_EQ(run.lines.size(), 128u);
    std::vector<std::string> modes;
    for (size_t i = 0; i < run.lines.size(); ++i) {
        const std::vector<std::string> f = Fields(run.lines[i]);
        ASSERT_EQ(f.size(), 5u) << run.lines[i];
        // One file chosen: the name without folder and extension, as Open derives it.
        EXPECT_EQ(f[0], "ms2000-bank-0x4C");
        EXPECT_EQ(f[1], std::string(1, static_cast<char>('A' + i / 16)));
        char number[4];
        std::snprintf(number, sizeof number, "%03zu", i % 16 + 1);
        EXPECT_EQ(f[2], number);
        EXPECT_TRUE(f[3].empty() || f[3].back() != ' ') << "no trailing blanks: " << f[3];
        modes.push_back(f[4]);
    }
    EXPECT_EQ(Fields(run.lines.back())[3], "INIT Program");
    for (const char* mode : {"Single", "Split", "Dual", "Vocoder"})
        EXPECT_NE(std::find(modes.begin(), modes.end(), mode), modes.end()) << mode;
}

TEST(ListCommand, SeveralFilesKeepFileOrderAndTheirOwnNames)
{
    if (!HasRealData())
        GTEST_SKIP() << "the real dumps are not beside the checkout: " << REALDATA;
    const CListRun run = List({EXAMPLES + "/Warm-Pad.syx", REALDATA + "/mk-all-data-0x50.syx",
                               REALDATA + "/mk-current-A11-0x40.syx", EXAMPLES + "/Demo-Bank.syx"});
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), 1u + 128u + 1u + 128u);
    EXPECT_EQ(Fields(run.lines[0])[0], "Warm-Pad");
    EXPECT_EQ(Fields(run.lines[0])[1] + Fields(run.lines[0])[2], "A001");
    EXPECT_EQ(Fields(run.lines[1])[0], "mk-all-data-0x50");
    EXPECT_EQ(Fields(run.lines[128])[2], "016");
    // Every name of this dump is twelve blanks: an empty field, still five fields.
    EXPECT_EQ(Fields(run.lines[128]), (std::vector<std::string>{"mk-all-data-0x50", "H", "016", "", Fields(run.lines[128])[4]}));
    EXPECT_EQ(Fields(run.lines[129])[0], "mk-current-A11-0x40");
    EXPECT_EQ(Fields(run.lines[130])[0], "Demo-Bank");
    EXPECT_EQ(Fields(run.lines.back())[1] + Fields(run.lines.back())[2], "H016");
}

TEST(ListCommand, UnreadableFilesAreNamedAndTheOthersStillListed)
{
    if (!HasRealData())
        GTEST_SKIP() << "the real dumps are not beside the checkout: " << REALDATA;
    const CListRun run = List({REALDATA + "/mk-init-0x40.syx", REALDATA + "/mk-global-0x51.syx",
                               "/nowhere/lost.bank.syx", REALDATA + "/ms2000-factory-zeropad-noF7.syx",
                               EXAMPLES + "/Vox-Robot.syx"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors,
              "Failed to parse Syx file mk-global-0x51. File is not a valid Korg Syx File\n"
              "Failed to parse Syx file lost. Cannot open file\n"
              "Failed to parse Syx file ms2000-factory-zeropad-noF7. Failed to read file, patch data appears to be "
              "corrupted\n");
    ASSERT_EQ(run.lines.size(), 2u);
    EXPECT_EQ(Fields(run.lines[0])[0], "mk-init-0x40");
    EXPECT_EQ(Fields(run.lines[1])[0], "Vox-Robot");
}

TEST(ListCommand, OneUnreadableFileIsNamedWithoutItsExtension)
{
    const CListRun run = List({"/nowhere/Factory.syx"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors, "Failed to parse Syx file Factory. Cannot open file\n");
    EXPECT_TRUE(run.lines.empty());
}

TEST(ListCommand, NamesAreLatin1AndControlBytesNeverBreakTheLine)
{
    CTempFolder folder;
    std::vector<unsigned char> program = MadeUpPrograms(1);
    const char name[12] = {'C', 'a', 'f', '\xE9', '\t', 'P', 'a', 'd', '\n', 'x', ' ', ' '};
    std::copy(name, name + 12, program.begin());
    WriteBytes(folder.File("odd.syx"), BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, program.data(), 254));

    const CListRun run = List({folder.File("odd.syx")});
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.lines.size(), 1u);
    EXPECT_EQ(run.lines[0], "odd\tA\t001\tCaf\xC3\xA9\\tPad\\nx\tSingle");
}
