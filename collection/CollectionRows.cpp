// Searching the Collection for rows: one pass over the programs chosen, sorted here rather
// than by SQLite (whose sorter took half the time over 128,000 programs), and the tags read
// in one go rather than a subquery per program.

#include "Collection.h"

#include "NameOrder.h"
#include "RowColumns.h"
#include "SearchFilter.h"
#include "SqliteDb.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <unordered_map>

namespace {

constexpr std::size_t KEY_BYTES = 16;
constexpr std::int64_t MAX_RESERVED_ROWS = 4 * 1024 * 1024;

// The shown name's first 16 bytes, A-Z made small, as two numbers that compare as the bytes
// do (unsigned, shorter first), then the id: for names of at most 16 bytes without a NUL
// (which every program name is) the order of COLLATE NOCASE, then id, without looking at the
// rows again.
struct CNameKey {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    CollectionId id = 0;
    std::uint32_t row = 0;

    bool operator<(const CNameKey& other) const
    {
        if (high != other.high)
            return high < other.high;
        if (low != other.low)
            return low < other.low;
        return id < other.id;
    }
};

} // namespace

std::uint64_t FoldedNameBytes(const unsigned char* name, std::size_t size, std::size_t from)
{
    unsigned char bytes[8] = {};
    if (from < size)
        std::memcpy(bytes, name + from, std::min<std::size_t>(8, size - from));
    // The eight bytes at once (a search looks at every row): 0x20 added where a byte is
    // A-Z. Below 0x80 a byte plus 0x3F reaches 0x80 from 'A' on, plus 0x25 from past 'Z' on,
    // and no sum carries into the next byte.
    std::uint64_t word = 0;
    for (int i = 0; i < 8; ++i)
        word = (word << 8) | bytes[i];
    const std::uint64_t low7 = word & 0x7F7F7F7F7F7F7F7Fu;
    const std::uint64_t fromA = low7 + 0x3F3F3F3F3F3F3F3Fu;
    const std::uint64_t pastZ = low7 + 0x2525252525252525u;
    const std::uint64_t upper = fromA & ~pastZ & ~word & 0x8080808080808080u;
    return word | (upper >> 2);
}

namespace {

std::uint64_t FoldedBytes(const std::string& name, std::size_t from)
{
    return FoldedNameBytes(reinterpret_cast<const unsigned char*>(name.data()), name.size(), from);
}

constexpr std::size_t SHORT_KEY_BYTES = 12;

struct CShortKey {
    std::uint64_t high = 0;        // folded bytes 0-7
    std::uint64_t lowAndRow = 0;   // folded bytes 8-11, then the row (rows are in id order)

    bool operator<(const CShortKey& other) const
    {
        return high != other.high ? high < other.high : lowAndRow < other.lowAndRow;
    }
};

bool FitsKey(const std::string& name)
{
    return name.size() <= KEY_BYTES && name.find('\0') == std::string::npos;
}

} // namespace

int CompareNoCase(const std::string& a, const std::string& b)
{
    const std::size_t length = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z')
            ca = static_cast<unsigned char>(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z')
            cb = static_cast<unsigned char>(cb - 'A' + 'a');
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

namespace {

// The usual case, names of at most 12 bytes without a NUL in rows read in ascending id: the
// folded name and the row number in 16 bytes, half the key to sort. Empty when it does not apply.
std::vector<CShortKey> ShortKeys(const std::vector<CCollectionRow>& rows)
{
    std::vector<CShortKey> keys(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& name = rows[i].shownName;
        if (name.size() > SHORT_KEY_BYTES || name.find('\0') != std::string::npos
            || (i > 0 && rows[i - 1].id >= rows[i].id) || i > UINT32_MAX)
            return {};
        keys[i] = {FoldedBytes(name, 0), (FoldedBytes(name, 8) & 0xFFFFFFFF00000000u) | i};
    }
    return keys;
}

// By shown name (case ignored), then id; returns each place's row before.
std::vector<std::uint32_t> ShownNameOrder(const std::vector<CCollectionRow>& rows)
{
    std::vector<std::uint32_t> order(rows.size());
    if (std::vector<CShortKey> shortKeys = ShortKeys(rows); !shortKeys.empty()) {
        std::sort(shortKeys.begin(), shortKeys.end());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<std::uint32_t>(shortKeys[i].lowAndRow);
        return order;
    }
    std::vector<CNameKey> keys(rows.size());
    bool allFit = true;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string& name = rows[i].shownName;
        keys[i] = {FoldedBytes(name, 0), FoldedBytes(name, 8), rows[i].id, static_cast<std::uint32_t>(i)};
        allFit = allFit && FitsKey(name);
    }
    if (allFit) {
        std::sort(keys.begin(), keys.end());
    } else {
        std::sort(keys.begin(), keys.end(), [&rows](const CNameKey& a, const CNameKey& b) {
            const int order = CompareNoCase(rows[a.row].shownName, rows[b.row].shownName);
            return order != 0 ? order < 0 : a.id < b.id;
        });
    }
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = keys[i].row;
    return order;
}

void SortByShownName(std::vector<CCollectionRow>& rows)
{
    std::vector<std::uint32_t> order = ShownNameOrder(rows);
    // In place, a cycle of the permutation at a time: a second vector of them all would cost
    // its fresh pages as much again as the sort.
    constexpr std::uint32_t PLACED = UINT32_MAX;
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (order[start] == PLACED)
            continue;
        CCollectionRow held = std::move(rows[start]);
        std::size_t place = start;
        for (;;) {
            const std::size_t from = order[place];
            order[place] = PLACED;
            if (from == start) {
                rows[place] = std::move(held);
                break;
            }
            rows[place] = std::move(rows[from]);
            place = from;
        }
    }
}

} // namespace

const char* const ROW_COLUMNS = "SELECT p.id, coalesce(p.user_name, p.first_name), p.voice_mode, p.favourite,"
                                " p.hidden, p.source_count, p.first_seen";

void ReadRowColumns(const CSqliteQuery& select, CCollectionRow& row)
{
    row.id = select.Int(0);
    row.shownName = select.Text(1);
    row.voiceModeIndex = static_cast<std::uint8_t>(select.Int(2) & 3);
    row.favourite = select.Int(3) != 0;
    row.hidden = select.Int(4) != 0;
    row.sourceCount = static_cast<int>(select.Int(5));
    row.firstSeenTime = select.Int(6);
}

std::vector<CCollectionRow> CCollection::SearchRows(const CCollectionQuery& query)
{
    BeginRead();
    const CSearchFilter filter = Filter(query);
    if (filter.matchesNothing || ReadFailed())
        return {};
    const std::string sql = std::string(ROW_COLUMNS) + " FROM program p " + filter.where;
    std::vector<CCollectionRow> rows;
    // Without a filter (the view's usual case) nearly every program comes back: room for
    // them all at once rather than the vector growing and moving them over and over.
    // Ids are dense, so the largest is about the count; a file with far larger ids (made
    // by hand) grows the vector instead.
    if (filter.parameters.empty() && !query.favouritesOnly && !query.hiddenOnly) {
        CSqliteQuery largest(*m_db, "SELECT max(id) FROM program");
        if (largest.Next())
            rows.reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(largest.Int(0), 0, MAX_RESERVED_ROWS)));
    }
    {
        CSqliteQuery select(*m_db, sql.c_str());
        filter.Bind(select);
        while (select.Next()) {
            ReadRowColumns(select, rows.emplace_back());
        }
        if (select.Failed()) {
            ReadFailure();
            return {};
        }
    }
    SortByShownName(rows);

    // Few programs carry tags: those of the whole Collection are read at once.
    std::unordered_map<CollectionId, std::vector<std::string>> tags;
    {
        CSqliteQuery select(*m_db, "SELECT program, tag FROM tag");
        while (select.Next())
            tags[select.Int(0)].push_back(select.Text(1));
        if (select.Failed()) {
            ReadFailure();
            return {};
        }
    }
    if (!tags.empty()) {
        for (CCollectionRow& row : rows) {
            const auto found = tags.find(row.id);
            if (found == tags.end())
                continue;
            row.tags = std::move(found->second);
            std::sort(row.tags.begin(), row.tags.end(),
                      [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
        }
    }
    return rows;
}
