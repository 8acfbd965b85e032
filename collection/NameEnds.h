#pragma once
// The programs whose shown names come first and last in a table's order (the name as SQLite's
// NOCASE compares it, then the id): what a table of every program shows first, found without
// reading every program's row.
//
// Each side holds every program on its side of a bound: a name and id, the last program it
// held when it was narrowed, counted from its end. A side without a bound holds every program.
// The writers keep it so: the programs a source adds (CNameEndsWriter) and renames
// (NoteShownName). A side grown past twice the size it keeps is narrowed to that size again;
// renames out of it may leave it fewer, and a table that asks for more rows than a side holds
// reads every row instead (NameEndRows says so).

#include "Collection.h"

#include <string>
#include <vector>

class CSqliteDb;

enum class NameEndSide { First = 0, Last = 1 };

struct CNamedProgram {
    CollectionId id = 0;
    std::string name;   // shown: the rename, or the first name
};

// Whether `a` comes before `b` counted from `side`'s end.
bool ComesBefore(NameEndSide side, const CNamedProgram& a, const CNamedProgram& b);

// The first `count` programs not hidden, counted from `side`'s end and in that order, and how
// many programs are not hidden. False when the side holds fewer than `count` of them (or on a
// failure of the database, with its error text): then only reading every row tells.
bool NameEndRows(CSqliteDb& db, NameEndSide side, std::size_t count, std::vector<CollectionId>& ids,
                 std::size_t& shown);

// A side's bound, and the size it keeps when narrowed.
struct CNameEndBound {
    bool whole = true;   // no bound: every program is in the side
    CNamedProgram last;
    std::size_t keep = 0;
    std::size_t held = 0;   // how many programs it holds, counted as they come and go
};

// The programs a source adds, noted as their ids are given and written after their rows.
// Used under the write lock, inside the writer's transaction.
class CNameEndsWriter
{
public:
    // Reads the bounds.
    bool Start(CSqliteDb& db);
    // A program whose row is about to be written, or whose shown name changed (Remove first).
    void Add(CollectionId id, const std::string& name);
    // Takes a program out of both sides.
    bool Remove(CSqliteDb& db, CollectionId id);
    // Notes those added in the sides they are in; a side grown past twice its size is narrowed.
    bool Write(CSqliteDb& db);

private:
    bool Narrow(CSqliteDb& db, NameEndSide side);

    CNameEndBound m_bounds[2];
    bool m_changed[2] = {false, false};
    std::vector<std::pair<NameEndSide, CollectionId>> m_waiting;
};

// After a program's shown name changed: in or out of each side by its new name.
bool NoteShownName(CSqliteDb& db, CollectionId id);

// Both sides made again from every program (a step of the schema), each keeping the size its
// bound's row gives.
bool MakeNameEnds(CSqliteDb& db);
