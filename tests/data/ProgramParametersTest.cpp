// The parameter table walked whole: where each parameter lives, setting, showing and parsing
// each value, what applies to a program, and comparing two programs.

#include "ProgramParameters.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

namespace {

const std::vector<CParameter>& Table()
{
    return ProgramParameters();
}

const CParameter& Param(ParamSection section, const char* name)
{
    const CParameter* parameter = FindParameter(section, name);
    EXPECT_NE(parameter, nullptr) << name;
    static const CParameter none;
    return parameter != nullptr ? *parameter : none;
}

// The bits a parameter occupies in each byte it spans.
void AddBits(const CParameter& p, unsigned char* masks)
{
    if (p.display == ParamDisplay::Text) {
        for (int i = 0; i < 12; ++i)
            masks[i] |= 0xFF;
    } else if (p.display == ParamDisplay::Tempo16) {
        masks[p.byte] |= 0xFF;
        masks[p.byte + 1] |= 0xFF;
    } else {
        masks[p.byte] |= static_cast<unsigned char>(((1u << (p.highBit - p.lowBit + 1)) - 1) << p.lowBit);
    }
}

bool BitsOverlap(const CParameter& p, const unsigned char* masks)
{
    unsigned char own[254] = {};
    AddBits(p, own);
    for (int i = 0; i < 254; ++i)
        if ((own[i] & masks[i]) != 0)
            return true;
    return false;
}

// Random bytes, the same for a seed.
Bytes RandomProgram(unsigned int seed)
{
    std::mt19937 random(seed);
    Bytes data(254);
    for (unsigned char& byte : data)
        byte = static_cast<unsigned char>(random());
    return data;
}

bool SameLayout(const CParameter& a, const CParameter& b)
{
    const auto vocoder = [](const CParameter& p) { return p.section == ParamSection::Vocoder; };
    return a.section == ParamSection::Common || b.section == ParamSection::Common || vocoder(a) == vocoder(b);
}

// A program of this voice mode with every parameter of its layout in the middle of its range.
Bytes InRangeProgram(int voiceMode)
{
    Bytes data(254, 0);
    std::string error;
    EXPECT_TRUE(SetProgramName(data.data(), "Test " + std::to_string(voiceMode), error));
    for (const CParameter& p : Table()) {
        const bool vocoderLayout = voiceMode == 3;
        if (p.display == ParamDisplay::Text ||
            (p.section != ParamSection::Common && (p.section == ParamSection::Vocoder) != vocoderLayout))
            continue;
        int minValue = 0, maxValue = 0;
        Range(p, data.data(), minValue, maxValue);
        EXPECT_TRUE(SetValue(p, data.data(), (minValue + maxValue) / 2)) << p.name;
    }
    EXPECT_TRUE(SetValue(*FindParameter(ParamSection::Common, "Voice Mode"), data.data(), voiceMode));
    return data;
}

}  // namespace

// The bits no parameter may touch: the unused bytes, the dummy bytes and the "not use" bits.
// Every other bit of the timbre layout and of the vocoder layout belongs to exactly one
// parameter.
TEST(ProgramParameters, EveryDocumentedBitBelongsToExactlyOneParameterAndNoOtherBitToAny)
{
    struct Layout {
        const char* what;
        std::set<ParamSection> sections;
        std::vector<std::pair<int, unsigned char>> unused;  // byte, bits no parameter holds
    };
    std::vector<std::pair<int, unsigned char>> common = {{12, 0xFF}, {13, 0xFF}, {14, 0xFF}, {15, 0xFF},
                                                         {16, 0x0F}, {19, 0x70}, {32, 0x0E}, {37, 0xFF}};
    Layout timbres{"timbres", {ParamSection::Common, ParamSection::Timbre1, ParamSection::Timbre2}, common};
    for (int block : {38, 146})
        for (auto [offset, bits] : std::vector<std::pair<int, unsigned char>>{
                 {1, 0x04}, {11, 0xFF}, {12, 0xCC}, {15, 0x80}, {27, 0xBE}, {38, 0xCC}, {41, 0xCC},
                 {40, 0x60}, {43, 0x60}, {52, 0x20}, {55, 0xFE}, {73, 0xFE}, {91, 0xFE}})
            timbres.unused.push_back({block + offset, bits});
    Layout vocoder{"vocoder", {ParamSection::Common, ParamSection::Vocoder}, common};
    for (auto [offset, bits] : std::vector<std::pair<int, unsigned char>>{
             {1, 0x04}, {11, 0xFF}, {12, 0xFE}, {13, 0xFF}, {14, 0x80}, {29, 0xFE}, {40, 0xCC}, {43, 0xCC},
             {42, 0x60}, {45, 0x60}})
        vocoder.unused.push_back({38 + offset, bits});
    for (int byte = 116; byte < 254; ++byte)
        vocoder.unused.push_back({byte, 0xFF});

    for (const Layout& layout : {timbres, vocoder}) {
        unsigned char masks[254] = {};
        for (const CParameter& p : Table()) {
            if (layout.sections.count(p.section) == 0)
                continue;
            EXPECT_FALSE(BitsOverlap(p, masks)) << layout.what << ": " << p.name << " shares bits";
            AddBits(p, masks);
        }
        unsigned char expected[254];
        std::fill(expected, expected + 254, 0xFF);
        for (auto [byte, bits] : layout.unused)
            expected[byte] &= static_cast<unsigned char>(~bits);
        for (int byte = 0; byte < 254; ++byte)
            EXPECT_EQ(masks[byte], expected[byte]) << layout.what << ", byte " << byte;
    }
}

TEST(ProgramParameters, TableIsInPageOrderWithTimbre2AsTimbre1MovedAndUniqueChangeNumbers)
{
    std::set<std::pair<ParamSection, std::string>> names;
    std::set<int> numbers;
    int timbre1 = 0, timbre2 = 0;
    int lastSection = 0, lastPosition = -1;
    for (const CParameter& p : Table()) {
        EXPECT_EQ(&p, &Table()[static_cast<size_t>(p.id)]);
        EXPECT_TRUE(names.insert({p.section, p.name}).second) << p.name;
        EXPECT_NE(std::string(p.group), "") << p.name;
        if (p.changeNumber >= 0) {
            EXPECT_TRUE(numbers.insert(p.changeNumber).second) << p.name;
            EXPECT_EQ(ParameterForChange(p.changeNumber), &p) << p.name;
        }
        // Sections in order; inside one, by byte, then from the high bits down.
        const int section = static_cast<int>(p.section);
        const int position = p.byte * 8 + (7 - p.highBit % 8);
        EXPECT_TRUE(section > lastSection || (section == lastSection && position > lastPosition)) << p.name;
        if (section != lastSection)
            lastPosition = -1;
        lastSection = section;
        lastPosition = position;
        if (p.section == ParamSection::Timbre1) {
            ++timbre1;
            const CParameter& other = Param(ParamSection::Timbre2, p.name);
            EXPECT_EQ(other.byte, p.byte + 108) << p.name;
            EXPECT_EQ(other.changeNumber, p.changeNumber < 0 ? -1 : p.changeNumber + 0x90) << p.name;
            EXPECT_EQ(other.knobByte, p.knobByte < 0 ? -1 : p.knobByte + 108) << p.name;
        }
        timbre2 += p.section == ParamSection::Timbre2;
    }
    EXPECT_EQ(timbre1, 125);
    EXPECT_EQ(timbre2, 125);

    const struct {
        ParamSection section;
        const char* name;
        int number;
    } NUMBERS[] = {
        {ParamSection::Common, "Name", -1},
        {ParamSection::Common, "Arp Target", 0x021},
        {ParamSection::Timbre1, "Transpose", 0x044},
        {ParamSection::Timbre2, "Transpose", 0x0D4},
        {ParamSection::Timbre1, "SEQ3 Step 16", 0x0BB},
        {ParamSection::Timbre2, "SEQ3 Step 16", 0x14B},
        {ParamSection::Vocoder, "Cutoff", 0x181},
        {ParamSection::Vocoder, "EG2 Attack", 0x190},
        {ParamSection::Vocoder, "EG1 Attack", 0x194},
        {ParamSection::Vocoder, "EG1 Reset", -1},
        {ParamSection::Vocoder, "Channel 16 Pan", 0x1CF},
    };
    for (const auto& n : NUMBERS)
        EXPECT_EQ(Param(n.section, n.name).changeNumber, n.number) << n.name;
    EXPECT_EQ(ParameterForChange(0x00C), nullptr);
    EXPECT_EQ(ParameterForChange(0x3FFF), nullptr);
}

// Each parameter in turn set to each end of its range, and just past it, on programs of
// random bytes: only its own bits change, and a refused value changes nothing.
TEST(ProgramParameters, SettingEachEndOfEachRangeChangesOnlyThatParametersBits)
{
    for (unsigned int seed : {1u, 2u, 3u}) {
        const Bytes original = RandomProgram(seed);
        for (const CParameter& p : Table()) {
            if (p.display == ParamDisplay::Text)
                continue;
            unsigned char own[254] = {};
            AddBits(p, own);
            int minValue = 0, maxValue = 0;
            Range(p, original.data(), minValue, maxValue);
            for (int value : {minValue, maxValue, minValue - 1, maxValue + 1}) {
                const bool inRange = value >= minValue && value <= maxValue;
                Bytes data = original;
                EXPECT_EQ(SetValue(p, data.data(), value), inRange) << p.name << " = " << value;
                if (inRange) {
                    EXPECT_EQ(Value(p, data.data()), value) << p.name;
                    EXPECT_TRUE(InRange(p, data.data())) << p.name;
                }
                for (int i = 0; i < 254; ++i)
                    ASSERT_EQ(data[i] & ~own[i], original[i] & ~own[i]) << p.name << " = " << value << ", byte " << i;
                if (!inRange) {
                    EXPECT_EQ(data, original) << p.name << " = " << value;
                }
            }
        }
    }
}

// For every value of every parameter: its text reads back as the value, a program holding it
// shows the same text, and nothing in range is marked out of range.
TEST(ProgramParameters, EveryValueOfEveryParameterReadsBackFromItsShownText)
{
    Bytes data(254, 0);
    for (const CParameter& p : Table()) {
        if (p.display == ParamDisplay::Text)
            continue;
        for (int value = p.minValue; value <= p.maxValue; ++value) {
            const std::string text = ShownValueText(p, value);
            int parsed = -999;
            std::string error;
            EXPECT_TRUE(ParseShownText(p, text, parsed, error)) << p.name << " " << text << ": " << error;
            EXPECT_EQ(parsed, value) << p.name << " " << text;
            EXPECT_EQ(text.find("out of range"), std::string::npos) << p.name << " " << value;
            ASSERT_TRUE(SetValue(p, data.data(), value)) << p.name << " " << value;
            EXPECT_EQ(ShownText(p, data.data()), text) << p.name;
            EXPECT_EQ(StoredBits(p, data.data()), p.display == ParamDisplay::Tempo16
                                                      ? static_cast<unsigned int>(value)
                                                      : static_cast<unsigned int>(value) & 0xFFu)
                << p.name;
            EXPECT_EQ(ValueFromChange(p, ChangeValue(p, value)), value) << p.name;
        }
    }
}

TEST(ProgramParameters, ShownTextsParseInEverySpellingAMusicianTypes)
{
    const struct {
        ParamSection section;
        const char* name;
        const char* text;
        int value;  // -999: refused
    } CASES[] = {
        {ParamSection::Timbre1, "OSC2 Wave", " saw ", 0},
        {ParamSection::Timbre1, "OSC1 Wave", "Sin (Cross)", 3},
        {ParamSection::Timbre1, "Transpose", "-12", 52},
        {ParamSection::Timbre1, "Tune", "+50 cents", 114},
        {ParamSection::Timbre1, "Tune", "51", -999},
        {ParamSection::Common, "EQ Hi Gain", "+5 dB", 69},
        {ParamSection::Common, "EQ Hi Freq", "8", 22},
        {ParamSection::Common, "EQ Hi Freq", "8.00 kHz", 22},
        {ParamSection::Common, "EQ Hi Freq", "8.1", -999},
        {ParamSection::Common, "EQ Low Freq", "1000", 29},
        {ParamSection::Timbre1, "Amp Panpot", "L20", 44},
        {ParamSection::Timbre1, "Amp Panpot", "cnt", 64},
        {ParamSection::Timbre1, "Amp Panpot", "L64", 0},
        {ParamSection::Timbre1, "Amp Panpot", "L65", -999},
        {ParamSection::Vocoder, "Channel 1 Pan", "L64", -999},
        {ParamSection::Vocoder, "Channel 1 Pan", "R63", 127},
        {ParamSection::Common, "Arp Resolution", "1/16", 1},
        {ParamSection::Timbre1, "MIDI Ch", "GLB", -1},
        {ParamSection::Timbre1, "MIDI Ch", "16", 15},
        {ParamSection::Timbre1, "MIDI Ch", "0", -999},
        {ParamSection::Common, "Split Point", "C4", 60},
        {ParamSection::Common, "Split Point", "db4", 61},
        {ParamSection::Common, "Split Point", "C-1", 0},
        {ParamSection::Common, "Split Point", "G#9", -999},
        {ParamSection::Common, "Arp Tempo", "120", 120},
        {ParamSection::Common, "Arp Tempo", "301", -999},
        {ParamSection::Common, "Arp Swing", "-100", 0 - 100},
        {ParamSection::Common, "Arp Target", "Timb2", 2},
        {ParamSection::Common, "Arp Target", "OFF", -999},
        {ParamSection::Vocoder, "Formant Shift", "0", 0},
        {ParamSection::Vocoder, "Formant Shift", "-2", 4},
        {ParamSection::Common, "Arp Range", "4", 3},
        {ParamSection::Timbre1, "Cutoff", "", -999},
        {ParamSection::Timbre1, "Cutoff", "1 2", -999},
    };
    for (const auto& c : CASES) {
        int value = -999;
        std::string error;
        const bool parsed = ParseShownText(Param(c.section, c.name), c.text, value, error);
        EXPECT_EQ(parsed, c.value != -999) << c.name << " \"" << c.text << "\"";
        if (parsed) {
            EXPECT_EQ(value, c.value) << c.name << " \"" << c.text << "\"";
        } else {
            EXPECT_NE(error.find(c.name), std::string::npos) << error;
        }
    }
    int value = 0;
    std::string error;
    EXPECT_FALSE(ParseShownText(Param(ParamSection::Timbre1, "Filter Type"), "36LPF", value, error));
    EXPECT_EQ(error, "Filter Type takes 24LPF, 12LPF, 12BPF or 12HPF, not \"36LPF\"");
    EXPECT_FALSE(ParseShownText(Param(ParamSection::Timbre1, "Filter EG1 Int"), "+64", value, error));
    EXPECT_EQ(error, "Filter EG1 Int takes -63 to +63, not \"+64\"");
}

// Values no parameter may hold are shown as they are, marked, and kept by every other set.
TEST(ProgramParameters, AValueOutOfRangeIsShownAsItIsAndKeptUnchanged)
{
    const struct {
        ParamSection section;
        const char* name;
        std::vector<std::pair<int, unsigned char>> bytes;
        const char* shown;
        bool inRange;
    } CASES[] = {
        {ParamSection::Timbre1, "Cutoff", {{58, 200}}, "200 (out of range)", false},
        {ParamSection::Timbre1, "Tune", {{41, 0}}, "0 (out of range)", false},
        {ParamSection::Timbre1, "MIDI Ch", {{38, 0x20}}, "32 (out of range)", false},
        {ParamSection::Timbre1, "Assign Mode", {{39, 0xC0}}, "3 (out of range)", false},
        {ParamSection::Common, "Arp Swing", {{36, 0x80}}, "-128 (out of range)", false},
        {ParamSection::Common, "Arp Tempo", {{30, 0}, {31, 10}}, "10 (out of range)", false},
        {ParamSection::Common, "Arp Tempo", {{30, 0xFF}, {31, 0xFF}}, "65535 (out of range)", false},
        {ParamSection::Common, "Split Point", {{18, 128}}, "128 (out of range)", false},
        {ParamSection::Vocoder, "Channel 1 Pan", {{100, 0}}, "0 (out of range)", false},
        {ParamSection::Timbre1, "SEQ1 Step 1", {{92, 1}, {94, 100}}, "100 (out of range)", false},
        {ParamSection::Timbre1, "SEQ1 Step 1", {{92, 2}, {94, 71}}, "71 (out of range)", false},
        {ParamSection::Timbre1, "SEQ1 Step 1", {{92, 2}, {94, 70}}, "+6", true},
        // The synthesizer lists a fourth Arp Target; it is shown, not offered.
        {ParamSection::Common, "Arp Target", {{32, 0x30}}, "OFF", true},
    };
    for (const auto& c : CASES) {
        Bytes data = RandomProgram(7);
        for (auto [byte, value] : c.bytes)
            data[static_cast<size_t>(byte)] = value;
        const CParameter& p = Param(c.section, c.name);
        EXPECT_EQ(ShownText(p, data.data()), c.shown) << c.name;
        EXPECT_EQ(InRange(p, data.data()), c.inRange) << c.name;
        // Every other parameter set to a value of its own leaves this one as it was.
        const unsigned int stored = StoredBits(p, data.data());
        for (const CParameter& other : Table()) {
            int minValue = 0, maxValue = 0;
            Range(other, data.data(), minValue, maxValue);
            if (&other != &p && other.display != ParamDisplay::Text && SameLayout(other, p) &&
                other.byte != p.knobByte)
                SetValue(other, data.data(), maxValue);
        }
        EXPECT_EQ(StoredBits(p, data.data()), stored) << c.name;
        EXPECT_EQ(ShownText(p, data.data()), c.shown) << c.name;
        if (p.knobByte < 0) {
            EXPECT_EQ(ShownValueText(p, Value(p, data.data())), c.shown) << c.name;
        }
    }
    Bytes data = RandomProgram(8);
    EXPECT_FALSE(SetValue(Param(ParamSection::Common, "Arp Target"), data.data(), 3));
}

TEST(ProgramParameters, TheNameIsTwelvePrintableCharacters)
{
    Bytes data = RandomProgram(9);
    const Bytes before = data;
    std::string error;
    ASSERT_TRUE(SetProgramName(data.data(), "Stab Saw", error));
    EXPECT_EQ(std::string(data.begin(), data.begin() + 12), "Stab Saw    ");
    EXPECT_TRUE(std::equal(data.begin() + 12, data.end(), before.begin() + 12));
    const CParameter& name = Param(ParamSection::Common, "Name");
    EXPECT_EQ(ShownText(name, data.data()), "Stab Saw");
    EXPECT_EQ(ProgramNameText(data.data()), "Stab Saw");
    EXPECT_TRUE(InRange(name, data.data()));
    for (const char* bad : {"Thirteen char", "Tab\there", "Caf\xC3\xA9"}) {
        Bytes copy = data;
        EXPECT_FALSE(SetProgramName(copy.data(), bad, error)) << bad;
        EXPECT_EQ(copy, data) << bad;
    }
    data[3] = 0x05;
    EXPECT_FALSE(InRange(name, data.data()));
}

TEST(ProgramParameters, ParametersThatApplyFollowTheVoiceModeAndTheModel)
{
    const struct {
        int voiceMode;
        SynthModel model;
        bool all;
        std::set<ParamSection> sections;
    } CASES[] = {
        {0, SynthModel::MS2000, false, {ParamSection::Common, ParamSection::Timbre1}},
        {0, SynthModel::MS2000, true, {ParamSection::Common, ParamSection::Timbre1, ParamSection::Timbre2}},
        {1, SynthModel::MS2000, false, {ParamSection::Common, ParamSection::Timbre1, ParamSection::Timbre2}},
        {2, SynthModel::MicroKorg, false, {ParamSection::Common, ParamSection::Timbre1, ParamSection::Timbre2}},
        {3, SynthModel::MS2000, true, {ParamSection::Common, ParamSection::Vocoder}},
        {3, SynthModel::MicroKorg, false, {ParamSection::Common, ParamSection::Vocoder}},
    };
    for (const auto& c : CASES) {
        Bytes data = InRangeProgram(c.voiceMode);
        const std::vector<const CParameter*> applicable = ApplicableParameters(data.data(), c.model, c.all);
        std::vector<CShownParameter> shown;
        ShowParameters(data.data(), c.model, c.all, shown);
        ASSERT_EQ(shown.size(), applicable.size());
        size_t expected = 0;
        for (const CParameter& p : Table())
            expected += c.sections.count(p.section) != 0 && !(c.model == SynthModel::MicroKorg && p.ms2000Only);
        EXPECT_EQ(applicable.size(), expected) << c.voiceMode;
        for (size_t i = 0; i < shown.size(); ++i) {
            const CParameter& p = *applicable[i];
            EXPECT_EQ(shown[i].parameter, &p);
            EXPECT_EQ(c.sections.count(p.section), 1u) << p.name;
            EXPECT_EQ(shown[i].shown, ShownText(p, data.data())) << p.name;
            EXPECT_EQ(shown[i].stored, StoredBits(p, data.data())) << p.name;
            EXPECT_TRUE(shown[i].inRange) << p.name;
            if (c.model == SynthModel::MicroKorg) {
                EXPECT_FALSE(p.ms2000Only) << p.name;
            }
        }
    }
    // The microKORG lacks exactly these.
    std::set<std::string> lacking;
    for (const CParameter& p : Table())
        if (p.ms2000Only && p.section != ParamSection::Timbre2 && std::string(p.name).rfind("SEQ", 0) != 0)
            lacking.insert(std::string(SectionName(p.section)) + " " + p.name);
    EXPECT_EQ(lacking, (std::set<std::string>{"Common Scale Key", "Common Scale Type", "Common Split Point",
                                              "Timbre 1 Key Priority", "Timbre 1 Filter Velocity Sense",
                                              "Timbre 1 Amp Velocity Sense", "Vocoder Key Priority",
                                              "Vocoder Amp Velocity Sense"}));
}

namespace {

std::vector<std::string> DifferenceLines(const CProgramComparison& comparison)
{
    std::vector<std::string> lines;
    for (const CParameterDifference& d : comparison.differences)
        lines.push_back(std::string(SectionName(d.parameter->section)) + "|" + d.parameter->name + "|" +
                        std::string(d.firstShown) + "|" + std::string(d.secondShown));
    return lines;
}

void Set(Bytes& data, ParamSection section, const char* name, int value)
{
    ASSERT_TRUE(SetValue(Param(section, name), data.data(), value)) << name;
}

}  // namespace

TEST(ProgramParameters, ComparingNamesTheParametersThatDifferInPageOrder)
{
    const Bytes first = InRangeProgram(0);
    Bytes second = first;
    Set(second, ParamSection::Timbre1, "Filter Type", 2);
    Set(second, ParamSection::Common, "Arp Tempo", 140);
    Set(second, ParamSection::Timbre1, "Amp Panpot", 44);
    // Not parameters, or not applying to a Single program: never a difference.
    second[13] ^= 0xFF;
    second[37] ^= 0xFF;
    second[16] ^= 0x01;
    second[49] ^= 0xFF;
    Set(second, ParamSection::Timbre2, "Cutoff", 1);
    CProgramComparison comparison = CompareParameters(first.data(), second.data(), SynthModel::MS2000);
    EXPECT_FALSE(comparison.voiceModeDiffers);
    EXPECT_EQ(DifferenceLines(comparison), (std::vector<std::string>{"Common|Arp Tempo|160|140",
                                                                     "Timbre 1|Filter Type|12LPF|12BPF",
                                                                     "Timbre 1|Amp Panpot|L1|L20"}));
    EXPECT_EQ(comparison.differences[2].firstStored, 63u);
    EXPECT_EQ(comparison.differences[2].secondStored, 44u);
    EXPECT_TRUE(CompareParameters(first.data(), first.data(), SynthModel::MS2000).differences.empty());

    // The name counts; the mod sequencer does not for the microKORG.
    Bytes renamed = first;
    std::string error;
    ASSERT_TRUE(SetProgramName(renamed.data(), "Other", error));
    Set(renamed, ParamSection::Timbre1, "SEQ2 Step 3", 70);
    EXPECT_EQ(DifferenceLines(CompareParameters(first.data(), renamed.data(), SynthModel::MicroKorg)),
              (std::vector<std::string>{"Common|Name|" + ProgramNameText(first.data()) + "|Other"}));
    EXPECT_EQ(CompareParameters(first.data(), renamed.data(), SynthModel::MS2000).differences.size(), 2u);
}

TEST(ProgramParameters, ProgramsOfAnotherVoiceModeCompareWhatBothHave)
{
    const struct {
        int first, second;
        std::set<ParamSection> compared;
    } CASES[] = {
        {0, 2, {ParamSection::Common, ParamSection::Timbre1}},
        {1, 2, {ParamSection::Common, ParamSection::Timbre1, ParamSection::Timbre2}},
        {2, 3, {ParamSection::Common}},
    };
    for (const auto& c : CASES) {
        const Bytes first = InRangeProgram(c.first);
        // Every parameter of the other program differs from the first's.
        Bytes second = InRangeProgram(c.second);
        for (const CParameter& p : Table()) {
            int minValue = 0, maxValue = 0;
            Range(p, second.data(), minValue, maxValue);
            if (p.display != ParamDisplay::Text && p.name != std::string("Voice Mode") &&
                (p.section == ParamSection::Common || (c.second == 3) == (p.section == ParamSection::Vocoder)))
                SetValue(p, second.data(), Value(p, first.data()) == minValue ? maxValue : minValue);
        }
        const CProgramComparison comparison = CompareParameters(first.data(), second.data(), SynthModel::MS2000);
        EXPECT_EQ(comparison.voiceModeDiffers, c.first != c.second);
        std::set<ParamSection> sections;
        bool voiceMode = false;
        for (const CParameterDifference& d : comparison.differences) {
            sections.insert(d.parameter->section);
            voiceMode = voiceMode || d.parameter->name == std::string("Voice Mode");
        }
        EXPECT_EQ(sections, c.compared) << c.first << " " << c.second;
        EXPECT_TRUE(voiceMode);
    }
}
