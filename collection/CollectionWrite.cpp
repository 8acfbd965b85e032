// The writing steps of taking in: a source's row and bytes, and the program of each of its
// slots, found by its sound or added. Saving a bank as a list shares them.

#include "CollectionWrite.h"

#include "CollectionErrors.h"
#include "CollectionSchema.h"
#include "NameIndex.h"
#include "SoundIndex.h"
#include "SourceStore.h"
#include "SqliteDb.h"

#include "ProgramList.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned int NAME_SIZE = 12;
constexpr unsigned int SOUND_SIZE = PROGRAM_DATA_SIZE - NAME_SIZE;
constexpr unsigned int VOICE_MODE_BYTE = 16;

CollectionId NextSourceId(CSqliteDb& db)
{
    CSqliteQuery query(db, "SELECT coalesce(max(id), 0) + 1 FROM source");
    return query.Next() ? query.Int(0) : 0;
}

bool CountOneMoreSource(CSqliteDb& db, CollectionId program)
{
    CSqliteQuery query(db, "UPDATE program SET source_count = source_count + 1 WHERE id = ?");
    return query.Bind(1, program).Run();
}

int SourceKindValue(SourceKind kind)
{
    switch (kind) {
    case SourceKind::File: return 0;
    case SourceKind::Synth: return 1;
    case SourceKind::Bank: return 2;
    case SourceKind::Edited: return 3;
    }
    return 0;
}

// The program with this sound, if the Collection has it: among those whose sound has the
// same key, the one whose bytes are the same.
bool FindSoundProgram(CSqliteDb& db, CSoundIndex& sounds, CSourcePrograms& sources, const unsigned char* program,
                      std::uint64_t key, CollectionId& id, std::string& error)
{
    const unsigned char* sound = program + NAME_SIZE;
    std::vector<std::int64_t> candidates;
    sounds.Find(key, candidates);
    id = 0;
    for (const std::int64_t candidate : candidates) {
        const unsigned char* known = sources.ProgramData(db, candidate);
        if (known == nullptr) {
            error = sources.Error().empty() ? DatabaseError(db) : sources.Error();
            return false;
        }
        if (std::memcmp(known + NAME_SIZE, sound, SOUND_SIZE) == 0) {
            id = candidate;
            return true;
        }
    }
    return true;
}

// Where a new program's bytes are: a slot of the source being written.
struct CNewProgramPlace {
    CollectionId source;
    int slot;
    std::int64_t takenAt;
};

// The program with this sound, added when new.
bool FindOrAddProgram(CSqliteDb& db, CSoundIndex& sounds, CSourcePrograms& sources, const CSyxProgram& program,
                      std::uint64_t key, const CNewProgramPlace& place, CollectionId& id, bool& added,
                      std::string& error)
{
    added = false;
    if (!FindSoundProgram(db, sounds, sources, program.GetData(), key, id, error))
        return false;
    if (id != 0)
        return true;
    const std::string name = program.GetName();
    CSqliteQuery insert(db, "INSERT INTO program(sound_key, first_source, first_slot, first_name, voice_mode,"
                            " first_seen, source_count) VALUES(?, ?, ?, ?, ?, ?, 1)");
    insert.Bind(1, static_cast<std::int64_t>(key))
        .Bind(2, place.source)
        .Bind(3, place.slot)
        .BindText(4, name)
        .Bind(5, (program.GetData()[VOICE_MODE_BYTE] >> 4) & 3)
        .Bind(6, place.takenAt);
    if (!insert.Run()) {
        error = DatabaseError(db);
        return false;
    }
    id = sqlite3_last_insert_rowid(db.Handle());
    sounds.Add(key, id);
    added = true;
    return true;
}

// The keys of a list's sounds, read from the index in one query.
bool SoundKeys(CSqliteDb& db, CSoundIndex& sounds, const CProgramList& list, std::vector<std::uint64_t>& keys,
               std::string& error)
{
    keys.clear();
    for (int i = 0; i < list.GetSize(); ++i)
        keys.push_back(sounds.KeyOf(list.GetAt(i)->GetData() + NAME_SIZE, SOUND_SIZE));
    if (!sounds.Prefetch(db, keys)) {
        error = DatabaseError(db);
        return false;
    }
    return true;
}

} // namespace

bool FindSounds(CSqliteDb& db, CSoundIndex& sounds, const CProgramList& list, std::vector<CollectionId>& ids,
                std::string& error)
{
    std::vector<std::uint64_t> keys;
    if (!SoundKeys(db, sounds, list, keys, error))
        return false;
    CSourcePrograms sources;
    ids.clear();
    for (int i = 0; i < list.GetSize(); ++i) {
        CollectionId id = 0;
        if (!FindSoundProgram(db, sounds, sources, list.GetAt(i)->GetData(), keys[static_cast<std::size_t>(i)], id,
                              error))
            return false;
        ids.push_back(id);
    }
    return true;
}

bool AddProgramName(CSqliteDb& db, CollectionId program, const std::string& name)
{
    CSqliteQuery query(db, ADD_PROGRAM_NAME_SQL);
    if (!query.Bind(1, program).BindText(2, name).Run())
        return false;
    // A name the program did not have is found by a search from now on.
    return sqlite3_changes(db.Handle()) == 0 || IndexGivenName(db, program, name);
}

bool WriteSource(CSqliteDb& db, CSoundIndex& sounds, const CNewSource& source, const CProgramList& list,
                 CollectionId& sourceId, std::vector<CollectionId>& slots, int& newPrograms, std::string& error)
{
    // The source's id is known before its row is written last, under the write lock.
    sourceId = NextSourceId(db);
    std::vector<std::uint64_t> keys;
    if (sourceId == 0 || !SoundKeys(db, sounds, list, keys, error)) {
        error = DatabaseError(db);
        return false;
    }
    CSourcePrograms sources;
    sources.Add(sourceId, &list);

    slots.clear();
    newPrograms = 0;
    std::vector<CollectionId> counted;   // programs already counted for this source
    for (int i = 0; i < list.GetSize(); ++i) {
        const CSyxProgram& program = *list.GetAt(i);
        CollectionId id = 0;
        bool added = false;
        if (!FindOrAddProgram(db, sounds, sources, program, keys[static_cast<std::size_t>(i)],
                              {sourceId, i, source.takenAt}, id, added, error))
            return false;
        const bool firstTimeHere = std::find(counted.begin(), counted.end(), id) == counted.end();
        if (!added && ((firstTimeHere && !CountOneMoreSource(db, id)) || !AddProgramName(db, id, program.GetName()))) {
            error = DatabaseError(db);
            return false;
        }
        newPrograms += added ? 1 : 0;
        if (firstTimeHere)
            counted.push_back(id);
        slots.push_back(id);
    }

    const std::vector<unsigned char>& bytes = *source.bytes;
    const std::vector<unsigned char> slotBlob = EncodeSlots(slots);
    std::vector<unsigned char> slotNames;
    for (int i = 0; i < list.GetSize(); ++i)
        slotNames.insert(slotNames.end(), list.GetAt(i)->GetData(), list.GetAt(i)->GetData() + NAME_SIZE);
    CSqliteQuery insert(db, "INSERT INTO source(id, kind, name, size, content_hash, content_check, taken_in,"
                            " program_count, global_block, bytes) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const CSourceHashes hashes = source.hashed ? CSourceHashes{source.contentHash, source.contentCheck}
                                               : SourceHashes(bytes);
    insert.Bind(1, sourceId)
        .Bind(2, SourceKindValue(source.kind))
        .BindText(3, source.name)
        .Bind(4, static_cast<std::int64_t>(bytes.size()))
        .Bind(5, static_cast<std::int64_t>(hashes.hash))
        .Bind(6, static_cast<std::int64_t>(hashes.check))
        .Bind(7, source.takenAt)
        .Bind(8, list.GetSize());
    if (source.globalBlock == nullptr || source.globalBlock->empty())
        insert.BindNull(9);
    else
        insert.BindBlob(9, source.globalBlock->data(), source.globalBlock->size());
    insert.BindBlob(10, bytes.data(), bytes.size());
    CSqliteQuery insertSlots(db, "INSERT INTO source_slots(source, programs, names) VALUES(?, ?, ?)");
    insertSlots.Bind(1, sourceId)
        .BindBlob(2, slotBlob.data(), slotBlob.size())
        .BindBlob(3, slotNames.data(), slotNames.size());
    if (!insert.Run() || !insertSlots.Run()
        || (!source.indexLater && (!IndexNewSourceNames(db) || !sounds.FoldIn(db)))) {
        error = DatabaseError(db);
        return false;
    }
    return true;
}
