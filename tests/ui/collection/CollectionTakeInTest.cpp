// Taking into the Collection what the window opens and receives, on a real database in a
// temporary folder, through the window's own Open.

#include "Collection.h"
#include "FrameTestSupport.h"
#include "DumpWriter.h"
#include "SyxFormat.h"
#include "collection/CollectionFeatures.h"
#include "collection/CollectionService.h"
#include "collection/CollectionTakeIn.h"
#include "bank/BankCommands.h"
#include "host/LoadedList.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusBar>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<unsigned char> DumpBytes(int seed)
{
    std::vector<std::vector<unsigned char>> programs;
    for (int i = 0; i < 128; ++i)
        programs.push_back(MakeProgram("Take " + std::to_string(seed) + "-" + std::to_string(i), i % 4, seed * 1000 + i));
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, programs);
}

class CollectionTakeInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", folder.filePath("data").toUtf8());
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", saved); }

    CCollectionTakeIn& TakeIn() { return *fixture.features.collection.takeIn; }
    QString WriteFile(const QString& name, int seed)
    {
        const QString path = folder.filePath(name);
        const std::vector<unsigned char> bytes = DumpBytes(seed);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        return path;
    }
    // What another process would find in the Collection.
    std::vector<CCollectionSource> Sources()
    {
        std::string error;
        std::string notice;
        std::unique_ptr<CCollection> collection = CCollection::Open(CCollection::DefaultPath(), error, notice);
        EXPECT_NE(collection, nullptr) << error;
        return collection ? collection->Sources() : std::vector<CCollectionSource>();
    }

    QTemporaryDir folder;
    QByteArray saved;
    CFrameFixture fixture;
};

TEST_F(CollectionTakeInTest, OpenedFilesAndReceivedDumpsAreKeptAndTheViewsAreTold)
{
    fixture.Create();
    QSignalSpy changed(fixture.features.collection.service, &CCollectionService::changed);
    const QString first = WriteFile("first.syx", 1);
    const QString second = WriteFile("second.syx", 2);
    fixture.Frame().OpenFiles({first, second}, ILoadedList::ReadFailures::BoxForEach);
    EXPECT_EQ(fixture.Frame().Programs().GetSize(), 256);   // Open itself as before
    TakeIn().TakeInSynthDump(DumpBytes(3), 0);   // 0: now
    TakeIn().WaitUntilIdle();

    const std::vector<CCollectionSource> sources = Sources();
    ASSERT_EQ(sources.size(), 3u);
    EXPECT_EQ(sources[0].name, first.toStdString());
    EXPECT_EQ(sources[1].name, second.toStdString());
    EXPECT_EQ(sources[2].kind, SourceKind::Synth);
    EXPECT_EQ(sources[2].programCount, 128);
    EXPECT_GE(changed.count(), 1);

    // Opened again: known, nothing new, nothing to tell.
    changed.clear();
    fixture.Frame().OpenFiles({first}, ILoadedList::ReadFailures::BoxForEach);
    TakeIn().WaitUntilIdle();
    EXPECT_EQ(Sources().size(), 3u);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_TRUE(fixture.messageBox.shown.empty());
}

// Reading a file of the database, even to find it is no dump, would end the locks the window's
// connections hold on it, and a save in its place would lose the Collection: Open and Open
// Bank refuse them unread, as files that cannot be read, and saves refuse to write over them.
TEST_F(CollectionTakeInTest, TheCollectionsOwnFilesAreNeitherReadAsDumpsNorSavedOver)
{
    fixture.Create();
    fixture.Frame().OpenFiles({WriteFile("one.syx", 1)}, ILoadedList::ReadFailures::BoxForEach);
    TakeIn().WaitUntilIdle();
    const QString database = QString::fromStdString(CCollection::DefaultPath());
    const QString own = "It is the Collection's own file: it is not opened";
    fixture.Frame().OpenFiles({database, database + "-wal", database + "-shm"}, ILoadedList::ReadFailures::BoxForEach);
    EXPECT_EQ(fixture.Frame().Programs().GetSize(), 0);
    ASSERT_EQ(fixture.messageBox.shown.size(), 3u);
    for (const auto& shown : fixture.messageBox.shown)
        EXPECT_TRUE(shown.text.endsWith(own)) << shown.text.toStdString();

    fixture.fileDialogs.nextOpen = {database + "-shm"};
    fixture.Bank().OnFileOpenBank();
    ASSERT_EQ(fixture.messageBox.shown.size(), 4u);
    EXPECT_TRUE(fixture.messageBox.shown.back().text.endsWith(own));

    fixture.Bank().OnFileNewBank();
    fixture.fileDialogs.nextSave = database;
    EXPECT_FALSE(fixture.Bank().OnFileSaveBankAs());
    ASSERT_EQ(fixture.messageBox.shown.size(), 5u);
    EXPECT_TRUE(fixture.messageBox.shown.back().text.endsWith("It is the Collection's own file: it is not written over."))
        << fixture.messageBox.shown.back().text.toStdString();
    EXPECT_EQ(Sources().size(), 1u);   // and the Collection as it was
}

TEST_F(CollectionTakeInTest, KeepUntickedTakesNothingAndIsRemembered)
{
    fixture.Create();
    QAction* keep = TakeIn().KeepAction();
    EXPECT_TRUE(keep->isChecked());
    EXPECT_TRUE(fixture.Frame().Menu(HostMenu::File)->actions().contains(keep));
    keep->trigger();
    fixture.Frame().OpenFiles({WriteFile("one.syx", 1)}, ILoadedList::ReadFailures::BoxForEach);
    TakeIn().WaitUntilIdle();
    EXPECT_EQ(fixture.Frame().Programs().GetSize(), 128);
    EXPECT_TRUE(Sources().empty());

    // A new window with the same settings starts unticked.
    CFrameFixture again;
    again.profile = fixture.profile;
    again.Create();
    EXPECT_FALSE(again.features.collection.takeIn->KeepAction()->isChecked());
}

TEST_F(CollectionTakeInTest, AnUnusableCollectionNeverCostsTheOpenAndIsToldOnce)
{
    QFile blocker(folder.filePath("data"));   // a file where the data folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    fixture.Create();
    const QString path = WriteFile("one.syx", 1);
    for (int open = 0; open < 2; ++open) {
        fixture.Frame().statusBar()->clearMessage();
        fixture.Frame().OpenFiles({path}, ILoadedList::ReadFailures::BoxForEach);
        TakeIn().WaitUntilIdle();
        EXPECT_EQ(fixture.Frame().Programs().GetSize(), 128);
        const QString note = fixture.Frame().statusBar()->currentMessage();
        EXPECT_EQ(note.startsWith("Cannot use the Collection "), open == 0) << note.toStdString();
    }
    EXPECT_TRUE(fixture.messageBox.shown.empty());
}

TEST_F(CollectionTakeInTest, ClosingWhileFilesAreTakenInLeavesAWholeCollection)
{
    QStringList paths;
    for (int i = 0; i < 20; ++i)
        paths << WriteFile(QString("f%1.syx").arg(i), 10 + i);
    fixture.Create();
    fixture.Frame().OpenFiles(paths, ILoadedList::ReadFailures::BoxForEach);
    TakeIn().TakeInSynthDump(DumpBytes(99), 1796650000);
    fixture.frame.reset();   // the window goes at once

    // Each file is in whole or not at all; the received dump is always kept.
    std::string error;
    std::string notice;
    std::unique_ptr<CCollection> collection = CCollection::Open(CCollection::DefaultPath(), error, notice);
    ASSERT_NE(collection, nullptr) << error;
    EXPECT_TRUE(notice.empty());
    int synth = 0;
    for (const CCollectionSource& source : collection->Sources()) {
        EXPECT_EQ(source.programCount, 128);
        synth += source.kind == SourceKind::Synth ? 1 : 0;
    }
    EXPECT_EQ(synth, 1);
}

TEST_F(CollectionTakeInTest, OpenBankTakesItsFileInAsOpenDoes)
{
    fixture.Create();
    QFile broken(folder.filePath("broken.syx"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a dump");
    broken.close();
    const struct {
        const char* file;
        bool keep;
        bool kept;
    } cases[] = {
        {"unticked.syx", false, false},
        {"ticked.syx", true, true},
        {"broken.syx", true, false},   // told by Open Bank alone
    };
    int seed = 1;
    for (const auto& c : cases) {
        const QString path = QString(c.file) == "broken.syx" ? broken.fileName() : WriteFile(c.file, seed++);
        TakeIn().KeepAction()->setChecked(c.keep);
        fixture.fileDialogs.nextOpen = {path};
        fixture.Bank().OnFileOpenBank();
        TakeIn().WaitUntilIdle();
        const std::vector<CCollectionSource> sources = Sources();
        const bool kept = std::any_of(sources.begin(), sources.end(),
                                      [&](const CCollectionSource& source) { return source.name == path.toStdString(); });
        EXPECT_EQ(kept, c.kept) << c.file;
    }
    EXPECT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.Frame().Programs().GetSize(), 0);   // the list stays as it was
}

}  // namespace
