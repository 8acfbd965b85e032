// The rows of a source or list slot by slot, and where programs were first seen: what the
// view shows for a bank and for programs that came without a name.

#include "CollectionTestSupport.h"

#include "SlotRows.h"

#include <algorithm>

namespace {

using CollectionSlotRows = CCollectionTest;

TEST_F(CollectionSlotRows, EverySlotIsARowInSlotOrderWithRepeatedSoundsInEachOfTheirSlots)
{
    auto collection = OpenCollection();
    std::string error;
    // Slots 5 and 9 hold slot 2's sound under other names; slot 7's program is hidden.
    std::vector<Bytes> programs;
    for (unsigned int slot = 0; slot < 128; ++slot)
        programs.push_back(MakeProgram("Bank " + std::to_string(slot), slot + 1, 0));
    programs[5] = MakeProgram("Copy", 3, 0);
    programs[9] = MakeProgram("Copy 2", 3, 0);
    programs[2] = MakeProgram("Orig", 3, 0);
    programs[11] = MakeProgram("Dual", 400, 2);
    CImportResult bank;
    ASSERT_TRUE(collection->ImportFileBytes("/bank.syx", BankDump(programs), bank, error, 1'700'000'000)) << error;
    const std::vector<CollectionId> slots = collection->SourcePrograms(bank.source);
    ASSERT_EQ(slots[2], slots[5]);
    ASSERT_TRUE(collection->SetHidden(slots[7], true, error)) << error;
    ASSERT_TRUE(collection->SaveList("three", {slots[9], slots[0], slots[2]}, error)) << error;
    CCollectionList list;
    ASSERT_TRUE(collection->FindList("three", list));

    struct Case {
        const char* what;
        CCollectionQuery query;
        std::vector<int> slots;   // empty: 0-127 but 7
    };
    CCollectionQuery ofSource, ofList, dualOfSource, hiddenOfSource, neither;
    ofSource.source = bank.source;
    ofList.list = list.id;
    dualOfSource.source = bank.source;
    dualOfSource.voiceMode = "Dual";
    hiddenOfSource.source = bank.source;
    hiddenOfSource.hiddenOnly = true;
    std::vector<int> allButHidden;
    for (int slot = 0; slot < 128; ++slot)
        if (slot != 7)
            allButHidden.push_back(slot);
    const Case cases[] = {
        {"a source", ofSource, allButHidden},
        {"a list", ofList, {0, 1, 2}},
        {"a source's Dual programs", dualOfSource, {11}},
        {"a source's hidden programs", hiddenOfSource, {7}},
        {"neither", neither, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CCollectionSlotRows rows = SlotRows(*collection, c.query);
        EXPECT_EQ(rows.slotNumbers, c.slots);
        ASSERT_EQ(rows.rows.size(), rows.slotNumbers.size());
        const std::vector<CollectionId> order = c.query.list != 0 ? collection->ListPrograms(list.id) : slots;
        for (std::size_t i = 0; i < rows.rows.size(); ++i)
            EXPECT_EQ(rows.rows[i].id, order[static_cast<std::size_t>(rows.slotNumbers[i])]) << i;
    }
}

TEST_F(CollectionSlotRows, FirstPlacesGiveTheFirstSourceAndSlotOfEachProgram)
{
    auto collection = OpenCollection();
    std::string error;
    std::vector<Bytes> programs = MakeBankPrograms("", 1);   // blank names
    CImportResult first, second, single;
    ASSERT_TRUE(collection->ImportFileBytes("/first.syx", BankDump(programs), first, error, 1'700'000'000)) << error;
    std::rotate(programs.begin(), programs.begin() + 10, programs.end());
    ASSERT_TRUE(collection->ImportFileBytes("/second.syx", BankDump(programs), second, error, 1'700'000'100)) << error;
    ASSERT_TRUE(collection->ImportSynthDump(OneProgramDump(MakeProgram("", 999)), single, error, 1'700'000'200))
        << error;
    const std::vector<CollectionId> inFirst = collection->SourcePrograms(first.source);
    const CollectionId received = collection->SourcePrograms(single.source).front();

    // In the order asked; an unknown id is left out.
    const std::vector<CProgramPlace> places = collection->FirstPlaces({inFirst[17], 999999, received, inFirst[0]});
    ASSERT_EQ(places.size(), 3u);
    const struct {
        CollectionId program;
        CollectionId source;
        SourceKind kind;
        std::string name;
        int slot;
    } expected[] = {
        {inFirst[17], first.source, SourceKind::File, "/first.syx", 17},
        {received, single.source, SourceKind::Synth, "Synth", 0},
        {inFirst[0], first.source, SourceKind::File, "/first.syx", 0},
    };
    for (std::size_t i = 0; i < places.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(places[i].program, expected[i].program);
        EXPECT_EQ(places[i].source, expected[i].source);
        EXPECT_EQ(places[i].kind, expected[i].kind);
        EXPECT_EQ(places[i].sourceName.rfind(expected[i].name, 0), 0u) << places[i].sourceName;
        EXPECT_EQ(places[i].slot, expected[i].slot);
    }
}

} // namespace
