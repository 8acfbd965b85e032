// Merging another Collection: with itself or again it adds nothing, the documented rules
// decide where the two disagree, and the other file is never changed.

#include "CollectionFieldsSupport.h"

#include "CollectionBackup.h"
#include "SqliteDb.h"

#include <set>

namespace {

std::set<std::string> Set(const std::vector<std::string>& names)
{
    return std::set<std::string>(names.begin(), names.end());
}

} // namespace

class CollectionMerge : public CCollectionTest
{
protected:
    // A second Collection in the test's folder.
    std::unique_ptr<CCollection> OpenOther(const std::string& name = "other.sqlite")
    {
        std::string error, notice;
        auto other = CCollection::Open(PathOf(name), error, notice);
        EXPECT_TRUE(other) << error;
        return other;
    }
    CMergeResult Merge(CCollection& into, const std::string& from)
    {
        CMergeResult result;
        std::string error;
        EXPECT_EQ(into.Merge(from, {}, result, error), CollectionCopyOutcome::Done) << error;
        return result;
    }
};

TEST_F(CollectionMerge, WithItselfOrAgainItAddsNothing)
{
    auto collection = OpenCollection();
    FillWithEveryField(*collection, "", 1, 1800000000);
    const CCollectionFields before = ReadFields(*collection);
    std::string written, error;
    ASSERT_EQ(BackUpCollection(DbPath(), PathOf("copy.sqlite"), {}, written, error), CollectionCopyOutcome::Done);

    for (const std::string& from : {DbPath(), written, written}) {
        const CMergeResult result = Merge(*collection, from);
        EXPECT_EQ(result.sources, 0) << from;
        EXPECT_EQ(result.programs, 0) << from;
        EXPECT_EQ(result.lists, 0) << from;
        ExpectSameFields(before, ReadFields(*collection), "merged with " + from);
    }

    // Another's Collection merged twice: the second time adds nothing either.
    auto other = OpenOther();
    FillWithEveryField(*other, "Theirs", 50000, 1700000000);
    other.reset();
    const CMergeResult first = Merge(*collection, PathOf("other.sqlite"));
    EXPECT_EQ(first.sources, 5);
    const CCollectionFields once = ReadFields(*collection);
    const CMergeResult second = Merge(*collection, PathOf("other.sqlite"));
    EXPECT_EQ(second.sources + second.programs + second.lists, 0);
    ExpectSameFields(once, ReadFields(*collection), "merged again");
}

TEST_F(CollectionMerge, WhereTheTwoDisagreeTheDocumentedRuleDecides)
{
    // One bank in both, each with marks of its own on its programs.
    const std::vector<Bytes> programs = MakeBankPrograms("Both", 1);
    auto mine = OpenCollection();
    auto theirs = OpenOther();
    CImportResult imported;
    std::string error;
    ASSERT_TRUE(mine->ImportFileBytes("/mine/bank.syx", BankDump(programs), imported, error, 1800000000));
    const std::vector<CollectionId> m = mine->SourcePrograms(imported.source);
    ASSERT_TRUE(theirs->ImportFileBytes("/theirs/bank.syx", BankDump(programs), imported, error, 1700000000));
    const std::vector<CollectionId> t = theirs->SourcePrograms(imported.source);
    // Renames in each, at these times; 0: made before renames kept their time.
    const struct {
        std::size_t slot;
        std::int64_t mineAt, theirsAt;
    } renames[] = {{0, 1800000100, 1800000100}, {7, 1800000100, 1800000200}, {8, 1800000200, 1800000100},
                   {9, 0, 1700000000}, {10, 1700000000, 0}, {11, 0, 0}};
    for (const auto& r : renames)
        ASSERT_TRUE(mine->Rename(m[r.slot], "Mine", error, r.mineAt == 0 ? 1 : r.mineAt)
                    && theirs->Rename(t[r.slot], "Theirs", error, r.theirsAt == 0 ? 1 : r.theirsAt));
    ASSERT_TRUE(theirs->Rename(t[1], "Only theirs", error));
    ASSERT_TRUE(theirs->SetFavourite(t[2], true, error) && mine->SetHidden(m[2], true, error));
    ASSERT_TRUE(mine->AddTag(m[3], "pads", error) && theirs->AddTag(t[3], "PADS", error)
                && theirs->AddTag(t[3], "live", error));
    ASSERT_TRUE(mine->SetComment(m[4], "mine", error) && theirs->SetComment(t[4], "theirs", error));
    ASSERT_TRUE(theirs->SetComment(t[5], "only theirs", error));
    ASSERT_TRUE(mine->SaveList("Live", {m[0], m[1]}, error) && theirs->SaveList("Live", {t[1], t[0]}, error));
    ASSERT_TRUE(mine->SaveList("Same", {m[6]}, error) && theirs->SaveList("Same", {t[6]}, error));
    theirs.reset();
    const auto forgetRenameTimes = [&](const std::string& path, const std::vector<CollectionId>& ids, bool mineSide) {
        int code = 0;
        auto db = CSqliteDb::Open(path, code, error);
        ASSERT_TRUE(db) << error;
        for (const auto& r : renames) {
            if ((mineSide ? r.mineAt : r.theirsAt) != 0)
                continue;
            CSqliteQuery forget(*db, "UPDATE program SET renamed_at = NULL WHERE id = ?");
            ASSERT_TRUE(forget.Bind(1, ids[r.slot]).Run()) << db->ErrorText();
        }
    };
    forgetRenameTimes(DbPath(), m, true);
    forgetRenameTimes(PathOf("other.sqlite"), t, false);

    const CMergeResult result = Merge(*mine, PathOf("other.sqlite"));
    EXPECT_EQ(result.sources, 0);   // the same file: already a source
    EXPECT_EQ(result.lists, 1);
    ASSERT_EQ(result.renamedLists.size(), 1u);
    EXPECT_EQ(result.renamedLists[0], std::make_pair(std::string("Live"), std::string("Live (merged)")));

    const struct {
        const char* rule;
        CollectionId id;
        std::string shownName;
        std::set<std::string> names;
        bool favourite, hidden;
        std::vector<std::string> tags;
        std::string comment;
    } cases[] = {
        {"a rename in each at the same time: this one's stays shown, the other's a name seen", m[0], "Mine",
         {"Both 0", "Mine", "Theirs"}, false, false, {}, ""},
        {"a rename in each, the other's later: it is shown, this one's a name seen", m[7], "Theirs",
         {"Both 7", "Mine", "Theirs"}, false, false, {}, ""},
        {"a rename in each, this one's later: it stays shown", m[8], "Mine", {"Both 8", "Mine", "Theirs"}, false,
         false, {}, ""},
        {"this one's of unknown time, the other's known: the other's is later", m[9], "Theirs",
         {"Both 9", "Mine", "Theirs"}, false, false, {}, ""},
        {"the other's of unknown time: this one's stays", m[10], "Mine", {"Both 10", "Mine", "Theirs"}, false, false,
         {}, ""},
        {"both of unknown time: this one's stays", m[11], "Mine", {"Both 11", "Mine", "Theirs"}, false, false, {}, ""},
        {"a rename in the other only is kept", m[1], "Only theirs", {"Both 1", "Only theirs"}, false, false, {}, ""},
        {"favourite and hidden are kept from both", m[2], "Both 2", {"Both 2"}, true, true, {}, ""},
        {"tags of both, one of each whatever its letter case", m[3], "Both 3", {"Both 3"}, false, false,
         {"live", "pads"}, ""},
        {"two comments are both kept, this one's first", m[4], "Both 4", {"Both 4"}, false, false, {}, "mine\ntheirs"},
        {"a comment of the other only is kept", m[5], "Both 5", {"Both 5"}, false, false, {}, "only theirs"},
    };
    for (const auto& c : cases) {
        CCollectionProgram program;
        ASSERT_TRUE(mine->GetProgram(c.id, program)) << c.rule;
        EXPECT_EQ(program.shownName, c.shownName) << c.rule;
        EXPECT_EQ(Set(mine->ProgramNames(c.id)), c.names) << c.rule;
        EXPECT_EQ(program.favourite, c.favourite) << c.rule;
        EXPECT_EQ(program.hidden, c.hidden) << c.rule;
        EXPECT_EQ(program.tags, c.tags) << c.rule;
        EXPECT_EQ(program.comment, c.comment) << c.rule;
    }
    CCollectionList live, merged, same;
    ASSERT_TRUE(mine->FindList("Live", live) && mine->FindList("Live (merged)", merged));
    EXPECT_EQ(mine->ListPrograms(live.id), (std::vector<CollectionId>{m[0], m[1]}));
    EXPECT_EQ(mine->ListPrograms(merged.id), (std::vector<CollectionId>{m[1], m[0]}));
    EXPECT_TRUE(mine->FindList("Same", same));
    EXPECT_EQ(mine->Lists().size(), 3u);
}

TEST_F(CollectionMerge, ABadFileIsRefusedAndAStoppedMergeKeepsWholeSources)
{
    auto collection = OpenCollection();
    CMergeResult result;
    std::string error;
    const std::string text = WriteFile("notes.sqlite", Bytes(5000, 'x'));
    EXPECT_EQ(collection->Merge(text, {}, result, error), CollectionCopyOutcome::FileFailed);
    EXPECT_NE(error.find("is not a Collection"), std::string::npos) << error;

    auto other = OpenOther();
    FillWithEveryField(*other, "", 1, 1800000000);
    other.reset();
    // Stopped after two sources: those two are in, whole; merging again brings the rest.
    const auto stopAfterTwo = [](std::int64_t done, std::int64_t) { return done < 2; };
    EXPECT_EQ(collection->Merge(PathOf("other.sqlite"), stopAfterTwo, result, error), CollectionCopyOutcome::Cancelled);
    EXPECT_EQ(collection->Sources().size(), 2u);
    for (const CCollectionSource& source : collection->Sources())
        EXPECT_EQ(collection->SourcePrograms(source.id).size(), 128u);
    EXPECT_TRUE(collection->Lists().empty());
    EXPECT_EQ(collection->Merge(PathOf("other.sqlite"), {}, result, error), CollectionCopyOutcome::Done) << error;
    EXPECT_EQ(result.sources, 3);
    auto whole = OpenOther();
    ExpectSameFields(ReadFields(*whole), ReadFields(*collection), "merged in two goes");
}

TEST_F(CollectionMerge, WhatItAddsIsInTheChangeLogAndFoundByItsNames)
{
    const std::vector<Bytes> shared = MakeBankPrograms("Shared", 1);
    auto mine = OpenCollection();
    auto theirs = OpenOther();
    CImportResult imported;
    std::string error;
    ASSERT_TRUE(mine->ImportFileBytes("/mine/shared.syx", BankDump(shared), imported, error)) << error;
    const std::vector<CollectionId> m = mine->SourcePrograms(imported.source);
    ASSERT_TRUE(theirs->ImportFileBytes("/theirs/shared.syx", BankDump(shared), imported, error)) << error;
    const std::vector<CollectionId> t = theirs->SourcePrograms(imported.source);
    ASSERT_TRUE(theirs->ImportFileBytes("/theirs/new.syx", BankDump(MakeBankPrograms("Newcomer", 5000)), imported,
                                        error))
        << error;
    ASSERT_TRUE(theirs->SetFavourite(t[3], true, error) && theirs->AddTag(t[4], "strings", error)
                && theirs->Rename(t[5], "Glasswork", error));
    theirs.reset();

    const std::int64_t before = mine->LastChange();
    Merge(*mine, PathOf("other.sqlite"));
    CCollectionChanges changes;
    ASSERT_TRUE(mine->ChangesSince(before, changes));
    EXPECT_FALSE(changes.readAgain);
    EXPECT_TRUE(changes.filtersChanged);
    EXPECT_EQ(changes.programs.size(), 128u + 3u);   // the new source's, and the three marked here
    for (const CollectionId id : {m[3], m[4], m[5]})
        EXPECT_TRUE(std::binary_search(changes.programs.begin(), changes.programs.end(), id)) << id;

    const struct {
        const char* text;
        std::size_t found;
    } searches[] = {{"glassw", 1}, {"NEWCOMER 1", 39}, {"newcomer 127", 1}};
    for (const auto& search : searches) {
        CCollectionQuery query;
        query.text = search.text;
        EXPECT_EQ(mine->Search(query).size(), search.found) << search.text;
    }
}
