// show, compare and diff --params, run whole (RunCli), on files in a temporary folder and a
// real database.
#include "Cli.h"
#include "CliContext.h"
#include "CliTestSupport.h"
#include "ProgramParameters.h"
#include "SyxFormat.h"
#include "TestMidiInService.h"
#include "TestMidiOutService.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

const std::string REALDATA = VELTRIX_REALDATA_DIR;

using Program = std::vector<unsigned char>;

const CParameter& Param(ParamSection section, const char* name)
{
    return *FindParameter(section, name);
}

void Set(Program& program, ParamSection section, const char* name, int value)
{
    ASSERT_TRUE(SetValue(Param(section, name), program.data(), value)) << name;
}

std::string Shown(const Program& program, ParamSection section, const char* name)
{
    return std::string(ShownText(Param(section, name), program.data()));
}

std::vector<unsigned char> OneProgramDump(const Program& program)
{
    return BuildDumpMessage(FUNC_CURRENT_PROGRAM, 0, program.data(), 254);
}

std::vector<unsigned char> BankDump(const std::vector<Program>& programs)
{
    std::vector<unsigned char> data;
    for (const Program& program : programs)
        data.insert(data.end(), program.begin(), program.end());
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, data.data(), static_cast<unsigned int>(data.size()));
}

std::vector<Program> MadeUpBank()
{
    const std::vector<unsigned char> data = MadeUpPrograms(128);
    std::vector<Program> programs;
    for (size_t at = 0; at < data.size(); at += 254)
        programs.emplace_back(data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + 254));
    return programs;
}

class ParameterCommandsTest : public ::testing::Test
{
protected:
    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin() + 1, {"--collection", data.File("c.sqlite")});
        outText.str("");
        errText.str("");
        return RunCli(args, context);
    }
    std::vector<std::string> OutLines() const { return Lines(outText.str()); }

    CTempFolder files, data;
    CTestMidiOutService out;
    CTestMidiInService in{out};
    std::ostringstream outText, errText;
    CCliContext context{out, in, outText, errText, false, files.File("Veltrix.conf"), nullptr, CReceiveTimeouts(), 0,
                        "/nonexistent/never-the-default.sqlite"};
};

}  // namespace

// Every program of the real 128-program dumps shown as JSON: one object per parameter that
// applies, each with exactly the fields in order, every value in range.
TEST_F(ParameterCommandsTest, ShowJsonOnTheRealBanksGivesEveryParameterInRange)
{
    if (!std::filesystem::is_directory(REALDATA))
        GTEST_SKIP() << "no real dumps at " << REALDATA;
    const std::regex object(R"re(^ \{"section": "(Common|Timbre 1|Timbre 2|Vocoder)", "name": "[^"]+", )re"
                            R"re("byte": \d+, "bits": \[\d+, \d+\], "stored": (\d+|\[(\d+, ){11}\d+\]), )re"
                            R"re("shown": "([^"\\]|\\.)*", "inRange": (true|false)\},?$)re");
    for (const char* file : {"ms2000-bank-0x4C.syx", "mk-programs-0x4C.syx", "mk-all-data-0x50.syx"}) {
        for (int slot = 0; slot < 128; ++slot) {
            const std::string name = std::string(1, static_cast<char>('A' + slot / 16)) + std::to_string(slot % 16 + 1);
            ASSERT_EQ(Run({"show", REALDATA + "/" + file, "--slot", name, "--json"}), 0) << errText.str();
            const std::vector<std::string> lines = OutLines();
            ASSERT_GT(lines.size(), 2u);
            EXPECT_EQ(lines.front(), "[");
            EXPECT_EQ(lines.back(), "]");
            EXPECT_EQ(outText.str().find("\"inRange\": false"), std::string::npos) << file << " " << name;
            if (slot % 16 != 0)
                continue;
            for (size_t i = 1; i + 1 < lines.size(); ++i)
                EXPECT_TRUE(std::regex_match(lines[i], object)) << lines[i];
        }
    }
    ASSERT_EQ(Run({"show", REALDATA + "/ms2000-bank-0x4C.syx", "--slot", "A01", "--json"}), 0);
    for (const char* line :
         {R"( {"section": "Common", "name": "Name", "byte": 0, "bits": [7, 0], "stored": [83, 116, 97, 98, 32, 83, 97, )"
          R"(119, 32, 32, 32, 32], "shown": "Stab Saw", "inRange": true},)",
          R"( {"section": "Common", "name": "Arp Tempo", "byte": 30, "bits": [15, 0], "stored": 140, "shown": "140", )"
          R"("inRange": true},)",
          R"( {"section": "Timbre 1", "name": "Cutoff", "byte": 58, "bits": [7, 0], "stored": 33, "shown": "33", )"
          R"("inRange": true},)"})
        EXPECT_NE(outText.str().find(std::string(line) + "\n"), std::string::npos) << line;
    EXPECT_EQ(outText.str().find("Timbre 2"), std::string::npos) << "a Single program's timbre 2";
    ASSERT_EQ(Run({"show", REALDATA + "/ms2000-bank-0x4C.syx", "--slot", "A01", "--all"}), 0);
    EXPECT_NE(outText.str().find("Timbre 2\tCutoff\t"), std::string::npos);
}

TEST_F(ParameterCommandsTest, CompareNamesExactlyTheParametersThatDiffer)
{
    const std::vector<Program> bank = MadeUpBank();
    const Program& before = bank[0];
    Program after = before;
    Set(after, ParamSection::Timbre1, "Cutoff", 100);
    Set(after, ParamSection::Common, "Delay Type", 2);
    Set(after, ParamSection::Timbre1, "Filter Type", 3);
    WriteBytes(files.File("before.syx"), OneProgramDump(before));
    WriteBytes(files.File("after.syx"), OneProgramDump(after));
    std::vector<Program> changedBank = bank;
    changedBank[4] = after;
    WriteBytes(files.File("bank.syx"), BankDump(changedBank));
    const std::vector<std::string> expected = {
        "Common\tDelay Type\t" + Shown(before, ParamSection::Common, "Delay Type") + "\tL/R Delay",
        "Timbre 1\tFilter Type\t" + Shown(before, ParamSection::Timbre1, "Filter Type") + "\t12HPF",
        "Timbre 1\tCutoff\t" + Shown(before, ParamSection::Timbre1, "Cutoff") + "\t100",
    };

    EXPECT_EQ(Run({"compare", files.File("before.syx"), files.File("after.syx")}), 1) << errText.str();
    EXPECT_EQ(OutLines(), expected);
    EXPECT_EQ(Run({"compare", files.File("before.syx"), files.File("bank.syx") + ":A05"}), 1) << errText.str();
    EXPECT_EQ(OutLines(), expected);
    ASSERT_EQ(Run({"import", files.File("before.syx"), files.File("after.syx")}), 0);
    EXPECT_EQ(Run({"compare", "id:1", "id:2"}), 1) << errText.str();
    EXPECT_EQ(OutLines(), expected);

    EXPECT_EQ(Run({"compare", files.File("after.syx"), files.File("bank.syx") + ":a5"}), 0);
    EXPECT_EQ(outText.str(), "");
    EXPECT_EQ(errText.str(), "");

    EXPECT_EQ(Run({"compare", files.File("before.syx"), files.File("after.syx"), "--json"}), 1);
    const std::vector<std::string> json = OutLines();
    ASSERT_EQ(json.size(), 5u);
    EXPECT_EQ(json[3], R"( {"section": "Timbre 1", "name": "Cutoff", "byte": 58, "bits": [7, 0], "firstStored": )" +
                           std::to_string(before[58]) + R"(, "secondStored": 100, "firstShown": ")" +
                           Shown(before, ParamSection::Timbre1, "Cutoff") + R"(", "secondShown": "100", )" +
                           R"("firstInRange": )" + (before[58] < 128 ? "true" : "false") +
                           R"(, "secondInRange": true})");

    // Another voice mode: what both have is compared, and the difference is told.
    Program dual = before;
    Set(dual, ParamSection::Common, "Voice Mode", 2);
    WriteBytes(files.File("dual.syx"), OneProgramDump(dual));
    EXPECT_EQ(Run({"compare", files.File("before.syx"), files.File("dual.syx")}), 1);
    EXPECT_EQ(OutLines(), std::vector<std::string>{"Common\tVoice Mode\tSingle\tDual"});
    EXPECT_NE(errText.str().find("The voice modes differ (Single and Dual)"), std::string::npos);
}

TEST_F(ParameterCommandsTest, ProgramsThatCannotBeFoundAreUsageErrorsForCompare)
{
    WriteBytes(files.File("bank.syx"), BankDump(MadeUpBank()));
    WriteBytes(files.File("one.syx"), OneProgramDump(MadeUpBank()[3]));
    WriteBytes(files.File("broken.syx"), {0xF0, 0x42, 0x30, 0x58, 0x40, 0x01, 0xF7});
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string error;
    } CASES[] = {
        {{"show", files.File("missing.syx")}, 1, "Failed to parse Syx file missing."},
        {{"show", files.File("broken.syx")}, 1, "Failed to parse Syx file broken."},
        {{"show", files.File("bank.syx")}, 2, "holds 128 programs: say which, with --slot A05"},
        {{"show", files.File("one.syx"), "--slot", "A01"}, 2, "holds one program"},
        {{"show", "--id", "99"}, 2, "No program has the ID 99"},
        {{"compare", files.File("missing.syx"), files.File("one.syx")}, 2, "Failed to parse Syx file missing."},
        {{"compare", files.File("one.syx"), files.File("bank.syx")}, 2, "as in " + files.File("bank.syx") + ":A05"},
        {{"compare", files.File("one.syx"), "id:x"}, 2, "\"id:x\" is not a program ID"},
        {{"compare", "id:5", files.File("one.syx")}, 2, "No program has the ID 5"},
    };
    for (const auto& c : CASES) {
        EXPECT_EQ(Run(c.args), c.exitCode) << c.error;
        EXPECT_NE(errText.str().find(c.error), std::string::npos) << errText.str();
        EXPECT_EQ(outText.str(), "");
    }
}

TEST_F(ParameterCommandsTest, DiffWithParamsListsEachChangedSlotsParametersUnderIt)
{
    const std::vector<Program> before = MadeUpBank();
    std::vector<Program> after = before;
    std::copy_n("Renamed     ", 12, after[0].begin());
    Set(after[17], ParamSection::Timbre1, "Cutoff", 100);
    Set(after[17], ParamSection::Timbre2, "Amp Panpot", 44);
    WriteBytes(files.File("before.syx"), BankDump(before));
    WriteBytes(files.File("after.syx"), BankDump(after));
    ASSERT_EQ(Run({"import", files.File("before.syx"), files.File("after.syx")}), 0);
    EXPECT_EQ(Run({"diff", "before.syx", "after.syx", "--params"}), 0) << errText.str();
    EXPECT_EQ(OutLines(), (std::vector<std::string>{
                              "A\t001\trenamed\tProg 001\tRenamed",
                              "\tCommon\tName\tProg 001\tRenamed",
                              "B\t002\tchanged\tProg 018\tProg 018",
                              "\tTimbre 1\tCutoff\t" + Shown(before[17], ParamSection::Timbre1, "Cutoff") + "\t100",
                              "\tTimbre 2\tAmp Panpot\t" + Shown(before[17], ParamSection::Timbre2, "Amp Panpot") +
                                  "\tL20",
                          }));
    EXPECT_EQ(Run({"diff", "before.syx", "after.syx"}), 0);
    EXPECT_EQ(OutLines().size(), 2u);
}

// The instrument comes from --model, else from the window's setting.
TEST_F(ParameterCommandsTest, TheMicroKorgLacksTheModSequencerAndItsMissingSettings)
{
    WriteBytes(files.File("one.syx"), OneProgramDump(MadeUpBank()[0]));
    const auto show = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"show", files.File("one.syx")});
        EXPECT_EQ(Run(args), 0) << errText.str();
        return outText.str();
    };
    const std::string ms2000 = show({});
    EXPECT_NE(ms2000.find("Timbre 1\tSEQ1 Step 1\t"), std::string::npos);
    EXPECT_NE(ms2000.find("Common\tSplit Point\t"), std::string::npos);
    const std::string microKorg = show({"--model", "microkorg"});
    for (const char* lacking : {"\tSEQ", "\tSplit Point\t", "\tScale Type\t", "\tKey Priority\t", "Velocity Sense"})
        EXPECT_EQ(microKorg.find(lacking), std::string::npos) << lacking;
    EXPECT_NE(microKorg.find("Timbre 1\tCutoff\t"), std::string::npos);

    std::ofstream(files.File("Veltrix.conf")) << "[midi]\nport=UM-ONE\n\n[editor]\nmodel=microkorg\n";
    EXPECT_EQ(show({}), microKorg);
    EXPECT_EQ(show({"--model=MS2000"}), ms2000);
    std::ofstream(files.File("Veltrix.conf")) << "[editor]\nmodel=ms2000r\n";
    EXPECT_EQ(show({}), ms2000);
    EXPECT_NE(errText.str().find("[editor] model is \"ms2000r\", neither ms2000 nor microkorg"), std::string::npos);
}
