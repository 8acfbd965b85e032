// The window's handle on the Collection: where it opens, what it says when the database
// cannot be used or was damaged.

#include "Collection.h"
#include "FrameTestSupport.h"
#include "collection/CollectionService.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStatusBar>

#include <gtest/gtest.h>

namespace {

class CollectionServiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        fixture.Create();
    }
    std::string PathIn(const QString& name) const { return QDir(folder.path()).filePath(name).toStdString(); }
    QString StatusText() { return fixture.Frame().statusBar()->currentMessage(); }

    QTemporaryDir folder;
    CFrameFixture fixture;
};

TEST_F(CollectionServiceTest, OpensTheDefaultPathUnderXdgDataHomeOnFirstUse)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", folder.path().toUtf8());
    CCollectionService service(fixture.Frame(), fixture.messageBox);
    const std::string expected = PathIn("Veltrix/collection.sqlite");
    EXPECT_EQ(service.Path(), expected);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(expected)));   // nothing made before a use

    CCollection* collection = service.Collection();
    ASSERT_NE(collection, nullptr);
    EXPECT_EQ(service.Collection(), collection);   // one connection
    EXPECT_TRUE(QFile::exists(QString::fromStdString(expected)));
    EXPECT_TRUE(fixture.messageBox.shown.empty());
    EXPECT_TRUE(StatusText().isEmpty());
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
}

TEST_F(CollectionServiceTest, AnUnusableCollectionIsToldOnceInTheStatusBar)
{
    // A file where the database's folder should be: the folder cannot be made.
    QFile blocker(folder.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CCollectionService service(fixture.Frame(), fixture.messageBox, PathIn("blocker/collection.sqlite"));

    EXPECT_EQ(service.Collection(), nullptr);
    const QString note = StatusText();
    EXPECT_TRUE(note.startsWith("Cannot use the Collection ")) << note.toStdString();
    fixture.Frame().statusBar()->clearMessage();
    EXPECT_EQ(service.Collection(), nullptr);
    service.ReportUnusable("Cannot use the Collection again");
    EXPECT_TRUE(StatusText().isEmpty());
    EXPECT_TRUE(fixture.messageBox.shown.empty());
}

TEST_F(CollectionServiceTest, ADamagedFileIsSetAsideAndToldAndANewCollectionStarts)
{
    const std::string path = PathIn("collection.sqlite");
    QFile damaged(QString::fromStdString(path));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    // An SQLite file whose header says nothing sound about its pages.
    damaged.write(QByteArray("SQLite format 3", 16) + QByteArray(8192 - 16, 'x'));
    damaged.close();
    CCollectionService service(fixture.Frame(), fixture.messageBox, path);

    CCollection* collection = service.Collection();
    ASSERT_NE(collection, nullptr);
    EXPECT_TRUE(collection->Sources().empty());
    EXPECT_TRUE(fixture.messageBox.shown.empty());   // told once the event loop is back
    QApplication::processEvents();
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.contains("was damaged")) << fixture.messageBox.shown[0].text.toStdString();
    const QStringList setAside = QDir(folder.path()).entryList({"collection.sqlite.damaged-*"});
    ASSERT_EQ(setAside.size(), 1);
    EXPECT_EQ(QFileInfo(QDir(folder.path()).filePath(setAside[0])).size(), 8192);
}

}  // namespace
