#pragma once
// The rows of an item view that commands act on, and the programs they show.

#include <vector>

class CGridListCtrl;
class CProgramList;
class QAbstractItemView;
class CSyxProgram;

// Whether two or more rows are selected; cheap however large the selection.
bool HasSeveralSelectedRows(const QAbstractItemView& view);

// The rows a command acts on, in ascending order: the selected rows or, when none is
// selected, the current row. The grids draw the current row as they draw a selected one
// (after an Open the first row looks selected before anything was clicked), so a command
// takes what the user sees.
std::vector<int> RowsToActOn(const QAbstractItemView& view);
// Whether RowsToActOn has a row; cheap however large the selection.
bool HasRowsToActOn(const QAbstractItemView& view);
// The first of them, or -1.
int FirstRowToActOn(const QAbstractItemView& view);

// The programs of the rows to act on, in grid order (row i shows element i of the list).
std::vector<const CSyxProgram*> SelectedPrograms(const CGridListCtrl& grid, const CProgramList& programs);
