#include "InitProgram.h"

#include <cstddef>
#include <cstring>

namespace {
// Byte offsets of the program (common part) and of a timbre block (from its first byte).
constexpr std::size_t TIMBRE1 = 38;
constexpr std::size_t TIMBRE2 = 146;
constexpr std::size_t TIMBRE_SIZE = 108;
// Stored values of the shown 0 of a bipolar parameter, and of its full scale.
constexpr unsigned char CENTER = 64;
constexpr unsigned char FULL = 127;

// A field in its bits: `value` shifted up to the field's lowest bit.
constexpr unsigned char Bits(int value, int lowBit) { return static_cast<unsigned char>(value << lowBit); }

void SetCommonPart(unsigned char* p)
{
    std::memcpy(p, "INIT Program", 12);
    p[13] = 11;                      // the kind-of-sound byte the synthesizer's INIT programs carry
    p[16] = Bits(1, 6) | Bits(0, 4); // Timbre Voice 2+2, Voice Mode Single
    p[17] = Bits(0, 4) | Bits(0, 0); // Scale Key C, Scale Type Equal Temp
    p[18] = 60;                      // Split Point C4
    p[19] = Bits(0, 7) | Bits(0, 0); // Delay Sync Off, Time Base 1/32
    p[20] = 40;                      // Delay Time
    p[21] = 0;                       // Delay Depth
    p[22] = 0;                       // Delay Type StereoDelay
    p[23] = 30;                      // Mod FX LFO Speed
    p[24] = 0;                       // Mod FX Depth
    p[25] = 0;                       // Mod FX Type Cho/Flg
    p[26] = 20;                      // EQ Hi Freq 6.00 kHz
    p[27] = CENTER;                  // EQ Hi Gain 0 dB
    p[28] = 15;                      // EQ Low Freq 320 Hz
    p[29] = CENTER;                  // EQ Low Gain 0 dB
    p[30] = 0;                       // Arp Tempo 120 BPM, high byte first
    p[31] = 120;
    p[32] = 0;                       // Arp Off, Latch Off, Target Both, Key Sync Off
    p[33] = Bits(0, 4) | Bits(0, 0); // Arp Range 1 octave, Type Up
    p[34] = 80;                      // Arp Gate Time 80 %
    p[35] = 1;                       // Arp Resolution 1/16
    p[36] = 0;                       // Arp Swing 0 %
}

// One timbre block; `t` points at its first byte.
void SetTimbre(unsigned char* t)
{
    t[0] = 0xFF;                                       // MIDI Ch GLB
    t[1] = Bits(1, 6) | Bits(1, 5) | Bits(1, 4);       // Poly, EG2 Reset On, EG1 Reset On, Single trigger, Last
    t[2] = 10;                                         // Unison Detune 10 cents
    t[3] = CENTER;                                     // Tune 0
    t[4] = CENTER + 2;                                 // Bend Range +2
    t[5] = CENTER;                                     // Transpose 0
    t[6] = CENTER + 5;                                 // Vibrato Int +5
    t[7] = 0;                                          // OSC1 Wave Saw, Ctrl1 0, Ctrl2 0, DWGS 1
    t[12] = Bits(0, 4) | Bits(0, 0);                   // OSC2 Mod Off, Wave Saw
    t[13] = CENTER;                                    // OSC2 Semitone 0
    t[14] = CENTER;                                    // OSC2 Tune 0
    t[15] = 0;                                         // Portamento Time
    t[16] = FULL;                                      // OSC1 Level; OSC2 and Noise silent
    t[19] = 1;                                         // Filter Type 12LPF
    t[20] = FULL;                                      // Cutoff
    t[21] = 10;                                        // Resonance
    t[22] = CENTER;                                    // Filter EG1 Int 0
    t[23] = CENTER;                                    // Filter Velocity Sense 0
    t[24] = CENTER;                                    // Filter KBD Track 0
    t[25] = FULL;                                      // Amp Level
    t[26] = CENTER;                                    // Amp Panpot CNT
    t[27] = Bits(0, 6) | Bits(0, 0);                   // Amp SW EG2, Distortion Off
    t[28] = CENTER;                                    // Amp Velocity Sense 0
    t[29] = CENTER;                                    // Amp KBD Track 0
    for (std::size_t eg : {30u, 34u}) {                // EG1 and EG2: A 0, D 64, S 127, R 0
        t[eg] = 0;
        t[eg + 1] = CENTER;
        t[eg + 2] = FULL;
        t[eg + 3] = 0;
    }
    t[38] = Bits(0, 4) | Bits(2, 0);                   // LFO1 Key Sync OFF, Wave Tri
    t[39] = 10;                                        // LFO1 Frequency
    t[40] = Bits(0, 7) | Bits(3, 0);                   // LFO1 Tempo Sync Off, note 1/2
    t[41] = Bits(0, 4) | Bits(2, 0);                   // LFO2 Key Sync OFF, Wave Sin
    t[42] = 70;                                        // LFO2 Frequency
    t[43] = Bits(0, 7) | Bits(12, 0);                  // LFO2 Tempo Sync Off, note 1/16
    // The four patches, destination in the high nibble, source in the low, intensity 0:
    // LFO1 and LFO2 to Pitch, LFO1 and LFO2 to Cutoff.
    const unsigned char patches[4] = {Bits(0, 4) | 2, Bits(0, 4) | 3, Bits(4, 4) | 2, Bits(4, 4) | 3};
    for (std::size_t i = 0; i < 4; ++i) {
        t[44 + 2 * i] = patches[i];
        t[45 + 2 * i] = CENTER;
    }
    t[52] = Bits(0, 7) | Bits(1, 6) | Bits(3, 0);      // SEQ Off, Run Mode Loop, Resolution 1/16
    t[53] = Bits(15, 4) | Bits(0, 2) | Bits(1, 0);     // Last Step 16, Forward, Key Sync Timbre
    // Three lanes of knob, motion type and 16 steps at 0: SEQ1 on Pitch, the others on None,
    // all with the Step motion.
    const unsigned char knobs[3] = {1, 0, 0};
    for (std::size_t lane = 0; lane < 3; ++lane) {
        unsigned char* l = t + 54 + 18 * lane;
        l[0] = knobs[lane];
        l[1] = 1;
        std::memset(l + 2, CENTER, 16);
    }
}
}  // namespace

CBank::ProgramData InitProgram()
{
    CBank::ProgramData program{};
    SetCommonPart(program.data());
    SetTimbre(program.data() + TIMBRE1);
    // Timbre 2 is whole in a Single program too: the same block again.
    std::memcpy(program.data() + TIMBRE2, program.data() + TIMBRE1, TIMBRE_SIZE);
    return program;
}

CBank InitBank()
{
    const std::vector<CBank::ProgramData> programs(BANK_SLOT_COUNT, InitProgram());
    return *CBank::FromProgramData(programs);
}
