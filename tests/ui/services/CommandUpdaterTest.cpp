#include "services/CommandUpdater.h"

#include <QAction>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWidget>
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

// A widget that keeps the keys it receives, less the modifier keys themselves.
class CKeyRecorder : public QWidget {
public:
    explicit CKeyRecorder(QWidget* parent = nullptr) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    std::vector<QKeyCombination> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const int key = event->key();
        if (key != Qt::Key_Control && key != Qt::Key_Shift && key != Qt::Key_Alt && key != Qt::Key_Meta)
            keys.push_back(event->keyCombination());
    }
};

// A window whose command has the accelerator Ctrl+K, and a widget in it with the focus.
class AcceleratorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        focused = new CKeyRecorder(&window);
        command = new QAction("Audition", &window);
        command->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
        command->setShortcutContext(Qt::WindowShortcut);
        window.addAction(command);
        updater.AddCommand(command, [this] { ++delivered; }, [this](CCmdUI& state) { state.Enable(enabled); });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        focused->setFocus();
    }

    QWidget window;
    CKeyRecorder* focused = nullptr;
    QAction* command = nullptr;
    CCommandUpdater updater;
    bool enabled = false;
    int delivered = 0;
};

TEST_F(AcceleratorTest, ADisabledCommandsKeyDoesNothingAndDoesNotReachTheFocusedWidget)
{
    ASSERT_FALSE(command->isEnabled());
    QTest::keyClick(focused, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(delivered, 0);
    EXPECT_TRUE(focused->keys.empty());

    // Other keys still arrive, K alone among them.
    QTest::keyClick(focused, Qt::Key_K);
    QTest::keyClick(focused, Qt::Key_K, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(focused->keys, (std::vector<QKeyCombination>{Qt::Key_K, Qt::CTRL | Qt::SHIFT | Qt::Key_K}));

    enabled = true;
    RunUntilIdle();
    QTest::keyClick(focused, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(delivered, 1);
    EXPECT_EQ(focused->keys.size(), 2u);
}

TEST_F(AcceleratorTest, AnotherWindowKeepsTheKey)
{
    CKeyRecorder dialog;
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(dialog.keys, (std::vector<QKeyCombination>{Qt::CTRL | Qt::Key_K}));
    EXPECT_EQ(delivered, 0);
}
}  // namespace
