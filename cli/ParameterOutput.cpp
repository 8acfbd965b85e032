#include "ParameterOutput.h"

#include "TextOutput.h"

#include <cstdio>

namespace {

bool IsName(const CParameter& parameter)
{
    return parameter.display == ParamDisplay::Text;
}

std::string Field(const CParameter& parameter, std::string_view shown)
{
    return FieldText(shown, IsName(parameter));
}

// "section": ..., "name": ..., "byte": ..., "bits": [h, l]
std::string PlaceFields(const CParameter& parameter)
{
    return "\"section\": " + JsonString(SectionName(parameter.section), false) +
           ", \"name\": " + JsonString(parameter.name, false) + ", \"byte\": " + std::to_string(parameter.byte) +
           ", \"bits\": [" + std::to_string(parameter.highBit) + ", " + std::to_string(parameter.lowBit) + "]";
}

// A stored value: its number, or for the name the numbers of its 12 bytes.
std::string StoredJson(const CParameter& parameter, unsigned int stored, const unsigned char* data)
{
    if (!IsName(parameter))
        return std::to_string(stored);
    std::string bytes = "[";
    for (int i = 0; i < 12; ++i)
        bytes += (i > 0 ? ", " : "") + std::to_string(data[parameter.byte + i]);
    return bytes + "]";
}

const char* Bool(bool value)
{
    return value ? "true" : "false";
}

}  // namespace

std::string JsonString(std::string_view text, bool latin1)
{
    std::string json = "\"";
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
        } else if (byte >= 0x80 && latin1) {
            json += static_cast<char>(0xC0 | (byte >> 6));
            json += static_cast<char>(0x80 | (byte & 0x3F));
        } else {
            json += c;
        }
    }
    return json + "\"";
}

void WriteShownLines(std::ostream& out, const std::vector<CShownParameter>& shown)
{
    for (const CShownParameter& s : shown)
        out << SectionName(s.parameter->section) << '\t' << s.parameter->name << '\t' << Field(*s.parameter, s.shown)
            << '\n';
}

void WriteShownJson(std::ostream& out, const std::vector<CShownParameter>& shown, const unsigned char* data)
{
    out << '[';
    for (size_t i = 0; i < shown.size(); ++i) {
        const CShownParameter& s = shown[i];
        out << (i > 0 ? ",\n " : "\n ") << '{' << PlaceFields(*s.parameter)
            << ", \"stored\": " << StoredJson(*s.parameter, s.stored, data)
            << ", \"shown\": " << JsonString(s.shown, IsName(*s.parameter)) << ", \"inRange\": " << Bool(s.inRange)
            << '}';
    }
    out << (shown.empty() ? "]\n" : "\n]\n");
}

void WriteDifferenceLines(std::ostream& out, const CProgramComparison& comparison, const char* indent)
{
    for (const CParameterDifference& d : comparison.differences)
        out << indent << SectionName(d.parameter->section) << '\t' << d.parameter->name << '\t'
            << Field(*d.parameter, d.firstShown) << '\t' << Field(*d.parameter, d.secondShown) << '\n';
}

void WriteDifferenceJson(std::ostream& out, const CProgramComparison& comparison, const unsigned char* first,
                         const unsigned char* second)
{
    out << '[';
    for (size_t i = 0; i < comparison.differences.size(); ++i) {
        const CParameterDifference& d = comparison.differences[i];
        const CParameter& p = *d.parameter;
        out << (i > 0 ? ",\n " : "\n ") << '{' << PlaceFields(p)
            << ", \"firstStored\": " << StoredJson(p, d.firstStored, first)
            << ", \"secondStored\": " << StoredJson(p, d.secondStored, second)
            << ", \"firstShown\": " << JsonString(d.firstShown, IsName(p))
            << ", \"secondShown\": " << JsonString(d.secondShown, IsName(p))
            << ", \"firstInRange\": " << Bool(InRange(p, first)) << ", \"secondInRange\": " << Bool(InRange(p, second))
            << '}';
    }
    out << (comparison.differences.empty() ? "]\n" : "\n]\n");
}
