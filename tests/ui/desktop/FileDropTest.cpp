// Files and folders dropped on the window, and files named on the command line.

#include "DesktopTestSupport.h"
#include "bank/BankCommands.h"
#include "bank/BankPane.h"
#include "desktop/FileDropTarget.h"
#include "desktop/SyxPaths.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <functional>

namespace {

class FileDrop : public DesktopTest {
protected:
    // Delivers a drag entering `target` and then a drop on it, as a file manager would;
    // returns whether the drag was accepted.
    bool Drop(QWidget* target, const QStringList& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        fixture.Idle();
        return enter.isAccepted() && drop.isAccepted();
    }
};

} // namespace

TEST_F(FileDrop, DroppedFilesOpenInTheOrderDroppedAsOpenWould)
{
    Open({WriteBank("Old.syx", "Old")});
    const QString second = WriteBank("Second.syx", "Sec", 10);
    const QString first = WriteOne("First.syx", "Fir", 20);
    const QString notes = WriteText("notes.txt");
    fixture.waitCursor.begins = 0;

    EXPECT_TRUE(Drop(&Frame(), {second, notes, first}));

    ASSERT_EQ(Names().size(), 129);
    EXPECT_EQ(Names().front(), "Sec0");
    EXPECT_EQ(Names().back(), "Fir");
    EXPECT_EQ(Frame().FileCount(), 2);
    EXPECT_EQ(CellText(0, 0), " Second");
    EXPECT_EQ(CellText(128, 0), " First");
    EXPECT_EQ(Frame().windowTitle(), "Veltrix");
    EXPECT_GE(fixture.waitCursor.begins, 1);
    EXPECT_TRUE(fixture.messageBox.shown.empty());
    EXPECT_EQ(fixture.fileDialogs.openCalls, 1);   // the drop asks no dialog

    // Over the grid, too, and a single file gives its name to the title.
    EXPECT_TRUE(Drop(Grid().viewport(), {first}));
    EXPECT_EQ(Names(), QStringList{"Fir"});
    EXPECT_EQ(Frame().windowTitle(), "Veltrix - [First.syx]");
}

TEST_F(FileDrop, AFolderGivesItsSyxFilesInNameOrderWithoutSubFolders)
{
    QDir(folder.path()).mkpath("bank/sub");
    const QString bank = Path("bank");
    WriteDump(bank + "/b.syx", {MakeProgram("B", 0, 1)}, FUNC_CURRENT_PROGRAM);
    WriteDump(bank + "/A.SYX", {MakeProgram("A", 0, 2)}, FUNC_CURRENT_PROGRAM);
    WriteDump(bank + "/c.syx", {MakeProgram("C", 0, 3)}, FUNC_CURRENT_PROGRAM);
    WriteDump(bank + "/sub/d.syx", {MakeProgram("D", 0, 4)}, FUNC_CURRENT_PROGRAM);
    WriteDump(bank + "/e.txt", {MakeProgram("E", 0, 5)}, FUNC_CURRENT_PROGRAM);

    EXPECT_TRUE(Drop(&Frame(), {bank}));

    EXPECT_EQ(Names(), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(CellText(0, 0), " A");
    EXPECT_EQ(Frame().FileCount(), 3);
}

TEST_F(FileDrop, NothingUsableChangesNothingAndSaysSo)
{
    Open({WriteOne("Kept.syx", "Kept")});
    QDir(folder.path()).mkpath("empty");

    EXPECT_TRUE(Drop(&Frame(), {WriteText("readme.txt"), Path("empty")}));

    EXPECT_EQ(Names(), QStringList{"Kept"});
    EXPECT_EQ(Frame().windowTitle(), "Veltrix - [Kept.syx]");
    EXPECT_EQ(StatusMessage(), CFileDropTarget::NothingToOpenText());
    EXPECT_TRUE(fixture.messageBox.shown.empty());
}

// Drops, folders and the command line may bring many files at once: those that cannot be
// read are named in one box at the end, and the others are read. File > Open keeps one box
// for each file.
TEST_F(FileDrop, FilesThatCannotBeReadAreNamedInOneBoxAtTheEnd)
{
    QDir(folder.path()).mkpath("other-synth");
    QStringList broken;
    for (int i = 0; i < 30; ++i) {
        const QString path = Path(QString("other-synth/dump%1.syx").arg(i, 2, 10, QChar('0')));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("\xF0\x41\x30\x58\x4C\xF7", 6);
        broken.append(path);
    }
    const QString good = WriteOne("other-synth/zGood.syx", "Good");
    const QString line = "dump00.syx: File is not a valid Korg Syx File";

    struct Case {
        const char* how;
        std::function<void()> open;
        int boxes;
    };
    const Case cases[] = {
        {"a dropped folder", [&] { Drop(&Frame(), {Path("other-synth")}); }, 1},
        {"dropped files", [&] { Drop(&Frame(), QStringList(broken) << good); }, 1},
        {"the command line", [&] {
             Frame().OpenFiles(CommandLineFiles({Path("other-synth")}), CMainFrame::ReadFailures::OneBoxAtEnd);
             fixture.Idle();
         }, 1},
        {"File > Open", [&] { Open({broken[0], broken[1], good}); }, 2},
    };
    for (const Case& c : cases) {
        fixture.messageBox.shown.clear();
        c.open();
        ASSERT_EQ(fixture.messageBox.shown.size(), static_cast<size_t>(c.boxes)) << c.how;
        const QString& text = fixture.messageBox.shown[0].text;
        EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation) << c.how;
        EXPECT_EQ(Names(), QStringList{"Good"}) << c.how;
        if (c.boxes == 1) {
            EXPECT_TRUE(text.startsWith("30 files could not be read:\n\n" + line + "\n")) << c.how << ": " << text.toStdString();
            EXPECT_TRUE(text.endsWith("\n... and 15 more")) << c.how;
        } else {
            EXPECT_EQ(text, "Failed to parse Syx file dump00. File is not a valid Korg Syx File") << c.how;
        }
    }
}

// Files dropped anywhere on the window open, on the bank pane too, floating or docked.
TEST_F(FileDrop, TheBankPaneTakesFileDropsFloatingOrDocked)
{
    CBankPane* pane = fixture.Bank().Pane();
    pane->show();
    struct Case {
        const char* where;
        bool floating;
        QWidget* target;
    };
    QWidget* hint = pane->findChild<QWidget*>("bankHint");
    ASSERT_NE(hint, nullptr);
    const Case cases[] = {
        {"the floating pane", true, pane},
        {"the floating pane's text", true, hint},
        {"the docked pane's text", false, hint},
    };
    int seed = 0;
    for (const Case& c : cases) {
        pane->setFloating(c.floating);
        const QString name = QString("Dropped%1").arg(++seed);
        const QString file = WriteOne(name + ".syx", name.toStdString(), seed);
        EXPECT_TRUE(Drop(c.target, {file})) << c.where;
        EXPECT_EQ(Names(), QStringList{name}) << c.where;
    }
}

TEST_F(FileDrop, OnlyDragsOfFilesAreTaken)
{
    QMimeData text;
    text.setText("Lead");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Qt::IgnoreAction);
    enter.ignore();
    QCoreApplication::sendEvent(&Frame(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_TRUE(Frame().acceptDrops());
}

TEST(CommandLineFiles, AbsolutePathsInOrderAndFoldersOpened)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("bank");
    WriteDump(dir.filePath("bank/y.syx"), {MakeProgram("Y", 0, 1)}, FUNC_CURRENT_PROGRAM);
    WriteDump(dir.filePath("bank/x.syx"), {MakeProgram("X", 0, 2)}, FUNC_CURRENT_PROGRAM);
    WriteDump(dir.filePath("z.syx"), {MakeProgram("Z", 0, 3)}, FUNC_CURRENT_PROGRAM);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());

    const QStringList paths = CommandLineFiles({"z.syx", "bank", "missing.syx"});

    QDir::setCurrent(previous);
    const QString root = QDir(dir.path()).canonicalPath();
    EXPECT_EQ(paths, (QStringList{root + "/z.syx", root + "/bank/x.syx", root + "/bank/y.syx",
                                  root + "/missing.syx"}));
}

TEST_F(FileDrop, CommandLineFilesOpenAsOpenWouldAndAMissingOneIsReported)
{
    const QString bank = WriteBank("Bank.syx", "Bank");
    Frame().OpenFiles(CommandLineFiles({bank, Path("gone.syx")}), CMainFrame::ReadFailures::OneBoxAtEnd);
    fixture.Idle();

    EXPECT_EQ(Names().size(), 128);
    ASSERT_EQ(fixture.messageBox.shown.size(), 1u);
    EXPECT_EQ(fixture.messageBox.shown[0].text, "1 file could not be read:\n\ngone.syx: Cannot open file");
    EXPECT_EQ(fixture.messageBox.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(Frame().windowTitle(), "Veltrix - [Bank.syx]");
}

// A folder named on the command line that brings nothing says why.
TEST(CommandLineFiles, FoldersThatBringNothingAreNoted)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("empty");
    QDir(dir.path()).mkpath("locked");
    WriteDump(dir.filePath("locked/x.syx"), {MakeProgram("X", 0, 2)}, FUNC_CURRENT_PROGRAM);
    QFile::setPermissions(dir.filePath("locked"), QFileDevice::WriteOwner);
    const bool lockWorks = !QDir(dir.filePath("locked")).isReadable();   // not for root

    QStringList notes;
    const QStringList paths = CommandLineFiles({dir.filePath("empty"), dir.filePath("locked")}, &notes);

    QFile::setPermissions(dir.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString empty = QDir::toNativeSeparators(dir.filePath("empty"));
    const QString locked = QDir::toNativeSeparators(dir.filePath("locked"));
    if (lockWorks) {
        EXPECT_TRUE(paths.isEmpty());
        EXPECT_EQ(notes, (QStringList{"The folder " + empty + " holds no .syx files",
                                      "The folder " + locked + " cannot be read"}));
    } else {
        EXPECT_EQ(notes, QStringList{"The folder " + empty + " holds no .syx files"});
    }
}
