#pragma once
// Texts of the Collection's own errors, shared by its parts.

#include "SqliteDb.h"

#include <cstdint>
#include <string>

// What went wrong with the database, in words a musician can act on.
std::string DatabaseProblem(int code, const std::string& detail);

// A failure of the database itself (a full disk, a lock held past the timeout...).
inline std::string DatabaseError(const CSqliteDb& db)
{
    return DatabaseProblem(db.ErrorCode(), db.ErrorText());
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

// A source whose stored bytes no longer match the hashes taken when it came in.
inline std::string DamagedSource(const std::string& name)
{
    return "The stored bytes of " + name + " are damaged: they no longer match what was taken in."
           " Take the file in again if you still have it (veltrix-cli check lists every damaged source)";
}
