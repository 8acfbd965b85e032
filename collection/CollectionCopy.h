#pragma once
// What a backup and a restore share: a database opened only to be read, and copied page by
// page into a new file.

#include "CollectionBackup.h"

#include <memory>
#include <string>

class CSqliteDb;

// An existing database, opened read-only with the Collection's busy timeout; null with `error`.
std::unique_ptr<CSqliteDb> OpenForReading(const std::string& path, std::string& error);

// Copies `source` into the empty file `destination` with SQLite's backup API. Inside a read
// transaction of `source` the copy is of that transaction's view of it. Cancelled when
// `progress` says so; FileFailed or CollectionFailed (a fault in reading `source`) with `error`.
CollectionCopyOutcome CopyDatabase(CSqliteDb& source, const std::string& destination,
                                   const CCollectionProgress& progress, std::string& error);
