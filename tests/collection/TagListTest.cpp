// A row's tags: nothing at all when there are none, and otherwise a value like the vector it
// stands for (a copy apart, sorted and compared as one).

#include "TagList.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(TagList, HoldsNothingWhenEmptyAndCopiesApart)
{
    EXPECT_TRUE(CTagList(std::vector<std::string>{}).empty());
    EXPECT_TRUE(CTagList().Tags().empty());

    CTagList tags(std::vector<std::string>{"warm", "Airy", "pad"});
    std::sort(tags.begin(), tags.end());
    CTagList copy = tags;
    copy.push_back("soft");
    EXPECT_EQ(tags, (std::vector<std::string>{"Airy", "pad", "warm"}));
    EXPECT_EQ(copy.size(), 4u);
    EXPECT_TRUE(tags < copy);
}
