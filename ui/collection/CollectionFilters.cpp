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

std::vector<CCollectionFilter> CollectionFilters(CCollection& collection, std::string* failure)
{
    using Kind = CCollectionFilter::Kind;
    std::vector<CCollectionFilter> filters = {
        {Kind::All, {}, 0, "All", {}},
        {Kind::Favourites, {}, 0, "Favourites", {}},
        {Kind::Hidden, {}, 0, "Hidden", {}},
    };
    const auto failed = [&collection, failure] {
        if (collection.ReadFailed() && failure != nullptr && failure->empty())
            *failure = collection.ReadError();
    };
    const std::vector<std::string> tags = collection.Tags();
    failed();
    for (const std::string& tag : tags)
        filters.push_back({Kind::Tag, tag, 0, "Tag: " + QString::fromStdString(tag), {}});
    const std::vector<CCollectionSource> sources = collection.Sources();
    failed();
    for (const CCollectionSource& source : sources) {
        const QString name = QString::fromStdString(source.name);
        if (source.kind == SourceKind::File)
            filters.push_back({Kind::Source, {}, source.id, "File: " + QFileInfo(name).fileName(), name});
        else
            filters.push_back({Kind::Source, {}, source.id, name, {}});
    }
    const std::vector<CCollectionList> lists = collection.Lists();
    failed();
    for (const CCollectionList& list : lists)
        filters.push_back({Kind::List, {}, list.id, "List: " + QString::fromStdString(list.name), {}});
    return filters;
}
