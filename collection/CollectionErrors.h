#pragma once
// Texts of the Collection's own errors, shared by its parts.

#include "SqliteDb.h"

#include <cstdint>
#include <string>

// A failure of the database itself (a full disk, a lock held past the timeout...).
inline std::string DatabaseError(const CSqliteDb& db)
{
    return "The Collection's database failed: " + db.ErrorText();
}

inline std::string UnknownProgram(std::int64_t id)
{
    return "No program " + std::to_string(id) + " in the Collection";
}

inline std::string UnknownSource(std::int64_t id)
{
    return "No source " + std::to_string(id) + " in the Collection";
}

inline std::string BadListName()
{
    return "A list's name cannot be empty or hold control characters";
}
