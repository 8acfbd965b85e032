// Following changes: the change log names what changed, whoever changed it, and ReadRows reads
// just those rows.

#include "CollectionTestSupport.h"

#include "SqliteDb.h"

#include <functional>

using CollectionChanges = CCollectionTest;

TEST_F(CollectionChanges, EachKindOfChangeNamesItsProgramsToAnotherConnection)
{
    auto writer = OpenCollection();
    auto view = OpenCollection();   // another connection, as another process would be
    std::string error;
    CImportResult bank;
    ASSERT_TRUE(writer->ImportFileBytes("/bank.syx", BankDump(MakeBankPrograms("Bank", 1)), bank, error));
    const std::vector<CollectionId> slots = writer->SourcePrograms(bank.source);
    std::vector<CollectionId> bankIds = slots;
    std::sort(bankIds.begin(), bankIds.end());
    std::vector<Bytes> variant = MakeBankPrograms("Variant", 1);   // the same sounds, other names
    std::vector<Bytes> halfNew = MakeBankPrograms("Half", 1);
    for (int i = 64; i < 128; ++i)
        halfNew[static_cast<std::size_t>(i)] = MakeProgram("New " + std::to_string(i), 5000 + i);

    const struct {
        const char* what;
        std::function<bool()> change;
        std::vector<CollectionId> programs;   // empty with `anyPrograms`: checked by count
        bool filtersChanged;
        std::size_t count;
    } cases[] = {
        {"favourite", [&] { return writer->SetFavourite(slots[3], true, error); }, {slots[3]}, false, 1},
        {"favourite again, unchanged", [&] { return writer->SetFavourite(slots[3], true, error); }, {}, false, 0},
        {"hidden", [&] { return writer->SetHidden(slots[4], true, error); }, {slots[4]}, false, 1},
        {"rename", [&] { return writer->Rename(slots[5], "Renamed", error); }, {slots[5]}, false, 1},
        {"comment", [&] { return writer->SetComment(slots[6], "live", error); }, {slots[6]}, false, 1},
        {"tag", [&] { return writer->AddTag(slots[7], "pads", error); }, {slots[7]}, true, 1},
        {"untag", [&] { return writer->RemoveTag(slots[7], "pads", error); }, {slots[7]}, true, 1},
        {"list", [&] { return writer->SaveList("mine", {slots[1], slots[2]}, error); }, {}, true, 0},
        {"a known file again", [&] {
             CImportResult again;
             return writer->ImportFileBytes("/copy.syx", BankDump(MakeBankPrograms("Bank", 1)), again, error);
         }, {}, false, 0},
        {"the same sounds under other names", [&] {
             CImportResult result;
             return writer->ImportFileBytes("/variant.syx", BankDump(variant), result, error);
         }, bankIds, true, 128},
        {"half new sounds", [&] {
             CImportResult result;
             return writer->ImportFileBytes("/half.syx", BankDump(halfNew), result, error);
         }, {}, true, 128},
    };
    std::int64_t since = view->LastChange();
    for (const auto& c : cases) {
        ASSERT_TRUE(c.change()) << c.what << ": " << error;
        CCollectionChanges changes;
        ASSERT_TRUE(view->ChangesSince(since, changes)) << c.what;
        EXPECT_FALSE(changes.readAgain) << c.what;
        EXPECT_EQ(changes.filtersChanged, c.filtersChanged) << c.what;
        EXPECT_EQ(changes.programs.size(), c.count) << c.what;
        if (!c.programs.empty()) {
            EXPECT_EQ(changes.programs, c.programs) << c.what;
        }
        EXPECT_EQ(changes.last, view->LastChange()) << c.what;
        since = changes.last;
    }

    // The rows of what changed, as SearchRows gives them.
    std::vector<CCollectionRow> rows;
    ASSERT_TRUE(view->ReadRows({slots[7], slots[5], slots[4], 999999}, rows));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].id, std::min({slots[4], slots[5], slots[7]}));
    for (const CCollectionRow& row : rows) {
        if (row.id == slots[5]) {
            EXPECT_EQ(row.shownName, "Renamed");
        }
        if (row.id == slots[4]) {
            EXPECT_TRUE(row.hidden);
        }
    }
    ASSERT_TRUE(writer->AddTag(slots[5], "b", error) && writer->AddTag(slots[5], "A", error));
    ASSERT_TRUE(view->ReadRows({slots[5]}, rows));
    EXPECT_EQ(rows[0].tags, (std::vector<std::string>{"A", "b"}));
}

TEST_F(CollectionChanges, TooMuchOrTooOldAsksForEveryRowAgain)
{
    auto collection = OpenCollection();
    std::string error;
    CImportResult bank;
    ASSERT_TRUE(collection->ImportFileBytes("/bank.syx", BankDump(MakeBankPrograms("Bank", 1)), bank, error));
    const std::vector<CollectionId> slots = collection->SourcePrograms(bank.source);
    const std::int64_t since = collection->LastChange();
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(collection->SetFavourite(slots[static_cast<std::size_t>(i)], true, error));

    CCollectionChanges changes;
    ASSERT_TRUE(collection->ChangesSince(since, changes, 10));
    EXPECT_TRUE(changes.readAgain);
    EXPECT_TRUE(changes.programs.empty());
    EXPECT_EQ(changes.last, collection->LastChange());
    ASSERT_TRUE(collection->ChangesSince(since, changes, 20));
    EXPECT_FALSE(changes.readAgain);
    EXPECT_EQ(changes.programs.size(), 20u);

    // The oldest changes trimmed away, or a file put back that never got this far.
    {
        int code = 0;
        auto db = CSqliteDb::Open(DbPath(), code, error);
        ASSERT_TRUE(db && db->Exec("DELETE FROM change_log WHERE seq <= (SELECT max(seq) - 5 FROM change_log)"));
    }
    ASSERT_TRUE(collection->ChangesSince(since, changes));
    EXPECT_TRUE(changes.readAgain);
    ASSERT_TRUE(collection->ChangesSince(collection->LastChange() + 100, changes));
    EXPECT_TRUE(changes.readAgain);
    ASSERT_TRUE(collection->ChangesSince(collection->LastChange(), changes));
    EXPECT_FALSE(changes.readAgain);
    EXPECT_TRUE(changes.programs.empty());
}
