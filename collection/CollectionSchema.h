#pragma once
// The Collection's tables and how an older file is brought up to them.
//
// The schema's version is the database's user_version. Each step takes the file from the
// version before it to its own; a file of an older version is copied aside (for example
// "collection.sqlite.before-v2") before its steps run, in one transaction.

#include <string>
#include <vector>

class CSqliteDb;

struct CSchemaStep {
    int version;        // the version this step brings the file to: 1, 2, ...
    const char* sql;
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
SchemaResult InspectSchema(CSqliteDb& db, const std::vector<CSchemaStep>& steps, std::string& error);

// Brings the open database at `db.Path()` to the last of `steps`. A new, empty file gets
// every step, with nothing copied aside.
SchemaResult PrepareSchema(CSqliteDb& db, const std::vector<CSchemaStep>& steps, std::string& error);

// The name a file is copied to before it is migrated to `version`: "<path>.before-v<version>",
// or with "-yyyyMMdd-hhmmss" added when that is taken.
std::string MigrationCopyPath(const std::string& path, int version);
