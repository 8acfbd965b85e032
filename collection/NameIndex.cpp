#include "NameIndex.h"

#include "SourceStore.h"
#include "SqliteDb.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t NAME_SIZE = 12;
// A trigram index answers fragments of at least this many characters.
constexpr std::size_t TRIGRAM = 3;

bool IsTrailingSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The length of a slot's name as a program record gives it: the bytes up to the first NUL,
// without trailing white space (CSyxProgram::GetName).
std::size_t NameLength(const unsigned char* bytes)
{
    std::size_t end = 0;
    while (end < NAME_SIZE && bytes[end] != 0)
        ++end;
    while (end > 0 && IsTrailingSpace(bytes[end - 1]))
        --end;
    return end;
}

// The name as a program record gives it.
std::string NameText(const unsigned char* bytes)
{
    const std::size_t end = NameLength(bytes);
    return std::string(reinterpret_cast<const char*>(bytes), end);
}

// A character of U+0000-U+00FF made small, as UTF-8.
void AppendFolded(std::string& out, unsigned int c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        c += 0x20;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the UTF-8 sequence at `at` and its character, or 0 when it is not one.
std::size_t Utf8Sequence(const std::string& text, std::size_t at, unsigned int& c)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    return length;
}

// Sources taken in after this many are waiting are added to the index in one go.
constexpr std::int64_t INDEX_SOURCES_AT = 64;

// The fragment as an FTS5 query of an index without positions: every trigram of it, each a
// quoted string (a quote inside doubled). The documents it finds hold them all, somewhere;
// which names hold the fragment is then seen from the names themselves. A trigram with a
// line break is left out, as source_name_search has none (a name may still hold one).
// Empty when no trigram is left: a fragment under three characters, say.
std::string TrigramQuery(const std::string& needle)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < needle.size(); ++i)
        if ((static_cast<unsigned char>(needle[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    starts.push_back(needle.size());
    std::vector<std::string> trigrams;
    for (std::size_t i = 0; i + TRIGRAM < starts.size(); ++i) {
        std::string trigram = needle.substr(starts[i], starts[i + TRIGRAM] - starts[i]);
        if (trigram.find('\n') == std::string::npos)
            trigrams.push_back(std::move(trigram));
    }
    std::sort(trigrams.begin(), trigrams.end());
    trigrams.erase(std::unique(trigrams.begin(), trigrams.end()), trigrams.end());
    std::string query;
    for (const std::string& trigram : trigrams) {
        query += query.empty() ? "\"" : " AND \"";
        for (const char c : trigram) {
            query += c;
            if (c == '"')
                query += '"';
        }
        query += '"';
    }
    return query;
}

bool NamesIndexedUpTo(CSqliteDb& db, std::int64_t& upTo, std::int64_t& last)
{
    CSqliteQuery query(db, "SELECT coalesce((SELECT value FROM collection_state WHERE key = 'names_indexed_upto'), 0),"
                           " coalesce((SELECT max(source) FROM source_slots), 0)");
    if (!query.Next())
        return false;
    upTo = query.Int(0);
    last = query.Int(1);
    return true;
}

// The search text of `length` Latin-1 bytes, added to `out`.
void AppendSearchText(const unsigned char* bytes, std::size_t length, std::string& out)
{
    for (std::size_t i = 0; i < length; ++i)
        AppendFolded(out, bytes[i]);
}

// The search text of a slot's 12 name bytes, into `out` (kept between calls, so that a
// search over many names makes no new strings).
void SlotSearchText(const unsigned char* bytes, std::string& out)
{
    out.clear();
    AppendSearchText(bytes, NameLength(bytes), out);
}

// A-Z made small in eight bytes at once; every other byte, from 0x80 on too, left as it is.
std::uint64_t FoldAsciiWord(std::uint64_t word)
{
    constexpr std::uint64_t ONES = 0x0101010101010101ull;
    const std::uint64_t low = word & (0x7F * ONES);
    const std::uint64_t fromA = low + (0x80 - 'A') * ONES;   // high bit set where low >= 'A'
    const std::uint64_t pastZ = low + (0x7F - 'Z') * ONES;   // high bit set where low > 'Z'
    const std::uint64_t upper = fromA & ~pastZ & ~word & (0x80 * ONES);
    return word | (upper >> 2);   // 0x20 added to each of A-Z
}

void FoldAscii(std::string& text)
{
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, &text[at], 8);
        word = FoldAsciiWord(word);
        std::memcpy(&text[at], &word, 8);
    }
    for (; at < text.size(); ++at)
        if (text[at] >= 'A' && text[at] <= 'Z')
            text[at] = static_cast<char>(text[at] + 0x20);
}

// The programs of `slots` (a source_slots row) whose name holds `needle`.
void MatchSlots(const CSqliteQuery& slots, const std::string& needle, std::vector<std::int64_t>& programs)
{
    const unsigned char* ids = slots.Blob(0);
    const std::size_t count = slots.Size(0) / 8;
    const unsigned char* names = slots.Blob(1);
    if (slots.Size(1) != count * NAME_SIZE)
        return;
    const auto program = [&](std::size_t slot) { return DecodeSlots(ids + slot * 8, 8)[0]; };
    const bool ascii = std::all_of(needle.begin(), needle.end(), [](char c) { return (c & 0x80) == 0; });
    if (!ascii || needle.empty()) {
        std::string text;
        for (std::size_t slot = 0; slot < count; ++slot) {
            SlotSearchText(names + slot * NAME_SIZE, text);
            if (text.find(needle) != std::string::npos)
                programs.push_back(program(slot));
        }
        return;
    }
    // An ASCII needle is looked for in all the slots' names at once, A-Z folded: the text
    // SlotSearchText makes differs only in bytes from 0x80 on, which no ASCII byte matches.
    // A match counts when it lies within its slot's name.
    std::string folded(reinterpret_cast<const char*>(names), count * NAME_SIZE);
    FoldAscii(folded);
    std::size_t at = 0;
    while ((at = folded.find(needle, at)) != std::string::npos) {
        const std::size_t slot = at / NAME_SIZE;
        if (at % NAME_SIZE + needle.size() <= NameLength(names + slot * NAME_SIZE)) {
            programs.push_back(program(slot));
            at = (slot + 1) * NAME_SIZE;
        } else {
            ++at;
        }
    }
}

void SortUnique(std::vector<std::int64_t>& programs)
{
    // Ids are mostly the database's row numbers: when many are found among few, a bit for
    // each puts them in order in one pass, where a sort would compare them all.
    if (programs.size() >= 1024) {
        const auto [low, high] = std::minmax_element(programs.begin(), programs.end());
        const std::int64_t first = *low;
        const std::uint64_t span = static_cast<std::uint64_t>(*high) - static_cast<std::uint64_t>(first);
        if (span / 64 < programs.size()) {
            std::vector<std::uint64_t> bits(static_cast<std::size_t>(span / 64) + 1);
            for (const std::int64_t id : programs) {
                const std::uint64_t offset = static_cast<std::uint64_t>(id) - static_cast<std::uint64_t>(first);
                bits[static_cast<std::size_t>(offset / 64)] |= std::uint64_t(1) << (offset % 64);
            }
            programs.clear();
            for (std::size_t word = 0; word < bits.size(); ++word)
                for (std::uint64_t set = bits[word]; set != 0; set &= set - 1)
                    programs.push_back(static_cast<std::int64_t>(static_cast<std::uint64_t>(first) + word * 64
                                                                 + static_cast<std::uint64_t>(__builtin_ctzll(set))));
            return;
        }
    }
    std::sort(programs.begin(), programs.end());
    programs.erase(std::unique(programs.begin(), programs.end()), programs.end());
}

} // namespace

std::string SearchText(const std::string& bytes, bool utf8)
{
    std::string out;
    out.reserve(bytes.size() + 4);
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        unsigned int c = 0;
        std::size_t length = 0;
        if (utf8 && b >= 0x80 && (length = Utf8Sequence(bytes, i, c)) != 0) {
            if (c <= 0xFF) {
                AppendFolded(out, c);
            } else {
                out.append(bytes, i, length);   // no name holds it: it matches nothing
            }
            i += length;
            continue;
        }
        AppendFolded(out, b);
        ++i;
    }
    return out;
}

std::string SlotNamesSearchText(const unsigned char* names, std::size_t slots)
{
    std::string text;
    for (std::size_t slot = 0; slot < slots; ++slot) {
        if (slot > 0)
            text += '\n';
        text += SearchText(NameText(names + slot * NAME_SIZE), false);
    }
    return text;
}

bool IndexNewSourceNames(CSqliteDb& db, bool now)
{
    std::int64_t upTo = 0;
    std::int64_t last = 0;
    if (!NamesIndexedUpTo(db, upTo, last))
        return false;
    if (last - upTo < INDEX_SOURCES_AT && !(now && last > upTo))
        return true;
    {
        CSqliteQuery sources(db, "SELECT source, names FROM source_slots WHERE source > ? ORDER BY source");
        sources.Bind(1, upTo);
        while (sources.Next()) {
            const std::string text = SlotNamesSearchText(sources.Blob(1), sources.Size(1) / NAME_SIZE);
            CSqliteQuery insert(db, "INSERT INTO source_name_search(rowid, names) VALUES(?, ?)");
            if (!insert.Bind(1, sources.Int(0)).BindText(2, text).Run())
                return false;
        }
        if (sources.Failed())
            return false;
    }
    CSqliteQuery mark(db, "INSERT OR REPLACE INTO collection_state(key, value) VALUES('names_indexed_upto', ?)");
    return mark.Bind(1, last).Run();
}

bool IndexGivenName(CSqliteDb& db, std::int64_t program, const std::string& name)
{
    const std::string text = SearchText(name, false);
    CSqliteQuery insert(db, "INSERT INTO given_name_search(name, program) VALUES(?, ?)");
    return insert.BindText(1, text).Bind(2, program).Run();
}

bool CNameIndex::Load(CSqliteDb& db)
{
    Clear();
    const auto added = [this](std::int64_t program) {
        m_text += '\0';
        m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
        m_programs.push_back(program);
    };
    {
        CSqliteQuery sources(db, "SELECT programs, names FROM source_slots");
        while (sources.Next()) {
            const std::vector<std::int64_t> programs = DecodeSlots(sources.Blob(0), sources.Size(0));
            const unsigned char* names = sources.Blob(1);
            if (sources.Size(1) != programs.size() * NAME_SIZE)
                continue;
            for (std::size_t slot = 0; slot < programs.size(); ++slot) {
                AppendSearchText(names + slot * NAME_SIZE, NameLength(names + slot * NAME_SIZE), m_text);
                added(programs[slot]);
            }
        }
        if (sources.Failed()) {
            Clear();
            return false;
        }
    }
    CSqliteQuery given(db, "SELECT program, name FROM program_name");
    while (given.Next()) {
        const std::string name = given.Text(1);
        AppendSearchText(reinterpret_cast<const unsigned char*>(name.data()), name.size(), m_text);
        added(given.Int(0));
    }
    // Places are kept in 32 bits: a text past 4 GB (some 300 million names) is not kept.
    if (given.Failed() || m_text.size() > UINT32_MAX) {
        Clear();
        return false;
    }
    return true;
}

void CNameIndex::Clear()
{
    m_text.clear();
    m_ends.clear();
    m_programs.clear();
}

bool CNameIndex::FindInMemory(CSqliteDb& db, std::int64_t version, const std::string& needle,
                              std::vector<std::int64_t>& programs)
{
    if (version != m_version) {
        m_version = -1;
        if (!Load(db))
            return false;
        m_version = version;
    }
    // No name holds a NUL, which ends each in the text: a match lies within one name, the
    // one whose end is the first after it.
    if (needle.find('\0') != std::string::npos)
        return true;
    std::size_t name = 0;
    for (std::size_t at = 0; at < m_text.size() && (at = m_text.find(needle, at)) != std::string::npos;) {
        while (m_ends[name] <= at)
            ++name;
        programs.push_back(m_programs[name]);
        at = m_ends[name];
    }
    return true;
}

bool CNameIndex::FindIndexed(CSqliteDb& db, const std::string& needle, const std::string& query,
                             std::vector<std::int64_t>& programs)
{
    std::int64_t upTo = 0;
    std::int64_t last = 0;
    if (!NamesIndexedUpTo(db, upTo, last))
        return false;
    {
        // The sources with every trigram of it somewhere, then the slots that have it.
        CSqliteQuery slots(db, "SELECT s.programs, s.names FROM source_name_search f"
                               " JOIN source_slots s ON s.source = f.rowid WHERE source_name_search MATCH ?");
        slots.BindText(1, query);
        while (slots.Next())
            MatchSlots(slots, needle, programs);
        if (slots.Failed())
            return false;
    }
    {
        // The few sources not yet in the index.
        CSqliteQuery slots(db, "SELECT programs, names FROM source_slots WHERE source > ?");
        slots.Bind(1, upTo);
        while (slots.Next())
            MatchSlots(slots, needle, programs);
        if (slots.Failed())
            return false;
    }
    CSqliteQuery given(db, "SELECT program, name FROM given_name_search WHERE given_name_search MATCH ?");
    given.BindText(1, query);
    while (given.Next())
        if (given.Text(1).find(needle) != std::string::npos)
            programs.push_back(given.Int(0));
    return !given.Failed();
}

bool CNameIndex::Find(CSqliteDb& db, std::int64_t version, const std::string& fragment,
                      std::vector<std::int64_t>& programs)
{
    const std::string needle = SearchText(fragment, true);
    programs.clear();
    const std::string query = TrigramQuery(needle);
    const bool found = !query.empty() ? FindIndexed(db, needle, query, programs)
                                      : FindInMemory(db, version, needle, programs);
    if (!found) {
        programs.clear();
        return false;
    }
    SortUnique(programs);
    return true;
}
