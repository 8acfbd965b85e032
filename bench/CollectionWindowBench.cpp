// The main window over a Collection of 128,000 programs (1,280,000 in the big run),
// offscreen, on the window tests' scripted services: from start to shown with the Collection
// view open (the rows in sight, and until every row is in); Ctrl+D on a row; the longest the event loop stalls while another
// process takes in 1,000 new dumps, and while the window opens 1,000 new files (its own Open
// of them told apart); and the heap each program costs the view.

#include "BenchCollection.h"
#include "BenchDumpCache.h"
#include "BenchScale.h"
#include "BenchSummary.h"
#include "FrameTestSupport.h"

#include "Collection.h"
#include "Resources.h"
#include "collection/CollectionCommands.h"
#include "collection/CollectionModel.h"
#include "collection/CollectionTable.h"
#include "collection/CollectionView.h"
#include "host/LoadedList.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <thread>

extern char** environ;

namespace {

const std::string CLI = VELTRIX_CLI_PATH;
const int DUMPS = CollectionBenchDumpCount();
const int PROGRAMS = DUMPS * CACHED_PROGRAMS_PER_DUMP;
// New dumps for the two stall benchmarks: 1,000 each, after those of the Collection.
const int IMPORTED_BY_ANOTHER = DUMPS + 2000;
const int OPENED_BY_THE_WINDOW = DUMPS + 3000;
constexpr int NEW_DUMPS = 1000;
constexpr int SETTLE_MS = 3000;   // past the view's look for changes every 2 s
constexpr int WAIT_LIMIT_MS = 600000;

std::map<QString, QString> g_layout;   // the settings of a window closed with the view shown

size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

CCollectionView& ViewOf(CFrameFixture& fixture)
{
    return *fixture.features.collectionView->View();
}

// The view shows the rows in sight, and has the count of all of them.
bool ViewShown(CFrameFixture& fixture)
{
    CCollectionView& view = ViewOf(fixture);
    return view.isVisible() && view.Model()->rowCount() >= PROGRAMS && view.Model()->Program(0) != nullptr;
}

// Every row is in.
bool ViewFilled(CFrameFixture& fixture)
{
    return ViewShown(fixture) && ViewOf(fixture).Model()->UnreadRows() == 0;
}

// Runs the event loop until `done` says so, or the wait limit.
template <typename Done>
bool ProcessEventsUntil(Done done, int limitMs = WAIT_LIMIT_MS)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The longest gap between two turns of the event loop while `busy` says it is busy, and for
// SETTLE_MS after.
template <typename Busy>
double LongestStallMs(Busy busy)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    qint64 quietSince = -1;
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (quietSince < 0 && !busy())
            quietSince = now;
        if ((quietSince >= 0 && now - quietSince > SETTLE_MS) || now > WAIT_LIMIT_MS)
            loop.quit();
    });
    tick.start(1);
    loop.exec();
    return static_cast<double>(longest);
}

// A window built as start-up builds it, with the settings of one closed with the view shown.
std::unique_ptr<CFrameFixture> StartWindow()
{
    auto fixture = std::make_unique<CFrameFixture>();
    fixture->profile.values = g_layout;
    fixture->Create();
    fixture->Frame().resize(1200, 900);
    fixture->Frame().show();
    return fixture;
}

void MakeLayout()
{
    CFrameFixture fixture;
    fixture.Create();
    fixture.Frame().resize(1200, 900);
    fixture.Frame().show();
    fixture.features.collectionView->OnViewCollection();
    ProcessEventsUntil([&] { return ViewFilled(fixture); });
    fixture.Frame().close();
    g_layout = fixture.profile.values;
}

// Timed until the view shows the rows in sight, with the count of every row (the rest are
// read after those); "filled_ms" is the time until every row is in. (Until 2026-12 the view
// showed its rows only once all were read, and this was timed until then.)
void BM_WindowStartWithTheViewOpen(benchmark::State& state)
{
    bool filled = true;
    double filledMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        std::unique_ptr<CFrameFixture> fixture = StartWindow();
        filled = ProcessEventsUntil([&] { return ViewShown(*fixture); }) && filled;
        state.PauseTiming();
        filled = ProcessEventsUntil([&] { return ViewFilled(*fixture); }) && filled;
        filledMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        fixture.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["filled_ms"] = filledMs / static_cast<double>(state.iterations());
    if (!filled)
        state.SkipWithError("the view was not shown with every program");
}
BENCHMARK(BM_WindowStartWithTheViewOpen)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WindowCtrlD(benchmark::State& state)
{
    std::unique_ptr<CFrameFixture> fixture = StartWindow();
    if (!ProcessEventsUntil([&] { return ViewFilled(*fixture); })) {
        state.SkipWithError("the view was not shown with every program");
        return;
    }
    CCollectionView& view = ViewOf(*fixture);
    const QModelIndex row = view.Model()->index(PROGRAMS / 2, 0);
    view.Table()->setCurrentIndex(row);
    view.Table()->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    CCollectionCommands& commands = *fixture->features.collectionView;
    const CollectionId id = view.SelectedIds().empty() ? 0 : view.SelectedIds().front();
    bool toggled = id != 0;
    for (auto _ : state) {
        CCollectionProgram before;
        state.PauseTiming();
        toggled = toggled && view.Collection()->GetProgram(id, before);
        state.ResumeTiming();
        commands.OnCollectionFavourite();   // what Ctrl+D runs
        QCoreApplication::processEvents();
        state.PauseTiming();
        CCollectionProgram after;
        toggled = toggled && view.Collection()->GetProgram(id, after) && after.favourite != before.favourite;
        state.ResumeTiming();
    }
    if (!toggled)
        state.SkipWithError("Ctrl+D did not change the row's favourite mark");
}
BENCHMARK(BM_WindowCtrlD)->Unit(benchmark::kMillisecond)->Iterations(20);

pid_t SpawnImport(const std::vector<std::string>& paths)
{
    std::vector<std::string> arguments{CLI, "import", "--collection", CCollection::DefaultPath()};
    arguments.insert(arguments.end(), paths.begin(), paths.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void BM_WindowWhileAnotherProcessTakesIn1000(benchmark::State& state)
{
    std::unique_ptr<CFrameFixture> fixture = StartWindow();
    ProcessEventsUntil([&] { return ViewFilled(*fixture); });
    const std::vector<std::string> paths = CachedBenchDumps(IMPORTED_BY_ANOTHER, NEW_DUMPS);
    double stall = 0;
    for (auto _ : state) {
        const pid_t child = SpawnImport(paths);
        bool running = child > 0;
        stall = LongestStallMs([&] {
            if (running && waitpid(child, nullptr, WNOHANG) == child)
                running = false;
            return running;
        });
    }
    state.counters["stall_ms"] = stall;
}
BENCHMARK(BM_WindowWhileAnotherProcessTakesIn1000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WindowOpening1000Files(benchmark::State& state)
{
    std::unique_ptr<CFrameFixture> fixture = StartWindow();
    ProcessEventsUntil([&] { return ViewFilled(*fixture); });
    QStringList paths;
    const std::vector<std::string> files = CachedBenchDumps(OPENED_BY_THE_WINDOW, NEW_DUMPS);
    for (const std::string& path : files)
        paths << QString::fromStdString(path);
    double stall = 0;
    double open = 0;
    for (auto _ : state) {
        // Taken in on the window's own thread of taking in; a watcher of its own tells when.
        std::atomic<bool> takenIn{false};
        std::thread watcher([&] {
            std::unique_ptr<CCollection> collection = OpenBenchCollection(CCollection::DefaultPath());
            QElapsedTimer waited;
            waited.start();
            while (waited.elapsed() < WAIT_LIMIT_MS) {
                const std::vector<CCollectionSource> sources = collection->Sources();
                if (!sources.empty() && sources.back().name == files.back())
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
            }
            takenIn = true;
        });
        QElapsedTimer clock;
        clock.start();
        fixture->Frame().OpenFiles(paths, ILoadedList::ReadFailures::OneBoxAtEnd);
        open = static_cast<double>(clock.elapsed());
        stall = LongestStallMs([&] { return !takenIn.load(); });
        watcher.join();
    }
    state.counters["stall_ms"] = stall;
    state.counters["open_ms"] = open;
}
BENCHMARK(BM_WindowOpening1000Files)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ViewHeapPerProgram(benchmark::State& state)
{
    std::unique_ptr<CCollection> collection = OpenBenchCollection(CCollection::DefaultPath());
    double perProgram = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        auto view = std::make_unique<CCollectionView>();
        view->SetCollection(collection.get());
        view->resize(900, 500);
        view->show();
        const int programs = collection->Search({}).empty() ? 0 : PROGRAMS;
        ProcessEventsUntil([&] { return view->Model()->rowCount() >= programs; });
        perProgram = static_cast<double>(HeapInUse() - before) / view->Model()->rowCount();
    }
    state.counters["bytes_per_program"] = perProgram;
}
BENCHMARK(BM_ViewHeapPerProgram)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    MakeBenchCollection(CCollection::DefaultPath(), DUMPS);
    CachedBenchDumps(IMPORTED_BY_ANOTHER, NEW_DUMPS);
    CachedBenchDumps(OPENED_BY_THE_WINDOW, NEW_DUMPS);
    MakeLayout();

    const std::vector<CBenchCheck> checks = {
        TimeCheck("Window: start to shown with the view open, the rows in sight",
                  "BM_WindowStartWithTheViewOpen/iterations:3", "", 0, 400),
        CounterCheck("Window: the same, until every row is in", "BM_WindowStartWithTheViewOpen/iterations:3",
                     "filled_ms", 0, "ms"),
        TimeCheck("Window: Ctrl+D on a row", "BM_WindowCtrlD/iterations:20", "", 0, 20),
        CounterCheck("Window: longest stall, another process takes in 1,000",
                     "BM_WindowWhileAnotherProcessTakesIn1000/iterations:1", "stall_ms", 50, "ms"),
        CounterCheck("Window: longest stall after opening 1,000 files", "BM_WindowOpening1000Files/iterations:1",
                     "stall_ms", 50, "ms"),
        CounterCheck("Window: its Open of the 1,000 files itself", "BM_WindowOpening1000Files/iterations:1",
                     "open_ms", 0, "ms"),
        // The limit is the lifetime's; a few megabytes of it do not grow with the programs (the
        // reading connection's page cache, the filter list), 20 to 50 bytes a program of 128,000.
        CounterCheck("Collection view: heap per program", "BM_ViewHeapPerProgram/iterations:1", "bytes_per_program",
                     BenchScaled(170, 120), "B"),
    };
    return RunBenchmarksWithChecks(argc, argv, checks);
}
