// Several processes on one Collection: concurrent imports lose nothing, and a process killed
// in the middle of an import leaves no part of that file behind.

#include "CollectionTestSupport.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

namespace {

// Forks a process that opens the Collection and takes one file in, then ends without
// closing it, as a killed or crashed one would: its write-ahead log stays.
void ImportAndDieInChild(const std::string& dbPath, const std::string& path)
{
    const pid_t pid = fork();
    if (pid == 0) {
        std::string error, notice;
        auto collection = CCollection::Open(dbPath, error, notice);
        CImportResult result;
        _exit(collection && collection->ImportFile(path, result, error) ? 0 : 1);
    }
    ASSERT_EQ(ExitCode(pid), 0);
}

} // namespace

TEST_F(CollectionProcesses, AfterAnUncleanShutdownTheFileIsCheckedAndAStaleLogIsNotApplied)
{
    const std::vector<std::string> banks = WriteBanks("bank", 3, 0);
    // A session that ended without closing: everything it reported done is still there.
    {
        auto collection = OpenCollection();
        for (int i = 0; i < 40; ++i) {
            CImportResult result;
            std::string error;
            ASSERT_TRUE(collection->ImportFileBytes("/big" + std::to_string(i) + ".syx",
                                                    BankDump(MakeBankPrograms("Big", 10000 + i * 128)), result, error));
        }
    }
    ImportAndDieInChild(DbPath(), banks[0]);
    ASSERT_GT(std::filesystem::file_size(DbPath() + "-wal"), 32u);
    {
        auto collection = OpenCollection();
        EXPECT_EQ(collection->Sources().size(), 41u);
    }

    // A small copy put back over this Collection, beside the log a crashed session left:
    // the log does not fit it; it is not applied, and nothing is moved.
    const std::string copy = PathOf("copy.sqlite");
    {
        std::string error, notice;
        auto small = CCollection::Open(copy, error, notice);
        ASSERT_TRUE(small) << error;
        CImportResult result;
        ASSERT_TRUE(small->ImportFileBytes("/small.syx", BankDump(MakeBankPrograms("Small", 1)), result, error));
    }
    ImportAndDieInChild(DbPath(), banks[1]);
    ImportAndDieInChild(DbPath(), banks[2]);
    std::filesystem::copy_file(copy, DbPath(), std::filesystem::copy_options::overwrite_existing);
    const Bytes restored = ReadBytes(DbPath());
    std::string error, notice;
    EXPECT_FALSE(CCollection::Open(DbPath(), error, notice));
    EXPECT_NE(error.find("If you put the file back from a copy, that log belongs to the file it replaced: move "
                         + DbPath() + "-wal"),
              std::string::npos)
        << error;
    EXPECT_EQ(ReadBytes(DbPath()), restored);
    for (const auto& entry : std::filesystem::directory_iterator(m_dir))
        EXPECT_EQ(entry.path().filename().string().find(".damaged-"), std::string::npos) << entry.path();
    // Moving the log away, as the message says, gives the copy back.
    std::filesystem::remove(DbPath() + "-wal");
    std::filesystem::remove(DbPath() + "-shm");
    auto collection = OpenCollection();
    EXPECT_EQ(collection->Sources().size(), 1u);
}

TEST_F(CollectionProcesses, ProcessesThatFindOneDamagedFileAtOnceLoseNoImportTheyReported)
{
    // A Collection cut short, found damaged by four processes starting together, each of which
    // then takes a file of its own in.
    {
        auto collection = OpenCollection();
        for (const std::string& path : WriteBanks("old", 6, 50000)) {
            CImportResult result;
            std::string error;
            ASSERT_TRUE(collection->ImportFile(path, result, error));
        }
    }
    const Bytes whole = ReadBytes(DbPath());
    const Bytes cut(whole.begin(), whole.begin() + whole.size() / 2 + 10);
    const std::vector<std::string> banks = WriteBanks("new", 4, 0);
    for (int round = 0; round < 8; ++round) {
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            if (entry.path().filename().string().rfind("collection.sqlite", 0) == 0)
                std::filesystem::remove(entry.path());
        WriteFile("collection.sqlite", cut);
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        std::vector<pid_t> children;
        for (const std::string& bank : banks) {
            const pid_t pid = fork();
            if (pid == 0) {
                close(gate[1]);
                char byte;
                (void)read(gate[0], &byte, 1);   // all start at once, when the gate closes
                std::string error, notice;
                auto collection = CCollection::Open(DbPath(), error, notice);
                CImportResult result;
                _exit(collection && collection->ImportFile(bank, result, error) ? 0 : 1);
            }
            children.push_back(pid);
        }
        close(gate[0]);
        close(gate[1]);
        std::vector<std::string> reported;
        for (std::size_t i = 0; i < children.size(); ++i)
            if (ExitCode(children[i]) == 0)
                reported.push_back(banks[i]);
        EXPECT_FALSE(reported.empty()) << "round " << round;

        auto collection = OpenCollection();
        std::set<std::string> kept;
        for (const CCollectionSource& source : collection->Sources())
            kept.insert(source.name);
        for (const std::string& bank : reported)
            EXPECT_EQ(kept.count(bank), 1u) << "round " << round << ": " << bank << " was reported taken in";
        ExpectConsistent(*collection, 128);
    }
}

// A second connection of this process (the window's view reads on one of its own) must not
// end the locks of the first: another process closing its last connection would then take
// the write-ahead log away, and what the first writes afterwards would be lost. The other
// process is veltrix-cli, started anew: a forked child would share this process's idea of
// its locks.
TEST_F(CollectionProcesses, ASecondConnectionOfOneProcessKeepsTheWritesOfTheFirst)
{
    auto window = OpenCollection();
    const std::vector<std::string> banks = WriteBanks("bank", 2, 0);
    CImportResult result;
    std::string error;
    ASSERT_TRUE(window->ImportFile(banks[0], result, error)) << error;
    auto reader = OpenCollection();
    ASSERT_FALSE(reader->Search({}).empty());

    const pid_t cli = fork();
    if (cli == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        execl(VELTRIX_CLI_PATH, VELTRIX_CLI_PATH, "import", "--collection", DbPath().c_str(), banks[1].c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_EQ(ExitCode(cli), 0);
    system(("ls -la /proc/" + std::to_string(getpid()) + "/fd | grep sqlite").c_str());
    const CollectionId renamed = window->Search({}).front().id;
    ASSERT_TRUE(window->Rename(renamed, "Kept Name", error)) << error;
    reader.reset();

    auto again = OpenCollection();   // while the first is open, as veltrix-cli would look
    EXPECT_EQ(again->Sources().size(), 2u);
    const std::vector<CCollectionProgram> programs = again->Search({});
    const auto found = std::find_if(programs.begin(), programs.end(),
                                    [renamed](const CCollectionProgram& program) { return program.id == renamed; });
    ASSERT_NE(found, programs.end());
    EXPECT_EQ(found->shownName, "Kept Name");
}
