// Opening the Collection: the file and its folder are made on first use, a file that is not
// ours is refused and left alone, a damaged file is set aside (never deleted or overwritten)
// and a new one started, an older schema migrated.

#include "Collection.h"

#include "BackgroundCheckpoints.h"
#include "CollectionErrors.h"
#include "CollectionFile.h"
#include "CollectionSchema.h"
#include "NameIndex.h"
#include "SoundIndex.h"
#include "SqliteDb.h"

#include <sqlite3.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
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

enum class OpenOutcome { Open, Damaged, Failed, NeedsWriting };

bool IsDamage(int code)
{
    return code == SQLITE_NOTADB || code == SQLITE_CORRUPT;
}

OpenOutcome Failure(const std::string& reason, std::string& error)
{
    error = reason;
    return OpenOutcome::Failed;
}

OpenOutcome FailureOf(CSqliteDb& db, std::string& error)
{
    if (IsDamage(db.ErrorCode()))
        return OpenOutcome::Damaged;
    error = DatabaseError(db);
    return OpenOutcome::Failed;
}

// "file:" URI of a path, for opening a file on a read-only disk without a shared-memory index.
std::string ImmutableUri(const std::string& path)
{
    std::string uri = "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static const char digits[] = "0123456789ABCDEF";
            uri += '%';
            uri += digits[(static_cast<unsigned char>(c) >> 4) & 0xF];
            uri += digits[static_cast<unsigned char>(c) & 0xF];
        } else {
            uri += c;
        }
    }
    return uri + "?immutable=1";
}

// Opens the file and checks it, changing nothing until it is known to be a Collection of
// this version or an older one: the full check (after an unclean shutdown), the schema,
// then WAL mode and the migrations. `readOnly` opens it for reading and writes nothing.
OpenOutcome OpenChecked(const std::string& path, bool readOnly, bool fullCheck, std::unique_ptr<CSqliteDb>& db,
                        std::string& error)
{
    int code = 0;
    if (!db)
        db = readOnly ? CSqliteDb::OpenReadOnly(path, code, error) : CSqliteDb::Open(path, code, error);
    if (!db)
        return IsDamage(code) ? OpenOutcome::Damaged : Failure(DatabaseProblem(code, error), error);
    sqlite3_busy_timeout(db->Handle(), BUSY_TIMEOUT_MS);
    if (!readOnly && sqlite3_db_readonly(db->Handle(), "main") == 1)
        return OpenOutcome::NeedsWriting;
    // Each page read is checked more closely, so that damage on a write's way is found
    // before the write.
    db->Exec("PRAGMA cell_size_check = ON");

    if (fullCheck) {
        CSqliteQuery check(*db, "PRAGMA quick_check");
        if (!check.Next())
            return FailureOf(*db, error);
        if (check.Text(0) != "ok")
            return OpenOutcome::Damaged;
    }
    // Nothing of a file that is not ours, or is newer, is changed: not even its journal mode.
    switch (InspectSchema(*db, CollectionSchemaSteps(), error)) {
    case SchemaResult::Ready:
        break;
    case SchemaResult::Failed:
        return FailureOf(*db, error);
    default:
        return OpenOutcome::Failed;
    }
    if (readOnly)
        return SchemaIsCurrent(*db, CollectionSchemaSteps()) ? OpenOutcome::Open : OpenOutcome::NeedsWriting;

    // A new file gets pages of 16 KB: a dump's bytes (about 37 KB) then take three pages rather
    // than ten, and taking dumps in writes and logs fewer pages. Larger pages cost more than
    // they save: another connection reads whole pages again after each commit, so a view
    // following another process's imports held the window's thread longer with pages of 32 KB.
    // A file that has pages keeps their size (WAL mode cannot change it).
    bool empty = false;
    {
        CSqliteQuery pages(*db, "PRAGMA page_count");
        empty = pages.Next() && pages.Int(0) == 0;
    }
    if (empty && !db->Exec("PRAGMA page_size = 16384"))
        return FailureOf(*db, error);
    {
        CSqliteQuery wal(*db, "PRAGMA journal_mode = WAL");
        if (!wal.Next())
            return FailureOf(*db, error);
        if (wal.Text(0) != "wal")
            return Failure("The database could not be put in WAL mode", error);
    }
    db->SetCheckpointOnClose(true);
    // In WAL mode NORMAL loses no committed transaction on a crash of the program, only on
    // a crash of the machine, and a commit costs no disk sync.
    // A log that grew long while a reader held back its checkpoints (a backup, a long read)
    // is cut back to 16 MiB when it starts again, rather than kept at its longest for ever.
    if (!db->Exec("PRAGMA synchronous = NORMAL; PRAGMA cache_size = -16384; PRAGMA journal_size_limit = 16777216"))
        return FailureOf(*db, error);
    // The log is written back once it holds 4 MB, whatever the page size (SQLite counts
    // pages), so that a backup beside a writer has as little of it to copy with larger pages.
    {
        std::int64_t pageSize = 4096;
        {
            CSqliteQuery size(*db, "PRAGMA page_size");
            if (size.Next() && size.Int(0) > 0)
                pageSize = size.Int(0);
        }
        const std::string checkpoint = "PRAGMA wal_autocheckpoint = " + std::to_string(4194304 / pageSize);
        if (!db->Exec(checkpoint.c_str()))
            return FailureOf(*db, error);
    }

    switch (PrepareSchema(*db, CollectionSchemaSteps(), error)) {
    case SchemaResult::Ready:
        return OpenOutcome::Open;
    case SchemaResult::Failed:
        if (IsDamage(db->ErrorCode()))
            return OpenOutcome::Damaged;
        return OpenOutcome::Failed;
    default:
        return OpenOutcome::Failed;
    }
}

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
        return entry->pw_dir;
    return ".";
}

bool MakeFolder(const std::string& path, std::string& error)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code failure;
    if (!folder.empty() && !std::filesystem::is_directory(folder, failure)
        && !std::filesystem::create_directories(folder, failure)) {
        error = "Cannot make its folder " + folder.string() + ": " + failure.message();
        return false;
    }
    return true;
}

const char* const NOT_A_DATABASE =
    "It is not a Collection, nor any database (another kind of file?). It is left as it is: name another "
    "file, or move this one away and a new Collection is started there";

const char* const DAMAGED_AS_IT_IS =
    "It is damaged (cut short, or its tables cannot be read). It is left as it is; the next command that changes "
    "the Collection, or the window, sets it aside and starts a new, empty one";

std::string StaleLogAdvice(const std::string& path)
{
    return "It is damaged, and the write-ahead log " + path + "-wal beside it was left by a session that did not "
           "end cleanly. If you put the file back from a copy, that log belongs to the file it replaced: move " + path
        + "-wal and " + path + "-shm away and start again. Otherwise move the file aside, and a new Collection is "
          "started. Nothing was changed";
}

// Opens the file for writing; a damaged one is set aside under the folder's lock, checked
// again under it, and a new one started.
OpenOutcome OpenForWriting(const std::string& path, bool leftOpen, std::unique_ptr<CSqliteDb>& db,
                           std::string& reason, std::string& notice)
{
    const CFileFacts facts = InspectCollectionFile(path, true);
    if (facts.kind == FileKind::NotDatabase)
        return Failure(NOT_A_DATABASE, reason);
    OpenOutcome outcome = facts.kind == FileKind::CutShort ? OpenOutcome::Damaged
                                                           : OpenChecked(path, false, leftOpen, db, reason);
    if (outcome == OpenOutcome::NeedsWriting)
        return Failure("The file is read-only", reason);
    if (outcome != OpenOutcome::Damaged)
        return outcome;
    db.reset();   // closed before its file is moved
    if (leftOpen)
        return Failure(StaleLogAdvice(path), reason);

    // Another process may have found it damaged too, and set it aside and started anew: what
    // is at the path now is judged again, under the lock, before anything is moved.
    const CFolderLock lock(path);
    const CFileFacts again = InspectCollectionFile(path, true);
    if (again.kind == FileKind::NotDatabase)
        return Failure(NOT_A_DATABASE, reason);
    outcome = again.kind == FileKind::CutShort ? OpenOutcome::Damaged : OpenChecked(path, false, true, db, reason);
    if (outcome != OpenOutcome::Damaged)
        return outcome;
    db.reset();
    std::string movedTo;
    if (!SetAsideDamaged(path, movedTo, reason))
        return OpenOutcome::Failed;
    if (!movedTo.empty())
        notice = "The Collection " + path + " was damaged. It was set aside as " + movedTo
            + " and a new, empty Collection was started.";
    outcome = OpenChecked(path, false, false, db, reason);
    return outcome == OpenOutcome::NeedsWriting ? Failure("The file is read-only", reason) : outcome;
}

} // namespace

CCollection::CCollection(std::unique_ptr<CSqliteDb> db, std::string registered)
    : m_db(std::move(db)), m_registered(std::move(registered))
{
}

CCollection::~CCollection()
{
    m_checkpoints.reset();   // its thread's connection closed first
    m_sounds.reset();
    m_names.reset();
    m_sideReader.reset();
    m_db.reset();   // closed before this process stops counting it as a user
    CFileUse::Unregister(m_registered);
}

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
    std::string reason;
    if (!MakeFolder(path, reason)) {
        error = prefix + reason;
        return nullptr;
    }
    const std::string file = ResolvedCollectionPath(path);
    bool leftOpen = false;
    CFileUse::Register(file, InspectCollectionFile(file).logHasFrames, leftOpen);
    std::unique_ptr<CSqliteDb> db;
    if (OpenForWriting(file, leftOpen, db, reason, notice) != OpenOutcome::Open) {
        db.reset();
        CFileUse::Unregister(file);
        error = prefix + (reason.empty() ? std::string("It is damaged") : reason);
        return nullptr;
    }
    return std::unique_ptr<CCollection>(new CCollection(std::move(db), file));
}

std::unique_ptr<CCollection> CCollection::OpenForReading(const std::string& path, std::string& error,
                                                         std::string& notice, bool onlyAsItIs)
{
    error.clear();
    notice.clear();
    const std::string prefix = "Cannot use the Collection " + path + ". ";
    const std::string file = ResolvedCollectionPath(path);
    const CFileFacts facts = InspectCollectionFile(file);
    if (facts.kind == FileKind::NotDatabase) {
        error = prefix + NOT_A_DATABASE;
        return nullptr;
    }
    // As it is, or a new file is made, an older one migrated, a damaged one set aside.
    const auto asForWriting = [&](const std::string& why) -> std::unique_ptr<CCollection> {
        if (!onlyAsItIs)
            return Open(path, error, notice);
        error = prefix + why;
        return nullptr;
    };
    if (facts.kind == FileKind::Missing || facts.kind == FileKind::Empty)
        return asForWriting("There is no Collection there yet");
    if (facts.kind == FileKind::CutShort)
        return asForWriting(DAMAGED_AS_IT_IS);
    bool leftOpen = false;
    CFileUse::Register(file, facts.logHasFrames, leftOpen);
    std::unique_ptr<CSqliteDb> db;
    std::string reason;
    OpenOutcome outcome = OpenChecked(file, true, leftOpen, db, reason);
    if (outcome == OpenOutcome::Failed && db && !facts.logHasFrames
        && (db->ErrorCode() == SQLITE_CANTOPEN || db->ErrorCode() == SQLITE_READONLY)) {
        // A disk with no room or no right for the shared-memory index, and no log to read:
        // the file is read as it lies, as nothing can be writing it.
        db.reset();
        int code = 0;
        db = CSqliteDb::OpenWith(ImmutableUri(file), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, code, reason);
        outcome = db ? OpenChecked(file, true, false, db, reason) : OpenOutcome::Failed;
    }
    if (outcome == OpenOutcome::Open)
        return std::unique_ptr<CCollection>(new CCollection(std::move(db), file));
    db.reset();
    CFileUse::Unregister(file);
    if (outcome == OpenOutcome::Failed) {
        error = prefix + reason;
        return nullptr;
    }
    return asForWriting(outcome == OpenOutcome::Damaged ? DAMAGED_AS_IT_IS
                                                        : "It needs updating to this version of Veltrix, which any "
                                                          "command that changes it does");
}

std::int64_t CCollection::ChangeCount()
{
    // data_version moves when another connection commits, total_changes when this one does.
    CSqliteQuery query(*m_db, "PRAGMA data_version");
    const std::int64_t others = query.Next() ? query.Int(0) : 0;
    return others + sqlite3_total_changes64(m_db->Handle());
}

void CCollection::ReadFailure()
{
    if (m_readError.empty())
        m_readError = DatabaseError(*m_db);
}

bool CCollection::CanWrite(std::string& error) const
{
    if (!m_db->ReadOnly())
        return true;
    error = "The Collection was opened for reading only";
    return false;
}

bool CCollection::ChangeTogether(const std::function<bool(std::string& error)>& change, std::string& error)
{
    if (!CanWrite(error))
        return false;
    CSqliteTransaction transaction(*m_db);
    if (!transaction.Began()) {
        error = DatabaseError(*m_db);
        return false;
    }
    if (!change(error))
        return false;
    if (!transaction.Commit()) {
        error = DatabaseError(*m_db);
        return false;
    }
    return true;
}

void CCollection::SetCancelFlag(const std::atomic<bool>* cancel)
{
    if (cancel == nullptr)
        sqlite3_busy_timeout(m_db->Handle(), BUSY_TIMEOUT_MS);
    else
        sqlite3_busy_handler(m_db->Handle(), WaitUnlessCancelled, const_cast<std::atomic<bool>*>(cancel));
}
