// The Collection view's rows changed where they are: what another process changed, what a
// mark took out or brought back, merged into the rows kept in one layout change (or none,
// for a row that sorts where it was), the selection following its rows by their persistent
// indexes.

#include "CollectionModel.h"

#include <algorithm>
#include <climits>
#include <numeric>

namespace {
// Marks rowAt(0) to rowAt(count - 1), telling `matched` the number of each that holds the text.
template <typename RowAt, typename Matched>
void MarkMatches(std::size_t count, const RowAt& rowAt, const std::vector<CollectionId>& ids, CollectionId largest,
                 const Matched& matched)
{
    // Ids are mostly small row numbers of the database: a table of them beats a lookup per
    // row. One far larger than the rows are many (an id can be any 64-bit number) is looked up.
    if (static_cast<std::uint64_t>(largest) <= 8 * static_cast<std::uint64_t>(count + ids.size()) + 4096) {
        std::vector<bool> wanted(static_cast<std::size_t>(largest) + 1);
        for (const CollectionId id : ids)
            if (id > 0 && id <= largest)
                wanted[static_cast<std::size_t>(id)] = true;
        for (std::size_t i = 0; i < count; ++i) {
            CViewRow& row = rowAt(i);
            const CollectionId id = row.program.id;
            row.matchesText = id > 0 && id <= largest && wanted[static_cast<std::size_t>(id)];
            if (row.matchesText)
                matched(i);
        }
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            CViewRow& row = rowAt(i);
            row.matchesText = std::binary_search(ids.begin(), ids.end(), row.program.id);
            if (row.matchesText)
                matched(i);
        }
    }
}
}  // namespace

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
    MarkMatches(rows.size(), [&](std::size_t i) -> CViewRow& { return rows[i]; }, *ids, largest, [](std::size_t) {});
}

std::vector<int> MarkTextMatches(std::vector<CViewRow>& rows, const std::vector<int>* places,
                                 const std::vector<CollectionId>& ids, CollectionId largest)
{
    std::vector<int> matching;
    if (places == nullptr) {
        matching.reserve(std::min(rows.size(), ids.size()));
        MarkMatches(rows.size(), [&](std::size_t i) -> CViewRow& { return rows[i]; }, ids, largest,
                    [&](std::size_t i) { matching.push_back(static_cast<int>(i)); });
    } else {
        const auto placeAt = [&](std::size_t i) { return static_cast<std::size_t>((*places)[i]); };
        MarkMatches(places->size(), [&](std::size_t i) -> CViewRow& { return rows[placeAt(i)]; }, ids, largest,
                    [&](std::size_t i) { matching.push_back(static_cast<int>(placeAt(i))); });
    }
    return matching;
}

std::vector<CViewRow> SpareRowsFor(std::size_t kept, std::size_t capacity, std::size_t incoming)
{
    std::vector<CViewRow> spare;
    if (kept + incoming <= capacity)
        return spare;
    // Made and emptied: the memory is the process's then, and filling it costs no page faults.
    spare.resize(kept + incoming + kept / 8);
    spare.clear();
    return spare;
}

void CCollectionModel::RemovePrograms(const std::vector<CollectionId>& ids)
{
    Merge({}, ids);
}

bool CCollectionModel::SamePlace(const CViewRow& a, const CViewRow& b) const
{
    return a.matchesText == b.matchesText && !Before(a, b) && !Before(b, a);
}

void CCollectionModel::Merge(std::vector<CViewRow> rows, const std::vector<CollectionId>& gone,
                             std::vector<CViewRow> spare)
{
    // A row replaces the kept row of its program, or of its slot when the rows are slots.
    // The changes are few and the rows many: the changes are looked up, sorted, by each row.
    const auto keyOf = [this](const CViewRow& row) { return m_slots ? std::int64_t(row.slot) : row.program.id; };
    std::vector<std::pair<std::int64_t, std::size_t>> incoming(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        incoming[i] = {keyOf(rows[i]), i};
    std::sort(incoming.begin(), incoming.end());
    std::vector<CollectionId> goneIds = gone;
    std::sort(goneIds.begin(), goneIds.end());
    // Programs newer than every row kept (what was just taken in) replace none: when all are,
    // the kept rows need not be looked through.
    const bool onlyNew = !m_slots && (incoming.empty() || incoming.front().first > m_largestId)
                         && (goneIds.empty() || goneIds.front() > m_largestId);
    // Keys are mostly small numbers (ids, slots): then a bit for each answers at once for the
    // many rows not changed. The bits (one a key, unlike a table of places) stay in the cache,
    // where the rows, in the table's order, would look them up all over it.
    std::int64_t largest = 0;
    if (m_slots) {
        for (const CViewRow& row : m_rows)
            largest = std::max(largest, keyOf(row));
    } else {
        largest = m_largestId;
    }
    const bool dense = !onlyNew && largest < static_cast<std::int64_t>(8 * m_rows.size() + 4096);
    std::vector<bool> changing(dense ? static_cast<std::size_t>(largest) + 1 : 0);
    if (dense)
        for (const auto& [key, i] : incoming)
            if (key >= 0 && key <= largest)
                changing[static_cast<std::size_t>(key)] = true;
    const auto incomingOf = [&](std::int64_t key) -> std::ptrdiff_t {
        if (dense && (key < 0 || key > largest || !changing[static_cast<std::size_t>(key)]))
            return -1;
        const auto found = std::lower_bound(incoming.begin(), incoming.end(), std::make_pair(key, std::size_t(0)));
        return found != incoming.end() && found->first == key ? static_cast<std::ptrdiff_t>(found->second) : -1;
    };
    // A program is one row unless the rows are slots: once every program coming in that can
    // be kept is found, and none goes, the rest need not be looked at.
    const bool stopWhenFound = !m_slots && goneIds.empty();
    std::size_t toFind = 0;
    for (std::size_t n = 0; stopWhenFound && n < incoming.size(); ++n)
        if (incoming[n].first <= m_largestId && (n == 0 || incoming[n - 1].first != incoming[n].first))
            ++toFind;

    // A row that changed but sorts where it was is changed where it is: no layout change.
    std::vector<int> replacedFrom(rows.size(), -1);
    std::vector<bool> inPlace(rows.size());
    std::vector<int> removed;   // old places, ascending
    std::vector<int> changedPlaces;
    const auto replace = [&](std::size_t place, std::size_t i) {
        replacedFrom[i] = static_cast<int>(place);
        if (SamePlace(m_rows[place], rows[i])) {
            m_rows[place] = std::move(rows[i]);
            inPlace[i] = true;
            changedPlaces.push_back(static_cast<int>(place));
        } else {
            removed.push_back(static_cast<int>(place));
        }
    };
    // Mostly a program changed (a mark, another source) sorts where its old row is: found
    // there, the kept rows need not be looked through. A search of the order costs about what
    // looking at 200 rows does: only for few changes.
    std::vector<std::pair<std::size_t, std::size_t>> foundWhereSorted;   // old place, incoming
    bool allFound = stopWhenFound && toFind > 0 && !onlyNew && toFind <= std::max<std::size_t>(16, m_rows.size() / 256);
    for (std::size_t n = 0; allFound && n < incoming.size(); ++n) {
        const auto [key, i] = incoming[n];
        if (key > m_largestId || (n > 0 && incoming[n - 1].first == key))
            continue;
        const auto place = std::lower_bound(m_rows.begin(), m_rows.end(), rows[i],
                                            [this](const CViewRow& a, const CViewRow& b) { return Before(a, b); });
        allFound = place != m_rows.end() && place->program.id == key;
        if (allFound)
            foundWhereSorted.emplace_back(static_cast<std::size_t>(place - m_rows.begin()), i);
    }
    if (allFound) {
        std::sort(foundWhereSorted.begin(), foundWhereSorted.end());
        for (const auto& [place, i] : foundWhereSorted)
            replace(place, i);
        toFind = 0;
    }
    for (std::size_t place = 0; !onlyNew && place < m_rows.size() && !(stopWhenFound && toFind == 0); ++place) {
        if (!goneIds.empty() && std::binary_search(goneIds.begin(), goneIds.end(), m_rows[place].program.id)) {
            removed.push_back(static_cast<int>(place));
            continue;
        }
        const std::ptrdiff_t found = incoming.empty() ? -1 : incomingOf(keyOf(m_rows[place]));
        if (found < 0)
            continue;
        replace(place, static_cast<std::size_t>(found));
        if (toFind > 0)
            --toFind;
    }
    for (const int place : changedPlaces) {
        const int row = ShownRowOf(place);
        if (row >= 0)
            emit dataChanged(index(row, 0), index(row, COLUMN_COUNT - 1));
    }
    // The rows that move or come in, in the table's order, each with the place among the old
    // rows it goes before.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!inPlace[i])
            order.push_back(i);
    if (removed.empty() && order.empty()) {
        Dispose(std::move(spare));
        return;
    }
    for (const CViewRow& row : rows)
        m_largestId = std::max(m_largestId, row.program.id);
    // Every row stays shown while every row put in holds the search text.
    const bool allShown = m_allShown && std::all_of(order.begin(), order.end(), [&](std::size_t i) {
        return rows[i].matchesText;
    });
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return Before(rows[a], rows[b]); });
    std::vector<int> goesBefore(order.size());
    for (std::size_t n = 0; n < order.size(); ++n) {
        const CViewRow& row = rows[order[n]];
        const auto place = std::partition_point(m_rows.begin(), m_rows.end(),
                                                [&](const CViewRow& kept) { return Before(kept, row); });
        goesBefore[n] = static_cast<int>(place - m_rows.begin());
        if (n > 0)
            goesBefore[n] = std::max(goesBefore[n], goesBefore[n - 1]);
    }

    // Where an old row goes: a moved one where its new row is; a kept one shifted by the rows
    // taken out before it and put in before it.
    const auto keptPlace = [&](int oldPlace) {
        const auto removedBefore = std::lower_bound(removed.begin(), removed.end(), oldPlace) - removed.begin();
        const auto putBefore = std::upper_bound(goesBefore.begin(), goesBefore.end(), oldPlace) - goesBefore.begin();
        return static_cast<int>(oldPlace - removedBefore + putBefore);
    };
    std::vector<std::pair<int, int>> movedTo;   // old place, new place
    for (std::size_t n = 0; n < order.size(); ++n) {
        const int from = replacedFrom[order[n]];
        if (from >= 0) {
            // Put in before the old row at goesBefore[n], after the n rows put in before it.
            const int before = goesBefore[n];
            const auto removedBefore = std::lower_bound(removed.begin(), removed.end(), before) - removed.begin();
            movedTo.emplace_back(from, static_cast<int>(before - removedBefore + static_cast<std::ptrdiff_t>(n)));
        }
    }
    std::sort(movedTo.begin(), movedTo.end());

    // In place, so that a few changes to many rows cost no new memory for them all: the rows
    // taken out are closed up from the front, then the new ones go in from the back.
    const auto putIn = [&] {
            std::size_t write = removed.empty() ? m_rows.size() : 0;
            std::vector<int> goesBeforeKept = goesBefore;   // the same, among kept rows
            std::size_t nextRemoved = 0;
            std::size_t nextNew = 0;
            for (std::size_t place = 0; !removed.empty() && place < m_rows.size(); ++place) {
                while (nextNew < goesBefore.size() && goesBefore[nextNew] <= static_cast<int>(place))
                    goesBeforeKept[nextNew++] = static_cast<int>(write);
                if (nextRemoved < removed.size() && removed[nextRemoved] == static_cast<int>(place)) {
                    ++nextRemoved;
                    continue;
                }
                if (write != place)
                    m_rows[write] = std::move(m_rows[place]);
                ++write;
            }
            while (!removed.empty() && nextNew < goesBefore.size())
                goesBeforeKept[nextNew++] = static_cast<int>(write);
            const std::size_t kept = write;
            m_rows.resize(kept);
            if (m_rows.capacity() < kept + order.size() && spare.capacity() >= kept + order.size()) {
                // Into the room made apart, in one pass; the old memory is freed apart.
                spare.clear();
                std::size_t next = 0;
                for (std::size_t n = 0; n < order.size(); ++n) {
                    const auto at = static_cast<std::size_t>(goesBeforeKept[n]);
                    while (next < at)
                        spare.push_back(std::move(m_rows[next++]));
                    spare.push_back(std::move(rows[order[n]]));
                }
                while (next < kept)
                    spare.push_back(std::move(m_rows[next++]));
                std::swap(m_rows, spare);
                Dispose(std::move(spare));
                return;
            }
            if (m_rows.capacity() < kept + order.size())
                m_rows.reserve(kept + order.size() + kept / 8);
            m_rows.resize(kept + order.size());
            // From the back: the last new row goes after the kept rows before its place.
            std::size_t to = m_rows.size();
            std::size_t from = kept;
            for (std::size_t n = order.size(); n-- > 0;) {
                const auto at = static_cast<std::size_t>(goesBeforeKept[n]);
                while (from > at)
                    m_rows[--to] = std::move(m_rows[--from]);
                m_rows[--to] = std::move(rows[order[n]]);
            }
    };
    Relayout(
        [&] {
            putIn();
            if (allShown) {
                m_allShown = true;
                m_shown = {};
            } else {
                ShowMatching();
            }
        },
        [&](int oldPlace) {
            const auto moved = std::lower_bound(movedTo.begin(), movedTo.end(), std::make_pair(oldPlace, INT_MIN));
            if (moved != movedTo.end() && moved->first == oldPlace)
                return moved->second;
            if (std::binary_search(removed.begin(), removed.end(), oldPlace))
                return -1;
            return keptPlace(oldPlace);
        },
        false);
    Dispose(std::move(spare));   // when it was not needed
}

CRowOrder OrderRows(std::vector<CViewRow>& rows, int column, Qt::SortOrder order, bool bySlot, bool withKeys)
{
    CRowOrder sorted;
    sorted.column = column;
    sorted.order = order;
    // Rows come in the search's order (programs by name, slots by slot): sorted only when the
    // table is sorted otherwise.
    if (order != Qt::AscendingOrder || column != (bySlot ? CCollectionModel::SLOT : CCollectionModel::NAME)) {
        std::vector<std::size_t> places(rows.size());
        std::iota(places.begin(), places.end(), 0);
        std::stable_sort(places.begin(), places.end(), [&](std::size_t a, std::size_t b) {
            return order == Qt::AscendingOrder ? RowBefore(rows[a], rows[b], column) : RowBefore(rows[b], rows[a], column);
        });
        std::vector<CViewRow> moved;
        moved.reserve(rows.size());
        for (const std::size_t place : places)
            moved.push_back(std::move(rows[place]));
        rows = std::move(moved);
    }
    sorted.keysMade = withKeys;
    if (withKeys) {
        sorted.keys.reserve(rows.size());
        for (std::size_t place = 0; place < rows.size(); ++place)
            sorted.keys.emplace_back(bySlot ? std::int64_t(rows[place].slot) : rows[place].program.id,
                                     static_cast<int>(place));
        std::sort(sorted.keys.begin(), sorted.keys.end());
    }
    // Which rows are shown, and the largest id, so that the window's thread need not look.
    sorted.shownKnown = true;
    sorted.allShown = std::all_of(rows.begin(), rows.end(), [](const CViewRow& row) { return row.matchesText; });
    for (std::size_t place = 0; place < rows.size(); ++place) {
        sorted.largestId = std::max(sorted.largestId, rows[place].program.id);
        if (!sorted.allShown && rows[place].matchesText)
            sorted.shown.push_back(static_cast<int>(place));
    }
    return sorted;
}

void CCollectionModel::Replace(std::vector<CViewRow> rows, CRowOrder order)
{
    // Put in the order (and with the keys) read apart when it is still the table's.
    if (order.column != m_sortColumn || order.order != m_sortOrder || !order.keysMade)
        order = OrderRows(rows, m_sortColumn, m_sortOrder, m_slots);
    const auto keyOf = [this](const CViewRow& row) { return m_slots ? std::int64_t(row.slot) : row.program.id; };
    // Only the rows the selection and the current row stand on need their new places.
    Relayout([&] { TakeRows(std::move(rows), order); }, [&](int oldPlace) {
        const std::int64_t key = keyOf(m_rows[static_cast<std::size_t>(oldPlace)]);
        const auto found = std::lower_bound(order.keys.begin(), order.keys.end(), std::make_pair(key, INT_MIN));
        return found != order.keys.end() && found->first == key ? found->second : -1;
    }, false);
}

void CCollectionModel::Replace(std::vector<CViewRow> rows)
{
    const CRowOrder order = OrderRows(rows, m_sortColumn, m_sortOrder, m_slots);
    Replace(std::move(rows), order);
}

void CCollectionModel::Relayout(const std::function<void()>& change, const std::function<int(int oldPlace)>& newPlaceOf,
                                bool showMatching)
{
    emit layoutAboutToBeChanged();
    // The new place of each row a persistent index stands on, asked while the old rows are here.
    // A row not read yet keeps its number (UNREAD - row): the row read there takes its place.
    constexpr int UNREAD = -2;
    const QModelIndexList before = persistentIndexList();
    std::vector<int> places;
    places.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& old : before) {
        if (old.isValid() && old.row() >= ShownCount())
            places.push_back(UNREAD - old.row());
        else
            places.push_back(old.isValid() ? newPlaceOf(static_cast<int>(PlaceOf(old.row()))) : -1);
    }
    change();
    if (showMatching)
        ShowMatching();

    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i) {
        const int place = places[static_cast<std::size_t>(i)];
        const int row = place <= UNREAD ? std::min(UNREAD - place, rowCount() - 1) : ShownRowOf(place);
        after.append(row >= 0 ? index(row, before[i].column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}
