// Reading one 128-program dump with ReadSyxFile, against reading the same file's bytes into
// memory.

#include "BenchLibrary.h"
#include "ProgramList.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ReadDumpRaw(benchmark::State& state)
{
    const std::vector<std::string> paths = {BenchDumpPaths(1).front()};
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadFilesRaw(paths));
}
BENCHMARK(BM_ReadDumpRaw)->Unit(benchmark::kMicrosecond);

void BM_ReadSyxFile(benchmark::State& state)
{
    const std::string path = BenchDumpPaths(1).front();
    const std::string name = BenchDisplayName(path);
    CProgramList list;
    for (auto _ : state) {
        // As a new Open does: the list is emptied, then the file read (only that is timed).
        state.PauseTiming();
        list.DeleteAll();
        state.ResumeTiming();
        std::string error;
        if (!list.ReadSyxFile(path, error, name)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
}
BENCHMARK(BM_ReadSyxFile)->Unit(benchmark::kMicrosecond);

} // namespace
