#include "SoundIndex.h"

#include "SqliteDb.h"

bool CSoundIndex::CatchUp(CSqliteDb& db)
{
    CSqliteQuery query(db, "SELECT id, sound_key FROM program WHERE id > ? ORDER BY id");
    query.Bind(1, m_lastProgram);
    while (query.Next())
        Add(static_cast<std::uint64_t>(query.Int(1)), query.Int(0));
    return !query.Failed();
}

std::int64_t CSoundIndex::Find(std::uint64_t key) const
{
    if (m_entries.empty())
        return 0;
    const std::size_t mask = m_entries.size() - 1;
    // Keys are hashes already: their low bits are as good as any.
    for (std::size_t i = key & mask;; i = (i + 1) & mask) {
        const CEntry& entry = m_entries[i];
        if (entry.program == 0)
            return 0;
        if (entry.key == key)
            return entry.program;
    }
}

void CSoundIndex::Add(std::uint64_t key, std::int64_t program)
{
    if ((m_count + 1) * 2 > m_entries.size())
        Grow();
    const std::size_t mask = m_entries.size() - 1;
    std::size_t i = key & mask;
    while (m_entries[i].program != 0 && m_entries[i].key != key)
        i = (i + 1) & mask;
    if (m_entries[i].program == 0)
        ++m_count;
    m_entries[i] = {key, program};
    if (program > m_lastProgram)
        m_lastProgram = program;
}

void CSoundIndex::Grow()
{
    std::vector<CEntry> old;
    old.swap(m_entries);
    m_entries.resize(old.empty() ? 4096 : old.size() * 2);
    m_count = 0;
    const std::int64_t last = m_lastProgram;
    for (const CEntry& entry : old)
        if (entry.program != 0)
            Add(entry.key, entry.program);
    m_lastProgram = last;
}

void CSoundIndex::Clear()
{
    std::vector<CEntry>().swap(m_entries);
    m_count = 0;
    m_lastProgram = 0;
}
