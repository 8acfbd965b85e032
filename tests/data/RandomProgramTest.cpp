#include "ProgramList.h"
#include "RandomProgram.h"
#include "SyxProgram.h"
#include "TestSupport.h"

#include <cstring>
#include <memory>
#include <set>

namespace {

// First byte of each drawn range, in draw order.
const unsigned int DRAW_FIRSTS[24] = {19, 23, 26, 30, 39, 41, 45, 50, 53, 54, 57, 63,
                                      68, 72, 76, 79, 82, 84, 86, 88, 90, 92, 110, 128};

class RandomProgram : public ::testing::Test
{
protected:
    void SetUp() override { SeedRandom(12345); }

    // Programs get distinct seeds, so every byte outside name and voice mode tells them apart.
    void AddProgram(const std::string& name, unsigned char voiceByte = 0x00)
    {
        const Bytes data = MakeProgramData(name, voiceByte, static_cast<unsigned int>(m_list.GetSize()) + 1);
        m_list.Add(new CSyxProgram('A', m_list.GetSize() + 1, data.data(), PROGRAM_DATA_SIZE, "f.syx"));
    }

    std::unique_ptr<CSyxProgram> Generate() { return std::unique_ptr<CSyxProgram>(m_list.CreateRandomProgram()); }

    // The list indices that the 24 drawn ranges of `result` came from, over `runs` generations.
    std::set<int> SourcesOver(int runs)
    {
        std::set<int> sources;
        for (int run = 0; run < runs; ++run) {
            const auto result = Generate();
            EXPECT_NE(result, nullptr);
            if (!result)
                return sources;
            for (unsigned int first : DRAW_FIRSTS) {
                int found = -1;
                for (int i = 0; i < m_list.GetSize(); ++i)
                    if (m_list.GetAt(i)->GetData()[first] == result->GetData()[first])
                        found = i;
                sources.insert(found);
            }
        }
        return sources;
    }

    CProgramList m_list;
};

} // namespace

TEST_F(RandomProgram, SingleProgramGivesAllParametersAndTheFixedBytes)
{
    AddProgram("Lead", 0x20);
    const auto result = Generate();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->GetBankText(), "A");
    EXPECT_EQ(result->GetNumberText(), "001");
    EXPECT_EQ(result->GetFileName(), "");
    ASSERT_EQ(result->GetLength(), PROGRAM_DATA_SIZE);
    const unsigned char* data = result->GetData();
    const unsigned char* source = m_list.GetAt(0)->GetData();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), 12), "RandomPatch ");
    EXPECT_EQ(result->GetName(), "RandomPatch");
    EXPECT_EQ(result->GetVoiceModeName(), "Single");
    for (unsigned int t = 12; t <= 18; ++t)
        EXPECT_EQ(data[t], 0) << t;
    EXPECT_EQ(0, std::memcmp(data + 19, source + 19, 37 - 19 + 1));
    EXPECT_EQ(data[38], 255);
    EXPECT_EQ(0, std::memcmp(data + 39, source + 39, 145 - 39 + 1));
    EXPECT_EQ(0, std::memcmp(data + 146, data + 38, 108));
    EXPECT_EQ(m_list.GetSize(), 1);
}

TEST_F(RandomProgram, NothingToDrawFromGivesNull)
{
    EXPECT_EQ(Generate(), nullptr);
    AddProgram("Voc 1", 0x30);
    AddProgram("Voc 2", 0x3F);
    EXPECT_EQ(Generate(), nullptr);
    EXPECT_EQ(m_list.PickRandomSource(1), nullptr);
    EXPECT_EQ(m_list.PickRandomSource(-1), nullptr);
}

TEST_F(RandomProgram, ScanStopsAtTheFirstPlaceholderName)
{
    AddProgram("Lead");
    AddProgram("Empty");
    AddProgram("Pad");
    EXPECT_EQ(SourcesOver(20), std::set<int>{0});
}

TEST_F(RandomProgram, PlaceholderFirstStillLeavesItAsTheOnlySource)
{
    AddProgram("Init Sound");
    AddProgram("Other");
    EXPECT_EQ(SourcesOver(20), std::set<int>{0});
}

TEST_F(RandomProgram, PlaceholderNamesMatchExactlyAfterTrailingBlanks)
{
    AddProgram("Lead");
    AddProgram("INIT SOUND");
    AddProgram("init sound");
    AddProgram(" Empty");
    AddProgram("Bass");
    AddProgram("Init Sound  ");  // padded to 12 bytes: still a placeholder
    AddProgram("Never");
    EXPECT_EQ(SourcesOver(40), (std::set<int>{0, 1, 2, 3, 4}));
}

TEST_F(RandomProgram, VocoderProgramsAreNeverSources)
{
    AddProgram("Vox", 0x30);
    AddProgram("Lead", 0x10);
    AddProgram("Pad", 0x00);
    EXPECT_EQ(SourcesOver(40), (std::set<int>{1, 2}));
}

TEST_F(RandomProgram, VocoderOnlyCandidatesGiveNullInsteadOfDrawingForever)
{
    AddProgram("Vox 1", 0x30);
    AddProgram("Vox 2", 0x30);
    AddProgram("INIT Program");
    AddProgram("Lead");
    EXPECT_EQ(Generate(), nullptr);
}

TEST_F(RandomProgram, SourcesBeyondTheLargestDrawGiveNull)
{
    // Draws reach index 32767 at most, so a usable program at 32768 can never be drawn.
    const Bytes vocoder = MakeProgramData("Vox", 0x30);
    for (int i = 0; i < 32768; ++i)
        m_list.Add(new CSyxProgram('A', 1, vocoder.data(), PROGRAM_DATA_SIZE, ""));
    AddProgram("Lead");
    EXPECT_EQ(Generate(), nullptr);
}

TEST(RandomBetween, StaysWithinItsBounds)
{
    EXPECT_EQ(RandomBetween(5, 5), 5);
    std::set<int> fromMinusOneToZero, fromMinusOneToThree, fromTwoToFour;
    for (int i = 0; i < 400; ++i) {
        fromMinusOneToZero.insert(RandomBetween(-1, 0));
        fromMinusOneToThree.insert(RandomBetween(-1, 3));
        fromTwoToFour.insert(RandomBetween(2, 4));
    }
    EXPECT_EQ(fromMinusOneToZero, std::set<int>{0});
    EXPECT_EQ(fromMinusOneToThree, (std::set<int>{0, 1, 2, 3}));
    EXPECT_EQ(fromTwoToFour, (std::set<int>{3, 4}));
    EXPECT_FALSE(g_randomNeedsSeed);
}

TEST(RandomBetween, SameSeedSameSequence)
{
    SeedRandom(7);
    std::vector<int> first;
    for (int i = 0; i < 20; ++i)
        first.push_back(RandomBetween(-1, 32767));
    SeedRandom(7);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(RandomBetween(-1, 32767), first[static_cast<size_t>(i)]);
}

TEST_F(RandomProgram, FromARecordSetDrawsOnlyAmongItsRecordsInTheirOrder)
{
    for (const char* name : {"A", "B", "Init Sound", "C", "D", "E"})
        AddProgram(name);
    // Records 4, 1, 3 in that order: all three are sources; the whole list would stop at 2.
    const std::vector<const CSyxProgram*> chosen = {m_list.GetAt(4), m_list.GetAt(1), m_list.GetAt(3)};
    std::set<const CSyxProgram*> used;
    for (int run = 0; run < 30; ++run) {
        std::unique_ptr<CSyxProgram> result(CreateRandomProgramFrom(chosen));
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->GetName(), "RandomPatch");
        EXPECT_EQ(0, std::memcmp(result->GetData() + 146, result->GetData() + 38, 108));
        for (unsigned int first : DRAW_FIRSTS)
            for (int i = 0; i < m_list.GetSize(); ++i)
                if (m_list.GetAt(i)->GetData()[first] == result->GetData()[first])
                    used.insert(m_list.GetAt(i));
    }
    EXPECT_EQ(used, (std::set<const CSyxProgram*>(chosen.begin(), chosen.end())));

    // The same rules within the set: its order decides where the placeholder stops the scan.
    const std::vector<const CSyxProgram*> withPlaceholder = {m_list.GetAt(5), m_list.GetAt(2), m_list.GetAt(0)};
    for (int run = 0; run < 10; ++run) {
        std::unique_ptr<CSyxProgram> result(CreateRandomProgramFrom(withPlaceholder));
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(0, std::memcmp(result->GetData() + 39, m_list.GetAt(5)->GetData() + 39, 107));
    }
    EXPECT_EQ(CreateRandomProgramFrom(std::vector<const CSyxProgram*>{}), nullptr);
}

TEST_F(RandomProgram, TheListGivesWhatTheGeneratorGivesOverAllItsRecords)
{
    for (const char* name : {"Lead", "Bass", "Pad", "Keys"})
        AddProgram(name);
    std::vector<const CSyxProgram*> all;
    for (int i = 0; i < m_list.GetSize(); ++i)
        all.push_back(m_list.GetAt(i));
    SeedRandom(99);
    const auto fromList = Generate();
    SeedRandom(99);
    const std::unique_ptr<CSyxProgram> fromSet(CreateRandomProgramFrom(all));
    ASSERT_NE(fromList, nullptr);
    ASSERT_NE(fromSet, nullptr);
    EXPECT_EQ(0, std::memcmp(fromList->GetData(), fromSet->GetData(), PROGRAM_DATA_SIZE));
}

TEST_F(RandomProgram, SameSeedGivesTheSameProgramAsBefore)
{
    // Pinned from the generator as it was before it worked over record sets.
    for (const char* name : {"Lead", "Bass", "Pad", "Keys", "Init Sound", "Never"})
        AddProgram(name);
    AddProgram("Vox", 0x30);
    SeedRandom(2024);
    const auto result = Generate();
    ASSERT_NE(result, nullptr);
    unsigned int sum = 0;
    for (unsigned int i = 0; i < PROGRAM_DATA_SIZE; ++i)
        sum = sum * 31 + result->GetData()[i];
    EXPECT_EQ(sum, 3065023781u);
}
