// Backups and restores: a copy taken while another process writes holds what was done before
// it, every field survives the round trip, and a restore never loses the Collection it
// replaces nor puts a bad copy in its place.

#include "CollectionFieldsSupport.h"

#include "CollectionBackup.h"
#include "CollectionSchema.h"
#include "SqliteDb.h"
#include "WalIndex.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <set>

namespace {

// A process that takes `paths` in one after the other into its own connection, telling the
// number of each file on a pipe once its import returned.
class CImportingProcess
{
public:
    CImportingProcess(const std::string& dbPath, const std::vector<std::string>& paths)
    {
        int ends[2];
        EXPECT_EQ(pipe(ends), 0);
        m_pid = fork();
        if (m_pid == 0) {
            close(ends[0]);
            std::string error, notice;
            auto collection = CCollection::Open(dbPath, error, notice);
            for (int i = 0; collection && i < static_cast<int>(paths.size()); ++i) {
                CImportResult result;
                if (!collection->ImportFile(paths[static_cast<std::size_t>(i)], result, error)
                    || write(ends[1], &i, sizeof i) != static_cast<ssize_t>(sizeof i))
                    _exit(1);
            }
            _exit(0);
        }
        close(ends[1]);
        m_pipe = ends[0];
    }
    ~CImportingProcess()
    {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        close(m_pipe);
    }

    // Reads what the process told until it told `count` imports in all (or 20 s passed).
    int WaitForReported(int count)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (m_reported < count && std::chrono::steady_clock::now() < deadline) {
            pollfd ready{m_pipe, POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0)
                continue;
            int index = 0;
            if (read(m_pipe, &index, sizeof index) != static_cast<ssize_t>(sizeof index))
                break;
            ++m_reported;
        }
        return m_reported;
    }

private:
    pid_t m_pid = 0;
    int m_pipe = -1;
    int m_reported = 0;
};

std::set<std::string> SourceNames(CCollection& collection)
{
    std::set<std::string> names;
    for (const CCollectionSource& source : collection.Sources())
        names.insert(source.name);
    return names;
}

} // namespace

class CollectionBackup : public CCollectionTest
{
protected:
    std::vector<std::string> WriteBanks(unsigned int count)
    {
        std::vector<std::string> paths;
        for (unsigned int i = 0; i < count; ++i)
            paths.push_back(WriteFile("bank" + std::to_string(i) + ".syx", BankDump(MakeBankPrograms("Bank", i * 128))));
        return paths;
    }
    CollectionCopyOutcome BackUp(const std::string& target, std::string& written, std::string& error,
                                 const CCollectionProgress& progress = {})
    {
        return BackUpCollection(DbPath(), target, progress, written, error);
    }
};

TEST_F(CollectionBackup, ACopyTakenWhileAnotherProcessImportsHoldsEveryImportReportedBefore)
{
    OpenCollection();
    const std::vector<std::string> paths = WriteBanks(400);
    CImportingProcess importer(DbPath(), paths);
    const int before = importer.WaitForReported(20);
    ASSERT_EQ(before, 20);

    // The copy starts now; while it runs, the other process goes on taking files in.
    int during = 0;
    std::string written, error;
    const CollectionCopyOutcome outcome = BackUp(PathOf("backup.sqlite"), written, error,
                                                 [&](std::int64_t, std::int64_t) {
                                                     if (during == 0)
                                                         during = importer.WaitForReported(before + 3);
                                                     return true;
                                                 });
    ASSERT_EQ(outcome, CollectionCopyOutcome::Done) << error;
    ASSERT_EQ(during, before + 3);
    EXPECT_EQ(written, PathOf("backup.sqlite"));
    ASSERT_TRUE(CheckCollectionCopy(written, error)) << error;

    std::string notice;
    auto copy = CCollection::Open(written, error, notice);
    ASSERT_TRUE(copy) << error;
    const std::set<std::string> names = SourceNames(*copy);
    for (int i = 0; i < before; ++i)
        EXPECT_EQ(names.count(paths[static_cast<std::size_t>(i)]), 1u) << paths[static_cast<std::size_t>(i)];
    // Whole: what was taken in while the copy ran is in it whole or not at all.
    for (const CCollectionSource& source : copy->Sources())
        EXPECT_EQ(copy->SourcePrograms(source.id).size(), 128u) << source.name;
    EXPECT_EQ(copy->Search({}).size(), names.size() * 128);
}

// The log's file outlives its commits: here it grows while a reader holds back its
// checkpoints, is written back whole, then starts again from its beginning with one commit,
// the older frames still behind it. A backup copies what holds commits, and all of it.
TEST_F(CollectionBackup, ACopyTakesTheLogAsFarAsItsCommitsReachThoughItsFileIsLonger)
{
    auto collection = OpenCollection();
    const std::vector<std::string> paths = WriteBanks(12);
    std::string error;
    int code = 0;
    auto other = CSqliteDb::OpenExisting(DbPath(), false, code, error);
    ASSERT_TRUE(other) << error;
    const auto checkpoint = [&] {
        CSqliteQuery passive(*other, "PRAGMA wal_checkpoint(PASSIVE)");
        EXPECT_TRUE(passive.Next());
        return std::make_pair(passive.Int(1), passive.Int(2));   // frames in the log, written back
    };
    CImportResult result;
    ASSERT_TRUE(other->Exec("BEGIN") && other->Exec("SELECT count(*) FROM sound_block"));
    for (std::size_t i = 0; i + 1 < paths.size(); ++i)
        ASSERT_TRUE(collection->ImportFile(paths[i], result, error)) << error;
    ASSERT_TRUE(other->Exec("COMMIT"));

    const auto backUp = [&](const char* name, std::int64_t& total) {
        std::string written;
        total = 0;
        EXPECT_EQ(BackUp(PathOf(name), written, error, [&](std::int64_t, std::int64_t all) {
                      total = std::max(total, all);
                      return true;
                  }),
                  CollectionCopyOutcome::Done)
            << error;
        std::string notice;
        auto copy = CCollection::Open(written, error, notice);
        EXPECT_TRUE(copy) << error;
        return copy ? SourceNames(*copy) : std::set<std::string>{};
    };
    const auto wholeFile = [&] { return std::filesystem::file_size(DbPath()); };

    // Every commit written back into the file: the index says so, and the copy needs no log.
    const auto [frames, backfilled] = checkpoint();
    const std::optional<CWalIndexState> index = ReadWalIndex(DbPath());
    ASSERT_TRUE(index);
    EXPECT_GT(frames, 100);
    EXPECT_EQ(index->frames, frames);
    EXPECT_EQ(index->backfilled, backfilled);
    EXPECT_EQ(backfilled, frames);
    std::int64_t total = 0;
    EXPECT_EQ(backUp("written-back.sqlite", total).size(), paths.size() - 1);
    EXPECT_EQ(total, static_cast<std::int64_t>(wholeFile()));

    // One more commit, at the log's start again: its frames are copied, the older ones not.
    ASSERT_TRUE(collection->ImportFile(paths.back(), result, error)) << error;
    const std::optional<CWalIndexState> again = ReadWalIndex(DbPath());
    ASSERT_TRUE(again);
    CSqliteQuery pageSize(*other, "PRAGMA page_size");
    ASSERT_TRUE(pageSize.Next());
    const std::int64_t logBytes = WalBytesOf(again->frames, static_cast<int>(pageSize.Int(0)));
    EXPECT_LT(again->frames, frames);
    EXPECT_GT(static_cast<std::int64_t>(std::filesystem::file_size(DbPath() + "-wal")), logBytes);
    EXPECT_EQ(backUp("started-again.sqlite", total).size(), paths.size());
    EXPECT_EQ(total, static_cast<std::int64_t>(wholeFile()) + logBytes);
}

// The copy's view of the Collection holds only while its read lock on the log's index does,
// and a process closing any descriptor of a file loses every lock it holds on it: reading the
// index must leave this process's locks as they were.
TEST_F(CollectionBackup, ReadingTheLogsIndexLeavesThisProcesssLocksOnIt)
{
    auto collection = OpenCollection();
    const std::vector<std::string> paths = WriteBanks(2);
    CImportResult result;
    std::string error;
    ASSERT_TRUE(collection->ImportFile(paths[0], result, error)) << error;
    int code = 0;
    auto reader = CSqliteDb::OpenExisting(DbPath(), true, code, error);
    ASSERT_TRUE(reader) << error;
    ASSERT_TRUE(reader->Exec("BEGIN") && reader->Exec("SELECT count(*) FROM program"));
    ASSERT_TRUE(collection->ImportFile(paths[1], result, error)) << error;   // past the reader's view
    ASSERT_TRUE(ReadWalIndex(DbPath()));

    EXPECT_TRUE(IndexLockedByThisProcess(DbPath()));
    EXPECT_TRUE(reader->Exec("COMMIT"));
}

TEST_F(CollectionBackup, ARoundTripThroughABackupOrAMergeKeepsEveryField)
{
    CCollectionFields original;
    std::int64_t lastChange = 0;
    {
        auto collection = OpenCollection();
        FillWithEveryField(*collection, "", 1, 1800000000);
        original = ReadFields(*collection);
        lastChange = collection->LastChange();
    }
    ASSERT_EQ(original.sources.size(), 5u);
    ASSERT_EQ(original.lists.size(), 3u);
    std::string written, error;
    ASSERT_EQ(BackUp(PathOf("backup.sqlite"), written, error), CollectionCopyOutcome::Done) << error;
    {
        // The copy's change log is the Collection's: a view of the copy follows it from there.
        std::string notice;
        auto copy = CCollection::OpenForReading(written, error, notice, true);
        ASSERT_TRUE(copy) << error;
        EXPECT_EQ(copy->LastChange(), lastChange);
    }

    enum class Way { Restore, Merge };
    const struct {
        const char* what;
        Way way;
        std::string path;   // the Collection the copy goes into
        bool exists;        // a Collection is there before
    } cases[] = {
        {"restored in place of another Collection", Way::Restore, PathOf("other/collection.sqlite"), true},
        {"restored where there was none", Way::Restore, PathOf("fresh/collection.sqlite"), false},
        {"merged into an empty Collection", Way::Merge, PathOf("empty/collection.sqlite"), false},
    };
    for (const auto& c : cases) {
        std::string notice;
        if (c.exists) {
            auto other = CCollection::Open(c.path, error, notice);
            ASSERT_TRUE(other) << error;
            FillWithEveryField(*other, "Other", 9000, 1700000000);
        }
        if (c.way == Way::Restore) {
            std::string setAside;
            ASSERT_EQ(RestoreCollection(c.path, written, {}, setAside, error), CollectionCopyOutcome::Done)
                << c.what << ": " << error;
            EXPECT_EQ(setAside.empty(), !c.exists) << c.what;
        } else {
            auto into = CCollection::Open(c.path, error, notice);
            ASSERT_TRUE(into) << error;
            CMergeResult merged;
            ASSERT_EQ(into->Merge(written, {}, merged, error), CollectionCopyOutcome::Done) << c.what << ": " << error;
            EXPECT_EQ(merged.sources, 5) << c.what;
            EXPECT_EQ(merged.programs, static_cast<int>(original.programs.size())) << c.what;
            EXPECT_EQ(merged.lists, 3) << c.what;
        }
        auto result = CCollection::Open(c.path, error, notice);
        ASSERT_TRUE(result) << error;
        ExpectSameFields(original, ReadFields(*result), c.what);
    }
}

TEST_F(CollectionBackup, ACopyOfAnOlderVersionIsBroughtUpToDateByARestoreOrAMerge)
{
    CCollectionFields original;
    std::string written, error;
    {
        auto collection = OpenCollection();
        FillWithEveryField(*collection, "", 1, 1800000000);
        original = ReadFields(*collection);
    }
    ASSERT_EQ(BackUp(PathOf("backup.sqlite"), written, error), CollectionCopyOutcome::Done) << error;
    const Bytes current = ReadBytes(written);
    const Bytes sound = MakeBankPrograms("A", 1)[17];   // a sound of the first bank, under a new name
    Bytes renamed = sound;
    std::copy_n("Found again ", 12, renamed.begin());

    enum class Way { Restore, Merge };
    const struct {
        int version;
        Way way;
    } cases[] = {{2, Way::Restore}, {2, Way::Merge}, {4, Way::Restore}, {4, Way::Merge}, {6, Way::Restore}, {6, Way::Merge},
                 {7, Way::Restore}, {7, Way::Merge}};
    for (const auto& c : cases) {
        const std::string what = "version " + std::to_string(c.version) + (c.way == Way::Restore ? " restored" : " merged");
        const std::string folder = PathOf(what);
        std::filesystem::create_directories(folder);
        const std::string copy = WriteFile(what + ".sqlite", current);
        MakeOlderVersionFile(copy, c.version);
        const Bytes before = ReadBytes(copy);
        const std::string path = folder + "/collection.sqlite";
        std::string notice;
        if (c.way == Way::Restore) {
            {
                auto replaced = CCollection::Open(path, error, notice);
                ASSERT_TRUE(replaced) << error;
            }
            std::string setAside;
            ASSERT_EQ(RestoreCollection(path, copy, {}, setAside, error), CollectionCopyOutcome::Done)
                << what << ": " << error;
            // Put in place at this version, before anything opens it.
            int code = 0;
            auto db = CSqliteDb::OpenReadOnly(path, code, error);
            ASSERT_TRUE(db) << error;
            CSqliteQuery version(*db, "PRAGMA user_version");
            ASSERT_TRUE(version.Next());
            EXPECT_EQ(version.Int(0), CollectionSchemaSteps().back().version) << what;
            CSqliteQuery application(*db, "PRAGMA application_id");
            ASSERT_TRUE(application.Next());
            EXPECT_EQ(application.Int(0), COLLECTION_APPLICATION_ID) << what;
        } else {
            auto into = CCollection::Open(path, error, notice);
            ASSERT_TRUE(into) << error;
            CMergeResult merged;
            ASSERT_EQ(into->Merge(copy, {}, merged, error), CollectionCopyOutcome::Done) << what << ": " << error;
        }
        auto result = CCollection::Open(path, error, notice);
        ASSERT_TRUE(result) << error;
        ExpectSameFields(original, ReadFields(*result), what);
        // Its sounds are found by this Collection's key.
        CImportResult again;
        ASSERT_TRUE(result->ImportFileBytes("/again.syx", OneProgramDump(renamed), again, error)) << error;
        EXPECT_EQ(again.newPrograms, 0) << what;
        // The copy is as it was, and nothing of the work is left beside either.
        EXPECT_TRUE(ReadBytes(copy) == before) << what;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name.rfind("collection.sqlite", 0) == 0 && name.find(".veltrix-") == std::string::npos
                        && name.find(".before-v") == std::string::npos)
                << what << ": " << name;
        }
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            EXPECT_EQ(entry.path().filename().string().rfind(what + ".sqlite-", 0), std::string::npos)
                << what << ": " << entry.path();
    }
}

TEST_F(CollectionBackup, IsRefusedOntoTheCollectionAndLeavesNothingWhenItCannotFinish)
{
    {
        auto collection = OpenCollection();
        FillWithEveryField(*collection, "", 1, 1800000000);
    }
    std::string written, error;
    for (const std::string& target : {DbPath(), DbPath() + "-wal", DbPath() + "-shm"}) {
        EXPECT_EQ(BackUp(target, written, error), CollectionCopyOutcome::Refused) << target;
        EXPECT_NE(error.find("onto the Collection itself"), std::string::npos) << error;
    }

    // A cancelled backup leaves the earlier file as it was, and nothing beside it.
    const std::string earlier = WriteFile("earlier.sqlite", Bytes{'o', 'l', 'd'});
    EXPECT_EQ(BackUp(earlier, written, error, [](std::int64_t, std::int64_t) { return false; }),
              CollectionCopyOutcome::Cancelled);
    EXPECT_EQ(ReadBytes(earlier), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(BackUp(PathOf("no/such/folder/b.sqlite"), written, error), CollectionCopyOutcome::FileFailed);
    EXPECT_EQ(BackUpCollection(PathOf("none.sqlite"), PathOf("b.sqlite"), {}, written, error),
              CollectionCopyOutcome::CollectionFailed);
    EXPECT_FALSE(std::filesystem::exists(PathOf("none.sqlite")));
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir))
        files += entry.path().filename().string().find(".veltrix-") != std::string::npos ? 1 : 0;
    EXPECT_EQ(files, 0u);

    // A folder gets a file named after the time.
    std::filesystem::create_directories(PathOf("backups"));
    ASSERT_EQ(BackUp(PathOf("backups"), written, error), CollectionCopyOutcome::Done) << error;
    EXPECT_EQ(written.rfind(PathOf("backups/collection-"), 0), 0u) << written;
    EXPECT_TRUE(CheckCollectionCopy(written, error)) << error;
}

using CollectionRestore = CollectionBackup;

TEST_F(CollectionRestore, ACopyThatIsNotAGoodCollectionIsRefusedAndNothingChanges)
{
    {
        auto collection = OpenCollection();
        FillWithEveryField(*collection, "", 1, 1800000000);
    }
    std::string written, error, setAside;
    ASSERT_EQ(BackUp(PathOf("good.sqlite"), written, error), CollectionCopyOutcome::Done) << error;
    const Bytes good = ReadBytes(written);
    const auto makeDatabase = [this](const std::string& name, const char* sql) {
        int code = 0;
        std::string failure;
        auto db = CSqliteDb::Open(PathOf(name), code, failure);
        EXPECT_TRUE(db && db->Exec(sql)) << name;
        return PathOf(name);
    };
    // A page in the middle of the file overwritten, and a source's bytes changed in place.
    Bytes pageBroken = good;
    const std::size_t pageSize = good[16] * 256u + good[17];   // the header's page size
    ASSERT_GE(good.size(), pageSize * 4);
    std::fill(pageBroken.begin() + pageSize * 3, pageBroken.begin() + pageSize * 3 + 200, 0x5A);
    const std::string changedSource = WriteFile("changed.sqlite", good);
    {
        int code = 0;
        auto db = CSqliteDb::Open(changedSource, code, error);
        ASSERT_TRUE(db && db->Exec("UPDATE source SET bytes = CAST(zeroblob(length(bytes)) AS BLOB) WHERE id = 2"));
    }

    const struct {
        const char* what;
        std::string path;
        const char* says;
    } cases[] = {
        {"missing", PathOf("missing.sqlite"), "does not exist"},
        {"a folder", m_dir.string(), "is not a file"},
        {"a text file", WriteFile("notes.txt", Bytes(5000, 'x')), "is not a Collection"},
        {"an empty database", makeDatabase("empty.sqlite", "PRAGMA user_version = 0"), "holds no Collection"},
        {"another program's", makeDatabase("other.sqlite", "CREATE TABLE notes(text)"), "another program"},
        {"a newer Collection", makeDatabase("newer.sqlite", "CREATE TABLE t(x); PRAGMA application_id = 1447382100; PRAGMA user_version = 99"), "newer"},
        {"a damaged page", WriteFile("page.sqlite", pageBroken), "damaged"},
        {"a source's bytes changed", changedSource, "source 2"},
        {"the Collection itself", DbPath(), "the Collection itself"},
    };
    const Bytes before = ReadBytes(DbPath());
    for (const auto& c : cases) {
        const CollectionCopyOutcome outcome = RestoreCollection(DbPath(), c.path, {}, setAside, error);
        EXPECT_NE(outcome, CollectionCopyOutcome::Done) << c.what;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(ReadBytes(DbPath()) == before) << c.what;
        EXPECT_TRUE(setAside.empty()) << c.what;
    }
    EXPECT_EQ(ReadBytes(written), good);
}

TEST_F(CollectionRestore, IsRefusedWhileAnyOtherConnectionHasTheCollectionOpen)
{
    auto collection = OpenCollection();
    FillWithEveryField(*collection, "", 1, 1800000000);
    std::string written, error, setAside;
    ASSERT_EQ(BackUp(PathOf("backup.sqlite"), written, error), CollectionCopyOutcome::Done) << error;
    CImportResult result;
    ASSERT_TRUE(collection->ImportFileBytes("/late.syx", OneProgramDump(MakeProgram("Late", 77)), result, error));

    EXPECT_EQ(RestoreCollection(DbPath(), written, {}, setAside, error), CollectionCopyOutcome::CollectionFailed);
    EXPECT_NE(error.find("is open in another program"), std::string::npos) << error;
    // The open connection goes on as before, with nothing moved.
    EXPECT_EQ(collection->Sources().size(), 6u);
    ASSERT_TRUE(collection->ImportFileBytes("/later.syx", OneProgramDump(MakeProgram("Later", 78)), result, error))
        << error;
    collection.reset();
    EXPECT_EQ(OpenCollection()->Sources().size(), 7u);
}

TEST_F(CollectionRestore, TheCollectionSetAsideKeepsWhatItsLogStillHeld)
{
    {
        auto collection = OpenCollection();
        FillWithEveryField(*collection, "", 1, 1800000000);
    }
    std::string written, error, setAside;
    ASSERT_EQ(BackUp(PathOf("backup.sqlite"), written, error), CollectionCopyOutcome::Done) << error;
    // A process that took a file in and died before closing leaves it in the write-ahead log.
    const pid_t child = fork();
    if (child == 0) {
        std::string failure, notice;
        auto collection = CCollection::Open(DbPath(), failure, notice);
        CImportResult result;
        const bool taken = collection && collection->ImportFileBytes("/last.syx", OneProgramDump(MakeProgram("Last", 5)),
                                                                     result, failure);
        kill(getpid(), taken ? SIGKILL : SIGTERM);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    ASSERT_TRUE(std::filesystem::exists(DbPath() + "-wal"));

    ASSERT_EQ(RestoreCollection(DbPath(), written, {}, setAside, error), CollectionCopyOutcome::Done) << error;
    EXPECT_EQ(setAside.rfind(DbPath() + ".before-restore-", 0), 0u) << setAside;
    EXPECT_FALSE(std::filesystem::exists(DbPath() + "-wal"));
    std::string notice;
    auto old = CCollection::Open(setAside, error, notice);
    ASSERT_TRUE(old) << error;
    EXPECT_EQ(old->Sources().size(), 6u);
    EXPECT_EQ(SourceNames(*OpenCollection()).count("/last.syx"), 0u);
}

TEST_F(CollectionRestore, AViewThatFollowedTheCollectionItReplacedReadsEveryRowAgain)
{
    std::int64_t last = 0;
    {
        auto collection = OpenCollection();
        FillWithEveryField(*collection, "", 1, 1800000000);
        last = collection->LastChange();
    }
    // A copy whose change log has gone further than the Collection's: its numbers mean
    // other changes.
    const std::string otherPath = PathOf("busy/collection.sqlite");
    {
        std::string error, notice;
        auto busy = CCollection::Open(otherPath, error, notice);
        ASSERT_TRUE(busy) << error;
        FillWithEveryField(*busy, "Busy", 9000, 1700000000);
        const std::vector<CollectionId> programs = busy->SourcePrograms(busy->Sources().front().id);
        for (int round = 0; round < 4; ++round)
            for (const CollectionId id : programs)
                ASSERT_TRUE(busy->SetFavourite(id, round % 2 == 0, error)) << error;
        ASSERT_GT(busy->LastChange(), last + 100);
    }
    std::string written, error, setAside;
    ASSERT_EQ(BackUpCollection(otherPath, PathOf("busy.sqlite"), {}, written, error), CollectionCopyOutcome::Done);
    ASSERT_EQ(RestoreCollection(DbPath(), written, {}, setAside, error), CollectionCopyOutcome::Done) << error;

    auto restored = OpenCollection();
    CCollectionChanges changes;
    ASSERT_TRUE(restored->ChangesSince(last, changes));
    EXPECT_TRUE(changes.readAgain);
    // From the number it gives now on, changes are followed as before.
    const std::int64_t now = restored->LastChange();
    const CollectionId first = restored->SourcePrograms(restored->Sources().front().id)[3];
    ASSERT_TRUE(restored->SetHidden(first, true, error)) << error;
    ASSERT_TRUE(restored->ChangesSince(now, changes));
    EXPECT_FALSE(changes.readAgain);
    EXPECT_EQ(changes.programs, std::vector<CollectionId>{first});
}
