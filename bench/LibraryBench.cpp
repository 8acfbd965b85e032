// Opening 1,000 dumps of 128 programs through the main window's Open command (scripted file
// dialog, offscreen) with the grid refilled and laid out, against reading the same files raw;
// and the heap each loaded program costs, grid cells included.

#include "BenchLibrary.h"
#include "BenchSummary.h"
#include "FrameTestSupport.h"
#include "ProgramList.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <malloc.h>
#include <sys/resource.h>

namespace {

constexpr int LIBRARY_FILES = 1000;  // 128,000 programs

QStringList LibraryPaths()
{
    QStringList paths;
    for (const std::string& path : BenchDumpPaths(LIBRARY_FILES))
        paths << QString::fromStdString(path);
    return paths;
}

// Bytes of heap in use: the small blocks and the ones mapped on their own.
size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Page faults of the calling thread so far: fresh memory costs one per page touched.
double ThreadPageFaults()
{
    struct rusage usage = {};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_minflt + usage.ru_majflt);
}

// A main window on scripted services, shown offscreen, whose Open reads the library.
class CLibraryWindow
{
public:
    CLibraryWindow()
    {
        m_fixture.Create();
        m_fixture.fileDialogs.nextOpen = LibraryPaths();
        m_fixture.Frame().resize(1024, 768);
        m_fixture.Frame().show();
        QCoreApplication::processEvents();
    }
    // The Open command, then the events that lay out and paint the refilled grid.
    void Open()
    {
        m_fixture.Frame().OnFileOpen();
        QCoreApplication::processEvents();
    }
    bool Loaded() const
    {
        return m_fixture.messageBox.shown.empty()
            && m_fixture.frame->Programs().GetSize() == LIBRARY_FILES * BENCH_PROGRAMS_PER_DUMP;
    }

private:
    CFrameFixture m_fixture;
};

void BM_OpenLibraryRaw(benchmark::State& state)
{
    const std::vector<std::string>& paths = BenchDumpPaths(LIBRARY_FILES);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadFilesRaw(paths));
}
BENCHMARK(BM_OpenLibraryRaw)->Unit(benchmark::kMillisecond);

void BM_OpenLibrary(benchmark::State& state)
{
    CLibraryWindow window;
    const double faultsBefore = ThreadPageFaults();
    for (auto _ : state)
        window.Open();
    state.counters["page_faults"] = benchmark::Counter(ThreadPageFaults() - faultsBefore, benchmark::Counter::kAvgIterations);
    if (!window.Loaded())
        state.SkipWithError("the library did not load whole");
}
BENCHMARK(BM_OpenLibrary)->Unit(benchmark::kMillisecond)->Iterations(5);

// The heap that a first Open of the library leaves in use, per program; and the part of it
// that the records alone take (read into a list of their own beforehand).
void BM_MemoryPerProgram(benchmark::State& state)
{
    const std::vector<std::string>& paths = BenchDumpPaths(LIBRARY_FILES);
    const double programs = LIBRARY_FILES * BENCH_PROGRAMS_PER_DUMP;
    for (auto _ : state) {
        size_t before = HeapInUse();
        {
            CProgramList list;
            std::string error;
            for (const std::string& path : paths)
                list.ReadSyxFile(path, error, BenchDisplayName(path));
            state.counters["record_bytes"] = static_cast<double>(HeapInUse() - before) / programs;
        }
        CLibraryWindow window;
        before = HeapInUse();
        window.Open();
        state.counters["bytes_per_program"] = static_cast<double>(HeapInUse() - before) / programs;
        if (!window.Loaded())
            state.SkipWithError("the library did not load whole");
    }
}
BENCHMARK(BM_MemoryPerProgram)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window takes what it opens into a Collection of the run's own.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    const std::vector<CBenchCheck> checks = {
        TimeCheck("Open 1,000 dumps (128,000 programs) + grid", "BM_OpenLibrary/iterations:5",
                  "BM_OpenLibraryRaw", 0, 100),
        CounterCheck("Heap per loaded program, grid included", "BM_MemoryPerProgram/iterations:1",
                     "bytes_per_program", 1024, "B"),
    };
    return RunBenchmarksWithChecks(argc, argv, checks);
}
