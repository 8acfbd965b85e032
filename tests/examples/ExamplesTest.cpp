// The demo files in examples/ are what the generator makes, and they read as intended.

#include "DemoPrograms.h"
#include "ProgramList.h"
#include "SyxProgram.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

namespace {

std::vector<unsigned char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Examples, CheckedInFilesAreWhatTheGeneratorMakes)
{
    for (const CDemoFile& file : MakeDemoFiles()) {
        const std::string path = std::string(VELTRIX_EXAMPLES_DIR) + "/" + file.fileName;
        EXPECT_EQ(ReadFile(path), file.bytes) << file.fileName << ": run scripts/make-examples.sh";
    }
}

TEST(Examples, DemoBankHoldsEveryVoiceModeAndOnePlaceholder)
{
    CProgramList list;
    std::string error;
    ASSERT_EQ(list.ReadSyxFile(std::string(VELTRIX_EXAMPLES_DIR) + "/Demo-Bank.syx", error, "Demo-Bank"), 1) << error;
    ASSERT_EQ(list.GetSize(), 128);
    std::set<std::string> modes;
    int placeholders = 0;
    for (int i = 0; i < list.GetSize(); ++i) {
        modes.insert(list.GetAt(i)->GetVoiceModeName());
        placeholders += list.GetAt(i)->GetName() == "Init Sound";
    }
    EXPECT_EQ(modes, (std::set<std::string>{"Single", "Split", "Dual", "Vocoder"}));
    EXPECT_EQ(placeholders, 1);
    EXPECT_EQ(list.GetAt(127)->GetName(), "Init Sound");

    for (const char* name : {"Demo-AllData.syx", "Warm-Pad.syx", "Vox-Robot.syx"})
        EXPECT_EQ(list.ReadSyxFile(std::string(VELTRIX_EXAMPLES_DIR) + "/" + name, error, name), 1) << name;
    EXPECT_EQ(list.GetSize(), 128 + 128 + 2);
}

}  // namespace
