#pragma once
// Which program holds which sound, by the sound's 64-bit key, kept in memory for taking in.
//
// An index in the database over random keys would be written all over at every file taken
// in: each of a dump's 128 sounds lands on another page of it, and every such page goes to
// the write-ahead log again at each file's commit. The programs' rows are only ever appended
// (ids grow), so this table is filled once from them and then brought up to date, under the
// write lock, with the rows any connection appended since.

#include <cstdint>
#include <vector>

class CSqliteDb;

class CSoundIndex
{
public:
    // Reads the programs added since the last call. Inside the write transaction.
    bool CatchUp(CSqliteDb& db);
    // The program with this key; 0 for none.
    std::int64_t Find(std::uint64_t key) const;
    void Add(std::uint64_t key, std::int64_t program);
    // Forgets everything, after a transaction that added to it was rolled back.
    void Clear();

private:
    struct CEntry {
        std::uint64_t key = 0;
        std::int64_t program = 0;   // 0: a free entry
    };
    void Grow();

    // Open addressing with linear probing; the size is a power of two, at most half full.
    std::vector<CEntry> m_entries;
    std::size_t m_count = 0;
    std::int64_t m_lastProgram = 0;
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
