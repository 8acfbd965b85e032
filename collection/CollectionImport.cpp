// Taking dumps in: one transaction per dump, so that a failure of any kind leaves the
// Collection as it was before it.

#include "Collection.h"

#include "CollectionErrors.h"
#include "CollectionSchema.h"
#include "CollectionWrite.h"
#include "CollectionTime.h"
#include "ContentHash.h"
#include "SoundIndex.h"
#include "SourceStore.h"
#include "SqliteDb.h"

#include "ProgramList.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <sqlite3.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

// The reader's own text for a file it cannot read.
const char* const ERROR_CANNOT_OPEN = "Cannot open file";
// Far beyond any dump (37,392 bytes at most); a larger file is not read into memory.
constexpr std::int64_t MAX_FILE_SIZE = 64 * 1024 * 1024;
const char* const ERROR_TOO_LARGE = "File is too large to be a Korg Syx File";

constexpr unsigned int NAME_SIZE = 12;
constexpr unsigned int SOUND_SIZE = PROGRAM_DATA_SIZE - NAME_SIZE;
constexpr unsigned int VOICE_MODE_BYTE = 16;

// Any value other than 0 gives the second, independent content hash.
constexpr std::uint64_t CONTENT_CHECK_SEED = 0x5EED;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    struct stat info {};
    if (!file || fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = ERROR_CANNOT_OPEN;
        return false;
    }
    if (info.st_size > MAX_FILE_SIZE) {
        error = ERROR_TOO_LARGE;
        return false;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        error = ERROR_CANNOT_OPEN;
        return false;
    }
    return true;
}

std::string FullPath(const std::string& path)
{
    std::error_code failure;
    const std::filesystem::path full = std::filesystem::absolute(path, failure);
    return failure ? path : full.lexically_normal().string();
}

// The source with the same content, if there is one: the same size and two independent
// 64-bit hashes. Its bytes are not read back to compare: even among a million files, the
// chance that two different ones agree on all three is below one in 10^25.
bool FindKnownSource(CSqliteDb& db, std::size_t size, std::uint64_t hash, std::uint64_t check,
                     CImportResult& result, bool& found)
{
    found = false;
    CSqliteQuery query(db, "SELECT id, program_count FROM source"
                           " WHERE content_hash = ? AND content_check = ? AND size = ?");
    query.Bind(1, static_cast<std::int64_t>(hash))
        .Bind(2, static_cast<std::int64_t>(check))
        .Bind(3, static_cast<std::int64_t>(size));
    if (query.Next()) {
        found = true;
        result.source = query.Int(0);
        result.programs = static_cast<int>(query.Int(1));
        result.newPrograms = 0;
        result.alreadyKnown = true;
    }
    return !query.Failed();
}

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

// The bytes an all-data dump carries after its programs; none for the other dumps.
std::vector<unsigned char> GlobalBlock(const std::vector<unsigned char>& bytes, int programs)
{
    if (bytes.size() <= SYX_HEADER_SIZE || bytes[4] != FUNC_ALL_DATA_DUMP)
        return {};
    const std::size_t start = SYX_HEADER_SIZE + PackedSize(static_cast<unsigned int>(programs) * PROGRAM_DATA_SIZE);
    return std::vector<unsigned char>(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                                      bytes.begin() + static_cast<std::ptrdiff_t>(start + ALL_DATA_TRAILER_SIZE));
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

// The key a new sound gets: its hash, or the next free key after it when another sound has
// that hash.
bool FreeSoundKey(CSqliteDb& db, CSoundIndex& sounds, CSourcePrograms& sources, const unsigned char* program,
                  CollectionId& id, std::uint64_t& freeKey)
{
    const unsigned char* sound = program + NAME_SIZE;
    for (std::uint64_t key = ContentHash(sound, SOUND_SIZE);; ++key) {
        id = sounds.Find(key);
        if (id == 0) {
            freeKey = key;
            return true;
        }
        const unsigned char* known = sources.ProgramData(db, id);
        if (known == nullptr)
            return false;
        if (std::memcmp(known + NAME_SIZE, sound, SOUND_SIZE) == 0)
            return true;
    }
}

// Where a new program's bytes are: a slot of the source being written.
struct CNewProgramPlace {
    CollectionId source;
    int slot;
    std::int64_t takenAt;
};

// The program with this sound, added when new.
bool FindOrAddProgram(CSqliteDb& db, CSoundIndex& sounds, CSourcePrograms& sources, const CSyxProgram& program,
                      const CNewProgramPlace& place, CollectionId& id, bool& added)
{
    std::uint64_t key = 0;
    added = false;
    if (!FreeSoundKey(db, sounds, sources, program.GetData(), id, key))
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
    if (!insert.Run())
        return false;
    id = sqlite3_last_insert_rowid(db.Handle());
    sounds.Add(key, id);
    added = true;
    return true;
}

} // namespace

bool FindSound(CSqliteDb& db, CSoundIndex& sounds, CSourcePrograms& sources, const unsigned char* program,
               CollectionId& id)
{
    std::uint64_t unused = 0;
    return FreeSoundKey(db, sounds, sources, program, id, unused);
}

bool AddProgramName(CSqliteDb& db, CollectionId program, const std::string& name)
{
    CSqliteQuery query(db, ADD_PROGRAM_NAME_SQL);
    return query.Bind(1, program).BindText(2, name).Run();
}

bool WriteSource(CSqliteDb& db, CSoundIndex& sounds, const CNewSource& source, const CProgramList& list,
                 CollectionId& sourceId, std::vector<CollectionId>& slots, int& newPrograms)
{
    // The source's id is known before its row is written last, under the write lock.
    sourceId = NextSourceId(db);
    if (sourceId == 0)
        return false;
    CSourcePrograms sources;
    sources.Add(sourceId, &list);

    slots.clear();
    newPrograms = 0;
    std::vector<CollectionId> counted;   // programs already counted for this source
    for (int i = 0; i < list.GetSize(); ++i) {
        const CSyxProgram& program = *list.GetAt(i);
        CollectionId id = 0;
        bool added = false;
        if (!FindOrAddProgram(db, sounds, sources, program, {sourceId, i, source.takenAt}, id, added))
            return false;
        const bool firstTimeHere = std::find(counted.begin(), counted.end(), id) == counted.end();
        if (!added && ((firstTimeHere && !CountOneMoreSource(db, id)) || !AddProgramName(db, id, program.GetName())))
            return false;
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
    const std::vector<unsigned char> globalBlock = GlobalBlock(bytes, list.GetSize());
    const std::uint64_t hash = ContentHash(bytes.data(), bytes.size());
    const std::uint64_t check = ContentHash(bytes.data(), bytes.size(), CONTENT_CHECK_SEED);
    CSqliteQuery insert(db, "INSERT INTO source(id, kind, name, size, content_hash, content_check, taken_in,"
                            " program_count, global_block, bytes) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert.Bind(1, sourceId)
        .Bind(2, SourceKindValue(source.kind))
        .BindText(3, source.name)
        .Bind(4, static_cast<std::int64_t>(bytes.size()))
        .Bind(5, static_cast<std::int64_t>(hash))
        .Bind(6, static_cast<std::int64_t>(check))
        .Bind(7, source.takenAt)
        .Bind(8, list.GetSize());
    if (globalBlock.empty())
        insert.BindNull(9);
    else
        insert.BindBlob(9, globalBlock.data(), globalBlock.size());
    insert.BindBlob(10, bytes.data(), bytes.size());
    CSqliteQuery insertSlots(db, "INSERT INTO source_slots(source, programs, names) VALUES(?, ?, ?)");
    insertSlots.Bind(1, sourceId)
        .BindBlob(2, slotBlob.data(), slotBlob.size())
        .BindBlob(3, slotNames.data(), slotNames.size());
    return insert.Run() && insertSlots.Run();
}

bool CCollection::TakeIn(SourceKind kind, const std::string& name, const std::vector<unsigned char>& bytes,
                         std::int64_t takenAt, CImportResult& result, std::string& error)
{
    result = CImportResult();
    // Files: the same bytes again add nothing. Every receive is a snapshot of the synthesizer,
    // kept even when nothing changed.
    const bool idempotent = kind == SourceKind::File;
    const std::uint64_t hash = ContentHash(bytes.data(), bytes.size());
    const std::uint64_t check = ContentHash(bytes.data(), bytes.size(), CONTENT_CHECK_SEED);
    // Known content is looked for before the write lock is taken, and again under it.
    bool known = false;
    if (idempotent && (!FindKnownSource(*m_db, bytes.size(), hash, check, result, known) || known)) {
        if (!known)
            error = DatabaseError(*m_db);
        return known;
    }
    CProgramList list;
    if (!list.ReadSyxBytes(bytes.data(), bytes.size(), error, std::string()))
        return false;

    if (!m_sounds)
        m_sounds = std::make_unique<CSoundIndex>();
    CSqliteTransaction transaction(*m_db);
    if (!transaction.Began() || (idempotent && !FindKnownSource(*m_db, bytes.size(), hash, check, result, known))
        || !m_sounds->CatchUp(*m_db)) {
        error = DatabaseError(*m_db);
        return false;
    }
    if (known)
        return true;

    CSoundIndexRollback rollback(*m_sounds);
    CollectionId sourceId = 0;
    std::vector<CollectionId> slots;
    int newPrograms = 0;
    if (!WriteSource(*m_db, *m_sounds, {kind, name, &bytes, takenAt}, list, sourceId, slots, newPrograms)
        || !transaction.Commit()) {
        error = DatabaseError(*m_db);
        return false;
    }
    rollback.Keep();
    result.source = sourceId;
    result.programs = list.GetSize();
    result.newPrograms = newPrograms;
    return true;
}

bool CCollection::ImportFile(const std::string& path, CImportResult& result, std::string& error, std::int64_t takenAt)
{
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(path, bytes, error)) {
        result = CImportResult();
        return false;
    }
    return ImportFileBytes(path, bytes, result, error, takenAt);
}

bool CCollection::ImportFileBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                                  CImportResult& result, std::string& error, std::int64_t takenAt)
{
    return TakeIn(SourceKind::File, FullPath(path), bytes, takenAt == 0 ? NowSeconds() : takenAt, result, error);
}

bool CCollection::ImportSynthDump(const std::vector<unsigned char>& bytes, CImportResult& result, std::string& error,
                                  std::int64_t takenAt)
{
    if (takenAt == 0)
        takenAt = NowSeconds();
    return TakeIn(SourceKind::Synth, "Synth " + LocalTimeWithSpace(takenAt), bytes, takenAt, result, error);
}

bool CCollection::ImportEditedProgram(const std::vector<unsigned char>& dump, CImportResult& result,
                                      std::string& error, std::int64_t takenAt)
{
    if (takenAt == 0)
        takenAt = NowSeconds();
    return TakeIn(SourceKind::Edited, "Edited " + LocalTimeWithSpace(takenAt), dump, takenAt, result, error);
}
