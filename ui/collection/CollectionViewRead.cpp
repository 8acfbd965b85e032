#include "CollectionViewRead.h"

#include "SlotRows.h"
#include "SyxProgram.h"

#include <algorithm>
#include <unordered_set>

namespace {
void NoteFailure(CCollection& collection, std::string& failure)
{
    if (collection.ReadFailed() && failure.empty())
        failure = collection.ReadError();
}

// Where the programs without a name among `rows` were first seen.
std::vector<CProgramPlace> PlacesOfNameless(CCollection& collection, const std::vector<CViewRow>& rows)
{
    std::vector<CollectionId> nameless;
    std::unordered_set<CollectionId> seen;
    for (const CViewRow& row : rows)
        if (row.program.shownName.empty() && seen.insert(row.program.id).second)
            nameless.push_back(row.program.id);
    return nameless.empty() ? std::vector<CProgramPlace>() : collection.FirstPlaces(nameless);
}
// The database's query for the view's filter and voice mode.
CCollectionQuery SearchOf(const CViewQuery& query)
{
    CCollectionQuery search;
    query.filter.Apply(search);
    if (query.voiceMode >= 0 && query.voiceMode < 4)
        search.voiceMode = VOICE_MODE_NAMES[query.voiceMode];
    return search;
}
}  // namespace

CViewRead ReadView(CCollection& collection, const CViewQuery& query)
{
    CViewRead read;
    // Taken first: what changes while the rows are read is read again next time.
    read.last = collection.LastChange();
    NoteFailure(collection, read.failure);
    if (query.filtersToo) {
        read.withFilters = true;
        read.filters = CollectionFilters(collection, &read.failure);
    }
    CCollectionQuery search = SearchOf(query);
    read.bySlot = query.filter.ShowsSlots();
    if (read.bySlot) {
        CCollectionSlotRows slotRows = SlotRows(collection, search);
        NoteFailure(collection, read.failure);
        read.rows.resize(slotRows.rows.size());
        for (std::size_t i = 0; i < read.rows.size(); ++i) {
            read.rows[i].program = std::move(slotRows.rows[i]);
            read.rows[i].slot = slotRows.slotNumbers[i];
        }
    } else {
        std::vector<CCollectionRow> rows = collection.SearchRows(search);
        NoteFailure(collection, read.failure);
        // Each row written once: fresh pages cost more than the moves.
        read.rows.reserve(rows.size());
        for (CCollectionRow& row : rows)
            read.rows.push_back(CViewRow{std::move(row)});
    }
    if (!query.text.empty()) {
        const std::vector<CollectionId> named = collection.ProgramsNamed(query.text);
        NoteFailure(collection, read.failure);
        MarkTextMatches(read.rows, &named);
    }
    read.places = PlacesOfNameless(collection, read.rows);
    read.order = OrderRows(read.rows, query.sortColumn, query.sortOrder, read.bySlot, query.keys);
    return read;
}

bool CanReadFirstRows(const CViewQuery& query)
{
    return !query.filter.ShowsSlots() && query.sortColumn == CCollectionModel::NAME;
}

CViewRead ReadFirstRows(CCollection& collection, const CViewQuery& query, std::size_t count)
{
    CViewRead read;
    if (query.filtersToo) {
        read.withFilters = true;
        read.filters = CollectionFilters(collection, &read.failure);
    }
    CCollectionQuery search = SearchOf(query);
    search.text = query.text;
    std::vector<CCollectionRow> rows =
        collection.SearchFirstRows(search, count, query.sortOrder == Qt::DescendingOrder, read.total);
    NoteFailure(collection, read.failure);
    read.rows.reserve(rows.size());
    for (CCollectionRow& row : rows)
        read.rows.push_back(CViewRow{std::move(row)});
    read.places = PlacesOfNameless(collection, read.rows);
    read.order.column = query.sortColumn;
    read.order.order = query.sortOrder;
    read.order.shownKnown = true;
    for (const CViewRow& row : read.rows)
        read.order.largestId = std::max(read.order.largestId, row.program.id);
    return read;
}

CViewChanges ReadChanges(CCollection& collection, const CViewQuery& query, std::int64_t since, std::size_t kept,
                         std::size_t capacity)
{
    CViewChanges found;
    CCollectionChanges changes;
    if (!collection.ChangesSince(since, changes)) {
        NoteFailure(collection, found.failure);
        if (found.failure.empty())
            found.failure = "the changes could not be read";
        return found;
    }
    // A source's or a list's slots are few: read again whole, as when too much changed.
    if (changes.readAgain || query.filter.ShowsSlots()) {
        CViewQuery again = query;
        again.filtersToo = changes.readAgain || changes.filtersChanged;
        again.keys = true;
        found.whole = true;
        found.read = ReadView(collection, again);
        found.last = found.read.last;
        found.failure = found.read.failure;
        return found;
    }
    found.last = changes.last;
    if (changes.filtersChanged) {
        found.withFilters = true;
        found.filters = CollectionFilters(collection, &found.failure);
    }
    if (changes.programs.empty())
        return found;

    std::vector<CCollectionRow> rows;
    if (!collection.ReadRows(changes.programs, rows)) {
        NoteFailure(collection, found.failure);
        return found;
    }
    std::vector<CollectionId> named;
    if (!query.text.empty()) {
        named = collection.ProgramsNamed(query.text);
        NoteFailure(collection, found.failure);
    }
    std::unordered_set<CollectionId> read;
    for (CCollectionRow& row : rows) {
        read.insert(row.id);
        const bool mode = query.voiceMode < 0 || row.voiceModeIndex == query.voiceMode;
        if (!mode || !query.filter.Keeps(row)) {
            found.gone.push_back(row.id);
            continue;
        }
        CViewRow& kept = found.rows.emplace_back();
        kept.matchesText = query.text.empty() || std::binary_search(named.begin(), named.end(), row.id);
        kept.program = std::move(row);
    }
    // A program that is no more (a merge, a repair) goes too.
    for (const CollectionId id : changes.programs)
        if (read.count(id) == 0)
            found.gone.push_back(id);
    found.places = PlacesOfNameless(collection, found.rows);
    found.spare = SpareRowsFor(kept, capacity, found.rows.size());
    return found;
}
