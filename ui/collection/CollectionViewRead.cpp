#include "CollectionViewRead.h"

#include "SlotRows.h"
#include "SyxProgram.h"

#include <unordered_set>

CViewRead ReadView(CCollection& collection, const CViewQuery& query)
{
    CViewRead read;
    if (query.filtersToo) {
        read.withFilters = true;
        read.filters = CollectionFilters(collection);
    }
    CCollectionQuery search;
    query.filter.Apply(search);
    if (query.voiceMode >= 0 && query.voiceMode < 4)
        search.voiceMode = VOICE_MODE_NAMES[query.voiceMode];
    read.bySlot = query.filter.ShowsSlots();
    if (read.bySlot) {
        CCollectionSlotRows slotRows = SlotRows(collection, search);
        read.rows.resize(slotRows.rows.size());
        for (std::size_t i = 0; i < read.rows.size(); ++i) {
            read.rows[i].program = std::move(slotRows.rows[i]);
            read.rows[i].slot = slotRows.slotNumbers[i];
        }
    } else {
        std::vector<CCollectionRow> rows = collection.SearchRows(search);
        read.rows.resize(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            read.rows[i].program = std::move(rows[i]);
    }
    if (!query.text.empty()) {
        const std::vector<CollectionId> named = collection.ProgramsNamed(query.text);
        MarkTextMatches(read.rows, &named);
    }
    std::vector<CollectionId> nameless;
    std::unordered_set<CollectionId> seen;
    for (const CViewRow& row : read.rows)
        if (row.program.shownName.empty() && seen.insert(row.program.id).second)
            nameless.push_back(row.program.id);
    if (!nameless.empty())
        read.places = collection.FirstPlaces(nameless);
    return read;
}
