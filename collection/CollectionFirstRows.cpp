// The rows a table shows first. Of every program not hidden, from the name ends (NameEnds.h);
// of any other choice, one pass over the programs chosen that keeps only the first few in the
// order asked for, and counts them all. Over many programs the pass is split in two halves of
// the ids, the second on a connection of its own in a thread of its own.

#include "Collection.h"

#include "NameEnds.h"
#include "NameOrder.h"
#include "SearchFilter.h"
#include "SqliteDb.h"

#include <algorithm>
#include <thread>

namespace {

// A row kept: its place in the order by its folded first 16 bytes, and by the whole name
// and id where those are the same.
struct CFirstRow {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    CollectionId id = 0;
    std::string name;
};

bool FirstRowBefore(const CFirstRow& a, const CFirstRow& b)
{
    if (a.high != b.high)
        return a.high < b.high;
    if (a.low != b.low)
        return a.low < b.low;
    const int order = CompareNoCase(a.name, b.name);
    return order != 0 ? order < 0 : a.id < b.id;
}

// The order asked for: by name, or by name from the end.
struct CFirstRowOrder {
    bool fromEnd;
    bool operator()(const CFirstRow& a, const CFirstRow& b) const
    {
        return fromEnd ? FirstRowBefore(b, a) : FirstRowBefore(a, b);
    }
};

// One scan: the programs of `where` (whose parameters `filter` binds) with an id at most
// `upTo` (or above it, for `above`) when `upTo` is set, the hidden ones left out.
struct CFirstRowsScan {
    const CSearchFilter& filter;
    const std::string& where;
    const std::vector<CollectionId>& hidden;
    std::size_t count;
    bool fromEnd;
    std::optional<CollectionId> upTo;
    bool above = false;

    bool operator()(CSqliteDb& db, std::vector<CFirstRow>& kept, std::size_t& total) const;
};

bool CFirstRowsScan::operator()(CSqliteDb& db, std::vector<CFirstRow>& kept, std::size_t& total) const
{
    kept.clear();
    kept.reserve(count + 1);
    // The rows kept are a heap with the one that would go first on top: the last of them
    // in the order asked for.
    const CFirstRowOrder goesFirst{fromEnd};
    CFirstRow row;
    // Counted here, on this thread's own stack: `total` may sit beside what the other
    // half's thread reads, and a write a row there would take the line from it each time.
    std::size_t counted = 0;
    const auto visit = [&](CollectionId id, const unsigned char* name, std::size_t size) {
        if (!hidden.empty() && std::binary_search(hidden.begin(), hidden.end(), id))
            return;
        ++counted;
        if (count == 0)
            return;
        row.id = id;
        row.high = FoldedNameBytes(name, size, 0);
        // Mostly the first 8 bytes tell that a row comes after those kept, unread.
        if (kept.size() == count && row.high != kept.front().high
            && (fromEnd ? row.high < kept.front().high : row.high > kept.front().high))
            return;
        row.low = FoldedNameBytes(name, size, 8);
        if (kept.size() == count && row.high == kept.front().high && row.low != kept.front().low
            && (fromEnd ? row.low < kept.front().low : row.low > kept.front().low))
            return;
        row.name.assign(reinterpret_cast<const char*>(name), size);
        if (kept.size() == count) {
            if (!goesFirst(row, kept.front()))
                return;
            std::pop_heap(kept.begin(), kept.end(), goesFirst);
            kept.back() = std::move(row);
        } else {
            kept.push_back(std::move(row));
        }
        std::push_heap(kept.begin(), kept.end(), goesFirst);
        row = CFirstRow();
    };
    // Each row is handed over within SQLite's own pass: a step per row out to here costs
    // as much again.
    if (!db.SetVisitor(visit))
        return false;
    std::string sql = "SELECT count(visit(p.id, coalesce(p.user_name, p.first_name))) FROM program p "
                      + (where.empty() ? std::string("WHERE 1") : where);
    if (upTo)
        sql += above ? " AND p.id > ?" : " AND p.id <= ?";
    CSqliteQuery select(db, sql.c_str());
    filter.Bind(select);
    if (upTo)
        select.Bind(static_cast<int>(filter.parameters.size()) + 1, *upTo);
    const bool done = select.Next() && !select.Failed();
    db.SetVisitor(nullptr);
    total = done ? counted : 0;
    if (!done)
        return false;
    std::sort_heap(kept.begin(), kept.end(), goesFirst);
    return true;
}

} // namespace

void CCollection::SetSplitScansFrom(std::int64_t programs)
{
    m_splitScansFrom = programs;
}

std::vector<CCollectionRow> CCollection::SearchFirstRows(const CCollectionQuery& query, std::size_t count,
                                                         bool fromEnd, std::size_t& total)
{
    BeginRead();
    total = 0;
    const CSearchFilter filter = Filter(query);
    if (filter.matchesNothing || ReadFailed())
        return {};
    std::vector<CollectionId> ids;
    // Every program not hidden, by name: its first rows are those whose names come first or
    // last, kept apart by the writers (unless renames left fewer of them than asked for).
    const bool everyShown = filter.where == "WHERE p.hidden = 0" && filter.parameters.empty();
    if (!everyShown || !NameEndRows(*m_db, fromEnd ? NameEndSide::Last : NameEndSide::First, count, ids, total)) {
        if (!ScanFirstRows(filter, count, fromEnd, ids, total))
            return {};
    }

    std::vector<CCollectionRow> read;
    if (!ReadRows(ids, read)) {
        total = 0;
        return {};
    }
    // ReadRows gives them by id: put back in the order found.
    std::vector<CCollectionRow> rows;
    rows.reserve(read.size());
    for (const CollectionId id : ids) {
        const auto found = std::lower_bound(read.begin(), read.end(), id,
                                            [](const CCollectionRow& r, CollectionId value) { return r.id < value; });
        if (found != read.end() && found->id == id)
            rows.push_back(std::move(*found));
    }
    return rows;
}

bool CCollection::ScanFirstRows(const CSearchFilter& filter, std::size_t count, bool fromEnd,
                                std::vector<CollectionId>& ids, std::size_t& total)
{
    // Hidden programs are few, and found through their index: left out here rather than by
    // SQLite, which would look at the mark of every row (a third of the time).
    std::string where = filter.where;
    std::vector<CollectionId> hidden;
    const std::string shownOnly = "WHERE p.hidden = 0";
    if (where.compare(0, shownOnly.size(), shownOnly) == 0) {
        where = "WHERE 1" + where.substr(shownOnly.size());
        CSqliteQuery select(*m_db, "SELECT id FROM program WHERE hidden = 1 ORDER BY id");
        while (select.Next())
            hidden.push_back(select.Int(0));
        if (select.Failed()) {
            ReadFailure();
            return false;
        }
    }

    CFirstRowsScan scan{filter, where, hidden, count, fromEnd, std::nullopt};
    std::vector<CFirstRow> kept;
    std::optional<CollectionId> middle = SplitScanAt();
    if (middle) {
        // The second half on the other connection, beside this one. Rows written between the
        // two halves' looks may be in neither or both: the table reads every row next.
        std::vector<CFirstRow> keptAbove;
        std::size_t totalAbove = 0;
        CFirstRowsScan scanAbove = scan;
        scanAbove.upTo = middle;
        scanAbove.above = true;
        bool doneAbove = false;
        std::thread above([&] { doneAbove = scanAbove(*m_sideReader, keptAbove, totalAbove); });
        scan.upTo = middle;
        const bool done = scan(*m_db, kept, total);
        above.join();
        if (done && doneAbove) {
            kept.insert(kept.end(), std::make_move_iterator(keptAbove.begin()), std::make_move_iterator(keptAbove.end()));
            std::sort(kept.begin(), kept.end(), CFirstRowOrder{fromEnd});
            if (kept.size() > count)
                kept.resize(count);
            total += totalAbove;
        } else {
            m_sideReader.reset();   // and the whole pass on this connection instead
            middle.reset();
            scan.upTo.reset();
        }
    }
    if (!middle && !scan(*m_db, kept, total)) {
        ReadFailure();
        return false;
    }
    ids.resize(kept.size());
    for (std::size_t i = 0; i < kept.size(); ++i)
        ids[i] = kept[i].id;
    return true;
}

std::optional<CollectionId> CCollection::SplitScanAt()
{
    // Two halves only pay where there are two processors and many programs, and only where
    // the other connection sees what this one does: not inside a transaction of this one.
    if (std::thread::hardware_concurrency() < 2 || m_inBatch || !m_db->InAutocommit())
        return std::nullopt;
    // Each on its own: together SQLite would look at every row for them.
    CSqliteQuery ends(*m_db, "SELECT (SELECT min(id) FROM program), (SELECT max(id) FROM program)");
    if (!ends.Next() || ends.IsNull(0))
        return std::nullopt;
    const CollectionId lowest = ends.Int(0);
    const std::uint64_t span = static_cast<std::uint64_t>(ends.Int(1)) - static_cast<std::uint64_t>(lowest);
    if (span < static_cast<std::uint64_t>(m_splitScansFrom))
        return std::nullopt;
    if (!m_sideReader) {
        int code = 0;
        std::string error;
        m_sideReader = CSqliteDb::OpenExisting(m_db->Path(), true, code, error);
        if (!m_sideReader)
            return std::nullopt;
    }
    return static_cast<CollectionId>(static_cast<std::uint64_t>(lowest) + span / 2);
}
