#include "services/CommandUpdater.h"

#include <QAction>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// Runs the event loop until it has gone idle at least once.
void RunUntilIdle()
{
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
}

class CommandUpdaterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        updater.AddCommand(&action, [this] { ++delivered; },
                           [this](CCmdUI& state) { state.Enable(enabled); });
    }

    CCommandUpdater updater;
    QAction action{"Audition"};
    bool enabled = true;
    int delivered = 0;
};

TEST_F(CommandUpdaterTest, UpdateHandlersRunWhenIdle)
{
    EXPECT_TRUE(action.isEnabled());
    enabled = false;
    RunUntilIdle();
    EXPECT_FALSE(action.isEnabled());
    enabled = true;
    RunUntilIdle();
    EXPECT_TRUE(action.isEnabled());
}

TEST_F(CommandUpdaterTest, EnabledCommandIsDelivered)
{
    action.trigger();
    EXPECT_EQ(delivered, 1);
}

TEST_F(CommandUpdaterTest, DisabledCommandIsNeverDelivered)
{
    // Disabled since the last idle update, but the action does not know it yet.
    enabled = false;
    action.trigger();
    EXPECT_EQ(delivered, 0);
    RunUntilIdle();
    action.trigger();
    EXPECT_EQ(delivered, 0);
}

TEST_F(CommandUpdaterTest, PaneTextFollowsItsHandlerWhenIdle)
{
    QLabel pane;
    int count = 0;
    updater.AddPane(&pane, [&count](CCmdUI& state) {
        state.Enable(true);
        state.SetText(QString::asprintf("%04d", count));
    });
    EXPECT_EQ(pane.text(), "0000");
    count = 37;
    RunUntilIdle();
    EXPECT_EQ(pane.text(), "0037");
}

TEST_F(CommandUpdaterTest, CommandWithoutUpdateHandlerIsAlwaysEnabled)
{
    QAction about("About");
    int shown = 0;
    updater.AddCommand(&about, [&shown] { ++shown; });
    RunUntilIdle();
    EXPECT_TRUE(about.isEnabled());
    about.trigger();
    EXPECT_EQ(shown, 1);
}
}  // namespace
