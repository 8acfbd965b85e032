// A shown text read back into the value it stands for.
#include "ParameterCodec.h"

#include <cctype>

namespace {

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool SameLetters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The text without the parameter's unit after it ("+5 dB", "8.00 kHz").
std::string_view WithoutUnit(const CParameter& parameter, std::string_view text)
{
    const std::string_view unit = parameter.unit;
    if (!unit.empty() && text.size() > unit.size() && SameLetters(text.substr(text.size() - unit.size()), unit))
        return Trimmed(text.substr(0, text.size() - unit.size()));
    return text;
}

// A whole number, with an optional sign; "±" counts as no sign.
bool ParseInteger(std::string_view text, int& value)
{
    bool negative = false;
    if (text.substr(0, 2) == "\xC2\xB1")
        text.remove_prefix(2);
    else if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        negative = text[0] == '-', text.remove_prefix(1);
    if (text.empty() || text.size() > 6)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (negative)
        value = -value;
    return true;
}

// A number in hundredths, for lists of numbers: "8", "8.0" and "8.00" are all 800, "-1" is
// -100, "±0" is 0.
bool ParseHundredths(std::string_view text, long& hundredths)
{
    const size_t point = text.find('.');
    int whole = 0;
    if (!ParseInteger(text.substr(0, point), whole))
        return false;
    hundredths = whole * 100L;
    if (point == std::string_view::npos)
        return true;
    const std::string_view fraction = text.substr(point + 1);
    if (fraction.empty() || fraction.size() > 2 || whole < 0)
        return false;
    int digits = 0;
    for (char c : fraction) {
        if (c < '0' || c > '9')
            return false;
        digits = digits * 10 + (c - '0');
    }
    hundredths += fraction.size() == 1 ? digits * 10 : digits;
    return true;
}

bool ParsePan(std::string_view text, int& value)
{
    if (SameLetters(text, "CNT")) {
        value = 64;
        return true;
    }
    int amount = 0;
    if (text.size() < 2 || !ParseInteger(text.substr(1), amount) || text[1] == '+' || text[1] == '-' || amount < 1)
        return false;
    const char side = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (side != 'L' && side != 'R')
        return false;
    value = side == 'L' ? 64 - amount : 64 + amount;
    return true;
}

// "C4", "c#4", "Db4", "C-1": note 60, 61, 61, 0.
bool ParseNote(std::string_view text, int& value)
{
    static const int STEPS[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (text.empty())
        return false;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G')
        return false;
    int note = STEPS[letter - 'A'];
    text.remove_prefix(1);
    if (!text.empty() && text[0] == '#')
        ++note, text.remove_prefix(1);
    else if (!text.empty() && (text[0] == 'b' || text[0] == 'B') && text.size() > 1)
        --note, text.remove_prefix(1);
    int octave = 0;
    if (!ParseInteger(text, octave) || text[0] == '+' || octave < -1 || octave > 9)
        return false;
    value = (octave + 1) * 12 + note;
    return true;
}

bool ParseListName(const CParameter& parameter, std::string_view text, int& value)
{
    for (int i = parameter.minValue; i <= parameter.maxValue; ++i)
        if (SameLetters(text, parameter.listNames[i])) {
            value = i;
            return true;
        }
    // A list of numbers also takes them written another way: "8" for "8.00", "0" for "±0".
    long wanted = 0, named = 0;
    if (!ParseHundredths(text, wanted))
        return false;
    for (int i = parameter.minValue; i <= parameter.maxValue; ++i)
        if (ParseHundredths(parameter.listNames[i], named) && named == wanted) {
            value = i;
            return true;
        }
    return false;
}

// What a parameter takes, for the error text: "-63 to +63", "Saw, Squ or Tri".
std::string Takes(const CParameter& parameter)
{
    if (parameter.display != ParamDisplay::List)
        return ShownValueText(parameter, parameter.minValue) + " to " + ShownValueText(parameter, parameter.maxValue);
    std::string names;
    for (int i = parameter.minValue; i <= parameter.maxValue; ++i) {
        if (i > parameter.minValue)
            names += i == parameter.maxValue ? " or " : ", ";
        names += parameter.listNames[i];
    }
    return names;
}

bool ParseValue(const CParameter& parameter, std::string_view text, int& value)
{
    int number = 0;
    switch (parameter.display) {
    case ParamDisplay::Plain:
    case ParamDisplay::Tempo16:
    case ParamDisplay::SignedByte:
        return ParseInteger(text, value);
    case ParamDisplay::Center64:
        if (!ParseInteger(text, number))
            return false;
        value = number + 64;
        return true;
    case ParamDisplay::PlusOne:
        if (!ParseInteger(text, number))
            return false;
        value = number - 1;
        return true;
    case ParamDisplay::Channel:
        if (SameLetters(text, "GLB")) {
            value = -1;
            return true;
        }
        if (!ParseInteger(text, number) || text[0] == '+' || text[0] == '-' || number < 1)
            return false;
        value = number - 1;
        return true;
    case ParamDisplay::TimbrePan:
    case ParamDisplay::ChannelPan:
        return ParsePan(text, value);
    case ParamDisplay::NoteName:
        return ParseNote(text, value);
    case ParamDisplay::List:
        return ParseListName(parameter, text, value);
    case ParamDisplay::Text:
        break;
    }
    return false;
}

}  // namespace

bool ParseShownText(const CParameter& parameter, std::string_view text, int& value, std::string& error)
{
    if (parameter.display == ParamDisplay::Text) {
        error = std::string(parameter.name) + " is a text of at most 12 characters, not a value";
        return false;
    }
    const std::string_view shown = WithoutUnit(parameter, Trimmed(text));
    int parsed = 0;
    if (!ParseValue(parameter, shown, parsed) || parsed < parameter.minValue || parsed > parameter.maxValue) {
        error = std::string(parameter.name) + " takes " + Takes(parameter) + ", not \"" + std::string(text) + "\"";
        return false;
    }
    value = parsed;
    return true;
}
