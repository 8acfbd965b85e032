#include "DemoPrograms.h"

#include "DumpWriter.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <algorithm>
#include <cstdint>

namespace {

enum VoiceMode { SINGLE = 0, SPLIT = 1, DUAL = 2, VOCODER = 3 };

struct CDemoProgram {
    const char* name;
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
    const std::string name = demo.name;
    for (size_t i = 0; i < 12; ++i)
        data[i] = i < name.size() ? static_cast<unsigned char>(name[i]) : ' ';
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

// 128 program names: eight banks of sixteen, every voice mode among them.
std::vector<CDemoProgram> BankPrograms()
{
    static const char* const names[] = {
        "Init Sound", "Velvet Pad", "Acid Bass", "Glass Bells", "Sub Rumble", "Brass Stab",
        "Solar Lead", "Tape Choir", "Night Drive", "Pluck Harp", "Wobble Bass", "Dust Keys",
        "Arctic Sweep", "Reso Sync", "Saw Strings", "Tin Drum",
        "Hollow Flute", "Fat Lead", "Ion Storm", "Soft Organ", "Wide Pad", "Zap Perc",
        "Deep Bass", "Crystal Arp", "Mono Growl", "Seq Pulse", "Amber Keys", "Vox Robot",
        "Warm Pad", "Hoover", "Metal Bell", "Rubber Bass"};
    std::vector<CDemoProgram> programs;
    for (int i = 0; i < 128; ++i) {
        CDemoProgram program{names[i % 32], static_cast<VoiceMode>((i * 5 / 3) % 4)};
        if (i > 0 && program.name == std::string("Init Sound"))
            program.name = "Blank Slate";   // only one program has the placeholder name
        if (std::string(program.name) == "Vox Robot" || std::string(program.name) == "Tape Choir")
            program.mode = VOCODER;
        if (i == 0)
            program.mode = SINGLE;
        programs.push_back(program);
    }
    return programs;
}

std::vector<std::vector<unsigned char>> BankData(std::uint32_t seedBase)
{
    std::vector<std::vector<unsigned char>> data;
    std::uint32_t seed = seedBase;
    for (const CDemoProgram& program : BankPrograms())
        data.push_back(MakeProgramData(program, seed++));
    // The random generator draws only from the programs before the first placeholder name,
    // so "Init Sound" goes last: every other program of the bank can be a source.
    std::rotate(data.begin(), data.begin() + 1, data.end());
    return data;
}

}  // namespace

std::vector<CDemoFile> MakeDemoFiles()
{
    const std::vector<std::vector<unsigned char>> bank = BankData(1);
    const std::vector<std::vector<unsigned char>> allData = BankData(1000);

    return {
        {"Demo-Bank.syx", BuildDumpMessage(FUNC_PROGRAM_DUMP, bank)},
        {"Demo-AllData.syx", BuildDumpMessage(FUNC_ALL_DATA_DUMP, allData)},
        {"Warm-Pad.syx", BuildDumpMessage(FUNC_CURRENT_PROGRAM, {MakeProgramData({"Warm Pad", DUAL}, 7)})},
        {"Vox-Robot.syx", BuildDumpMessage(FUNC_CURRENT_PROGRAM, {MakeProgramData({"Vox Robot", VOCODER}, 9)})},
    };
}
