// Where programs were first seen, for the views that must tell apart programs of the same
// (often blank) name.

#include "Collection.h"

#include "SqliteDb.h"

std::vector<CProgramPlace> CCollection::FirstPlaces(const std::vector<CollectionId>& ids)
{
    std::vector<CProgramPlace> places;
    places.reserve(ids.size());
    for (const CollectionId id : ids) {
        // The statement is prepared once and kept by the connection.
        CSqliteQuery select(*m_db, "SELECT p.first_source, p.first_slot, s.kind, s.name FROM program p"
                                   " JOIN source s ON s.id = p.first_source WHERE p.id = ?");
        if (!select.Bind(1, id).Next())
            continue;
        CProgramPlace& place = places.emplace_back();
        place.program = id;
        place.source = select.Int(0);
        place.slot = static_cast<int>(select.Int(1));
        const std::int64_t kind = select.Int(2);
        place.kind = kind == 1 ? SourceKind::Synth : kind == 2 ? SourceKind::Bank : SourceKind::File;
        place.sourceName = select.Text(3);
    }
    return places;
}
