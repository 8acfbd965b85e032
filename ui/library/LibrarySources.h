#pragma once
// Which file the library's records came from, kept for the files that hold a whole bank of
// 128 programs (those a bank can be made of). The records themselves know only a display
// name, which several files may share. Filled by Open, file by file, right after each
// file's programs were appended; emptied when the library is.

#include <QString>

#include <vector>

class CProgramList;
class CSyxProgram;

class CLibrarySources {
public:
    struct Source {
        QString path;   // a file's path, or the name of a source that is no file
        std::vector<const CSyxProgram*> programs;   // in dump order, whatever the sort does
        bool isFile = true;   // false for a receive from the synthesizer
    };

    // Forgets every file; call when the library is emptied.
    void Clear();
    // Notes the file at `path` as the source of the records `list` gained since the last
    // call (or Clear). Records are only ever appended between the two, never reordered.
    // `isFile` false: `path` names a source held in memory (a receive), not a file.
    void AddFile(const QString& path, const CProgramList& list, bool isFile = true);
    // The 128-program file a record came from; null when its file held fewer programs.
    const Source* FindBank(const CSyxProgram* record) const;

private:
    std::vector<Source> m_banks;
    int m_recorded = 0;   // records of the list accounted for
};
