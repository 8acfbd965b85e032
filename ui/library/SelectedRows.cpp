#include "SelectedRows.h"

#include "ProgramList.h"
#include "grid/GridListCtrl.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include <algorithm>

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

std::vector<int> RowsToActOn(const QAbstractItemView& view)
{
    std::vector<int> rows;
    const QItemSelectionModel* selection = view.selectionModel();
    if (selection == nullptr)
        return rows;
    for (const QItemSelectionRange& range : selection->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    if (rows.empty()) {
        const QModelIndex current = selection->currentIndex();
        if (current.isValid())
            rows.push_back(current.row());
        return rows;
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool HasRowsToActOn(const QAbstractItemView& view)
{
    const QItemSelectionModel* selection = view.selectionModel();
    return selection != nullptr && (selection->hasSelection() || selection->currentIndex().isValid());
}

int FirstRowToActOn(const QAbstractItemView& view)
{
    const QItemSelectionModel* selection = view.selectionModel();
    if (selection == nullptr)
        return -1;
    int first = -1;
    for (const QItemSelectionRange& range : selection->selection())
        if (first < 0 || range.top() < first)
            first = range.top();
    if (first < 0 && selection->currentIndex().isValid())
        first = selection->currentIndex().row();
    return first;
}

std::vector<const CSyxProgram*> SelectedPrograms(const CGridListCtrl& grid, const CProgramList& programs)
{
    std::vector<const CSyxProgram*> selected;
    for (int row : RowsToActOn(grid))
        if (const CSyxProgram* program = programs.GetAt(row))
            selected.push_back(program);
    return selected;
}
