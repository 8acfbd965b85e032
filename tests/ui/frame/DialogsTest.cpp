// The Find and About dialogs.

#include "FrameTestSupport.h"
#include "frame/AboutDlg.h"
#include "frame/FindDlg.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `interact` on the dialog once its modal loop has started.
void WhenModal(std::function<void(QWidget*)> interact)
{
    QTimer::singleShot(0, [interact] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        interact(dialog);
    });
}

TEST(FindDlg, OpensEmptyAndTakesWhatIsTypedOnEnter)
{
    CRecordingMessageBox messages;
    CFindDlg dialog(nullptr, messages);
    EXPECT_EQ(dialog.windowTitle(), "Find");
    WhenModal([](QWidget* modal) {
        auto* edit = modal->findChild<QLineEdit*>();
        EXPECT_TRUE(edit->text().isEmpty());
        QTest::keyClicks(edit, "Bass");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_strName, "Bass");
    EXPECT_TRUE(messages.shown.empty());
}

TEST(FindDlg, EscapeCancels)
{
    CRecordingMessageBox messages;
    CFindDlg dialog(nullptr, messages);
    WhenModal([](QWidget* modal) {
        QTest::keyClicks(modal->findChild<QLineEdit*>(), "Pad");
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(dialog.m_strName.isEmpty());
}

TEST(FindDlg, SixteenCharactersFitAndTheSeventeenthIsRefused)
{
    CRecordingMessageBox messages;
    CFindDlg dialog(nullptr, messages);
    WhenModal([](QWidget* modal) {
        auto* edit = modal->findChild<QLineEdit*>();
        QTest::keyClicks(edit, "ABCDEFGHIJKLMNOPQ");
        EXPECT_EQ(edit->text(), "ABCDEFGHIJKLMNOP");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_strName, "ABCDEFGHIJKLMNOP");
}

TEST(FindDlg, MoreThanSixteenCharactersAreRefusedWithAMessage)
{
    CRecordingMessageBox messages;
    CFindDlg dialog(nullptr, messages);
    WhenModal([&](QWidget* modal) {
        auto* edit = modal->findChild<QLineEdit*>();
        edit->setMaxLength(32);   // as if more arrived some other way
        edit->setText("ABCDEFGHIJKLMNOPQ");
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(modal->isVisible());   // still open
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "Please enter no more than 16 characters.");
        EXPECT_EQ(messages.shown[0].icon, MessageIcon::Exclamation);
        static_cast<QDialog*>(modal)->reject();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

TEST(AboutDlg, ShowsTheIconNameAndRelease)
{
    CAboutDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "About");
    EXPECT_EQ(dialog.findChild<QLabel*>("aboutText")->text(), "Veltrix - Release 1.7");
    EXPECT_FALSE(dialog.findChild<QLabel*>("aboutIcon")->pixmap().isNull());
}

}  // namespace
