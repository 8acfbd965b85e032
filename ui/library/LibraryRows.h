#pragma once
// The main window's grid rows: each loaded program's file, bank, number, name and voice
// mode, made when a row is painted or asked for, in the row's colours: the marked rows (a
// Find's matches, the duplicates) stand out. Nothing but the marks is kept per row, so an
// Open of a large library costs the grid next to nothing.

#include "grid/GridRowSource.h"

#include <QString>

#include <vector>

class CDuplicateMarking;
class CProgramList;

class CLibraryRows : public IGridRowSource {
public:
    explicit CLibraryRows(const CProgramList& programs);

    // Takes in the list as it is now: whether the file column is filled, and which rows are
    // marked: those whose name holds `findText` (small letters; empty: none) and those of
    // the duplicates. Returns how many rows are marked.
    int Refresh(bool showFiles, const QString& findText, const CDuplicateMarking& duplicates);

    // Rows past the list (it shrank since the last Refresh) are empty.
    CGridCell Cell(int row, int column) const override;
    // The row's marks in words, for those who do not see its colour: "Marked by Find",
    // "Has a duplicate", or both.
    QString Description(int row) const override;

private:
    enum : unsigned char { FOUND = 1, DUPLICATE = 2 };
    unsigned char MarksOf(int row) const;

    const CProgramList& m_programs;
    bool m_showFiles = false;
    std::vector<unsigned char> m_marks;   // per row, FOUND and DUPLICATE
};
