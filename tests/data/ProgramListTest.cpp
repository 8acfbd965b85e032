#include "ProgramList.h"
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
