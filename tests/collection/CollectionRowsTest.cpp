// Rows for a table: the same programs, fields and order as whole programs, and a query's text
// narrowing the rows of its other fields to the same programs as the database search.

#include "CollectionTestSupport.h"

#include "CollectionTime.h"
#include "SyxProgram.h"

#include <algorithm>

namespace {

void ExpectSame(const std::vector<CCollectionRow>& rows, const std::vector<CCollectionProgram>& programs)
{
    ASSERT_EQ(rows.size(), programs.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CCollectionRow& row = rows[i];
        const CCollectionProgram& program = programs[i];
        SCOPED_TRACE("row " + std::to_string(i) + ": " + program.shownName);
        EXPECT_EQ(row.id, program.id);
        EXPECT_EQ(row.shownName, program.shownName);
        EXPECT_EQ(VOICE_MODE_NAMES[row.voiceModeIndex & 3], program.voiceMode);
        EXPECT_EQ(row.favourite, program.favourite);
        EXPECT_EQ(row.hidden, program.hidden);
        EXPECT_EQ(row.tags, program.tags);
        EXPECT_EQ(row.sourceCount, program.sourceCount);
        EXPECT_EQ(LocalTimeText(row.firstSeenTime), program.firstSeen);
    }
}

} // namespace

using CollectionRows = CCollectionTest;

TEST_F(CollectionRows, RowsAgreeWithWholeProgramsAndTextNarrowsLikeTheDatabase)
{
    auto collection = OpenCollection();
    std::string error;
    // Names that order differently with and without case, the bytes between the two alphabets,
    // a byte above 0x7F, a name that is the start of another, and the same name twice.
    std::vector<Bytes> programs = MakeBankPrograms("Pad", 1);
    const char* const names[] = {"zed", "Zed", "ZED 2", "_under", "[bracket", "a", "A1", "\xE9t\xE9", "pad", "PAD"};
    for (std::size_t i = 0; i < std::size(names); ++i)
        programs[i] = MakeProgram(names[i], static_cast<unsigned int>(900 + i), static_cast<int>(i % 4));
    CImportResult bank, again, single;
    ASSERT_TRUE(collection->ImportFileBytes("/bank.syx", BankDump(programs), bank, error, 1'700'000'000));
    // A second source holding one of them: two sources, first seen at the first.
    ASSERT_TRUE(collection->ImportFileBytes("/one.syx", OneProgramDump(programs[20]), again, error, 1'800'000'000));
    ASSERT_TRUE(collection->ImportFileBytes("/two.syx", OneProgramDump(MakeProgram("Later", 77, 2)), single, error,
                                            1'800'000'000));
    const std::vector<CollectionId> slots = collection->SourcePrograms(bank.source);
    ASSERT_TRUE(collection->Rename(slots[30], "Aardvark", error)) << error;
    ASSERT_TRUE(collection->AddTag(slots[31], "warm", error)) << error;
    ASSERT_TRUE(collection->AddTag(slots[31], "Bright", error)) << error;
    ASSERT_TRUE(collection->AddTag(slots[31], "analog", error)) << error;
    ASSERT_TRUE(collection->AddTag(slots[40], "Warm", error)) << error;
    ASSERT_TRUE(collection->SetFavourite(slots[32], true, error)) << error;
    ASSERT_TRUE(collection->SetHidden(slots[33], true, error)) << error;
    ASSERT_TRUE(collection->SaveList("mine", {slots[50], slots[8], slots[2]}, error)) << error;
    CCollectionList list;
    ASSERT_TRUE(collection->FindList("mine", list));

    struct Case {
        const char* what;
        CCollectionQuery query;
    };
    std::vector<Case> cases(10);
    cases[0] = {"all", {}};
    cases[1].what = "text";
    cases[1].query.text = "pad 1";
    cases[2].what = "mode";
    cases[2].query.voiceMode = "dual";
    cases[3].what = "tag";
    cases[3].query.tag = "WARM";
    cases[4].what = "favourites";
    cases[4].query.favouritesOnly = true;
    cases[5].what = "hidden";
    cases[5].query.hiddenOnly = true;
    cases[6].what = "source and text";
    cases[6].query.source = bank.source;
    cases[6].query.text = "z";
    cases[7].what = "list";
    cases[7].query.list = list.id;
    cases[8].what = "old name";
    cases[8].query.text = "pad 30";
    cases[9].what = "no name matches";
    cases[9].query.text = "nowhere";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<CCollectionRow> rows = collection->SearchRows(c.query);
        ExpectSame(rows, collection->Search(c.query));

        // The rows without the text, narrowed to the programs named so, in their order.
        CCollectionQuery untexted = c.query;
        untexted.text.clear();
        std::vector<CCollectionRow> narrowed = collection->SearchRows(untexted);
        if (!c.query.text.empty()) {
            const std::vector<CollectionId> named = collection->ProgramsNamed(c.query.text);
            narrowed.erase(std::remove_if(narrowed.begin(), narrowed.end(),
                                          [&named](const CCollectionRow& row) {
                                              return !std::binary_search(named.begin(), named.end(), row.id);
                                          }),
                           narrowed.end());
        }
        std::vector<CollectionId> expected, got;
        for (const CCollectionRow& row : rows)
            expected.push_back(row.id);
        for (const CCollectionRow& row : narrowed)
            got.push_back(row.id);
        EXPECT_EQ(got, expected);

        // The first rows (and the last, in reverse) of those, read alone, with the count of all:
        // in one pass, and in two halves side by side (as over many programs).
        for (const std::int64_t splitFrom : {std::int64_t(1) << 40, std::int64_t(0)}) {
            collection->SetSplitScansFrom(splitFrom);
            for (const std::size_t count : {std::size_t(0), std::size_t(1), std::size_t(3), rows.size() + 5}) {
                for (const bool fromEnd : {false, true}) {
                    SCOPED_TRACE("first " + std::to_string(count) + (fromEnd ? " from the end" : "")
                                 + (splitFrom == 0 ? " in halves" : ""));
                    std::size_t total = 99;
                    const std::vector<CCollectionRow> first = collection->SearchFirstRows(c.query, count, fromEnd, total);
                    EXPECT_EQ(total, rows.size());
                    std::vector<CCollectionRow> wanted = rows;
                    if (fromEnd)
                        std::reverse(wanted.begin(), wanted.end());
                    wanted.resize(std::min(count, wanted.size()));
                    std::vector<CCollectionProgram> programs;
                    for (const CCollectionRow& row : wanted) {
                        CCollectionProgram program;
                        ASSERT_TRUE(collection->GetProgram(row.id, program));
                        programs.push_back(program);
                    }
                    ExpectSame(first, programs);
                }
            }
        }
    }
    EXPECT_FALSE(collection->SearchRows(cases[1].query).empty());
    EXPECT_FALSE(collection->SearchRows(cases[3].query).empty());
}

// Programs taken in by a batch not yet committed are this connection's alone: the first
// rows read in halves (the second on a connection of its own) must count and show them too.
TEST_F(CollectionRows, FirstRowsInHalvesSeeTheBatchNotYetCommitted)
{
    auto collection = OpenCollection();
    std::string error;
    CImportResult first, second;
    ASSERT_TRUE(collection->ImportFileBytes("/one.syx", BankDump(MakeBankPrograms("Pad", 1)), first, error, 1'700'000'000));
    collection->SetSplitScansFrom(0);
    collection->BeginBatch();
    ASSERT_TRUE(collection->ImportFileBytes("/two.syx", BankDump(MakeBankPrograms("Arp", 2)), second, error, 1'700'000'100));
    const std::size_t all = collection->SearchRows({}).size();
    ASSERT_EQ(all, static_cast<std::size_t>(first.newPrograms + second.newPrograms));
    ASSERT_GT(second.newPrograms, 0);
    for (const bool fromEnd : {false, true}) {
        std::size_t total = 0;
        const std::vector<CCollectionRow> rows = collection->SearchFirstRows({}, 3, fromEnd, total);
        EXPECT_EQ(total, all);
        ASSERT_EQ(rows.size(), 3u);
        // "Arp" before "Pad": the batch's own programs come first, the last are the others.
        EXPECT_EQ(rows.front().shownName.compare(0, 3, fromEnd ? "Pad" : "Arp"), 0) << rows.front().shownName;
    }
    collection->AbandonBatch();
    std::size_t total = 0;
    collection->SearchFirstRows({}, 3, false, total);
    EXPECT_EQ(total, static_cast<std::size_t>(first.newPrograms));
}
