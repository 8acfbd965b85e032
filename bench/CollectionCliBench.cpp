// veltrix-cli on the Collection as whole processes, as a script or a shell runs it: each
// command's time from start to end and the most memory it held, on a Collection of
// 128,000 programs (1,280,000 in the big run) with 1,000 favourites, 1,000 tagged programs
// and a list. The baseline is the bare start of the program (`--version`). And a backup of
// the whole file while another process writes to it, against `cp` of the same file run in
// turn with it.

#include "BenchCollection.h"
#include "BenchDumpCache.h"
#include "BenchProcess.h"
#include "BenchScale.h"
#include "BenchSummary.h"

#include "Collection.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

const std::string CLI = VELTRIX_CLI_PATH;
const int DUMPS = CollectionBenchDumpCount();
// Dumps after those of the Collection: new to it.
const int FIRST_NEW_DUMP = DUMPS + 100;
const int WRITER_DUMPS = 50;

std::string g_database;
std::vector<std::string> g_dumps;

const std::string PEAK_MEMORY = VELTRIX_PEAK_MEMORY_PATH;

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The command's words, then the Collection.
std::vector<std::string> Cli(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin() + 1, {"--collection", g_database});
    arguments.insert(arguments.begin(), CLI);
    return arguments;
}

// Runs the command line `make(iteration)` gives once per iteration; an exit code other than
// 0 ends the benchmark with an error. Once more after them, its peak memory.
void RunCommand(benchmark::State& state, const std::function<std::vector<std::string>(int)>& make)
{
    int iteration = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::vector<std::string> arguments = make(iteration++);
        state.ResumeTiming();
        const CProcessRun run = RunProcess(arguments);
        if (run.exitCode != 0) {
            state.SkipWithError(("exit code " + std::to_string(run.exitCode) + " of " + arguments[0] + " "
                                 + (arguments.size() > 3 ? arguments[3] : ""))
                                    .c_str());
            break;
        }
    }
    state.counters["peak_mb"] = PeakMegabytesOf(PEAK_MEMORY, make(iteration), BenchDatabaseFolder() + "/peak.txt");
}

void Register(const std::string& name, int iterations, std::function<std::vector<std::string>(int)> make)
{
    benchmark::RegisterBenchmark(name.c_str(), [make](benchmark::State& state) { RunCommand(state, make); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(iterations);
}

// Another process writing beside the backup: receives from the synthesizer, one after the
// other, each a new source.
int WriteReceives(void*)
{
    std::unique_ptr<CCollection> collection = OpenBenchCollection(g_database);
    const std::vector<std::string> dumps = CachedBenchDumps(FIRST_NEW_DUMP + 100, WRITER_DUMPS);
    std::vector<std::vector<unsigned char>> bytes;
    for (const std::string& path : dumps) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::vector<unsigned char> data(std::filesystem::file_size(path));
        if (file == nullptr || std::fread(data.data(), 1, data.size(), file) != data.size())
            return 1;
        std::fclose(file);
        bytes.push_back(std::move(data));
    }
    for (std::int64_t i = 0;; ++i) {
        CImportResult result;
        std::string error;
        if (!collection->ImportSynthDump(bytes[static_cast<std::size_t>(i) % bytes.size()], result, error,
                                         1900000000 + i))
            return 1;
    }
}

std::unique_ptr<CBackgroundProcess> g_writer;

void StartWriter()
{
    if (!g_writer)
        g_writer = std::make_unique<CBackgroundProcess>(WriteReceives, nullptr);
}

void RegisterAll()
{
    std::unique_ptr<CCollection> collection = OpenBenchCollection(g_database);
    const std::vector<CCollectionSource> sources = collection->Sources();
    const std::string first = sources.at(0).name;
    const std::string second = sources.at(1).name;
    collection.reset();
    const std::string out = BenchDatabaseFolder() + "/out.syx";

    Register("BM_CliStart", 10, [](int) { return std::vector<std::string>{CLI, "--version"}; });
    Register("BM_CliSources", 10, [](int) { return Cli({"sources"}); });
    Register("BM_CliExportSource", 10, [=](int) { return Cli({"export", "--source", first, "-o", out}); });
    Register("BM_CliExportList", 10, [=](int) { return Cli({"export", "--list", BENCH_LIST, "-o", out}); });
    Register("BM_CliDiff", 10, [=](int) { return Cli({"diff", first, second}); });
    Register("BM_CliMark1000", 10, [](int iteration) {
        std::vector<std::string> arguments{"mark"};
        for (int id = 1; id <= BENCH_MARKED_PROGRAMS; ++id)
            arguments.push_back(std::to_string(id * 3));
        arguments.push_back(iteration % 2 == 0 ? "--favourite" : "--no-favourite");
        return Cli(arguments);
    });
    Register("BM_CliSearchTag", 10, [](int) { return Cli({"search", "--tag", BENCH_TAG}); });
    Register("BM_CliSearchFavourite", 10, [](int) { return Cli({"search", "--favourite"}); });
    Register("BM_CliSearchFragment", 10, [](int) { return Cli({"search", CACHED_ONE_PERCENT_FRAGMENT}); });
    Register("BM_CliSearchAll", 3, [](int) { return Cli({"search"}); });
    Register("BM_CliImportOne", 5, [](int iteration) {
        return Cli({"import", g_dumps.at(static_cast<std::size_t>(iteration))});
    });
    // The file as cp copies it and as backup does, with the writer beside both: in turns, so
    // that both copy the file as the writer has grown it by then, each to a file not there
    // before, as a backup into a folder is. Each goes first as often, after a round not timed:
    // on a virtual machine, memory freed goes back to the host, and whichever copy takes such
    // pages first pays to have them back (up to 4x as slow, in the first round mostly).
    benchmark::RegisterBenchmark("BM_CliBackupAgainstCp", [](benchmark::State& state) {
        StartWriter();
        const std::string cpCopy = BenchDatabaseFolder() + "/cp.sqlite";
        const std::string backup = BenchDatabaseFolder() + "/backup.sqlite";
        const std::vector<std::string> cp{"/bin/cp", g_database, cpCopy};
        const auto copyBoth = [&](bool backupFirst, CProcessRun& copied, CProcessRun& backedUp) {
            std::filesystem::remove(cpCopy);
            std::filesystem::remove(backup);
            if (backupFirst)
                backedUp = RunProcess(Cli({"backup", backup}));
            copied = RunProcess(cp);
            if (!backupFirst)
                backedUp = RunProcess(Cli({"backup", backup}));
            return copied.exitCode == 0 && backedUp.exitCode == 0;
        };
        CProcessRun copied, backedUp;
        bool failed = !copyBoth(false, copied, backedUp);
        std::vector<double> cpTimes, backupTimes;
        int round = 0;
        for (auto _ : state) {
            if (failed || !copyBoth(round++ % 2 == 1, copied, backedUp)) {
                state.SkipWithError("cp or backup failed");
                break;
            }
            cpTimes.push_back(copied.milliseconds);
            backupTimes.push_back(backedUp.milliseconds);
            state.SetIterationTime(backedUp.milliseconds / 1000);
        }
        // Medians: a round that meets the disk writing back the copies before it takes up to
        // twice as long, whichever copy it is, and a mean of a few rounds follows that.
        state.counters["cp_ms"] = Median(cpTimes);
        state.counters["backup_ms"] = Median(backupTimes);
        std::filesystem::remove(backup);
        state.counters["peak_mb"] = PeakMegabytesOf(PEAK_MEMORY, Cli({"backup", backup}),
                                                    BenchDatabaseFolder() + "/peak.txt");
        g_writer.reset();
    })->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(8);
}

CBenchCheck Process(const std::string& title, const std::string& name, int iterations, double limit)
{
    return TimeCheck(title, WithIterations(name, iterations), "BM_CliStart/iterations:10", 0, limit);
}

CBenchCheck Memory(const std::string& title, const std::string& name, int iterations)
{
    return CounterCheck(title + ", peak memory", WithIterations(name, iterations), "peak_mb", 50, "MB");
}

} // namespace

int main(int argc, char** argv)
{
    g_database = BenchDatabaseFolder() + "/collection.sqlite";
    MakeBenchCollection(g_database, DUMPS);
    g_dumps = CachedBenchDumps(FIRST_NEW_DUMP, 6);   // one more for the peak memory
    RegisterAll();

    const struct {
        const char* title;
        const char* name;
        int iterations;
        double limit;
    } commands[] = {
        {"veltrix-cli sources", "BM_CliSources", 10, 50},
        {"veltrix-cli export --source", "BM_CliExportSource", 10, 50},
        {"veltrix-cli export --list", "BM_CliExportList", 10, 50},
        {"veltrix-cli diff", "BM_CliDiff", 10, 50},
        {"veltrix-cli mark of 1,000 ids", "BM_CliMark1000", 10, 50},
        {"veltrix-cli search --tag", "BM_CliSearchTag", 10, 50},
        {"veltrix-cli search --favourite", "BM_CliSearchFavourite", 10, 50},
        {"veltrix-cli search, a fragment of 1%", "BM_CliSearchFragment", 10, 150},
        {"veltrix-cli import of one new dump", "BM_CliImportOne", 5, 50},
    };
    std::vector<CBenchCheck> checks;
    for (const auto& command : commands)
        checks.push_back(Process(command.title, command.name, command.iterations, command.limit));
    for (const auto& command : commands)
        checks.push_back(Memory(command.title, command.name, command.iterations));
    checks.push_back(TimeCheck("veltrix-cli search, every program", "BM_CliSearchAll/iterations:3",
                               "BM_CliStart/iterations:10", 0, 0));
    checks.push_back(CounterCheck("veltrix-cli search, every program, peak memory", "BM_CliSearchAll/iterations:3",
                                  "peak_mb", 0, "MB"));
    checks.push_back(CounterAgainstCounterCheck("veltrix-cli backup beside a writer, against cp in turn (medians)",
                                                "BM_CliBackupAgainstCp/iterations:8/manual_time", "backup_ms", "cp_ms",
                                                1.5));
    return RunBenchmarksWithChecks(argc, argv, checks);
}
