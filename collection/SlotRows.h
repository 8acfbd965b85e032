#pragma once
// The rows of a source or of a list slot by slot, as the bank they hold has them: every slot
// a row, so that a sound kept in several slots has a row in each.

#include "Collection.h"

#include <vector>

struct CCollectionSlotRows {
    std::vector<CCollectionRow> rows;   // in slot order
    std::vector<int> slotNumbers;       // each row's slot: 0-127 in a bank, the place in a list
};

// The slots of the source or list `query` names, narrowed by its other fields as a search is
// (hidden programs are left out unless it asks for them). Empty when it names neither.
CCollectionSlotRows SlotRows(CCollection& collection, const CCollectionQuery& query);
