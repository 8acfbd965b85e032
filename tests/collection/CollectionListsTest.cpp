// Lists, a list as a bank dump, and two sources compared slot by slot.

#include "CollectionTestSupport.h"

#include "Bank.h"
#include "SqliteDb.h"

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

namespace {

std::vector<CollectionProgramData> AsProgramData(const std::vector<Bytes>& programs)
{
    std::vector<CollectionProgramData> data(programs.size());
    for (std::size_t i = 0; i < programs.size(); ++i)
        std::copy(programs[i].begin(), programs[i].end(), data[i].begin());
    return data;
}

std::size_t ProgramCount(CCollection& collection)
{
    CCollectionQuery shown, hidden;
    hidden.hiddenOnly = true;
    return collection.Search(shown).size() + collection.Search(hidden).size();
}

} // namespace

TEST_F(CollectionLists, ABankWithSoundsTheCollectionLacksIsSavedAndGivenBackByteForByte)
{
    auto collection = OpenCollection();
    const std::vector<Bytes> known = MakeBankPrograms("Known", 1);
    CImportResult taken;
    std::string error;
    ASSERT_TRUE(collection->ImportFileBytes("/known.syx", BankDump(known), taken, error)) << error;

    // Slots 0-99 hold known sounds (one renamed, one under a name with a NUL in it); 100-127
    // new ones, the last two the same sound.
    std::vector<Bytes> bank(known.begin(), known.begin() + 100);
    bank[5] = MakeProgram("Renamed", 1 + 5, 1);
    bank[6][4] = 0;
    for (unsigned int i = 100; i < 128; ++i)
        bank.push_back(MakeProgram("New " + std::to_string(i), 5000 + i));
    bank[127] = MakeProgram("Twin", 5000 + 126);

    CImportResult result;
    ASSERT_TRUE(collection->SaveBankAsList("Live", AsProgramData(bank), result, error, 1000)) << error;
    EXPECT_EQ(result.newPrograms, 27);
    CCollectionList list;
    ASSERT_TRUE(collection->FindList("Live", list));
    Bytes dump;
    ASSERT_TRUE(collection->ListDump(list.id, dump, error)) << error;
    EXPECT_EQ(dump, BankDump(bank));

    // The bank is the source of the sounds it brought; the names it gave are found.
    const CCollectionSource source = collection->Sources().front();   // saved "at" 1000
    EXPECT_EQ(source.id, result.source);
    EXPECT_EQ(source.kind, SourceKind::Bank);
    EXPECT_EQ(source.name.rfind("Bank \"Live\" ", 0), 0u) << source.name;
    EXPECT_EQ(source.programCount, 128);
    CCollectionQuery renamed;
    renamed.text = "renamed";
    ASSERT_EQ(collection->Search(renamed).size(), 1u);
    EXPECT_EQ(collection->Search(renamed)[0].id, collection->SourcePrograms(taken.source)[5]);

    // Known sounds alone make no source; a rename in the Collection leaves the list's names.
    std::vector<Bytes> reordered(bank.rbegin(), bank.rend());
    const std::size_t sources = collection->Sources().size();
    ASSERT_TRUE(collection->SaveBankAsList("Reversed", AsProgramData(reordered), result, error)) << error;
    EXPECT_EQ(result.source, 0);
    EXPECT_EQ(result.newPrograms, 0);
    EXPECT_EQ(collection->Sources().size(), sources);
    ASSERT_TRUE(collection->Rename(collection->SourcePrograms(taken.source)[7], "Other", error)) << error;
    for (const auto& [name, expected] : {std::pair{"Live", bank}, std::pair{"Reversed", reordered}}) {
        ASSERT_TRUE(collection->FindList(name, list));
        ASSERT_TRUE(collection->ListDump(list.id, dump, error)) << error;
        EXPECT_EQ(dump, BankDump(expected)) << name;
    }
}

TEST_F(CollectionLists, ABankThatCannotBeSavedWholeLeavesNothing)
{
    auto collection = OpenCollection();
    const std::vector<Bytes> bank = MakeBankPrograms("Fresh", 300);
    std::string error;
    {
        // The database fails at the 101st slot of the list, after the sounds were added.
        int code = 0;
        auto db = CSqliteDb::Open(DbPath(), code, error);
        ASSERT_TRUE(db && db->Exec("CREATE TRIGGER fail BEFORE INSERT ON list_entry WHEN NEW.position = 100"
                                   " BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    }
    const struct {
        const char* name;
        std::size_t programs;
        const char* error;
    } cases[] = {
        {"Midway", 128, "The Collection's database failed: disk full"},
        {"Short", 127, "A bank holds 128 programs, not 127"},
        {" ", 128, "A list's name cannot be empty or hold control characters"},
    };
    for (const auto& c : cases) {
        std::vector<CollectionProgramData> programs = AsProgramData(bank);
        programs.resize(c.programs);
        CImportResult result;
        EXPECT_FALSE(collection->SaveBankAsList(c.name, programs, result, error)) << c.name;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(result.source, 0);
        EXPECT_TRUE(collection->Sources().empty());
        EXPECT_TRUE(collection->Lists().empty());
        EXPECT_EQ(ProgramCount(*collection), 0u);
    }

    {
        int code = 0;
        auto db = CSqliteDb::Open(DbPath(), code, error);
        ASSERT_TRUE(db && db->Exec("DROP TRIGGER fail"));
    }
    CImportResult result;
    ASSERT_TRUE(collection->SaveBankAsList("Midway", AsProgramData(bank), result, error)) << error;
    EXPECT_EQ(result.newPrograms, 128);
    EXPECT_EQ(ProgramCount(*collection), 128u);
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
