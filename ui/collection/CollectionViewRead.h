#pragma once
// What the Collection view reads for its rows, made on any connection (the view's reading
// thread has one of its own): the rows of a filter and a voice mode, marked by the search
// text, where programs without a name were first seen, and the filters on offer.

#include "Collection.h"
#include "CollectionFilters.h"
#include "CollectionModel.h"

#include <string>
#include <vector>

struct CViewQuery {
    CCollectionFilter filter;
    int voiceMode = ANY_VOICE_MODE;
    std::string text;
    bool filtersToo = false;
};

struct CViewRead {
    std::vector<CViewRow> rows;           // in the search's order (slots in slot order)
    bool bySlot = false;                  // rows of a source's or a list's slots
    std::vector<CProgramPlace> places;    // of the programs without a name
    bool withFilters = false;
    std::vector<CCollectionFilter> filters;
};

CViewRead ReadView(CCollection& collection, const CViewQuery& query);
