// The Collection view on a real database: searching and filtering, its keys, renaming in
// place, sorting, and following what another connection (veltrix-cli) changes.

#include "CollectionTestSupport.h"
#include "SqliteDb.h"
#include "collection/CollectionModel.h"
#include "collection/CollectionTable.h"
#include "collection/CollectionView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <set>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {

const std::vector<std::string> PADS = {"Light Pad", "Motion Pad", "Reactor Pad", "Royal Pad",
                                       "Silk Pad",  "Stairs Pad", "Stream Pad",  "Sweep Pad"};

class CollectionViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.filter);
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
        for (const char* text : {"pad", "S", "b", ""}) {
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
    auto* hint = view.findChild<QLabel*>("collectionHint");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains("empty"));

    view.SetCollection(nullptr, "The Collection cannot be used: the disk is full.");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_FALSE(view.Table()->isVisible());
    EXPECT_EQ(hint->text(), "The Collection cannot be used: the disk is full.");
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
    view.SearchField()->setText("gl");
    ASSERT_GE(told.count(), 1);
    EXPECT_TRUE(told.last().at(0).toString().startsWith("Cannot read the Collection: ")) << told.last().at(0).toString().toStdString();
}
