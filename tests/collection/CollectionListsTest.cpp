// Lists, a list as a bank dump, and two sources compared slot by slot.

#include "CollectionTestSupport.h"

#include "Bank.h"

#include <algorithm>

using CollectionLists = CCollectionTest;

TEST_F(CollectionLists, AListOfABanksProgramsIsWrittenAsThatBank)
{
    auto collection = OpenCollection();
    const Bytes dump = BankDump(MakeBankPrograms("Bank", 1));
    CImportResult result;
    std::string error;
    ASSERT_TRUE(collection->ImportFileBytes("/bank.syx", dump, result, error)) << error;
    const std::vector<CollectionId> programs = collection->SourcePrograms(result.source);
    ASSERT_TRUE(collection->SaveList("Live set", programs, error)) << error;

    CCollectionList list;
    ASSERT_TRUE(collection->FindList("Live set", list));
    EXPECT_EQ(list.programCount, 128);
    Bytes written;
    ASSERT_TRUE(collection->ListDump(list.id, written, error)) << error;
    EXPECT_EQ(written, dump);
    std::string bankError;
    EXPECT_EQ(written, CBank::ReadBytes(dump.data(), dump.size(), bankError)->BuildDump(0));

    // Saving under the same name replaces the list; a list of fewer is no bank.
    ASSERT_TRUE(collection->SaveList("Live set", {programs[3], programs[1]}, error));
    EXPECT_EQ(collection->ListPrograms(list.id), (std::vector<CollectionId>{programs[3], programs[1]}));
    EXPECT_EQ(collection->Lists().size(), 1u);
    EXPECT_FALSE(collection->ListDump(list.id, written, error));
    EXPECT_EQ(error, "The list holds 2 programs; a bank dump needs 128");

    std::vector<CollectionId> tooMany = programs;
    tooMany.push_back(programs[0]);
    EXPECT_FALSE(collection->SaveList("Big", tooMany, error));
    EXPECT_FALSE(collection->SaveList("Unknown", {999999}, error));
    EXPECT_FALSE(collection->SaveList("", {}, error));
    EXPECT_EQ(collection->Lists().size(), 1u);
    EXPECT_EQ(collection->ListPrograms(list.id).size(), 2u);
}

TEST_F(CollectionLists, CompareClassifiesEachSlotThatDiffers)
{
    auto collection = OpenCollection();
    std::vector<Bytes> before = MakeBankPrograms("Bank", 1);
    std::vector<Bytes> after = before;
    after[1] = MakeProgram("Renamed", 2, 1);          // slot 1's sound under another name
    after[2] = MakeProgram("Bank 2", 900);           // same name, another sound
    after[127] = MakeProgram("Both", 901);
    CImportResult first, second, single;
    std::string error;
    ASSERT_TRUE(collection->ImportSynthDump(BankDump(before), first, error, 1000));
    ASSERT_TRUE(collection->ImportSynthDump(BankDump(after), second, error, 2000));

    std::vector<CSlotDifference> differences;
    ASSERT_TRUE(collection->Compare(first.source, second.source, differences, error)) << error;
    ASSERT_EQ(differences.size(), 3u);
    const struct {
        int slot;
        SlotChange change;
        const char* firstName;
        const char* secondName;
    } expected[] = {
        {1, SlotChange::Renamed, "Bank 1", "Renamed"},
        {2, SlotChange::Changed, "Bank 2", "Bank 2"},
        {127, SlotChange::RenamedAndChanged, "Bank 127", "Both"},
    };
    for (std::size_t i = 0; i < differences.size(); ++i) {
        EXPECT_EQ(differences[i].slot, expected[i].slot);
        EXPECT_EQ(differences[i].change, expected[i].change) << i;
        EXPECT_EQ(differences[i].firstName, expected[i].firstName);
        EXPECT_EQ(differences[i].secondName, expected[i].secondName);
    }
    ASSERT_TRUE(collection->Compare(first.source, first.source, differences, error));
    EXPECT_TRUE(differences.empty());

    ASSERT_TRUE(collection->ImportFileBytes("/one.syx", OneProgramDump(before[0]), single, error));
    EXPECT_FALSE(collection->Compare(first.source, single.source, differences, error));
    EXPECT_EQ(error, "The source /one.syx holds one program, not a bank of 128");
    EXPECT_FALSE(collection->Compare(first.source, 999, differences, error));
}

TEST_F(CollectionLists, CompareSlotsKeepsTheUnchangedSlotsOfAReceiveAgainstProgramsInMemory)
{
    auto collection = OpenCollection();
    const std::vector<Bytes> received = MakeBankPrograms("Bank", 1);
    CImportResult result;
    std::string error;
    ASSERT_TRUE(collection->ImportSynthDump(BankDump(received), result, error, 1000)) << error;
    std::vector<CollectionProgramData> first;
    ASSERT_TRUE(collection->SourceBankPrograms(result.source, first, error)) << error;
    ASSERT_EQ(first.size(), 128u);
    EXPECT_TRUE(std::equal(received[5].begin(), received[5].end(), first[5].begin()));

    std::vector<CollectionProgramData> second = first;
    second[64][200] ^= 1;
    const std::vector<CSlotDifference> slots = CompareSlots(first, second);
    ASSERT_EQ(slots.size(), 128u);
    EXPECT_EQ(slots[0].change, SlotChange::Unchanged);
    EXPECT_EQ(slots[0].secondName, "Bank 0");
    EXPECT_EQ(slots[64].change, SlotChange::Changed);
    EXPECT_EQ(std::count_if(slots.begin(), slots.end(),
                            [](const CSlotDifference& slot) { return slot.change != SlotChange::Unchanged; }),
              1);

    // Anything but two sets of 128 programs compares to nothing.
    second.pop_back();
    EXPECT_TRUE(CompareSlots(first, second).empty());
}
