#pragma once
// How a source is kept: its bytes exactly as taken in, and the program of each slot. A
// program's own bytes are read from the first source it was seen in. Every read of a
// source's bytes checks them against the two hashes taken when it came in.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CProgramList;
class CSqliteDb;

std::vector<unsigned char> EncodeSlots(const std::vector<std::int64_t>& programs);
std::vector<std::int64_t> DecodeSlots(const unsigned char* blob, std::size_t size);

// The two hashes a source's bytes are checked by, taken in one pass over them.
struct CSourceHashes {
    std::uint64_t hash = 0;    // the content_hash column
    std::uint64_t check = 0;   // the content_check column
};
CSourceHashes SourceHashes(const std::vector<unsigned char>& bytes);

enum class SourceRead { Read, Unknown, Damaged, Failed };

// The source's bytes exactly as taken in; Damaged when they no longer match their hashes,
// Failed on a failure of the database. `name` gets the source's name when it is known.
SourceRead ReadSourceBytes(CSqliteDb& db, std::int64_t source, std::vector<unsigned char>& bytes,
                           std::string* name = nullptr);
// The error text for a read that was not Read.
std::string SourceReadError(CSqliteDb& db, SourceRead result, std::int64_t source, const std::string& name);

// The programs of sources, each source read once.
class CSourcePrograms
{
public:
    CSourcePrograms();
    ~CSourcePrograms();
    // The 254 bytes in a slot of a source, as taken in; null when there is no such slot, the
    // source is damaged or the database failed (Error() says which).
    const unsigned char* SlotData(CSqliteDb& db, std::int64_t source, int slot);
    // The bytes of a program: those of its first source's slot.
    const unsigned char* ProgramData(CSqliteDb& db, std::int64_t program);
    // A source not yet in the database (being taken in), read already.
    void Add(std::int64_t source, const CProgramList* programs) { m_pending[source] = programs; }
    // Why the last null came back; empty for a slot or program that is not there.
    const std::string& Error() const { return m_error; }

private:
    std::map<std::int64_t, std::unique_ptr<CProgramList>> m_read;
    std::map<std::int64_t, const CProgramList*> m_pending;
    std::string m_error;
};
