// What changed since a view last looked, from the change log, and the rows of just those
// programs.

#include "Collection.h"

#include "RowColumns.h"
#include "SourceStore.h"
#include "SqliteDb.h"

#include <algorithm>
#include <strings.h>

namespace {

enum ChangeKind : int { PROGRAM = 0, TAGS = 1, SOURCE = 2, LIST = 3 };

std::string IdsAsJson(const std::vector<CollectionId>& ids)
{
    std::string json = "[";
    for (const CollectionId id : ids)
        json += (json.size() > 1 ? "," : "") + std::to_string(id);
    return json + "]";
}

} // namespace

std::int64_t CCollection::LastChange()
{
    BeginRead();
    CSqliteQuery query(*m_db, "SELECT coalesce(max(seq), 0) FROM change_log");
    if (!query.Next()) {
        ReadFailure();
        return 0;
    }
    return query.Int(0);
}

bool CCollection::ChangesSince(std::int64_t since, CCollectionChanges& changes, std::size_t limit)
{
    BeginRead();
    changes = CCollectionChanges();
    changes.last = since;
    // One read transaction, so that the oldest change kept and the changes agree.
    CSqliteReadTransaction together(*m_db);
    bool ok = together.Began();
    if (ok) {
        CSqliteQuery range(*m_db, "SELECT min(seq), max(seq) FROM change_log");
        ok = range.Next();
        const std::int64_t oldest = ok && !range.IsNull(0) ? range.Int(0) : 0;
        const std::int64_t newest = ok && !range.IsNull(1) ? range.Int(1) : 0;
        changes.last = newest;
        // Changes after `since` were trimmed away, or the file is not the one `since` was
        // read from (put back from a copy): what changed is not known.
        changes.readAgain = ok && (since > newest || (oldest > since + 1 && since < newest));
    }
    std::vector<CollectionId> sources;
    if (ok && !changes.readAgain) {
        CSqliteQuery log(*m_db, "SELECT kind, item FROM change_log WHERE seq > ? ORDER BY seq");
        log.Bind(1, since);
        while (log.Next()) {
            const auto kind = static_cast<int>(log.Int(0));
            if (kind == SOURCE)
                sources.push_back(log.Int(1));
            else if (kind != LIST)
                changes.programs.push_back(log.Int(1));
            changes.filtersChanged = changes.filtersChanged || kind != PROGRAM;
            if (changes.programs.size() > limit) {
                changes.readAgain = true;
                break;
            }
        }
        ok = !log.Failed();
    }
    for (std::size_t i = 0; ok && !changes.readAgain && i < sources.size(); ++i) {
        CSqliteQuery slots(*m_db, "SELECT programs FROM source_slots WHERE source = ?");
        if (slots.Bind(1, sources[i]).Next()) {
            const std::vector<CollectionId> ids = DecodeSlots(slots.Blob(0), slots.Size(0));
            changes.programs.insert(changes.programs.end(), ids.begin(), ids.end());
        }
        ok = !slots.Failed();
        changes.readAgain = changes.programs.size() > limit;
    }
    if (!ok) {
        ReadFailure();
        changes = CCollectionChanges();
        changes.last = since;
        return false;
    }
    if (changes.readAgain) {
        changes.programs.clear();
    } else {
        std::sort(changes.programs.begin(), changes.programs.end());
        changes.programs.erase(std::unique(changes.programs.begin(), changes.programs.end()), changes.programs.end());
    }
    return true;
}

bool CCollection::ReadRows(const std::vector<CollectionId>& ids, std::vector<CCollectionRow>& rows)
{
    BeginRead();
    rows.clear();
    const std::string json = IdsAsJson(ids);
    {
        const std::string sql =
            std::string(ROW_COLUMNS) + " FROM program p WHERE p.id IN (SELECT value FROM json_each(?)) ORDER BY p.id";
        CSqliteQuery select(*m_db, sql.c_str());
        select.BindText(1, json);
        while (select.Next())
            ReadRowColumns(select, rows.emplace_back());
        if (select.Failed()) {
            ReadFailure();
            rows.clear();
            return false;
        }
    }
    CSqliteQuery tags(*m_db, "SELECT program, tag FROM tag WHERE program IN (SELECT value FROM json_each(?))");
    tags.BindText(1, json);
    while (tags.Next()) {
        const CollectionId id = tags.Int(0);
        const auto row = std::lower_bound(rows.begin(), rows.end(), id,
                                          [](const CCollectionRow& r, CollectionId value) { return r.id < value; });
        if (row != rows.end() && row->id == id)
            row->tags.push_back(tags.Text(1));
    }
    if (tags.Failed()) {
        ReadFailure();
        rows.clear();
        return false;
    }
    for (CCollectionRow& row : rows)
        std::sort(row.tags.begin(), row.tags.end(),
                  [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    return true;
}
