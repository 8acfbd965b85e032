#include "CollectionSchema.h"

#include "CollectionTime.h"
#include "SqliteDb.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
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
  kind INTEGER NOT NULL,              -- 0 a file, 1 a receive from the synthesizer (2, 3: see below)
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
// banks saved from the window that held sounds the Collection did not have; sources of kind 3
// are programs kept from the window's Program Editor (no change to the tables).
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

// Version 4. A Collection says it is one (application_id). Sounds are found through an index
// in the database, keyed by a hash with the Collection's own key so that no file can be made
// to collide; names are found through a trigram index; every change a view shows is logged.
const char* const SCHEMA_V4 = R"sql(
PRAGMA application_id = 1447382100;   -- "VELT"
CREATE TABLE collection_state(        -- 'sound_hash_key' (16 bytes), 'sounds_indexed_upto' (a
  key TEXT PRIMARY KEY,               -- program id), 'names_indexed_upto' (a source id),
  value NOT NULL                      -- 'last_full_check' (seconds since the epoch)
) WITHOUT ROWID;
CREATE TABLE sound(                   -- the programs up to sounds_indexed_upto by their sound key;
  key INTEGER NOT NULL,               -- later ones are found from program.sound_key (SoundIndex.h)
  program INTEGER NOT NULL,
  PRIMARY KEY(key, program)
) WITHOUT ROWID;
CREATE TABLE change_log(              -- what a view must read again; the newest 65,536 are kept
  seq INTEGER PRIMARY KEY,
  kind INTEGER NOT NULL,              -- 0 a program's marks, names or comment; 1 its tags;
  item INTEGER NOT NULL               -- 2 a source taken in (its programs); 3 a list
);
CREATE TRIGGER change_log_trim AFTER INSERT ON change_log WHEN NEW.seq % 1024 = 0 BEGIN
  DELETE FROM change_log WHERE seq <= NEW.seq - 65536;
END;
CREATE TRIGGER program_changed AFTER UPDATE OF favourite, hidden, user_name, comment ON program
  WHEN OLD.favourite IS NOT NEW.favourite OR OLD.hidden IS NOT NEW.hidden
    OR OLD.user_name IS NOT NEW.user_name OR OLD.comment IS NOT NEW.comment BEGIN
  INSERT INTO change_log(kind, item) VALUES(0, NEW.id);
END;
CREATE TRIGGER program_name_added AFTER INSERT ON program_name BEGIN
  INSERT INTO change_log(kind, item) VALUES(0, NEW.program);
END;
CREATE TRIGGER tag_added AFTER INSERT ON tag BEGIN
  INSERT INTO change_log(kind, item) VALUES(1, NEW.program);
END;
CREATE TRIGGER tag_removed AFTER DELETE ON tag BEGIN
  INSERT INTO change_log(kind, item) VALUES(1, OLD.program);
END;
CREATE TRIGGER source_added AFTER INSERT ON source BEGIN
  INSERT INTO change_log(kind, item) VALUES(2, NEW.id);
END;
CREATE TRIGGER list_removed AFTER DELETE ON list BEGIN
  INSERT INTO change_log(kind, item) VALUES(3, OLD.id);
END;
CREATE INDEX program_favourites ON program(favourite) WHERE favourite = 1;
CREATE INDEX program_hidden ON program(hidden) WHERE hidden = 1;
CREATE VIRTUAL TABLE source_name_search USING fts5(   -- a source's slot names, one per line, for
  names, tokenize = 'trigram case_sensitive 1',       -- the sources up to names_indexed_upto
  content = '', detail = 'none', columnsize = 0);
CREATE VIRTUAL TABLE given_name_search USING fts5(    -- the names in program_name
  name, program UNINDEXED, tokenize = 'trigram case_sensitive 1');
)sql";

// Version 5. A rename keeps its time, so that of two renames of one program, in two
// Collections merged, the later is shown; NULL for none, and for renames made before.
const char* const SCHEMA_V5 = R"sql(
ALTER TABLE program ADD COLUMN renamed_at INTEGER;   -- seconds since the epoch
)sql";

// Version 6. The sounds' Bloom filter (megabytes for a large Collection) moves out of
// collection_state into a table of rowid: in a table WITHOUT ROWID every lookup of another
// key that passed its row read the whole filter to compare keys. Made again by version 7's
// code, whatever the file held before.
const char* const SCHEMA_V6 = R"sql(
CREATE TABLE IF NOT EXISTS sound_filter(   -- one row (id 1): the Bloom filter of the keys in `sound`
  id INTEGER PRIMARY KEY,
  bits BLOB NOT NULL
);
DELETE FROM collection_state WHERE key = 'sound_filter';
)sql";

// Version 7. The sounds' index is kept in sorted blocks of pairs (SoundBlocks.h) rather than a
// row per program: folding programs in rewrites a few thousand rows in order rather than
// inserting each program at a random place. The step's code moves the pairs of `sound` into
// blocks, drops it and makes the filter again.
const char* const SCHEMA_V7 = R"sql(
CREATE TABLE sound_block(             -- the programs up to sounds_indexed_upto by sound key
  first_key INTEGER PRIMARY KEY,      -- the block's lowest key; blocks do not overlap
  pairs BLOB NOT NULL                 -- (key, program) pairs, 8 + 8 bytes little-endian, sorted
);
)sql";

// Version 8. The slot names' index made with a tokenizer of its own (NameTokenizer.h): each
// three characters once per source, none across two names; about a third smaller and
// quicker to write. The step's code indexes every source again. The list of sources read
// from an index of its own: a source's row holds the first kilobytes of its bytes, so that
// reading every row read most of a page per source.
const char* const SCHEMA_V8 = R"sql(
CREATE INDEX source_listed ON source(taken_in, id, kind, name, program_count, size);
DROP TABLE source_name_search;
CREATE VIRTUAL TABLE source_name_search USING fts5(   -- a source's slot names, one per line, for
  names, tokenize = 'veltrix_names',                  -- the sources up to names_indexed_upto
  content = '', detail = 'none', columnsize = 0);
DELETE FROM collection_state WHERE key = 'names_indexed_upto';
)sql";

// Version 9. The programs whose shown names come first and last (NameEnds.h), so that a table
// of every program shows its first rows without reading every row. The step's code fills them.
const char* const SCHEMA_V9 = R"sql(
CREATE TABLE name_end(                -- the programs whose shown names come first (side 0) or
  side INTEGER NOT NULL,              -- last (side 1)
  program INTEGER NOT NULL,
  PRIMARY KEY(side, program)
) WITHOUT ROWID;
CREATE TABLE name_end_bound(          -- each side's bound: the last program it held when it was
  side INTEGER PRIMARY KEY,           -- narrowed, counted from its end; NULL for none (it holds
  name TEXT,                          -- every program)
  program INTEGER,
  keep INTEGER NOT NULL,              -- how many programs it keeps when narrowed
  held INTEGER NOT NULL DEFAULT 0     -- how many it holds: past twice `keep` it is narrowed
);
INSERT INTO name_end_bound(side, keep) VALUES(0, 1024), (1, 1024);
)sql";

// The tables a file of versions 1 to 3 has: how a Collection from before application_id is
// told from another program's database.
constexpr int LAST_VERSION_WITHOUT_ID = 3;
const char* const OLD_COLLECTION_TABLES[] = {"program", "program_name", "source", "source_slots", "tag", "list",
                                             "list_entry"};

bool ReadInt(CSqliteDb& db, const char* sql, std::int64_t& value)
{
    CSqliteQuery query(db, sql);
    if (!query.Next())
        return false;
    value = query.Int(0);
    return true;
}

bool ReadVersion(CSqliteDb& db, int& version)
{
    std::int64_t value = 0;
    if (!ReadInt(db, "PRAGMA user_version", value))
        return false;
    version = static_cast<int>(value);
    return true;
}

// Whether the file has every table of a first- or second-version Collection.
bool HasOldCollectionTables(CSqliteDb& db, bool& has)
{
    has = true;
    for (const char* table : OLD_COLLECTION_TABLES) {
        CSqliteQuery query(db, "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?");
        if (!query.BindText(1, table).Next()) {
            if (query.Failed())
                return false;
            has = false;
        }
    }
    return true;
}

// Runs the steps after `from` and sets the version; inside the caller's transaction.
bool RunSteps(CSqliteDb& db, const std::vector<CSchemaStep>& steps, int from, std::string& error)
{
    for (const CSchemaStep& step : steps) {
        if (step.version <= from)
            continue;
        if (!db.Exec(step.sql)) {
            error = db.ErrorText();
            return false;
        }
        if (step.code != nullptr && !step.code(db, error))
            return false;
    }
    const std::string setVersion = "PRAGMA user_version = " + std::to_string(steps.back().version);
    if (!db.Exec(setVersion.c_str())) {
        error = db.ErrorText();
        return false;
    }
    return true;
}

// Writes a consistent copy (the write-ahead log's changes included) under a name of its own,
// then gives it its name: a copy cut short by a kill is never taken for a whole one.
bool CopyAside(CSqliteDb& db, const std::string& copyPath)
{
    const std::string partial = copyPath + ".partial-" + std::to_string(getpid());
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);   // left by an earlier process of this number
    CSqliteQuery query(db, "VACUUM INTO ?");
    if (!query.BindText(1, partial).Run()) {
        std::filesystem::remove(partial, ignored);
        return false;
    }
    // Never over a copy another process made meanwhile.
    if (link(partial.c_str(), copyPath.c_str()) != 0 && errno != EEXIST
        && std::rename(partial.c_str(), copyPath.c_str()) != 0) {
        std::filesystem::remove(partial, ignored);
        return false;
    }
    std::filesystem::remove(partial, ignored);
    return true;
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
    static const std::vector<CSchemaStep> steps = {
        {1, SCHEMA_V1}, {2, SCHEMA_V2}, {3, SCHEMA_SYNTH_WRITES}, {4, SCHEMA_V4, MigrateToVersion4},
        {5, SCHEMA_V5}, {6, SCHEMA_V6}, {7, SCHEMA_V7, MigrateToVersion7},
        {8, SCHEMA_V8, MigrateToVersion8}, {9, SCHEMA_V9, MigrateToVersion9}};
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
    const std::string notOurs = "It is a database of another program, not a Collection";
    int version = 0;
    std::int64_t application = 0;
    std::int64_t tables = 0;
    if (!ReadVersion(db, version) || !ReadInt(db, "PRAGMA application_id", application)
        || !ReadInt(db, "SELECT count(*) FROM sqlite_schema", tables)) {
        error = db.ErrorText();
        return SchemaResult::Failed;
    }
    if (application == COLLECTION_APPLICATION_ID) {
        if (version > steps.back().version) {
            error = "It was made by a newer version of Veltrix";
            return SchemaResult::Newer;
        }
        return SchemaResult::Ready;
    }
    if (application != 0) {
        error = notOurs;
        return SchemaResult::NotCollection;
    }
    if (version == 0 && tables == 0)
        return SchemaResult::Ready;   // a new, empty file
    // Before application_id a Collection was known by its version and its tables.
    bool oldCollection = false;
    if (version >= 1 && version <= LAST_VERSION_WITHOUT_ID && !HasOldCollectionTables(db, oldCollection)) {
        error = db.ErrorText();
        return SchemaResult::Failed;
    }
    if (!oldCollection) {
        error = notOurs;
        return SchemaResult::NotCollection;
    }
    return SchemaResult::Ready;
}

bool SchemaIsCurrent(CSqliteDb& db, const std::vector<CSchemaStep>& steps)
{
    int version = 0;
    return ReadVersion(db, version) && version == steps.back().version;
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
    if (!RunSteps(db, steps, current, error))
        return SchemaResult::Failed;
    if (!transaction.Commit()) {
        error = db.ErrorText();
        return SchemaResult::Failed;
    }
    return SchemaResult::Ready;
}
