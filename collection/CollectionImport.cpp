// Taking dumps in: one transaction per dump, so that a failure of any kind leaves the
// Collection as it was before it.

#include "Collection.h"

#include "CollectionErrors.h"
#include "CollectionSchema.h"
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
// 64-bit hashes (a source's bytes may be kept only as its programs, see SourceStore.h).
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

// The program with this sound, added when new. Its key is the sound's hash, or the next
// free key after it when another sound has that hash.
bool FindOrAddProgram(CSqliteDb& db, CSoundIndex& sounds, const unsigned char* data, const std::string& name,
                      std::int64_t takenAt, CollectionId& id, bool& added)
{
    const unsigned char* sound = data + NAME_SIZE;
    for (std::uint64_t key = ContentHash(sound, SOUND_SIZE);; ++key) {
        id = sounds.Find(key);
        if (id == 0) {
            CSqliteQuery insert(db, "INSERT INTO program(sound_key, shown_name, voice_mode, first_seen, source_count,"
                                    " sound) VALUES(?, ?, ?, ?, 1, ?)");
            insert.Bind(1, static_cast<std::int64_t>(key))
                .BindText(2, name)
                .Bind(3, (data[VOICE_MODE_BYTE] >> 4) & 3)
                .Bind(4, takenAt)
                .BindBlob(5, sound, SOUND_SIZE);
            if (!insert.Run())
                return false;
            id = sqlite3_last_insert_rowid(db.Handle());
            sounds.Add(key, id);
            added = true;
            return true;
        }
        CSqliteQuery find(db, "SELECT sound FROM program WHERE id = ?");
        if (!find.Bind(1, id).Next())
            return false;
        if (find.Size(0) == SOUND_SIZE && std::memcmp(find.Blob(0), sound, SOUND_SIZE) == 0) {
            added = false;
            return true;
        }
    }
}

bool AddName(CSqliteDb& db, CollectionId program, bool newProgram, const std::string& name)
{
    CSqliteQuery query(db, newProgram ? "INSERT INTO program_name(program, seen, name) VALUES(?1, 0, ?2)"
                                      : ADD_PROGRAM_NAME_SQL);
    return query.Bind(1, program).BindText(2, name).Run();
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

// Whether the dump written afresh from the programs read (with their name bytes as read), the
// same function, channel and global block, is exactly `bytes`.
bool RebuildsExactly(const CProgramList& list, const std::vector<unsigned char>& bytes, int channel,
                     const std::vector<unsigned char>& globalBlock)
{
    std::vector<unsigned char> data;
    data.reserve(static_cast<std::size_t>(list.GetSize()) * PROGRAM_DATA_SIZE);
    for (int i = 0; i < list.GetSize(); ++i)
        data.insert(data.end(), list.GetAt(i)->GetData(), list.GetAt(i)->GetData() + PROGRAM_DATA_SIZE);
    return BuildDumpMessage(bytes[4], channel, data.data(), static_cast<unsigned int>(data.size()),
                            globalBlock.empty() ? nullptr : globalBlock.data(),
                            static_cast<unsigned int>(globalBlock.size()))
        == bytes;
}

} // namespace

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

    // Whatever this transaction adds to the sound index goes with it when it is rolled back.
    struct CForgetUnlessCommitted {
        CSoundIndex& sounds;
        bool committed = false;
        ~CForgetUnlessCommitted()
        {
            if (!committed)
                sounds.Clear();
        }
    } forget{*m_sounds};

    std::vector<CSourceSlot> slots;
    std::unordered_set<CollectionId> counted;   // programs already counted for this source
    int newPrograms = 0;
    for (int i = 0; i < list.GetSize(); ++i) {
        const CSyxProgram* program = list.GetAt(i);
        const std::string programName = program->GetName();
        CollectionId id = 0;
        bool added = false;
        if (!FindOrAddProgram(*m_db, *m_sounds, program->GetData(), programName, takenAt, id, added)
            || (!added && counted.count(id) == 0 && !CountOneMoreSource(*m_db, id))
            || !AddName(*m_db, id, added, programName)) {
            error = DatabaseError(*m_db);
            return false;
        }
        newPrograms += added ? 1 : 0;
        counted.insert(id);
        CSourceSlot slot;
        slot.program = id;
        std::copy(program->GetData(), program->GetData() + NAME_SIZE, slot.name.begin());
        slots.push_back(slot);
    }

    const std::vector<unsigned char> slotBlob = EncodeSlots(slots);
    const std::vector<unsigned char> globalBlock = GlobalBlock(bytes, list.GetSize());
    const int channel = bytes[2] & 0x0F;
    CSqliteQuery insert(*m_db, "INSERT INTO source(kind, name, size, content_hash, content_check, taken_in,"
                               " program_count, function, channel, slots, global_block, bytes)"
                               " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert.Bind(1, kind == SourceKind::Synth ? 1 : 0)
        .BindText(2, name)
        .Bind(3, static_cast<std::int64_t>(bytes.size()))
        .Bind(4, static_cast<std::int64_t>(hash))
        .Bind(5, static_cast<std::int64_t>(check))
        .Bind(6, takenAt)
        .Bind(7, list.GetSize())
        .Bind(8, bytes[4])
        .Bind(9, channel)
        .BindBlob(10, slotBlob.data(), slotBlob.size());
    if (globalBlock.empty())
        insert.BindNull(11);
    else
        insert.BindBlob(11, globalBlock.data(), globalBlock.size());
    // The bytes are kept only when the dump rebuilt from the rest would differ.
    if (RebuildsExactly(list, bytes, channel, globalBlock))
        insert.BindNull(12);
    else
        insert.BindBlob(12, bytes.data(), bytes.size());
    if (!insert.Run()) {
        error = DatabaseError(*m_db);
        return false;
    }
    result.source = sqlite3_last_insert_rowid(m_db->Handle());
    if (!transaction.Commit()) {
        error = DatabaseError(*m_db);
        result = CImportResult();
        return false;
    }
    forget.committed = true;
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
