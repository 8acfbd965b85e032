// The initial program that a bank started anew is made of: byte for byte what the MS2000's
// own Init gives, as its factory bank carries it in slot H16 ("INIT Program").

#include "Bank.h"
#include "InitProgram.h"
#include "ProgramParameters.h"
#include "SyxFormat.h"
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

TEST(InitProgram, EveryParameterIsInRangeAndNamedAsTheSynthesizerShowsIt)
{
    const CBank::ProgramData init = InitProgram();
    for (const CParameter* parameter : ApplicableParameters(init.data(), SynthModel::MS2000, true))
        EXPECT_TRUE(InRange(*parameter, init.data())) << SectionName(parameter->section) << " " << parameter->name;
    EXPECT_EQ(ProgramNameText(init.data()), "INIT Program");
    const struct {
        ParamSection section;
        const char* name;
        const char* shown;
    } shown[] = {
        {ParamSection::Common, "Voice Mode", "Single"}, {ParamSection::Timbre1, "OSC1 Wave", "Saw"},
        {ParamSection::Timbre1, "Filter Type", "12LPF"}, {ParamSection::Timbre1, "Cutoff", "127"},
        {ParamSection::Timbre2, "Cutoff", "127"},       {ParamSection::Common, "Arp Tempo", "120"},
    };
    for (const auto& expected : shown) {
        const CParameter* parameter = FindParameter(expected.section, expected.name);
        ASSERT_NE(parameter, nullptr) << expected.name;
        EXPECT_EQ(ShownText(*parameter, init.data()), expected.shown) << expected.name;
    }
}

TEST(InitProgram, ABankStartedAnewHoldsItInEverySlotAndSavesAsADump)
{
    const CBank bank = InitBank();
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        ASSERT_EQ(bank.GetProgram(slot), InitProgram()) << slot;
    const std::vector<unsigned char> dump = bank.BuildDump();
    std::string error;
    const std::optional<CBank> back = CBank::ReadBytes(dump.data(), dump.size(), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, bank);
    EXPECT_EQ(dump.size(), 37163u);
}

}  // namespace
