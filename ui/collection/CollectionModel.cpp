// The Collection view's table: the rows it keeps, which of them are shown, and the program of a row.

#include "CollectionModel.h"

#include <algorithm>
#include <climits>

CCollectionModel::CCollectionModel(QObject* parent) : QAbstractTableModel(parent) {}

void CCollectionModel::SetPrograms(std::vector<CCollectionRow> programs)
{
    std::vector<CViewRow> rows(programs.size());
    for (std::size_t i = 0; i < programs.size(); ++i)
        rows[i].program = std::move(programs[i]);
    SetRows(std::move(rows), false);
}

void CCollectionModel::SetRows(std::vector<CViewRow> rows, bool bySlot)
{
    // The search gave them in name order, slots in slot order.
    CRowOrder given;
    given.column = bySlot ? SLOT : NAME;
    SetRows(std::move(rows), bySlot, std::move(given));
}

void CCollectionModel::SetRows(std::vector<CViewRow> rows, bool bySlot, CRowOrder order)
{
    beginResetModel();
    m_slots = bySlot;
    TakeRows(std::move(rows), order);
    endResetModel();
}

void CCollectionModel::SetFirstRows(std::vector<CViewRow> rows, std::size_t total)
{
    beginResetModel();
    m_slots = false;
    CRowOrder order;
    order.column = m_sortColumn;
    order.order = m_sortOrder;
    order.shownKnown = true;
    for (const CViewRow& row : rows)
        order.largestId = std::max(order.largestId, row.program.id);
    const std::size_t kept = rows.size();
    TakeRows(std::move(rows), order);
    m_unread = static_cast<int>(std::min<std::size_t>(total > kept ? total - kept : 0, INT_MAX - kept));
    endResetModel();
}

void CCollectionModel::TakeRows(std::vector<CViewRow> rows, CRowOrder& order)
{
    m_unread = 0;
    std::vector<CViewRow> old = std::move(m_rows);
    m_rows = std::move(rows);
    Dispose(std::move(old));
    if (m_sortColumn != order.column || m_sortOrder != order.order) {
        SortRows();
        ShowMatching();
    } else if (order.shownKnown) {
        m_allShown = order.allShown;
        m_shown = order.allShown ? std::vector<int>() : std::move(order.shown);
    } else {
        ShowMatching();
    }
    m_largestId = order.shownKnown ? order.largestId : 0;
    if (!order.shownKnown)
        for (const CViewRow& row : m_rows)
            m_largestId = std::max(m_largestId, row.program.id);
}

void CCollectionModel::Dispose(std::vector<CViewRow> rows)
{
    if (m_disposer && rows.capacity() > 0)
        m_disposer(std::move(rows));
}

void CCollectionModel::ShowMatching()
{
    m_shown.clear();
    std::size_t place = 0;
    while (place < m_rows.size() && m_rows[place].matchesText)
        ++place;
    m_allShown = place == m_rows.size();
    if (m_allShown) {
        m_shown.shrink_to_fit();
        return;
    }
    m_shown.reserve(m_rows.size());
    for (std::size_t i = 0; i < place; ++i)
        m_shown.push_back(static_cast<int>(i));
    for (; place < m_rows.size(); ++place)
        if (m_rows[place].matchesText)
            m_shown.push_back(static_cast<int>(place));
}

int CCollectionModel::ShownRowOf(int place) const
{
    if (place < 0 || static_cast<std::size_t>(place) >= m_rows.size()
        || !m_rows[static_cast<std::size_t>(place)].matchesText)
        return -1;
    if (m_allShown)
        return place;
    return static_cast<int>(std::lower_bound(m_shown.begin(), m_shown.end(), place) - m_shown.begin());
}

void CCollectionModel::Narrow(const std::vector<CollectionId>* ids, bool withinShown)
{
    if (ids == nullptr && m_allShown)
        return;
    // The rows stay where they are: a row shown before and after keeps its selection.
    Relayout(
        [&] {
            if (ids == nullptr) {
                if (m_allShown)
                    return;
                for (CViewRow& row : m_rows)
                    row.matchesText = true;
                m_allShown = true;
                m_shown = {};
                return;
            }
            // When the text grew, only the rows it held before can hold it now.
            std::vector<int> shown =
                MarkTextMatches(m_rows, withinShown && !m_allShown ? &m_shown : nullptr, *ids, m_largestId);
            m_allShown = false;
            m_shown = std::move(shown);
        },
        [](int oldPlace) { return oldPlace; }, false);
}

const CCollectionRow* CCollectionModel::Program(int row) const
{
    return row >= 0 && row < ShownCount() ? &m_rows[PlaceOf(row)].program : nullptr;
}

int CCollectionModel::Slot(int row) const
{
    return row >= 0 && row < ShownCount() ? m_rows[PlaceOf(row)].slot : -1;
}

int CCollectionModel::RowOf(CollectionId id) const
{
    for (int row = 0, rows = ShownCount(); row < rows; ++row)
        if (m_rows[PlaceOf(row)].program.id == id)
            return row;
    return -1;
}

std::vector<std::size_t> CCollectionModel::PlacesOf(const CCollectionRow& program) const
{
    // A program is one row unless the rows are slots, and the rows are kept in the table's
    // order: it is where that order puts it, unless a row was changed in place since (a mark
    // under the order of its column); then, and for slots, every row is looked at.
    if (!m_slots) {
        CViewRow wanted;
        wanted.program = program;
        const auto found = std::lower_bound(m_rows.begin(), m_rows.end(), wanted,
                                            [this](const CViewRow& a, const CViewRow& b) { return Before(a, b); });
        if (found != m_rows.end() && found->program.id == program.id)
            return {static_cast<std::size_t>(found - m_rows.begin())};
    }
    std::vector<std::size_t> places;
    for (std::size_t place = 0; place < m_rows.size(); ++place)
        if (m_rows[place].program.id == program.id)
            places.push_back(place);
    return places;
}

std::vector<CViewRow> CCollectionModel::RowsOf(const CCollectionRow& program) const
{
    std::vector<CViewRow> rows;
    for (std::size_t place : PlacesOf(program))
        rows.push_back(m_rows[place]);
    return rows;
}

bool CCollectionModel::UpdateProgram(const CCollectionRow& program, const std::function<void(CCollectionRow&)>& change)
{
    const std::vector<std::size_t> places = PlacesOf(program);
    for (std::size_t place : places) {
        change(m_rows[place].program);
        const int row = ShownRowOf(static_cast<int>(place));
        if (row < 0)
            continue;
        // The whole row: a change of one cell would also reset an open editor's text.
        emit dataChanged(index(row, 0), index(row, COLUMN_COUNT - 1));
    }
    return !places.empty();
}

int CCollectionModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ShownCount() + m_unread;
}
