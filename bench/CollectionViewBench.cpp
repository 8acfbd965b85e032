// The Collection view over 128,000 programs (1,000 dumps taken into a new database),
// offscreen: opening it (the first search, the filters, the table laid out and painted) and
// one keystroke in its search field (the search again and the table repainted).

#include "BenchDumpCache.h"
#include "BenchScale.h"
#include "BenchSummary.h"
#include "Collection.h"
#include "collection/CollectionModel.h"
#include "collection/CollectionView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

const int LIBRARY_FILES = CollectionBenchDumpCount();  // 128,000 programs; 1,280,000 in the big run
const int LIBRARY_PROGRAMS = LIBRARY_FILES * CACHED_PROGRAMS_PER_DUMP;

// The database with the whole library taken in, made once for the run.
CCollection& LibraryCollection()
{
    static QTemporaryDir folder;
    static std::unique_ptr<CCollection> collection;
    if (collection)
        return *collection;
    std::string error, notice;
    collection = CCollection::Open(folder.filePath("collection.sqlite").toStdString(), error, notice);
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

void BM_OpenCollectionView(benchmark::State& state)
{
    CCollection& collection = LibraryCollection();
    int rows = 0;
    for (auto _ : state) {
        CCollectionView view;
        view.SetCollection(&collection);
        ShowView(view);
        rows = view.Model()->rowCount();
    }
    if (rows != LIBRARY_PROGRAMS)
        state.SkipWithError("the view did not show every program");
}
BENCHMARK(BM_OpenCollectionView)->Unit(benchmark::kMillisecond)->Iterations(10);

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

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    LibraryCollection();   // taken in before any timing

    const std::vector<CBenchCheck> checks = {
        TimeCheck(BenchScaled<std::string>("Open the Collection view over 128,000 programs",
                                           "Open the Collection view over 1,280,000 programs"),
                  "BM_OpenCollectionView/iterations:10", "", 0, BenchScaled(100, 200)),
        TimeCheck("One keystroke in the Collection's search field", "BM_CollectionSearchKeystroke/iterations:40",
                  "", 0, BenchScaled(100, 50)),
    };
    return RunBenchmarksWithChecks(argc, argv, checks);
}
