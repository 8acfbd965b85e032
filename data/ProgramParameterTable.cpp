// The table of every parameter of the 254-byte program, in the parameter page's order: the
// common part, timbre 1, timbre 2 (timbre 1's entries moved by 108 bytes) and the vocoder
// block. Within a byte, the higher bits come first.
#include "ProgramParameters.h"

#include <deque>
#include <string>

namespace {

// The value lists, each indexed by stored value.
const char* const OFF_ON[] = {"Off", "On"};
const char* const TIMBRE_VOICE[] = {"1+3", "2+2", "3+1"};
const char* const VOICE_MODE[] = {"Single", "Split", "Dual", "Vocoder"};
const char* const SCALE_KEY[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
const char* const SCALE_TYPE[] = {"Equal Temp", "Pure Major", "Pure Minor", "Arabic",  "Pythagorea",
                                  "Werckmeist", "Kirnberger", "Slendoro",   "Pelog",   "User Scale"};
const char* const DELAY_NOTE[] = {"1/32", "1/24", "1/16", "1/12", "3/32", "1/8", "1/6", "3/16",
                                  "1/4",  "1/3",  "3/8",  "1/2",  "2/3",  "3/4", "1/1"};
const char* const DELAY_TYPE[] = {"StereoDelay", "CrossDelay", "L/R Delay"};
const char* const MOD_FX_TYPE[] = {"Cho/Flg", "Ensemble", "Phaser"};
const char* const EQ_HIGH[] = {"1.00", "1.25", "1.50", "1.75", "2.00", "2.25", "2.50", "2.75", "3.00", "3.25",
                               "3.50", "3.75", "4.00", "4.25", "4.50", "4.75", "5.00", "5.25", "5.50", "5.75",
                               "6.00", "7.00", "8.00", "9.00", "10.0", "11.0", "12.0", "14.0", "16.0", "18.0"};
const char* const EQ_LOW[] = {"40",  "50",  "60",  "80",  "100", "120", "140", "160", "180", "200",
                              "220", "240", "260", "280", "300", "320", "340", "360", "380", "400",
                              "420", "440", "460", "480", "500", "600", "700", "800", "900", "1000"};
// 3 (OFF) is listed by the synthesizer's parameter change but not offered: see maxValue.
const char* const ARP_TARGET[] = {"Both", "Timb1", "Timb2", "OFF"};
const char* const ARP_TYPE[] = {"Up", "Down", "Alt1", "Alt2", "Random", "Trigger"};
const char* const ARP_RESOLUTION[] = {"1/24", "1/16", "1/12", "1/8", "1/6", "1/4"};
const char* const ASSIGN_MODE[] = {"Mono", "Poly", "Unison"};
const char* const TRIGGER_MODE[] = {"Single", "Multi"};
const char* const KEY_PRIORITY[] = {"Last", "Low", "High"};
const char* const OSC1_WAVE[] = {"Saw", "Pulse", "Tri", "Sin (Cross)", "Vox Wave", "DWGS", "Noise", "Audio In"};
const char* const OSC2_MOD[] = {"Off", "Ring", "Sync", "RingSync"};
const char* const OSC2_WAVE[] = {"Saw", "Squ", "Tri"};
const char* const FILTER_TYPE[] = {"24LPF", "12LPF", "12BPF", "12HPF"};
const char* const AMP_SW[] = {"EG2", "Gate"};
const char* const KEY_SYNC[] = {"OFF", "Timbre", "Voice"};
const char* const LFO1_WAVE[] = {"Saw", "Squ", "Tri", "S/H"};
const char* const LFO2_WAVE[] = {"Saw", "Squ(+)", "Sin", "S/H"};
const char* const LFO_NOTE[] = {"1/1", "3/4",  "2/3",  "1/2",  "3/8",  "1/3",  "1/4", "3/16",
                                "1/6", "1/8",  "3/32", "1/12", "1/16", "1/24", "1/32"};
const char* const PATCH_SOURCE[] = {"EG1", "EG2", "LFO1", "LFO2", "Velocity", "KBD Track", "MIDI1", "MIDI2"};
const char* const PATCH_DESTINATION[] = {"Pitch", "OSC2 Pitch", "OSC1 Ctrl1", "Noise Level",
                                         "Cutoff", "Amp", "Pan", "LFO2 Freq"};
const char* const SEQ_RUN_MODE[] = {"1Shot", "Loop"};
const char* const SEQ_RESOLUTION[] = {"1/48", "1/32", "1/24", "1/16", "1/12", "3/32", "1/8", "1/6",
                                      "3/16", "1/4",  "1/3",  "3/8",  "1/2",  "2/3",  "3/4", "1/1"};
const char* const SEQ_TYPE[] = {"Forward", "Reverse", "Alt1", "Alt2"};
const char* const SEQ_KNOB[] = {"None",        "Pitch",      "StepLength", "Portamento", "OSC1Ctrl1", "OSC1Ctrl2",
                                "OSC2Semi",    "OSC2Tune",   "OSC1Level",  "OSC2Level",  "NoiseLevel", "Cutoff",
                                "Resonance",   "EG1 Int",    "KBD Track",  "AmpLevel",   "Panpot",    "EG1Attack",
                                "EG1Decay",    "EG1Sustain", "EG1Release", "EG2Attack",  "EG2Decay",  "EG2Sustain",
                                "EG2Release",  "LFO1Freq",   "LFO2Freq",   "Patch1Int",  "Patch2Int", "Patch3Int",
                                "Patch4Int"};
const char* const MOTION_TYPE[] = {"Smooth", "Step"};
const char* const HPF_GATE[] = {"Dis", "Ena"};
const char* const FORMANT_SHIFT[] = {"\xC2\xB1" "0", "+1", "+2", "-1", "-2"};

// Block offsets of the timbre and vocoder layouts.
constexpr int TIMBRE1 = 38;
constexpr int TIMBRE2_SHIFT = 108;
constexpr int TIMBRE1_CHANGE = 0x040;
constexpr int TIMBRE2_CHANGE_SHIFT = 0x0D0 - 0x040;
constexpr int VOCODER_CHANGE = 0x160;

class CTableBuilder
{
public:
    explicit CTableBuilder(std::vector<CParameter>& table) : m_table(table) {}

    void Section(ParamSection section) { m_section = section; }
    void Group(const char* group) { m_group = group; }

    // An entry; `name` must outlive the table (a literal, or Keep()).
    CParameter& Add(const char* name, int byte, int high, int low, int minValue, int maxValue,
                    ParamDisplay display, int changeNumber)
    {
        CParameter p;
        p.id = static_cast<int>(m_table.size());
        p.section = m_section;
        p.group = m_group;
        p.name = name;
        p.byte = byte;
        p.highBit = high;
        p.lowBit = low;
        p.minValue = minValue;
        p.maxValue = maxValue;
        p.display = display;
        p.changeNumber = changeNumber;
        m_table.push_back(p);
        return m_table.back();
    }
    template <int N>
    CParameter& List(const char* name, int byte, int high, int low, const char* const (&names)[N], int changeNumber)
    {
        CParameter& p = Add(name, byte, high, low, 0, N - 1, ParamDisplay::List, changeNumber);
        p.listNames = names;
        p.listSize = N;
        return p;
    }
    // A whole byte 0..127 shown as stored.
    CParameter& Byte(const char* name, int byte, int changeNumber)
    {
        return Add(name, byte, 7, 0, 0, 127, ParamDisplay::Plain, changeNumber);
    }
    // A whole byte stored 64 + x, x from -`reach` to +`reach`.
    CParameter& Centered(const char* name, int byte, int reach, int changeNumber)
    {
        return Add(name, byte, 7, 0, 64 - reach, 64 + reach, ParamDisplay::Center64, changeNumber);
    }

    // Storage for a generated name, kept for the life of the program.
    static const char* Keep(std::string name)
    {
        static std::deque<std::string> names;
        names.push_back(std::move(name));
        return names.back().c_str();
    }

private:
    std::vector<CParameter>& m_table;
    ParamSection m_section = ParamSection::Common;
    const char* m_group = "";
};

CParameter& Unit(CParameter& p, const char* unit)
{
    p.unit = unit;
    return p;
}

CParameter& Ms2000Only(CParameter& p)
{
    p.ms2000Only = true;
    return p;
}

void AddCommon(CTableBuilder& b)
{
    b.Section(ParamSection::Common);
    b.Group("Voice");
    // The name's characters are parameter changes 000-00B, one each: no single number.
    b.Add("Name", 0, 7, 0, 0, 0, ParamDisplay::Text, -1);
    b.List("Timbre Voice", 16, 7, 6, TIMBRE_VOICE, 0x012);
    b.List("Voice Mode", 16, 5, 4, VOICE_MODE, 0x010);
    Ms2000Only(b.List("Scale Key", 17, 7, 4, SCALE_KEY, 0x014));
    Ms2000Only(b.List("Scale Type", 17, 3, 0, SCALE_TYPE, 0x013));
    Ms2000Only(b.Add("Split Point", 18, 7, 0, 0, 127, ParamDisplay::NoteName, 0x011));
    b.Group("Delay");
    b.List("Delay Sync", 19, 7, 7, OFF_ON, 0x029);
    b.List("Delay Time Base", 19, 3, 0, DELAY_NOTE, 0x02A);
    b.Byte("Delay Time", 20, 0x016);
    b.Byte("Delay Depth", 21, 0x017);
    b.List("Delay Type", 22, 7, 0, DELAY_TYPE, 0x015);
    b.Group("Mod FX");
    b.Byte("Mod FX LFO Speed", 23, 0x019);
    b.Byte("Mod FX Depth", 24, 0x01A);
    b.List("Mod FX Type", 25, 7, 0, MOD_FX_TYPE, 0x018);
    b.Group("EQ");
    Unit(b.List("EQ Hi Freq", 26, 7, 0, EQ_HIGH, 0x025), "kHz");
    Unit(b.Centered("EQ Hi Gain", 27, 12, 0x026), "dB");
    Unit(b.List("EQ Low Freq", 28, 7, 0, EQ_LOW, 0x027), "Hz");
    Unit(b.Centered("EQ Low Gain", 29, 12, 0x028), "dB");
    b.Group("Arpeggiator");
    Unit(b.Add("Arp Tempo", 30, 15, 0, 20, 300, ParamDisplay::Tempo16, 0x01F), "BPM");
    b.List("Arp On/Off", 32, 7, 7, OFF_ON, 0x01B);
    b.List("Arp Latch", 32, 6, 6, OFF_ON, 0x01E);
    b.List("Arp Target", 32, 5, 4, ARP_TARGET, 0x021).maxValue = 2;
    b.List("Arp Key Sync", 32, 0, 0, OFF_ON, 0x022);
    Unit(b.Add("Arp Range", 33, 7, 4, 0, 3, ParamDisplay::PlusOne, 0x01D), "octaves");
    b.List("Arp Type", 33, 3, 0, ARP_TYPE, 0x01C);
    Unit(b.Add("Arp Gate Time", 34, 7, 0, 0, 100, ParamDisplay::Plain, 0x020), "%");
    b.List("Arp Resolution", 35, 7, 0, ARP_RESOLUTION, 0x023);
    Unit(b.Add("Arp Swing", 36, 7, 0, -100, 100, ParamDisplay::SignedByte, 0x024), "%");
}

// Timbre 1, at its absolute offsets; timbre 2 is made from it.
void AddTimbre1(CTableBuilder& b)
{
    const int t = TIMBRE1;
    const int n = TIMBRE1_CHANGE;
    b.Section(ParamSection::Timbre1);
    b.Group("Voice");
    b.Add("MIDI Ch", t + 0, 7, 0, -1, 15, ParamDisplay::Channel, n + 0x03);
    b.List("Assign Mode", t + 1, 7, 6, ASSIGN_MODE, n + 0x00);
    b.List("EG2 Reset", t + 1, 5, 5, OFF_ON, n + 0x7D);
    b.List("EG1 Reset", t + 1, 4, 4, OFF_ON, n + 0x7C);
    b.List("Trigger Mode", t + 1, 3, 3, TRIGGER_MODE, n + 0x01);
    Ms2000Only(b.List("Key Priority", t + 1, 1, 0, KEY_PRIORITY, n + 0x3E));
    Unit(b.Add("Unison Detune", t + 2, 7, 0, 0, 99, ParamDisplay::Plain, n + 0x02), "cents");
    b.Group("Pitch");
    Unit(b.Centered("Tune", t + 3, 50, n + 0x05), "cents");
    Unit(b.Centered("Bend Range", t + 4, 12, n + 0x08), "semitones");
    Unit(b.Centered("Transpose", t + 5, 24, n + 0x04), "semitones");
    b.Centered("Vibrato Int", t + 6, 63, n + 0x06);
    b.Group("OSC1");
    b.List("OSC1 Wave", t + 7, 7, 0, OSC1_WAVE, n + 0x09);
    b.Byte("OSC1 Ctrl1", t + 8, n + 0x0A);
    b.Byte("OSC1 Ctrl2", t + 9, n + 0x0B);
    b.Add("OSC1 DWGS Wave", t + 10, 7, 0, 0, 63, ParamDisplay::PlusOne, n + 0x0C);
    b.Group("OSC2");
    b.List("OSC2 Mod Select", t + 12, 5, 4, OSC2_MOD, n + 0x0E);
    b.List("OSC2 Wave", t + 12, 1, 0, OSC2_WAVE, n + 0x0D);
    Unit(b.Centered("OSC2 Semitone", t + 13, 24, n + 0x0F), "semitones");
    b.Centered("OSC2 Tune", t + 14, 63, n + 0x10);
    b.Group("Pitch");
    b.Add("Portamento Time", t + 15, 6, 0, 0, 127, ParamDisplay::Plain, n + 0x07);
    b.Group("Mixer");
    b.Byte("OSC1 Level", t + 16, n + 0x11);
    b.Byte("OSC2 Level", t + 17, n + 0x12);
    b.Byte("Noise Level", t + 18, n + 0x13);
    b.Group("Filter");
    b.List("Filter Type", t + 19, 7, 0, FILTER_TYPE, n + 0x14);
    b.Byte("Cutoff", t + 20, n + 0x15);
    b.Byte("Resonance", t + 21, n + 0x16);
    b.Centered("Filter EG1 Int", t + 22, 63, n + 0x17);
    Ms2000Only(b.Centered("Filter Velocity Sense", t + 23, 63, n + 0x22));
    b.Centered("Filter KBD Track", t + 24, 63, n + 0x18);
    b.Group("Amp");
    b.Byte("Amp Level", t + 25, n + 0x19);
    b.Add("Amp Panpot", t + 26, 7, 0, 0, 127, ParamDisplay::TimbrePan, n + 0x1A);
    b.List("Amp SW", t + 27, 6, 6, AMP_SW, n + 0x1B);
    b.List("Distortion", t + 27, 0, 0, OFF_ON, n + 0x1C);
    Ms2000Only(b.Centered("Amp Velocity Sense", t + 28, 63, n + 0x27));
    b.Centered("Amp KBD Track", t + 29, 63, n + 0x1D);
    const char* const STAGES[] = {"Attack", "Decay", "Sustain", "Release"};
    b.Group("Filter EG");
    for (int i = 0; i < 4; ++i)
        b.Byte(CTableBuilder::Keep(std::string("EG1 ") + STAGES[i]), t + 30 + i, n + 0x1E + i);
    b.Group("Amp EG");
    for (int i = 0; i < 4; ++i)
        b.Byte(CTableBuilder::Keep(std::string("EG2 ") + STAGES[i]), t + 34 + i, n + 0x23 + i);
    b.Group("LFO1");
    b.List("LFO1 Key Sync", t + 38, 5, 4, KEY_SYNC, n + 0x2C);
    b.List("LFO1 Wave", t + 38, 1, 0, LFO1_WAVE, n + 0x28);
    b.Byte("LFO1 Frequency", t + 39, n + 0x29);
    b.List("LFO1 Tempo Sync", t + 40, 7, 7, OFF_ON, n + 0x2B);
    b.List("LFO1 Sync Note", t + 40, 4, 0, LFO_NOTE, n + 0x2A);
    b.Group("LFO2");
    b.List("LFO2 Key Sync", t + 41, 5, 4, KEY_SYNC, n + 0x31);
    b.List("LFO2 Wave", t + 41, 1, 0, LFO2_WAVE, n + 0x2D);
    b.Byte("LFO2 Frequency", t + 42, n + 0x2E);
    b.List("LFO2 Tempo Sync", t + 43, 7, 7, OFF_ON, n + 0x30);
    b.List("LFO2 Sync Note", t + 43, 4, 0, LFO_NOTE, n + 0x2F);
    const char* const PATCH_GROUPS[] = {"Patch 1", "Patch 2", "Patch 3", "Patch 4"};
    for (int i = 0; i < 4; ++i) {
        const std::string patch = PATCH_GROUPS[i];
        b.Group(PATCH_GROUPS[i]);
        b.List(CTableBuilder::Keep(patch + " Destination"), t + 44 + 2 * i, 7, 4, PATCH_DESTINATION,
               n + 0x33 + 3 * i);
        b.List(CTableBuilder::Keep(patch + " Source"), t + 44 + 2 * i, 3, 0, PATCH_SOURCE, n + 0x32 + 3 * i);
        b.Centered(CTableBuilder::Keep(patch + " Intensity"), t + 45 + 2 * i, 63, n + 0x34 + 3 * i);
    }
    b.Group("Mod Sequencer");
    Ms2000Only(b.List("SEQ On/Off", t + 52, 7, 7, OFF_ON, n + 0x40));
    Ms2000Only(b.List("SEQ Run Mode", t + 52, 6, 6, SEQ_RUN_MODE, n + 0x43));
    Ms2000Only(b.List("SEQ Resolution", t + 52, 4, 0, SEQ_RESOLUTION, n + 0x45));
    Ms2000Only(b.Add("SEQ Last Step", t + 53, 7, 4, 0, 15, ParamDisplay::PlusOne, n + 0x41));
    Ms2000Only(b.List("SEQ Type", t + 53, 3, 2, SEQ_TYPE, n + 0x42));
    Ms2000Only(b.List("SEQ Key Sync", t + 53, 1, 0, KEY_SYNC, n + 0x44));
    for (int lane = 0; lane < 3; ++lane) {
        const int at = t + 54 + 18 * lane;
        const int number = n + 0x46 + 0x12 * lane;
        const std::string seq = "SEQ" + std::to_string(lane + 1);
        Ms2000Only(b.List(CTableBuilder::Keep(seq + " Knob"), at, 7, 0, SEQ_KNOB, number));
        Ms2000Only(b.List(CTableBuilder::Keep(seq + " Motion Type"), at + 1, 0, 0, MOTION_TYPE, number + 1));
        // The widest range; Range() narrows it by the lane's knob.
        for (int step = 0; step < 16; ++step)
            Ms2000Only(b.Centered(CTableBuilder::Keep(seq + " Step " + std::to_string(step + 1)), at + 2 + step, 63,
                                  number + 2 + step))
                .knobByte = at;
    }
}

void AddVocoder(CTableBuilder& b)
{
    const int v = TIMBRE1;
    const int n = VOCODER_CHANGE;
    b.Section(ParamSection::Vocoder);
    b.Group("Voice");
    b.Add("MIDI Ch", v + 0, 7, 0, -1, 15, ParamDisplay::Channel, n + 0x03);
    b.List("Assign Mode", v + 1, 7, 6, ASSIGN_MODE, n + 0x00);
    // The vocoder has no parameter change for the resets and the key priority.
    b.List("EG2 Reset", v + 1, 5, 5, OFF_ON, -1);
    b.List("EG1 Reset", v + 1, 4, 4, OFF_ON, -1);
    b.List("Trigger Mode", v + 1, 3, 3, TRIGGER_MODE, n + 0x01);
    Ms2000Only(b.List("Key Priority", v + 1, 1, 0, KEY_PRIORITY, -1));
    Unit(b.Add("Unison Detune", v + 2, 7, 0, 0, 99, ParamDisplay::Plain, n + 0x02), "cents");
    b.Group("Pitch");
    Unit(b.Centered("Tune", v + 3, 50, n + 0x09), "cents");
    Unit(b.Centered("Bend Range", v + 4, 12, n + 0x0C), "semitones");
    Unit(b.Centered("Transpose", v + 5, 24, n + 0x08), "semitones");
    b.Centered("Vibrato Int", v + 6, 63, n + 0x0A);
    b.Group("Carrier");
    b.List("OSC Wave", v + 7, 7, 0, OSC1_WAVE, n + 0x10);
    b.Byte("OSC Ctrl1", v + 8, n + 0x11);
    b.Byte("OSC Ctrl2", v + 9, n + 0x12);
    b.Add("OSC DWGS Wave", v + 10, 7, 0, 0, 63, ParamDisplay::PlusOne, n + 0x13);
    b.Group("Modulator");
    b.List("HPF Gate", v + 12, 0, 0, HPF_GATE, n + 0x1E);
    b.Group("Pitch");
    b.Add("Portamento Time", v + 14, 6, 0, 0, 127, ParamDisplay::Plain, n + 0x0B);
    b.Group("Carrier");
    b.Byte("OSC1 Level", v + 15, n + 0x18);
    b.Byte("Ext1 (Inst) Level", v + 16, n + 0x19);
    b.Byte("Noise Level", v + 17, n + 0x1A);
    b.Group("Modulator");
    b.Byte("HPF Level", v + 18, n + 0x1B);
    b.Byte("Gate Sense", v + 19, n + 0x1C);
    b.Byte("Threshold", v + 20, n + 0x1D);
    b.Group("Filter");
    b.List("Formant Shift", v + 21, 7, 0, FORMANT_SHIFT, n + 0x20);
    // Sent as -63..+63 like every other bipolar parameter; the synthesizer's document
    // leaves it open whether it takes 1..127 instead.
    b.Centered("Cutoff", v + 22, 63, n + 0x21);
    b.Byte("Resonance", v + 23, n + 0x22);
    b.List("Fc Mod Source", v + 24, 7, 0, PATCH_SOURCE, n + 0x23);
    b.Centered("Fc Mod Intensity", v + 25, 63, n + 0x24);
    b.Byte("E.F. Sense", v + 26, n + 0x25);
    b.Group("Amp");
    b.Byte("Amp Level", v + 27, n + 0x28);
    b.Byte("Direct Level", v + 28, n + 0x29);
    b.List("Distortion", v + 29, 0, 0, OFF_ON, n + 0x2A);
    Ms2000Only(b.Centered("Amp Velocity Sense", v + 30, 63, n + 0x2B));
    b.Centered("Amp KBD Track", v + 31, 63, n + 0x2C);
    // The vocoder's parameter changes number EG2 before EG1.
    const char* const STAGES[] = {"Attack", "Decay", "Sustain", "Release"};
    b.Group("EG1");
    for (int i = 0; i < 4; ++i)
        b.Byte(CTableBuilder::Keep(std::string("EG1 ") + STAGES[i]), v + 32 + i, n + 0x34 + i);
    b.Group("EG2");
    for (int i = 0; i < 4; ++i)
        b.Byte(CTableBuilder::Keep(std::string("EG2 ") + STAGES[i]), v + 36 + i, n + 0x30 + i);
    b.Group("LFO1");
    b.List("LFO1 Key Sync", v + 40, 5, 4, KEY_SYNC, n + 0x3C);
    b.List("LFO1 Wave", v + 40, 1, 0, LFO1_WAVE, n + 0x38);
    b.Byte("LFO1 Frequency", v + 41, n + 0x39);
    b.List("LFO1 Tempo Sync", v + 42, 7, 7, OFF_ON, n + 0x3B);
    b.List("LFO1 Sync Note", v + 42, 4, 0, LFO_NOTE, n + 0x3A);
    b.Group("LFO2");
    b.List("LFO2 Key Sync", v + 43, 5, 4, KEY_SYNC, n + 0x44);
    b.List("LFO2 Wave", v + 43, 1, 0, LFO2_WAVE, n + 0x40);
    b.Byte("LFO2 Frequency", v + 44, n + 0x41);
    b.List("LFO2 Tempo Sync", v + 45, 7, 7, OFF_ON, n + 0x43);
    b.List("LFO2 Sync Note", v + 45, 4, 0, LFO_NOTE, n + 0x42);
    b.Group("Channels");
    for (int i = 0; i < 16; ++i)
        b.Byte(CTableBuilder::Keep("Channel " + std::to_string(i + 1) + " Level"), v + 46 + i, n + 0x50 + i);
    for (int i = 0; i < 16; ++i)
        b.Add(CTableBuilder::Keep("Channel " + std::to_string(i + 1) + " Pan"), v + 62 + i, 7, 0, 1, 127,
              ParamDisplay::ChannelPan, n + 0x60 + i);
}

std::vector<CParameter> BuildTable()
{
    std::vector<CParameter> table;
    table.reserve(400);
    CTableBuilder builder(table);
    AddCommon(builder);
    const size_t timbre1 = table.size();
    AddTimbre1(builder);
    const size_t timbre2 = table.size();
    for (size_t i = timbre1; i < timbre2; ++i) {
        CParameter p = table[i];
        p.id = static_cast<int>(table.size());
        p.section = ParamSection::Timbre2;
        p.byte += TIMBRE2_SHIFT;
        if (p.knobByte >= 0)
            p.knobByte += TIMBRE2_SHIFT;
        p.changeNumber += TIMBRE2_CHANGE_SHIFT;
        table.push_back(p);
    }
    AddVocoder(builder);
    return table;
}

}  // namespace

const std::vector<CParameter>& ProgramParameters()
{
    static const std::vector<CParameter> table = BuildTable();
    return table;
}
