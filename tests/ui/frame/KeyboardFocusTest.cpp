// The keyboard in the main window: the accelerator of a disabled command does nothing, and
// the grid has the keyboard again whenever the window gets it back, after a dialog, a message
// box or another window, even when the user last touched the MIDI bar.

#include "FrameTestSupport.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "grid/ProgramGrid.h"
#include "services/MessageBoxService.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Answers the next modal dialog from inside its loop once it is up and active, as a user
// does: `answer` gets the dialog. Gives up waiting after five seconds.
template <typename Answer>
void AnswerNextDialog(Answer answer)
{
    auto* poll = new QTimer(qApp);
    auto deadline = std::make_shared<QDeadlineTimer>(5000);
    auto activeFor = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer, deadline, activeFor] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        const bool ready = dialog && QApplication::activeWindow() == dialog;
        if (!ready && !deadline->hasExpired()) {
            *activeFor = 0;
            return;
        }
        if (ready && ++*activeFor < 10)   // a person takes a moment to answer
            return;
        poll->stop();
        poll->deleteLater();
        ASSERT_NE(dialog, nullptr) << "no dialog came up";
        answer(dialog);
    });
    poll->start(10);
}

// Asks for files in a modal dialog of its own, which the test answers, and gives the chosen
// files: the Open dialog's window without the file system's pace.
class CModalFileDialogs : public CScriptedFileDialogs {
public:
    QStringList GetOpenFileNames(QWidget* parent, const QString& filter, const QString& extension) override
    {
        QDialog dialog(parent);
        dialog.setWindowTitle("Open");
        AnswerNextDialog([](QDialog* shown) { shown->accept(); });
        dialog.exec();
        return CScriptedFileDialogs::GetOpenFileNames(parent, filter, extension);
    }
};

// A shown, active main window with the real dialogs and message boxes, a bank of 128
// programs loaded and one MIDI port.
class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.midi.AddDevice("USB MIDI 1");
        CUiServices services;
        services.messageBox = &messageBoxes;
        services.fileDialogs = &fileDialogs;
        services.waitCursor = &fixture.waitCursor;
        services.profile = &fixture.profile;
        fixture.frame = std::make_unique<CMainFrame>(services, fixture.midi, [] {});
        Frame().PreCreateWindow();
        Frame().OnCreate();
        fixture.features = ComposeWindow(Frame(), services, nullptr, nullptr);
        Frame().SetMidiSendTimeout(2000);

        std::vector<std::vector<unsigned char>> programs;
        for (int i = 0; i < 128; ++i)
            programs.push_back(MakeProgram("Prog" + std::to_string(i), 0, i));
        bank = WriteDump(folder.filePath("Factory.syx"), programs, FUNC_PROGRAM_DUMP);
        fileDialogs.nextOpen = {bank};
        Frame().OnFileOpen();
        ASSERT_EQ(Frame().Programs().GetSize(), 128);

        Frame().show();
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        fixture.Idle();
    }

    CMainFrame& Frame() { return fixture.Frame(); }
    CProgramGrid& Grid() { return *fixture.Frame().Grid(); }

    void SelectRow(int row)
    {
        Grid().setCurrentIndex(Grid().model()->index(row, 0));
        Grid().selectionModel()->select(Grid().model()->index(row, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    // Clicks "Midi Active" as a user does: the check box takes the focus.
    void ClickMidiActive()
    {
        auto* active = Frame().findChild<QCheckBox*>("midiActive");
        QTest::mouseClick(active, Qt::LeftButton);
        fixture.Idle();
    }

    // Keys typed into the window, wherever its focus is.
    void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(Frame().windowHandle(), key, modifiers);
        fixture.Idle();
    }

    // A closed dialog or another window leaves the main window active again: a window
    // manager gives it back. The offscreen platform has none, so the test does that there.
    void AwaitTheWindowBack()
    {
        if (QGuiApplication::platformName() == "offscreen")
            Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }

    // Down and Up move the grid's current row, and Enter auditions it when MIDI is on.
    void ExpectTheGridHasTheKeys()
    {
        EXPECT_EQ(QApplication::focusWidget(), &Grid());
        SelectRow(4);
        Type(Qt::Key_Down);
        EXPECT_EQ(Grid().currentIndex().row(), 5);
        Type(Qt::Key_Up);
        Type(Qt::Key_Up);
        EXPECT_EQ(Grid().currentIndex().row(), 3);
        if (!Frame().IsMidiOpen())
            return;
        const size_t sent = fixture.midi.GetMessages().size();
        Type(Qt::Key_Return);
        ASSERT_EQ(fixture.midi.GetMessages().size(), sent + 1);
        EXPECT_EQ(fixture.midi.GetMessages().back()[5 + 1], Frame().Programs().GetAt(3)->GetData()[0] & 0x7F);
    }

    // Declared before the fixture, which destroys the window that uses them.
    CQtMessageBoxService messageBoxes;
    CModalFileDialogs fileDialogs;
    QTemporaryDir folder;
    QString bank;
    CFrameFixture fixture;
};

TEST_F(KeyboardTest, CtrlASelectsNothingWhileAuditionIsDisabled)
{
    Grid().setFocus();
    SelectRow(2);
    ASSERT_FALSE(Frame().Action(ID_PROGRAM_AUDITION)->isEnabled());

    Type(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Grid().selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(fixture.midi.GetMessages().empty());

    // With MIDI on, Ctrl+A auditions the selected row and still selects nothing.
    ClickMidiActive();
    Grid().setFocus();
    Type(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Grid().selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(fixture.midi.GetMessages().size(), 1u);
}

TEST_F(KeyboardTest, TheGridHasTheKeysAfterTheFindDialog)
{
    ClickMidiActive();
    ASSERT_EQ(QApplication::focusWidget(), Frame().findChild<QCheckBox*>("midiActive"));
    AnswerNextDialog([](QDialog* dialog) {
        dialog->findChild<QLineEdit*>()->setText("prog1");
        dialog->accept();
    });
    Type(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(Frame().FindText(), "prog1");
    AwaitTheWindowBack();
    ExpectTheGridHasTheKeys();
}

TEST_F(KeyboardTest, TheGridHasTheKeysAfterTheOpenDialog)
{
    ClickMidiActive();
    ASSERT_EQ(QApplication::focusWidget(), Frame().findChild<QCheckBox*>("midiActive"));
    Type(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(fileDialogs.openCalls, 2);
    ASSERT_EQ(Frame().Programs().GetSize(), 128);
    AwaitTheWindowBack();
    ExpectTheGridHasTheKeys();
}

TEST_F(KeyboardTest, TheGridHasTheKeysAfterAMessageBox)
{
    fixture.midi.RefuseOpen(4, "The device is busy.");
    bool shown = false;
    AnswerNextDialog([&shown](QDialog* box) {
        shown = true;
        box->accept();
    });
    ClickMidiActive();   // the refusal is shown in a message box
    ASSERT_TRUE(shown);
    AwaitTheWindowBack();
    ExpectTheGridHasTheKeys();
}

TEST_F(KeyboardTest, TheGridHasTheKeysWhenTheWindowIsActiveAgain)
{
    ClickMidiActive();
    ASSERT_EQ(QApplication::focusWidget(), Frame().findChild<QCheckBox*>("midiActive"));
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    Frame().activateWindow();   // the user clicks on it, or picks it from the task bar
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    ExpectTheGridHasTheKeys();
}

}  // namespace
