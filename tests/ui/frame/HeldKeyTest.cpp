// A held key that sends (Ctrl+R, Ctrl+A, Enter on a row) stops sending when it is let go: the
// repeats that arrive while a program goes out at the cable's pace are dropped, not queued.
// Offscreen the key's repeats are posted to the window from a thread of their own; on a desktop
// (ctest -L xvfb, with VELTRIX_TEST_KEYS_FROM_X set) the X server delivers them, typed by
// xdotool, through the window system's own queue.

#include "FrameTestSupport.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "WireClock.h"
#include "grid/ProgramGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// How the key is held: a repeat every REPEAT_MS for HOLD_MS, faster than a send (297 bytes
// at 3,125 bytes a second: 95 ms) can go out.
constexpr int REPEAT_MS = 25;
constexpr int HOLD_MS = 400;

class HeldKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        fixture.midi.AddDevice("USB MIDI 1");
        CMainFrame& frame = fixture.Create();
        frame.show();
        QApplication::setActiveWindow(&frame);
        frame.Grid()->setFocus();
        std::vector<std::vector<unsigned char>> programs;
        for (int i = 0; i < 128; ++i)
            programs.push_back(MakeProgram("Prog " + std::to_string(i), 0, i));
        frame.OpenFiles({WriteDump(folder.filePath("Bank.syx"), programs, FUNC_PROGRAM_DUMP)});
        frame.Grid()->setCurrentIndex(frame.Grid()->model()->index(0, 0));
        frame.MidiActiveBox()->click();
        ASSERT_TRUE(frame.IsMidiOpen());
        // The device takes a program as fast as the cable carries it.
        const auto wireTime = CWireClock().TimeFor(ProgramMessageSize(PROGRAM_DATA_SIZE));
        fixture.midi.SetCompletionDelay(
            static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(wireTime).count()));
        fixture.midi.SetListener([this](const unsigned char*, unsigned int) {
            const std::lock_guard<std::mutex> lock(mutex);
            sent.push_back(Clock::now());
        });
        fixture.Idle();
    }
    void TearDown() override { fixture.midi.SetListener({}); }

    // Holds the key down: its repeats reach the window's event queue on their own clock, as
    // the window system's do, whether the window is busy or not. Returns when the key is let
    // go and everything it queued has been handled.
    Clock::time_point HoldKey(Qt::Key key, Qt::KeyboardModifiers modifiers, const char* xKeys)
    {
        if (qEnvironmentVariableIsSet("VELTRIX_TEST_KEYS_FROM_X"))
            return HoldKeyOnX(xKeys);
        QWidget* target = fixture.Frame().Grid();
        std::atomic<bool> handled{false};
        Clock::time_point released;
        std::thread keyboard([&] {
            for (int elapsed = 0; elapsed < HOLD_MS; elapsed += REPEAT_MS) {
                QMetaObject::invokeMethod(target, [target, key, modifiers] { QTest::keyPress(target, key, modifiers); },
                                          Qt::QueuedConnection);
                std::this_thread::sleep_for(std::chrono::milliseconds(REPEAT_MS));
            }
            released = Clock::now();
            QMetaObject::invokeMethod(target, [target, key, modifiers, &handled] {
                QTest::keyRelease(target, key, modifiers);
                handled = true;
            }, Qt::QueuedConnection);
        });
        const QDeadlineTimer deadline(20000);
        while (!handled && !deadline.hasExpired())
            QTest::qWait(5);
        keyboard.join();
        fixture.Idle();
        return released;
    }

    // The same through the X server: xdotool types the key again and again.
    Clock::time_point HoldKeyOnX(const char* keys)
    {
        Clock::time_point released;
        std::atomic<bool> done{false};
        std::thread keyboard([&] {
            const std::string command = QString("xdotool key --delay %1 --repeat %2 %3")
                                            .arg(REPEAT_MS).arg(HOLD_MS / REPEAT_MS).arg(keys).toStdString();
            EXPECT_EQ(std::system(command.c_str()), 0) << command;
            released = Clock::now();
            done = true;
        });
        while (!done)
            QTest::qWait(5);
        keyboard.join();
        // The last keys are on their way through the X server: until nothing went out for a
        // while.
        for (const QDeadlineTimer deadline(20000); !deadline.hasExpired();) {
            QTest::qWait(50);
            const std::lock_guard<std::mutex> lock(mutex);
            if (sent.empty() || Clock::now() - sent.back() > std::chrono::milliseconds(300))
                break;
        }
        return released;
    }

    QTemporaryDir folder;
    CFrameFixture fixture;
    std::mutex mutex;
    std::vector<Clock::time_point> sent;   // when the device took each program
};

TEST_F(HeldKeyTest, NothingIsLeftToSendWhenTheKeyIsLetGo)
{
    if (qEnvironmentVariableIsSet("VELTRIX_TEST_KEYS_FROM_X") && std::system("command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "xdotool is not installed";
    struct Case {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* xKeys;
    };
    const Case cases[] = {
        {"Ctrl+R (Random)", Qt::Key_R, Qt::ControlModifier, "ctrl+r"},
        {"Ctrl+A (Audition)", Qt::Key_A, Qt::ControlModifier, "ctrl+a"},
        {"Enter on a row (Audition)", Qt::Key_Return, Qt::NoModifier, "Return"},
    };
    for (const Case& test : cases) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            sent.clear();
        }
        const Clock::time_point released = HoldKey(test.key, test.modifiers, test.xKeys);
        const std::lock_guard<std::mutex> lock(mutex);
        int afterRelease = 0;
        for (const Clock::time_point& when : sent)
            afterRelease += when > released;
        // While held, programs went out, each whole; once let go, at most the one that had
        // just been asked for.
        EXPECT_GE(sent.size(), 1u) << test.what;
        EXPECT_LE(afterRelease, 1) << test.what << ": " << afterRelease << " of " << sent.size()
                                   << " programs went out after the key was let go";
    }
    for (const auto& shown : fixture.messageBox.shown)
        ADD_FAILURE() << shown.text.toStdString();
}

}  // namespace
