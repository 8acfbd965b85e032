#pragma once
// Every name of every program, kept in memory for searches by a fragment of a name.
//
// A search matches the fragment against all names; in SQL that is a LIKE over every row,
// several times slower than a plain loop over names already folded to small letters. The
// names seen are read from the sources' name blobs, a row per dump rather than a row per
// program, and the names the user gave from program_name. They are read again whenever any
// connection has committed a change since.

#include <cstdint>
#include <string>
#include <vector>

class CSqliteDb;

class CNameIndex
{
public:
    // The ids of the programs with a name holding `fragment` (letter case ignored), in
    // ascending order. Reads the names again when `version` differs from the last call's.
    bool Find(CSqliteDb& db, std::int64_t version, const std::string& fragment, std::vector<std::int64_t>& programs);

private:
    bool Load(CSqliteDb& db);

    struct CName {
        std::int64_t program;
        std::string folded;
    };
    std::vector<CName> m_names;
    std::int64_t m_version = -1;
};

// ASCII letters made small; other bytes as they are.
std::string FoldCase(const std::string& text);
