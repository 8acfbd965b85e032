#include "grid/VirtualKeys.h"

#include <gtest/gtest.h>

TEST(VirtualKeysTest, KeysGetTheirWindowsCodes)
{
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Return), 13);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Enter, true), 13);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Escape), 27);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Space), 32);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_PageUp), 33);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Home), 36);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Left), 37);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Down), 40);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Delete), 46);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_0), 48);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_9), 57);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_A), 65);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Z), 90);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F1), 112);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_F24), 135);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Tab), 9);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Backspace), 8);
}

TEST(VirtualKeysTest, KeypadKeysHaveTheirOwnCodes)
{
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_5, true), 101);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Plus, true), 107);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Plus, false), 187);
}

TEST(VirtualKeysTest, KeysWithoutACodeGiveZero)
{
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_unknown), 0);
    EXPECT_EQ(VirtualKeyFromQtKey(Qt::Key_Dead_Grave), 0);
}
