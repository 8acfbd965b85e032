#pragma once
// How a source is kept: its bytes exactly as taken in, and the program of each slot. A
// program's own bytes are read from the first source it was seen in.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class CProgramList;
class CSqliteDb;

std::vector<unsigned char> EncodeSlots(const std::vector<std::int64_t>& programs);
std::vector<std::int64_t> DecodeSlots(const unsigned char* blob, std::size_t size);

// The source's bytes exactly as taken in. False for an unknown source or a failure of the
// database.
bool ReadSourceBytes(CSqliteDb& db, std::int64_t source, std::vector<unsigned char>& bytes);

// The programs of sources, each source read once.
class CSourcePrograms
{
public:
    CSourcePrograms();
    ~CSourcePrograms();
    // The 254 bytes in a slot of a source, as taken in; null when there is no such slot.
    const unsigned char* SlotData(CSqliteDb& db, std::int64_t source, int slot);
    // The bytes of a program: those of its first source's slot.
    const unsigned char* ProgramData(CSqliteDb& db, std::int64_t program);
    // A source not yet in the database (being taken in), read already.
    void Add(std::int64_t source, const CProgramList* programs) { m_pending[source] = programs; }

private:
    std::map<std::int64_t, std::unique_ptr<CProgramList>> m_read;
    std::map<std::int64_t, const CProgramList*> m_pending;
};
