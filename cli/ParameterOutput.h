#pragma once
// How show, compare and diff --params print parameters: tab-separated lines, or JSON.
#include "ProgramParameters.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// A JSON string, quotes included. `latin1`: bytes of 128 and above are Latin-1 characters
// (a program name); else the text is UTF-8 already.
std::string JsonString(std::string_view text, bool latin1);

// `Section<TAB>Name<TAB>Shown`, one line per parameter.
void WriteShownLines(std::ostream& out, const std::vector<CShownParameter>& shown);
// An array of objects: section, name, byte, bits, stored, shown, inRange. The name's stored
// value is its 12 bytes.
void WriteShownJson(std::ostream& out, const std::vector<CShownParameter>& shown, const unsigned char* data);

// `<indent>Section<TAB>Name<TAB>first<TAB>second`, one line per difference.
void WriteDifferenceLines(std::ostream& out, const CProgramComparison& comparison, const char* indent);
// An array of objects: section, name, byte, bits, and stored, shown and inRange for each
// program (firstStored, secondStored, ...).
void WriteDifferenceJson(std::ostream& out, const CProgramComparison& comparison, const unsigned char* first,
                         const unsigned char* second);
