#include "DemoPrograms.h"

#include "DumpWriter.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <algorithm>
#include <cstdint>

namespace {

enum VoiceMode { SINGLE = 0, SPLIT = 1, DUAL = 2, VOCODER = 3 };

struct CDemoProgram {
    std::string name;
    VoiceMode mode;
};

// A small deterministic generator, so that the files come out the same on every run.
class CParameterSource {
public:
    explicit CParameterSource(std::uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    unsigned char Next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<unsigned char>(m_state >> 24);
    }

private:
    std::uint32_t m_state;
};

std::vector<unsigned char> MakeProgramData(const CDemoProgram& demo, std::uint32_t seed)
{
    std::vector<unsigned char> data(PROGRAM_DATA_SIZE, 0);
    for (size_t i = 0; i < 12; ++i)
        data[i] = i < demo.name.size() ? static_cast<unsigned char>(demo.name[i]) : ' ';
    data[16] = static_cast<unsigned char>(demo.mode << 4);

    // Parameter bytes: mostly 7-bit values, with every eighth one using the top bit, as
    // signed and packed parameters do.
    CParameterSource source(seed);
    for (unsigned int i = 19; i < PROGRAM_DATA_SIZE; ++i) {
        const unsigned char value = source.Next();
        data[i] = (i % 8 == 0) ? value : static_cast<unsigned char>(value & 0x7F);
    }
    data[38] = 0xFF;
    data[146] = 0xFF;
    return data;
}

// 128 programs: eight banks of sixteen, every voice mode among them, and the placeholder
// "Init Sound" last. The random generator draws only from the programs before the first
// placeholder name, so every other program of the bank can be a source.
std::vector<CDemoProgram> BankPrograms()
{
    static const CDemoProgram kinds[] = {
        {"Velvet Pad", DUAL},    {"Acid Bass", SINGLE},    {"Glass Bells", SINGLE}, {"Sub Rumble", SINGLE},
        {"Brass Stab", DUAL},    {"Solar Lead", SINGLE},   {"Tape Choir", VOCODER}, {"Night Drive", SPLIT},
        {"Pluck Harp", SINGLE},  {"Wobble Bass", SINGLE},  {"Dust Keys", SPLIT},    {"Arctic Sweep", DUAL},
        {"Reso Sync", SINGLE},   {"Saw Strings", DUAL},    {"Tin Drum", SINGLE},    {"Hollow Flute", SINGLE},
        {"Fat Lead", DUAL},      {"Ion Storm", SINGLE},    {"Soft Organ", SPLIT},   {"Wide Pad", DUAL},
        {"Zap Perc", SINGLE},    {"Deep Bass", SINGLE},    {"Crystal Arp", SINGLE}, {"Mono Growl", SINGLE},
        {"Seq Pulse", SINGLE},   {"Amber Keys", SPLIT},    {"Vox Robot", VOCODER},  {"Warm Pad", DUAL},
        {"Hoover", DUAL},        {"Metal Bell", SINGLE},   {"Rubber Bass", SINGLE}, {"Talk Box", VOCODER},
    };
    static const char* const variations[] = {"", " 2", " 3", " 4"};
    std::vector<CDemoProgram> programs;
    for (int i = 0; i < 127; ++i) {
        const CDemoProgram& kind = kinds[i % 32];
        programs.push_back({kind.name + variations[i / 32], kind.mode});
    }
    programs.push_back({"Init Sound", SINGLE});
    return programs;
}

std::vector<std::vector<unsigned char>> BankData(std::uint32_t seedBase)
{
    std::vector<std::vector<unsigned char>> data;
    std::uint32_t seed = seedBase;
    for (const CDemoProgram& program : BankPrograms())
        data.push_back(MakeProgramData(program, seed++));
    return data;
}

}  // namespace

std::vector<CDemoFile> MakeDemoFiles()
{
    return {
        {"Demo-Bank.syx", BuildDumpMessage(FUNC_PROGRAM_DUMP, BankData(1))},
        {"Demo-AllData.syx", BuildDumpMessage(FUNC_ALL_DATA_DUMP, BankData(1000))},
        {"Warm-Pad.syx", BuildDumpMessage(FUNC_CURRENT_PROGRAM, {MakeProgramData({"Warm Pad", DUAL}, 7)})},
        {"Vox-Robot.syx", BuildDumpMessage(FUNC_CURRENT_PROGRAM, {MakeProgramData({"Vox Robot", VOCODER}, 9)})},
    };
}
