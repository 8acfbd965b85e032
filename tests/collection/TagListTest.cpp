// A row's tags: a value like the vector it stands for (copies apart, compared and sorted as
// one), holding nothing at all when there are none.

#include "TagList.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(TagList, IsAValueLikeItsVectorAndNothingWhenEmpty)
{
    CTagList none;
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.begin(), none.end());
    EXPECT_TRUE(none.Tags().empty());
    EXPECT_TRUE(CTagList(std::vector<std::string>{}).empty());   // an empty vector holds nothing either

    CTagList tags;
    for (const char* tag : {"warm", "Airy", "pad"})
        tags.push_back(tag);
    std::sort(tags.begin(), tags.end());
    EXPECT_EQ(tags.Tags(), (std::vector<std::string>{"Airy", "pad", "warm"}));

    CTagList copy = tags;
    copy.push_back("soft");
    EXPECT_EQ(tags.size(), 3u);   // the copy is apart
    EXPECT_EQ(copy.size(), 4u);
    EXPECT_NE(copy, tags);
    EXPECT_TRUE(tags < copy);
    EXPECT_FALSE(none < none);
    copy = tags;
    EXPECT_EQ(copy, tags);
    EXPECT_EQ(copy, (std::vector<std::string>{"Airy", "pad", "warm"}));

    CTagList moved = std::move(copy);
    EXPECT_EQ(moved.size(), 3u);
    const std::vector<std::string>& asVector = moved;
    EXPECT_EQ(asVector.front(), "Airy");
}
