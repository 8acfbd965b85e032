#include "SoundIndex.h"

#include "SqliteDb.h"

#include <algorithm>
#include <string>

namespace {

// Programs gather outside the index until there are this many, or an eighth of those in it.
constexpr std::int64_t FOLD_AT_LEAST = 16384;

bool ReadIndexedUpTo(CSqliteDb& db, std::int64_t& upTo)
{
    CSqliteQuery query(db, "SELECT value FROM collection_state WHERE key = 'sounds_indexed_upto'");
    upTo = 0;
    if (query.Next())
        upTo = query.Int(0);
    return !query.Failed();
}

} // namespace

bool CSoundIndex::CatchUp(CSqliteDb& db)
{
    m_prefetched.clear();
    if (!m_haveKey && !ReadSoundHashKey(db, m_hashKey))
        return false;
    m_haveKey = true;
    std::int64_t upTo = 0;
    if (!ReadIndexedUpTo(db, upTo))
        return false;
    if (upTo != m_indexedUpTo) {
        // Another connection folded them in (or this is the first call): start after it.
        m_recent.clear();
        m_indexedUpTo = upTo;
        m_lastProgram = upTo;
    }
    CSqliteQuery query(db, "SELECT id, sound_key FROM program WHERE id > ? ORDER BY id");
    query.Bind(1, m_lastProgram);
    while (query.Next())
        Add(static_cast<std::uint64_t>(query.Int(1)), query.Int(0));
    return !query.Failed();
}

std::uint64_t CSoundIndex::KeyOf(const unsigned char* sound, std::size_t size) const
{
    return SipHash24(m_hashKey, sound, size);
}

bool CSoundIndex::Prefetch(CSqliteDb& db, const std::vector<std::uint64_t>& keys)
{
    m_prefetched.clear();
    if (m_indexedUpTo <= 0 || keys.empty())
        return true;
    std::string json = "[";
    for (const std::uint64_t key : keys) {
        json += std::to_string(static_cast<std::int64_t>(key));
        json += ',';
    }
    json.back() = ']';
    CSqliteQuery query(db, "SELECT key, program FROM sound WHERE key IN (SELECT value FROM json_each(?))");
    query.BindText(1, json);
    while (query.Next())
        m_prefetched.emplace(static_cast<std::uint64_t>(query.Int(0)), query.Int(1));
    return !query.Failed();
}

void CSoundIndex::Find(std::uint64_t key, std::vector<std::int64_t>& programs) const
{
    programs.clear();
    for (auto [at, end] = m_prefetched.equal_range(key); at != end; ++at)
        programs.push_back(at->second);
    for (auto [at, end] = m_recent.equal_range(key); at != end; ++at)
        programs.push_back(at->second);
}

void CSoundIndex::Add(std::uint64_t key, std::int64_t program)
{
    m_recent.emplace(key, program);
    m_lastProgram = std::max(m_lastProgram, program);
}

bool CSoundIndex::FoldIn(CSqliteDb& db)
{
    const std::int64_t waiting = m_lastProgram - m_indexedUpTo;
    if (waiting < std::max(FOLD_AT_LEAST, m_indexedUpTo / 8))
        return true;
    CSqliteQuery insert(db, "INSERT INTO sound(key, program) SELECT sound_key, id FROM program WHERE id > ?"
                            " ORDER BY sound_key, id");
    CSqliteQuery mark(db, "INSERT OR REPLACE INTO collection_state(key, value) VALUES('sounds_indexed_upto', ?)");
    if (!insert.Bind(1, m_indexedUpTo).Run() || !mark.Bind(1, m_lastProgram).Run())
        return false;
    m_recent.clear();
    m_indexedUpTo = m_lastProgram;
    return true;
}

void CSoundIndex::Clear()
{
    m_recent.clear();
    m_prefetched.clear();
    m_indexedUpTo = -1;
    m_lastProgram = 0;
    m_haveKey = false;
}
