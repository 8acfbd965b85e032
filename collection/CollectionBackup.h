#pragma once
// Moving house: a consistent copy of the Collection taken while the window and other
// processes write to it, and such a copy put back in its place.
//
// A backup copies the Collection's file and its write-ahead log inside one read transaction
// and folds the log into the copy: the copy is the Collection as it was at one commit at or
// after the moment the backup began, whatever is committed meanwhile, with everything
// committed before it (changes still in the write-ahead log included). A restore checks the copy
// whole, sets the current Collection aside (it is kept, never deleted) and puts the copy in
// its place, under an exclusive lock that no other connection may hold.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Told how far a long task is, `done` of `total` (bytes of a copy, sources of a merge; both 0
// while it cannot tell yet); returns false to stop it.
using CCollectionProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

enum class CollectionCopyOutcome {
    Done,
    Cancelled,       // the progress asked to stop: nothing was written or changed
    Refused,         // what was asked cannot be done: a copy onto the Collection itself...
    FileFailed,      // the copy could not be written (backup), or is not a good Collection (restore)
    CollectionFailed // the Collection could not be read, or is in use (restore)
};

// Writes a copy of the Collection at `collectionPath` to `target` (a folder gets a file
// "collection-yyyyMMdd-hhmmss.sqlite" in it). The copy is written beside the target and
// takes its place only when whole, so a failed or cancelled backup leaves no file and an
// earlier one as it was; like cp, it leaves the writing to the disk to the system.
// `written` gets the path of the copy.
CollectionCopyOutcome BackUpCollection(const std::string& collectionPath, const std::string& target,
                                       const CCollectionProgress& progress, std::string& written,
                                       std::string& error);

// Checks that `path` is a whole Collection of this version: a database, Veltrix's, passing
// the full check (SQLite's integrity check, every source's bytes against their hashes). False
// with an `error` saying what is wrong. Changes nothing.
bool CheckCollectionCopy(const std::string& path, std::string& error);

// Puts the copy at `copyPath` in the place of the Collection at `collectionPath`. The copy is
// taken in beside the Collection, opened as any Collection is opened (an older one migrated,
// so the file put in place is of this version) and checked whole; then, under the folder's
// lock and an exclusive lock on the file, the current Collection is renamed to
// "<path>.before-restore-yyyyMMdd-hhmmss" (kept with its write-ahead log's changes in it) and
// the copy takes its place; a view that followed the old file reads every row again.
// Refused while any other connection (the window, another veltrix-cli, this process) has the
// Collection open; the copy itself is left as it was. `setAside` gets where the old Collection
// went (empty when there was none).
CollectionCopyOutcome RestoreCollection(const std::string& collectionPath, const std::string& copyPath,
                                        const CCollectionProgress& progress, std::string& setAside,
                                        std::string& error);

// The name the Collection is moved to by a restore: "<path>.before-restore-yyyyMMdd-hhmmss".
std::string RestoreSetAsidePath(const std::string& collectionPath, std::int64_t at);

// The backups the window makes once a day while it runs: "collection-yyyyMMdd-hhmmss.sqlite"
// files in the folder "backups" beside the Collection (~/.local/share/Veltrix/backups).
std::string DailyBackupFolder(const std::string& collectionPath);
// Due when the folder holds no daily backup written in the 24 hours before `now` (seconds
// since the epoch).
bool DailyBackupDue(const std::string& folder, std::int64_t now);
// The daily backups in the folder beyond the newest `keep`, oldest first: those to remove.
// Only files named as daily backups are ever listed.
std::vector<std::string> DailyBackupsBeyond(const std::string& folder, std::size_t keep);
