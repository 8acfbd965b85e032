#include "services/FileDialogService.h"

#include <gtest/gtest.h>

TEST(ConvertFilterTest, PipeFiltersBecomeQtFilters)
{
    EXPECT_EQ(ConvertFilter("SYX Files (*.syx)|*.syx|All Files (*.*)|*.*||"),
              "SYX Files (*.syx);;All Files (*.*)");
    EXPECT_EQ(ConvertFilter("SysEx Files (*.syx)|*.syx|All Files (*.*)|*.*||"),
              "SysEx Files (*.syx);;All Files (*.*)");
}

TEST(ConvertFilterTest, PatternIsShownWhenTheNameLacksIt)
{
    EXPECT_EQ(ConvertFilter("Dumps|*.syx;*.SYX||"), "Dumps (*.syx *.SYX)");
    EXPECT_EQ(ConvertFilter("Dumps|*.syx"), "Dumps (*.syx)");
}

TEST(ConvertFilterTest, EmptyFilterGivesNoFilters)
{
    EXPECT_EQ(ConvertFilter(""), "");
    EXPECT_EQ(ConvertFilter("||"), "");
}
