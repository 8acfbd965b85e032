#pragma once
// Programs that sound the same: equal data bytes once the 12 name bytes are left aside, so
// that the same sound saved under another name counts as a duplicate.

#include <vector>

class CProgramList;
class CSyxProgram;

// First data byte compared: the bytes before it are the program's name.
constexpr unsigned int DUPLICATE_FIRST_BYTE = 12;

struct CDuplicateGroups {
    // Each group holds two or more records with equal bytes from DUPLICATE_FIRST_BYTE on, in
    // the order given; groups are in the order of their first records.
    std::vector<std::vector<const CSyxProgram*>> groups;

    // How many records have a duplicate: the sum of the group sizes.
    int ProgramCount() const;
    int GroupCount() const { return static_cast<int>(groups.size()); }
};

// Groups the records by a hash of their bytes after the name, then compares the bytes of
// records with equal hashes exactly. Records of different lengths never match.
CDuplicateGroups FindDuplicatePrograms(const CSyxProgram* const* records, int count);
CDuplicateGroups FindDuplicatePrograms(const CProgramList& programs);
