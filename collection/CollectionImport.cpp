// Taking dumps in: one transaction per dump, or a savepoint per dump in a batch's
// transaction, so that a failure of any kind leaves the Collection as it was before it.

#include "Collection.h"

#include "BackgroundCheckpoints.h"
#include "CollectionErrors.h"
#include "CollectionSchema.h"
#include "CollectionWrite.h"
#include "CollectionTime.h"
#include "DumpMessages.h"
#include "FileMoves.h"
#include "NameIndex.h"
#include "SoundIndex.h"
#include "SourceStore.h"
#include "SqliteDb.h"

#include "ProgramList.h"
#include "SyxFormat.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

// The reader's own text for a file it cannot read.
const char* const ERROR_CANNOT_OPEN = "Cannot open file";
// Far beyond any dump (37,392 bytes for a bank, a few of them in one file); a larger file is
// not read at all.
constexpr std::int64_t MAX_FILE_SIZE = 1024 * 1024;
const char* const ERROR_TOO_LARGE = "File is too large to be a Korg Syx File (over 1 MiB)";
const char* const ERROR_NOT_A_FILE = "It is not a regular file (a folder, a pipe or a device): only files are taken in";
const char* const ERROR_OWN_FILE = "It is the Collection's own file: it is not taken in";
// The write-ahead log's length at which batches that follow one another write it back on
// the writer's thread and start it again: a few batches' worth.
constexpr std::int64_t BATCH_LOG_BYTES = 128 * 1024 * 1024;
// The page cache while batches follow one another, in SQLite's units (negative: KiB).
constexpr std::int64_t BATCH_CACHE_SIZE = -65536;

bool SetCacheSize(CSqliteDb& db, std::int64_t size)
{
    const std::string sql = "PRAGMA cache_size = " + std::to_string(size);
    return db.Exec(sql.c_str());
}

struct FdCloser {
    int fd;
    ~FdCloser()
    {
        if (fd >= 0)
            close(fd);
    }
};

// Only a regular file is read: opened without waiting (a pipe or device would block until a
// writer came) and judged by what it is before a byte of it is read.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error)
{
    const FdCloser file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || fstat(file.fd, &info) != 0) {
        error = ERROR_CANNOT_OPEN;
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = ERROR_NOT_A_FILE;
        return false;
    }
    if (info.st_size > MAX_FILE_SIZE) {
        error = ERROR_TOO_LARGE;
        return false;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(file.fd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            error = ERROR_CANNOT_OPEN;
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

std::string FullPath(const std::string& path)
{
    std::error_code failure;
    const std::filesystem::path full = std::filesystem::absolute(path, failure);
    return failure ? path : full.lexically_normal().string();
}

// The source with the same content, if there is one: the same size and two 64-bit hashes,
// then the same bytes (the hashes are not secret: a file could be made to share them).
bool FindKnownSource(CSqliteDb& db, const std::vector<unsigned char>& bytes, std::uint64_t hash, std::uint64_t check,
                     CImportResult& result, bool& found)
{
    found = false;
    CSqliteQuery query(db, "SELECT id, program_count, bytes FROM source"
                           " WHERE content_hash = ? AND content_check = ? AND size = ?");
    query.Bind(1, static_cast<std::int64_t>(hash))
        .Bind(2, static_cast<std::int64_t>(check))
        .Bind(3, static_cast<std::int64_t>(bytes.size()));
    while (query.Next()) {
        if (query.Size(2) != bytes.size() || (!bytes.empty() && std::memcmp(query.Blob(2), bytes.data(), bytes.size()) != 0))
            continue;
        found = true;
        result.source = query.Int(0);
        result.programs = static_cast<int>(query.Int(1));
        result.newPrograms = 0;
        result.alreadyKnown = true;
        break;
    }
    return !query.Failed();
}

} // namespace

bool CCollection::TakeIn(SourceKind kind, const std::string& name, const std::vector<unsigned char>& bytes,
                         std::int64_t takenAt, CImportResult& result, std::string& error)
{
    if (m_inBatch && !m_batchError.empty()) {
        result = CImportResult();
        error = m_batchError;
        return false;
    }
    const bool taken = TakeInOnce(kind, name, bytes, takenAt, result, error);
    // A failure the database answered by rolling the whole transaction back (a full disk)
    // took the batch's earlier files with it: the batch fails.
    if (!taken && m_batch && sqlite3_get_autocommit(m_db->Handle()) != 0) {
        m_batchError = error;
        m_batch.reset();
        m_sounds->Clear();
    }
    return taken;
}

bool CCollection::TakeInOnce(SourceKind kind, const std::string& name, const std::vector<unsigned char>& bytes,
                             std::int64_t takenAt, CImportResult& result, std::string& error)
{
    result = CImportResult();
    if (!CanWrite(error))
        return false;
    // Files: the same bytes again add nothing. Every receive is a snapshot of the synthesizer,
    // kept even when nothing changed.
    const bool idempotent = kind == SourceKind::File;
    const CSourceHashes hashes = SourceHashes(bytes);
    const std::uint64_t hash = hashes.hash;
    const std::uint64_t check = hashes.check;
    // Known content is looked for before the write lock is taken, and again under it.
    bool known = false;
    if (idempotent && !m_batch && (!FindKnownSource(*m_db, bytes, hash, check, result, known) || known)) {
        if (!known)
            error = DatabaseError(*m_db);
        result.messages = CountMessages(bytes.data(), bytes.size());
        return known;
    }
    CProgramList list;
    CDumpMessages messages;
    if (!ReadDumpMessages(bytes.data(), bytes.size(), list, messages, error)) {
        result.fileRefused = true;
        return false;
    }

    if (!m_sounds)
        m_sounds = std::make_unique<CSoundIndex>();
    // Alone, a transaction of its own; in a batch, a savepoint in the batch's transaction.
    std::unique_ptr<CSqliteTransaction> transaction;
    std::unique_ptr<CSqliteSavepoint> savepoint;
    if (m_inBatch) {
        if (!OpenBatchTransaction(error))
            return false;
        savepoint = std::make_unique<CSqliteSavepoint>(*m_db);
    } else {
        transaction = std::make_unique<CSqliteTransaction>(*m_db);
    }
    if (!(savepoint ? savepoint->Began() : transaction->Began())
        || (idempotent && !FindKnownSource(*m_db, bytes, hash, check, result, known)) || !m_sounds->CatchUp(*m_db)) {
        error = DatabaseError(*m_db);
        return false;
    }
    if (known) {
        result.messages = CountMessages(bytes.data(), bytes.size());
        return true;
    }

    CSoundIndexRollback rollback(*m_sounds);
    CollectionId sourceId = 0;
    std::vector<CollectionId> slots;
    int newPrograms = 0;
    CNewSource source{kind, name, &bytes, takenAt, &messages.globalBlock, true, hash, check};
    source.indexLater = m_inBatch;
    if (!WriteSource(*m_db, *m_sounds, source, list, sourceId, slots, newPrograms, error))
        return false;
    if (!(savepoint ? savepoint->Release() : transaction->Commit())) {
        error = DatabaseError(*m_db);
        return false;
    }
    rollback.Keep();
    result.source = sourceId;
    result.programs = list.GetSize();
    result.newPrograms = newPrograms;
    result.messages = messages.messages;
    return true;
}

void CCollection::BeginBatch()
{
    m_inBatch = true;
    m_batchError.clear();
}

bool CCollection::OpenBatchTransaction(std::string& error)
{
    if (m_batch)
        return true;
    auto transaction = std::make_unique<CSqliteTransaction>(*m_db);
    if (!transaction->Began()) {
        error = DatabaseError(*m_db);
        return false;
    }
    m_batch = std::move(transaction);
    m_batchBegan = std::chrono::steady_clock::now();
    // A batch's fold rewrites much of the sounds' index: with the usual cache SQLite spills
    // its pages to the log before the commit, and writes some of them twice.
    if (!m_usualCacheSize) {
        std::optional<std::int64_t> usual;
        {
            CSqliteQuery read(*m_db, "PRAGMA cache_size");
            if (read.Next())
                usual = read.Int(0);
        }
        if (usual && SetCacheSize(*m_db, BATCH_CACHE_SIZE))
            m_usualCacheSize = usual;
    }
    return true;
}

void CCollection::EndBatchCache()
{
    if (m_usualCacheSize && SetCacheSize(*m_db, *m_usualCacheSize))
        m_usualCacheSize.reset();
}

double CCollection::BatchSeconds() const
{
    return m_batch ? std::chrono::duration<double>(std::chrono::steady_clock::now() - m_batchBegan).count() : 0.0;
}

bool CCollection::CommitBatch(std::string& error, bool moreToCome)
{
    const bool committed = CommitBatchTransaction(error, moreToCome);
    if (!moreToCome)
        EndBatchCache();
    return committed;
}

bool CCollection::CommitBatchTransaction(std::string& error, bool moreToCome)
{
    m_inBatch = false;
    // Batches one after another: the log is written back apart from them, kept within a few
    // batches' length. The last is written back after its commit, as a single import is.
    if (!moreToCome)
        m_checkpoints.reset();
    else if (!m_checkpoints && m_batch)
        m_checkpoints = CBackgroundCheckpoints::Start(*m_db, BATCH_LOG_BYTES);
    if (!m_batchError.empty()) {
        error = m_batchError;
        m_batchError.clear();
        AbandonBatch();
        return false;
    }
    if (!m_batch)
        return true;
    std::unique_ptr<CSqliteTransaction> transaction = std::move(m_batch);
    // The index work of every file at once. What it adds only speeds lookups up: should it
    // fail, it is left for a later import, and the files are kept all the same.
    {
        CSqliteSavepoint indexing(*m_db);
        if (!indexing.Began() || !IndexNewSourceNames(*m_db) || !m_sounds->FoldIn(*m_db, moreToCome) || !indexing.Release())
            m_sounds->Clear();
    }
    if (!transaction->Commit()) {
        error = DatabaseError(*m_db);
        m_sounds->Clear();
        return false;
    }
    return true;
}

void CCollection::AbandonBatch()
{
    m_inBatch = false;
    m_checkpoints.reset();
    EndBatchCache();
    m_batchError.clear();
    if (m_batch) {
        m_batch.reset();   // rolled back
        m_sounds->Clear();
    }
}

bool CCollection::ImportFile(const std::string& path, CImportResult& result, std::string& error, std::int64_t takenAt)
{
    std::vector<unsigned char> bytes;
    if (IsCollectionFile(path, m_db->Path())) {
        result = CImportResult();
        result.fileRefused = true;
        error = ERROR_OWN_FILE;
        return false;
    }
    if (!ReadWholeFile(path, bytes, error)) {
        result = CImportResult();
        result.fileRefused = true;
        return false;
    }
    return ImportFileBytes(path, bytes, result, error, takenAt);
}

bool CCollection::ImportFileBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                                  CImportResult& result, std::string& error, std::int64_t takenAt)
{
    if (static_cast<std::int64_t>(bytes.size()) > MAX_FILE_SIZE) {
        result = CImportResult();
        result.fileRefused = true;
        error = ERROR_TOO_LARGE;
        return false;
    }
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
