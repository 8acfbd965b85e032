#include "SlotRows.h"

#include <unordered_map>

CCollectionSlotRows SlotRows(CCollection& collection, const CCollectionQuery& query)
{
    CCollectionSlotRows slotRows;
    if (query.source == 0 && query.list == 0)
        return slotRows;
    const std::vector<CollectionId> slots =
        query.source != 0 ? collection.SourcePrograms(query.source) : collection.ListPrograms(query.list);
    // The search gives each program once; the slots give it its places.
    std::vector<CCollectionRow> found = collection.SearchRows(query);
    std::unordered_map<CollectionId, std::size_t> rowOf;
    rowOf.reserve(found.size());
    for (std::size_t i = 0; i < found.size(); ++i)
        rowOf.emplace(found[i].id, i);
    for (std::size_t slot = 0; slot < slots.size(); ++slot) {
        const auto row = rowOf.find(slots[slot]);
        if (row == rowOf.end())
            continue;
        slotRows.rows.push_back(found[row->second]);
        slotRows.slotNumbers.push_back(static_cast<int>(slot));
    }
    return slotRows;
}
