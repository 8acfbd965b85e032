// A backup: the Collection's file and log copied inside one read transaction, so that the
// copy is whole and consistent however much is written beside it meanwhile.

#include "CollectionBackup.h"

#include "CollectionCopy.h"
#include "CollectionFile.h"
#include "CollectionSchema.h"
#include "CollectionTime.h"
#include "FileMoves.h"
#include "SqliteDb.h"
#include "WalIndex.h"

#include <sqlite3.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>

namespace {

// 16 MiB a step of a copy of the files: few steps, yet progress and Cancel answer at once.
constexpr std::size_t BYTES_PER_STEP = 16 << 20;
constexpr int BUSY_TIMEOUT_MS = 5000;

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

std::int64_t FileSize(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : 0;
}

// Copies the first `limit` bytes of `from` (all of it when negative) to `to`, which is empty
// or not there yet, in a child process, telling the bytes done on `report`. In a process of
// its own: closing a descriptor of a file ends every lock this process holds on it, and the
// connection reading the Collection holds one. Async-signal-safe calls only. Not opened to
// be truncated: ext4 takes a file cut to nothing and written again for a file replaced in
// place, and on closing it waits for the whole of it to start going to the disk (0.2 s for
// 500 MB).
[[noreturn]] void CopyInChild(const char* from, const char* to, std::int64_t limit, int report)
{
    const int in = open(from, O_RDONLY | O_CLOEXEC);
    const int out = open(to, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (in < 0 || out < 0)
        _exit(errno == ENOSPC ? 3 : 2);
    bool ranged = true;
    static char buffer[1 << 16];
    std::int64_t left = limit < 0 ? INT64_MAX : limit;
    for (;;) {
        const std::size_t step = static_cast<std::size_t>(std::min<std::int64_t>(left, BYTES_PER_STEP));
        ssize_t copied = step == 0 ? 0 : ranged ? copy_file_range(in, nullptr, out, nullptr, step, 0) : -1;
        if (copied < 0 && ranged && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
            ranged = false;
            continue;
        }
        if (!ranged) {
            copied = read(in, buffer, std::min(sizeof buffer, step));
            for (ssize_t written = 0; copied > 0 && written < copied;) {
                const ssize_t step = write(out, buffer + written, static_cast<std::size_t>(copied - written));
                if (step <= 0)
                    _exit(errno == ENOSPC ? 3 : 2);
                written += step;
            }
        }
        if (copied < 0)
            _exit(errno == ENOSPC ? 3 : 2);
        if (copied == 0)
            break;
        const std::int64_t bytes = copied;
        left -= bytes;
        if (write(report, &bytes, sizeof bytes) != static_cast<ssize_t>(sizeof bytes))
            _exit(2);
    }
    _exit(close(out) == 0 ? 0 : (errno == ENOSPC ? 3 : 2));
}

// Copies a file, or its first `limit` bytes, through CopyInChild, telling `progress` of
// `done` (which grows) of `total`.
CollectionCopyOutcome CopyFile(const std::string& from, const std::string& to, std::int64_t limit, std::int64_t& done,
                               std::int64_t total, const CCollectionProgress& progress, std::string& error)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        error = SystemErrorText(errno);
        return CollectionCopyOutcome::FileFailed;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        CopyInChild(from.c_str(), to.c_str(), limit, ends[1]);
    }
    close(ends[1]);
    bool cancelled = child < 0;
    std::int64_t bytes = 0;
    while (child > 0 && read(ends[0], &bytes, sizeof bytes) == static_cast<ssize_t>(sizeof bytes)) {
        done += bytes;
        if (progress && !progress(done, total)) {
            cancelled = true;
            kill(child, SIGKILL);
            break;
        }
    }
    close(ends[0]);
    int status = 0;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (child < 0) {
        error = SystemErrorText(errno);
        return CollectionCopyOutcome::FileFailed;
    }
    if (cancelled)
        return CollectionCopyOutcome::Cancelled;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = WIFEXITED(status) && WEXITSTATUS(status) == 3 ? "The disk is full" : "the copy failed";
        return CollectionCopyOutcome::FileFailed;
    }
    return CollectionCopyOutcome::Done;
}

// Of the log, the part a copy needs, read inside the read transaction of `source`: its
// commits as far as the index of the log says now, which is at least as far as the
// transaction sees. What others append while the file is copied is newer than that view, and
// copying it, then folding it into the copy, would only make a busy Collection's backup longer
// the more is written beside it; the log's file past its last commit holds only frames of a
// log since started again. None of it when every commit is already in the file (no checkpoint
// writes into the file past what an open read transaction sees). The whole file where the
// index cannot be read: longer, as safe.
std::int64_t LogBytesToCopy(CSqliteDb& source, const std::string& collectionPath)
{
    const std::int64_t fileBytes = FileSize(collectionPath + "-wal");
    const std::optional<CWalIndexState> index = ReadWalIndex(collectionPath);
    CSqliteQuery pageSize(source, "PRAGMA page_size");
    if (!index || !pageSize.Next() || pageSize.Int(0) <= 0)
        return fileBytes;
    if (index->backfilled == index->frames)
        return 0;
    return std::min(fileBytes, WalBytesOf(index->frames, static_cast<int>(pageSize.Int(0))));
}

// The Collection's file and its write-ahead log copied as they are into `copy` (a new,
// empty file), inside the read transaction of `source`, then the copy's log folded into it.
// While that transaction lasts no checkpoint writes into the file a page the transaction's
// view does not hold, and the log does not start again, so the file with the log as far as
// it is whole (SQLite takes a log up to its last whole commit) is the Collection as it was at
// a commit at or after the transaction began: much quicker than a page at a time through
// SQLite.
CollectionCopyOutcome CopyFiles(CSqliteDb& source, const std::string& collectionPath, const std::string& copy,
                                const CCollectionProgress& progress, std::string& error)
{
    const std::string log = collectionPath + "-wal";
    std::int64_t done = 0;
    const std::int64_t logBytes = LogBytesToCopy(source, collectionPath);   // the view is already taken
    const std::int64_t total = FileSize(collectionPath) + logBytes;
    if (progress && !progress(0, 0))
        return CollectionCopyOutcome::Cancelled;
    CollectionCopyOutcome outcome = CopyFile(collectionPath, copy, -1, done, total, progress, error);
    std::remove((copy + "-wal").c_str());
    if (outcome == CollectionCopyOutcome::Done && logBytes > 0)
        outcome = CopyFile(log, copy + "-wal", logBytes, done, total, progress, error);
    source.Exec("COMMIT");
    if (outcome != CollectionCopyOutcome::Done)
        return outcome;
    int code = 0;
    std::unique_ptr<CSqliteDb> copied = CSqliteDb::OpenExisting(copy, false, code, error);
    if (!copied)
        return CollectionCopyOutcome::FileFailed;
    // The log folded in and removed: a file of its own, wherever it is carried. Not synced,
    // as the copy of the file is not.
    copied->Exec("PRAGMA synchronous = OFF");
    CSqliteQuery journal(*copied, "PRAGMA journal_mode = DELETE");
    if (!journal.Next() || journal.Text(0) != "delete") {
        error = copied->ErrorText();
        return copied->ErrorCode() == SQLITE_CORRUPT || copied->ErrorCode() == SQLITE_NOTADB
            ? CollectionCopyOutcome::CollectionFailed
            : CollectionCopyOutcome::FileFailed;
    }
    return CollectionCopyOutcome::Done;
}

} // namespace

std::unique_ptr<CSqliteDb> OpenForReading(const std::string& path, std::string& error)
{
    // Opened for writing where it can be, though nothing is written: a read-only connection
    // to a file in WAL mode leaves a -wal and a -shm beside it, which the last connection
    // that may write removes when it closes.
    int code = 0;
    std::unique_ptr<CSqliteDb> db = CSqliteDb::OpenExisting(path, false, code, error);
    if (!db || sqlite3_db_readonly(db->Handle(), "main") == 1)
        db = CSqliteDb::OpenExisting(path, true, code, error);
    if (db)
        sqlite3_busy_timeout(db->Handle(), BUSY_TIMEOUT_MS);
    return db;
}

CollectionCopyOutcome BackUpCollection(const std::string& collectionPath, const std::string& target,
                                       const CCollectionProgress& progress, std::string& written, std::string& error)
{
    written.clear();
    const std::string path = IsFolder(target)
        ? target + (target.back() == '/' ? "" : "/") + "collection-" + CompactLocalTime(NowSeconds()) + ".sqlite"
        : target;
    if (IsCollectionFile(path, collectionPath)) {
        error = "A backup cannot be written onto the Collection itself (" + collectionPath + ")";
        return CollectionCopyOutcome::Refused;
    }
    if (!Exists(collectionPath)) {
        error = "There is no Collection at " + collectionPath + " yet";
        return CollectionCopyOutcome::CollectionFailed;
    }
    // Counted as one of this process's connections to the file while it is open, as the
    // Collection's own are: no other look at the file here may drop the locks it holds.
    const CFileUseRegistration use(collectionPath);
    std::unique_ptr<CSqliteDb> source = OpenForReading(collectionPath, error);
    if (!source) {
        error = "Cannot read the Collection " + collectionPath + ": " + error;
        return CollectionCopyOutcome::CollectionFailed;
    }
    // One read transaction for the whole copy: what others commit meanwhile is not in it,
    // and the copy never has to start again.
    if (!source->Exec("BEGIN")) {
        error = "Cannot read the Collection " + collectionPath + ": " + source->ErrorText();
        return CollectionCopyOutcome::CollectionFailed;
    }
    std::string schemaError;
    const SchemaResult schema = InspectSchema(*source, CollectionSchemaSteps(), schemaError);
    if (schema == SchemaResult::NotCollection || schema == SchemaResult::Failed) {
        error = "Cannot back up " + collectionPath + ": " + schemaError;
        return CollectionCopyOutcome::CollectionFailed;
    }
    // A Collection: when this is its last connection, closing it folds the log in, as the
    // Collection's own connections do, rather than leave it for the next open to take for
    // the trace of a session that did not end cleanly.
    source->SetCheckpointOnClose(true);

    const std::string temporary = TemporaryFileBeside(path, error);
    if (temporary.empty())
        return CollectionCopyOutcome::FileFailed;
    const CollectionCopyOutcome outcome = CopyFiles(*source, collectionPath, temporary, progress, error);
    source.reset();
    std::remove((temporary + "-wal").c_str());
    // Not forced to the disk, as cp does not: the system writes it within seconds, and a copy
    // cut short by a crash in those seconds is refused by the check of a restore or a merge.
    if (outcome == CollectionCopyOutcome::Done && std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "Cannot write " + path + ": " + SystemErrorText(errno);
        std::remove(temporary.c_str());
        return CollectionCopyOutcome::FileFailed;
    }
    if (outcome != CollectionCopyOutcome::Done) {
        std::remove(temporary.c_str());
        if (outcome == CollectionCopyOutcome::FileFailed)
            error = "Cannot write " + path + ": " + error;
        else if (outcome == CollectionCopyOutcome::CollectionFailed)
            error = "Cannot read the Collection " + collectionPath + ": " + error;
        return outcome;
    }
    written = path;
    return CollectionCopyOutcome::Done;
}
