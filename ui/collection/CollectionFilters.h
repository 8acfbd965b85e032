#pragma once
// The Collection view's filters: All, Favourites, Hidden, then one per tag, per source (files
// and synth receives) and per list, each narrowing the search in its own way.

#include "Collection.h"

#include <QString>

#include <vector>

class CCollection;

struct CCollectionFilter {
    enum class Kind { All, Favourites, Hidden, Tag, Source, List };
    Kind kind = Kind::All;
    std::string tag;            // for Tag
    CollectionId id = 0;        // for Source and List
    QString label;              // what the filter list shows
    QString toolTip;            // a file source's full path

    // Adds what the filter asks for to `query` (the search text stays as it is).
    void Apply(CCollectionQuery& query) const;
    // Whether two filters pick the same programs (labels aside).
    bool SameAs(const CCollectionFilter& other) const;
};

// Every filter the Collection offers now, in the order the view lists them.
std::vector<CCollectionFilter> CollectionFilters(CCollection& collection);
