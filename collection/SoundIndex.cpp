#include "SoundIndex.h"

#include "SoundBlocks.h"
#include "SqliteDb.h"

#include <algorithm>
#include <string>

namespace {

// Programs gather outside the index until there are this many, or an eighth of those in it:
// fewer, larger folds cost less in all, and a process reads at most that many rows to start.
constexpr std::int64_t FOLD_AT_LEAST = 65536;

constexpr int FILTER_PROBES = 4;
const char* const STORE_FILTER_SQL = "INSERT OR REPLACE INTO sound_filter(id, bits) VALUES(1, ?)";
constexpr std::size_t FILTER_BITS_PER_KEY = 16;
// The filter holds 16 bits for each program in the index: megabytes in a large Collection,
// more to read than looking a few dumps' keys up in the index itself. It is read once a
// connection has looked this many keys up.
constexpr std::size_t FILTER_READ_AFTER_KEYS = 4096;

// The filter's bit for a key's probe: double hashing over the key's two halves (the key is a
// keyed hash already).
std::size_t FilterBit(std::uint64_t key, int probe, std::size_t bits)
{
    const std::uint64_t low = key & 0xFFFFFFFFu;
    const std::uint64_t high = (key >> 32) | 1u;
    return static_cast<std::size_t>((low + static_cast<std::uint64_t>(probe) * high) & (bits - 1));
}

bool ReadFilter(CSqliteDb& db, std::vector<unsigned char>& filter)
{
    CSqliteQuery query(db, "SELECT bits FROM sound_filter WHERE id = 1");
    filter.clear();
    if (query.Next())
        filter.assign(query.Blob(0), query.Blob(0) + query.Size(0));
    return !query.Failed();
}

bool ReadIndexedUpTo(CSqliteDb& db, std::int64_t& upTo)
{
    CSqliteQuery query(db, "SELECT value FROM collection_state WHERE key = 'sounds_indexed_upto'");
    upTo = 0;
    if (query.Next())
        upTo = query.Int(0);
    return !query.Failed();
}

} // namespace

bool SoundFilterMayHold(const std::vector<unsigned char>& filter, std::uint64_t key)
{
    const std::size_t bits = filter.size() * 8;
    if (bits == 0 || (bits & (bits - 1)) != 0)
        return true;   // no filter (or not one made here): every key may be there
    for (int probe = 0; probe < FILTER_PROBES; ++probe) {
        const std::size_t bit = FilterBit(key, probe, bits);
        if ((filter[bit / 8] & (1u << (bit % 8))) == 0)
            return false;
    }
    return true;
}

void SoundFilterAdd(std::vector<unsigned char>& filter, std::uint64_t key)
{
    const std::size_t bits = filter.size() * 8;
    for (int probe = 0; probe < FILTER_PROBES; ++probe) {
        const std::size_t bit = FilterBit(key, probe, bits);
        filter[bit / 8] = static_cast<unsigned char>(filter[bit / 8] | (1u << (bit % 8)));
    }
}

void SoundFilterAddAll(std::vector<unsigned char>& filter, const std::vector<std::uint64_t>& keys)
{
    // A key's probes fall all over the filter, and a filter of megabytes set a bit at a time
    // misses the cache at nearly every bit: the bits are sorted by region of the filter first
    // (a counting sort), then set a region at a time.
    constexpr unsigned REGION_SHIFT = 20;   // regions of 128 KB
    const std::size_t bits = filter.size() * 8;
    const std::size_t regions = bits >> REGION_SHIFT;
    if (regions <= 1) {
        for (const std::uint64_t key : keys)
            SoundFilterAdd(filter, key);
        return;
    }
    std::vector<std::size_t> next(regions + 1, 0);
    for (const std::uint64_t key : keys)
        for (int probe = 0; probe < FILTER_PROBES; ++probe)
            ++next[(FilterBit(key, probe, bits) >> REGION_SHIFT) + 1];
    for (std::size_t region = 1; region <= regions; ++region)
        next[region] += next[region - 1];
    const std::vector<std::size_t> regionStart = next;
    const std::uint32_t inRegion = (1u << REGION_SHIFT) - 1;
    std::vector<std::uint32_t> sorted(keys.size() * FILTER_PROBES);
    for (const std::uint64_t key : keys)
        for (int probe = 0; probe < FILTER_PROBES; ++probe) {
            const std::size_t bit = FilterBit(key, probe, bits);
            sorted[next[bit >> REGION_SHIFT]++] = static_cast<std::uint32_t>(bit) & inRegion;
        }
    for (std::size_t region = 0; region < regions; ++region) {
        unsigned char* bytes = filter.data() + (region << (REGION_SHIFT - 3));
        for (std::size_t i = regionStart[region]; i < regionStart[region + 1]; ++i)
            bytes[sorted[i] / 8] = static_cast<unsigned char>(bytes[sorted[i] / 8] | (1u << (sorted[i] % 8)));
    }
}

bool MakeSoundFilter(CSqliteDb& db, std::int64_t keys, std::vector<unsigned char>& filter)
{
    std::size_t bits = 8192;
    while (bits < 2 * static_cast<std::size_t>(std::max<std::int64_t>(keys, 0)) * FILTER_BITS_PER_KEY)
        bits *= 2;
    filter.assign(bits / 8, 0);
    std::vector<std::uint64_t> indexed;
    indexed.reserve(static_cast<std::size_t>(std::max<std::int64_t>(keys, 0)));
    if (!ForEachSoundKey(db, [&indexed](std::int64_t key) { indexed.push_back(static_cast<std::uint64_t>(key)); }))
        return false;
    SoundFilterAddAll(filter, indexed);
    CSqliteQuery store(db, STORE_FILTER_SQL);
    return store.BindBlob(1, filter.data(), filter.size()).Run();
}

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
        m_filter.clear();
        m_filterRead = false;
        m_recent.clear();
        m_recentCount = 0;
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
    // The recent table is large and its slots random: ask for each key's slot now, so that
    // Find and Add need not wait for memory one key after the other.
    if (!m_recent.empty())
        for (const std::uint64_t key : keys)
            __builtin_prefetch(&m_recent[key & (m_recent.size() - 1)]);
    if (m_indexedUpTo <= 0 || keys.empty())
        return true;
    m_keysLookedUp += keys.size();
    if (!m_filterRead && m_keysLookedUp > FILTER_READ_AFTER_KEYS && !ReadFilterNow(db))
        return false;
    // Without the filter read, every key is looked up.
    std::vector<std::int64_t> wanted;
    for (const std::uint64_t key : keys)
        if (SoundFilterMayHold(m_filter, key))
            wanted.push_back(static_cast<std::int64_t>(key));
    std::sort(wanted.begin(), wanted.end());
    std::vector<SoundPair> found;
    if (!FindSoundPairs(db, wanted, found))
        return false;
    for (const auto& [key, program] : found)
        m_prefetched.emplace_back(static_cast<std::uint64_t>(key), program);
    return true;
}

void CSoundIndex::Find(std::uint64_t key, std::vector<std::int64_t>& programs) const
{
    programs.clear();
    for (const auto& [known, program] : m_prefetched)
        if (known == key)
            programs.push_back(program);
    if (m_recent.empty())
        return;
    const std::size_t mask = m_recent.size() - 1;
    // Keys are hashes already: their low bits are as good as any.
    for (std::size_t i = key & mask; m_recent[i].program != 0; i = (i + 1) & mask)
        if (m_recent[i].key == key)
            programs.push_back(m_recent[i].program);
}

void CSoundIndex::Add(std::uint64_t key, std::int64_t program)
{
    AddRecent(key, program);
    m_lastProgram = std::max(m_lastProgram, program);
}

void CSoundIndex::AddRecent(std::uint64_t key, std::int64_t program)
{
    if ((m_recentCount + 1) * 2 > m_recent.size()) {
        std::vector<CEntry> old;
        old.swap(m_recent);
        m_recent.resize(old.empty() ? 4096 : old.size() * 2);
        m_recentCount = 0;
        for (const CEntry& entry : old)
            if (entry.program != 0)
                AddRecent(entry.key, entry.program);
    }
    const std::size_t mask = m_recent.size() - 1;
    std::size_t i = key & mask;
    while (m_recent[i].program != 0)
        i = (i + 1) & mask;
    m_recent[i] = {key, program};
    ++m_recentCount;
}

bool CSoundIndex::FoldIn(CSqliteDb& db, bool moreToCome)
{
    const std::int64_t waiting = m_lastProgram - m_indexedUpTo;
    if (waiting < std::max(FOLD_AT_LEAST, m_indexedUpTo / (moreToCome ? 2 : 8)))
        return true;
    // Every program after the index is in the recent table (CatchUp read those before it).
    std::vector<SoundPair> pairs;
    pairs.reserve(m_recentCount);
    for (const CEntry& entry : m_recent)
        if (entry.program != 0)
            pairs.emplace_back(static_cast<std::int64_t>(entry.key), entry.program);
    std::sort(pairs.begin(), pairs.end());
    CSqliteQuery mark(db, "INSERT OR REPLACE INTO collection_state(key, value) VALUES('sounds_indexed_upto', ?)");
    if (!MergeSoundPairs(db, pairs) || !mark.Bind(1, m_lastProgram).Run())
        return false;
    // The filter grows to twice what it needs, made again from every key when it is too small.
    if (!m_filterRead && !ReadFilterNow(db))
        return false;
    if (m_filter.size() * 8 < static_cast<std::size_t>(m_lastProgram) * FILTER_BITS_PER_KEY) {
        if (!MakeSoundFilter(db, m_lastProgram, m_filter))
            return false;
    } else {
        std::vector<std::uint64_t> keys(pairs.size());
        for (std::size_t i = 0; i < pairs.size(); ++i)
            keys[i] = static_cast<std::uint64_t>(pairs[i].first);
        SoundFilterAddAll(m_filter, keys);
        CSqliteQuery store(db, STORE_FILTER_SQL);
        if (!store.BindBlob(1, m_filter.data(), m_filter.size()).Run())
            return false;
    }
    m_recent.clear();
    m_recentCount = 0;
    m_indexedUpTo = m_lastProgram;
    return true;
}

bool CSoundIndex::ReadFilterNow(CSqliteDb& db)
{
    m_filterRead = ReadFilter(db, m_filter);
    return m_filterRead;
}

void CSoundIndex::Clear()
{
    m_filter.clear();
    m_filterRead = false;
    m_keysLookedUp = 0;
    m_recent.clear();
    m_recentCount = 0;
    m_prefetched.clear();
    m_indexedUpTo = -1;
    m_lastProgram = 0;
    m_haveKey = false;
}
