// The work of the schema's steps that SQL alone cannot do.

#include "CollectionSchema.h"

#include "NameEnds.h"
#include "NameIndex.h"
#include "SoundBlocks.h"
#include "SoundIndex.h"
#include "SoundKey.h"
#include "SourceStore.h"
#include "SqliteDb.h"

#include "SyxProgram.h"

#include <memory>

namespace {

constexpr unsigned int NAME_SIZE = 12;

// Every program's sound key made again with the Collection's new key, a source at a time so
// that only one source's programs are in memory.
bool RekeySounds(CSqliteDb& db, const SoundHashKey& key, std::string& error)
{
    CSqliteQuery programs(db, "SELECT id, first_source, first_slot FROM program ORDER BY first_source, id");
    std::unique_ptr<CSourcePrograms> sources;
    std::int64_t currentSource = -1;
    while (programs.Next()) {
        const std::int64_t id = programs.Int(0);
        const std::int64_t source = programs.Int(1);
        if (source != currentSource) {
            sources = std::make_unique<CSourcePrograms>();
            currentSource = source;
        }
        const unsigned char* data = sources->SlotData(db, source, static_cast<int>(programs.Int(2)));
        if (data == nullptr) {
            error = "Program " + std::to_string(id) + " cannot be read: "
                + (sources->Error().empty() ? std::string("its source has no such slot") : sources->Error());
            return false;
        }
        const auto soundKey = static_cast<std::int64_t>(SipHash24(key, data + NAME_SIZE, PROGRAM_DATA_SIZE - NAME_SIZE));
        CSqliteQuery update(db, "UPDATE program SET sound_key = ? WHERE id = ?");
        if (!update.Bind(1, soundKey).Bind(2, id).Run()) {
            error = db.ErrorText();
            return false;
        }
    }
    if (programs.Failed()) {
        error = db.ErrorText();
        return false;
    }
    return true;
}

bool IndexEveryName(CSqliteDb& db, std::string& error)
{
    {
        if (!IndexNewSourceNames(db, true)) {
            error = db.ErrorText();
            return false;
        }
    }
    CSqliteQuery given(db, "SELECT program, name FROM program_name");
    while (given.Next()) {
        if (!IndexGivenName(db, given.Int(0), given.Text(1))) {
            error = db.ErrorText();
            return false;
        }
    }
    if (given.Failed()) {
        error = db.ErrorText();
        return false;
    }
    return true;
}

} // namespace

bool MigrateToVersion4(CSqliteDb& db, std::string& error)
{
    SoundHashKey key{};
    if (!MakeSoundHashKey(db, key, error) || !RekeySounds(db, key, error) || !IndexEveryName(db, error))
        return false;
    if (!db.Exec("INSERT INTO sound(key, program) SELECT sound_key, id FROM program ORDER BY sound_key, id;"
                 "INSERT INTO collection_state(key, value)"
                 " SELECT 'sounds_indexed_upto', coalesce(max(id), 0) FROM program")) {
        error = db.ErrorText();
        return false;
    }
    return true;
}

bool MigrateToVersion7(CSqliteDb& db, std::string& error)
{
    std::vector<SoundPair> pairs;
    {
        CSqliteQuery read(db, "SELECT key, program FROM sound ORDER BY key, program");
        while (read.Next())
            pairs.emplace_back(read.Int(0), read.Int(1));
        if (read.Failed()) {
            error = db.ErrorText();
            return false;
        }
    }
    std::int64_t programs = 0;
    {
        CSqliteQuery count(db, "SELECT coalesce(max(id), 0) FROM program");
        if (count.Next())
            programs = count.Int(0);
    }
    std::vector<unsigned char> filter;
    if (!MergeSoundPairs(db, pairs) || !db.Exec("DROP TABLE sound") || !MakeSoundFilter(db, programs, filter)) {
        error = db.ErrorText();
        return false;
    }
    return true;
}

bool MigrateToVersion8(CSqliteDb& db, std::string& error)
{
    if (!IndexNewSourceNames(db, true)) {
        error = db.ErrorText();
        return false;
    }
    return true;
}

bool MigrateToVersion9(CSqliteDb& db, std::string& error)
{
    if (!MakeNameEnds(db)) {
        error = db.ErrorText();
        return false;
    }
    return true;
}
