#pragma once
// What the Collection view reads for its rows, made on any connection (the view's reading
// thread has one of its own): the rows of a filter and a voice mode, marked by the search
// text, where programs without a name were first seen, and the filters on offer; or, later,
// only what changed since, as the Collection's change log tells it.

#include "Collection.h"
#include "CollectionFilters.h"
#include "CollectionModel.h"

#include <cstdint>
#include <string>
#include <vector>

struct CViewQuery {
    CCollectionFilter filter;
    int voiceMode = ANY_VOICE_MODE;
    std::string text;
    bool filtersToo = false;
    bool keys = true;                          // the rows' keys too (to replace rows shown)
    int sortColumn = CCollectionModel::NAME;   // the table's order, to put the rows in
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
};

struct CViewRead {
    std::vector<CViewRow> rows;           // in the table's order, as `order` says
    CRowOrder order;
    bool bySlot = false;                  // rows of a source's or a list's slots
    std::vector<CProgramPlace> places;    // of the programs without a name
    bool withFilters = false;
    std::vector<CCollectionFilter> filters;
    std::int64_t last = -1;               // the Collection's last change the rows hold
    std::string failure;                  // a read of the database failed: nothing to show
    std::size_t total = 0;                // of ReadFirstRows: how many rows there are in all
};

// Every row of the query.
CViewRead ReadView(CCollection& collection, const CViewQuery& query);

// Whether ReadFirstRows can read the query's first rows: rows of programs (not slots) in
// the order of their names, either way.
bool CanReadFirstRows(const CViewQuery& query);
// The first `count` rows of the query in the table's order, each holding the search text
// (the programs without it are left out, unlike ReadView's), and how many such rows there
// are in all: what the view shows while the rest are read. Its `last` is of no use (-1).
CViewRead ReadFirstRows(CCollection& collection, const CViewQuery& query, std::size_t count);

// What changed since the view's rows were read at change `since`: the rows of the programs
// that changed and still belong (to put in), and those that no longer do (to take out).
struct CViewChanges {
    bool whole = false;                   // too much changed, or a source's or list's slots:
    CViewRead read;                       // every row again, in `read`
    std::vector<CViewRow> rows;           // otherwise these...
    std::vector<CollectionId> gone;       // ...and these
    std::vector<CViewRow> spare;          // room for the rows kept and these (SpareRowsFor)
    std::vector<CProgramPlace> places;
    bool withFilters = false;
    std::vector<CCollectionFilter> filters;
    std::int64_t last = -1;
    std::string failure;
};

// `kept` and `capacity`: the rows the view keeps, and the room it has for them.
CViewChanges ReadChanges(CCollection& collection, const CViewQuery& query, std::int64_t since,
                         std::size_t kept = 0, std::size_t capacity = 0);
