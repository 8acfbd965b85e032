#pragma once
// What a program is, parameter by parameter: one table of every parameter of the 254-byte
// MS2000 program (the common part, both timbres at their absolute offsets, the mod
// sequencer and the vocoder block), with reading, showing, parsing and setting a value, and
// which parameters apply to a given program.
//
// Bytes that carry no parameter (12-15, 37, the dummy bytes, the "not use" bits, vocoder
// 116-253) are in no entry: nothing here reads or changes them, so they are written back
// exactly as read. A value outside its range (real files can hold anything) is shown as it
// is, marked "(out of range)", and never clamped.
//
// Standard library only. Nothing throws: what can fail returns false and a text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Which instrument the parameters are shown for. They share the dump format; the microKORG
// lacks the mod sequencer and a few settings, which are then not shown (never changed).
enum class SynthModel { MS2000, MicroKorg };

// Where a parameter lives: the common part, timbre 1 or 2 (voice modes Single, Split and
// Dual), or the vocoder block (voice mode Vocoder, in place of both timbres).
enum class ParamSection { Common, Timbre1, Timbre2, Vocoder };

// How a stored value is shown.
enum class ParamDisplay {
    Plain,       // as stored
    Center64,    // stored 64 + x shows x, with a sign: "-3", "0", "+63"
    PlusOne,     // stored n shows n + 1
    SignedByte,  // two's complement byte: "-22", "+100"
    Channel,     // signed byte: -1 "GLB", 0..15 "1".."16"
    TimbrePan,   // 0 "L64", 1..63 "L63".."L1", 64 "CNT", 65..127 "R1".."R63"
    ChannelPan,  // 1..127 as TimbrePan (0 is out of range)
    Tempo16,     // two bytes, high byte first
    NoteName,    // 0 "C-1", 60 "C4", 127 "G9"
    List,        // a name per stored value
    Text,        // the program name: 12 characters
};

struct CParameter {
    int id = 0;                    // its index in the table
    ParamSection section = ParamSection::Common;
    const char* group = "";        // the panel's group: "Voice", "Pitch", "OSC1", "Filter EG", ...
    const char* name = "";         // as the parameter page writes it: "Cutoff", "SEQ1 Step 5"
    int byte = 0;                  // its first byte, 0-253
    int highBit = 7;               // [highBit, lowBit] of the byte; Tempo16 is [15, 0]
    int lowBit = 0;
    int minValue = 0;              // the range of Value(), both ends included: what can be set
    int maxValue = 0;
    ParamDisplay display = ParamDisplay::Plain;
    const char* const* listNames = nullptr;  // List: the name of value i
    int listSize = 0;              // may name values past maxValue that a program can hold but
                                   // that are not offered (Arp Target 3, "OFF"): they are shown by
                                   // name and count as in range, but are never set or parsed
    const char* unit = "";         // "%", "cents", "kHz", ... (shown by the editor beside it)
    int changeNumber = -1;         // its parameter-change number, or -1 when it has none
    bool ms2000Only = false;       // not shown for the microKORG
    int knobByte = -1;             // a mod-sequencer step: its lane's knob, which sets its range
};

// Every parameter, in the parameter page's order: common, timbre 1, timbre 2, vocoder.
const std::vector<CParameter>& ProgramParameters();
// The parameter of a section with this name ("Cutoff"), or null.
const CParameter* FindParameter(ParamSection section, std::string_view name);

// The field's bits as an unsigned number (the 16-bit tempo: both bytes; the name: 0).
unsigned int StoredBits(const CParameter& parameter, const unsigned char* data);
// The field as the number its range is given in: the stored bits, read as signed for
// SignedByte and Channel.
int Value(const CParameter& parameter, const unsigned char* data);
// The range that holds for this program: a mod-sequencer step's depends on its lane's knob
// (Pitch and OSC2Semi -24..+24, StepLength -6..+6, others -63..+63, as 64 + x).
void Range(const CParameter& parameter, const unsigned char* data, int& minValue, int& maxValue);
bool InRange(const CParameter& parameter, const unsigned char* data);

// What the synthesizer shows: "Saw", "-12", "L20", "CNT", "1/16", "GLB", "C4", "120"; a value
// out of range as "200 (out of range)". The text lives in static storage, except the name's,
// which is a view of `data`.
std::string_view ShownText(const CParameter& parameter, const unsigned char* data);
// The shown text of a value (for an editor's controls and lists).
std::string ShownValueText(const CParameter& parameter, int value);
// The value a shown text stands for ("Saw", "-12", "+5", "L20", "GLB", "C4", case ignored,
// white space around it ignored). False, with `error` naming the parameter and what it
// takes, for a text that is not one of its values.
bool ParseShownText(const CParameter& parameter, std::string_view text, int& value, std::string& error);

// Sets the parameter's bits to `value` and changes nothing else. False, changing nothing,
// for a value outside the parameter's range for this program (Range()).
bool SetValue(const CParameter& parameter, unsigned char* data, int value);

// The program name (bytes 0-11, blank padded) as text, and setting it: at most 12 printable
// ASCII characters (32-126); false, changing nothing, with `error` naming the characters the
// synthesizer can show, for anything else. (Parameter changes 000-00B carry its characters,
// one each; the Name entry has no number of its own.)
std::string ProgramNameText(const unsigned char* data);
bool SetProgramName(unsigned char* data, std::string_view name, std::string& error);

// The value a parameter-change message carries for this value (shown units: Center64 and
// the pans as x - 64, the others as their value), and back.
int ChangeValue(const CParameter& parameter, int value);
int ValueFromChange(const CParameter& parameter, int changeValue);
// The parameter with this parameter-change number, or null.
const CParameter* ParameterForChange(int changeNumber);

// The parameters that apply to a program, in the page's order: the common part, then timbre
// 1, timbre 2 only for Split and Dual, the vocoder block instead of the timbres for Vocoder
// programs; for the microKORG, none that it lacks. `all` adds the parameters that do not
// apply (a Single program's timbre 2).
std::vector<const CParameter*> ApplicableParameters(const unsigned char* data, SynthModel model, bool all = false);

// One shown parameter, for listing a program whole.
struct CShownParameter {
    const CParameter* parameter = nullptr;
    unsigned int stored = 0;
    std::string_view shown;
    bool inRange = true;
};
// Every applicable parameter of a program, shown. Allocates nothing once `out` has room.
void ShowParameters(const unsigned char* data, SynthModel model, bool all, std::vector<CShownParameter>& out);

// A parameter whose stored values differ between two programs.
struct CParameterDifference {
    const CParameter* parameter = nullptr;
    unsigned int firstStored = 0;
    unsigned int secondStored = 0;
    std::string_view firstShown;
    std::string_view secondShown;
};
struct CProgramComparison {
    bool voiceModeDiffers = false;   // only the parameters both programs have are compared
    std::vector<CParameterDifference> differences;  // in the page's order
};
// Two programs parameter by parameter; the name counts as a parameter "Name".
CProgramComparison CompareParameters(const unsigned char* first, const unsigned char* second, SynthModel model);

const char* SectionName(ParamSection section);  // "Common", "Timbre 1", "Timbre 2", "Vocoder"
