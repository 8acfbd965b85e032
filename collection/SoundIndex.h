#pragma once
// Which programs hold a sound, by the sound's key (SoundKey.h), for taking in.
//
// The lookup is an index in the database: the table `sound`, (key, program), holds every
// program up to collection_state's sounds_indexed_upto. Programs appended since are not in it
// yet: their keys are read from their rows (a few thousand at most, in id order, so a few
// pages) and looked up in memory. Rows are folded into `sound` in one sorted insert once
// enough have gathered, so that taking a dump in does not write a page of the index for each
// of its 128 random keys at every commit.

#include "SoundKey.h"

#include <cstdint>
#include <string>
#include <unordered_map>
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
    // transaction, after its programs were written.
    bool FoldIn(CSqliteDb& db);
    // Forgets everything, after a transaction that added to it was rolled back.
    void Clear();

private:
    SoundHashKey m_hashKey{};
    bool m_haveKey = false;
    std::int64_t m_indexedUpTo = -1;   // as collection_state said at the last catch-up
    std::int64_t m_lastProgram = 0;    // the last program read or added
    std::unordered_multimap<std::uint64_t, std::int64_t> m_recent;
    std::unordered_multimap<std::uint64_t, std::int64_t> m_prefetched;
};

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
