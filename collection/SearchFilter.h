#pragma once
// The part of a search that chooses programs, as SQL over `program p`: shared by the searches
// that read whole programs and those that read rows.

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

class CSqliteQuery;

struct CSearchFilter {
    bool matchesNothing = false;   // known before asking the database (no name matched...)
    std::string where;             // "WHERE ..."
    std::vector<std::variant<std::int64_t, std::string>> parameters;

    // Binds the parameters in order, from 1.
    void Bind(CSqliteQuery& query) const;
};

// The voice mode's index (0-3) for its name, case ignored; -1 for none.
int VoiceModeIndex(const std::string& name);
