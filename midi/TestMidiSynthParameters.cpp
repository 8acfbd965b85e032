#include "TestMidiSynthParameters.h"

#include <cstdio>
#include <map>
#include <sstream>

namespace {

// synth.py's PARAMETERS. A section line gives its first number and the offset of its block
// (timbre: timbre 1, then timbre 2). Then a line per parameter: N or N-LAST (hex, added to the
// first number; a run takes consecutive bytes), OFFSET in the block, BITS (HI-LO, one bit,
// 15-0 for two bytes), MIN and MAX of the value sent, KIND and name. KIND: = stored as sent;
// c stored 64+value; s signed byte; w 16 bits, big endian; q a mod-sequencer step (64+value,
// -24..+24 when its lane's knob is Pitch or OSC2Semi, -6..+6 for StepLength); - an edit
// cursor, not in the program.
const char* const PARAMETERS =
    "common 000 0\n"
    "00-0B 0 7-0 32 127 = Name\n"
    "10 16 5-4 0 3 = Voice Mode\n"
    "11 18 7-0 0 127 = Split Point\n"
    "12 16 7-6 0 2 = Timbre Voice (Split/Dual)\n"
    "13 17 3-0 0 9 = Scale Type\n"
    "14 17 7-4 0 11 = Scale Key\n"
    "15 22 7-0 0 2 = Delay Type\n"
    "16 20 7-0 0 127 = Delay Time\n"
    "17 21 7-0 0 127 = Delay Depth\n"
    "18 25 7-0 0 2 = Mod FX Type\n"
    "19 23 7-0 0 127 = Mod FX LFO Speed\n"
    "1A 24 7-0 0 127 = Mod FX Depth\n"
    "1B 32 7 0 1 = Arp On/Off\n"
    "1C 33 3-0 0 5 = Arp Type\n"
    "1D 33 7-4 0 3 = Arp Range\n"
    "1E 32 6 0 1 = Arp Latch\n"
    "1F 30 15-0 20 300 w Arp Tempo\n"
    "20 34 7-0 0 100 = Arp Gate Time\n"
    "21 32 5-4 0 2 = Arp Target\n"
    "22 32 0 0 1 = Arp Key Sync\n"
    "23 35 7-0 0 5 = Arp Resolution\n"
    "24 36 7-0 -100 100 s Arp Swing\n"
    "25 26 7-0 0 29 = EQ Hi Freq\n"
    "26 27 7-0 -12 12 c EQ Hi Gain\n"
    "27 28 7-0 0 29 = EQ Low Freq\n"
    "28 29 7-0 -12 12 c EQ Low Gain\n"
    "29 19 7 0 1 = Delay Sync\n"
    "2A 19 3-0 0 14 = Delay Time Base\n"
    "timbre 040 38 0D0 146\n"
    "00 1 7-6 0 2 = Assign Mode\n"
    "01 1 3 0 1 = Trigger Mode\n"
    "02 2 7-0 0 99 = Unison Detune\n"
    "03 0 7-0 -1 15 s MIDI Ch\n"
    "04 5 7-0 -24 24 c Transpose\n"
    "05 3 7-0 -50 50 c Tune\n"
    "06 6 7-0 -63 63 c Vibrato Int\n"
    "07 15 6-0 0 127 = Portamento Time\n"
    "08 4 7-0 -12 12 c Bend Range\n"
    "09 7 7-0 0 7 = OSC1 Wave\n"
    "0A 8 7-0 0 127 = OSC1 Ctrl1\n"
    "0B 9 7-0 0 127 = OSC1 Ctrl2\n"
    "0C 10 7-0 0 63 = OSC1 DWGS Wave\n"
    "0D 12 1-0 0 2 = OSC2 Wave\n"
    "0E 12 5-4 0 3 = OSC2 Mod Select\n"
    "0F 13 7-0 -24 24 c OSC2 Semitone\n"
    "10 14 7-0 -63 63 c OSC2 Tune\n"
    "11 16 7-0 0 127 = OSC1 Level\n"
    "12 17 7-0 0 127 = OSC2 Level\n"
    "13 18 7-0 0 127 = Noise Level\n"
    "14 19 7-0 0 3 = Filter Type\n"
    "15 20 7-0 0 127 = Cutoff\n"
    "16 21 7-0 0 127 = Resonance\n"
    "17 22 7-0 -63 63 c Filter EG1 Int\n"
    "18 24 7-0 -63 63 c Filter KBD Track\n"
    "19 25 7-0 0 127 = Amp Level\n"
    "1A 26 7-0 -63 63 c Amp Panpot\n"
    "1B 27 6 0 1 = Amp SW (EG2/Gate)\n"
    "1C 27 0 0 1 = Distortion\n"
    "1D 29 7-0 -63 63 c Amp KBD Track\n"
    "1E 30 7-0 0 127 = EG1 Attack\n"
    "1F 31 7-0 0 127 = EG1 Decay\n"
    "20 32 7-0 0 127 = EG1 Sustain\n"
    "21 33 7-0 0 127 = EG1 Release\n"
    "22 23 7-0 -63 63 c Filter Velocity Sense\n"
    "23 34 7-0 0 127 = EG2 Attack\n"
    "24 35 7-0 0 127 = EG2 Decay\n"
    "25 36 7-0 0 127 = EG2 Sustain\n"
    "26 37 7-0 0 127 = EG2 Release\n"
    "27 28 7-0 -63 63 c Amp Velocity Sense\n"
    "28 38 1-0 0 3 = LFO1 Wave\n"
    "29 39 7-0 0 127 = LFO1 Frequency\n"
    "2A 40 4-0 0 14 = LFO1 Sync Note\n"
    "2B 40 7 0 1 = LFO1 Tempo Sync\n"
    "2C 38 5-4 0 2 = LFO1 Key Sync\n"
    "2D 41 1-0 0 3 = LFO2 Wave\n"
    "2E 42 7-0 0 127 = LFO2 Frequency\n"
    "2F 43 4-0 0 14 = LFO2 Sync Note\n"
    "30 43 7 0 1 = LFO2 Tempo Sync\n"
    "31 41 5-4 0 2 = LFO2 Key Sync\n"
    "32 44 3-0 0 7 = Patch1 Source\n"
    "33 44 7-4 0 7 = Patch1 Destination\n"
    "34 45 7-0 -63 63 c Patch1 Intensity\n"
    "35 46 3-0 0 7 = Patch2 Source\n"
    "36 46 7-4 0 7 = Patch2 Destination\n"
    "37 47 7-0 -63 63 c Patch2 Intensity\n"
    "38 48 3-0 0 7 = Patch3 Source\n"
    "39 48 7-4 0 7 = Patch3 Destination\n"
    "3A 49 7-0 -63 63 c Patch3 Intensity\n"
    "3B 50 3-0 0 7 = Patch4 Source\n"
    "3C 50 7-4 0 7 = Patch4 Destination\n"
    "3D 51 7-0 -63 63 c Patch4 Intensity\n"
    "3E 1 1-0 0 2 = Key Priority\n"
    "40 52 7 0 1 = SEQ On/Off\n"
    "41 53 7-4 0 15 = SEQ Last Step\n"
    "42 53 3-2 0 3 = SEQ Type\n"
    "43 52 6 0 1 = SEQ Run Mode\n"
    "44 53 1-0 0 2 = SEQ Key Sync\n"
    "45 52 4-0 0 15 = SEQ Resolution\n"
    "46 54 7-0 0 30 = SEQ1 Knob\n"
    "47 55 0 0 1 = SEQ1 Motion Type\n"
    "48-57 56 7-0 -63 63 q SEQ1 Step\n"
    "58 72 7-0 0 30 = SEQ2 Knob\n"
    "59 73 0 0 1 = SEQ2 Motion Type\n"
    "5A-69 74 7-0 -63 63 q SEQ2 Step\n"
    "6A 90 7-0 0 30 = SEQ3 Knob\n"
    "6B 91 0 0 1 = SEQ3 Motion Type\n"
    "6C-7B 92 7-0 -63 63 q SEQ3 Step\n"
    "7C 1 4 0 1 = EG1 Reset\n"
    "7D 1 5 0 1 = EG2 Reset\n"
    "80 - - 0 15 - SEQ1 Step Select\n"
    "81 - - 0 15 - SEQ2 Step Select\n"
    "82 - - 0 15 - SEQ3 Step Select\n"
    "vocoder 160 38\n"
    "00 1 7-6 0 2 = Assign Mode\n"
    "01 1 3 0 1 = Trigger Mode\n"
    "02 2 7-0 0 99 = Unison Detune\n"
    "03 0 7-0 -1 15 s MIDI Ch\n"
    "08 5 7-0 -24 24 c Transpose\n"
    "09 3 7-0 -50 50 c Tune\n"
    "0A 6 7-0 -63 63 c Vibrato Int\n"
    "0B 14 6-0 0 127 = Portamento Time\n"
    "0C 4 7-0 -12 12 c Bend Range\n"
    "10 7 7-0 0 7 = OSC Wave\n"
    "11 8 7-0 0 127 = OSC Ctrl1\n"
    "12 9 7-0 0 127 = OSC Ctrl2\n"
    "13 10 7-0 0 63 = OSC DWGS Wave\n"
    "18 15 7-0 0 127 = OSC1 Level\n"
    "19 16 7-0 0 127 = Ext1 (Inst) Level\n"
    "1A 17 7-0 0 127 = Noise Level\n"
    "1B 18 7-0 0 127 = HPF Level\n"
    "1C 19 7-0 0 127 = Gate Sense\n"
    "1D 20 7-0 0 127 = Threshold\n"
    "1E 12 0 0 1 = HPF Gate\n"
    "20 21 7-0 0 4 = Formant Shift\n"
    "21 22 7-0 -63 63 c Cutoff\n"
    "22 23 7-0 0 127 = Resonance\n"
    "23 24 7-0 0 7 = Fc Mod Source\n"
    "24 25 7-0 -63 63 c Fc Mod Intensity\n"
    "25 26 7-0 0 127 = E.F. Sense\n"
    "28 27 7-0 0 127 = Amp Level\n"
    "29 28 7-0 0 127 = Direct Level\n"
    "2A 29 0 0 1 = Distortion\n"
    "2B 30 7-0 -63 63 c Amp Velocity Sense\n"
    "2C 31 7-0 -63 63 c Amp KBD Track\n"
    "30 36 7-0 0 127 = EG2 Attack\n"
    "31 37 7-0 0 127 = EG2 Decay\n"
    "32 38 7-0 0 127 = EG2 Sustain\n"
    "33 39 7-0 0 127 = EG2 Release\n"
    "34 32 7-0 0 127 = EG1 Attack\n"
    "35 33 7-0 0 127 = EG1 Decay\n"
    "36 34 7-0 0 127 = EG1 Sustain\n"
    "37 35 7-0 0 127 = EG1 Release\n"
    "38 40 1-0 0 3 = LFO1 Wave\n"
    "39 41 7-0 0 127 = LFO1 Frequency\n"
    "3A 42 4-0 0 14 = LFO1 Sync Note\n"
    "3B 42 7 0 1 = LFO1 Tempo Sync\n"
    "3C 40 5-4 0 2 = LFO1 Key Sync\n"
    "40 43 1-0 0 3 = LFO2 Wave\n"
    "41 44 7-0 0 127 = LFO2 Frequency\n"
    "42 45 4-0 0 14 = LFO2 Sync Note\n"
    "43 45 7 0 1 = LFO2 Tempo Sync\n"
    "44 43 5-4 0 2 = LFO2 Key Sync\n"
    "45 - - 0 15 - Ch Level Select\n"
    "46 - - 0 15 - Ch Pan Select\n"
    "50-5F 46 7-0 0 127 = Ch Level\n"
    "60-6F 62 7-0 -63 63 c Ch Pan\n";

struct CTestParameter {
    std::string name;
    int offset = -1;   // -1: an edit cursor
    int low = 0;
    int high = 0;
    int min = 0;
    int max = 0;
    char kind = '=';
    int knob = -1;     // a step: its lane's knob byte
};

std::map<int, CTestParameter> ParseTable()
{
    std::map<int, CTestParameter> table;
    struct Block {
        int number;
        int base;
        std::string kind;
    };
    std::vector<Block> blocks;
    std::istringstream lines(PARAMETERS);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string first;
        words >> first;
        if (first == "common" || first == "timbre" || first == "vocoder") {
            blocks.clear();
            std::string number, base;
            while (words >> number >> base)
                blocks.push_back({std::stoi(number, nullptr, 16), std::stoi(base), first});
            continue;
        }
        std::string offsetText, bits, kind;
        int min = 0, max = 0;
        words >> offsetText >> bits >> min >> max >> kind;
        std::string name;
        std::getline(words >> std::ws, name);
        const std::size_t dash = first.find('-');
        const int from = std::stoi(first.substr(0, dash), nullptr, 16);
        const int to = dash == std::string::npos ? from : std::stoi(first.substr(dash + 1), nullptr, 16);
        const std::size_t bitDash = bits.find('-');
        for (int n = from; n <= to; ++n) {
            for (const Block& block : blocks) {
                CTestParameter parameter;
                const std::string prefix = block.kind == "common" ? ""
                                           : block.kind == "timbre" ? (block.base > 38 ? "timbre 2 " : "timbre 1 ")
                                                                    : "vocoder ";
                parameter.name = prefix + name + (to > from ? " " + std::to_string(n - from + 1) : "");
                parameter.min = min;
                parameter.max = max;
                parameter.kind = kind[0];
                if (parameter.kind != '-') {
                    parameter.offset = block.base + std::stoi(offsetText) + (n - from);
                    parameter.high = std::stoi(bits.substr(0, bitDash));
                    parameter.low = bitDash == std::string::npos ? parameter.high : std::stoi(bits.substr(bitDash + 1));
                    if (parameter.kind == 'q')
                        parameter.knob = block.base + 54 + 18 * ((parameter.offset - block.base - 56) / 18);
                }
                table[block.number + n] = parameter;
            }
        }
    }
    return table;
}

const std::map<int, CTestParameter>& Table()
{
    static const std::map<int, CTestParameter> table = ParseTable();
    return table;
}

std::string Hex(int value, int digits)
{
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

}  // namespace

std::string ApplyTestParameterChange(std::vector<unsigned char>& edit, int number, int value, std::string& done)
{
    done.clear();
    const auto found = Table().find(number);
    if (found == Table().end())
        return "no parameter " + Hex(number, 3) + " (value " + std::to_string(value) + ")";
    const CTestParameter& p = found->second;
    int min = p.min, max = p.max;
    if (p.kind == 'q') {
        const int knob = edit[static_cast<std::size_t>(p.knob)];
        max = knob == 1 || knob == 6 ? 24 : knob == 2 ? 6 : max;
        min = -max;
    }
    const std::string what = "parameter " + Hex(number, 3) + " " + p.name + " = " + std::to_string(value) + ": ";
    if (value < min || value > max)
        return what + "out of range " + std::to_string(min) + ".." + std::to_string(max);
    if (p.kind == '-') {
        done = what + "an edit cursor, not in the program";
        return std::string();
    }
    const auto at = static_cast<std::size_t>(p.offset);
    if (p.kind == 'w') {
        const std::string before = Hex(edit[at], 2) + " " + Hex(edit[at + 1], 2);
        edit[at] = static_cast<unsigned char>(value >> 8);
        edit[at + 1] = static_cast<unsigned char>(value & 0xFF);
        done = what + "bytes " + std::to_string(at) + "-" + std::to_string(at + 1) + " " + before + " -> " +
               Hex(edit[at], 2) + " " + Hex(edit[at + 1], 2);
        return std::string();
    }
    const int stored = p.kind == 'c' || p.kind == 'q' ? value + 64 : value & 0xFF;
    const int mask = ((1 << (p.high - p.low + 1)) - 1) << p.low;
    const unsigned char before = edit[at];
    edit[at] = static_cast<unsigned char>((before & ~mask & 0xFF) | ((stored << p.low) & mask));
    done = what + "byte " + std::to_string(at) + " " + Hex(before, 2) + " -> " + Hex(edit[at], 2);
    return std::string();
}
