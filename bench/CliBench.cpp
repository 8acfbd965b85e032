// veltrix-cli as a whole process: `diff --params` of two 128-program sources of the real
// dumps in a Collection, against the same process printing its version (starting a process
// and nothing else) and `diff` without --params; and opening that Collection in-process, the
// share of the Collection's own start in the process's time.

#include "BenchSummary.h"

#include "Collection.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

// The two sources: every slot differs, in about 80 parameters on average.
const char* const FIRST = "ms2000-bank-0x4C.syx";
const char* const SECOND = "mk-programs-0x4C.syx";

// A Collection holding the real dumps, made once, removed at exit.
const std::string& CollectionPath()
{
    static const std::string path = [] {
        char pattern[] = "/tmp/veltrix-cli-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        static const std::string folder = pattern;
        std::atexit([] { std::filesystem::remove_all(folder); });
        const std::string database = folder + "/collection.sqlite";
        std::string error, notice;
        std::unique_ptr<CCollection> collection = CCollection::Open(database, error, notice);
        for (const char* file : {FIRST, SECOND}) {
            CImportResult result;
            if (!collection || !collection->ImportFile(std::string(VELTRIX_REALDATA_DIR) + "/" + file, result, error)) {
                std::fprintf(stderr, "cannot make the Collection: %s\n", error.c_str());
                std::exit(1);
            }
        }
        return database;
    }();
    return path;
}

// Runs veltrix-cli with `args`, its output thrown away, adding the CPU time it used to
// `cpuSeconds`; false when it fails.
bool RunCli(const std::vector<std::string>& args, double& cpuSeconds)
{
    std::vector<char*> argv;
    std::string program = VELTRIX_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = args;
    for (std::string& arg : copies)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int started = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (started != 0 || wait4(child, &status, 0, &usage) != child)
        return false;
    cpuSeconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The wall time of each run, and the process's own CPU time as the counter "process_cpu_ms"
// (steadier on a busy machine).
void RunTimed(benchmark::State& state, const std::vector<std::string>& args)
{
    double cpuSeconds = 0;
    for (auto _ : state)
        if (!RunCli(args, cpuSeconds)) {
            state.SkipWithError("veltrix-cli failed");
            break;
        }
    state.counters["process_cpu_ms"] = benchmark::Counter(cpuSeconds * 1e3 / static_cast<double>(state.iterations()));
}

void BM_CliVersion(benchmark::State& state)
{
    RunTimed(state, {"--version"});
}
BENCHMARK(BM_CliVersion)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliDiff(benchmark::State& state)
{
    RunTimed(state, {"diff", "--collection", CollectionPath(), FIRST, SECOND});
}
BENCHMARK(BM_CliDiff)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CliDiffParams(benchmark::State& state)
{
    RunTimed(state, {"diff", "--collection", CollectionPath(), "--params", FIRST, SECOND});
}
BENCHMARK(BM_CliDiffParams)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenCollection(benchmark::State& state)
{
    const std::string& path = CollectionPath();
    for (auto _ : state) {
        std::string error, notice;
        std::unique_ptr<CCollection> collection = CCollection::Open(path, error, notice);
        if (!collection) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
}
BENCHMARK(BM_OpenCollection)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (!std::filesystem::is_directory(VELTRIX_REALDATA_DIR)) {
        std::printf("No real dumps at %s: nothing to measure\n", VELTRIX_REALDATA_DIR);
        return 0;
    }
    return RunBenchmarksWithChecks(
        argc, argv,
        {TimeCheck("veltrix-cli diff --params, two real banks", "BM_CliDiffParams/real_time",
                   "BM_CliVersion/real_time", 0, 150),
         TimeCheck("veltrix-cli diff, the same two banks", "BM_CliDiff/real_time", "BM_CliVersion/real_time", 0, 0),
         TimeCheck("Opening that Collection, in-process", "BM_OpenCollection/real_time", "", 0, 0)});
}
