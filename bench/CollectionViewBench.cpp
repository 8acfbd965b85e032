// The Collection view over 128,000 programs (1,000 dumps taken into a new database),
// offscreen: opening it as the window does, its reads on its own thread (until the rows in
// sight are painted with the count of every row, and until every row is in), one
// keystroke in its search field (the search again and the table repainted), a favourite
// mark made in the view (Ctrl+D on one row), and the view following a mark that another
// connection made: the time until the row shows it, and the longest the window's thread was
// held meanwhile (the reads run on the view's own thread, as in the window).

#include "BenchDumpCache.h"
#include "BenchScale.h"
#include "BenchSummary.h"
#include "Collection.h"
#include "collection/CollectionModel.h"
#include "collection/CollectionTable.h"
#include "collection/CollectionView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <cstdlib>
#include <memory>

namespace {

const int LIBRARY_FILES = CollectionBenchDumpCount();  // 128,000 programs; 1,280,000 in the big run
const int LIBRARY_PROGRAMS = LIBRARY_FILES * CACHED_PROGRAMS_PER_DUMP;

std::string LibraryPath()
{
    static QTemporaryDir folder;
    return folder.filePath("collection.sqlite").toStdString();
}

// The database with the whole library taken in, made once for the run.
CCollection& LibraryCollection()
{
    static std::unique_ptr<CCollection> collection;
    if (collection)
        return *collection;
    std::string error, notice;
    collection = CCollection::Open(LibraryPath(), error, notice);
    if (!collection) {
        std::fprintf(stderr, "cannot make the Collection: %s\n", error.c_str());
        std::exit(1);
    }
    for (const std::string& path : CachedBenchDumps(0, LIBRARY_FILES)) {
        CImportResult result;
        if (!collection->ImportFile(path, result, error)) {
            std::fprintf(stderr, "cannot take in %s: %s\n", path.c_str(), error.c_str());
            std::exit(1);
        }
    }
    return *collection;
}

// The view as the window shows it: a dock-sized widget, shown and painted.
void ShowView(CCollectionView& view)
{
    view.resize(900, 500);
    view.show();
    QCoreApplication::processEvents();
}

// The view opened as the window opens it, its reads on its own thread: timed until the rows
// in sight are shown and painted, with the count of every row (the table's true extent).
// The rest are read after those; BM_OpenCollectionViewReadingApart times the open until
// every row is in (until 2026-12 this benchmark did, with the reads on the window's own
// connection).
void BM_OpenCollectionView(benchmark::State& state)
{
    CCollection& collection = LibraryCollection();
    int rows = 0;
    bool inSight = true;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto view = std::make_unique<CCollectionView>();
        view->SetCollection(&collection, QString(), LibraryPath());
        ShowView(*view);
        while (view->Model()->rowCount() < LIBRARY_PROGRAMS && clock.elapsed() < 60000) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            QCoreApplication::processEvents();
        }
        view->Table()->viewport()->repaint();
        rows = view->Model()->rowCount();
        const int lastInSight = view->Table()->rowAt(view->Table()->viewport()->height() - 1);
        inSight = inSight && view->Model()->Program(lastInSight >= 0 ? lastInSight : rows - 1) != nullptr;
        state.PauseTiming();
        view->WaitForReads();   // the rest, before the view and its reading thread go
        view.reset();
        state.ResumeTiming();
    }
    if (rows != LIBRARY_PROGRAMS)
        state.SkipWithError("the view did not show every program");
    else if (!inSight)
        state.SkipWithError("the rows in sight were not shown");
}
BENCHMARK(BM_OpenCollectionView)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// Typing, then taking letters back, down to an empty field (every program again): each
// step is one keystroke.
void BM_CollectionSearchKeystroke(benchmark::State& state)
{
    CCollection& collection = LibraryCollection();
    CCollectionView view;
    view.SetCollection(&collection);
    ShowView(view);
    const char* const steps[] = {"p", "pa", "pad", "pad ", "pad 4", "pad ", "pad", "pa", "p", ""};
    std::size_t step = 0;
    for (auto _ : state) {
        view.SearchField()->setText(steps[step]);
        QCoreApplication::processEvents();
        step = (step + 1) % (sizeof steps / sizeof steps[0]);
    }
    view.SearchField()->setText("pad");
    if (view.Model()->rowCount() == 0 || view.Model()->rowCount() >= LIBRARY_PROGRAMS)
        state.SkipWithError("the search did not narrow the table");
}
BENCHMARK(BM_CollectionSearchKeystroke)->Unit(benchmark::kMillisecond)->Iterations(40);

// Ctrl+D on one row, as the command does it: the database and the row in memory.
void BM_CollectionFavouriteOneRow(benchmark::State& state)
{
    CCollection& collection = LibraryCollection();
    CCollectionView view;
    view.SetCollection(&collection);
    ShowView(view);
    view.SearchField()->setText("pad 4");
    QCoreApplication::processEvents();
    if (view.Model()->rowCount() == 0) {
        state.SkipWithError("no row to mark");
        return;
    }
    for (auto _ : state) {
        const CCollectionRow program = *view.Model()->Program(0);
        view.SetFavourite({program}, !program.favourite);
    }
}
BENCHMARK(BM_CollectionFavouriteOneRow)->Unit(benchmark::kMillisecond)->Iterations(40);

// The longest the window's thread is held by a run of the event loop, while `done` is not.
double LongestStallMs(const std::function<bool()>& done, double timeoutMs = 10000)
{
    double longest = 0;
    QElapsedTimer total;
    total.start();
    while (!done() && total.elapsed() < timeoutMs) {
        QElapsedTimer run;
        run.start();
        QCoreApplication::processEvents();
        longest = std::max(longest, run.nsecsElapsed() / 1e6);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return longest;
}

// Another connection (veltrix-cli) marks one program; the view looks, as its timer does, and
// shows it. Timed until the row shows the mark; "stall_ms" is the longest the window's thread
// was held by the look or by showing what was read.
void BM_CollectionFollowsAMarkFromElsewhere(benchmark::State& state)
{
    CCollection& collection = LibraryCollection();
    std::string error, notice;
    std::unique_ptr<CCollection> cli = CCollection::Open(LibraryPath(), error, notice);
    CCollectionView view;
    view.SetCollection(&collection, QString(), LibraryPath());
    ShowView(view);
    view.WaitForReads();
    const CollectionId id = view.Model()->Program(view.Table()->rowAt(0))->id;
    double longest = 0;
    for (auto _ : state) {
        const bool favourite = !view.Model()->Program(view.Model()->RowOf(id))->favourite;
        cli->SetFavourite(id, favourite, error);
        QElapsedTimer look;
        look.start();
        view.CheckForChanges();
        longest = std::max(longest, look.nsecsElapsed() / 1e6);
        longest = std::max(longest, LongestStallMs([&] {
            const CCollectionRow* row = view.Model()->Program(view.Model()->RowOf(id));
            return row != nullptr && row->favourite == favourite;
        }));
    }
    state.counters["stall_ms"] = longest;
    if (view.Model()->rowCount() != LIBRARY_PROGRAMS)
        state.SkipWithError("the view lost rows");
}
BENCHMARK(BM_CollectionFollowsAMarkFromElsewhere)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// The view opened with its reads on its own thread, as the window opens it: until every row
// is in (those in sight come first), and the longest the window's thread was held.
void BM_OpenCollectionViewReadingApart(benchmark::State& state)
{
    double longest = 0;
    int rows = 0;
    for (auto _ : state) {
        CCollectionView view;
        view.SetCollection(&LibraryCollection(), QString(), LibraryPath());
        view.resize(900, 500);
        QElapsedTimer shown;
        shown.start();
        view.show();
        longest = std::max(longest, shown.nsecsElapsed() / 1e6);
        longest = std::max(longest, LongestStallMs([&] {
            return view.Model()->rowCount() == LIBRARY_PROGRAMS && view.Model()->UnreadRows() == 0;
        }));
        rows = view.Model()->rowCount();
    }
    state.counters["stall_ms"] = longest;
    if (rows != LIBRARY_PROGRAMS)
        state.SkipWithError("the view did not show every program");
}
BENCHMARK(BM_OpenCollectionViewReadingApart)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

// Another process takes dumps in, one file at a time, while the view is shown and looks
// every 20 ms: 10 dumps (1,280 new programs, followed by the change log) or 100 (12,800, more
// than the log's limit: read again whole). Timed until the view shows them all; "stall_ms"
// is the longest the window's thread was held meanwhile. Last, as it adds to the Collection.
void BM_CollectionFollowsAnImportElsewhere(benchmark::State& state)
{
    CCollection& collection = LibraryCollection();
    // Dumps the Collection has not seen: those after its own, others for each size.
    static int nextNew = LIBRARY_FILES;
    const std::vector<std::string> files = CachedBenchDumps(nextNew, static_cast<int>(state.range(0)));
    nextNew += static_cast<int>(state.range(0));
    CCollectionView view;
    view.SetCollection(&collection, QString(), LibraryPath());
    view.SetPollInterval(20);
    ShowView(view);
    view.WaitForReads();
    const int before = view.Model()->rowCount();
    const int expected = before + static_cast<int>(files.size()) * CACHED_PROGRAMS_PER_DUMP;
    double longest = 0;
    for (auto _ : state) {
        std::thread importer([&files] {
            std::string error, notice;
            std::unique_ptr<CCollection> other = CCollection::Open(LibraryPath(), error, notice);
            for (const std::string& file : files) {
                CImportResult result;
                if (other == nullptr || !other->ImportFile(file, result, error))
                    std::fprintf(stderr, "cannot take in %s: %s\n", file.c_str(), error.c_str());
            }
        });
        longest = LongestStallMs([&] { return view.Model()->rowCount() == expected; }, 60000);
        importer.join();
    }
    state.counters["stall_ms"] = longest;
    if (view.Model()->rowCount() != expected)
        state.SkipWithError("the view did not show what was taken in");
}
BENCHMARK(BM_CollectionFollowsAnImportElsewhere)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    LibraryCollection();   // taken in before any timing

    const std::vector<CBenchCheck> checks = {
        TimeCheck(BenchScaled<std::string>("Open the Collection view over 128,000 programs: the rows in sight",
                                           "Open the Collection view over 1,280,000 programs: the rows in sight"),
                  "BM_OpenCollectionView/iterations:10/real_time", "", 0, BenchScaled(100, 200)),
        TimeCheck("The same: until every row is in", "BM_OpenCollectionViewReadingApart/iterations:10/real_time", "",
                  0, 0),
        TimeCheck("One keystroke in the Collection's search field", "BM_CollectionSearchKeystroke/iterations:40",
                  "", 0, BenchScaled(100, 50)),
        TimeCheck(BenchScaled<std::string>("Ctrl+D on one row of 128,000", "Ctrl+D on one row of 1,280,000"),
                  "BM_CollectionFavouriteOneRow/iterations:40", "", 0, 20),
        CounterCheck("Longest hold of the window's thread while the view follows a mark from elsewhere",
                     "BM_CollectionFollowsAMarkFromElsewhere/iterations:10/real_time", "stall_ms", 50, "ms"),
        CounterCheck("Longest hold of the window's thread while the view opens reading apart",
                     "BM_OpenCollectionViewReadingApart/iterations:10/real_time", "stall_ms", 50, "ms"),
        CounterCheck("Longest hold of the window's thread while another process takes in 10 dumps",
                     "BM_CollectionFollowsAnImportElsewhere/10/iterations:1/real_time", "stall_ms", 50, "ms"),
        CounterCheck("Longest hold of the window's thread while another process takes in 100 dumps",
                     "BM_CollectionFollowsAnImportElsewhere/100/iterations:1/real_time", "stall_ms", 50, "ms"),
    };
    return RunBenchmarksWithChecks(argc, argv, checks);
}
