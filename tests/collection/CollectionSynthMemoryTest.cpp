// The synthesizer's memory as the Collection knows it: a receive is the snapshot, banks sent
// and slots written after it change what is known, and the next receive starts again.

#include "CollectionTestSupport.h"

#include "SqliteDb.h"

#include <algorithm>
#include <array>

namespace {

CollectionProgramData Data(const Bytes& program)
{
    CollectionProgramData data{};
    std::copy(program.begin(), program.end(), data.begin());
    return data;
}

std::vector<CollectionProgramData> Data(const std::vector<Bytes>& programs)
{
    std::vector<CollectionProgramData> data;
    for (const Bytes& program : programs)
        data.push_back(Data(program));
    return data;
}

class CollectionSynthMemory : public CCollectionTest
{
protected:
    void SetUp() override
    {
        CCollectionTest::SetUp();
        collection = OpenCollection();
    }

    CKnownSynthMemory Known()
    {
        CKnownSynthMemory memory;
        std::string error;
        EXPECT_TRUE(collection->KnownSynthMemory(memory, error)) << error;
        return memory;
    }

    void Receive(const std::vector<Bytes>& programs, std::int64_t at)
    {
        CImportResult result;
        std::string error;
        ASSERT_TRUE(collection->ImportSynthDump(BankDump(programs), result, error, at)) << error;
    }

    void Write(int slot, const Bytes& program, std::int64_t at)
    {
        std::string error;
        ASSERT_TRUE(collection->RecordSynthSlotWritten(slot, Data(program), error, at)) << error;
    }

    std::unique_ptr<CCollection> collection;
};

TEST_F(CollectionSynthMemory, ReceiveThenWritesThenTheNextReceive)
{
    EXPECT_FALSE(Known().IsKnown());
    // Writes into an unknown memory do not make it known.
    Write(4, MakeProgram("Lost", 1), 900);
    EXPECT_FALSE(Known().IsKnown());

    const std::vector<Bytes> received = MakeBankPrograms("Synth", 10);
    Receive(received, 1000);
    CKnownSynthMemory memory = Known();
    ASSERT_EQ(CKnownSynthMemory::Base::Receive, memory.base);
    EXPECT_EQ(1000, memory.baseTime);
    EXPECT_EQ(Data(received), memory.programs);

    // A write in the second the receive ended, and one later.
    const Bytes warm = MakeProgram("Warm Pad", 500);
    const Bytes stab = MakeProgram("Stab Saw", 501);
    Write(36, warm, 1000);
    Write(4, stab, 1010);
    memory = Known();
    std::vector<CollectionProgramData> expected = Data(received);
    expected[36] = Data(warm);
    expected[4] = Data(stab);
    EXPECT_EQ(expected, memory.programs);
    EXPECT_EQ(2, memory.slotsWritten);
    EXPECT_EQ(CKnownSynthMemory::Base::Receive, memory.base);
    // The receive itself is not rewritten.
    Bytes bytes;
    ASSERT_TRUE(collection->SourceBytes(memory.receive, bytes));
    EXPECT_EQ(BankDump(received), bytes);

    // A receive of the same programs is a new snapshot: the writes before it are gone.
    Receive(received, 1020);
    memory = Known();
    EXPECT_EQ(Data(received), memory.programs);
    EXPECT_EQ(0, memory.slotsWritten);
    EXPECT_EQ(1020, memory.baseTime);

    // One program received is no snapshot of the memory.
    CImportResult result;
    std::string error;
    ASSERT_TRUE(collection->ImportSynthDump(OneProgramDump(warm), result, error, 1030)) << error;
    EXPECT_EQ(1020, Known().baseTime);
}

TEST_F(CollectionSynthMemory, BankSentReplacesTheReceiveUntilTheNextReceive)
{
    std::string error;
    const std::vector<Bytes> sent = MakeBankPrograms("Sent", 300);
    ASSERT_TRUE(collection->RecordSynthBankSent(Data(sent), error, 500)) << error;
    CKnownSynthMemory memory = Known();
    ASSERT_EQ(CKnownSynthMemory::Base::BankSent, memory.base);
    EXPECT_EQ(Data(sent), memory.programs);

    Receive(MakeBankPrograms("Synth", 10), 1000);
    const Bytes lead = MakeProgram("Lead", 7);
    Write(0, lead, 1001);
    ASSERT_TRUE(collection->RecordSynthBankSent(Data(sent), error, 1010)) << error;
    Write(127, lead, 1011);
    memory = Known();
    std::vector<CollectionProgramData> expected = Data(sent);
    expected[127] = Data(lead);   // the bank replaced slot 0's write, not the later one
    EXPECT_EQ(expected, memory.programs);
    EXPECT_EQ(CKnownSynthMemory::Base::BankSent, memory.base);
    EXPECT_EQ(1010, memory.baseTime);

    // Another process (veltrix-cli) sees the same.
    std::string notice;
    auto other = CCollection::Open(DbPath(), error, notice);
    ASSERT_TRUE(other) << error;
    CKnownSynthMemory seen;
    ASSERT_TRUE(other->KnownSynthMemory(seen, error)) << error;
    EXPECT_EQ(expected, seen.programs);

    // What can no longer matter is not kept: the bank and the write after it.
    int code = 0;
    auto db = CSqliteDb::Open(DbPath(), code, error);
    ASSERT_TRUE(db);
    CSqliteQuery rows(*db, "SELECT count(*) FROM synth_write");
    ASSERT_TRUE(rows.Next());
    EXPECT_EQ(2, rows.Int(0));
}

TEST_F(CollectionSynthMemory, RefusesWhatIsNoSlotOrNoBank)
{
    std::string error;
    EXPECT_FALSE(collection->RecordSynthSlotWritten(128, Data(MakeProgram("X", 1)), error));
    EXPECT_EQ("There is no slot 128 in the synthesizer", error);
    EXPECT_FALSE(collection->RecordSynthBankSent(std::vector<CollectionProgramData>(127), error));
    EXPECT_EQ("A bank has 128 programs, not 127", error);
    EXPECT_FALSE(Known().IsKnown());
}

TEST_F(CollectionSynthMemory, CollectionOfTheVersionBeforeGetsTheTable)
{
    Receive(MakeBankPrograms("Old", 1), 1000);
    collection.reset();
    MakeThirdVersionFile(DbPath());   // the tables of the later version taken away first
    {
        std::string error;
        int code = 0;
        auto db = CSqliteDb::Open(DbPath(), code, error);
        ASSERT_TRUE(db && db->Exec("DROP TABLE synth_write; PRAGMA user_version = 2"));
    }
    collection = OpenCollection();
    EXPECT_EQ(Data(MakeBankPrograms("Old", 1)), Known().programs);
    Write(3, MakeProgram("New", 9), 1001);
    EXPECT_EQ(1, Known().slotsWritten);
}

}  // namespace
