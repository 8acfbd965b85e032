// A restore: a copy checked whole, copied in beside the Collection, then swapped with it under
// an exclusive lock; the Collection before it is kept under another name.

#include "CollectionBackup.h"

#include "CollectionCopy.h"
#include "CollectionSchema.h"
#include "CollectionTime.h"
#include "ContentHash.h"
#include "FileMoves.h"
#include "SqliteDb.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// Any value other than 0 gives the second, independent content hash a source is stored with.
constexpr std::uint64_t CONTENT_CHECK_SEED = 0x5EED;
// A connection that only looks holds the file for a moment; one that keeps it open, for good.
constexpr int LOCK_TIMEOUT_MS = 300;

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

bool IsDamage(int code)
{
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

// Every source's bytes against the size and the two hashes stored with them.
bool CheckSources(CSqliteDb& db, std::string& error)
{
    CSqliteQuery sources(db, "SELECT id, name, size, content_hash, content_check, bytes FROM source ORDER BY id");
    while (sources.Next()) {
        const unsigned char* bytes = sources.Blob(5);
        const std::size_t size = sources.Size(5);
        const bool whole = static_cast<std::int64_t>(size) == sources.Int(2)
            && static_cast<std::int64_t>(ContentHash(bytes, size)) == sources.Int(3)
            && static_cast<std::int64_t>(ContentHash(bytes, size, CONTENT_CHECK_SEED)) == sources.Int(4);
        if (!whole) {
            error = "the bytes of its source " + std::to_string(sources.Int(0)) + " (" + sources.Text(1)
                + ") are damaged";
            return false;
        }
    }
    if (sources.Failed()) {
        error = db.ErrorText();
        return false;
    }
    return true;
}

// Holds the Collection so that no other connection can open it: SQLite's exclusive locking
// mode, which a connection only gets while no other has the file open. The write-ahead log
// is folded into the file first, so that the file alone holds everything.
enum class LockResult { Locked, InUse, NotDatabase, Failed };

LockResult LockCollection(const std::string& path, std::unique_ptr<CSqliteDb>& lock, std::string& error)
{
    int code = 0;
    lock = CSqliteDb::OpenExisting(path, false, code, error);
    if (!lock)
        return IsDamage(code) ? LockResult::NotDatabase : LockResult::Failed;
    sqlite3_busy_timeout(lock->Handle(), LOCK_TIMEOUT_MS);
    if (!lock->Exec("PRAGMA locking_mode = EXCLUSIVE")) {
        error = lock->ErrorText();
        return LockResult::Failed;
    }
    CSqliteQuery journal(*lock, "PRAGMA journal_mode = DELETE");
    if (journal.Next() && journal.Text(0) == "delete")
        return LockResult::Locked;
    const int failure = lock->ErrorCode();
    error = lock->ErrorText();
    if (failure == SQLITE_BUSY || failure == SQLITE_LOCKED || failure == SQLITE_OK)
        return LockResult::InUse;
    return IsDamage(failure) ? LockResult::NotDatabase : LockResult::Failed;
}

// Puts `incoming` at `path` and the file that was there at `outgoing`, in one step where the
// file system can (no moment without a Collection at `path`), else in two.
bool Swap(const std::string& incoming, const std::string& path, std::string& outgoingAt, std::string& error)
{
    if (renameat2(AT_FDCWD, incoming.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
        // The old Collection is now under the temporary name; it goes to its own name.
        if (MoveWithoutOverwriting(incoming, outgoingAt) != 0)
            outgoingAt = incoming;
        return true;
    }
    if (MoveWithoutOverwriting(path, outgoingAt) != 0 && Exists(path)) {
        error = "Cannot set the Collection aside: " + SystemErrorText(errno);
        return false;
    }
    if (std::rename(incoming.c_str(), path.c_str()) != 0) {
        error = "Cannot put the copy in place: " + SystemErrorText(errno);
        MoveWithoutOverwriting(outgoingAt, path);
        return false;
    }
    return true;
}

} // namespace

std::string RestoreSetAsidePath(const std::string& collectionPath, std::int64_t at)
{
    return collectionPath + ".before-restore-" + CompactLocalTime(at);
}

bool CheckCollectionCopy(const std::string& path, std::string& error)
{
    const std::string prefix = path + " is not a Collection Veltrix can use: ";
    if (!IsRegularFile(path)) {
        error = path + (Exists(path) ? " is not a file" : " does not exist");
        return false;
    }
    std::string reason;
    std::unique_ptr<CSqliteDb> db = OpenForReading(path, reason);
    if (!db) {
        error = prefix + reason;
        return false;
    }
    int version = 0;
    {
        CSqliteQuery query(*db, "PRAGMA user_version");
        if (!query.Next()) {
            error = prefix + (IsDamage(db->ErrorCode()) ? std::string("it is not a database") : db->ErrorText());
            return false;
        }
        version = static_cast<int>(query.Int(0));
    }
    const SchemaResult schema = InspectSchema(*db, CollectionSchemaSteps(), reason);
    if (schema != SchemaResult::Ready || version == 0) {
        error = prefix + (version == 0 && schema == SchemaResult::Ready ? std::string("it holds no Collection") : reason);
        return false;
    }
    {
        CSqliteQuery check(*db, "PRAGMA integrity_check(1)");
        if (!check.Next() || check.Text(0) != "ok") {
            error = path + " is damaged: " + (check.Failed() ? db->ErrorText() : check.Text(0));
            return false;
        }
    }
    if (!CheckSources(*db, reason)) {
        error = path + " is damaged: " + reason;
        return false;
    }
    return true;
}

CollectionCopyOutcome RestoreCollection(const std::string& collectionPath, const std::string& copyPath,
                                        const CCollectionProgress& progress, std::string& setAside,
                                        std::string& error)
{
    setAside.clear();
    for (const char* suffix : {"", "-wal", "-shm"}) {
        if (copyPath == collectionPath + suffix || IsSameFile(copyPath, collectionPath + suffix)) {
            error = copyPath + " is the Collection itself";
            return CollectionCopyOutcome::Refused;
        }
    }
    if (!CheckCollectionCopy(copyPath, error))
        return CollectionCopyOutcome::FileFailed;

    // The copy is copied in beside the Collection first: the user's file stays as it is, and
    // the swap below is a rename on one file system.
    const std::filesystem::path folder = std::filesystem::path(collectionPath).parent_path();
    std::error_code failure;
    if (!folder.empty())
        std::filesystem::create_directories(folder, failure);
    const std::string incoming = TemporaryFileBeside(collectionPath, error);
    if (incoming.empty())
        return CollectionCopyOutcome::CollectionFailed;
    const auto fail = [&incoming](CollectionCopyOutcome outcome) {
        std::remove(incoming.c_str());
        return outcome;
    };
    {
        std::unique_ptr<CSqliteDb> source = OpenForReading(copyPath, error);
        if (!source || !source->Exec("BEGIN"))
            return fail(CollectionCopyOutcome::FileFailed);
        const CollectionCopyOutcome copied = CopyDatabase(*source, incoming, progress, error);
        if (copied != CollectionCopyOutcome::Done) {
            if (copied == CollectionCopyOutcome::FileFailed)
                error = "Cannot copy " + copyPath + " in beside the Collection: " + error;
            return fail(copied == CollectionCopyOutcome::Cancelled ? copied : CollectionCopyOutcome::CollectionFailed);
        }
    }
    if (!SyncFile(incoming)) {
        error = "Cannot copy " + copyPath + " in beside the Collection: " + SystemErrorText(errno);
        return fail(CollectionCopyOutcome::CollectionFailed);
    }

    std::string outgoing = FreeFileName(RestoreSetAsidePath(collectionPath, NowSeconds()));
    if (!Exists(collectionPath)) {
        if (MoveWithoutOverwriting(incoming, collectionPath) != 0) {
            error = "Cannot put the copy in place of " + collectionPath + ": " + SystemErrorText(errno);
            return fail(CollectionCopyOutcome::CollectionFailed);
        }
        SyncFolderOf(collectionPath);
        return CollectionCopyOutcome::Done;
    }

    std::unique_ptr<CSqliteDb> lock;
    std::string reason;
    switch (LockCollection(collectionPath, lock, reason)) {
    case LockResult::Locked:
    case LockResult::NotDatabase:   // nothing can have it open as a Collection: it is only moved
        break;
    case LockResult::InUse:
        error = "The Collection " + collectionPath
            + " is open in another program (the Veltrix window, or veltrix-cli): close it and try again";
        return fail(CollectionCopyOutcome::CollectionFailed);
    case LockResult::Failed:
        error = "Cannot restore over the Collection " + collectionPath + ": " + reason;
        return fail(CollectionCopyOutcome::CollectionFailed);
    }
    // Under the lock the log is folded in; anything SQLite left beside the file goes with it,
    // so that nothing of the old Collection is read as part of the new one.
    for (const char* suffix : {"-wal", "-shm"})
        if (Exists(collectionPath + suffix))
            MoveWithoutOverwriting(collectionPath + suffix, outgoing + suffix);
    if (!Swap(incoming, collectionPath, outgoing, error))
        return fail(CollectionCopyOutcome::CollectionFailed);
    lock.reset();
    SyncFolderOf(collectionPath);
    setAside = outgoing;
    return CollectionCopyOutcome::Done;
}
