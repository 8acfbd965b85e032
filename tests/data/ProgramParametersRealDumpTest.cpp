// The parameter model on dumps made by real instruments, read from the shared folder next
// to the project.

#include "ProgramList.h"
#include "ProgramParameters.h"
#include "SyxProgram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

class RealDumpParameters : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::error_code error;
        if (!std::filesystem::is_directory(VELTRIX_REALDATA_DIR, error))
            GTEST_SKIP() << "no real dumps at " << VELTRIX_REALDATA_DIR;
    }

    static std::vector<std::vector<unsigned char>> Programs(const char* file)
    {
        CProgramList list;
        std::string error;
        EXPECT_EQ(list.ReadSyxFile(std::string(VELTRIX_REALDATA_DIR) + "/" + file, error, file), 1) << error;
        std::vector<std::vector<unsigned char>> programs;
        for (int i = 0; i < list.GetSize(); ++i)
            programs.emplace_back(list.GetAt(i)->GetData(), list.GetAt(i)->GetData() + list.GetAt(i)->GetLength());
        return programs;
    }
};

// Every program that reads well, with every parameter the layout of its voice mode has.
const struct {
    const char* file;
    int programs;
    int values;  // the name's 12 characters counted one by one
} WELL_FORMED[] = {
    {"ms2000-bank-0x4C.syx", 128, 35996},
    {"mk-programs-0x4C.syx", 128, 34336},
    {"mk-all-data-0x50.syx", 128, 34336},
    {"mk-current-A11-0x40.syx", 1, 289},
    {"mk-init-0x40.syx", 1, 289},
};

}  // namespace

TEST_F(RealDumpParameters, EveryParameterOfEveryProgramIsInRange)
{
    for (const auto& dump : WELL_FORMED) {
        const auto programs = Programs(dump.file);
        ASSERT_EQ(static_cast<int>(programs.size()), dump.programs) << dump.file;
        int values = 0;
        for (size_t i = 0; i < programs.size(); ++i) {
            const unsigned char* data = programs[i].data();
            for (const CParameter* p : ApplicableParameters(data, SynthModel::MS2000, true)) {
                values += p->display == ParamDisplay::Text ? 12 : 1;
                EXPECT_TRUE(InRange(*p, data)) << dump.file << " [" << i << "] " << SectionName(p->section) << " "
                                               << p->name << " = " << ShownText(*p, data);
            }
        }
        EXPECT_EQ(values, dump.values) << dump.file;
    }
}

TEST_F(RealDumpParameters, SpotValuesAreShownAsTheSynthesizerShowsThem)
{
    const struct {
        const char* file;
        int program;
        ParamSection section;
        const char* name;
        const char* shown;
    } SPOTS[] = {
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Common, "Name", "Stab Saw"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Common, "Voice Mode", "Single"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Common, "Timbre Voice", "2+2"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Common, "EQ Hi Freq", "8.00"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Common, "EQ Hi Gain", "+5"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Common, "Arp Tempo", "140"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Timbre1, "MIDI Ch", "GLB"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Timbre1, "Tune", "-3"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Timbre1, "Cutoff", "33"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Timbre1, "Filter EG1 Int", "+63"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Timbre1, "Amp KBD Track", "-20"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Timbre1, "LFO1 Key Sync", "Voice"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Timbre1, "LFO1 Wave", "S/H"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Timbre1, "Patch 1 Source", "EG2"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Timbre1, "Patch 1 Destination", "Amp"},
        {"ms2000-bank-0x4C.syx", 0, ParamSection::Timbre1, "Patch 1 Intensity", "+63"},
        {"ms2000-bank-0x4C.syx", 2, ParamSection::Timbre1, "SEQ On/Off", "On"},
        {"ms2000-bank-0x4C.syx", 2, ParamSection::Timbre1, "SEQ Run Mode", "Loop"},
        {"ms2000-bank-0x4C.syx", 2, ParamSection::Timbre1, "SEQ Resolution", "1/48"},
        {"ms2000-bank-0x4C.syx", 2, ParamSection::Timbre1, "SEQ1 Knob", "LFO1Freq"},
        {"ms2000-bank-0x4C.syx", 2, ParamSection::Timbre1, "SEQ1 Motion Type", "Smooth"},
        {"ms2000-bank-0x4C.syx", 2, ParamSection::Timbre1, "SEQ1 Step 1", "-14"},
        {"ms2000-bank-0x4C.syx", 2, ParamSection::Timbre1, "SEQ2 Knob", "Patch4Int"},
        {"ms2000-bank-0x4C.syx", 27, ParamSection::Common, "Voice Mode", "Dual"},
        {"ms2000-bank-0x4C.syx", 27, ParamSection::Timbre1, "Tune", "+2"},
        {"ms2000-bank-0x4C.syx", 27, ParamSection::Timbre2, "Tune", "-2"},
        {"ms2000-bank-0x4C.syx", 27, ParamSection::Timbre1, "Amp Panpot", "R20"},
        {"ms2000-bank-0x4C.syx", 27, ParamSection::Timbre2, "Amp Panpot", "L20"},
        {"ms2000-bank-0x4C.syx", 115, ParamSection::Common, "Voice Mode", "Split"},
        {"ms2000-bank-0x4C.syx", 115, ParamSection::Common, "Timbre Voice", "1+3"},
        {"ms2000-bank-0x4C.syx", 115, ParamSection::Common, "Split Point", "C4"},
        {"ms2000-bank-0x4C.syx", 115, ParamSection::Timbre1, "Assign Mode", "Mono"},
        {"ms2000-bank-0x4C.syx", 115, ParamSection::Timbre1, "Trigger Mode", "Multi"},
        {"ms2000-bank-0x4C.syx", 115, ParamSection::Timbre1, "Transpose", "-12"},
        {"ms2000-bank-0x4C.syx", 115, ParamSection::Timbre2, "OSC2 Semitone", "+7"},
        {"ms2000-bank-0x4C.syx", 115, ParamSection::Timbre1, "SEQ1 Knob", "Pitch"},
        {"ms2000-bank-0x4C.syx", 115, ParamSection::Timbre1, "SEQ1 Step 2", "-12"},
        {"ms2000-bank-0x4C.syx", 120, ParamSection::Common, "Voice Mode", "Vocoder"},
        {"ms2000-bank-0x4C.syx", 120, ParamSection::Vocoder, "Noise Level", "40"},
        {"ms2000-bank-0x4C.syx", 120, ParamSection::Vocoder, "Channel 1 Level", "127"},
        {"ms2000-bank-0x4C.syx", 120, ParamSection::Vocoder, "Channel 1 Pan", "CNT"},
        {"ms2000-bank-0x4C.syx", 120, ParamSection::Vocoder, "Channel 2 Pan", "L15"},
        {"ms2000-bank-0x4C.syx", 120, ParamSection::Vocoder, "Channel 4 Pan", "L63"},
        {"mk-init-0x40.syx", 0, ParamSection::Timbre1, "SEQ On/Off", "Off"},
    };
    std::string file;
    std::vector<std::vector<unsigned char>> programs;
    for (const auto& spot : SPOTS) {
        if (file != spot.file) {
            programs = Programs(spot.file);
            file = spot.file;
        }
        const CParameter* p = FindParameter(spot.section, spot.name);
        ASSERT_NE(p, nullptr) << spot.name;
        EXPECT_EQ(ShownText(*p, programs[static_cast<size_t>(spot.program)].data()), spot.shown)
            << spot.file << " [" << spot.program << "] " << SectionName(spot.section) << " " << spot.name;
    }
}

// Each parameter of each real program set to another value and back: the program is the
// same, byte for byte, the bytes no parameter holds (the microKORG's among them) included.
TEST_F(RealDumpParameters, SettingEachParameterAndBackGivesTheProgramBackByteForByte)
{
    for (const auto& dump : WELL_FORMED) {
        for (std::vector<unsigned char> program : Programs(dump.file)) {
            const std::vector<unsigned char> original = program;
            for (const CParameter* p : ApplicableParameters(program.data(), SynthModel::MS2000, true)) {
                if (p->display == ParamDisplay::Text || p->name == std::string("Voice Mode"))
                    continue;
                int minValue = 0, maxValue = 0;
                Range(*p, program.data(), minValue, maxValue);
                const int value = Value(*p, program.data());
                ASSERT_TRUE(SetValue(*p, program.data(), value == minValue ? maxValue : minValue)) << p->name;
                ASSERT_TRUE(SetValue(*p, program.data(), value)) << p->name;
            }
            ASSERT_EQ(program, original) << dump.file;
        }
    }
}
