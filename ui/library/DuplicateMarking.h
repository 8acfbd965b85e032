#pragma once
// Program > Mark Duplicates: the rows whose program sounds like another loaded program's
// (equal bytes after the name) are marked as Find marks its matches. The marking lasts
// until the next Find, and a new Open is marked by its own duplicates.

#include <QString>

#include <unordered_set>

class CProgramList;
class CSyxProgram;

class CDuplicateMarking {
public:
    // Marks the duplicates among `programs` and keeps the marking on.
    void Mark(const CProgramList& programs);
    // Turns the marking off (a Find has taken over).
    void Clear();
    // After the library was emptied and filled again: while the marking is on, marks the
    // duplicates of the new library (the old records are gone).
    void Refresh(const CProgramList& programs);

    bool IsActive() const { return m_active; }
    bool IsMarked(const CSyxProgram* program) const
    {
        return m_active && m_marked.count(program) != 0;
    }
    int ProgramCount() const { return m_programCount; }
    int GroupCount() const { return m_groupCount; }

    // What the status bar says after marking: how many programs have a duplicate, in how
    // many groups.
    QString Summary() const;

private:
    bool m_active = false;
    std::unordered_set<const CSyxProgram*> m_marked;
    int m_programCount = 0;
    int m_groupCount = 0;
};
