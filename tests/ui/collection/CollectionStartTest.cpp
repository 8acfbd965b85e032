// Starting the window on a Collection that was damaged since the last run, with the
// Collection view in sight from the stored layout: the window comes up, then the notice, and
// the files opened go into the new Collection.

#include "CollectionTestSupport.h"
#include "FrameTestSupport.h"
#include "collection/CollectionCommands.h"
#include "collection/CollectionFeatures.h"
#include "collection/CollectionModel.h"
#include "collection/CollectionTakeIn.h"
#include "collection/CollectionView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <functional>

namespace {

// Counts the message boxes shown while any widget handles a show or a paint event: each such
// event is delivered from here, so that its end is known.
class CBoxesInsideShowOrPaint : public QObject {
public:
    explicit CBoxesInsideShowOrPaint(std::function<std::size_t()> boxes) : m_boxes(std::move(boxes))
    {
        qApp->installEventFilter(this);
    }
    ~CBoxesInsideShowOrPaint() override { qApp->removeEventFilter(this); }
    int inside = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event == m_delivering || (event->type() != QEvent::Show && event->type() != QEvent::Paint))
            return false;
        QEvent* outer = m_delivering;
        m_delivering = event;
        const std::size_t before = m_boxes();
        QCoreApplication::sendEvent(watched, event);
        if (m_boxes() != before)
            ++inside;
        m_delivering = outer;
        return true;   // delivered above
    }

private:
    std::function<std::size_t()> m_boxes;
    QEvent* m_delivering = nullptr;
};

TEST(CollectionStart, ADamagedCollectionIsToldOnceTheWindowIsUpAndTheNewOneTakesTheFiles)
{
    SKIP_WITHOUT_REAL_DUMPS();
    QTemporaryDir home;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const std::string path = CCollection::DefaultPath();
    {
        std::string error, notice;
        std::unique_ptr<CCollection> collection = CCollection::Open(path, error, notice);
        ASSERT_NE(collection, nullptr) << error;
        CImportResult result;
        ASSERT_TRUE(collection->ImportFile(RealDump("ms2000-bank-0x4C.syx").toStdString(), result, error)) << error;
    }
    {
        // Garbage over the first pages after the file's header, the table of its tables
        // among them, as a failing disk would leave them.
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_GT(file.size(), 8 * 4096);
        file.seek(100);
        file.write(QByteArray(2 * 4096, '\x5A'));
    }

    CFrameFixture fixture;
    fixture.Create();
    CBoxesInsideShowOrPaint boxes([&fixture] { return fixture.messageBox.shown.size(); });
    CCollectionCommands& commands = *fixture.features.collectionView;
    commands.Pane()->show();   // in sight as soon as the window is, as the stored layout has it
    fixture.Frame().resize(1000, 700);
    fixture.Frame().show();
    QElapsedTimer waited;
    waited.start();
    while (fixture.messageBox.shown.empty() && waited.elapsed() < 5000)
        fixture.Idle();

    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_TRUE(fixture.messageBox.shown[0].text.contains("damaged")) << fixture.messageBox.shown[0].text.toStdString();
    EXPECT_EQ(boxes.inside, 0);
    EXPECT_TRUE(commands.View()->isVisible());

    // The files named on the command line go into the new Collection, and the view shows them.
    fixture.Frame().OpenFiles({RealDump("mk-current-A11-0x40.syx")}, ILoadedList::ReadFailures::OneBoxAtEnd);
    fixture.features.collection.takeIn->WaitUntilIdle();
    fixture.Idle();
    commands.View()->WaitForReads();
    std::string error, notice;
    std::unique_ptr<CCollection> collection = CCollection::Open(path, error, notice);
    ASSERT_NE(collection, nullptr) << error;
    ASSERT_EQ(collection->Sources().size(), 1u);
    EXPECT_EQ(commands.View()->Model()->rowCount(), 1);
    EXPECT_EQ(fixture.messageBox.shown.size(), 1u);
    // Set aside once (with its -wal and -shm), not again by the view's own connection.
    const QStringList aside = QDir(QFileInfo(QString::fromStdString(path)).path()).entryList({"collection.sqlite.damaged-*"});
    EXPECT_EQ(aside.filter(QRegularExpression("-(wal|shm)$")).size() + 1, aside.size()) << aside.join(' ').toStdString();

    fixture.frame.reset();
    qputenv("XDG_DATA_HOME", saved);
}

}  // namespace
