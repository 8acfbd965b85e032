#pragma once
// What a backup, a restore and a merge share: a database opened only to be read, and a copy
// of a Collection taken, opened and checked whole before anything of it is used.

#include "CollectionBackup.h"

#include <memory>
#include <string>

class CCollection;
class CSqliteDb;

// An existing database, opened with the Collection's busy timeout, for writing where it can
// be (so that closing it removes the -wal and -shm a read leaves beside a file in WAL mode)
// though nothing is written; null with `error`. Nothing is written back at close until
// the caller knows the file is a Collection (CSqliteDb::SetCheckpointOnClose).
std::unique_ptr<CSqliteDb> OpenForReading(const std::string& path, std::string& error);

// Takes a copy of the Collection at `path` (a backup, another's Collection) to `copyPath`,
// consistent while others write to it, opens the copy as any Collection is opened (its
// application_id or, before that, its tables; an older version migrated) and runs the full
// check on it. `opened` is the copy, open; FileFailed, with `error` naming `path`, when it is
// not a whole Collection this program can use; Cancelled when `progress` says so.
CollectionCopyOutcome TakeCheckedCopy(const std::string& path, const std::string& copyPath,
                                      const CCollectionProgress& progress, std::unique_ptr<CCollection>& opened,
                                      std::string& error);
