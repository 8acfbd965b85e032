#include "SelectedRows.h"

#include "ProgramList.h"
#include "grid/GridListCtrl.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>


bool HasSeveralSelectedRows(const QAbstractItemView& view)
{
    const QItemSelectionModel* selection = view.selectionModel();
    if (selection == nullptr)
        return false;
    int first = -1;
    for (const QItemSelectionRange& range : selection->selection()) {
        if (range.bottom() > range.top())
            return true;
        if (first >= 0 && range.top() != first)
            return true;
        first = range.top();
    }
    return false;
}

std::vector<const CSyxProgram*> SelectedPrograms(const CGridListCtrl& grid, const CProgramList& programs)
{
    std::vector<const CSyxProgram*> selected;
    for (int row : grid.GetSelectedRows())
        if (const CSyxProgram* program = programs.GetAt(row))
            selected.push_back(program);
    return selected;
}
