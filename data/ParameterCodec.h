#pragma once
// Inside the parameter model: each parameter's shown texts, worked out once for every value
// its bits can hold, so that reading a program whole formats nothing and allocates nothing.

#include "ProgramParameters.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int NAME_SIZE = 12;

// The text of one stored bit pattern, and whether it is a value of the parameter. Kept small:
// reading a program whole reads one for each parameter.
struct CShownValue {
    const char* text = "";
    std::uint32_t size = 0;
    bool inRange = true;

    std::string_view View() const { return std::string_view(text, size); }
};

enum class CodecKind : std::uint8_t {
    Bits,   // the field's bits index `texts`
    Step,   // a mod-sequencer step: `texts` holds a table of 256 per StepClass, chosen by its lane's knob
    Tempo,  // two bytes, high byte first
    Name,   // the 12 name bytes
};

// How a mod-sequencer step is read: by the class of its lane's knob.
enum StepClass { STEP_BIPOLAR = 0, STEP_SEMITONES = 1, STEP_LENGTH = 2, STEP_CLASSES = 3 };

struct CParameterCodec {
    const CParameter* parameter = nullptr;
    const CShownValue* texts = nullptr;                    // Bits and Step
    std::uint8_t byte = 0;
    std::uint8_t shift = 0;
    std::uint8_t mask = 0;
    std::uint8_t knobByte = 0;                             // Step: its lane's knob
    CodecKind kind = CodecKind::Bits;
};

// Every parameter's codec, indexed by the parameter's id.
const std::vector<CParameterCodec>& ParameterCodecs();

// The class of a lane's knob value, and the range of a step under it (as stored, 64 + x).
extern const std::uint8_t STEP_CLASS_OF_KNOB[256];
inline StepClass StepClassOf(unsigned int knob)
{
    return static_cast<StepClass>(STEP_CLASS_OF_KNOB[knob & 0xFF]);
}
void StepRange(StepClass stepClass, int& minValue, int& maxValue);

// The field's bits of a codec, and its shown value (the name: see NameView).
inline unsigned int CodecBits(const CParameterCodec& codec, const unsigned char* data)
{
    if (codec.kind == CodecKind::Tempo)
        return (static_cast<unsigned int>(data[codec.byte]) << 8) | data[codec.byte + 1];
    return (static_cast<unsigned int>(data[codec.byte]) >> codec.shift) & codec.mask;
}
CShownValue CodecShownSlowly(const CParameterCodec& codec, const unsigned char* data);  // Tempo and Name
inline CShownValue CodecShown(const CParameterCodec& codec, const unsigned char* data)
{
    if (codec.kind == CodecKind::Bits)
        return codec.texts[CodecBits(codec, data)];
    if (codec.kind == CodecKind::Step)
        return codec.texts[StepClassOf(data[codec.knobByte]) * 256 + data[codec.byte]];
    return CodecShownSlowly(codec, data);
}

// The name as shown: its bytes up to the first NUL, without trailing blanks; in range when
// each of the 12 bytes is a character the synthesizer has (32-127).
CShownValue NameView(const unsigned char* data);

// The text of a value that is in range, formatted afresh (for the codecs and for editors).
std::string FormatValue(const CParameter& parameter, int value);
// "200 (out of range)".
std::string OutOfRangeText(int value);
