#include "ProgramSource.h"

#include "CliCollection.h"
#include "CliContext.h"
#include "CliOptions.h"
#include "FileDisplayName.h"
#include "ProgramList.h"
#include "SyxProgram.h"
#include "TextOutput.h"
#include "WindowSettings.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr int SLOTS = 128;
constexpr int SLOTS_PER_BANK = 16;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

bool ParseSlotName(const std::string& text, int& slot)
{
    if (text.size() < 2)
        return false;
    const char bank = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    std::string digits = text.substr(1);
    if (digits[0] == ' ')
        digits.erase(0, 1);
    if (bank < 'A' || bank > 'H' || digits.empty() || digits.size() > 3)
        return false;
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > SLOTS_PER_BANK)
        return false;
    slot = (bank - 'A') * SLOTS_PER_BANK + number - 1;
    return true;
}

bool IsModelName(const std::string& name)
{
    return name == "ms2000" || name == "microkorg";
}

SynthModel CliSynthModel(const CCliOptions& options, CCliContext& context)
{
    std::string name = options.model;
    if (name.empty()) {
        const std::string stored = ReadStoredModel(context.settingsPath);
        name = Lower(stored);
        if (!name.empty() && !IsModelName(name)) {
            context.err << "The window's setting [editor] model is \"" << FieldText(stored, false)
                        << "\", neither ms2000 nor microkorg: showing the MS2000's parameters" << std::endl;
            name.clear();
        }
    }
    return name == "microkorg" ? SynthModel::MicroKorg : SynthModel::MS2000;
}

CProgramFinder::CProgramFinder(const CCliOptions& options, CCliContext& context)
    : m_options(options), m_context(context)
{
}

CProgramFinder::~CProgramFinder() = default;

ProgramLookup CProgramFinder::FromFile(const std::string& path, int slot, const std::string& slotHint,
                                       CCliProgram& program, std::string& error)
{
    const std::string displayName = DisplayNameForFile(path, true);
    CProgramList programs;
    if (!programs.ReadSyxFile(path, error, displayName)) {
        error = "Failed to parse Syx file " + FieldText(displayName, false) + ". " + error;
        return ProgramLookup::BadFile;
    }
    const std::string quoted = "\"" + FieldText(path, false) + "\"";
    int index = 0;
    if (programs.GetSize() == 1 && slot >= 0) {
        error = quoted + " holds one program: a slot names a program of a 128-program dump";
        return ProgramLookup::BadArgument;
    }
    if (programs.GetSize() == SLOTS) {
        if (slot < 0) {
            error = quoted + " holds 128 programs: say which, " + slotHint;
            return ProgramLookup::BadArgument;
        }
        index = slot;
    }
    const CSyxProgram* record = programs.GetAt(index);
    if (record == nullptr || record->GetLength() != program.data.size()) {
        error = quoted + " does not hold a program of 254 bytes";
        return ProgramLookup::BadFile;
    }
    std::memcpy(program.data.data(), record->GetData(), program.data.size());
    program.label = path;
    return ProgramLookup::Found;
}

ProgramLookup CProgramFinder::FromId(std::int64_t id, CCliProgram& program, std::string& error)
{
    if (!m_collection) {
        m_collection = OpenCliCollection(m_options, m_context, true);
        if (!m_collection) {
            error.clear();
            return ProgramLookup::NoCollection;
        }
    }
    CollectionProgramData data;
    if (!m_collection->ProgramData(id, data)) {
        // A damaged source or a failing database is the Collection's trouble, told as such.
        if (!ReadSucceeded(*m_collection, m_context)) {
            error.clear();
            return ProgramLookup::NoCollection;
        }
        error = "No program has the ID " + std::to_string(id) + " in the Collection (veltrix-cli search lists them)";
        return ProgramLookup::BadArgument;
    }
    std::copy(data.begin(), data.end(), program.data.begin());
    program.label = "id:" + std::to_string(id);
    return ProgramLookup::Found;
}

ProgramLookup CProgramFinder::FromArgument(const std::string& argument, CCliProgram& program, std::string& error)
{
    if (argument.compare(0, 3, "id:") == 0) {
        std::int64_t id = 0;
        if (!ParseCollectionId(argument.substr(3), id)) {
            error = "\"" + FieldText(argument, false) + "\" is not a program ID (veltrix-cli search lists them)";
            return ProgramLookup::BadArgument;
        }
        return FromId(id, program, error);
    }
    const auto colon = argument.rfind(':');
    int slot = -1;
    std::string path = argument;
    if (colon != std::string::npos && colon > 0 && ParseSlotName(argument.substr(colon + 1), slot))
        path = argument.substr(0, colon);
    const ProgramLookup found = FromFile(path, slot, "as in " + FieldText(path, false) + ":A05", program, error);
    program.label = argument;
    return found;
}
