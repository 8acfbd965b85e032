#include "ExportFileName.h"

#include <algorithm>
#include <cstring>

namespace {
// The name as a file name can hold it: see ProgramExportFileName.
std::string FileNameText(const std::string& shownName)
{
    std::string name;
    for (char c : shownName) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            name += ' ';
        } else if (byte >= 0x80) {
            name += static_cast<char>(0xC0 | (byte >> 6));
            name += static_cast<char>(0x80 | (byte & 0x3F));
        } else if (std::strchr("/\\:*?\"<>|", c) != nullptr) {
            name += '_';
        } else {
            name += c;
        }
    }
    return name;
}

// A name of blanks only would make a file of no name at all.
std::string NamedOrNot(const std::string& shownName)
{
    const std::string text = FileNameText(shownName);
    return text.find_first_not_of(' ') == std::string::npos ? std::string("no name") : text;
}
}  // namespace

std::string ProgramExportFileName(CollectionId id, const std::string& shownName)
{
    return std::to_string(id) + ' ' + FileNameText(shownName) + ".syx";
}

std::string ProgramFileName(const std::string& shownName)
{
    return NamedOrNot(shownName) + ".syx";
}

std::string NumberedProgramFileName(int position, int count, const std::string& shownName)
{
    std::string number = std::to_string(position);
    const std::size_t width = std::max<std::size_t>(2, std::to_string(count).size());
    if (number.size() < width)
        number.insert(0, width - number.size(), '0');
    return number + ' ' + NamedOrNot(shownName) + ".syx";
}
