#include "GridTestSupport.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class GridNotifyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMainWindow(&mainWindow);
        grid.resize(300, 200);
        grid.AddColumn("Bank", GRID_ALIGN_CENTER, 40);
        grid.AddColumn("#", GRID_ALIGN_CENTER, 40);
        grid.AddColumn("Program", GRID_ALIGN_LEFT, 90);
        grid.AddRows(5);
        RenderViewport(grid);
    }
    void TearDown() override { SetMainWindow(nullptr); }

    // Everything posted so far arrives.
    const std::vector<CMessageRecorder::Message>& Delivered()
    {
        QCoreApplication::processEvents();
        return mainWindow.messages;
    }

    CMessageRecorder mainWindow;
    CGridListCtrl grid;
};

using Message = CMessageRecorder::Message;

TEST_F(GridNotifyTest, DoubleClickPostsItsCode)
{
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, QPoint(60, RowHeight(grid) + 2));
    EXPECT_TRUE(mainWindow.messages.empty());
    EXPECT_EQ(Delivered(), (std::vector<Message>{{WM_USER, GN_DBLCLK, 0}}));
}

TEST_F(GridNotifyTest, OnlyAPrimaryButtonDoubleClickIsReported)
{
    QTest::mouseDClick(grid.viewport(), Qt::RightButton, {}, QPoint(60, RowHeight(grid) + 2));
    QTest::mouseDClick(grid.viewport(), Qt::MiddleButton, {}, QPoint(60, RowHeight(grid) + 2));
    EXPECT_TRUE(Delivered().empty());
}

TEST_F(GridNotifyTest, HeaderClickPostsTheColumnIndex)
{
    QHeaderView* header = grid.header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(2) + 10, header->height() / 2));
    EXPECT_TRUE(mainWindow.messages.empty());
    EXPECT_EQ(Delivered(), (std::vector<Message>{{WM_USER, GN_COLUMNCLICK, 2}}));
}

TEST_F(GridNotifyTest, EnterPostsThirteen)
{
    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::keyClick(&grid, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(mainWindow.messages.empty());
    EXPECT_EQ(Delivered(), (std::vector<Message>{{WM_USER, GN_KEYDOWN, 13}, {WM_USER, GN_KEYDOWN, 13}}));
}

TEST_F(GridNotifyTest, OtherKeysPostTheirCodesAndStillWork)
{
    grid.setCurrentIndex(grid.model()->index(0, 0));
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_A);
    QTest::keyClick(&grid, Qt::Key_F5);
    EXPECT_TRUE(mainWindow.messages.empty());
    EXPECT_EQ(grid.currentIndex().row(), 1);  // the arrow moved the current row
    EXPECT_EQ(Delivered(), (std::vector<Message>{{WM_USER, GN_KEYDOWN, 40},
                                                 {WM_USER, GN_KEYDOWN, 65},
                                                 {WM_USER, GN_KEYDOWN, 116}}));
}

TEST_F(GridNotifyTest, NothingIsPostedWithoutAMainWindow)
{
    SetMainWindow(nullptr);
    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, QPoint(60, 2));
    EXPECT_TRUE(Delivered().empty());
}
}  // namespace
