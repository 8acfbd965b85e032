// Taking dumps in: one transaction per dump, so that a failure of any kind leaves the
// Collection as it was before it.

#include "Collection.h"

#include "CollectionErrors.h"
#include "CollectionTime.h"
#include "ContentHash.h"
#include "SqliteDb.h"

#include "ProgramList.h"
#include "SyxFormat.h"
#include "SyxProgram.h"

#include <sqlite3.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <unordered_set>

namespace {

// The reader's own text for a file it cannot read.
const char* const ERROR_CANNOT_OPEN = "Cannot open file";
// Far beyond any dump (37,392 bytes at most); a larger file is not read into memory.
constexpr std::int64_t MAX_FILE_SIZE = 64 * 1024 * 1024;
const char* const ERROR_TOO_LARGE = "File is too large to be a Korg Syx File";

constexpr unsigned int NAME_SIZE = 12;
constexpr unsigned int SOUND_SIZE = PROGRAM_DATA_SIZE - NAME_SIZE;
constexpr unsigned int VOICE_MODE_BYTE = 16;

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

// A source with exactly these bytes, if there is one.
bool FindKnownSource(CSqliteDb& db, const std::vector<unsigned char>& bytes, std::uint64_t hash,
                     CImportResult& result, bool& found)
{
    found = false;
    CSqliteQuery query(db, "SELECT id, program_count, bytes FROM source WHERE content_hash = ? AND size = ?");
    query.Bind(1, static_cast<std::int64_t>(hash)).Bind(2, static_cast<std::int64_t>(bytes.size()));
    while (query.Next()) {
        if (query.Size(2) == bytes.size() && std::memcmp(query.Blob(2), bytes.data(), bytes.size()) == 0) {
            found = true;
            result.source = query.Int(0);
            result.programs = static_cast<int>(query.Int(1));
            result.newPrograms = 0;
            result.alreadyKnown = true;
            return true;
        }
    }
    return !query.Failed();
}

// The program with this sound, added when new. Its key is the sound's hash, or the next
// free value after it when another sound has that hash.
bool FindOrAddProgram(CSqliteDb& db, const unsigned char* data, const std::string& name, std::int64_t takenAt,
                      CollectionId& id, bool& added)
{
    const unsigned char* sound = data + NAME_SIZE;
    std::uint64_t key = ContentHash(sound, SOUND_SIZE);
    for (;;) {
        CSqliteQuery insert(db, "INSERT INTO program(sound_key, shown_name, voice_mode, first_seen, source_count, sound)"
                                " VALUES(?, ?, ?, ?, 1, ?) ON CONFLICT(sound_key) DO NOTHING");
        insert.Bind(1, static_cast<std::int64_t>(key))
            .BindText(2, name)
            .Bind(3, (data[VOICE_MODE_BYTE] >> 4) & 3)
            .Bind(4, takenAt)
            .BindBlob(5, sound, SOUND_SIZE);
        if (!insert.Run())
            return false;
        if (sqlite3_changes(db.Handle()) == 1) {
            id = sqlite3_last_insert_rowid(db.Handle());
            added = true;
            return true;
        }
        CSqliteQuery find(db, "SELECT id, sound FROM program WHERE sound_key = ?");
        find.Bind(1, static_cast<std::int64_t>(key));
        if (!find.Next())
            return false;
        if (find.Size(1) == SOUND_SIZE && std::memcmp(find.Blob(1), sound, SOUND_SIZE) == 0) {
            id = find.Int(0);
            added = false;
            return true;
        }
        ++key;  // a different sound with the same hash: the next key
    }
}

bool AddName(CSqliteDb& db, CollectionId program, const std::string& name)
{
    CSqliteQuery query(db, "INSERT INTO program_name(program, name) VALUES(?, ?) ON CONFLICT DO NOTHING");
    return query.Bind(1, program).BindText(2, name).Run();
}

bool CountOneMoreSource(CSqliteDb& db, CollectionId program)
{
    CSqliteQuery query(db, "UPDATE program SET source_count = source_count + 1 WHERE id = ?");
    return query.Bind(1, program).Run();
}

std::vector<unsigned char> EncodeSlots(const std::vector<CollectionId>& ids)
{
    std::vector<unsigned char> blob;
    blob.reserve(ids.size() * 8);
    for (const CollectionId id : ids)
        for (int byte = 0; byte < 8; ++byte)
            blob.push_back(static_cast<unsigned char>(static_cast<std::uint64_t>(id) >> (8 * byte)));
    return blob;
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

struct CNewSource {
    SourceKind kind;
    std::string name;
    bool idempotent;    // files: the same bytes again add nothing
};

bool TakeIn(CSqliteDb& db, const CNewSource& source, const std::vector<unsigned char>& bytes, std::int64_t takenAt,
            CImportResult& result, std::string& error)
{
    result = CImportResult();
    CProgramList list;
    if (!list.ReadSyxBytes(bytes.data(), bytes.size(), error, std::string()))
        return false;
    if (takenAt == 0)
        takenAt = NowSeconds();
    const std::uint64_t hash = ContentHash(bytes.data(), bytes.size());

    // Known content is found without taking the write lock; looked for again under it.
    bool known = false;
    if (source.idempotent && (!FindKnownSource(db, bytes, hash, result, known) || known)) {
        if (!known)
            error = DatabaseError(db);
        return known;
    }
    CSqliteTransaction transaction(db);
    if (!transaction.Began() || (source.idempotent && !FindKnownSource(db, bytes, hash, result, known))) {
        error = DatabaseError(db);
        return false;
    }
    if (known)
        return true;

    std::vector<CollectionId> slots;
    std::unordered_set<CollectionId> counted;   // programs already counted for this source
    int newPrograms = 0;
    for (int i = 0; i < list.GetSize(); ++i) {
        const CSyxProgram* program = list.GetAt(i);
        const std::string name = program->GetName();
        CollectionId id = 0;
        bool added = false;
        if (!FindOrAddProgram(db, program->GetData(), name, takenAt, id, added)
            || (!added && counted.count(id) == 0 && !CountOneMoreSource(db, id)) || !AddName(db, id, name)) {
            error = DatabaseError(db);
            return false;
        }
        newPrograms += added ? 1 : 0;
        counted.insert(id);
        slots.push_back(id);
    }

    const std::vector<unsigned char> slotBlob = EncodeSlots(slots);
    const std::vector<unsigned char> globalBlock = GlobalBlock(bytes, list.GetSize());
    CSqliteQuery insert(db, "INSERT INTO source(kind, name, size, content_hash, taken_in, program_count, slots,"
                            " global_block, bytes) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert.Bind(1, source.kind == SourceKind::Synth ? 1 : 0)
        .BindText(2, source.name)
        .Bind(3, static_cast<std::int64_t>(bytes.size()))
        .Bind(4, static_cast<std::int64_t>(hash))
        .Bind(5, takenAt)
        .Bind(6, list.GetSize())
        .BindBlob(7, slotBlob.data(), slotBlob.size());
    if (globalBlock.empty())
        insert.BindNull(8);
    else
        insert.BindBlob(8, globalBlock.data(), globalBlock.size());
    insert.BindBlob(9, bytes.data(), bytes.size());
    if (!insert.Run()) {
        error = DatabaseError(db);
        return false;
    }
    const CollectionId sourceId = sqlite3_last_insert_rowid(db.Handle());
    if (!transaction.Commit()) {
        error = DatabaseError(db);
        return false;
    }
    result.source = sourceId;
    result.programs = list.GetSize();
    result.newPrograms = newPrograms;
    return true;
}

} // namespace

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
    return TakeIn(*m_db, {SourceKind::File, FullPath(path), true}, bytes, takenAt, result, error);
}

bool CCollection::ImportSynthDump(const std::vector<unsigned char>& bytes, CImportResult& result, std::string& error,
                                  std::int64_t takenAt)
{
    if (takenAt == 0)
        takenAt = NowSeconds();
    // Every receive is a snapshot of the synthesizer, kept even when nothing changed.
    return TakeIn(*m_db, {SourceKind::Synth, "Synth " + LocalTimeWithSpace(takenAt), false}, bytes, takenAt, result,
                  error);
}
