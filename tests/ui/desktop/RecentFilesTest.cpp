// File > Recent Files: stored, reopened and pruned.

#include "DesktopTestSupport.h"
#include "desktop/RecentFiles.h"

#include <QFile>
#include <QMenu>
#include <QMenuBar>

namespace {

class RecentFilesTest : public DesktopTest {
protected:
    QList<QStringList> Sets() { return fixture.features.recentFiles->Sets(); }

    // The entries of the menu as the user sees them when opening it.
    QStringList MenuTexts()
    {
        QMenu* menu = fixture.features.recentFiles->Menu();
        emit menu->aboutToShow();
        QStringList texts;
        for (QAction* action : menu->actions())
            texts.append(action->text());
        return texts;
    }

    // A new window on the same settings, as at the next start.
    void Restart()
    {
        fixture.frame.reset();
        fixture.Create();
    }
};

} // namespace

TEST_F(RecentFilesTest, EveryWayOfOpeningIsRememberedMostRecentFirstAndStored)
{
    const QString a = WriteOne("A.syx", "A");
    const QString b = WriteOne("B.syx", "B");
    const QString c = WriteOne("C.syx", "C");
    QMenu* menu = fixture.features.recentFiles->Menu();
    EXPECT_FALSE(menu->menuAction()->isEnabled());
    EXPECT_EQ(menu->title(), "Recent &Files");

    Open({a});
    Frame().OpenFiles({b, c});      // as a drop or the command line does
    Open({});                       // a cancelled dialog changes nothing
    QFile broken(Path("Broken.syx"));
    broken.open(QIODevice::WriteOnly);
    broken.write("xx");
    broken.close();
    Open({Path("Broken.syx")});     // nothing read: nothing to remember

    EXPECT_EQ(Sets(), (QList<QStringList>{{b, c}, {a}}));
    EXPECT_EQ(MenuTexts(), (QStringList{"&1 B.syx, C.syx", "&2 A.syx"}));
    EXPECT_TRUE(menu->menuAction()->isEnabled());
    EXPECT_FALSE(fixture.profile.values["recent/set1"].isEmpty());

    // Opening a listed set again moves it to the top instead of listing it twice.
    Open({a});
    EXPECT_EQ(Sets(), (QList<QStringList>{{a}, {b, c}}));

    Restart();
    EXPECT_EQ(Sets(), (QList<QStringList>{{a}, {b, c}}));
}

TEST_F(RecentFilesTest, AnEntryReopensItsSet)
{
    const QString a = WriteOne("A.syx", "A", 1);
    const QString b = WriteOne("B.syx", "B", 5);
    Frame().OpenFiles({a, b});
    Open({WriteOne("Other.syx", "Other")});

    MenuTexts();
    fixture.features.recentFiles->Menu()->actions().at(1)->trigger();
    fixture.Idle();

    EXPECT_EQ(Names(), (QStringList{"A", "B"}));
    EXPECT_EQ(Frame().FileCount(), 2);
    EXPECT_EQ(Sets().front(), (QStringList{a, b}));
}

TEST_F(RecentFilesTest, GoneFilesAreLeftOutAndSetsWithNoneLeftDisappear)
{
    const QString a = WriteOne("A.syx", "A");
    const QString b = WriteOne("B.syx", "B");
    const QString c = WriteOne("C.syx", "C");
    Frame().OpenFiles({a, b});
    Frame().OpenFiles({c});

    QFile::remove(c);
    QFile::remove(b);

    EXPECT_EQ(MenuTexts(), (QStringList{"&1 A.syx"}));
    EXPECT_EQ(Sets(), (QList<QStringList>{{a}}));
    EXPECT_TRUE(fixture.profile.values["recent/set2"].isEmpty());   // the pruning is stored
}

TEST_F(RecentFilesTest, KeepsTheLastEightAndShortensLongSets)
{
    QStringList paths;
    for (int i = 0; i < 10; ++i)
        paths.append(WriteOne(QString("F%1.syx").arg(i), "F", i));
    for (const QString& path : paths)
        Frame().OpenFiles({path});
    Frame().OpenFiles(paths.mid(0, 5));

    const QList<QStringList> sets = Sets();
    ASSERT_EQ(sets.size(), CRecentFiles::MAX_SETS);
    EXPECT_EQ(sets.front(), paths.mid(0, 5));
    EXPECT_EQ(sets.back(), QStringList{paths[3]});
    EXPECT_EQ(MenuTexts().front(), "&1 F0.syx, F1.syx, F2.syx and 2 more");
}

TEST_F(RecentFilesTest, CorruptStoredValuesAreHarmless)
{
    const QString a = WriteOne("A.syx", "A");
    fixture.profile.values["recent/set1"] = "[not json";
    fixture.profile.values["recent/set2"] = "{\"a\": 1}";
    fixture.profile.values["recent/set3"] = "[1, 2]";
    fixture.profile.values["recent/set4"] = "[\"" + a + "\"]";
    fixture.profile.values["recent/set5"] = QString(5000, QChar(0xFFFF));
    Restart();

    EXPECT_EQ(Sets(), (QList<QStringList>{{a}}));
    EXPECT_EQ(MenuTexts(), (QStringList{"&1 A.syx"}));
}

TEST(RecentFilesMenuText, AmpersandsInNamesAreShownAsThey)
{
    EXPECT_EQ(CRecentFiles::MenuText(0, {"/x/Rock & Roll.syx"}), "&1 Rock && Roll.syx");
}

TEST(RecentFilesStore, RoundTripsThroughTheSettingsFile)
{
    QTemporaryDir dir;
    QStringList set;
    for (const char* name : {"a, b.syx", "quote \" and ; semicolon.syx", "Grüße [1].syx"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        set.append(file.fileName());
    }
    const QString ini = dir.filePath("Veltrix.conf");
    auto ignore = [](const QStringList&) {};
    auto quiet = [](const QString&) {};
    {
        CSettingsProfile profile(ini);
        QWidget window;
        CRecentFiles recent(&window, profile, ignore, quiet);
        recent.Add(set);
        recent.Add({set[0]});
    }
    CSettingsProfile profile(ini);
    QWidget window;
    CRecentFiles recent(&window, profile, ignore, quiet);
    EXPECT_EQ(recent.Sets(), (QList<QStringList>{{set[0]}, set}));
}
