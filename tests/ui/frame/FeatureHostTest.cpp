// The window as its features' host: the features' commands sit in the menus where they
// always were, the features hear of what the library took in, and each may keep the window
// from closing.

#include "FrameTestSupport.h"
#include "Resources.h"
#include "SyxFormat.h"
#include "TestMidiInService.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A menu as its items read: "-" for a separator, a submenu by its title.
QStringList MenuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* item : menu->actions())
        texts << (item->isSeparator() ? QString("-") : item->text());
    return texts;
}

TEST(FeatureHost, TheFeaturesCommandsSitInTheWindowsMenus)
{
    CFrameFixture fixture;
    CTestMidiInService midiIn(fixture.midi);
    CMainFrame& frame = fixture.Create(&midiIn);

    const std::vector<std::pair<HostMenu, QStringList>> menus = {
        {HostMenu::File, {"O&pen Syx File(s)...\tCtrl+O", "&Save Last Random...", "Save Rec&eived Dump...", "-",
                          "Recent &Files", "-", "&New Bank", "Open &Bank...", "Save Ban&k	Ctrl+S", "Sa&ve Bank As...", "-",
                          "Keep Opened Files &in Collection", "Save Bank to &Collection...",
                          "Open Bank from Co&llection...", "-", "E&xit"}},
        {HostMenu::Edit, {"&Undo", "&Redo"}},
        {HostMenu::View, {"&Toolbar", "&Status Bar", "&Bank", "&Collection\tCtrl+L"}},
        {HostMenu::Program, {"&Find...\tCtrl+F", "Mark &Duplicates", "&Audition\tCtrl+A", "&Random\tCtrl+R",
                             "Random from &Selection", "-", "&Put in Bank", "&Use as Bank", "-",
                             "Find Synt&hesizer", "Receive from S&ynth", "Receive Ban&k from Synth",
                             "Se&nd Bank to Synth...", "Send Chan&ged Slots to Synth", "Send to Synth Sl&ot...",
                             "Send Slo&t to Synth", "-", "&Collection"}},
        {HostMenu::Help, {"&User Guide\tF1", "&About..."}},
    };
    for (const auto& [menu, texts] : menus)
        EXPECT_EQ(MenuTexts(frame.Menu(menu)), texts) << MenuTexts(frame.Menu(menu)).join(" | ").toStdString();
    fixture.frame.reset();   // before the input service the synthesizer's commands use
}

TEST(FeatureHost, FeaturesHearOfTheFilesReadAndTheDumpsTakenIn)
{
    QTemporaryDir folder;
    CFrameFixture fixture;
    CMainFrame& frame = fixture.Create();
    std::vector<QStringList> read;
    std::vector<QString> added;
    frame.WhenFilesRead([&read](const QStringList& paths) { read.push_back(paths); });
    frame.WhenDumpAdded([&added](const std::vector<unsigned char>&, const QString& name) { added.push_back(name); });

    const QString good = WriteDump(folder.filePath("good.syx"), {MakeProgram("Good", 0, 1)}, FUNC_CURRENT_PROGRAM);
    const QString broken = folder.filePath("broken.syx");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a dump");
    file.close();

    frame.OpenFiles({broken, good}, ILoadedList::ReadFailures::OneBoxAtEnd);
    frame.OpenFiles({broken}, ILoadedList::ReadFailures::OneBoxAtEnd);   // nothing read: nothing to hear
    EXPECT_EQ(read, std::vector<QStringList>({{good}}));

    QFile dump(good);
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    const QByteArray bytes = dump.readAll();
    std::string error;
    EXPECT_TRUE(frame.AddLibrarySource(std::vector<unsigned char>(bytes.begin(), bytes.end()), "Synth A", error));
    EXPECT_FALSE(frame.AddLibrarySource({0xF0, 0x42, 0xF7}, "Synth B", error));
    EXPECT_EQ(added, std::vector<QString>({"Synth A"}));
}

TEST(FeatureHost, TheFirstCloseGuardToSayNoKeepsTheWindowOpen)
{
    CFrameFixture fixture;
    CMainFrame& frame = fixture.Create();
    frame.show();
    std::vector<int> asked;
    bool secondAgrees = false;
    frame.AddCloseGuard([&asked] { asked.push_back(1); return true; });
    frame.AddCloseGuard([&] { asked.push_back(2); return secondAgrees; });
    frame.AddCloseGuard([&asked] { asked.push_back(3); return true; });

    EXPECT_FALSE(frame.close());
    EXPECT_EQ(asked, std::vector<int>({1, 2}));
    EXPECT_TRUE(fixture.profile.writes.empty());   // nothing of the shutdown ran

    asked.clear();
    secondAgrees = true;
    EXPECT_TRUE(frame.close());
    EXPECT_EQ(asked, std::vector<int>({1, 2, 3}));
}

}  // namespace
