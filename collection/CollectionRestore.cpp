// A restore: a copy taken in beside the Collection, opened as any Collection is opened (an
// older one migrated) and checked whole, then swapped with the Collection under the folder's
// lock and an exclusive lock on the file; the Collection before it is kept under another name.
// Also the checks of a copy that a merge shares.

#include "CollectionBackup.h"

#include "Collection.h"
#include "CollectionCopy.h"
#include "CollectionFile.h"
#include "CollectionSchema.h"
#include "CollectionTime.h"
#include "FileMoves.h"
#include "SqliteDb.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

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
    bool switched = false;
    {
        CSqliteQuery journal(*lock, "PRAGMA journal_mode = DELETE");
        switched = journal.Next() && journal.Text(0) == "delete";
    }
    // A write transaction, so that the exclusive lock is held from here on also when the file
    // was not in WAL mode (then the switch took no lock).
    if (switched && lock->Exec("BEGIN EXCLUSIVE; COMMIT"))
        return LockResult::Locked;
    const int failure = lock->ErrorCode();
    error = lock->ErrorText();
    if (failure == SQLITE_BUSY || failure == SQLITE_LOCKED || failure == SQLITE_OK)
        return LockResult::InUse;
    return IsDamage(failure) ? LockResult::NotDatabase : LockResult::Failed;
}

// Puts `incoming` at `path` and the file that was there at `outgoingAt`, in one step where the
// file system can (no moment without a Collection at `path`), else in two.
bool Swap(const std::string& incoming, const std::string& path, std::string& outgoingAt, std::string& error)
{
    if (renameat2(AT_FDCWD, incoming.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
        // The old Collection is now under the copy's name; it goes to its own beside the new.
        for (int attempt = 0; MoveWithoutOverwriting(incoming, outgoingAt) != 0; ++attempt) {
            if (attempt == 10 || !Exists(incoming)) {
                error = "The Collection before the restore could not be given its name: it is " + incoming;
                return false;
            }
            outgoingAt = FreeFileName(outgoingAt);
        }
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

// The newest number of the Collection's change log; 0 for a file of a version without one.
std::int64_t LastChangeOf(CSqliteDb& db)
{
    CSqliteQuery query(db, "SELECT coalesce(max(seq), 0) FROM change_log");
    return query.Next() ? query.Int(0) : 0;
}

// The copy's change log is made to start after `after`, the newest change of the Collection
// it replaces, with one change alone: a view that followed the old file finds that the log no
// longer reaches back to where it was, and reads every row again. The copy leaves WAL mode
// too, so that nothing of it lies beside it when it is moved.
bool StartChangesAfter(const std::string& path, std::int64_t after, std::string& error)
{
    int code = 0;
    std::unique_ptr<CSqliteDb> db = CSqliteDb::OpenExisting(path, false, code, error);
    if (!db)
        return false;
    {
        CSqliteQuery journal(*db, "PRAGMA journal_mode = DELETE");
        if (!journal.Next() || journal.Text(0) != "delete") {
            error = db->ErrorText();
            return false;
        }
    }
    CSqliteTransaction transaction(*db);
    bool written = transaction.Began();
    if (written) {
        const std::int64_t first = std::max(after, LastChangeOf(*db)) + 2;
        CSqliteQuery marker(*db, "INSERT INTO change_log(seq, kind, item) VALUES(?, 3, 0)");
        written = db->Exec("DELETE FROM change_log") && marker.Bind(1, first).Run();
    }
    if (!written || !transaction.Commit()) {
        error = db->ErrorText();
        return false;
    }
    return true;
}

// What a copy can be told by before it is copied: a file, an SQLite database, a Collection of
// this version or older, with something in it.
bool LooksLikeCollection(const std::string& path, std::string& error)
{
    const std::string prefix = path + " is not a Collection Veltrix can use: ";
    if (!IsRegularFile(path)) {
        error = path + (Exists(path) ? " is not a file" : " does not exist");
        return false;
    }
    switch (InspectCollectionFile(path).kind) {
    case FileKind::NotDatabase:
        error = prefix + "it is not a database";
        return false;
    case FileKind::Missing:
    case FileKind::Empty:
        error = prefix + "it holds no Collection";
        return false;
    case FileKind::CutShort:
        error = path + " is damaged: it is cut short";
        return false;
    case FileKind::Database:
        break;
    }
    std::string reason;
    std::unique_ptr<CSqliteDb> db = OpenForReading(path, reason);
    if (!db) {
        error = prefix + reason;
        return false;
    }
    std::int64_t version = 0;
    {
        CSqliteQuery query(*db, "PRAGMA user_version");
        if (!query.Next()) {
            error = IsDamage(db->ErrorCode()) ? path + " is damaged: " + db->ErrorText() : prefix + db->ErrorText();
            return false;
        }
        version = query.Int(0);
    }
    const SchemaResult schema = InspectSchema(*db, CollectionSchemaSteps(), reason);
    if (schema == SchemaResult::Ready && version == 0)
        reason = "it holds no Collection";
    if (schema != SchemaResult::Ready || version == 0) {
        error = prefix + reason;
        return false;
    }
    db->SetCheckpointOnClose(true);   // a Collection: its log is folded in when it closes
    return true;
}

// What the full check found, in a sentence naming the file.
std::string DamageText(const std::string& path, const CCollectionCheck& report)
{
    std::string text = path + " is damaged: ";
    if (!report.fileIntact)
        return text + (report.fileProblems.empty() ? std::string("its file does not pass the check")
                                                   : report.fileProblems.front());
    const CCollectionSource& first = report.damagedSources.front();
    text += "the bytes of its source " + std::to_string(first.id) + " (" + first.name + ") are damaged";
    if (report.damagedSources.size() > 1)
        text += ", and of " + std::to_string(report.damagedSources.size() - 1) + " more";
    return text;
}

} // namespace

std::string RestoreSetAsidePath(const std::string& collectionPath, std::int64_t at)
{
    return collectionPath + ".before-restore-" + CompactLocalTime(at);
}

CollectionCopyOutcome TakeCheckedCopy(const std::string& path, const std::string& copyPath,
                                      const CCollectionProgress& progress, std::unique_ptr<CCollection>& opened,
                                      std::string& error)
{
    opened.reset();
    if (!LooksLikeCollection(path, error))
        return CollectionCopyOutcome::FileFailed;
    std::string written;
    const CollectionCopyOutcome copied = BackUpCollection(path, copyPath, progress, written, error);
    if (copied != CollectionCopyOutcome::Done) {
        // A fault in reading it is the copy's; one in writing beside the Collection is not.
        if (copied == CollectionCopyOutcome::CollectionFailed)
            return CollectionCopyOutcome::FileFailed;
        if (copied != CollectionCopyOutcome::Cancelled)
            error = "Cannot copy " + path + " in beside the Collection: " + error;
        return copied == CollectionCopyOutcome::Cancelled ? copied : CollectionCopyOutcome::CollectionFailed;
    }
    // Opened as every Collection is: a file of another program refused, an older one migrated.
    std::string reason, notice;
    opened = CCollection::Open(copyPath, reason, notice);
    if (!opened || !notice.empty()) {
        opened.reset();
        const std::string said = "Cannot use the Collection " + copyPath + ". ";
        if (reason.rfind(said, 0) == 0)
            reason.erase(0, said.size());
        error = notice.empty() ? path + " is not a Collection Veltrix can use: " + reason
                               : path + " is damaged: its tables cannot be read";
        return CollectionCopyOutcome::FileFailed;
    }
    CCollectionCheck report;
    if (!opened->FullCheck(report, reason)) {
        opened.reset();
        error = "Cannot check " + path + ": " + reason;
        return CollectionCopyOutcome::FileFailed;
    }
    if (!report.Clean()) {
        opened.reset();
        error = DamageText(path, report);
        return CollectionCopyOutcome::FileFailed;
    }
    return CollectionCopyOutcome::Done;
}

bool CheckCollectionCopy(const std::string& path, std::string& error)
{
    if (!LooksLikeCollection(path, error))
        return false;
    std::string notice;
    std::unique_ptr<CCollection> collection = CCollection::OpenForReading(path, error, notice, true);
    CCollectionCheck report;
    if (!collection || !collection->FullCheck(report, error))
        return false;
    if (!report.Clean())
        error = DamageText(path, report);
    return report.Clean();
}

CollectionCopyOutcome RestoreCollection(const std::string& collectionPath, const std::string& copyPath,
                                        const CCollectionProgress& progress, std::string& setAside,
                                        std::string& error)
{
    setAside.clear();
    if (IsCollectionFile(copyPath, collectionPath)) {
        error = copyPath + " is the Collection itself";
        return CollectionCopyOutcome::Refused;
    }
    // The copy is taken in beside the Collection, in a folder of its own: the user's file stays
    // as it is, whatever migrating it writes goes with that folder, and the swap below is a
    // rename on one file system.
    const std::filesystem::path folder = std::filesystem::path(collectionPath).parent_path();
    std::error_code failure;
    if (!folder.empty())
        std::filesystem::create_directories(folder, failure);
    CScratchFolder scratch(collectionPath, "restore");
    if (scratch.Path().empty()) {
        error = "Cannot write beside the Collection " + collectionPath + ": " + SystemErrorText(errno);
        return CollectionCopyOutcome::CollectionFailed;
    }
    const std::string incoming = scratch.Path() + "/collection.sqlite";
    {
        std::unique_ptr<CCollection> opened;
        const CollectionCopyOutcome taken = TakeCheckedCopy(copyPath, incoming, progress, opened, error);
        if (taken != CollectionCopyOutcome::Done)
            return taken;
    }

    // Under the folder's lock, as a damaged file is set aside and a new one started: no other
    // process judges or moves what is at the path meanwhile.
    const CFolderLock folderLock(collectionPath);
    std::string outgoing = FreeFileName(RestoreSetAsidePath(collectionPath, NowSeconds()));
    if (!Exists(collectionPath)) {
        if (!StartChangesAfter(incoming, 0, error) || !SyncFile(incoming)) {
            error = "Cannot put the copy in place of " + collectionPath + ": " + error;
            return CollectionCopyOutcome::CollectionFailed;
        }
        if (MoveWithoutOverwriting(incoming, collectionPath) != 0) {
            error = "Cannot put the copy in place of " + collectionPath + ": " + SystemErrorText(errno);
            return CollectionCopyOutcome::CollectionFailed;
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
        return CollectionCopyOutcome::CollectionFailed;
    case LockResult::Failed:
        error = "Cannot restore over the Collection " + collectionPath + ": " + reason;
        return CollectionCopyOutcome::CollectionFailed;
    }
    if (!StartChangesAfter(incoming, lock ? LastChangeOf(*lock) : 0, reason) || !SyncFile(incoming)) {
        error = "Cannot put the copy in place of " + collectionPath + ": " + reason;
        return CollectionCopyOutcome::CollectionFailed;
    }
    // Under the lock the log is folded in; anything SQLite left beside the file goes with it,
    // so that nothing of the old Collection is read as part of the new one.
    for (const char* suffix : {"-wal", "-shm"})
        if (Exists(collectionPath + suffix))
            MoveWithoutOverwriting(collectionPath + suffix, outgoing + suffix);
    if (!Swap(incoming, collectionPath, outgoing, error)) {
        if (Exists(incoming))
            scratch.Keep();   // the old Collection is there: never removed
        return CollectionCopyOutcome::CollectionFailed;
    }
    lock.reset();
    SyncFolderOf(collectionPath);
    setAside = outgoing;
    return CollectionCopyOutcome::Done;
}
