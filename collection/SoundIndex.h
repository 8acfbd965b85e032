#pragma once
// Which programs hold a sound, by the sound's key (SoundKey.h), for taking in.
//
// The lookup is an index in the database (SoundBlocks.h): every program up to
// collection_state's sounds_indexed_upto, in sorted blocks of the table `sound_block`.
// Programs appended since are not in it yet: their keys are read from their rows (a few
// thousand at most, in id order, so a few pages) and looked up in memory. They are folded in,
// the blocks rewritten in key order, once enough have gathered, so that taking a dump in
// does not write a page of the index for each of its 128 random keys at every commit. A Bloom
// filter of the keys in the index (16 bits a key, in the table sound_filter) spares the
// lookup of nearly every new sound, once enough keys are looked up to pay for reading it.

#include "SoundKey.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CSqliteDb;

class CSoundIndex
{
public:
    // Inside the write transaction, before any lookup: reads the Collection's key and the
    // programs appended since the last call (or since the index was last folded).
    bool CatchUp(CSqliteDb& db);
    const SoundHashKey& HashKey() const { return m_hashKey; }
    std::uint64_t KeyOf(const unsigned char* sound, std::size_t size) const;

    // Reads what the index holds for `keys` in one query, before they are looked up.
    bool Prefetch(CSqliteDb& db, const std::vector<std::uint64_t>& keys);
    // The programs whose sound has this key: prefetched ones and those appended since.
    void Find(std::uint64_t key, std::vector<std::int64_t>& programs) const;
    // A program just written with this key.
    void Add(std::uint64_t key, std::int64_t program);
    // Folds the appended programs into the index when enough have gathered; inside the
    // transaction, after its programs were written. A fold costs about a write of the whole
    // index, however many programs it folds: while more of a bulk import is to come
    // (`moreToCome`), programs gather up to half the index before one.
    bool FoldIn(CSqliteDb& db, bool moreToCome = false);
    // Forgets everything, after a transaction that added to it was rolled back.
    void Clear();
    // Whether the Bloom filter was read (for tests): only once many keys were looked up.
    bool FilterRead() const { return m_filterRead; }

private:
    SoundHashKey m_hashKey{};
    bool m_haveKey = false;
    std::int64_t m_indexedUpTo = -1;   // as collection_state said at the last catch-up
    std::int64_t m_lastProgram = 0;    // the last program read or added
    // The programs appended since the fold: open addressing with linear probing, a power of
    // two in size and at most half full; a key may be there more than once.
    struct CEntry {
        std::uint64_t key = 0;
        std::int64_t program = 0;   // 0: a free entry
    };
    void AddRecent(std::uint64_t key, std::int64_t program);
    bool ReadFilterNow(CSqliteDb& db);
    std::vector<CEntry> m_recent;
    std::size_t m_recentCount = 0;
    std::vector<std::pair<std::uint64_t, std::int64_t>> m_prefetched;
    std::vector<unsigned char> m_filter;   // the Bloom filter of the keys in `sound`...
    bool m_filterRead = false;             // ...once read (empty before: every key may be there)
    std::size_t m_keysLookedUp = 0;
};

// The Bloom filter's parts, for its tests: whether a key may be in it, and adding one.
bool SoundFilterMayHold(const std::vector<unsigned char>& filter, std::uint64_t key);
void SoundFilterAdd(std::vector<unsigned char>& filter, std::uint64_t key);
// The same for many keys at once, the bits set in the order they lie in the filter.
void SoundFilterAddAll(std::vector<unsigned char>& filter, const std::vector<std::uint64_t>& keys);
// Makes the filter again from every key in `sound`, sized for `keys` of them, and stores it.
bool MakeSoundFilter(CSqliteDb& db, std::int64_t keys, std::vector<unsigned char>& filter);

// Clears the index when it goes unless Keep() was called: what a transaction that is rolled
// back added to it goes with it.
class CSoundIndexRollback
{
public:
    explicit CSoundIndexRollback(CSoundIndex& sounds) : m_sounds(sounds) {}
    ~CSoundIndexRollback()
    {
        if (!m_kept)
            m_sounds.Clear();
    }
    CSoundIndexRollback(const CSoundIndexRollback&) = delete;
    CSoundIndexRollback& operator=(const CSoundIndexRollback&) = delete;
    void Keep() { m_kept = true; }

private:
    CSoundIndex& m_sounds;
    bool m_kept = false;
};
