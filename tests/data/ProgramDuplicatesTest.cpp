#include "ProgramDuplicates.h"
#include "ProgramList.h"
#include "SyxProgram.h"
#include "TestSupport.h"

#include <filesystem>
#include <set>
#include <string>

namespace {

class Duplicates : public ::testing::Test
{
protected:
    const CSyxProgram* Add(const Bytes& data)
    {
        m_list.Add(new CSyxProgram('A', m_list.GetSize() + 1, data.data(), static_cast<unsigned int>(data.size()), "f"));
        return m_list.GetAt(m_list.GetSize() - 1);
    }

    CProgramList m_list;
};

Bytes WithByte(Bytes data, size_t offset, unsigned char value)
{
    data[offset] = value;
    return data;
}

} // namespace

TEST_F(Duplicates, GroupsProgramsEqualAfterTheirNames)
{
    const Bytes pad = MakeProgramData("Pad", 0x00, 1);
    const Bytes lead = MakeProgramData("Lead", 0x10, 2);
    const CSyxProgram* pad1 = Add(pad);
    const CSyxProgram* lead1 = Add(lead);
    Add(MakeProgramData("Pad", 0x00, 3));                         // same name, another sound
    const CSyxProgram* pad2 = Add(MakeProgramDataRawName({'S', 'o', 'f', 't', ' ', 'P', 'a', 'd'}, 0x00, 1));
    Add(WithByte(pad, 12, static_cast<unsigned char>(pad[12] ^ 1)));   // differs in its first compared byte
    Add(WithByte(pad, 253, static_cast<unsigned char>(pad[253] ^ 0x80))); // and in its last
    const CSyxProgram* lead2 = Add(lead);
    const CSyxProgram* pad3 = Add(WithByte(pad, 0, 'Q'));               // only the name differs

    const CDuplicateGroups found = FindDuplicatePrograms(m_list);
    ASSERT_EQ(found.GroupCount(), 2);
    EXPECT_EQ(found.groups[0], (std::vector<const CSyxProgram*>{pad1, pad2, pad3}));
    EXPECT_EQ(found.groups[1], (std::vector<const CSyxProgram*>{lead1, lead2}));
    EXPECT_EQ(found.ProgramCount(), 5);
}

TEST_F(Duplicates, NoneAmongDistinctOrShortRecordsOrAnEmptyList)
{
    EXPECT_EQ(FindDuplicatePrograms(m_list).GroupCount(), 0);
    for (unsigned int seed = 0; seed < 50; ++seed)
        Add(MakeProgramData("P", 0x00, seed));
    const Bytes data = MakeProgramData("X", 0x00, 99);
    Add(Bytes(data.begin(), data.begin() + 100));   // a shorter record with the same first bytes
    Add(data);
    const CDuplicateGroups found = FindDuplicatePrograms(m_list);
    EXPECT_EQ(found.GroupCount(), 0);
    EXPECT_EQ(found.ProgramCount(), 0);
}

TEST_F(Duplicates, RealProgramAndAllDataDumpsHoldTheSamePrograms)
{
    const std::string folder = VELTRIX_REALDATA_DIR;
    std::error_code ignored;
    if (!std::filesystem::is_directory(folder, ignored))
        GTEST_SKIP() << "no real dumps at " << folder;
    std::string error;
    ASSERT_EQ(m_list.ReadSyxFile(folder + "/mk-programs-0x4C.syx", error, "programs"), 1);
    ASSERT_EQ(m_list.ReadSyxFile(folder + "/mk-all-data-0x50.syx", error, "all"), 1);
    ASSERT_EQ(m_list.GetSize(), 256);

    std::set<std::string> distinct;
    for (int i = 0; i < 128; ++i)
        distinct.insert(std::string(reinterpret_cast<const char*>(m_list.GetAt(i)->GetData()) + 12, 242));

    const CDuplicateGroups found = FindDuplicatePrograms(m_list);
    EXPECT_EQ(found.ProgramCount(), 256);   // each program has at least its twin in the other file
    EXPECT_EQ(found.GroupCount(), static_cast<int>(distinct.size()));
    for (int i = 0; i < 128; ++i) {
        const CSyxProgram* a = m_list.GetAt(i);
        const CSyxProgram* b = m_list.GetAt(128 + i);
        int together = 0;
        for (const auto& group : found.groups) {
            const bool hasA = std::find(group.begin(), group.end(), a) != group.end();
            const bool hasB = std::find(group.begin(), group.end(), b) != group.end();
            together += hasA && hasB;
        }
        EXPECT_EQ(together, 1) << i;
    }
}
