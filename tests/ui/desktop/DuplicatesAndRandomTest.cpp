// Program > Mark Duplicates as one marking with Find, and Program > Random from Selection.

#include "DesktopTestSupport.h"
#include "ProgramList.h"
#include "SyxProgram.h"

#include "services/PostMessage.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <set>

namespace {

const COLORREF UNMARKED = RGB(193, 193, 255);
const COLORREF MARKED = RGB(128, 128, 255);

class Duplicates : public DesktopTest {
protected:
    // Rows 0-6: Lead, Pad, Lead copy (renamed), Bass, Pad copy, Pad copy, Solo; then 121
    // programs that differ from every other.
    QString WriteLibrary(const QString& name)
    {
        std::vector<std::vector<unsigned char>> programs = {
            Renamed(MakeProgram("Lead", 0, 1), "Lead"), MakeProgram("Pad", 1, 2),
            Renamed(MakeProgram("Lead", 0, 1), "Lead copy"), MakeProgram("Bass", 0, 4),
            Renamed(MakeProgram("Pad", 1, 2), "Pad 2"), MakeProgram("Pad", 1, 2),
            MakeProgram("Solo", 2, 7)};
        for (int i = 0; programs.size() < 128; ++i)
            programs.push_back(MakeProgram("Fill" + std::to_string(i), 0, 100 + i));
        return WriteDump(Path(name), programs, FUNC_PROGRAM_DUMP);
    }

    static std::vector<unsigned char> Renamed(std::vector<unsigned char> data, const std::string& name)
    {
        for (size_t i = 0; i < 12; ++i)
            data[i] = i < name.size() ? static_cast<unsigned char>(name[i]) : ' ';
        return data;
    }

    void Find(const QString& text)
    {
        fixture.Find(text);
    }

    std::set<QString> MarkedNames()
    {
        std::set<QString> names;
        for (int row = 0; row < Grid().model()->rowCount(); ++row)
            if (Grid().GetCell(row, 3)->backColor == MARKED)
                names.insert(CellText(row, 3).mid(1));
            else
                EXPECT_EQ(Grid().GetCell(row, 3)->backColor, UNMARKED);
        return names;
    }
};

} // namespace

TEST_F(Duplicates, MarksEveryProgramWithAnEqualSoundAndCountsThem)
{
    EXPECT_FALSE(Frame().Action(ID_PROGRAM_MARK_DUPLICATES)->isEnabled());
    Open({WriteLibrary("Lib.syx")});
    ASSERT_TRUE(Frame().Action(ID_PROGRAM_MARK_DUPLICATES)->isEnabled());

    Trigger(ID_PROGRAM_MARK_DUPLICATES);

    EXPECT_EQ(MarkedNames(), (std::set<QString>{"Lead", "Lead copy", "Pad", "Pad 2"}));
    EXPECT_EQ(Names().count("Pad"), 2);
    EXPECT_EQ(Grid().GetCell(5, 3)->backColor, MARKED);
    EXPECT_EQ(StatusMessage(), "5 programs have a duplicate, in 2 groups");

    // Sorting keeps the marking with its programs.
    PostMessageToMainWindow(WM_USER, GN_COLUMNCLICK, 3);
    fixture.Idle();
    EXPECT_EQ(Names().front(), "Bass");
    EXPECT_EQ(MarkedNames(), (std::set<QString>{"Lead", "Lead copy", "Pad", "Pad 2"}));
}

TEST_F(Duplicates, FindAndMarkDuplicatesAreOneMarkingTheLastCommandSets)
{
    Open({WriteLibrary("Lib.syx")});
    Find("so");
    EXPECT_EQ(MarkedNames(), std::set<QString>{"Solo"});

    Trigger(ID_PROGRAM_MARK_DUPLICATES);
    EXPECT_EQ(MarkedNames(), (std::set<QString>{"Lead", "Lead copy", "Pad", "Pad 2"}));
    EXPECT_TRUE(Frame().FindText().isEmpty());

    Find("bass");
    EXPECT_EQ(MarkedNames(), std::set<QString>{"Bass"});
    EXPECT_FALSE(Frame().DuplicateMarking().IsActive());

    Trigger(ID_PROGRAM_MARK_DUPLICATES);
    Find("");
    EXPECT_TRUE(MarkedNames().empty());
}

// The status bar speaks of the marking that is on: the duplicates' note goes with their
// marking, and a Find says how many programs it marked.
TEST_F(Duplicates, TheStatusBarTellsOfTheMarkingThatIsOn)
{
    Open({WriteLibrary("Lib.syx")});
    struct Step {
        const char* find;   // null: Mark Duplicates
        QString note;
    };
    const Step steps[] = {
        {nullptr, "5 programs have a duplicate, in 2 groups"},
        {"so", "1 program marked"},
        {nullptr, "5 programs have a duplicate, in 2 groups"},
        {"pad", "3 programs marked"},
        {"nothing like it", "0 programs marked"},
        {nullptr, "5 programs have a duplicate, in 2 groups"},
        {"", ""},
    };
    for (const Step& step : steps) {
        if (step.find == nullptr)
            Trigger(ID_PROGRAM_MARK_DUPLICATES);
        else
            Find(step.find);
        EXPECT_EQ(StatusMessage(), step.note) << (step.find ? step.find : "Mark Duplicates");
    }
}

TEST_F(Duplicates, ANewOpenIsMarkedByItsOwnDuplicates)
{
    Open({WriteLibrary("Lib.syx")});
    Trigger(ID_PROGRAM_MARK_DUPLICATES);

    Open({WriteBank("Plain.syx", "Plain")});
    EXPECT_TRUE(MarkedNames().empty());
    EXPECT_EQ(StatusMessage(), "No duplicates: every program sounds different");

    Open({WriteOne("One.syx", "One", 30), WriteOne("Two.syx", "Two", 30), WriteOne("Three.syx", "Three", 31)});
    EXPECT_EQ(MarkedNames(), (std::set<QString>{"One", "Two"}));
    EXPECT_EQ(StatusMessage(), "2 programs have a duplicate, in 1 group");
}

TEST_F(Duplicates, RealProgramAndAllDataDumpsAreDuplicatesOfEachOther)
{
    const QString realdata = VELTRIX_REALDATA_DIR;
    if (!QDir(realdata).exists())
        GTEST_SKIP() << "no real dumps at " << realdata.toStdString();
    Open({realdata + "/mk-programs-0x4C.syx", realdata + "/mk-all-data-0x50.syx"});
    ASSERT_EQ(Grid().model()->rowCount(), 256);

    Trigger(ID_PROGRAM_MARK_DUPLICATES);

    for (int row = 0; row < 256; ++row)
        EXPECT_EQ(Grid().GetCell(row, 3)->backColor, MARKED) << row;
    EXPECT_EQ(Frame().DuplicateMarking().ProgramCount(), 256);
    EXPECT_TRUE(StatusMessage().startsWith("256 programs have a duplicate, in "));
}

namespace {

// First byte of each of the generator's 24 drawn ranges.
const unsigned int DRAW_FIRSTS[24] = {19, 23, 26, 30, 39, 41, 45, 50, 53, 54, 57, 63,
                                      68, 72, 76, 79, 82, 84, 86, 88, 90, 92, 110, 128};

class RandomFromSelection : public DesktopTest {
protected:
    // The rows whose programs gave the last random program its drawn ranges.
    std::set<int> SourcesOfLastRandom()
    {
        CProgramList sent;
        std::string error;
        EXPECT_EQ(sent.ReadSyxBytes(Frame().LastRandom(), Frame().LastRandomLength(), error, ""), 1) << error;
        std::set<int> rows;
        if (sent.GetSize() != 1)
            return rows;
        for (unsigned int first : DRAW_FIRSTS) {
            for (int row = 0; row < Frame().Programs().GetSize(); ++row)
                if (Frame().Programs().GetAt(row)->GetData()[first] == sent.GetAt(0)->GetData()[first])
                    rows.insert(row);
        }
        return rows;
    }
};

} // namespace

TEST_F(RandomFromSelection, EnabledWithMidiOnAndTwoOrMoreRowsSelected)
{
    Open({WriteBank("Bank.syx", "P")});
    SelectRows({1, 4});
    EXPECT_FALSE(Frame().Action(ID_PROGRAM_RANDOM_SELECTION)->isEnabled());   // MIDI off
    OpenMidi();
    EXPECT_TRUE(Frame().Action(ID_PROGRAM_RANDOM_SELECTION)->isEnabled());
    SelectRows({4});
    EXPECT_FALSE(Frame().Action(ID_PROGRAM_RANDOM_SELECTION)->isEnabled());
    SelectRows({4, 5, 6});
    EXPECT_TRUE(Frame().Action(ID_PROGRAM_RANDOM_SELECTION)->isEnabled());
    EXPECT_TRUE(Frame().Action(ID_PROGRAM_RANDOM)->isEnabled());
}

TEST_F(RandomFromSelection, DrawsOnlyAmongTheSelectedRowsAndSendsLikeRandom)
{
    Open({WriteBank("Bank.syx", "P")});
    OpenMidi();
    SelectRows({9, 2, 6});

    std::set<int> used;
    for (int run = 0; run < 20; ++run) {
        Trigger(ID_PROGRAM_RANDOM_SELECTION);
        const std::set<int> sources = SourcesOfLastRandom();
        used.insert(sources.begin(), sources.end());
    }
    EXPECT_EQ(used, (std::set<int>{2, 6, 9}));

    const auto messages = fixture.midi.GetMessages();
    ASSERT_EQ(messages.size(), 20u);
    std::vector<unsigned char> kept(Frame().LastRandom(), Frame().LastRandom() + Frame().LastRandomLength());
    EXPECT_EQ(kept, messages.back());   // channel "01": the kept copy equals what was sent
    EXPECT_TRUE(Frame().Action(ID_FILE_SAVE_LAST_RANDOM)->isEnabled());
}

TEST_F(RandomFromSelection, ThePlaceholderRuleFollowsTheSelectionsGridOrder)
{
    Open({WriteOne("1.syx", "Lead", 1), WriteOne("2.syx", "Init Sound", 2), WriteOne("3.syx", "Pad", 3),
          WriteOne("4.syx", "Bass", 4)});
    OpenMidi();

    SelectRows({3, 2});   // neither is a placeholder: both are sources
    std::set<int> used;
    for (int run = 0; run < 10; ++run) {
        Trigger(ID_PROGRAM_RANDOM_SELECTION);
        const std::set<int> sources = SourcesOfLastRandom();
        used.insert(sources.begin(), sources.end());
    }
    EXPECT_EQ(used, (std::set<int>{2, 3}));

    SelectRows({0, 1, 2});   // the scan stops at "Init Sound": only the first is a source
    for (int run = 0; run < 5; ++run) {
        Trigger(ID_PROGRAM_RANDOM_SELECTION);
        EXPECT_EQ(SourcesOfLastRandom(), std::set<int>{0});
    }
}

TEST_F(RandomFromSelection, RandomItselfStillDrawsFromTheWholeListWhateverIsSelected)
{
    Open({WriteOne("1.syx", "Lead", 1), WriteOne("2.syx", "Pad", 2), WriteOne("3.syx", "Bass", 3),
          WriteOne("4.syx", "Empty", 4), WriteOne("5.syx", "Keys", 5)});
    OpenMidi();
    SelectRows({0, 4});
    std::set<int> used;
    for (int run = 0; run < 30; ++run) {
        Trigger(ID_PROGRAM_RANDOM);
        const std::set<int> sources = SourcesOfLastRandom();
        used.insert(sources.begin(), sources.end());
    }
    EXPECT_EQ(used, (std::set<int>{0, 1, 2}));   // up to the placeholder, as ever
}

TEST_F(RandomFromSelection, NewCommandsSitInTheirMenus)
{
    const QList<QAction*> menus = Frame().menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    QStringList file, program;
    for (QAction* menu : menus) {
        for (QAction* action : menu->menu()->actions()) {
            if (menu->text() == "&File")
                file.append(action->text());
            else if (menu->text() == "&Program" && program.size() < 5)
                program.append(action->text());
        }
    }
    EXPECT_EQ(file.mid(0, 5), (QStringList{"O&pen Syx File(s)...\tCtrl+O", "&Save Last Random...", "", "Recent &Files", ""}));
    EXPECT_EQ(file.last(), "E&xit");
    EXPECT_EQ(program, (QStringList{"&Find...\tCtrl+F", "Mark &Duplicates", "&Audition\tCtrl+A", "&Random\tCtrl+R",
                                    "Random from &Selection"}));
    EXPECT_EQ(Frame().Action(ID_PROGRAM_MARK_DUPLICATES)->statusTip(),
              "Mark the programs whose sound another program repeats");
}
