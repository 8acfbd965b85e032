// File > Collection: Back Up..., Restore... and Merge... in the window, and the daily backup,
// on real databases in a temporary folder, through the window's own commands.

#include "Collection.h"
#include "CollectionBackup.h"
#include "DumpWriter.h"
#include "FrameTestSupport.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "collection/CollectionDailyBackup.h"
#include "collection/CollectionFeatures.h"
#include "collection/CollectionMoves.h"
#include "collection/CollectionService.h"
#include "collection/CollectionTakeIn.h"
#include "collection/CollectionTask.h"
#include "host/LoadedList.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

namespace {

class CollectionMovesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", folder.filePath("data").toUtf8());
        fixture.Create();
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", saved); }

    CCollectionFeatures& Features() { return fixture.features.collection; }
    CCollectionMoves& Moves() { return *Features().moves; }
    QString WriteBank(const QString& name, int seed)
    {
        std::vector<std::vector<unsigned char>> programs;
        for (int i = 0; i < 128; ++i)
            programs.push_back(MakeProgram(name.toStdString() + std::to_string(i), i % 4, seed * 1000 + i));
        return WriteDump(folder.filePath(name + ".syx"), programs, FUNC_PROGRAM_DUMP);
    }
    void Open(const QString& path)
    {
        fixture.Frame().OpenFiles({path}, ILoadedList::ReadFailures::BoxForEach);
        Features().takeIn->WaitUntilIdle();
    }
    // Runs the command and waits for its task to end.
    void RunCommand(int id)
    {
        Moves().Action(id)->trigger();
        if (Moves().Task() != nullptr)
            Moves().Task()->WaitUntilDone();
    }
    std::vector<std::string> SourceNames()
    {
        std::vector<std::string> names;
        CCollection* collection = Features().service->Collection();
        EXPECT_NE(collection, nullptr);
        if (collection != nullptr)
            for (const CCollectionSource& source : collection->Sources())
                names.push_back(source.name);
        return names;
    }
    QString Status() { return fixture.Frame().statusBar()->currentMessage(); }

    QTemporaryDir folder;
    QByteArray saved;
    CFrameFixture fixture;
};

}  // namespace

TEST_F(CollectionMovesTest, TheFileMenuHasTheCollectionsMoves)
{
    QMenu* menu = Moves().Menu();
    EXPECT_TRUE(fixture.Frame().Menu(HostMenu::File)->actions().contains(menu->menuAction()));
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    EXPECT_EQ(texts, (QStringList{"&Back Up...", "&Restore...", "&Merge..."}));
}

TEST_F(CollectionMovesTest, BackUpWritesACopyThatRestorePutsBackWhileTheWindowRuns)
{
    const QString first = WriteBank("first", 1);
    Open(first);
    fixture.fileDialogs.nextSave = folder.filePath("backup.sqlite");
    RunCommand(ID_COLLECTION_BACK_UP);
    EXPECT_EQ(fixture.fileDialogs.lastSaveExtension, ".sqlite");
    EXPECT_EQ(Status().toStdString(), "The Collection was backed up to " + folder.filePath("backup.sqlite").toStdString());
    std::string error;
    ASSERT_TRUE(CheckCollectionCopy(folder.filePath("backup.sqlite").toStdString(), error)) << error;

    Open(WriteBank("second", 2));
    ASSERT_EQ(SourceNames().size(), 2u);

    // Asked first; no answer, no change.
    fixture.fileDialogs.nextOpen = {folder.filePath("backup.sqlite")};
    fixture.questions.confirm = false;
    RunCommand(ID_COLLECTION_RESTORE);
    ASSERT_EQ(fixture.questions.confirmations.size(), 1u);
    EXPECT_TRUE(fixture.questions.confirmations[0].contains(folder.filePath("backup.sqlite")));
    EXPECT_EQ(SourceNames().size(), 2u);

    QSignalSpy changed(Features().service, &CCollectionService::changed);
    fixture.questions.confirm = true;
    RunCommand(ID_COLLECTION_RESTORE);
    EXPECT_TRUE(fixture.messageBox.shown.empty()) << fixture.messageBox.shown[0].text.toStdString();
    EXPECT_EQ(SourceNames(), std::vector<std::string>{first.toStdString()});
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(Status().contains("the one before it is kept as")) << Status().toStdString();
    const QStringList aside = QDir(folder.filePath("data/Veltrix")).entryList({"collection.sqlite.before-restore-*"});
    EXPECT_EQ(aside.size(), 1);

    // The window goes on taking files in, into the Collection now in place.
    const QString third = WriteBank("third", 3);
    Open(third);
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{first.toStdString(), third.toStdString()}));
}

TEST_F(CollectionMovesTest, AFailedMoveIsToldAndTheWindowGoesOn)
{
    Open(WriteBank("first", 1));
    QFile text(folder.filePath("notes.sqlite"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(5000, 'x'));
    text.close();

    fixture.fileDialogs.nextOpen = {folder.filePath("notes.sqlite")};
    fixture.questions.confirm = true;
    RunCommand(ID_COLLECTION_RESTORE);
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.contains("is not a Collection"));

    fixture.fileDialogs.nextSave = folder.filePath("no/such/folder/backup.sqlite");
    RunCommand(ID_COLLECTION_BACK_UP);
    ASSERT_EQ(fixture.messageBox.shown.size(), 2u);
    EXPECT_TRUE(fixture.messageBox.shown[1].text.startsWith("Cannot write"));

    Open(WriteBank("second", 2));
    EXPECT_EQ(SourceNames().size(), 2u);
}

TEST_F(CollectionMovesTest, TheDailyBackupKeepsTheLastSeven)
{
    CCollectionDailyBackup& daily = *Features().dailyBackup;
    daily.BackUpIfDue();   // no Collection yet: nothing to back up
    EXPECT_FALSE(daily.IsRunning());
    Open(WriteBank("first", 1));

    const QString backups = folder.filePath("data/Veltrix/backups");
    ASSERT_TRUE(QDir().mkpath(backups));
    // Eight older ones, two days old and more, and a file of the user's.
    for (int day = 1; day <= 8; ++day) {
        const QString path = QString("%1/collection-202601%2-120000.sqlite").arg(backups).arg(day, 2, 10, QChar('0'));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        const utimbuf old{time(nullptr) - (20 - day) * 86400, time(nullptr) - (20 - day) * 86400};
        utime(path.toLocal8Bit().constData(), &old);
    }
    QFile mine(backups + "/my notes.txt");
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.close();

    daily.BackUpIfDue();
    EXPECT_TRUE(daily.IsRunning());
    daily.WaitUntilDone();
    QStringList kept = QDir(backups).entryList({"collection-*.sqlite"}, QDir::Files, QDir::Name);
    ASSERT_EQ(kept.size(), 7);
    EXPECT_EQ(kept.front(), "collection-20260103-120000.sqlite");
    std::string error;
    EXPECT_TRUE(CheckCollectionCopy((backups + "/" + kept.back()).toStdString(), error)) << error;
    EXPECT_TRUE(QFile::exists(backups + "/my notes.txt"));

    // The next look the same day finds it done.
    daily.BackUpIfDue();
    EXPECT_FALSE(daily.IsRunning());
}

TEST_F(CollectionMovesTest, MergeTakesAnotherCollectionInAndTheViewsAreTold)
{
    Open(WriteBank("mine", 1));
    const std::string otherPath = folder.filePath("other.sqlite").toStdString();
    {
        std::string error, notice;
        auto other = CCollection::Open(otherPath, error, notice);
        ASSERT_TRUE(other) << error;
        CImportResult result;
        ASSERT_TRUE(other->ImportFile(WriteBank("theirs", 2).toStdString(), result, error)) << error;
        ASSERT_TRUE(other->SaveList("Theirs", other->SourcePrograms(result.source), error)) << error;
    }
    QSignalSpy changed(Features().service, &CCollectionService::changed);
    fixture.fileDialogs.nextOpen = {QString::fromStdString(otherPath)};
    RunCommand(ID_COLLECTION_MERGE);
    EXPECT_TRUE(fixture.messageBox.shown.empty());
    const QString status = Status();
    EXPECT_TRUE(status.startsWith(QString("Merged %1: 1 sources, ").arg(otherPath.c_str()))) << status.toStdString();
    EXPECT_TRUE(status.endsWith(" programs and 1 lists were new")) << status.toStdString();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(SourceNames().size(), 2u);
    CCollectionList list;
    EXPECT_TRUE(Features().service->Collection()->FindList("Theirs", list));
}
