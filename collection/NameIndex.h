#pragma once
// Finding programs by a fragment of any name they were seen with.
//
// Names are matched as they are shown: each byte from 0x80 up is the Latin-1 character
// veltrix-cli prints and the window shows for it, and letter case is ignored (A-Z and the
// Latin-1 capitals). A fragment of three or more characters is looked up in the trigram
// indexes source_name_search (a source's slot names) and given_name_search (the names of
// program_name), and only the names of the sources and programs found are compared. A shorter
// fragment, which a trigram cannot find (or one whose every trigram holds a line break), is
// compared with every name: CNameIndex keeps them in memory, read again when any connection
// committed a change since. The sources not yet in the index (the last few taken in) have
// their names compared as they are.

#include <cstdint>
#include <string>
#include <vector>

class CSqliteDb;

// The text a name is searched as: UTF-8, Latin-1 letters made small. `bytes` are taken as
// Latin-1, except that a query typed as UTF-8 (`utf8`) keeps its characters; bytes of it
// that are not UTF-8 are Latin-1 too.
std::string SearchText(const std::string& bytes, bool utf8);
// The search text of each slot's name (12 bytes a slot), one per line: a source's document
// in source_name_search.
std::string SlotNamesSearchText(const unsigned char* names, std::size_t slots);

// Adds the slot names of the sources taken in since names_indexed_upto to the trigram index,
// in one go once there are enough of them (or `now`), as one batch costs a fraction of a
// write of the index per source; the others are compared name by name until then. Inside
// the caller's transaction.
bool IndexNewSourceNames(CSqliteDb& db, bool now = false);
// Adds a name given to a program to given_name_search; inside the caller's transaction.
bool IndexGivenName(CSqliteDb& db, std::int64_t program, const std::string& name);

class CNameIndex
{
public:
    // The ids of the programs with a name holding `fragment`, in ascending order. Reads the
    // names again when `version` differs from the last call's (short fragments only).
    bool Find(CSqliteDb& db, std::int64_t version, const std::string& fragment, std::vector<std::int64_t>& programs);

private:
    bool FindIndexed(CSqliteDb& db, const std::string& needle, const std::string& query,
                     std::vector<std::int64_t>& programs);
    bool FindInMemory(CSqliteDb& db, std::int64_t version, const std::string& needle,
                      std::vector<std::int64_t>& programs);
    bool Load(CSqliteDb& db);
    void Clear();

    // Every name's search text, each ended by a NUL; where each ends (after its NUL), and
    // its program. One text rather than a string a name: a million names are searched at once.
    std::string m_text;
    std::vector<std::uint32_t> m_ends;
    std::vector<std::int64_t> m_programs;
    std::int64_t m_version = -1;
};
