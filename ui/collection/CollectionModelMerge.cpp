// The Collection view's rows changed where they are: what another process changed, what a
// mark took out or brought back, merged into the rows kept in one layout change (or none,
// for a row that sorts where it was), the selection following its rows by their persistent
// indexes.

#include "CollectionModel.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

void MarkTextMatches(std::vector<CViewRow>& rows, const std::vector<CollectionId>* ids)
{
    if (ids == nullptr) {
        for (CViewRow& row : rows)
            row.matchesText = true;
        return;
    }
    CollectionId largest = 0;
    for (const CViewRow& row : rows)
        largest = std::max(largest, row.program.id);
    // Ids are mostly small row numbers of the database: a table of them beats a lookup per
    // row. One far larger than the rows are many (an id can be any 64-bit number) is looked up.
    if (static_cast<std::uint64_t>(largest) <= 8 * static_cast<std::uint64_t>(rows.size()) + 4096) {
        std::vector<bool> wanted(static_cast<std::size_t>(largest) + 1);
        for (const CollectionId id : *ids)
            if (id > 0 && id <= largest)
                wanted[static_cast<std::size_t>(id)] = true;
        for (CViewRow& row : rows)
            row.matchesText = row.program.id > 0 && wanted[static_cast<std::size_t>(row.program.id)];
    } else {
        for (CViewRow& row : rows)
            row.matchesText = std::binary_search(ids->begin(), ids->end(), row.program.id);
    }
}

void CCollectionModel::RemovePrograms(const std::vector<CollectionId>& ids)
{
    Merge({}, ids);
}

bool CCollectionModel::SamePlace(const CViewRow& a, const CViewRow& b) const
{
    return a.matchesText == b.matchesText && !Before(a, b) && !Before(b, a);
}

void CCollectionModel::Merge(std::vector<CViewRow> rows, const std::vector<CollectionId>& gone)
{
    const std::unordered_set<CollectionId> goneIds(gone.begin(), gone.end());
    // A row replaces the kept row of its program, or of its slot when the rows are slots.
    std::unordered_map<std::int64_t, std::size_t> incoming;
    const auto keyOf = [this](const CViewRow& row) { return m_slots ? std::int64_t(row.slot) : row.program.id; };
    for (std::size_t i = 0; i < rows.size(); ++i)
        incoming[keyOf(rows[i])] = i;
    std::vector<int> replacedFrom(rows.size(), -1);
    std::vector<bool> inPlace(rows.size());

    // A row that changed but sorts where it was is changed where it is: no layout change.
    bool moves = false;
    std::vector<int> changedPlaces;
    for (std::size_t place = 0; place < m_rows.size(); ++place) {
        if (goneIds.count(m_rows[place].program.id) != 0) {
            moves = true;
            continue;
        }
        const auto found = incoming.find(keyOf(m_rows[place]));
        if (found == incoming.end())
            continue;
        replacedFrom[found->second] = static_cast<int>(place);
        if (SamePlace(m_rows[place], rows[found->second])) {
            m_rows[place] = std::move(rows[found->second]);
            inPlace[found->second] = true;
            changedPlaces.push_back(static_cast<int>(place));
        } else {
            moves = true;
        }
    }
    for (std::size_t i = 0; i < rows.size(); ++i)
        moves = moves || replacedFrom[i] < 0;
    for (const int place : changedPlaces) {
        if (!m_rows[static_cast<std::size_t>(place)].matchesText)
            continue;
        const int row = static_cast<int>(std::lower_bound(m_shown.begin(), m_shown.end(), place) - m_shown.begin());
        emit dataChanged(index(row, 0), index(row, COLUMN_COUNT - 1));
    }
    if (!moves)
        return;

    std::vector<CViewRow> kept;
    std::vector<int> keptFrom;
    kept.reserve(m_rows.size() + rows.size());
    keptFrom.reserve(m_rows.size() + rows.size());
    std::vector<bool> replaced(m_rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (replacedFrom[i] >= 0 && !inPlace[i])
            replaced[static_cast<std::size_t>(replacedFrom[i])] = true;
    for (std::size_t place = 0; place < m_rows.size(); ++place) {
        if (replaced[place] || goneIds.count(m_rows[place].program.id) != 0)
            continue;
        kept.push_back(std::move(m_rows[place]));
        keptFrom.push_back(static_cast<int>(place));
    }

    // The rows that move or come in, in the table's order, then into the kept ones where the
    // order puts them.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!inPlace[i])
            order.push_back(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return Before(rows[a], rows[b]); });
    std::vector<CViewRow> merged;
    std::vector<int> from;
    merged.reserve(kept.size() + order.size());
    from.reserve(kept.size() + order.size());
    std::size_t next = 0;
    for (std::size_t i = 0; i <= kept.size(); ++i) {
        while (next < order.size() && (i == kept.size() || !Before(kept[i], rows[order[next]]))) {
            merged.push_back(std::move(rows[order[next]]));
            from.push_back(replacedFrom[order[next]]);
            ++next;
        }
        if (i < kept.size()) {
            merged.push_back(std::move(kept[i]));
            from.push_back(keptFrom[i]);
        }
    }
    Relayout(std::move(merged), from);
}

void CCollectionModel::Replace(std::vector<CViewRow> rows)
{
    // Each new row's old place, by its program (or slot): a table when the keys are small
    // numbers, as ids and slots mostly are.
    const auto keyOf = [this](const CViewRow& row) { return m_slots ? std::int64_t(row.slot) : row.program.id; };
    std::int64_t largest = 0;
    for (const CViewRow& row : m_rows)
        largest = std::max(largest, keyOf(row));
    const bool dense =
        largest >= 0 && static_cast<std::uint64_t>(largest) <= 8 * static_cast<std::uint64_t>(m_rows.size()) + 4096;
    std::vector<int> placeTable(dense ? static_cast<std::size_t>(largest) + 1 : 0, -1);
    std::unordered_map<std::int64_t, int> placeMap;
    for (std::size_t place = 0; place < m_rows.size(); ++place) {
        const std::int64_t key = keyOf(m_rows[place]);
        if (dense && key >= 0)
            placeTable[static_cast<std::size_t>(key)] = static_cast<int>(place);
        else
            placeMap.emplace(key, static_cast<int>(place));
    }
    const auto oldPlace = [&](const CViewRow& row) {
        const std::int64_t key = keyOf(row);
        if (dense && key >= 0)
            return key <= largest ? placeTable[static_cast<std::size_t>(key)] : -1;
        const auto found = placeMap.find(key);
        return found != placeMap.end() ? found->second : -1;
    };

    // Rows come in the search's order (programs by name, slots by slot): sorted only when the
    // table is sorted otherwise.
    const bool inGivenOrder = m_sortOrder == Qt::AscendingOrder && m_sortColumn == (m_slots ? SLOT : NAME);
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    if (!inGivenOrder)
        std::stable_sort(order.begin(), order.end(),
                         [&](std::size_t a, std::size_t b) { return Before(rows[a], rows[b]); });
    std::vector<CViewRow> sorted;
    std::vector<int> from;
    sorted.reserve(rows.size());
    from.reserve(rows.size());
    for (const std::size_t i : order) {
        from.push_back(oldPlace(rows[i]));
        sorted.push_back(std::move(rows[i]));
    }
    Relayout(std::move(sorted), from);
}

void CCollectionModel::Relayout(std::vector<CViewRow> rows, const std::vector<int>& from)
{
    emit layoutAboutToBeChanged();
    std::vector<int> newPlaceOf(m_rows.size(), -1);
    for (std::size_t i = 0; i < from.size(); ++i)
        if (from[i] >= 0)
            newPlaceOf[static_cast<std::size_t>(from[i])] = static_cast<int>(i);
    const std::vector<int> oldShown = std::move(m_shown);
    m_rows = std::move(rows);
    ShowMatching();
    std::vector<int> shownRowOf(m_rows.size(), -1);
    for (std::size_t row = 0; row < m_shown.size(); ++row)
        shownRowOf[static_cast<std::size_t>(m_shown[row])] = static_cast<int>(row);

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        int row = -1;
        if (old.isValid() && old.row() < static_cast<int>(oldShown.size())) {
            const int place = newPlaceOf[static_cast<std::size_t>(oldShown[static_cast<std::size_t>(old.row())])];
            row = place >= 0 ? shownRowOf[static_cast<std::size_t>(place)] : -1;
        }
        after.append(row >= 0 ? index(row, old.column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}
