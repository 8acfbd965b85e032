// The write-ahead log written back by a thread of its own while commits follow one another:
// the file gets the commits without the writer writing back, the log stays short, and the
// writer's own settings come back at the end.

#include "BackgroundCheckpoints.h"
#include "CollectionTestSupport.h"
#include "SqliteDb.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

class BackgroundCheckpoints : public CCollectionTest
{
protected:
    std::unique_ptr<CSqliteDb> OpenWriter()
    {
        int code = 0;
        std::string error;
        std::unique_ptr<CSqliteDb> db = CSqliteDb::Open(DbPath(), code, error);
        EXPECT_TRUE(db) << error;
        EXPECT_TRUE(db->Exec("PRAGMA journal_mode = WAL; PRAGMA journal_size_limit = 65536;"
                             " PRAGMA wal_autocheckpoint = 100;"
                             " CREATE TABLE IF NOT EXISTS t(x BLOB)"));
        return db;
    }

    // One commit of `rows` rows of 4 KB each.
    static void Commit(CSqliteDb& db, int rows)
    {
        ASSERT_TRUE(db.Exec("BEGIN"));
        for (int i = 0; i < rows; ++i)
            ASSERT_TRUE(db.Exec("INSERT INTO t VALUES(randomblob(4000))"));
        ASSERT_TRUE(db.Exec("COMMIT"));
    }

    static std::int64_t Pragma(CSqliteDb& db, const char* sql)
    {
        CSqliteQuery query(db, sql);
        return query.Next() ? query.Int(0) : -2;
    }

    std::uintmax_t Size(const char* suffix) const { return std::filesystem::file_size(DbPath() + suffix); }
};

TEST_F(BackgroundCheckpoints, WriteTheLogBackApartAndKeepItShort)
{
    std::unique_ptr<CSqliteDb> writer = OpenWriter();
    const std::int64_t autocheckpoint = Pragma(*writer, "PRAGMA wal_autocheckpoint");
    const std::uintmax_t emptyFile = Size("");
    {
        std::unique_ptr<CBackgroundCheckpoints> checkpoints = CBackgroundCheckpoints::Start(*writer, 1 << 20);
        ASSERT_TRUE(checkpoints);
        // 400 KB, far below the 1 MB at which the writer writes back itself: the file gets
        // them from the thread.
        Commit(*writer, 100);
        for (int wait = 0; checkpoints->Done() == 0 && wait < 1000; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_GT(checkpoints->Done(), 0);
        EXPECT_GT(Size(""), emptyFile + 300 * 1024);

        // 16 MB in commits of 400 KB: the log starts again once it reaches 1 MB.
        for (int i = 0; i < 40; ++i)
            Commit(*writer, 100);
        EXPECT_LT(Size("-wal"), 4u << 20);
    }
    EXPECT_EQ(Pragma(*writer, "PRAGMA wal_autocheckpoint"), autocheckpoint);
    EXPECT_EQ(Pragma(*writer, "PRAGMA journal_size_limit"), 65536);

    // Every commit is there for another connection, and the file is whole.
    std::unique_ptr<CSqliteDb> reader = OpenWriter();
    EXPECT_EQ(Pragma(*reader, "SELECT count(*) FROM t"), 4100);
    CSqliteQuery check(*reader, "PRAGMA integrity_check");
    ASSERT_TRUE(check.Next());
    EXPECT_EQ(check.Text(0), "ok");
}

} // namespace
