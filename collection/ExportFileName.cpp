#include "ExportFileName.h"

#include <cstring>

std::string ProgramExportFileName(CollectionId id, const std::string& shownName)
{
    std::string name = std::to_string(id) + ' ';
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
    return name + ".syx";
}
