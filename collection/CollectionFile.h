#pragma once
// What can be told of a Collection's file before SQLite opens it, and the file-system work
// around it: the cheap checks of its header, whether a process left it without closing it,
// which files this process has open, the lock under which a damaged file is set aside.

#include <cstdint>
#include <string>

enum class FileKind {
    Missing,        // no file: a new Collection is made
    Empty,          // no bytes: SQLite takes it as a new database
    NotDatabase,    // not an SQLite file at all: never touched
    Database,       // an SQLite file whose header and length agree
    CutShort,       // an SQLite file shorter than its header says: damaged
};

struct CFileFacts {
    FileKind kind = FileKind::Missing;
    bool logHasFrames = false;   // a write-ahead log with committed pages lies beside it
};

// The file a path names, links followed; the path itself when it does not exist yet.
std::string ResolvedCollectionPath(const std::string& path);

// The cheap checks of the file's header and length. `registeredHere`: the caller counts as a
// user of the file already (CFileUse) but has no connection to it yet.
CFileFacts InspectCollectionFile(const std::string& path, bool registeredHere = false);

// Counts the connections this process has to each file (by resolved path), so that whether
// another process uses a file can be asked without disturbing this process's own locks.
class CFileUse
{
public:
    // Registers one more user of `path`. `leftOpen` is set when a write-ahead log with pages
    // lies beside it and no process at all uses it: its last user ended without closing it.
    static void Register(const std::string& path, bool logHasFrames, bool& leftOpen);
    static void Unregister(const std::string& path);
};

// One more user of a file (its resolved path) while it lasts, for a connection that is not a
// CCollection's: a backup's reading the Collection.
class CFileUseRegistration
{
public:
    explicit CFileUseRegistration(const std::string& path);
    ~CFileUseRegistration();
    CFileUseRegistration(const CFileUseRegistration&) = delete;
    CFileUseRegistration& operator=(const CFileUseRegistration&) = delete;

private:
    std::string m_path;
};

// An exclusive lock over the Collections of one folder, held while a damaged file is set
// aside and a new one started. Released when it goes.
class CFolderLock
{
public:
    explicit CFolderLock(const std::string& path);
    ~CFolderLock();
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

private:
    int m_fd = -1;
};

// Renames the damaged file, with its write-ahead log and shared-memory index, to
// "<path>.damaged-yyyyMMdd-hhmmss" (a number added when that is taken). Empty `movedTo` when
// the file was gone.
bool SetAsideDamaged(const std::string& path, std::string& movedTo, std::string& error);
