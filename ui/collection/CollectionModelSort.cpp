// The Collection view's table in a column's order: which of two rows comes first, and sorting the rows kept.

#include "CollectionModel.h"

#include "NameOrder.h"

#include <algorithm>
#include <numeric>

namespace {
// The search's own order: shown name with letter case ignored (SQLite's NOCASE, as the
// Collection's first rows come), then id.
int CompareNames(const CCollectionRow& a, const CCollectionRow& b)
{
    const int order = CompareNoCase(a.shownName, b.shownName);
    if (order != 0)
        return order;
    return a.id == b.id ? 0 : (a.id < b.id ? -1 : 1);
}
}  // namespace

// Ordering by a column; ties keep the rows in name order.
bool RowBefore(const CViewRow& rowA, const CViewRow& rowB, int column)
{
    const CCollectionRow& a = rowA.program;
    const CCollectionRow& b = rowB.program;
    switch (column) {
    case CCollectionModel::MODE:   // in the synthesizer's order: Single, Split, Dual, Vocoder
        if (a.voiceModeIndex != b.voiceModeIndex)
            return a.voiceModeIndex < b.voiceModeIndex;
        break;
    case CCollectionModel::FAVOURITE:
        if (a.favourite != b.favourite)
            return a.favourite;   // favourites first
        break;
    case CCollectionModel::TAGS:
        if (a.tags != b.tags)
            return a.tags < b.tags;
        break;
    case CCollectionModel::SOURCES:
        if (a.sourceCount != b.sourceCount)
            return a.sourceCount < b.sourceCount;
        break;
    case CCollectionModel::FIRST_SEEN:
        if (a.firstSeenTime != b.firstSeenTime)
            return a.firstSeenTime < b.firstSeenTime;
        break;
    case CCollectionModel::SLOT:
        if (rowA.slot != rowB.slot)
            return rowA.slot < rowB.slot;
        break;
    default:
        break;
    }
    return CompareNames(a, b) < 0;
}

bool CCollectionModel::Before(const CViewRow& a, const CViewRow& b) const
{
    return m_sortOrder == Qt::AscendingOrder ? RowBefore(a, b, m_sortColumn) : RowBefore(b, a, m_sortColumn);
}

void CCollectionModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= COLUMN_COUNT)
        return;
    if (column == m_sortColumn && order == m_sortOrder)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_sortColumn = column;
    m_sortOrder = order;
    const std::vector<int> newPlaceOf = SortRows();

    // The rows shown stay the same, now in the new order.
    std::vector<int> shown;
    if (!m_allShown) {
        shown.resize(m_shown.size());
        for (std::size_t row = 0; row < m_shown.size(); ++row)
            shown[row] = newPlaceOf[static_cast<std::size_t>(m_shown[row])];
        std::sort(shown.begin(), shown.end());
    }
    const auto newRowOf = [&](int oldRow) {
        if (oldRow >= ShownCount())   // a row not read yet stays where it is
            return oldRow;
        const int place = newPlaceOf[PlaceOf(oldRow)];
        return m_allShown ? place
                          : static_cast<int>(std::lower_bound(shown.begin(), shown.end(), place) - shown.begin());
    };
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(old.isValid() ? index(newRowOf(old.row()), old.column()) : QModelIndex());
    m_shown = std::move(shown);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::vector<int> CCollectionModel::SortRows()
{
    // Sorts row numbers rather than the rows, so that each row moves once.
    std::vector<int> order(m_rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return Before(m_rows[static_cast<std::size_t>(a)], m_rows[static_cast<std::size_t>(b)]);
    });
    std::vector<CViewRow> sorted;
    sorted.reserve(m_rows.size());
    std::vector<int> newRowOf(m_rows.size());
    for (std::size_t row = 0; row < order.size(); ++row) {
        sorted.push_back(std::move(m_rows[static_cast<std::size_t>(order[row])]));
        newRowOf[static_cast<std::size_t>(order[row])] = static_cast<int>(row);
    }
    std::swap(m_rows, sorted);
    Dispose(std::move(sorted));
    return newRowOf;
}
