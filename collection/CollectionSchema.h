#pragma once
// The Collection's tables and how an older file is brought up to them.
//
// The schema's version is the database's user_version, and a Collection carries Veltrix's
// application_id (files of versions 1 and 2 carry none: they are known by their tables).
// Each step takes the file from the version before it to its own; a file of an older
// version is copied aside (for example "collection.sqlite.before-v4") before its steps run,
// in one transaction.

#include <cstdint>
#include <string>
#include <vector>

class CSqliteDb;

// The application_id of a Collection: "VELT".
constexpr std::int32_t COLLECTION_APPLICATION_ID = 0x56454C54;

struct CSchemaStep {
    int version;        // the version this step brings the file to: 1, 2, ...
    const char* sql;
    // Work SQL alone cannot do, run after `sql` in the same transaction; may be null.
    bool (*code)(CSqliteDb& db, std::string& error) = nullptr;
};

// Adds a name (?2) to the names of a program (?1), unless it has it already.
extern const char* const ADD_PROGRAM_NAME_SQL;

// The Collection's steps; the last one's version is the current schema.
const std::vector<CSchemaStep>& CollectionSchemaSteps();

enum class SchemaResult {
    Ready,          // the file is at the last step's version
    NotCollection,  // another program's database: left alone
    Newer,          // made by a newer Veltrix: left alone
    Failed,         // the copy or a step failed; the file is as it was
};

// Whether the open database is a Collection this program can use (Ready), changing nothing.
// A file at an older version is Ready too: PrepareSchema brings it up.
SchemaResult InspectSchema(CSqliteDb& db, const std::vector<CSchemaStep>& steps, std::string& error);
// Whether the file is at the last step's version (after InspectSchema said Ready).
bool SchemaIsCurrent(CSqliteDb& db, const std::vector<CSchemaStep>& steps);

// Brings the open database at `db.Path()` to the last of `steps`. A new, empty file gets
// every step, with nothing copied aside.
SchemaResult PrepareSchema(CSqliteDb& db, const std::vector<CSchemaStep>& steps, std::string& error);

// The name a file is copied to before it is migrated to `version`: "<path>.before-v<version>",
// or with "-yyyyMMdd-hhmmss" added when that is taken.
std::string MigrationCopyPath(const std::string& path, int version);

// Version 4's own work: the sound keys made again with the Collection's key, the sounds'
// index and the names' search index filled (CollectionMigration.cpp).
bool MigrateToVersion4(CSqliteDb& db, std::string& error);
// Version 7's own work: the sounds' index moved into blocks, its filter made again.
bool MigrateToVersion7(CSqliteDb& db, std::string& error);
// Version 8's own work: every source's slot names in the remade index.
bool MigrateToVersion8(CSqliteDb& db, std::string& error);
// Version 9's own work: the name ends made from every program.
bool MigrateToVersion9(CSqliteDb& db, std::string& error);
