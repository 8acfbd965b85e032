// The initial program that a bank started anew is made of: byte for byte what the MS2000's
// own Init gives, as its factory bank carries it in slot H16 ("INIT Program").

#include "Bank.h"
#include "InitProgram.h"
#include "ProgramParameters.h"
#include "TestSupport.h"

#include <filesystem>
#include <string>

namespace {

TEST(InitProgram, IsTheSynthesizersOwnInitProgram)
{
    const std::string path = std::string(VELTRIX_REALDATA_DIR) + "/ms2000-bank-0x4C.syx";
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        GTEST_SKIP() << "no real dump at " << path;
    std::string text;
    const std::optional<CBank> factory = CBank::ReadFile(path, text);
    ASSERT_TRUE(factory) << text;
    const CBank::ProgramData& h16 = factory->GetProgram(BANK_SLOT_COUNT - 1);
    ASSERT_EQ(std::string(h16.begin(), h16.begin() + 12), "INIT Program");

    const CBank::ProgramData made = InitProgram();
    for (std::size_t i = 0; i < made.size(); ++i)
        EXPECT_EQ(static_cast<int>(made[i]), static_cast<int>(h16[i])) << "byte " << i;
}

TEST(InitProgram, EveryParameterIsInRange)
{
    const CBank::ProgramData init = InitProgram();
    for (const CParameter* parameter : ApplicableParameters(init.data(), SynthModel::MS2000, true))
        EXPECT_TRUE(InRange(*parameter, init.data())) << SectionName(parameter->section) << " " << parameter->name;
}

}  // namespace
