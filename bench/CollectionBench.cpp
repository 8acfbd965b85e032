// The Collection on 1,000 dump files of distinct programs (128,000 programs; 10,000 files,
// 1,280,000 programs, in the big run): taking them in, taking them in again, a search by a
// name fragment, and the database's size. The baseline of the first is the least any
// database of them costs: the same programs inserted as rows of one table with one prepared
// statement in one transaction; beside it, the import's own rows written with nothing else.

#include "BenchDumpCache.h"
#include "BenchLibrary.h"
#include "BenchScale.h"
#include "BenchSummary.h"

#include "Collection.h"
#include "ImportBatch.h"
#include "ProgramList.h"
#include "SyxProgram.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

const char* const SEARCH_FRAGMENT = CACHED_ONE_PERCENT_FRAGMENT;

const std::vector<std::string>& DumpPaths()
{
    static const std::vector<std::string> paths = CachedBenchDumps(0, CollectionBenchDumpCount());
    return paths;
}

// The Collection the import of new dumps left, once it took every file in: the filled
// Collection of the benchmarks after it, rather than taking them all in once more.
std::string g_importedDatabase;

// A folder for the databases, removed at exit.
const std::string& DatabaseFolder()
{
    // Never destroyed: the removal at exit runs after the statics are gone.
    static const std::string* const folder = [] {
        char pattern[] = "/tmp/veltrix-collection-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        const auto* made = new std::string(pattern);
        std::atexit([] { std::filesystem::remove_all(DatabaseFolder()); });
        return made;
    }();
    return *folder;
}

void RemoveDatabase(const std::string& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(path + suffix);
}

std::uintmax_t DatabaseBytes(const std::string& path)
{
    std::uintmax_t total = 0;
    for (const char* suffix : {"", "-wal"})
        if (std::filesystem::exists(path + suffix))
            total += std::filesystem::file_size(path + suffix);
    return total;
}

std::uintmax_t DumpBytes()
{
    std::uintmax_t total = 0;
    for (const std::string& path : DumpPaths())
        total += std::filesystem::file_size(path);
    return total;
}

std::unique_ptr<CCollection> OpenOrDie(const std::string& path)
{
    std::string error, notice;
    std::unique_ptr<CCollection> collection = CCollection::Open(path, error, notice);
    if (!collection) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    return collection;
}

// Takes every file in as veltrix-cli import does; false with the first error.
bool ImportAll(CCollection& collection, bool expectKnown, std::string& error)
{
    bool whole = true;
    CImportBatch batch(collection, [&](const CImportBatch::COutcome& outcome) {
        if (!whole)
            return;
        if (!outcome.taken) {
            error = outcome.path + ": " + outcome.error;
            whole = false;
        } else if (outcome.result.alreadyKnown != expectKnown
                   || (!expectKnown && outcome.result.newPrograms != BENCH_PROGRAMS_PER_DUMP)) {
            error = outcome.path + ": not taken in as expected";
            whole = false;
        }
    });
    for (const std::string& path : DumpPaths()) {
        batch.Add(path);
        if (!whole)
            return false;
    }
    return batch.Commit() && whole;
}

// The Collection with every file taken in once, made on first use.
const std::string& FilledDatabase()
{
    static const std::string path = [] {
        if (!g_importedDatabase.empty())
            return g_importedDatabase;
        const std::string made = DatabaseFolder() + "/filled.sqlite";
        std::string error;
        if (!ImportAll(*OpenOrDie(made), false, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::exit(1);
        }
        return made;
    }();
    return path;
}

// A new database for a baseline (none at `path` yet), with the Collection's own journal
// settings (so that both write to disk alike), `schema` made and a transaction begun.
sqlite3* OpenBaselineDatabase(const std::string& path, const std::string& schema)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, ("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;" + schema + "; BEGIN").c_str(), nullptr,
                 nullptr, nullptr);
    return db;
}

void BM_CollectionInsertBaseline(benchmark::State& state)
{
    // The programs, read beforehand.
    CProgramList programs;
    for (const std::string& path : DumpPaths()) {
        std::string error;
        programs.ReadSyxFile(path, error, std::string());
    }
    const std::string path = DatabaseFolder() + "/baseline.sqlite";
    for (auto _ : state) {
        state.PauseTiming();
        RemoveDatabase(path);
        state.ResumeTiming();
        sqlite3* db = OpenBaselineDatabase(path, "CREATE TABLE program(data BLOB NOT NULL)");
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO program(data) VALUES(?)", -1, &insert, nullptr);
        for (int i = 0; i < programs.GetSize(); ++i) {
            sqlite3_bind_blob(insert, 1, programs.GetAt(i)->GetData(), PROGRAM_DATA_SIZE, SQLITE_STATIC);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
    }
    state.counters["rows"] = programs.GetSize();
}
// Three runs at either size: at 1,280,000 programs one run of the insert loop swings by a
// second from the next, so that one run's ratio says little.
const int BASELINE_ITERATIONS = 3;
BENCHMARK(BM_CollectionInsertBaseline)->Unit(benchmark::kMillisecond)->Iterations(BASELINE_ITERATIONS);

// The same rows, each file read and unpacked in the loop as an import must: the least a
// database of these files costs from the files.
void BM_CollectionInsertLoopBaseline(benchmark::State& state)
{
    const std::string path = DatabaseFolder() + "/loop-baseline.sqlite";
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RemoveDatabase(path);
        state.ResumeTiming();
        sqlite3* db = OpenBaselineDatabase(path, "CREATE TABLE program(data BLOB NOT NULL)");
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO program(data) VALUES(?)", -1, &insert, nullptr);
        rows = 0;
        for (const std::string& file : DumpPaths()) {
            CProgramList programs;
            std::string error;
            programs.ReadSyxFile(file, error, std::string());
            for (int i = 0; i < programs.GetSize(); ++i, ++rows) {
                sqlite3_bind_blob(insert, 1, programs.GetAt(i)->GetData(), PROGRAM_DATA_SIZE, SQLITE_STATIC);
                sqlite3_step(insert);
                sqlite3_reset(insert);
            }
        }
        sqlite3_finalize(insert);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
    }
    RemoveDatabase(path);
    state.counters["rows"] = rows;
}
BENCHMARK(BM_CollectionInsertLoopBaseline)->Unit(benchmark::kMillisecond)->Iterations(BASELINE_ITERATIONS);

// The rows an import writes of its own, as minimal inserts in one transaction: each file's
// bytes, a row per program and the file's slots, in the Collection's columns, with no
// lookup of what is known, no index, trigger or search index. Whatever its indexes cost, an
// import of new files costs at least this; told beside the loop, to show how much of the
// import's time is left to everything else.
const char* const OWN_ROWS_SCHEMA =
    "CREATE TABLE program(id INTEGER PRIMARY KEY, first_name TEXT NOT NULL, sound_key INTEGER NOT NULL,"
    " first_source INTEGER NOT NULL, first_slot INTEGER NOT NULL, user_name TEXT, voice_mode INTEGER NOT NULL,"
    " favourite INTEGER NOT NULL DEFAULT 0, hidden INTEGER NOT NULL DEFAULT 0, comment TEXT NOT NULL DEFAULT '',"
    " first_seen INTEGER NOT NULL, source_count INTEGER NOT NULL);"
    "CREATE TABLE source(id INTEGER PRIMARY KEY, kind INTEGER NOT NULL, name TEXT NOT NULL, size INTEGER NOT NULL,"
    " content_hash INTEGER NOT NULL, content_check INTEGER NOT NULL, taken_in INTEGER NOT NULL,"
    " program_count INTEGER NOT NULL, global_block BLOB, bytes BLOB NOT NULL);"
    "CREATE TABLE source_slots(source INTEGER PRIMARY KEY, programs BLOB NOT NULL, names BLOB NOT NULL)";

void BM_CollectionOwnRowsBaseline(benchmark::State& state)
{
    const std::string path = DatabaseFolder() + "/own-rows-baseline.sqlite";
    const auto prepare = [](sqlite3* db, const char* sql) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        return statement;
    };
    const auto run = [](sqlite3_stmt* statement) {
        sqlite3_step(statement);
        sqlite3_reset(statement);
    };
    for (auto _ : state) {
        state.PauseTiming();
        RemoveDatabase(path);
        state.ResumeTiming();
        sqlite3* db = OpenBaselineDatabase(path, OWN_ROWS_SCHEMA);
        sqlite3_stmt* program = prepare(db, "INSERT INTO program(sound_key, first_source, first_slot, first_name,"
                                            " voice_mode, first_seen, source_count) VALUES(?, ?, ?, ?, 0, ?, 1)");
        sqlite3_stmt* source = prepare(db, "INSERT INTO source(id, kind, name, size, content_hash, content_check,"
                                           " taken_in, program_count, bytes) VALUES(?, 0, ?, ?, ?, ?, ?, ?, ?)");
        sqlite3_stmt* slots = prepare(db, "INSERT INTO source_slots(source, programs, names) VALUES(?, ?, ?)");
        std::int64_t sourceId = 0;
        std::int64_t programId = 0;
        for (const std::string& file : DumpPaths()) {
            std::vector<unsigned char> bytes(std::filesystem::file_size(file));
            std::FILE* opened = std::fopen(file.c_str(), "rb");
            if (opened == nullptr || std::fread(bytes.data(), 1, bytes.size(), opened) != bytes.size())
                state.SkipWithError(("cannot read " + file).c_str());
            if (opened != nullptr)
                std::fclose(opened);
            CProgramList programs;
            std::string error;
            programs.ReadSyxFile(file, error, std::string());
            ++sourceId;
            std::vector<unsigned char> ids(8 * static_cast<std::size_t>(programs.GetSize()));
            std::vector<unsigned char> names;
            for (int i = 0; i < programs.GetSize(); ++i) {
                const unsigned char* data = programs.GetAt(i)->GetData();
                ++programId;
                sqlite3_bind_int64(program, 1, programId * 2654435761);   // a key per program
                sqlite3_bind_int64(program, 2, sourceId);
                sqlite3_bind_int64(program, 3, i);
                sqlite3_bind_text(program, 4, reinterpret_cast<const char*>(data), 12, SQLITE_STATIC);
                sqlite3_bind_int64(program, 5, 1800000000);
                run(program);
                std::memcpy(ids.data() + 8 * i, &programId, 8);
                names.insert(names.end(), data, data + 12);
            }
            sqlite3_bind_int64(source, 1, sourceId);
            sqlite3_bind_text(source, 2, file.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_int64(source, 3, static_cast<std::int64_t>(bytes.size()));
            sqlite3_bind_int64(source, 4, sourceId * 7919);
            sqlite3_bind_int64(source, 5, sourceId * 104729);
            sqlite3_bind_int64(source, 6, 1800000000);
            sqlite3_bind_int64(source, 7, programs.GetSize());
            sqlite3_bind_blob(source, 8, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
            run(source);
            sqlite3_bind_int64(slots, 1, sourceId);
            sqlite3_bind_blob(slots, 2, ids.data(), static_cast<int>(ids.size()), SQLITE_STATIC);
            sqlite3_bind_blob(slots, 3, names.data(), static_cast<int>(names.size()), SQLITE_STATIC);
            run(slots);
        }
        for (sqlite3_stmt* statement : {program, source, slots})
            sqlite3_finalize(statement);
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
    }
    RemoveDatabase(path);
}
BENCHMARK(BM_CollectionOwnRowsBaseline)->Unit(benchmark::kMillisecond)->Iterations(BASELINE_ITERATIONS);

void BM_CollectionImportNew(benchmark::State& state)
{
    const std::string path = DatabaseFolder() + "/new.sqlite";
    bool whole = true;
    for (auto _ : state) {
        state.PauseTiming();
        g_importedDatabase.clear();
        RemoveDatabase(path);
        state.ResumeTiming();
        std::string error;
        if (!ImportAll(*OpenOrDie(path), false, error)) {
            state.SkipWithError(error.c_str());
            whole = false;
            break;
        }
    }
    if (whole)
        g_importedDatabase = path;
    // The database closed, against the bytes of the files taken in.
    state.counters["size_percent"] = 100.0 * static_cast<double>(DatabaseBytes(path)) / static_cast<double>(DumpBytes());
}
const int IMPORT_ITERATIONS = 3;
BENCHMARK(BM_CollectionImportNew)->Unit(benchmark::kMillisecond)->Iterations(IMPORT_ITERATIONS);

void BM_CollectionImportKnown(benchmark::State& state)
{
    const std::string& path = FilledDatabase();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CCollection> collection = OpenOrDie(path);
        state.ResumeTiming();
        std::string error;
        if (!ImportAll(*collection, true, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
}

// Opening the Collection of 128,000 programs: SQLite's quick check reads the whole file.
void BM_CollectionOpen(benchmark::State& state)
{
    const std::string& path = FilledDatabase();
    for (auto _ : state)
        benchmark::DoNotOptimize(OpenOrDie(path).get());
}
BENCHMARK(BM_CollectionOpen)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CollectionImportKnown)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CollectionReadFilesRaw(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadFilesRaw(DumpPaths()));
}
BENCHMARK(BM_CollectionReadFilesRaw)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CollectionSearchName(benchmark::State& state)
{
    std::unique_ptr<CCollection> collection = OpenOrDie(FilledDatabase());
    CCollectionQuery query;
    query.text = SEARCH_FRAGMENT;
    std::size_t found = 0;
    for (auto _ : state)
        found = collection->Search(query).size();
    state.counters["found"] = static_cast<double>(found);
    if (found == 0)
        state.SkipWithError("the search found nothing");
}
BENCHMARK(BM_CollectionSearchName)->Unit(benchmark::kMillisecond)->Iterations(20);

// The first search of a connection (as veltrix-cli's search makes), which reads the names.
void BM_CollectionSearchNameFirst(benchmark::State& state)
{
    CCollectionQuery query;
    query.text = SEARCH_FRAGMENT;
    std::size_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<CCollection> collection = OpenOrDie(FilledDatabase());
        state.ResumeTiming();
        found = collection->Search(query).size();
        state.PauseTiming();
        collection.reset();
        state.ResumeTiming();
    }
    if (found == 0)
        state.SkipWithError("the search found nothing");
}
BENCHMARK(BM_CollectionSearchNameFirst)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv)
{
    const std::string importNew = WithIterations("BM_CollectionImportNew", IMPORT_ITERATIONS);
    const std::string dumps = BenchScaled<std::string>("1,000", "10,000");
    const std::vector<CBenchCheck> checks = {
        BenchBig() ? TimeCheck("Collection: take in 10,000 new dumps", importNew,
                               WithIterations("BM_CollectionInsertLoopBaseline", BASELINE_ITERATIONS), 2, 10000)
                   : TimeCheck("Collection: take in 1,000 new dumps", importNew,
                               WithIterations("BM_CollectionInsertBaseline", BASELINE_ITERATIONS), 3, 5000),
        TimeCheck("Collection: its own rows alone, against the loop",
                  WithIterations("BM_CollectionOwnRowsBaseline", BASELINE_ITERATIONS),
                  WithIterations("BM_CollectionInsertLoopBaseline", BASELINE_ITERATIONS), 0, 0),
        TimeCheck("Collection: take in new dumps, against its own rows", importNew,
                  WithIterations("BM_CollectionOwnRowsBaseline", BASELINE_ITERATIONS), 0, 0),
        TimeCheck("Collection: the same " + dumps + " dumps again", "BM_CollectionImportKnown/iterations:5",
                  "BM_CollectionReadFilesRaw/iterations:5", 0, BenchScaled(500, 1000)),
        TimeCheck("Collection: search a name fragment, first", "BM_CollectionSearchNameFirst/iterations:10", "", 0,
                  BenchScaled(50, 150)),
        TimeCheck("Collection: search a name fragment, again", "BM_CollectionSearchName/iterations:20", "", 0,
                  BenchScaled(50, 150)),
        CounterCheck("Collection: database size / dump bytes", importNew, "size_percent", 250, "%"),
    };
    return RunBenchmarksWithChecks(argc, argv, checks);
}
