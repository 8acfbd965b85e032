// Opening the Collection: the file and its folder are made on first use, a damaged file is
// set aside (never deleted or overwritten) and a new one started, an older schema migrated.

#include "Collection.h"

#include "CollectionSchema.h"
#include "CollectionTime.h"
#include "NameIndex.h"
#include "SoundIndex.h"
#include "SqliteDb.h"

#include <sqlite3.h>

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

constexpr int BUSY_TIMEOUT_MS = 5000;
constexpr int BUSY_STEP_MS = 10;

// SQLite's busy handler while a cancel flag is set: waits as the busy timeout does, in
// short steps, and gives up at once when the flag is raised.
int WaitUnlessCancelled(void* flag, int attempts)
{
    if (static_cast<const std::atomic<bool>*>(flag)->load() || attempts * BUSY_STEP_MS >= BUSY_TIMEOUT_MS)
        return 0;
    sqlite3_sleep(BUSY_STEP_MS);
    return 1;
}

enum class OpenOutcome { Open, Damaged, Failed };

bool IsDamage(int code)
{
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

OpenOutcome Failure(const std::string& reason, std::string& error)
{
    error = reason;
    return OpenOutcome::Failed;
}

// Opens the file and checks it: SQLite's quick check, WAL mode, the schema.
OpenOutcome OpenChecked(const std::string& path, std::unique_ptr<CSqliteDb>& db, std::string& error)
{
    int code = 0;
    db = CSqliteDb::Open(path, code, error);
    if (!db)
        return IsDamage(code) ? OpenOutcome::Damaged : OpenOutcome::Failed;
    sqlite3_busy_timeout(db->Handle(), BUSY_TIMEOUT_MS);
    if (sqlite3_db_readonly(db->Handle(), "main") == 1)
        return Failure("The file is read-only", error);

    {
        CSqliteQuery check(*db, "PRAGMA quick_check");
        if (!check.Next())
            return IsDamage(db->ErrorCode()) ? OpenOutcome::Damaged : Failure(db->ErrorText(), error);
        if (check.Text(0) != "ok")
            return OpenOutcome::Damaged;
    }
    // Nothing of a file that is not ours, or is newer, is changed: not even its journal mode.
    switch (InspectSchema(*db, CollectionSchemaSteps(), error)) {
    case SchemaResult::Ready:
        break;
    case SchemaResult::Failed:
        return IsDamage(db->ErrorCode()) ? OpenOutcome::Damaged : OpenOutcome::Failed;
    default:
        return OpenOutcome::Failed;
    }
    {
        CSqliteQuery wal(*db, "PRAGMA journal_mode = WAL");
        if (!wal.Next())
            return IsDamage(db->ErrorCode()) ? OpenOutcome::Damaged : Failure(db->ErrorText(), error);
        if (wal.Text(0) != "wal")
            return Failure("The database could not be put in WAL mode", error);
    }
    // In WAL mode NORMAL loses no committed transaction on a crash of the program, only on
    // a crash of the machine, and a commit costs no disk sync.
    if (!db->Exec("PRAGMA synchronous = NORMAL; PRAGMA cache_size = -16384"))
        return Failure(db->ErrorText(), error);

    switch (PrepareSchema(*db, CollectionSchemaSteps(), error)) {
    case SchemaResult::Ready:
        return OpenOutcome::Open;
    case SchemaResult::Failed:
        return IsDamage(db->ErrorCode()) ? OpenOutcome::Damaged : OpenOutcome::Failed;
    default:
        return OpenOutcome::Failed;
    }
}

// Moves `from` to `to` unless `to` exists. 0, or the errno of the failure.
int MoveWithoutOverwriting(const std::string& from, const std::string& to)
{
    if (link(from.c_str(), to.c_str()) == 0)
        return unlink(from.c_str()) == 0 ? 0 : errno;
    if (errno == EEXIST || errno == ENOENT)
        return errno;
    // A file system without hard links: a rename, after checking the name is free.
    std::error_code ignored;
    if (std::filesystem::exists(to, ignored))
        return EEXIST;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// Renames the damaged file, with its write-ahead log and shared-memory index, to
// "<path>.damaged-yyyyMMdd-hhmmss" (a number added when that is taken). Empty `movedTo`
// when another process moved it first.
bool SetAside(const std::string& path, std::string& movedTo, std::string& error)
{
    const std::string stem = path + ".damaged-" + CompactLocalTime(NowSeconds());
    for (int attempt = 1; attempt < 100; ++attempt) {
        const std::string candidate = attempt == 1 ? stem : stem + "-" + std::to_string(attempt);
        const int result = MoveWithoutOverwriting(path, candidate);
        if (result == EEXIST)
            continue;
        if (result == ENOENT) {
            movedTo.clear();
            return true;
        }
        if (result != 0) {
            error = "It is damaged and could not be set aside: " + std::string(std::strerror(result));
            return false;
        }
        for (const char* suffix : {"-wal", "-shm"})
            MoveWithoutOverwriting(path + suffix, candidate + suffix);
        movedTo = candidate;
        return true;
    }
    error = "It is damaged and could not be set aside: too many damaged copies beside it";
    return false;
}

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return ".";
}

} // namespace

CCollection::CCollection(std::unique_ptr<CSqliteDb> db) : m_db(std::move(db)) {}

CCollection::~CCollection() = default;

std::string CCollection::DefaultPath()
{
    // A relative XDG_DATA_HOME is ignored, as the XDG base directory rules say.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const std::string base = dataHome != nullptr && dataHome[0] == '/' ? std::string(dataHome)
                                                                         : HomeFolder() + "/.local/share";
    return base + "/Veltrix/collection.sqlite";
}

std::unique_ptr<CCollection> CCollection::Open(const std::string& path, std::string& error, std::string& notice)
{
    error.clear();
    notice.clear();
    const std::string prefix = "Cannot use the Collection " + path + ". ";
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code failure;
    if (!folder.empty() && !std::filesystem::is_directory(folder, failure)
        && !std::filesystem::create_directories(folder, failure)) {
        error = prefix + "Cannot make its folder " + folder.string() + ": " + failure.message();
        return nullptr;
    }

    std::unique_ptr<CSqliteDb> db;
    std::string reason;
    OpenOutcome outcome = OpenChecked(path, db, reason);
    if (outcome == OpenOutcome::Damaged) {
        db.reset();   // closed before its file is moved
        std::string movedTo;
        if (!SetAside(path, movedTo, reason)) {
            error = prefix + reason;
            return nullptr;
        }
        if (!movedTo.empty())
            notice = "The Collection " + path + " was damaged. It was set aside as " + movedTo
                + " and a new, empty Collection was started.";
        outcome = OpenChecked(path, db, reason);
    }
    if (outcome != OpenOutcome::Open) {
        error = prefix + (reason.empty() ? std::string("It is damaged") : reason);
        return nullptr;
    }
    return std::unique_ptr<CCollection>(new CCollection(std::move(db)));
}

std::int64_t CCollection::ChangeCount()
{
    // data_version moves when another connection commits, total_changes when this one does.
    CSqliteQuery query(*m_db, "PRAGMA data_version");
    const std::int64_t others = query.Next() ? query.Int(0) : 0;
    return others + sqlite3_total_changes64(m_db->Handle());
}

void CCollection::SetCancelFlag(const std::atomic<bool>* cancel)
{
    if (cancel == nullptr)
        sqlite3_busy_timeout(m_db->Handle(), BUSY_TIMEOUT_MS);
    else
        sqlite3_busy_handler(m_db->Handle(), WaitUnlessCancelled, const_cast<std::atomic<bool>*>(cancel));
}
