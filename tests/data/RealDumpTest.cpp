// Dumps made by real instruments, read from the shared folder next to the project.

#include "ProgramList.h"
#include "SyxProgram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

struct RealDump {
    const char* file;
    const char* error;  // empty when the file reads
    int programs;
};

const RealDump REAL_DUMPS[] = {
    {"ms2000-bank-0x4C.syx", "", 128},
    {"mk-programs-0x4C.syx", "", 128},
    {"mk-all-data-0x50.syx", "", 128},
    {"mk-current-A11-0x40.syx", "", 1},
    {"mk-init-0x40.syx", "", 1},
    {"mk-global-0x51.syx", "File is not a valid Korg Syx File", 0},
    {"ms2000-factory-zeropad-noF7.syx", "Failed to read file, patch data appears to be corrupted", 0},
    {"mk-factory-backup-truncated-0x50.syx", "Failed to read file, patch data appears to be corrupted", 0},
    {"mkS-current-0x40-model-000140.syx", "File is not a valid Korg Syx File", 0},
    {"mkS-global-and-programs-2msgs.syx", "File is not a valid Korg Syx File", 0},
    {"bad-raw8bit-bank-as-0x40.syx", "Failed to read file, patch data appears to be corrupted", 0},
};

std::string RealPath(const char* file)
{
    return std::string(VELTRIX_REALDATA_DIR) + "/" + file;
}

// The dumps live beside the project, not in it; a checkout without them skips these tests.
class RealDumps : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::error_code error;
        if (!std::filesystem::is_directory(VELTRIX_REALDATA_DIR, error))
            GTEST_SKIP() << "no real dumps at " << VELTRIX_REALDATA_DIR;
    }
};

} // namespace

TEST_F(RealDumps, EachFileReadsAsExpected)
{
    for (const RealDump& dump : REAL_DUMPS) {
        CProgramList list;
        std::string error;
        const int result = list.ReadSyxFile(RealPath(dump.file), error, dump.file);
        EXPECT_EQ(result, dump.error[0] == '\0' ? 1 : 0) << dump.file;
        EXPECT_EQ(error, dump.error) << dump.file;
        EXPECT_EQ(list.GetSize(), dump.programs) << dump.file;
    }
}

TEST_F(RealDumps, BankHoldsNamedProgramsOfEveryVoiceMode)
{
    CProgramList list;
    std::string error;
    ASSERT_EQ(list.ReadSyxFile(RealPath("ms2000-bank-0x4C.syx"), error, "bank"), 1);
    ASSERT_EQ(list.GetSize(), 128);
    EXPECT_EQ(list.GetAt(127)->GetName(), "INIT Program");
    EXPECT_EQ(list.GetAt(127)->GetBankText() + list.GetAt(127)->GetNumberText(), "H016");
    int modes[4] = {};
    for (int i = 0; i < list.GetSize(); ++i) {
        const std::string mode = list.GetAt(i)->GetVoiceModeName();
        for (int m = 0; m < 4; ++m)
            modes[m] += mode == VOICE_MODE_NAMES[m];
        EXPECT_FALSE(list.GetAt(i)->GetName().empty()) << i;
    }
    for (int m = 0; m < 4; ++m)
        EXPECT_GT(modes[m], 0) << VOICE_MODE_NAMES[m];
}

TEST_F(RealDumps, BlankNamesAndTheAllDataDumpMatchTheProgramDump)
{
    CProgramList programs;
    CProgramList allData;
    std::string error;
    ASSERT_EQ(programs.ReadSyxFile(RealPath("mk-programs-0x4C.syx"), error, "p"), 1);
    ASSERT_EQ(allData.ReadSyxFile(RealPath("mk-all-data-0x50.syx"), error, "a"), 1);
    ASSERT_EQ(programs.GetSize(), allData.GetSize());
    for (int i = 0; i < programs.GetSize(); ++i) {
        EXPECT_EQ(programs.GetAt(i)->GetName(), "") << i;
        EXPECT_EQ(0x40, programs.GetAt(i)->GetData()[16] & 0x40) << i;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(programs.GetAt(i)->GetData()), 254),
                  std::string(reinterpret_cast<const char*>(allData.GetAt(i)->GetData()), 254)) << i;
    }
}
