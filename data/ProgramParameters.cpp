// Reading, showing and setting one parameter of a program, its name, and the numbers of the
// parameter-change messages.
#include "ParameterCodec.h"

#include <array>

namespace {

const CParameterCodec& CodecOf(const CParameter& parameter)
{
    return ParameterCodecs()[static_cast<size_t>(parameter.id)];
}

bool IsSigned(const CParameter& parameter)
{
    return parameter.display == ParamDisplay::SignedByte || parameter.display == ParamDisplay::Channel;
}

bool ShowsOffset(const CParameter& parameter)
{
    return parameter.display == ParamDisplay::Center64 || parameter.display == ParamDisplay::TimbrePan ||
           parameter.display == ParamDisplay::ChannelPan;
}

// Parameter-change numbers go up to 3FFF; ours all lie below this.
constexpr int CHANGE_NUMBERS = 0x200;

}  // namespace

const CParameter* FindParameter(ParamSection section, std::string_view name)
{
    for (const CParameter& parameter : ProgramParameters())
        if (parameter.section == section && name == parameter.name)
            return &parameter;
    return nullptr;
}

unsigned int StoredBits(const CParameter& parameter, const unsigned char* data)
{
    const CParameterCodec& codec = CodecOf(parameter);
    return codec.kind == CodecKind::Name ? 0 : CodecBits(codec, data);
}

int Value(const CParameter& parameter, const unsigned char* data)
{
    const unsigned int bits = StoredBits(parameter, data);
    return IsSigned(parameter) ? static_cast<int>(static_cast<signed char>(bits)) : static_cast<int>(bits);
}

void Range(const CParameter& parameter, const unsigned char* data, int& minValue, int& maxValue)
{
    if (parameter.knobByte >= 0) {
        StepRange(StepClassOf(data[parameter.knobByte]), minValue, maxValue);
        return;
    }
    minValue = parameter.minValue;
    maxValue = parameter.maxValue;
}

bool InRange(const CParameter& parameter, const unsigned char* data)
{
    return CodecShown(CodecOf(parameter), data).inRange;
}

std::string_view ShownText(const CParameter& parameter, const unsigned char* data)
{
    return CodecShown(CodecOf(parameter), data).View();
}

std::string ShownValueText(const CParameter& parameter, int value)
{
    if (parameter.display == ParamDisplay::Text)
        return std::string();
    const bool named = parameter.display == ParamDisplay::List && value >= 0 && value < parameter.listSize;
    if (named || (value >= parameter.minValue && value <= parameter.maxValue))
        return FormatValue(parameter, value);
    return OutOfRangeText(value);
}

bool SetValue(const CParameter& parameter, unsigned char* data, int value)
{
    if (parameter.display == ParamDisplay::Text)
        return false;
    int minValue = 0, maxValue = 0;
    Range(parameter, data, minValue, maxValue);
    if (value < minValue || value > maxValue)
        return false;
    const CParameterCodec& codec = CodecOf(parameter);
    if (codec.kind == CodecKind::Tempo) {
        data[codec.byte] = static_cast<unsigned char>(value >> 8);
        data[codec.byte + 1] = static_cast<unsigned char>(value & 0xFF);
        return true;
    }
    const unsigned int bits = static_cast<unsigned int>(value) & codec.mask;
    const unsigned int field = static_cast<unsigned int>(codec.mask) << codec.shift;
    data[codec.byte] = static_cast<unsigned char>((data[codec.byte] & ~field) | (bits << codec.shift));
    return true;
}

std::string ProgramNameText(const unsigned char* data)
{
    return std::string(NameView(data).View());
}

bool SetProgramName(unsigned char* data, std::string_view name, std::string& error)
{
    bool shown = name.size() <= NAME_SIZE;
    for (char c : name)
        shown = shown && c >= 32 && c <= 126;
    if (!shown) {
        error = "A program name has at most 12 characters the synthesizer can show: letters, digits, blanks and "
                "the signs of printable ASCII";
        return false;
    }
    for (size_t i = 0; i < NAME_SIZE; ++i)
        data[i] = i < name.size() ? static_cast<unsigned char>(name[i]) : ' ';
    return true;
}

int ChangeValue(const CParameter& parameter, int value)
{
    return ShowsOffset(parameter) ? value - 64 : value;
}

int ValueFromChange(const CParameter& parameter, int changeValue)
{
    return ShowsOffset(parameter) ? changeValue + 64 : changeValue;
}

const CParameter* ParameterForChange(int changeNumber)
{
    static const std::array<const CParameter*, CHANGE_NUMBERS> byNumber = [] {
        std::array<const CParameter*, CHANGE_NUMBERS> numbers{};
        for (const CParameter& parameter : ProgramParameters())
            if (parameter.changeNumber >= 0 && parameter.changeNumber < CHANGE_NUMBERS)
                numbers[static_cast<size_t>(parameter.changeNumber)] = &parameter;
        return numbers;
    }();
    return changeNumber >= 0 && changeNumber < CHANGE_NUMBERS ? byNumber[static_cast<size_t>(changeNumber)] : nullptr;
}

const char* SectionName(ParamSection section)
{
    switch (section) {
    case ParamSection::Common: return "Common";
    case ParamSection::Timbre1: return "Timbre 1";
    case ParamSection::Timbre2: return "Timbre 2";
    case ParamSection::Vocoder: return "Vocoder";
    }
    return "";
}
