// The Collection on 1,000 dump files of distinct programs (128,000 programs): taking them in,
// taking them in again, a search by a name fragment, and the database's size. The baseline
// of the first is the least any database of them costs: the same 128,000 programs inserted
// as rows of one table with one prepared statement in one transaction.

#include "BenchLibrary.h"
#include "BenchSummary.h"

#include "Collection.h"
#include "ProgramList.h"
#include "SyxProgram.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

constexpr int DUMP_FILES = 1000;
const char* const SEARCH_FRAGMENT = "acid 4";

// A folder for the databases, removed at exit.
const std::string& DatabaseFolder()
{
    static const std::string folder = [] {
        char pattern[] = "/tmp/veltrix-collection-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        std::atexit([] { std::filesystem::remove_all(DatabaseFolder()); });
        return std::string(pattern);
    }();
    return folder;
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
    for (const std::string& path : BenchDumpPaths(DUMP_FILES))
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

// Takes every file in; false with the first error.
bool ImportAll(CCollection& collection, bool expectKnown, std::string& error)
{
    for (const std::string& path : BenchDumpPaths(DUMP_FILES)) {
        CImportResult result;
        if (!collection.ImportFile(path, result, error))
            return false;
        if (result.alreadyKnown != expectKnown || (!expectKnown && result.newPrograms != BENCH_PROGRAMS_PER_DUMP)) {
            error = path + ": not taken in as expected";
            return false;
        }
    }
    return true;
}

// The Collection with every file taken in once, made on first use.
const std::string& FilledDatabase()
{
    static const std::string path = [] {
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

void BM_CollectionInsertBaseline(benchmark::State& state)
{
    // The programs, read beforehand.
    CProgramList programs;
    for (const std::string& path : BenchDumpPaths(DUMP_FILES)) {
        std::string error;
        programs.ReadSyxFile(path, error, std::string());
    }
    const std::string path = DatabaseFolder() + "/baseline.sqlite";
    for (auto _ : state) {
        state.PauseTiming();
        RemoveDatabase(path);
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        // The Collection's own journal settings, so that both write to disk alike.
        sqlite3_exec(db, "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;"
                         "CREATE TABLE program(data BLOB NOT NULL); BEGIN", nullptr, nullptr, nullptr);
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
BENCHMARK(BM_CollectionInsertBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CollectionImportNew(benchmark::State& state)
{
    const std::string path = DatabaseFolder() + "/new.sqlite";
    for (auto _ : state) {
        state.PauseTiming();
        RemoveDatabase(path);
        state.ResumeTiming();
        std::string error;
        if (!ImportAll(*OpenOrDie(path), false, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    // The database closed, against the bytes of the files taken in.
    state.counters["size_percent"] = 100.0 * static_cast<double>(DatabaseBytes(path)) / static_cast<double>(DumpBytes());
}
BENCHMARK(BM_CollectionImportNew)->Unit(benchmark::kMillisecond)->Iterations(3);

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
        benchmark::DoNotOptimize(ReadFilesRaw(BenchDumpPaths(DUMP_FILES)));
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
    const std::vector<CBenchCheck> checks = {
        TimeCheck("Collection: take in 1,000 new dumps", "BM_CollectionImportNew/iterations:3",
                  "BM_CollectionInsertBaseline/iterations:3", 3, 5000),
        TimeCheck("Collection: the same 1,000 dumps again", "BM_CollectionImportKnown/iterations:5",
                  "BM_CollectionReadFilesRaw/iterations:5", 0, 500),
        TimeCheck("Collection: search a name fragment, first", "BM_CollectionSearchNameFirst/iterations:10", "", 0, 50),
        TimeCheck("Collection: search a name fragment, again", "BM_CollectionSearchName/iterations:20", "", 0, 50),
        CounterCheck("Collection: database size / dump bytes", "BM_CollectionImportNew/iterations:3",
                     "size_percent", 250, "%"),
    };
    return RunBenchmarksWithChecks(argc, argv, checks);
}
