// Several processes on one Collection: concurrent imports lose nothing, and a process killed
// in the middle of an import leaves no part of that file behind.

#include "CollectionTestSupport.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <set>
#include <thread>

namespace {

// Forks a process that imports `paths` into its own connection, then exits 0 when every
// import succeeded.
pid_t ImportInChild(const std::string& dbPath, const std::vector<std::string>& paths)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    std::string error, notice;
    auto collection = CCollection::Open(dbPath, error, notice);
    int failures = collection ? 0 : 1;
    for (const std::string& path : paths) {
        CImportResult result;
        if (collection && !collection->ImportFile(path, result, error))
            ++failures;
    }
    collection.reset();
    _exit(failures == 0 ? 0 : 1);
}

int ExitCode(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Every source whole: its programs all there, each counted in as many sources as hold it.
void ExpectConsistent(CCollection& collection, std::size_t programsPerSource)
{
    std::map<CollectionId, std::set<CollectionId>> sourcesOf;
    for (const CCollectionSource& source : collection.Sources()) {
        const std::vector<CollectionId> slots = collection.SourcePrograms(source.id);
        EXPECT_EQ(slots.size(), programsPerSource) << source.name;
        EXPECT_EQ(source.programCount, static_cast<int>(programsPerSource));
        for (const CollectionId id : slots)
            sourcesOf[id].insert(source.id);
    }
    const std::vector<CCollectionProgram> programs = collection.Search({});
    EXPECT_EQ(programs.size(), sourcesOf.size());
    for (const CCollectionProgram& program : programs) {
        EXPECT_EQ(static_cast<std::size_t>(program.sourceCount), sourcesOf[program.id].size()) << program.id;
        EXPECT_FALSE(collection.ProgramNames(program.id).empty());
    }
}

} // namespace

class CollectionProcesses : public CCollectionTest
{
protected:
    std::vector<std::string> WriteBanks(const std::string& prefix, unsigned int count, unsigned int firstSeed)
    {
        std::vector<std::string> paths;
        for (unsigned int i = 0; i < count; ++i)
            paths.push_back(WriteFile(prefix + std::to_string(i) + ".syx",
                                      BankDump(MakeBankPrograms(prefix, firstSeed + i * 128))));
        return paths;
    }
};

TEST_F(CollectionProcesses, TwoProcessesImportingAtOnceBothSucceedAndLoseNothing)
{
    OpenCollection();   // made before, so the two children only take files in
    const std::vector<std::string> first = WriteBanks("first", 20, 0);
    const std::vector<std::string> second = WriteBanks("second", 20, 100000);
    const pid_t one = ImportInChild(DbPath(), first);
    const pid_t two = ImportInChild(DbPath(), second);
    EXPECT_EQ(ExitCode(one), 0);
    EXPECT_EQ(ExitCode(two), 0);

    auto collection = OpenCollection();
    EXPECT_EQ(collection->Sources().size(), 40u);
    EXPECT_EQ(collection->Search({}).size(), 40u * 128);
    ExpectConsistent(*collection, 128);
}

TEST_F(CollectionProcesses, AProcessKilledInTheMiddleLeavesOnlyWholeFiles)
{
    OpenCollection();
    const std::vector<std::string> paths = WriteBanks("bank", 300, 0);
    const pid_t child = ImportInChild(DbPath(), paths);
    {
        auto watcher = OpenCollection();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (watcher->Sources().size() < 5 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(child, SIGKILL);
    ExitCode(child);

    auto collection = OpenCollection();
    const std::size_t sources = collection->Sources().size();
    EXPECT_GE(sources, 5u);
    EXPECT_LT(sources, paths.size()) << "the import ended before it could be killed";
    EXPECT_EQ(collection->Search({}).size(), sources * 128);
    ExpectConsistent(*collection, 128);
    // What was cut short can be taken in again, whole.
    CImportResult result;
    std::string error;
    ASSERT_TRUE(collection->ImportFile(paths[sources], result, error)) << error;
    EXPECT_EQ(result.newPrograms, 128);
}
