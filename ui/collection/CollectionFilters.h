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
    // Whether the filter shows slots (a source's, a list's) rather than programs.
    bool ShowsSlots() const { return kind == Kind::Source || kind == Kind::List; }
    // Whether a program of its rows still belongs after its marks changed (a source's or a
    // list's programs stay its programs; hidden ones are left out but by Hidden).
    bool Keeps(const CCollectionRow& program) const;
};

// The voice modes the view can narrow to: any (-1), or 0-3 as CCollectionRow has them.
constexpr int ANY_VOICE_MODE = -1;

// Every filter the Collection offers now, in the order the view lists them. A failed read of
// the database is told in `failure` (what could be read is still given).
std::vector<CCollectionFilter> CollectionFilters(CCollection& collection, std::string* failure = nullptr);
