// A floating bank pane comes back, after a restart, on the screen and above the main window.
// It needs a window manager: offscreen it is skipped, and tests/xvfb runs it on a desktop.

#include "FrameTestSupport.h"
#include "bank/BankCommands.h"
#include "bank/BankPane.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
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
        CBankPane* pane = frame.Bank()->Pane();
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
    CBankPane* pane = frame.Bank()->Pane();
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

}  // namespace
