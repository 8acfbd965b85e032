#include "ProgramList.h"
#include "SyxFormat.h"
#include "SyxProgram.h"
#include "TestSupport.h"

#include <cstring>

namespace {

const std::string NOT_SYX = "File is not a valid Korg Syx File";
const std::string CORRUPTED = "Failed to read file, patch data appears to be corrupted";
const std::string CANNOT_OPEN = "Cannot open file";

class SyxReader : public CTempDirTest
{
protected:
    // Reads `bytes` from a file into m_list; returns the error text, empty on success.
    std::string Read(const Bytes& bytes, const std::string& fileName = "test.syx")
    {
        std::string error;
        const int before = m_list.GetSize();
        const int result = m_list.ReadSyxFile(WriteFile("in.syx", bytes), error, fileName);
        EXPECT_EQ(result == 1, error.empty()) << error;
        ExpectSameFromMemory(bytes, result, error, m_list.GetSize() - before);
        return error;
    }

    // The same bytes held in memory (as received over MIDI) are judged exactly as the file.
    void ExpectSameFromMemory(const Bytes& bytes, int fileResult, const std::string& fileError, int fileAdded)
    {
        CProgramList fromMemory;
        std::string error;
        EXPECT_EQ(fromMemory.ReadSyxBytes(bytes.data(), bytes.size(), error, "mem"), fileResult);
        EXPECT_EQ(error, fileError);
        ASSERT_EQ(fromMemory.GetSize(), fileAdded);
        for (int i = 0; i < fromMemory.GetSize(); ++i) {
            const int fileIndex = m_list.GetSize() - fromMemory.GetSize() + i;
            EXPECT_EQ(0, std::memcmp(fromMemory.GetAt(i)->GetData(), m_list.GetAt(fileIndex)->GetData(),
                                     PROGRAM_DATA_SIZE)) << i;
        }
    }

    void ExpectProgram(int index, const Bytes& data, char bank, int number)
    {
        const CSyxProgram* program = m_list.GetAt(index);
        ASSERT_NE(program, nullptr);
        ASSERT_EQ(program->GetLength(), PROGRAM_DATA_SIZE);
        EXPECT_EQ(0, std::memcmp(program->GetData(), data.data(), PROGRAM_DATA_SIZE)) << index;
        EXPECT_EQ(program->GetBankText(), std::string(1, bank));
        EXPECT_EQ(program->GetNumberText(), (number < 10 ? "00" : "0") + std::to_string(number));
    }

    CProgramList m_list;
};

} // namespace

TEST_F(SyxReader, PackingRoundTripsThroughTheReader)
{
    const Bytes data = MakeProgramData("Round Trip", 0x20);
    const Bytes message = PackDump(data, FUNC_CURRENT_PROGRAM);
    ASSERT_EQ(message.size(), 297u);
    EXPECT_EQ(PackedSize(PROGRAM_DATA_SIZE), 291u);
    // The last group holds the flag byte and the final two data bytes.
    EXPECT_EQ(message[message.size() - 4] & ~0x03, 0);

    EXPECT_EQ(Read(message, "Round.syx"), "");
    ASSERT_EQ(m_list.GetSize(), 1);
    ExpectProgram(0, data, 'A', 1);
    EXPECT_EQ(m_list.GetAt(0)->GetFileName(), "Round.syx");
}

TEST_F(SyxReader, AcceptsEveryChannelButOnlyTheSysExHighNibble)
{
    const Bytes data = MakeProgramData("Ch");
    for (int channel = 0; channel < 16; ++channel) {
        EXPECT_EQ(Read(PackDump(data, FUNC_CURRENT_PROGRAM, channel)), "") << channel;
        ASSERT_EQ(m_list.GetSize(), channel + 1);
        ExpectProgram(channel, data, 'A', 1);
    }
    for (unsigned char third : {0x20, 0x40, 0x00}) {
        Bytes message = PackDump(data, FUNC_CURRENT_PROGRAM);
        message[2] = third;
        EXPECT_EQ(Read(message), NOT_SYX) << int(third);
    }
    EXPECT_EQ(m_list.GetSize(), 16);
}

TEST_F(SyxReader, RejectsOtherHeadersAndFunctions)
{
    const Bytes good = PackDump(MakeProgramData("X"), FUNC_CURRENT_PROGRAM);
    for (int index : {0, 1, 3}) {
        Bytes message = good;
        message[index] ^= 0x01;
        EXPECT_EQ(Read(message), NOT_SYX) << index;
    }
    for (unsigned char function : {0x41, 0x4D, 0x51, 0x00, 0xF7}) {
        Bytes message = good;
        message[4] = function;
        EXPECT_EQ(Read(message), NOT_SYX) << int(function);
    }
    EXPECT_EQ(m_list.GetSize(), 0);
}

TEST_F(SyxReader, ProgramDumpGivesBanksAToH)
{
    const Bytes bank = MakeBankData();
    const Bytes message = PackDump(bank, FUNC_PROGRAM_DUMP, 3);
    ASSERT_EQ(message.size(), 37157u + 6);
    EXPECT_EQ(Read(message), "");
    ASSERT_EQ(m_list.GetSize(), 128);
    for (int i = 0; i < 128; ++i)
        ExpectProgram(i, Bytes(bank.begin() + i * 254, bank.begin() + (i + 1) * 254), char('A' + i / 16), i % 16 + 1);
}

TEST_F(SyxReader, AllDataDumpNeedsExactly229FurtherBytesOfAnyValue)
{
    const Bytes bank = MakeBankData();
    for (unsigned char fill : {0x00, 0xF7, 0x7F}) {
        m_list.DeleteAll();
        EXPECT_EQ(Read(PackDump(bank, FUNC_ALL_DATA_DUMP, 0, fill)), "") << int(fill);
        EXPECT_EQ(m_list.GetSize(), 128);
    }
    Bytes shorter = PackDump(bank, FUNC_ALL_DATA_DUMP);
    shorter.erase(shorter.end() - 2);
    Bytes longer = PackDump(bank, FUNC_ALL_DATA_DUMP);
    longer.insert(longer.end() - 1, 0x00);
    m_list.DeleteAll();
    EXPECT_EQ(Read(shorter), CORRUPTED);
    EXPECT_EQ(Read(longer), CORRUPTED);
    EXPECT_EQ(m_list.GetSize(), 0);
}

TEST_F(SyxReader, IgnoresAnythingAfterTheEndByte)
{
    const Bytes data = MakeProgramData("X");
    Bytes message = PackDump(data, FUNC_CURRENT_PROGRAM);
    const Bytes second = message;
    message.insert(message.end(), second.begin(), second.end());
    const std::string text = "trailing text";
    message.insert(message.end(), text.begin(), text.end());
    EXPECT_EQ(Read(message), "");
    EXPECT_EQ(m_list.GetSize(), 1);
}

TEST_F(SyxReader, ShortFilesAreInvalidOrCorrupted)
{
    const Bytes good = PackDump(MakeProgramData("X"), FUNC_CURRENT_PROGRAM);
    for (size_t size = 0; size < 5; ++size)
        EXPECT_EQ(Read(Bytes(good.begin(), good.begin() + static_cast<long>(size))), NOT_SYX) << size;
    EXPECT_EQ(Read(Bytes(good.begin(), good.begin() + 5)), CORRUPTED);
    EXPECT_EQ(Read(Bytes(good.begin(), good.end() - 1)), CORRUPTED);  // no end byte
    EXPECT_EQ(m_list.GetSize(), 0);
}

TEST_F(SyxReader, OneByteMissingOrExtraIsCorrupted)
{
    const Bytes good = PackDump(MakeProgramData("X"), FUNC_CURRENT_PROGRAM);
    Bytes missing = good;
    missing.erase(missing.begin() + 100);
    EXPECT_EQ(Read(missing), CORRUPTED);
    for (unsigned char extra : {0x00, 0x7F, 0x80}) {
        Bytes longer = good;
        longer.insert(longer.end() - 1, extra);
        EXPECT_EQ(Read(longer), CORRUPTED) << int(extra);
    }
    // An end byte inside the data ends it early.
    Bytes early = good;
    early[200] = SYX_END;
    EXPECT_EQ(Read(early), CORRUPTED);
    EXPECT_EQ(m_list.GetSize(), 0);
}

TEST_F(SyxReader, FlagBitRestoresBit7)
{
    Bytes message = PackDump(Bytes(PROGRAM_DATA_SIZE, 0x00), FUNC_CURRENT_PROGRAM);
    // First group: flag at 5, data bytes 0-6 at 6-12. Raw 0x80 data bytes are taken as they are.
    message[5] = 0x81;   // bit 7 of a flag byte belongs to no data byte
    message[6] = 0x80;   // flag bit set: 0x80 + 128 wraps to 0x00
    message[7] = 0x80;   // flag bit clear: stays 0x80
    message[8] = 0x05;
    EXPECT_EQ(Read(message), "");
    ASSERT_EQ(m_list.GetSize(), 1);
    const unsigned char* data = m_list.GetAt(0)->GetData();
    EXPECT_EQ(data[0], 0x00);
    EXPECT_EQ(data[1], 0x80);
    EXPECT_EQ(data[2], 0x05);
}

TEST_F(SyxReader, CannotOpenMissingFilesOrFolders)
{
    std::string error;
    EXPECT_EQ(m_list.ReadSyxFile(PathOf("missing.syx"), error, "x"), 0);
    EXPECT_EQ(error, CANNOT_OPEN);
    error.clear();
    EXPECT_EQ(m_list.ReadSyxFile(m_dir.string(), error, "x"), 0);
    EXPECT_EQ(error, CANNOT_OPEN);
    EXPECT_EQ(m_list.GetSize(), 0);
}

TEST_F(SyxReader, HugeJunkFilesAreRejected)
{
    Bytes junk(16 * 1024 * 1024, 0x55);
    EXPECT_EQ(Read(junk), NOT_SYX);
    // A valid header followed by endless data stops after the expected bytes.
    const Bytes header = {0xF0, 0x42, 0x30, 0x58, 0x4C};
    std::copy(header.begin(), header.end(), junk.begin());
    EXPECT_EQ(Read(junk), CORRUPTED);
    EXPECT_EQ(m_list.GetSize(), 0);
}

TEST_F(SyxReader, FailedReadLeavesEarlierRecordsUntouched)
{
    const Bytes first = MakeProgramData("Good", 0x10, 1);
    ASSERT_EQ(Read(PackDump(first, FUNC_CURRENT_PROGRAM), "good.syx"), "");
    const CSyxProgram* kept = m_list.GetAt(0);

    // A bank that breaks after its 100th program: 100 records are made and must go again.
    Bytes broken = PackDump(MakeBankData(), FUNC_PROGRAM_DUMP);
    broken.resize(5 + PackedSize(100 * PROGRAM_DATA_SIZE) + 3);
    EXPECT_EQ(Read(broken, "bad.syx"), CORRUPTED);

    ASSERT_EQ(m_list.GetSize(), 1);
    EXPECT_EQ(m_list.GetAt(0), kept);
    ExpectProgram(0, first, 'A', 1);
    EXPECT_EQ(kept->GetFileName(), "good.syx");

    std::string error = "untouched";
    EXPECT_EQ(m_list.ReadSyxFile(WriteFile("ok.syx", PackDump(first, FUNC_CURRENT_PROGRAM)), error, "ok"), 1);
    EXPECT_EQ(error, "untouched");
}

namespace {

TEST(SyxFormat, BuildDumpMessagePacksProgramsAndKeepsTheTrailer)
{
    Bytes data;
    for (unsigned int i = 0; i < 128; ++i) {
        const Bytes program = MakeProgramData("P" + std::to_string(i), 0x00, i);
        data.insert(data.end(), program.begin(), program.end());
    }
    const Bytes bank = BuildDumpMessage(FUNC_PROGRAM_DUMP, 9, data.data(), static_cast<unsigned int>(data.size()));
    ASSERT_EQ(bank.size(), 37163u);
    EXPECT_EQ(bank[2], 0x39);
    EXPECT_EQ(bank[4], FUNC_PROGRAM_DUMP);
    EXPECT_EQ(bank.back(), SYX_END);

    CProgramList list;
    std::string error;
    ASSERT_EQ(list.ReadSyxBytes(bank.data(), bank.size(), error, "bank"), 1) << error;
    ASSERT_EQ(list.GetSize(), 128);
    for (int i = 0; i < 128; ++i)
        EXPECT_EQ(0, std::memcmp(list.GetAt(i)->GetData(), data.data() + i * PROGRAM_DATA_SIZE, PROGRAM_DATA_SIZE));

    const Bytes trailer(ALL_DATA_TRAILER_SIZE, SYX_END);
    const Bytes all = BuildDumpMessage(FUNC_ALL_DATA_DUMP, 0, data.data(), static_cast<unsigned int>(data.size()),
                                       trailer.data(), ALL_DATA_TRAILER_SIZE);
    ASSERT_EQ(all.size(), 37163u + ALL_DATA_TRAILER_SIZE);
    EXPECT_TRUE(std::equal(bank.begin() + 5, bank.end() - 1, all.begin() + 5));
    CProgramList allList;
    ASSERT_EQ(allList.ReadSyxBytes(all.data(), all.size(), error, "all"), 1) << error;
}

} // namespace
