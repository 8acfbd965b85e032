// Taking dumps in: the real dumps, idempotence, one program per sound, search.

#include "CollectionTestSupport.h"

#include "ProgramList.h"
#include "SyxFormat.h"

#include <algorithm>
#include <strings.h>

namespace {

const char* const REAL_DUMPS[] = {
    "ms2000-bank-0x4C.syx", "mk-programs-0x4C.syx", "mk-all-data-0x50.syx", "mk-current-A11-0x40.syx",
    "mk-init-0x40.syx", "mk-global-0x51.syx", "ms2000-factory-zeropad-noF7.syx",
    "mk-factory-backup-truncated-0x50.syx", "mkS-current-0x40-model-000140.syx",
    "mkS-global-and-programs-2msgs.syx", "bad-raw8bit-bank-as-0x40.syx",
};

std::string RealPath(const char* file)
{
    return std::string(VELTRIX_REALDATA_DIR) + "/" + file;
}

std::vector<CollectionId> Ids(const std::vector<CCollectionProgram>& programs)
{
    std::vector<CollectionId> ids;
    for (const CCollectionProgram& program : programs)
        ids.push_back(program.id);
    return ids;
}

CCollectionQuery WithHidden()
{
    CCollectionQuery query;
    query.hiddenOnly = true;
    return query;
}

} // namespace

using CollectionImport = CCollectionTest;

TEST_F(CollectionImport, RealDumpsAreKeptByteForByteAndBadOnesLeaveNothing)
{
    if (!std::filesystem::is_directory(VELTRIX_REALDATA_DIR))
        GTEST_SKIP() << "no real dumps at " << VELTRIX_REALDATA_DIR;
    auto collection = OpenCollection();
    for (const char* file : REAL_DUMPS) {
        CProgramList reader;
        std::string readerError;
        const bool valid = reader.ReadSyxFile(RealPath(file), readerError, file) == 1;
        const std::size_t sourcesBefore = collection->Sources().size();
        const std::size_t programsBefore = collection->Search({}).size();

        CImportResult result;
        std::string error;
        ASSERT_EQ(collection->ImportFile(RealPath(file), result, error), valid) << file << ": " << error;
        if (!valid) {
            EXPECT_EQ(error, readerError) << file;
            EXPECT_EQ(collection->Sources().size(), sourcesBefore) << file;
            EXPECT_EQ(collection->Search({}).size(), programsBefore) << file;
            continue;
        }
        EXPECT_EQ(result.messages, 1) << file;
        EXPECT_EQ(result.programs, reader.GetSize()) << file;
        EXPECT_EQ(collection->SourcePrograms(result.source).size(), static_cast<std::size_t>(result.programs));
        Bytes exported;
        ASSERT_TRUE(collection->SourceBytes(result.source, exported));
        EXPECT_EQ(exported, ReadBytes(RealPath(file))) << file;
    }
    EXPECT_EQ(collection->Sources().size(), 5u);
    EXPECT_EQ(collection->Sources().front().name,
              std::filesystem::path(RealPath(REAL_DUMPS[0])).lexically_normal().string());

    // The all-data dump keeps its global block: the bytes after the programs.
    const Bytes allData = ReadBytes(RealPath("mk-all-data-0x50.syx"));
    Bytes global;
    ASSERT_TRUE(collection->SourceGlobalBlock(collection->Sources()[2].id, global));
    EXPECT_EQ(global, Bytes(allData.end() - 1 - ALL_DATA_TRAILER_SIZE, allData.end() - 1));
    EXPECT_FALSE(collection->SourceGlobalBlock(collection->Sources()[0].id, global));

    // A second time, nothing is added.
    const std::int64_t changes = collection->ChangeCount();
    const std::size_t programs = collection->Search({}).size();
    for (const char* file : REAL_DUMPS) {
        CImportResult result;
        std::string error;
        if (collection->ImportFile(RealPath(file), result, error)) {
            EXPECT_TRUE(result.alreadyKnown) << file;
            EXPECT_EQ(result.newPrograms, 0) << file;
        }
    }
    EXPECT_EQ(collection->Sources().size(), 5u);
    EXPECT_EQ(collection->Search({}).size(), programs);
    EXPECT_EQ(collection->ChangeCount(), changes);
}

TEST_F(CollectionImport, TheSameContentUnderAnotherPathIsAlreadyKnown)
{
    auto collection = OpenCollection();
    const Bytes dump = BankDump(MakeBankPrograms("Pad", 1));
    CImportResult first, second;
    std::string error;
    ASSERT_TRUE(collection->ImportFile(WriteFile("a.syx", dump), first, error)) << error;
    EXPECT_EQ(first.newPrograms, 128);
    EXPECT_FALSE(first.alreadyKnown);
    ASSERT_TRUE(collection->ImportFile(WriteFile("copy of a.syx", dump), second, error)) << error;
    EXPECT_TRUE(second.alreadyKnown);
    EXPECT_EQ(second.source, first.source);
    EXPECT_EQ(second.programs, 128);
    EXPECT_EQ(second.newPrograms, 0);
}

TEST_F(CollectionImport, OneSoundUnderTwoNamesIsOneProgramWithBothNames)
{
    auto collection = OpenCollection();
    std::string error;
    CImportResult first, second, third;
    ASSERT_TRUE(collection->ImportFileBytes("/a.syx", OneProgramDump(MakeProgram("Warm Pad", 7)), first, error));
    ASSERT_TRUE(collection->ImportFileBytes("/b.syx", OneProgramDump(MakeProgram("warm pad 2", 7)), second, error));
    // A bank with that sound in two slots counts it in one source once.
    std::vector<Bytes> bank = MakeBankPrograms("B", 100);
    bank[5] = bank[9] = MakeProgram("Third", 7);
    ASSERT_TRUE(collection->ImportFileBytes("/c.syx", BankDump(bank), third, error));
    EXPECT_EQ(first.newPrograms, 1);
    EXPECT_EQ(second.newPrograms, 0);
    EXPECT_EQ(third.newPrograms, 126);

    const std::vector<CollectionId> slots = collection->SourcePrograms(third.source);
    EXPECT_EQ(slots[5], collection->SourcePrograms(first.source)[0]);
    EXPECT_EQ(slots[9], slots[5]);
    CCollectionProgram program;
    ASSERT_TRUE(collection->GetProgram(slots[5], program));
    EXPECT_EQ(program.shownName, "Warm Pad");
    EXPECT_EQ(program.sourceCount, 3);
    EXPECT_EQ(collection->ProgramNames(program.id), (std::vector<std::string>{"Warm Pad", "warm pad 2", "Third"}));
}

TEST_F(CollectionImport, SynthReceivesAreSnapshotsNamedByTheirTime)
{
    auto collection = OpenCollection();
    const Bytes dump = BankDump(MakeBankPrograms("S", 1));
    const std::int64_t when = 1765117920;  // 2025-12-07 14:32:00 UTC
    CImportResult first, second;
    std::string error;
    ASSERT_TRUE(collection->ImportSynthDump(dump, first, error, when)) << error;
    ASSERT_TRUE(collection->ImportSynthDump(dump, second, error, when + 60)) << error;
    EXPECT_NE(first.source, second.source);
    EXPECT_EQ(second.newPrograms, 0);
    const std::vector<CCollectionSource> sources = collection->Sources();
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[0].kind, SourceKind::Synth);
    EXPECT_EQ(sources[0].name.rfind("Synth ", 0), 0u);
    EXPECT_EQ(sources[0].name.size(), std::string("Synth yyyy-MM-dd hh:mm:ss").size());
    EXPECT_EQ(sources[0].takenIn.substr(0, 10), sources[0].name.substr(6, 10));
    EXPECT_EQ(sources[0].size, static_cast<std::int64_t>(dump.size()));
    EXPECT_EQ(sources[0].programCount, 128);
}

TEST_F(CollectionImport, SearchFindsByAnyNameModeTagFavouriteHiddenSourceAndList)
{
    auto collection = OpenCollection();
    std::string error;
    CImportResult bank, single;
    ASSERT_TRUE(collection->ImportFileBytes("/bank.syx", BankDump(MakeBankPrograms("Bank", 1)), bank, error));
    ASSERT_TRUE(collection->ImportFileBytes("/one.syx", OneProgramDump(MakeProgram("acid_Bass%", 500, 3)), single,
                                            error));
    const std::vector<CollectionId> slots = collection->SourcePrograms(bank.source);
    const CollectionId acid = collection->SourcePrograms(single.source)[0];
    ASSERT_TRUE(collection->Rename(slots[100], "Zed", error));
    ASSERT_TRUE(collection->AddTag(slots[1], "Lush", error));
    ASSERT_TRUE(collection->AddTag(acid, "lush", error));
    ASSERT_TRUE(collection->SetFavourite(slots[2], true, error));
    ASSERT_TRUE(collection->SetHidden(slots[4], true, error));
    ASSERT_TRUE(collection->SaveList("mine", {slots[7], acid}, error));
    CCollectionList list;
    ASSERT_TRUE(collection->FindList("mine", list));

    struct Case {
        const char* what;
        CCollectionQuery query;
        std::vector<CollectionId> expected;
    };
    CCollectionQuery text, oldName, literal, mode, tag, favourite, hidden, source, inList, none;
    text.text = "ACID";
    oldName.text = "bank 100";       // the name before the rename still finds it
    literal.text = "_bass%";        // % and _ are literal, not wildcards
    mode.voiceMode = "Vocoder";
    mode.text = "bank 1";           // Bank 1, 11, 15, 19, 103, ..., those in Vocoder mode
    tag.tag = "LUSH";
    favourite.favouritesOnly = true;
    hidden = WithHidden();
    source.source = single.source;
    inList.list = list.id;
    none.text = "nowhere";
    const Case cases[] = {
        {"text", text, {acid}},
        {"old name", oldName, {slots[100]}},
        {"literal", literal, {acid}},
        {"tag", tag, {acid, slots[1]}},
        {"favourite", favourite, {slots[2]}},
        {"hidden", hidden, {slots[4]}},
        {"source", source, {acid}},
        {"list", inList, {acid, slots[7]}},
        {"none", none, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Ids(collection->Search(c.query)), c.expected) << c.what;

    for (const CCollectionProgram& program : collection->Search(mode)) {
        EXPECT_EQ(program.voiceMode, "Vocoder");
        EXPECT_NE(program.shownName.find("Bank 1"), std::string::npos);
    }
    EXPECT_FALSE(collection->Search(mode).empty());

    // Everything not hidden, by shown name with case ignored, then id.
    const std::vector<CCollectionProgram> all = collection->Search({});
    EXPECT_EQ(all.size(), 128u);
    EXPECT_EQ(all.front().shownName, "acid_Bass%");
    EXPECT_EQ(all.back().shownName, "Zed");
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), [](const auto& a, const auto& b) {
        return strcasecmp(a.shownName.c_str(), b.shownName.c_str()) < 0;
    }));
}

TEST_F(CollectionImport, EveryWayADumpCanBeWrittenComesBackByteForByte)
{
    const Bytes bank = BankDump(MakeBankPrograms("Bank", 1));
    Bytes channel7 = bank;
    channel7[2] = 0x37;
    Bytes trailing = bank;
    trailing.insert(trailing.end(), {0x00, 0xF0, 0x12});
    Bytes highBit = bank;
    highBit[6] |= 0x80;          // packed bytes with bit 7 set: packing the programs never gives them
    Bytes flagHighBit = bank;
    flagHighBit[5] |= 0x80;      // (the reader ignores it in a flag byte)
    Bytes allData = bank;
    allData[4] = FUNC_ALL_DATA_DUMP;
    allData.insert(allData.end() - 1, ALL_DATA_TRAILER_SIZE, 0x11);
    Bytes oneProgram = OneProgramDump(MakeProgram("One", 3));
    Bytes rawName = OneProgramDump(MakeProgram(std::string("Nul\0Name", 8), 4));

    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"bank", bank}, {"channel 7", channel7}, {"bytes after the end", trailing}, {"bit 7 in data", highBit},
        {"bit 7 in a flag", flagHighBit}, {"all data", allData}, {"one program", oneProgram},
        {"NUL in the name", rawName},
    };
    auto collection = OpenCollection();
    for (const auto& c : cases) {
        CImportResult result;
        std::string error;
        ASSERT_TRUE(collection->ImportFileBytes(std::string("/") + c.what, c.bytes, result, error)) << c.what << error;
        Bytes exported;
        ASSERT_TRUE(collection->SourceBytes(result.source, exported));
        EXPECT_EQ(exported, c.bytes) << c.what;
    }
}

TEST_F(CollectionImport, AConnectionSeesTheProgramsAnotherOneTookIn)
{
    auto first = OpenCollection();
    auto second = OpenCollection();
    const std::vector<Bytes> programs = MakeBankPrograms("Shared", 1);
    CImportResult result;
    std::string error;
    ASSERT_TRUE(second->ImportFileBytes("/other.syx", BankDump(MakeBankPrograms("Other", 500)), result, error));
    ASSERT_TRUE(first->ImportFileBytes("/a.syx", BankDump(programs), result, error));
    EXPECT_EQ(result.newPrograms, 128);
    // The second connection looked its sounds up before the first took these in.
    ASSERT_TRUE(second->ImportFileBytes("/b.syx", OneProgramDump(programs[5]), result, error));
    EXPECT_EQ(result.newPrograms, 0);
    EXPECT_EQ(second->Search({}).size(), 256u);

    // A search sees the names another connection gave since the last search.
    CCollectionQuery renamed;
    renamed.text = "brand new";
    EXPECT_TRUE(first->Search(renamed).empty());
    ASSERT_TRUE(second->Rename(second->SourcePrograms(result.source)[0], "Brand New", error));
    ASSERT_EQ(first->Search(renamed).size(), 1u);
    EXPECT_EQ(first->Search(renamed)[0].shownName, "Brand New");
}
