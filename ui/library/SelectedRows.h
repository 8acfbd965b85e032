#pragma once
// The selected rows of an item view, and the programs they show.

#include <vector>

class CGridListCtrl;
class CProgramList;
class CSyxProgram;
class QAbstractItemView;

// Whether two or more rows are selected; cheap however large the selection.
bool HasSeveralSelectedRows(const QAbstractItemView& view);

// The programs of the selected rows in grid order (row i shows element i of the list).
std::vector<const CSyxProgram*> SelectedPrograms(const CGridListCtrl& grid, const CProgramList& programs);
