#include "CollectionFilters.h"

#include <QFileInfo>

#include <algorithm>
#include <strings.h>

void CCollectionFilter::Apply(CCollectionQuery& query) const
{
    switch (kind) {
    case Kind::All: break;
    case Kind::Favourites: query.favouritesOnly = true; break;
    case Kind::Hidden: query.hiddenOnly = true; break;
    case Kind::Tag: query.tag = tag; break;
    case Kind::Source: query.source = id; break;
    case Kind::List: query.list = id; break;
    }
}

bool CCollectionFilter::Keeps(const CCollectionRow& program) const
{
    switch (kind) {
    case Kind::Favourites: return program.favourite && !program.hidden;
    case Kind::Hidden: return program.hidden;
    case Kind::Tag:
        return !program.hidden && std::any_of(program.tags.begin(), program.tags.end(), [this](const std::string& t) {
                   return strcasecmp(t.c_str(), tag.c_str()) == 0;
               });
    default: return !program.hidden;
    }
}

bool CCollectionFilter::SameAs(const CCollectionFilter& other) const
{
    return kind == other.kind && tag == other.tag && id == other.id;
}

std::vector<CCollectionFilter> CollectionFilters(CCollection& collection)
{
    using Kind = CCollectionFilter::Kind;
    std::vector<CCollectionFilter> filters = {
        {Kind::All, {}, 0, "All", {}},
        {Kind::Favourites, {}, 0, "Favourites", {}},
        {Kind::Hidden, {}, 0, "Hidden", {}},
    };
    for (const std::string& tag : collection.Tags())
        filters.push_back({Kind::Tag, tag, 0, "Tag: " + QString::fromStdString(tag), {}});
    for (const CCollectionSource& source : collection.Sources()) {
        const QString name = QString::fromStdString(source.name);
        if (source.kind == SourceKind::File)
            filters.push_back({Kind::Source, {}, source.id, "File: " + QFileInfo(name).fileName(), name});
        else
            filters.push_back({Kind::Source, {}, source.id, name, {}});
    }
    for (const CCollectionList& list : collection.Lists())
        filters.push_back({Kind::List, {}, list.id, "List: " + QString::fromStdString(list.name), {}});
    return filters;
}
