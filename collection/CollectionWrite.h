#pragma once
// The steps that write programs, sources and lists, shared by taking in and by saving a bank.
// Each runs inside the caller's write transaction, with the sound index caught up; on a
// failure the caller rolls back (the database's text says why).

#include "Collection.h"

#include <cstdint>
#include <string>
#include <vector>

class CProgramList;
class CSoundIndex;
class CSourcePrograms;
class CSqliteDb;

// The program with the sound of each of the list's programs (bytes 12-253), or 0 where the
// Collection has none. False, with `error`, on a failure of the database or a damaged source.
bool FindSounds(CSqliteDb& db, CSoundIndex& sounds, const CProgramList& list, std::vector<CollectionId>& ids,
                std::string& error);

// Adds `name` to the names a program was seen with, unless it has it already (and to the
// index of names searched).
bool AddProgramName(CSqliteDb& db, CollectionId program, const std::string& name);

// A source about to be written: its bytes must stay as they are until WriteSource returns.
struct CNewSource {
    SourceKind kind = SourceKind::File;
    std::string name;
    const std::vector<unsigned char>* bytes = nullptr;   // exactly what `programs` was read from
    std::int64_t takenAt = 0;
    const std::vector<unsigned char>* globalBlock = nullptr;   // an all-data dump's, or null
    bool hashed = false;                    // the two hashes below are those of `bytes` already
    std::uint64_t contentHash = 0;
    std::uint64_t contentCheck = 0;
    bool indexLater = false;                // the names' and sounds' index work is the caller's
};

// Writes the source and finds or adds the program of each of its slots, recording each slot's
// name as a name seen. `slots` gets the programs in slot order. False with `error`.
bool WriteSource(CSqliteDb& db, CSoundIndex& sounds, const CNewSource& source, const CProgramList& programs,
                 CollectionId& sourceId, std::vector<CollectionId>& slots, int& newPrograms, std::string& error);

// Whether a list may be called `name`: not blank, no control characters.
bool IsListName(const std::string& name);

// Makes the list `name` (or empties the one of that name) and fills it with `programs`. With
// `slotNames` (12 bytes a program), the list keeps those names rather than the programs'
// shown names. False with `error` for an unknown program or a failure of the database.
bool WriteList(CSqliteDb& db, const std::string& name, const std::vector<CollectionId>& programs,
               const std::vector<unsigned char>* slotNames, std::string& error);
