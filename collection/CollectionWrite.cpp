// The writing steps of taking in: a source's row and bytes, and the program of each of its
// slots, found by its sound or added. Saving a bank as a list shares them.

#include "CollectionWrite.h"

#include "CollectionErrors.h"
#include "CollectionSchema.h"
#include "NameEnds.h"
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

// Where a new program's bytes are: a slot of the source being written.
struct CNewProgramPlace {
    CollectionId source;
    int slot;
    std::int64_t takenAt;
};

// The programs a source adds, written together once its slots are all found: a statement
// for each of a dump's 128 new programs cost about as much again as the rows themselves. The
// writer holds the write lock, so the ids are known ahead: the next after the largest, as
// SQLite gives them.
class CNewProgramRows
{
public:
    explicit CNewProgramRows(CSqliteDb& db) : m_db(db) {}

    bool Start()
    {
        CSqliteQuery largest(m_db, "SELECT coalesce(max(id), 0) FROM program");
        if (!largest.Next())
            return false;
        m_nextId = largest.Int(0) + 1;
        return m_ends.Start(m_db);
    }
    // The id the program will have.
    CollectionId Add(std::uint64_t key, const CNewProgramPlace& place, std::string name, int voiceMode)
    {
        m_ends.Add(m_nextId, name);
        m_waiting.push_back({m_nextId, key, place, std::move(name), voiceMode});
        return m_nextId++;
    }
    // Whether the program is one of those not written yet.
    bool Waiting(CollectionId id) const { return !m_waiting.empty() && id >= m_waiting.front().id; }
    // Writes those waiting, the most rows a statement a few statements can take.
    bool Write()
    {
        std::size_t done = 0;
        while (done < m_waiting.size()) {
            const std::size_t rows = RowsAtOnce(m_waiting.size() - done);
            CSqliteQuery insert(m_db, InsertSql(rows).c_str());
            for (std::size_t i = 0; i < rows; ++i) {
                const CRow& row = m_waiting[done + i];
                const int first = static_cast<int>(i) * COLUMNS;
                insert.Bind(first + 1, row.id)
                    .Bind(first + 2, static_cast<std::int64_t>(row.key))
                    .Bind(first + 3, row.place.source)
                    .Bind(first + 4, row.place.slot)
                    .BindText(first + 5, row.name)
                    .Bind(first + 6, row.voiceMode)
                    .Bind(first + 7, row.place.takenAt);
            }
            if (!insert.Run())
                return false;
            done += rows;
        }
        m_waiting.clear();
        return m_ends.Write(m_db);
    }

private:
    static constexpr int COLUMNS = 7;
    struct CRow {
        CollectionId id;
        std::uint64_t key;
        CNewProgramPlace place;
        std::string name;
        int voiceMode;
    };
    // Statements of a few sizes only, each prepared once; their texts made once for every
    // connection, whichever thread writes first.
    static constexpr std::size_t SIZES[] = {64, 16, 4, 1};
    static std::size_t RowsAtOnce(std::size_t left)
    {
        for (const std::size_t size : SIZES)
            if (left >= size)
                return size;
        return 1;
    }
    static const std::string& InsertSql(std::size_t rows)
    {
        static const std::vector<std::string> texts = [] {
            std::vector<std::string> made;
            for (const std::size_t size : SIZES) {
                std::string text = "INSERT INTO program(id, sound_key, first_source, first_slot, first_name,"
                                   " voice_mode, first_seen, source_count) VALUES";
                for (std::size_t i = 0; i < size; ++i)
                    text += i == 0 ? "(?, ?, ?, ?, ?, ?, ?, 1)" : ", (?, ?, ?, ?, ?, ?, ?, 1)";
                made.push_back(std::move(text));
            }
            return made;
        }();
        std::size_t at = 0;
        while (SIZES[at] != rows)
            ++at;
        return texts[at];
    }

    CSqliteDb& m_db;
    CollectionId m_nextId = 0;
    std::vector<CRow> m_waiting;
    CNameEndsWriter m_ends;
};

// The program with this sound, if the Collection has it: among those whose sound has the
// same key, the one whose bytes are the same. Programs the source adds are written first
// when one of them is a candidate, so that its row can be read.
bool FindSoundProgram(CSqliteDb& db, CSoundIndex& sounds, CSourcePrograms& sources, const unsigned char* program,
                      std::uint64_t key, CollectionId& id, std::string& error, CNewProgramRows* added = nullptr)
{
    const unsigned char* sound = program + NAME_SIZE;
    std::vector<std::int64_t> candidates;
    sounds.Find(key, candidates);
    id = 0;
    for (const std::int64_t candidate : candidates) {
        if (added != nullptr && added->Waiting(candidate) && !added->Write()) {
            error = DatabaseError(db);
            return false;
        }
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

// The program with this sound, added when new (written with the source's other new ones).
bool FindOrAddProgram(CSqliteDb& db, CSoundIndex& sounds, CSourcePrograms& sources, CNewProgramRows& newRows,
                      const CSyxProgram& program, std::uint64_t key, const CNewProgramPlace& place, CollectionId& id,
                      bool& added, std::string& error)
{
    added = false;
    if (!FindSoundProgram(db, sounds, sources, program.GetData(), key, id, error, &newRows))
        return false;
    if (id != 0)
        return true;
    id = newRows.Add(key, place, program.GetName(), (program.GetData()[VOICE_MODE_BYTE] >> 4) & 3);
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
    CNewProgramRows newRows(db);
    if (!newRows.Start()) {
        error = DatabaseError(db);
        return false;
    }

    slots.clear();
    newPrograms = 0;
    std::vector<CollectionId> counted;   // programs already counted for this source
    for (int i = 0; i < list.GetSize(); ++i) {
        const CSyxProgram& program = *list.GetAt(i);
        CollectionId id = 0;
        bool added = false;
        if (!FindOrAddProgram(db, sounds, sources, newRows, program, keys[static_cast<std::size_t>(i)],
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
    if (!newRows.Write()) {
        error = DatabaseError(db);
        return false;
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
