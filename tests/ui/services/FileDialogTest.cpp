#include "services/FileDialogService.h"

#include <gtest/gtest.h>

TEST(ConvertFilterTest, PipeFiltersBecomeQtFilters)
{
    EXPECT_EQ(ConvertFilter("SYX Files (*.syx)|*.syx|All Files (*.*)|*.*||"),
              "SYX Files (*.syx);;All Files (*.*)");
    EXPECT_EQ(ConvertFilter("SysEx Files (*.syx)|*.syx|All Files (*.*)|*.*||"),
              "SysEx Files (*.syx);;All Files (*.*)");
}

TEST(ConvertFilterTest, PatternIsShownWhenTheNameLacksIt)
{
    EXPECT_EQ(ConvertFilter("Dumps|*.syx;*.SYX||"), "Dumps (*.syx *.SYX)");
    EXPECT_EQ(ConvertFilter("Dumps|*.syx"), "Dumps (*.syx)");
}

TEST(ConvertFilterTest, EmptyFilterGivesNoFilters)
{
    EXPECT_EQ(ConvertFilter(""), "");
    EXPECT_EQ(ConvertFilter("||"), "");
}

// The real dialogs, answered from inside their modal loop.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void AnswerDialogWith(const QString& name)
{
    QTimer::singleShot(0, [name] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

TEST(QtFileDialogs, OpenStartsInTheCurrentFolderAndMovesItToTheChosenOne)
{
    const QString before = QDir::currentPath();
    QTemporaryDir folder;
    QDir(folder.path()).mkdir("banks");
    const QString bank = folder.filePath("banks/Factory.syx");
    QFile(bank).open(QIODevice::WriteOnly);

    CQtFileDialogService dialogs;
    AnswerDialogWith(bank);
    const QStringList chosen = dialogs.GetOpenFileNames(nullptr, "SYX Files (*.syx)|*.syx||", ".syx");
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(QFileInfo(chosen[0]).canonicalFilePath(), QFileInfo(bank).canonicalFilePath());
    EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(folder.filePath("banks")).canonicalPath());
    QDir::setCurrent(before);
}

TEST(QtFileDialogs, SaveAddsTheDefaultExtension)
{
    const QString before = QDir::currentPath();
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    CQtFileDialogService dialogs;
    AnswerDialogWith("Keeper");
    const QString chosen = dialogs.GetSaveFileName(nullptr, "SysEx Files (*.syx)|*.syx||", ".SYX");
    EXPECT_EQ(QFileInfo(chosen).fileName(), "Keeper.SYX");
    QDir::setCurrent(before);
}

TEST(QtFileDialogs, SaveOffersTheSuggestedName)
{
    const QString before = QDir::currentPath();
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    CQtFileDialogService dialogs;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QMetaObject::invokeMethod(dialog, "accept");   // the name as offered
    });
    const QString chosen = dialogs.GetSaveFileNameFor(nullptr, "SysEx Files (*.syx)|*.syx||", ".syx", "Wobble Bass.syx");
    EXPECT_EQ(QFileInfo(chosen).fileName(), "Wobble Bass.syx");
    QDir::setCurrent(before);
}

}  // namespace
