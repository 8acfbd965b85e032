// The Collection view on a real database: searching and filtering, its keys, renaming in
// place, sorting, and following what another connection (veltrix-cli) changes.

#include "CollectionTestSupport.h"
#include "SqliteDb.h"
#include "collection/CollectionModel.h"
#include "collection/CollectionReader.h"
#include "collection/CollectionTable.h"
#include "collection/CollectionView.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QPointer>
#include <QToolButton>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <set>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <functional>
#include <thread>

namespace {

const std::vector<std::string> PADS = {"Light Pad", "Motion Pad", "Reactor Pad", "Royal Pad",
                                       "Silk Pad",  "Stairs Pad", "Stream Pad",  "Sweep Pad"};

class CollectionViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_REAL_DUMPS();
        bankSource = db.Import("ms2000-bank-0x4C.syx");
        view.resize(700, 400);
    }

    // Shows the view as the window does, with the focus where it puts it.
    void Show()
    {
        view.SetCollection(&db.Db());
        view.show();
        QApplication::setActiveWindow(&view);
        QApplication::processEvents();
    }

    void ChooseFilter(const QString& label)
    {
        const int index = view.FilterBox()->findText(label);
        ASSERT_GE(index, 0) << label.toStdString();
        view.FilterBox()->setCurrentIndex(index);
        emit view.FilterBox()->activated(index);
    }

    void ChooseMode(const QString& mode)
    {
        const int index = view.ModeBox()->findText(mode);
        ASSERT_GE(index, 0) << mode.toStdString();
        view.ModeBox()->setCurrentIndex(index);
        emit view.ModeBox()->activated(index);
    }

    void Mark(const std::string& name, bool favourite, bool hidden, const char* tag)
    {
        std::string error;
        const CollectionId id = db.IdOf(name);
        ASSERT_NE(id, 0) << name;
        if (favourite) {
            ASSERT_TRUE(db.Db().SetFavourite(id, true, error)) << error;
        }
        if (hidden) {
            ASSERT_TRUE(db.Db().SetHidden(id, true, error)) << error;
        }
        if (tag != nullptr) {
            ASSERT_TRUE(db.Db().AddTag(id, tag, error)) << error;
        }
    }

    CTestCollection db;
    CollectionId bankSource = 0;
    CCollectionView view;
};

TEST_F(CollectionViewTest, SearchTextAndEachFilterPickTheirPrograms)
{
    db.Import("mk-current-A11-0x40.syx");
    Mark("Silk Pad", true, false, "warm");
    Mark("Sub Bass", true, false, "warm");
    Mark("Thunder", false, true, nullptr);
    Mark("Royal Pad", false, false, "Warm");
    std::string error;
    ASSERT_TRUE(db.Db().SaveList("Live set", {db.IdOf("Glass"), db.IdOf("Loomy")}, error)) << error;
    Show();

    const std::vector<CollectionId> bankPrograms = db.Db().SourcePrograms(bankSource);
    const std::size_t distinctInBank = std::set<CollectionId>(bankPrograms.begin(), bankPrograms.end()).size();

    struct Case {
        const char* text;
        const char* filter;
        std::vector<std::string> names;   // empty: only the count below is checked
        std::size_t count;
        const char* mode = "Any Mode";
    };
    const Case cases[] = {
        {"pad", "All", PADS, 8},
        {"PAD", "All", PADS, 8},
        {"", "Favourites", {"Silk Pad", "Sub Bass"}, 2},
        {"bass", "Favourites", {"Sub Bass"}, 1},
        {"", "Hidden", {"Thunder"}, 1},
        {"thunder", "All", {}, 0},
        {"", "Tag: warm", {"Royal Pad", "Silk Pad", "Sub Bass"}, 3},
        {"pad", "Tag: warm", {"Royal Pad", "Silk Pad"}, 2},
        {"", "List: Live set", {"Glass", "Loomy"}, 2},
        // The hidden program is left out of its source too.
        {"", "File: ms2000-bank-0x4C.syx", {}, distinctInBank - 1},
        {"", "File: mk-current-A11-0x40.syx", {}, 1},
        {"no such name", "All", {}, 0},
        // The voice mode narrows every filter; a source's slots stay in slot order.
        {"", "All", {"Bass&5thLead", "Past Mind", "Retro BD/SD", "Telephone"}, 4, "Split"},
        {"", "File: ms2000-bank-0x4C.syx", {"Retro BD/SD", "Telephone", "Past Mind", "Bass&5thLead"}, 4, "Split"},
        {"vocoder", "All", {"Vocoder Cho", "Vocoder Ens", "Vocoder Wah", "VocoderPulse"}, 4, "Vocoder"},
        {"pad", "All", {"Stairs Pad"}, 1, "Dual"},
        {"", "Favourites", {}, 0, "Dual"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.filter + " / " + c.mode);
        ChooseMode(c.mode);
        ChooseFilter(c.filter);
        view.SearchField()->setText(c.text);
        EXPECT_EQ(static_cast<std::size_t>(view.Model()->rowCount()), c.count);
        if (!c.names.empty()) {
            EXPECT_EQ(ShownNames(view), c.names);
        }
    }
}

TEST_F(CollectionViewTest, KeysSearchFieldFirstDownToTheTableEnterAuditionsF2Renames)
{
    Show();
    EXPECT_EQ(QApplication::focusWidget(), view.SearchField());
    QTest::keyClicks(view.SearchField(), "silk");
    ASSERT_EQ(ShownNames(view), std::vector<std::string>{"Silk Pad"});

    QTest::keyClick(view.SearchField(), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), view.Table());
    EXPECT_EQ(view.SelectedIds(), std::vector<CollectionId>{db.IdOf("Silk Pad")});

    QSignalSpy audition(&view, &CCollectionView::auditionRequested);
    QTest::keyClick(view.Table(), Qt::Key_Return);
    EXPECT_EQ(audition.count(), 1);

    // F2 edits the name where it is; Return writes it to the database at once.
    const CollectionId id = db.IdOf("Silk Pad");
    QTest::keyClick(view.Table(), Qt::Key_F2);
    auto* editor = view.Table()->findChild<QLineEdit*>("nameEditor");
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "Satin Pad 2026 too long");   // the editor stops at 12
    EXPECT_EQ(editor->text(), "Satin Pad 20");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();

    CCollectionProgram program;
    ASSERT_TRUE(db.OpenAgain()->GetProgram(id, program));
    EXPECT_EQ(program.shownName, "Satin Pad 20");
    CollectionProgramData data;
    ASSERT_TRUE(db.Db().ProgramData(id, data));
    EXPECT_EQ(std::string(data.begin(), data.begin() + 12), "Satin Pad 20");
    EXPECT_EQ(audition.count(), 1);   // the Return that confirmed did not audition
}

TEST_F(CollectionViewTest, ARenameTheDatabaseRefusesIsToldAndNotShown)
{
    Show();
    const int row = view.Model()->RowOf(db.IdOf("Glass"));
    QSignalSpy told(&view, &CCollectionView::statusMessage);
    for (const char* name : {"", "Bad\tname", "Ümlaut"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(view.Model()->setData(view.Model()->index(row, CCollectionModel::NAME), QString(name), Qt::EditRole));
        EXPECT_EQ(view.Model()->Program(row)->shownName, "Glass");
    }
    EXPECT_EQ(told.count(), 3);
}

TEST_F(CollectionViewTest, FollowsWhatAnotherConnectionChanges)
{
    Show();
    auto cli = db.OpenAgain();
    std::string error;
    const CollectionId id = db.IdOf("Glass");

    // Changes seen when the search changes...
    ASSERT_TRUE(cli->Rename(id, "Crystal", error)) << error;
    view.SearchField()->setText("crys");
    EXPECT_EQ(ShownNames(view), std::vector<std::string>{"Crystal"});

    // ...when the view is shown again...
    view.hide();
    ASSERT_TRUE(cli->SetFavourite(id, true, error)) << error;
    ASSERT_TRUE(cli->AddTag(id, "shiny", error)) << error;
    view.show();
    QApplication::processEvents();   // the view looks once the show is over
    ASSERT_EQ(view.Model()->rowCount(), 1);
    EXPECT_TRUE(view.Model()->Program(0)->favourite);
    EXPECT_GE(view.FilterBox()->findText("Tag: shiny"), 0);

    // ...and on the light timer while it is visible.
    view.SetPollInterval(20);
    ASSERT_TRUE(cli->Rename(id, "Crystalline", error)) << error;
    QTRY_COMPARE(ShownNames(view), std::vector<std::string>{"Crystalline"});
}

TEST_F(CollectionViewTest, SortingByAColumnKeepsTheSelectedPrograms)
{
    Show();
    view.SearchField()->setText("pad");
    const std::vector<CollectionId> chosen = {db.IdOf("Royal Pad"), db.IdOf("Stairs Pad")};
    view.SelectIds(chosen);

    view.Table()->sortByColumn(CCollectionModel::MODE, Qt::AscendingOrder);
    // Stairs Pad is the one Dual among Single pads: it goes last; ties stay in name order.
    EXPECT_EQ(ShownNames(view).back(), "Stairs Pad");
    std::vector<CollectionId> selected = view.SelectedIds();
    std::sort(selected.begin(), selected.end());
    std::vector<CollectionId> expected = chosen;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(selected, expected);

    // The order holds over a new search.
    view.SearchField()->setText("pa");
    EXPECT_EQ(ShownNames(view).back(), "Stairs Pad");
    view.Table()->sortByColumn(CCollectionModel::NAME, Qt::DescendingOrder);
    EXPECT_EQ(ShownNames(view).front(), "Sweep Pad");
}

// The text narrows the rows in memory: in any column's order, the rows of a text are those
// of the empty field whose programs have a name holding it, in the same order.
TEST_F(CollectionViewTest, TheSearchTextNarrowsTheRowsInTheChosenOrder)
{
    Show();
    const auto shownIds = [this] {
        std::vector<CollectionId> ids;
        for (int row = 0; row < view.Model()->rowCount(); ++row)
            ids.push_back(view.Model()->Program(row)->id);
        return ids;
    };
    const struct {
        int column;
        Qt::SortOrder order;
    } sorts[] = {
        {CCollectionModel::MODE, Qt::AscendingOrder},
        {CCollectionModel::NAME, Qt::DescendingOrder},
        {CCollectionModel::FIRST_SEEN, Qt::DescendingOrder},
        {CCollectionModel::NAME, Qt::AscendingOrder},
    };
    for (const auto& sort : sorts) {
        SCOPED_TRACE(sort.column * 10 + sort.order);
        view.SearchField()->clear();
        view.Table()->sortByColumn(sort.column, sort.order);
        const std::vector<CollectionId> all = shownIds();
        ASSERT_GT(all.size(), 100u);
        // Typed on (a text that grew looks only at the rows shown, letter case ignored) and
        // taken back.
        for (const char* text : {"pad", "S", "b", "", "r", "ro", "ROY", "roya", "oya", "s", "st", "St", "Str", "S", ""}) {
            SCOPED_TRACE(text);
            const std::vector<CollectionId> named = db.Db().ProgramsNamed(text);
            std::vector<CollectionId> expected;
            for (CollectionId id : all)
                if (text[0] == 0 || std::binary_search(named.begin(), named.end(), id))
                    expected.push_back(id);
            view.SearchField()->setText(text);
            EXPECT_EQ(shownIds(), expected);
        }
        // A sort while narrowed keeps the narrowing.
        view.SearchField()->setText("pad");
        view.Table()->sortByColumn(CCollectionModel::TAGS, Qt::AscendingOrder);
        EXPECT_EQ(view.Model()->rowCount(), static_cast<int>(PADS.size()));
    }
}

TEST_F(CollectionViewTest, AnEmptyOrMissingCollectionSaysSo)
{
    CTestCollection empty;
    view.SetCollection(&empty.Db());
    view.show();
    QApplication::processEvents();
    auto* hint = view.findChild<QLabel*>("collectionHint");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains("empty"));

    view.SetCollection(nullptr, "The Collection cannot be used: the disk is full.");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_FALSE(view.Table()->isVisible());
    EXPECT_EQ(hint->text(), "The Collection cannot be used: the disk is full.");
}

// A source or a list is shown as the bank it holds: every slot a row, in slot order, the
// slot first; a program without a name says where it was first seen.
TEST_F(CollectionViewTest, ASourceOrListShowsEverySlotInSlotOrderAndNamelessProgramsTheirPlace)
{
    const CollectionId blankSource = db.Import("mk-programs-0x4C.syx");
    std::string error;
    const CollectionId glass = db.IdOf("Glass");
    ASSERT_TRUE(db.Db().SaveList("Twice", {glass, db.IdOf("Loomy"), glass}, error)) << error;
    Show();
    QHeaderView* header = view.Table()->horizontalHeader();
    const auto text = [this](int row, int column) {
        return view.Model()->data(view.Model()->index(row, column), Qt::DisplayRole).toString();
    };
    const struct {
        const char* filter;
        bool bySlot;
        int rows;
        const char* firstSlot;
        const char* firstName;
        const char* lastSlot;
    } cases[] = {
        {"File: ms2000-bank-0x4C.syx", true, 128, "A 001", "Stab Saw", "H 016"},
        {"File: mk-programs-0x4C.syx", true, 128, "A 001", "(no name) in mk-programs-0x4C.syx, A 001", "H 016"},
        {"List: Twice", true, 3, "A 001", "Glass", "A 003"},
        {"All", false, 256, "", "(no name) in mk-programs-0x4C.syx, A 001", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        ChooseFilter(c.filter);
        EXPECT_EQ(!header->isSectionHidden(CCollectionModel::SLOT), c.bySlot);
        ASSERT_EQ(view.Model()->rowCount(), c.rows);
        EXPECT_EQ(text(0, CCollectionModel::NAME), c.firstName);
        EXPECT_EQ(text(0, CCollectionModel::SLOT), c.firstSlot);
        EXPECT_EQ(text(c.rows - 1, CCollectionModel::SLOT), c.lastSlot);
        if (c.bySlot) {
            EXPECT_EQ(header->visualIndex(CCollectionModel::SLOT), 0);
            EXPECT_EQ(view.findChild<QLabel*>("collectionCount")->text(), QString("%1 slots").arg(c.rows));
        }
    }
    // The same sound in two slots of the list is a row in each.
    ChooseFilter("List: Twice");
    EXPECT_EQ(ShownNames(view), (std::vector<std::string>{"Glass", "Loomy", "Glass"}));
    ChooseFilter("All");
    const CollectionId sixth = db.Db().SourcePrograms(blankSource)[5];
    EXPECT_EQ(text(view.Model()->RowOf(sixth), CCollectionModel::NAME), "(no name) in mk-programs-0x4C.syx, A 006");
}

TEST_F(CollectionViewTest, TheNameEditorTakesOnlyWhatTheSynthesizerCanShowAndSaysWhy)
{
    Show();
    view.SearchField()->setText("glass");
    QSignalSpy notes(&view, &CCollectionView::statusMessage);
    const struct {
        const char* what;
        QString input;
        bool pasted;
        QString left;
        std::vector<QString> told;   // each must be in one of the notes
    } cases[] = {
        {"typed, a letter it cannot show and too many", "Über Bass Long Name", false, "ber Bass Lon",
         {"The synthesizer cannot show \"Ü\"", "letters A-Z and a-z, digits, the space and !",
          "holds at most 12 characters", "Name: 12 of 12 characters"}},
        {"pasted, a letter it cannot show", "Über", true, "", {"The synthesizer cannot show \"Ü\""}},
        {"pasted, too long", "Thirteen char", true, "", {"holds at most 12 characters"}},
        {"typed, what fits", "Glass 2", false, "Glass 2", {"Name: 7 of 12 characters"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        view.Table()->setFocus();
        view.Table()->setCurrentIndex(view.Model()->index(0, 0));
        QTest::keyClick(view.Table(), Qt::Key_F2);
        auto* editor = view.Table()->findChild<QLineEdit*>("nameEditor");
        ASSERT_NE(editor, nullptr);
        editor->clear();
        notes.clear();
        if (c.pasted)
            editor->insert(c.input);
        else
            QTest::keyClicks(editor, c.input);
        EXPECT_EQ(editor->text(), c.left);
        QStringList said;
        for (const QList<QVariant>& note : notes)
            said << note.at(0).toString();
        for (const QString& text : c.told)
            EXPECT_TRUE(said.join('\n').contains(text)) << text.toStdString() << " not in " << said.join('\n').toStdString();
        QTest::keyClick(editor, Qt::Key_Escape);
        QApplication::processEvents();
    }
    EXPECT_EQ(ShownNames(view), std::vector<std::string>{"Glass"});
}

// While a name is typed, a change that another process made waits: the editor and what was
// typed stay, the new name is stored, and the change shows once the editor is done.
TEST_F(CollectionViewTest, ANameBeingTypedSurvivesAChangeFromAnotherProcess)
{
    view.SetCollection(&db.Db(), QString(), db.Path());   // reads on a thread, as in the window
    view.show();
    QApplication::setActiveWindow(&view);
    QApplication::processEvents();
    view.SearchField()->setText("glass");
    view.WaitForReads();
    ASSERT_EQ(ShownNames(view), std::vector<std::string>{"Glass"});
    const CollectionId id = db.IdOf("Glass");

    QTest::keyClick(view.SearchField(), Qt::Key_Down);
    QTest::keyClick(view.Table(), Qt::Key_F2);
    QPointer<QLineEdit> editor = view.Table()->findChild<QLineEdit*>("nameEditor");
    ASSERT_FALSE(editor.isNull());
    editor->selectAll();
    QTest::keyClicks(editor, "Crys");

    std::string error;
    ASSERT_TRUE(db.OpenAgain()->SetFavourite(id, true, error)) << error;
    view.CheckForChanges();   // as its timer does
    view.WaitForReads();
    QApplication::processEvents();
    ASSERT_FALSE(editor.isNull());
    EXPECT_EQ(editor->text(), "Crys");

    QTest::keyClicks(editor, "tal");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();   // the editor commits and closes
    view.WaitForReads();
    CCollectionProgram program;
    ASSERT_TRUE(db.OpenAgain()->GetProgram(id, program));
    EXPECT_EQ(program.shownName, "Crystal");
    ASSERT_EQ(view.Model()->rowCount(), 1);
    EXPECT_EQ(view.Model()->Program(0)->shownName, "Crystal");
    EXPECT_TRUE(view.Model()->Program(0)->favourite);   // the change that waited
}

TEST_F(CollectionViewTest, TheControlsHaveNamesAndEachRowTellsItsMarks)
{
    Mark("Silk Pad", true, false, nullptr);
    Mark("Thunder", true, true, nullptr);
    Show();
    // A list box is named by the label it is the buddy of; the others by their own name.
    const auto name = [](QObject* object) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
        if (accessible == nullptr)
            return QString();
        if (qobject_cast<QComboBox*>(object) != nullptr) {
            const auto labels = accessible->relations(QAccessible::Label);
            return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
        }
        return accessible->text(QAccessible::Name);
    };
    QToolButton* clear = view.SearchField()->findChild<QToolButton*>();
    ASSERT_NE(clear, nullptr);
    const std::pair<QObject*, QString> controls[] = {
        {view.Table(), "Collection programs"},
        {view.SearchField(), "Search the Collection's names"},
        {clear, "Clear the search"},
        {view.FilterBox(), "Show"},
        {view.ModeBox(), "Mode"},
    };
    for (const auto& [control, expected] : controls)
        EXPECT_EQ(name(control), expected) << control->objectName().toStdString();

    const struct {
        const char* filter;
        const char* program;
        QString marks;
    } rows[] = {
        {"All", "Silk Pad", "favourite"},
        {"All", "Glass", ""},
        {"Hidden", "Thunder", "favourite, hidden"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.program);
        ChooseFilter(row.filter);
        QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(view.Table())->tableInterface();
        ASSERT_NE(table, nullptr);
        const int at = view.Model()->RowOf(db.IdOf(row.program) != 0 ? db.IdOf(row.program) : view.Model()->Program(0)->id);
        ASSERT_GE(at, 0);
        for (int column : {int(CCollectionModel::NAME), int(CCollectionModel::TAGS)}) {
            QAccessibleInterface* cell = table->cellAt(at, column);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->text(QAccessible::Description), row.marks);
        }
    }
}

// A mark, a tag or a name given in the view changes that row where it is: no rows read
// again, no reset, and the view's own change is not taken for one from elsewhere.
TEST_F(CollectionViewTest, WhatTheViewChangesChangesItsRowsAndNothingIsReadAgain)
{
    Show();
    view.SearchField()->setText("pad");
    const CollectionId silk = db.IdOf("Silk Pad");
    const auto program = [this, silk] { return *view.Model()->Program(view.Model()->RowOf(silk)); };
    struct Case {
        const char* what;
        std::function<bool()> change;
        std::function<bool(const CCollectionRow&)> shown;
        int rowsAfter;
    };
    const Case cases[] = {
        {"favourite", [&] { return view.SetFavourite({program()}, true); },
         [](const CCollectionRow& row) { return row.favourite; }, 8},
        {"tags", [&] { return view.ChangeTags({program()}, {"warm"}, {}); },
         [](const CCollectionRow& row) { return row.tags == std::vector<std::string>{"warm"}; }, 8},
        {"rename", [&] { std::string error; return view.Rename(silk, "Satin Pad", error); },
         [](const CCollectionRow& row) { return row.shownName == "Satin Pad"; }, 8},
        {"hide", [&] { return view.SetHidden({program()}, true); }, nullptr, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QSignalSpy resets(view.Model(), &QAbstractItemModel::modelReset);
        QSignalSpy changed(view.Model(), &QAbstractItemModel::dataChanged);
        ASSERT_TRUE(c.change());
        EXPECT_EQ(resets.count(), 0);
        EXPECT_EQ(view.Model()->rowCount(), c.rowsAfter);
        if (c.shown) {
            ASSERT_EQ(changed.count(), 1);
            const QModelIndex first = changed.at(0).at(0).toModelIndex();
            const QModelIndex last = changed.at(0).at(1).toModelIndex();
            EXPECT_EQ(first.row(), view.Model()->RowOf(silk));
            EXPECT_EQ(last.row(), first.row());
            EXPECT_TRUE(c.shown(program()));
        } else {
            EXPECT_EQ(view.Model()->RowOf(silk), -1);
        }
        EXPECT_FALSE(view.CheckForChanges());
    }
    // Another connection's change is one.
    std::string error;
    ASSERT_TRUE(db.OpenAgain()->SetFavourite(db.IdOf("Royal Pad"), true, error)) << error;
    EXPECT_TRUE(view.CheckForChanges());
}

// What another process takes in is read off the window's thread; the table keeps its rows
// meanwhile, and afterwards the rows in sight and the selection are where they were.
TEST_F(CollectionViewTest, ChangesFromElsewhereNeitherEmptyTheTableNorMoveWhatIsInSight)
{
    view.SetCollection(&db.Db(), QString(), db.Path());
    view.resize(700, 300);
    view.show();
    QApplication::processEvents();
    view.WaitForReads();
    ASSERT_EQ(view.Model()->rowCount(), 128);
    view.Table()->scrollTo(view.Model()->index(60, 0), QAbstractItemView::PositionAtTop);
    QApplication::processEvents();
    const CollectionId top = view.Model()->Program(view.Table()->rowAt(0))->id;
    const std::vector<CollectionId> selected = {view.Model()->Program(view.Table()->rowAt(0) + 2)->id};
    view.SelectIds(selected);
    QApplication::processEvents();
    ASSERT_EQ(view.Model()->Program(view.Table()->rowAt(0))->id, top);
    QSignalSpy resets(view.Model(), &QAbstractItemModel::modelReset);

    // 128 programs without a name: all sorted before the rows in sight.
    CImportResult result;
    std::string error;
    ASSERT_TRUE(db.OpenAgain()->ImportFile(RealDump("mk-programs-0x4C.syx").toStdString(), result, error)) << error;
    ASSERT_TRUE(view.CheckForChanges());
    EXPECT_EQ(view.Model()->rowCount(), 128);   // the old rows, until the new ones are read
    view.WaitForReads();
    EXPECT_EQ(view.Model()->rowCount(), 256);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(view.Model()->Program(view.Table()->rowAt(0))->id, top);
    EXPECT_EQ(view.SelectedIds(), selected);
}

// Once its rows are read, the view follows the Collection's change log: a change elsewhere
// reads the rows of the programs it touched, and changes those rows where they are (or moves
// them, or puts them in) without reading the others.
TEST_F(CollectionViewTest, ChangesFromElsewhereAreReadByWhatChanged)
{
    view.SetCollection(&db.Db(), QString(), db.Path());
    view.show();
    QApplication::processEvents();
    view.WaitForReads();
    ASSERT_EQ(view.Model()->rowCount(), 128);
    auto cli = db.OpenAgain();
    const CollectionId glass = db.IdOf("Glass");
    struct Case {
        const char* what;
        std::function<bool(std::string&)> change;
        int rows;        // rows afterwards
        int changed;     // rows changed where they are
        int layouts;     // moves (0: none)
        std::function<bool()> shown;
    };
    const Case cases[] = {
        {"a favourite", [&](std::string& e) { return cli->SetFavourite(glass, true, e); }, 128, 1, 0,
         [&] { return view.Model()->Program(view.Model()->RowOf(glass))->favourite; }},
        {"a tag", [&](std::string& e) { return cli->AddTag(glass, "shiny", e); }, 128, 1, 0,
         [&] { return view.FilterBox()->findText("Tag: shiny") >= 0; }},
        {"a rename", [&](std::string& e) { return cli->Rename(glass, "Zzz Glass", e); }, 128, 0, 1,
         [&] { return ShownNames(view).back() == "Zzz Glass"; }},
        {"a hide", [&](std::string& e) { return cli->SetHidden(glass, true, e); }, 127, 0, 1,
         [&] { return view.Model()->RowOf(glass) == -1; }},
        {"a file taken in", [&](std::string& e) {
             CImportResult result;
             return cli->ImportFile(RealDump("mk-current-A11-0x40.syx").toStdString(), result, e);
         }, 128, 0, 1, [&] { return view.FilterBox()->findText("File: mk-current-A11-0x40.syx") >= 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QSignalSpy resets(view.Model(), &QAbstractItemModel::modelReset);
        QSignalSpy layouts(view.Model(), &QAbstractItemModel::layoutChanged);
        QSignalSpy changed(view.Model(), &QAbstractItemModel::dataChanged);
        std::string error;
        ASSERT_TRUE(c.change(error)) << error;
        ASSERT_TRUE(view.CheckForChanges());
        view.WaitForReads();
        EXPECT_EQ(view.Model()->rowCount(), c.rows);
        EXPECT_EQ(resets.count(), 0);
        EXPECT_EQ(layouts.count(), c.layouts);
        int changedRows = 0;
        for (const QList<QVariant>& signal : changed)
            if (signal.at(1).toModelIndex().column() == CCollectionModel::COLUMN_COUNT - 1)   // whole rows
                changedRows += signal.at(1).toModelIndex().row() - signal.at(0).toModelIndex().row() + 1;
        EXPECT_EQ(changedRows, c.changed);
        EXPECT_TRUE(c.shown());
    }
    // The sources added went in where a fresh list puts them, the separator still after the
    // three fixed filters.
    QStringList expected;
    for (const CCollectionFilter& filter : CollectionFilters(db.Db()))
        expected << filter.label;
    expected.insert(3, QString());
    QStringList shown;
    for (int i = 0; i < view.FilterBox()->count(); ++i)
        shown << view.FilterBox()->itemText(i);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(view.FilterBox()->itemData(3, Qt::AccessibleDescriptionRole).toString(), "separator");
}

// Reading apart, the view shows the rows in sight first and the rest after them; whatever is
// typed or chosen before they come, the rows at the end are those of the text and filter
// chosen last, and the count says so.
TEST_F(CollectionViewTest, WhatIsTypedOrChosenWhileTheRowsAreReadGivesItsRows)
{
    Mark("Silk Pad", true, false, nullptr);
    Mark("Sub Bass", true, false, nullptr);
    struct Case {
        const char* what;
        std::function<void()> meanwhile;   // before any read is shown
        std::vector<std::string> names;    // empty: every program
    };
    const Case cases[] = {
        {"nothing", [] {}, {}},
        {"a search", [&] { view.SearchField()->setText("pad"); }, PADS},
        {"a filter", [&] { ChooseFilter("Favourites"); }, {"Silk Pad", "Sub Bass"}},
        {"a filter and a search", [&] {
             ChooseFilter("Favourites");
             view.SearchField()->setText("bass");
         }, {"Sub Bass"}},
        // The rows of All are read with the text, which is taken back before they come.
        {"a search taken back", [&] {
             view.SearchField()->setText("pad");
             ChooseFilter("All");
             view.SearchField()->setText("");
         }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        view.SearchField()->setText("");
        view.SetCollection(&db.Db(), QString(), db.Path());
        if (!view.isVisible())
            view.show();
        QApplication::processEvents();   // the first read is asked for
        if (view.FilterBox()->count() == 0) {
            view.WaitForReads();   // the filters, to choose from, the first time
            ChooseFilter("All");
        }
        c.meanwhile();
        view.WaitForReads();
        EXPECT_EQ(view.Model()->UnreadRows(), 0);
        if (c.names.empty()) {
            EXPECT_EQ(view.Model()->rowCount(), static_cast<int>(db.Db().SearchRows({}).size()));
        } else {
            EXPECT_EQ(ShownNames(view), c.names);
        }
        const int rows = view.Model()->rowCount();
        EXPECT_EQ(view.findChild<QLabel*>("collectionCount")->text(),
                  rows == 1 ? QString("1 program") : QString("%1 programs").arg(rows));
    }
}

// A mark made in the view after its rows were read apart, but before they are shown, is
// not in them: the view reads what changed since, rather than show the older row.
TEST_F(CollectionViewTest, AMarkMadeWhileTheRowsAreOnTheirWayStaysShown)
{
    view.SetCollection(&db.Db(), QString(), db.Path());
    view.show();
    QApplication::processEvents();   // the first read is asked for
    view.WaitForReads();
    auto rowOf = [&](const std::string& name) {
        for (int row = 0; row < view.Model()->rowCount(); ++row)
            if (view.Model()->Program(row) != nullptr && view.Model()->Program(row)->shownName == name)
                return row;
        return -1;
    };
    const int row = rowOf("Silk Pad");
    ASSERT_GE(row, 0) << view.Model()->rowCount() << " rows";
    const CCollectionRow before = *view.Model()->Program(row);
    ASSERT_FALSE(before.favourite);

    view.Refresh();
    CCollectionReader* reader = view.findChild<CCollectionReader*>();
    ASSERT_NE(reader, nullptr);
    while (reader->Reading())   // read, and its rows handed over, not shown yet
        std::this_thread::yield();
    ASSERT_TRUE(view.SetFavourite({before}, true));
    view.WaitForReads();

    const int after = rowOf("Silk Pad");
    ASSERT_GE(after, 0);
    EXPECT_TRUE(view.Model()->Program(after)->favourite);
}

}  // namespace

TEST_F(CollectionViewTest, AReadTheDatabaseFailsIsToldNotShownAsNoPrograms)
{
    Show();
    QSignalSpy told(&view, &CCollectionView::statusMessage);
    // Another program takes the programs' table away under the view.
    {
        int code = 0;
        std::string error;
        auto raw = CSqliteDb::Open(db.Path(), code, error);
        ASSERT_TRUE(raw && raw->Exec("ALTER TABLE program RENAME TO gone")) << error;
    }
    // Another filter's rows are read (a change of the text narrows the rows in memory).
    const int shown = view.Model()->rowCount();
    ChooseFilter("Favourites");
    ASSERT_GE(told.count(), 1);
    EXPECT_EQ(view.Model()->rowCount(), shown);   // what was shown stays
    EXPECT_TRUE(told.last().at(0).toString().startsWith("Cannot read the Collection: ")) << told.last().at(0).toString().toStdString();
}
