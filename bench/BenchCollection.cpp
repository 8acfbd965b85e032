#include "BenchCollection.h"

#include "BenchDumpCache.h"

#include "Collection.h"
#include "ImportBatch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

[[noreturn]] void Die(const std::string& what)
{
    std::fprintf(stderr, "bench: %s\n", what.c_str());
    std::exit(1);
}

} // namespace

const std::string& BenchDatabaseFolder()
{
    // Never destroyed: the removal at exit runs after the statics are gone.
    static const std::string* const folder = [] {
        char pattern[] = "/tmp/veltrix-bench-db-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            Die("cannot make a folder in /tmp");
        const auto* made = new std::string(pattern);
        std::atexit([] { std::filesystem::remove_all(BenchDatabaseFolder()); });
        return made;
    }();
    return *folder;
}

std::unique_ptr<CCollection> OpenBenchCollection(const std::string& path)
{
    std::string error, notice;
    std::unique_ptr<CCollection> collection = CCollection::Open(path, error, notice);
    if (!collection)
        Die(error);
    return collection;
}

void MakeBenchCollection(const std::string& path, int dumps)
{
    std::unique_ptr<CCollection> collection = OpenBenchCollection(path);
    std::fprintf(stderr, "bench: taking %d dumps into %s...\n", dumps, path.c_str());
    {
        CImportBatch batch(*collection, [](const CImportBatch::COutcome& outcome) {
            if (!outcome.taken)
                Die(outcome.path + ": " + outcome.error);
        });
        for (const std::string& dump : CachedBenchDumps(0, dumps))
            batch.Add(dump);
        batch.Commit();
    }
    // Ids run from 1 in the order taken in: the marks go to programs spread over the files.
    std::string error;
    const CollectionId step = static_cast<CollectionId>(dumps) * CACHED_PROGRAMS_PER_DUMP / BENCH_MARKED_PROGRAMS;
    for (int i = 0; i < BENCH_MARKED_PROGRAMS; ++i) {
        if (!collection->SetFavourite(1 + i * step, true, error) || !collection->AddTag(2 + i * step, BENCH_TAG, error))
            Die(error);
    }
    const std::vector<CCollectionSource> sources = collection->Sources();
    if (sources.size() < 2 || !collection->SaveList(BENCH_LIST, collection->SourcePrograms(sources[1].id), error))
        Die("cannot save the list: " + error);
}
