// The name ends: each side holds exactly the programs on its side of its bound, whatever wrote
// them (new programs, renames, a merge, a migration), and the first rows read from them are
// those read by going through every row.

#include "CollectionTestSupport.h"

#include "NameEnds.h"
#include "SqliteDb.h"

#include <algorithm>

namespace {

std::unique_ptr<CSqliteDb> OpenFile(const std::string& path)
{
    int code = 0;
    std::string error;
    auto db = CSqliteDb::Open(path, code, error);
    EXPECT_TRUE(db) << error;
    return db;
}

std::vector<CollectionId> Ids(CSqliteQuery& query)
{
    std::vector<CollectionId> ids;
    while (query.Next())
        ids.push_back(query.Int(0));
    EXPECT_FALSE(query.Failed());
    return ids;
}

// The side's programs against those SQLite's own order puts on its side of the bound, and
// the rows read from it against the order of every program.
void ExpectSidesRight(const std::string& path, CCollection& collection, std::size_t keep, const std::string& when)
{
    SCOPED_TRACE(when);
    auto db = OpenFile(path);
    ASSERT_TRUE(db);
    std::vector<CollectionId> shownInOrder;
    for (const CCollectionRow& row : collection.SearchRows({}))
        shownInOrder.push_back(row.id);
    for (const NameEndSide side : {NameEndSide::First, NameEndSide::Last}) {
        const int value = static_cast<int>(side);
        SCOPED_TRACE(side == NameEndSide::First ? "first" : "last");
        CSqliteQuery bound(*db, "SELECT name IS NULL, name, program, held FROM name_end_bound WHERE side = ?");
        ASSERT_TRUE(bound.Bind(1, value).Next());
        const bool whole = bound.Int(0) != 0;
        CSqliteQuery inSide(*db, "SELECT program FROM name_end WHERE side = ? ORDER BY program");
        const std::vector<CollectionId> members = Ids(inSide.Bind(1, value));
        CSqliteQuery every(*db, "SELECT id FROM program ORDER BY id");
        CSqliteQuery within(*db, side == NameEndSide::First
                                     ? "SELECT id FROM program WHERE coalesce(user_name, first_name) < ?1 COLLATE NOCASE"
                                       " OR (coalesce(user_name, first_name) = ?1 COLLATE NOCASE AND id <= ?2) ORDER BY id"
                                     : "SELECT id FROM program WHERE coalesce(user_name, first_name) > ?1 COLLATE NOCASE"
                                       " OR (coalesce(user_name, first_name) = ?1 COLLATE NOCASE AND id >= ?2) ORDER BY id");
        const std::string boundName = bound.Text(1);
        const std::vector<CollectionId> expected =
            whole ? Ids(every) : Ids(within.BindText(1, boundName).Bind(2, bound.Int(2)));
        EXPECT_EQ(members, expected);
        EXPECT_EQ(static_cast<std::size_t>(bound.Int(3)), members.size());
        EXPECT_LE(members.size(), 2 * keep);

        std::vector<CollectionId> wanted = shownInOrder;
        if (side == NameEndSide::Last)
            std::reverse(wanted.begin(), wanted.end());
        for (const std::size_t count : {std::size_t(0), std::size_t(1), keep, 2 * keep + 3, wanted.size() + 2}) {
            SCOPED_TRACE("first " + std::to_string(count));
            const std::vector<CollectionId> first(wanted.begin(), wanted.begin() + std::min(count, wanted.size()));
            std::size_t total = 0;
            std::vector<CollectionId> read;
            for (const CCollectionRow& row : collection.SearchFirstRows({}, count, side == NameEndSide::Last, total))
                read.push_back(row.id);
            EXPECT_EQ(read, first);
            EXPECT_EQ(total, wanted.size());
            // Answered by the side alone wherever it holds enough programs shown.
            std::vector<CollectionId> fromSide;
            std::size_t shown = 0;
            CSqliteQuery shownInSide(*db, "SELECT program FROM name_end e JOIN program p ON p.id = e.program"
                                          " WHERE e.side = ? AND p.hidden = 0");
            const std::vector<CollectionId> shownMembers = Ids(shownInSide.Bind(1, value));
            if (whole || shownMembers.size() >= count) {
                EXPECT_TRUE(NameEndRows(*db, side, count, fromSide, shown));
                EXPECT_EQ(fromSide, first);
                EXPECT_EQ(shown, wanted.size());
            } else {
                EXPECT_FALSE(NameEndRows(*db, side, count, fromSide, shown));
            }
        }
    }
}

} // namespace

using NameEnds = CCollectionTest;

TEST_F(NameEnds, EachSideHoldsTheProgramsOnItsSideOfItsBoundWhateverWritesThem)
{
    constexpr std::size_t KEEP = 4;
    auto collection = OpenCollection();
    {
        auto db = OpenFile(DbPath());
        ASSERT_TRUE(db && db->Exec("UPDATE name_end_bound SET keep = 4"));
    }
    std::string error;
    CImportResult result;
    ExpectSidesRight(DbPath(), *collection, KEEP, "empty");
    ASSERT_TRUE(collection->ImportFileBytes("/pad.syx", BankDump(MakeBankPrograms("Pad", 1)), result, error));
    const std::vector<CollectionId> pads = collection->SourcePrograms(result.source);
    ExpectSidesRight(DbPath(), *collection, KEEP, "one bank");
    // Names before all of those, the same names in another case (the order then by id), and
    // bytes above 0x7F after them.
    ASSERT_TRUE(collection->ImportFileBytes("/arp.syx", BankDump(MakeBankPrograms("Arp", 300)), result, error));
    ASSERT_TRUE(collection->ImportFileBytes("/arp2.syx", BankDump(MakeBankPrograms("ARP", 600)), result, error));
    ASSERT_TRUE(collection->ImportFileBytes("/high.syx", OneProgramDump(MakeProgram("\xE9t\xE9", 900)), result, error));
    ExpectSidesRight(DbPath(), *collection, KEEP, "four sources");

    // Renamed into a side, out of one into the other, and the first side renamed empty of
    // programs shown: then the first rows are read from every row.
    ASSERT_TRUE(collection->Rename(pads[64], "!first", error)) << error;
    ExpectSidesRight(DbPath(), *collection, KEEP, "renamed into the first");
    ASSERT_TRUE(collection->Rename(pads[64], "zzz last", error)) << error;
    ExpectSidesRight(DbPath(), *collection, KEEP, "renamed across");
    std::size_t total = 0;
    for (const CCollectionRow& row : collection->SearchFirstRows({}, 2 * KEEP, false, total))
        ASSERT_TRUE(collection->Rename(row.id, "Middle", error)) << error;
    ExpectSidesRight(DbPath(), *collection, KEEP, "the first side renamed away");
    for (const CCollectionRow& row : collection->SearchFirstRows({}, 2, true, total))
        ASSERT_TRUE(collection->SetHidden(row.id, true, error)) << error;
    ExpectSidesRight(DbPath(), *collection, KEEP, "the last hidden");
    ASSERT_TRUE(collection->ImportFileBytes("/more.syx", BankDump(MakeBankPrograms("0 more", 1000)), result, error));
    ExpectSidesRight(DbPath(), *collection, KEEP, "new programs after renames");

    // A rename merged in from another Collection, made later than any here.
    {
        const std::string otherPath = PathOf("other.sqlite");
        std::string notice;
        auto other = CCollection::Open(otherPath, error, notice);
        ASSERT_TRUE(other) << error;
        ASSERT_TRUE(other->ImportFileBytes("/pad.syx", BankDump(MakeBankPrograms("Pad", 1)), result, error));
        ASSERT_TRUE(other->Rename(other->SourcePrograms(result.source)[10], " early", error, 4'000'000'000)) << error;
        other.reset();
        CMergeResult merged;
        ASSERT_EQ(collection->Merge(otherPath, {}, merged, error), CollectionCopyOutcome::Done) << error;
    }
    ExpectSidesRight(DbPath(), *collection, KEEP, "merged");

    // Made whole from every program by the migration, which keeps its own size.
    for (unsigned int bank = 0; bank < 6; ++bank)
        ASSERT_TRUE(collection->ImportFileBytes("/m" + std::to_string(bank) + ".syx",
                                                BankDump(MakeBankPrograms("M" + std::to_string(bank), 2000 + 128 * bank)),
                                                result, error));
    collection.reset();
    MakeOlderVersionFile(DbPath(), 8);
    collection = OpenCollection();
    ExpectSidesRight(DbPath(), *collection, 1024, "migrated");
    auto db = OpenFile(DbPath());
    CSqliteQuery narrowed(*db, "SELECT count(*) FROM name_end_bound WHERE name IS NOT NULL");
    ASSERT_TRUE(narrowed.Next());
    EXPECT_EQ(narrowed.Int(0), 2);   // more programs than it keeps
}
