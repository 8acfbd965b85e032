// The bank pane on a real desktop: a floating one comes back, after a restart, on the screen
// and above the main window, and a docked one leaves the list its columns. They need a
// window manager: offscreen it is skipped, and tests/xvfb runs it on a desktop.

#include "FrameTestSupport.h"
#include "bank/BankCommands.h"
#include "Resources.h"
#include "bank/BankPane.h"
#include "grid/ProgramGrid.h"

#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The window manager's stacking order of the client windows, bottom first.
QStringList StackingOrder()
{
    QProcess xprop;
    xprop.start("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
    if (!xprop.waitForFinished(5000))
        return {};
    QStringList ids;
    const QString output = QString::fromLatin1(xprop.readAllStandardOutput());
    for (const QRegularExpressionMatch& match : QRegularExpression("0x[0-9a-f]+").globalMatch(output))
        ids.append(QString::number(match.captured().toULongLong(nullptr, 16)));
    return ids;
}

// Waits up to two seconds for `done`.
template <typename Condition>
bool WaitFor(Condition done)
{
    for (int i = 0; i < 40 && !done(); ++i)
        QTest::qWait(50);
    return done();
}

TEST(FloatingPane, ComesBackOnTheScreenAndAboveTheWindow)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs a window manager (tests/xvfb runs it on a desktop)";
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();

    // First run: the pane floated and left mostly beyond the screen's right edge, as on a
    // larger screen.
    std::map<QString, QString> stored;
    {
        CFrameFixture first;
        CMainFrame& frame = first.Create();
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        CBankPane* pane = first.Bank().Pane();
        pane->show();
        pane->setFloating(true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(pane));
        pane->move(screen.right() - 40, screen.top() + 100);
        QTest::qWait(300);
        frame.close();
        stored = first.profile.values;
    }

    CFrameFixture second;
    second.profile.values = stored;
    CMainFrame& frame = second.Create();
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    CBankPane* pane = second.Bank().Pane();
    ASSERT_TRUE(pane->isFloating());
    ASSERT_TRUE(WaitFor([&] { return pane->isVisible() && screen.contains(pane->frameGeometry()); }))
        << "the pane is at " << pane->frameGeometry().x() << "," << pane->frameGeometry().y();
    const QString paneId = QString::number(pane->winId());
    const QString frameId = QString::number(frame.winId());
    EXPECT_TRUE(WaitFor([&] {
        const QStringList order = StackingOrder();
        return order.contains(paneId) && order.indexOf(paneId) > order.indexOf(frameId);
    })) << "stacking, bottom first: " << StackingOrder().join(' ').toStdString() << "; pane " << paneId.toStdString()
        << ", window " << frameId.toStdString();
}

// Beside a shown bank pane the list keeps its columns: the first start makes room for all
// five, and the pane asks only for the width its own columns need.
TEST(BankPaneRoom, TheListKeepsItsColumnsBesideThePane)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs a window manager (tests/xvfb runs it on a desktop)";
    QTemporaryDir folder;
    QStringList files;
    for (const char* name : {"First", "Second"})
        files.append(WriteDump(folder.filePath(QString(name) + ".syx"), {MakeProgram(name, 0, 1)}, 0x40));

    CFrameFixture fixture;
    CMainFrame& frame = fixture.Create();   // nothing stored: the first start's size
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    fixture.Bank().Pane()->show();

    struct Case {
        const char* what;
        QStringList open;
        QSize size;   // the window's inner size; empty: as the first start made it
    };
    const Case cases[] = {
        {"first start, several files", files, QSize()},
        {"800 x 500, one file", {files[0]}, QSize(800, 500)},
    };
    CProgramGrid* grid = frame.Grid();
    for (const Case& c : cases) {
        fixture.fileDialogs.nextOpen = c.open;
        frame.Action(ID_FILE_OPEN)->trigger();
        if (c.size.isValid())
            frame.resize(c.size);
        int columns = 0;
        for (int column = 0; column < grid->header()->count(); ++column)
            columns += grid->header()->sectionSize(column);
        EXPECT_TRUE(WaitFor([&] { return grid->viewport()->width() >= columns; }))
            << c.what << ": the list is " << grid->viewport()->width() << " wide, its columns " << columns
            << "; the window " << frame.width() << ", the pane " << fixture.Bank().Pane()->width();
    }
}

}  // namespace
