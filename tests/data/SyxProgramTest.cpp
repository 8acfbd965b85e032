#include "SyxProgram.h"
#include "TestSupport.h"

#include <cstring>
#include <memory>
#include <type_traits>

namespace {

std::unique_ptr<CSyxProgram> MakeRecord(const Bytes& data, char bank = 'A', int number = 1,
                                        const std::string& file = "file.syx")
{
    return std::make_unique<CSyxProgram>(bank, number, data.data(), static_cast<unsigned int>(data.size()), file);
}

std::string NameOf(const Bytes& nameBytes)
{
    return MakeRecord(MakeProgramDataRawName(nameBytes))->GetName();
}

} // namespace

static_assert(!std::is_copy_constructible_v<CSyxProgram> && !std::is_copy_assignable_v<CSyxProgram>,
              "records are handled by pointer only");

TEST(SyxProgram, KeepsItsOwnCopyOfTheData)
{
    Bytes data = MakeProgramData("Lead");
    const auto record = MakeRecord(data, 'C', 9, "bank.syx");
    data.assign(data.size(), 0xEE);
    const Bytes original = MakeProgramData("Lead");
    ASSERT_EQ(record->GetLength(), PROGRAM_DATA_SIZE);
    EXPECT_EQ(0, std::memcmp(record->GetData(), original.data(), PROGRAM_DATA_SIZE));
    EXPECT_EQ(record->GetBankText(), "C");
    EXPECT_EQ(record->GetFileName(), "bank.syx");
}

TEST(SyxProgram, NumberTextHasThreeDigits)
{
    const Bytes data = MakeProgramData("X");
    EXPECT_EQ(MakeRecord(data, 'A', 1)->GetNumberText(), "001");
    EXPECT_EQ(MakeRecord(data, 'A', 7)->GetNumberText(), "007");
    EXPECT_EQ(MakeRecord(data, 'A', 16)->GetNumberText(), "016");
}

TEST(SyxProgram, NameEndsAtNulAndLosesTrailingWhiteSpaceOnly)
{
    EXPECT_EQ(NameOf({'I', 'n', 'i', 't', ' ', 'S', 'o', 'u', 'n', 'd', 0, 0}), "Init Sound");
    EXPECT_EQ(NameOf({'P', 'a', 'd', 's', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}), "Pads");
    EXPECT_EQ(NameOf({' ', ' ', 'P', 'a', 'd', 's', ' ', ' ', ' ', ' ', ' ', ' '}), "  Pads");
    EXPECT_EQ(NameOf({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L'}), "ABCDEFGHIJKL");
    EXPECT_EQ(NameOf({0, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K'}), "");
    EXPECT_EQ(NameOf({'A', ' ', 'B', '\t', '\r', '\n', '\v', '\f', ' ', 0, 'Z', 'Z'}), "A B");
    EXPECT_EQ(NameOf({'B', 'a', 's', 's', 0, ' ', ' ', ' ', 'X', 'Y', 'Z', 'W'}), "Bass");
}

TEST(SyxProgram, NameKeepsBytesAbove127Raw)
{
    EXPECT_EQ(NameOf({0xC4, 'r', 0xFF, ' ', 0, 0, 0, 0, 0, 0, 0, 0}), std::string("\xC4r\xFF"));
}

TEST(SyxProgram, VoiceModeComesFromBits4And5OfByte16)
{
    struct Case { unsigned char byte; const char* name; bool vocoder; };
    const Case cases[] = {{0x00, "Single", false}, {0x10, "Split", false}, {0x20, "Dual", false},
                          {0x30, "Vocoder", true}, {0xCF, "Single", false}, {0x3F, "Vocoder", true},
                          {0x70, "Vocoder", true}, {0x40, "Single", false}};
    for (const Case& c : cases) {
        const auto record = MakeRecord(MakeProgramData("X", c.byte));
        EXPECT_EQ(record->GetVoiceModeName(), c.name) << int(c.byte);
        EXPECT_EQ(record->IsVocoder(), c.vocoder) << int(c.byte);
    }
}

TEST(SyxProgram, ShortDataIsNeverReadBeyondItsEnd)
{
    const unsigned char data[3] = {'A', 'b', ' '};
    CSyxProgram record('A', 1, data, 3, "");
    EXPECT_EQ(record.GetName(), "Ab");
    EXPECT_EQ(record.GetVoiceModeName(), "Single");
    EXPECT_FALSE(record.IsVocoder());
}
