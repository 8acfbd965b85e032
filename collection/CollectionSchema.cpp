#include "CollectionSchema.h"

#include "CollectionTime.h"
#include "SqliteDb.h"

#include <filesystem>
#include <system_error>

namespace {

// Version 1. A program's row is small: its sound stays in the bytes of the first source it
// was seen in (a source keeps its bytes exactly as taken in), and is found by a 64-bit hash
// looked up in memory (see SoundIndex.h). So taking in a dump writes its bytes once and one
// small row per new program, and a search reads few pages.
const char* const SCHEMA_V1 = R"sql(
CREATE TABLE program(
  id INTEGER PRIMARY KEY,
  first_name TEXT NOT NULL,           -- first: a search reads it from every row
  sound_key INTEGER NOT NULL,         -- hash of bytes 12-253; on a collision the next free value
  first_source INTEGER NOT NULL,      -- where its bytes are: the first source it was seen in
  first_slot INTEGER NOT NULL,
  user_name TEXT,                     -- the user's last rename; NULL for none
  voice_mode INTEGER NOT NULL,        -- 0 Single, 1 Split, 2 Dual, 3 Vocoder
  favourite INTEGER NOT NULL DEFAULT 0,
  hidden INTEGER NOT NULL DEFAULT 0,
  comment TEXT NOT NULL DEFAULT '',
  first_seen INTEGER NOT NULL,        -- seconds since the epoch
  source_count INTEGER NOT NULL       -- distinct sources it appears in
);
CREATE TABLE program_name(            -- the names after the first, each once
  program INTEGER NOT NULL,
  seen INTEGER NOT NULL,              -- 1, 2... in the order seen or given
  name TEXT NOT NULL,
  PRIMARY KEY(program, seen)
) WITHOUT ROWID;
CREATE TABLE source(
  id INTEGER PRIMARY KEY,
  kind INTEGER NOT NULL,              -- 0 a file, 1 a receive from the synthesizer (2: see below)
  name TEXT NOT NULL,
  size INTEGER NOT NULL,
  content_hash INTEGER NOT NULL,      -- two independent hashes of the bytes
  content_check INTEGER NOT NULL,
  taken_in INTEGER NOT NULL,          -- seconds since the epoch
  program_count INTEGER NOT NULL,
  global_block BLOB,                  -- all-data dumps: the bytes after the programs
  bytes BLOB NOT NULL                 -- exactly the bytes taken in
);
CREATE INDEX source_by_content ON source(content_hash);
CREATE TABLE source_slots(            -- apart from the bytes, so that reading it reads few pages
  source INTEGER PRIMARY KEY,
  programs BLOB NOT NULL,             -- program ids in slot order, 8 bytes each, little-endian
  names BLOB NOT NULL                 -- the 12 name bytes of each slot: what a search by name
                                      -- reads, a source at a time rather than a row per program
);
CREATE TABLE tag(
  program INTEGER NOT NULL,
  tag TEXT NOT NULL COLLATE NOCASE,
  PRIMARY KEY(program, tag)
) WITHOUT ROWID;
CREATE INDEX tag_by_text ON tag(tag);
CREATE TABLE list(
  id INTEGER PRIMARY KEY,
  name TEXT NOT NULL UNIQUE
);
CREATE TABLE list_entry(
  list INTEGER NOT NULL,
  position INTEGER NOT NULL,
  program INTEGER NOT NULL,
  PRIMARY KEY(list, position)
) WITHOUT ROWID;
)sql";

// Version 2. A list saved from a bank keeps the name each slot had, so that the list gives the
// bank back byte for byte even when a program's shown name differs; lists of programs chosen
// in the Collection keep none (NULL) and show their programs' names. Sources of kind 2 are
// banks saved from the window that held sounds the Collection did not have.
const char* const SCHEMA_V2 = R"sql(
ALTER TABLE list_entry ADD COLUMN slot_name BLOB;   -- 12 name bytes, or NULL for the shown name
)sql";

// What Veltrix sent into the synthesizer's memory since its last receive: a whole bank
// (slot -1, 128 programs) or one program written into a slot. The synthesizer's memory as
// the Collection knows it is the last receive of 128 programs, or the last bank sent after
// it, with the slots written since; the receive's own bytes stay as they came. Rows older than
// the last receive, or than the last bank sent, are deleted as new ones come. The step only
// adds this table, and may run on a file that has it already.
const char* const SCHEMA_SYNTH_WRITES = R"sql(
CREATE TABLE IF NOT EXISTS synth_write(
  id INTEGER PRIMARY KEY,             -- in the order sent
  written_at INTEGER NOT NULL,        -- seconds since the epoch
  slot INTEGER NOT NULL,              -- 0-127, or -1 for a whole bank
  programs BLOB NOT NULL              -- 254 bytes, or 128 x 254 for a bank
);
)sql";

bool ReadVersion(CSqliteDb& db, int& version)
{
    CSqliteQuery query(db, "PRAGMA user_version");
    if (!query.Next())
        return false;
    version = static_cast<int>(query.Int(0));
    return true;
}

bool HasTables(CSqliteDb& db, bool& any)
{
    CSqliteQuery query(db, "SELECT count(*) FROM sqlite_schema");
    if (!query.Next())
        return false;
    any = query.Int(0) > 0;
    return true;
}

// Runs the steps after `from` and sets the version; inside the caller's transaction.
bool RunSteps(CSqliteDb& db, const std::vector<CSchemaStep>& steps, int from)
{
    for (const CSchemaStep& step : steps) {
        if (step.version <= from)
            continue;
        if (!db.Exec(step.sql))
            return false;
    }
    const std::string setVersion = "PRAGMA user_version = " + std::to_string(steps.back().version);
    return db.Exec(setVersion.c_str());
}

bool CopyAside(CSqliteDb& db, const std::string& copyPath)
{
    // VACUUM INTO writes a consistent copy, the write-ahead log's changes included.
    CSqliteQuery query(db, "VACUUM INTO ?");
    return query.BindText(1, copyPath).Run();
}

} // namespace

const char* const ADD_PROGRAM_NAME_SQL =
    "INSERT INTO program_name(program, seen, name)"
    " SELECT ?1, coalesce((SELECT max(seen) FROM program_name WHERE program = ?1), 0) + 1, ?2"
    " WHERE NOT EXISTS (SELECT 1 FROM program WHERE id = ?1 AND first_name = ?2)"
    " AND NOT EXISTS (SELECT 1 FROM program_name WHERE program = ?1 AND name = ?2)";

const std::vector<CSchemaStep>& CollectionSchemaSteps()
{
    // The synthesizer's writes are a step of their own: it changes no other table.
    static const std::vector<CSchemaStep> steps = {{1, SCHEMA_V1}, {2, SCHEMA_V2}, {3, SCHEMA_SYNTH_WRITES}};
    return steps;
}

std::string MigrationCopyPath(const std::string& path, int version)
{
    const std::string plain = path + ".before-v" + std::to_string(version);
    std::error_code ignored;
    if (!std::filesystem::exists(plain, ignored))
        return plain;
    return plain + "-" + CompactLocalTime(NowSeconds());
}

SchemaResult InspectSchema(CSqliteDb& db, const std::vector<CSchemaStep>& steps, std::string& error)
{
    int version = 0;
    bool anyTables = false;
    if (!ReadVersion(db, version) || !HasTables(db, anyTables)) {
        error = db.ErrorText();
        return SchemaResult::Failed;
    }
    if (version > steps.back().version) {
        error = "It was made by a newer version of Veltrix";
        return SchemaResult::Newer;
    }
    if (version == 0 && anyTables) {
        error = "It is a database of another program, not a Collection";
        return SchemaResult::NotCollection;
    }
    return SchemaResult::Ready;
}

SchemaResult PrepareSchema(CSqliteDb& db, const std::vector<CSchemaStep>& steps, std::string& error)
{
    const int target = steps.back().version;
    const SchemaResult inspected = InspectSchema(db, steps, error);
    int version = 0;
    if (inspected != SchemaResult::Ready)
        return inspected;
    if (!ReadVersion(db, version)) {
        error = db.ErrorText();
        return SchemaResult::Failed;
    }
    if (version == target)
        return SchemaResult::Ready;

    // An older file is copied aside before anything of it changes.
    std::string copyPath;
    if (version > 0) {
        copyPath = MigrationCopyPath(db.Path(), target);
        if (!CopyAside(db, copyPath)) {
            error = "Could not copy it aside to " + copyPath + " before updating it: " + db.ErrorText();
            return SchemaResult::Failed;
        }
    }

    CSqliteTransaction transaction(db);
    int current = 0;
    if (!transaction.Began() || !ReadVersion(db, current)) {
        error = db.ErrorText();
        return SchemaResult::Failed;
    }
    // Another connection may have done it meanwhile: then the copy made here is not needed.
    if (current == target) {
        if (!copyPath.empty()) {
            std::error_code ignored;
            std::filesystem::remove(copyPath, ignored);
        }
        return SchemaResult::Ready;
    }
    if (!RunSteps(db, steps, current)) {
        error = db.ErrorText();
        return SchemaResult::Failed;
    }
    if (!transaction.Commit()) {
        error = db.ErrorText();
        return SchemaResult::Failed;
    }
    return SchemaResult::Ready;
}
