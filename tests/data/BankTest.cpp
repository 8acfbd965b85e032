// The bank of 128 slots: made from dumps and programs, changed slot by slot, written back.

#include "Bank.h"
#include "ProgramList.h"
#include "SyxFormat.h"
#include "TestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

Bytes SlotBytes(const CBank& bank, int slot)
{
    const CBank::ProgramData& data = bank.GetProgram(slot);
    return Bytes(data.begin(), data.end());
}

Bytes ProgramOf(const Bytes& bankData, int slot)
{
    return Bytes(bankData.begin() + slot * PROGRAM_DATA_SIZE, bankData.begin() + (slot + 1) * PROGRAM_DATA_SIZE);
}

Bytes ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

CBank ReadBank(const Bytes& dump)
{
    std::string error;
    std::optional<CBank> bank = CBank::ReadBytes(dump.data(), dump.size(), error);
    if (!bank)
        ADD_FAILURE() << error;
    return bank.value();
}

using BankTest = CTempDirTest;

TEST_F(BankTest, ADumpGivesItsProgramsInSlotOrderWithTheSlotsLettersAndNumbers)
{
    const Bytes data = MakeBankData();
    for (unsigned char function : {FUNC_PROGRAM_DUMP, FUNC_ALL_DATA_DUMP}) {
        const CBank bank = ReadBank(PackDump(data, function, 5));
        for (int slot : {0, 15, 16, 127})
            EXPECT_EQ(SlotBytes(bank, slot), ProgramOf(data, slot)) << slot;
        const auto h16 = bank.CreateSlotRecord(127);
        EXPECT_EQ(h16->GetBankText() + h16->GetNumberText(), "H016");
        EXPECT_EQ(h16->GetName(), "P127");
        const auto b02 = bank.CreateSlotRecord(17);
        EXPECT_EQ(b02->GetBankText() + b02->GetNumberText(), "B002");
        EXPECT_EQ(bank.CreateSlotRecord(128), nullptr);
    }
    // Texts name a slot as the grid shows it: bank letter, then number.
    for (const auto& [slot, name] : {std::pair{0, "A 001"}, std::pair{17, "B 002"}, std::pair{127, "H 016"}})
        EXPECT_EQ(CBank::SlotName(slot), name) << slot;

    // The same bank from a file.
    std::string error;
    const auto fromFile = CBank::ReadFile(WriteFile("bank.syx", PackDump(data, FUNC_PROGRAM_DUMP)), error);
    ASSERT_TRUE(fromFile.has_value()) << error;
    EXPECT_EQ(*fromFile, ReadBank(PackDump(data, FUNC_ALL_DATA_DUMP)));
}

TEST_F(BankTest, WhatIsNotABankGivesNoBankAndSaysWhy)
{
    std::string error;
    const Bytes one = PackDump(MakeProgramData("One"), FUNC_CURRENT_PROGRAM);
    EXPECT_FALSE(CBank::ReadBytes(one.data(), one.size(), error).has_value());
    EXPECT_EQ(error, ERROR_NOT_A_BANK);

    Bytes cut = PackDump(MakeBankData(), FUNC_PROGRAM_DUMP);
    cut.resize(cut.size() - 10);
    EXPECT_FALSE(CBank::ReadFile(WriteFile("cut.syx", cut), error).has_value());
    EXPECT_EQ(error, "Failed to read file, patch data appears to be corrupted");

    EXPECT_FALSE(CBank::ReadFile(PathOf("missing.syx"), error).has_value());
    EXPECT_EQ(error, "Cannot open file");

    // 128 records are needed, each of a whole program.
    CProgramList list;
    const Bytes dump = PackDump(MakeBankData(), FUNC_PROGRAM_DUMP);
    ASSERT_EQ(list.ReadSyxBytes(dump.data(), dump.size(), error, "f"), 1);
    std::vector<const CSyxProgram*> programs;
    for (int i = 0; i < list.GetSize(); ++i)
        programs.push_back(list.GetAt(i));
    EXPECT_TRUE(CBank::FromPrograms(programs).has_value());
    EXPECT_TRUE(CBank::FromList(list).has_value());
    programs.pop_back();
    EXPECT_FALSE(CBank::FromPrograms(programs).has_value());
    const CSyxProgram shortRecord('A', 1, MakeProgramData("S").data(), 100, "f");
    programs.push_back(&shortRecord);
    EXPECT_FALSE(CBank::FromPrograms(programs).has_value());
    programs.back() = nullptr;
    EXPECT_FALSE(CBank::FromPrograms(programs).has_value());
}

TEST_F(BankTest, PutAndSwapChangeOnlyTheirSlots)
{
    const Bytes data = MakeBankData();
    CBank bank = ReadBank(PackDump(data, FUNC_PROGRAM_DUMP));
    const CBank original = bank;

    const Bytes lead = MakeProgramData("Lead", 0x20, 99);
    ASSERT_TRUE(bank.PutProgram(40, lead.data(), PROGRAM_DATA_SIZE));
    EXPECT_EQ(SlotBytes(bank, 40), lead);
    EXPECT_EQ(bank.CreateSlotRecord(40)->GetVoiceModeName(), "Dual");
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot) {
        if (slot != 40) {
            ASSERT_EQ(SlotBytes(bank, slot), ProgramOf(data, slot)) << slot;
        }
    }

    ASSERT_TRUE(bank.SwapSlots(40, 0));
    EXPECT_EQ(SlotBytes(bank, 0), lead);
    EXPECT_EQ(SlotBytes(bank, 40), ProgramOf(data, 0));
    ASSERT_TRUE(bank.SwapSlots(0, 40));
    ASSERT_TRUE(bank.SwapSlots(7, 7));
    EXPECT_EQ(SlotBytes(bank, 40), lead);

    // Out of range, or not a whole program: nothing changes.
    const CBank before = bank;
    EXPECT_FALSE(bank.PutProgram(128, lead.data(), PROGRAM_DATA_SIZE));
    EXPECT_FALSE(bank.PutProgram(-1, lead.data(), PROGRAM_DATA_SIZE));
    EXPECT_FALSE(bank.PutProgram(3, lead.data(), PROGRAM_DATA_SIZE - 1));
    EXPECT_FALSE(bank.PutProgram(3, nullptr, PROGRAM_DATA_SIZE));
    EXPECT_FALSE(bank.SwapSlots(0, 128));
    EXPECT_FALSE(bank.SwapSlots(-1, 5));
    EXPECT_EQ(bank, before);
    EXPECT_NE(bank, original);
}

TEST_F(BankTest, AWrittenBankReadsBackByteForByte)
{
    CBank bank = ReadBank(PackDump(MakeBankData(), FUNC_ALL_DATA_DUMP));
    // Every byte value, bit 7 set or not, in slots that end and start inside a packing group.
    Bytes allValues(PROGRAM_DATA_SIZE);
    for (unsigned int i = 0; i < PROGRAM_DATA_SIZE; ++i)
        allValues[i] = static_cast<unsigned char>(255 - i);
    bank.PutProgram(1, allValues.data(), PROGRAM_DATA_SIZE);
    bank.PutProgram(127, allValues.data(), PROGRAM_DATA_SIZE);
    bank.SwapSlots(2, 100);

    const Bytes dump = bank.BuildDump();
    ASSERT_EQ(dump.size(), 37163u);
    EXPECT_EQ(Bytes(dump.begin(), dump.begin() + 5), Bytes({0xF0, 0x42, 0x30, 0x58, 0x4C}));
    EXPECT_EQ(dump.back(), 0xF7);
    for (size_t i = 5; i + 1 < dump.size(); ++i)
        ASSERT_LT(dump[i], 0x80) << i;

    const CBank back = ReadBank(dump);
    for (int slot = 0; slot < BANK_SLOT_COUNT; ++slot)
        ASSERT_EQ(SlotBytes(back, slot), SlotBytes(bank, slot)) << slot;

    // The channel goes in the low nibble of the third byte, and nowhere else.
    Bytes onChannel = bank.BuildDump(9);
    EXPECT_EQ(onChannel[2], 0x39);
    onChannel[2] = 0x30;
    EXPECT_EQ(onChannel, dump);
}

// Dumps made by real instruments, read and written unchanged, give the very same file.
TEST(BankRealDumps, ReadAndWrittenUnchangedTheyAreByteIdentical)
{
    std::error_code missing;
    if (!std::filesystem::is_directory(VELTRIX_REALDATA_DIR, missing))
        GTEST_SKIP() << "no real dumps at " << VELTRIX_REALDATA_DIR;
    for (const char* name : {"ms2000-bank-0x4C.syx", "mk-programs-0x4C.syx"}) {
        const std::string path = std::string(VELTRIX_REALDATA_DIR) + "/" + name;
        std::string error;
        const std::optional<CBank> bank = CBank::ReadFile(path, error);
        ASSERT_TRUE(bank.has_value()) << name << ": " << error;
        EXPECT_EQ(bank->BuildDump(), ReadAll(path)) << name;
    }

    // The all-data dump holds the same programs as the program dump of that instrument.
    std::string error;
    const auto allData = CBank::ReadFile(std::string(VELTRIX_REALDATA_DIR) + "/mk-all-data-0x50.syx", error);
    const auto programs = CBank::ReadFile(std::string(VELTRIX_REALDATA_DIR) + "/mk-programs-0x4C.syx", error);
    ASSERT_TRUE(allData.has_value() && programs.has_value());
    EXPECT_EQ(*allData, *programs);
}

}  // namespace
