#include "ProgramList.h"
#include "SyxFormat.h"
#include "SyxProgram.h"
#include "TestSupport.h"

#include <type_traits>

static_assert(!std::is_copy_constructible_v<CProgramList> && !std::is_copy_assignable_v<CProgramList>,
              "the list owns its records");

TEST(ProgramList, KeepsInsertionOrderAndIndexesSafely)
{
    CProgramList list;
    EXPECT_EQ(list.GetSize(), 0);
    const Bytes data = MakeProgramData("X");
    for (int n = 1; n <= 3; ++n)
        list.Add(new CSyxProgram('A', n, data.data(), PROGRAM_DATA_SIZE, ""));
    list.Add(nullptr);
    ASSERT_EQ(list.GetSize(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list.GetAt(i)->GetNumberText(), "00" + std::to_string(i + 1));
    EXPECT_EQ(list.GetAt(-1), nullptr);
    EXPECT_EQ(list.GetAt(3), nullptr);
}

TEST(ProgramList, DeleteAllEmptiesAndCanBeRepeated)
{
    CProgramList list;
    list.DeleteAll();
    EXPECT_EQ(list.GetSize(), 0);
    const Bytes data = MakeProgramData("X");
    list.Add(new CSyxProgram('A', 1, data.data(), PROGRAM_DATA_SIZE, ""));
    list.Add(new CSyxProgram('A', 2, data.data(), PROGRAM_DATA_SIZE, ""));
    list.DeleteAll();
    EXPECT_EQ(list.GetSize(), 0);
    list.DeleteAll();
    EXPECT_EQ(list.GetSize(), 0);
}

// Records read from dumps and records added one by one live side by side, in any order, and
// all go with DeleteAll (the sanitizer pass sees any record freed twice or never).
TEST(ProgramList, ReadAndAddedRecordsMixAndGoTogether)
{
    const Bytes dump = PackDump(MakeBankData(), FUNC_PROGRAM_DUMP);
    const Bytes single = PackDump(MakeProgramData("One"), FUNC_CURRENT_PROGRAM);
    const std::string longName = "A file name too long to live inside the string itself.syx";
    const Bytes data = MakeProgramData("Added");
    CProgramList list;
    std::string error;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(list.ReadSyxBytes(dump.data(), dump.size(), error, longName), 1) << error;
        list.Add(new CSyxProgram('B', 7, data.data(), PROGRAM_DATA_SIZE, longName));
        ASSERT_EQ(list.ReadSyxBytes(single.data(), single.size(), error, "one.syx"), 1) << error;
        ASSERT_EQ(list.ReadSyxBytes(dump.data(), 100, error, "broken.syx"), 0);
        ASSERT_EQ(list.GetSize(), 130);
        EXPECT_EQ(list.GetAt(5)->GetName(), "P5");
        EXPECT_EQ(list.GetAt(5)->GetFileName(), longName);
        EXPECT_EQ(list.GetAt(128)->GetName(), "Added");
        EXPECT_EQ(list.GetAt(129)->GetName(), "One");
        list.SortByColumn(3);
        EXPECT_EQ(list.GetAt(0)->GetName(), "Added");
        list.DeleteAll();
        EXPECT_EQ(list.GetSize(), 0);
    }
    // What is left at the end goes with the list.
    ASSERT_EQ(list.ReadSyxBytes(dump.data(), dump.size(), error, longName), 1) << error;
    list.Add(new CSyxProgram('A', 1, data.data(), PROGRAM_DATA_SIZE, longName));
}
