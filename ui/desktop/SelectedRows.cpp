#include "SelectedRows.h"

#include "ProgramList.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include <algorithm>

std::vector<int> SelectedRows(const QAbstractItemView& view)
{
    std::vector<int> rows;
    if (const QItemSelectionModel* selection = view.selectionModel())
        for (const QItemSelectionRange& range : selection->selection())
            for (int row = range.top(); row <= range.bottom(); ++row)
                rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

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

std::vector<const CSyxProgram*> SelectedPrograms(const QAbstractItemView& view, const CProgramList& programs)
{
    std::vector<const CSyxProgram*> selected;
    for (int row : SelectedRows(view))
        if (const CSyxProgram* program = programs.GetAt(row))
            selected.push_back(program);
    return selected;
}
