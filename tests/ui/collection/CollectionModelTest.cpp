// The Collection view's rows in memory: changes merged where they belong without a reset,
// the selection following its rows, and the search text's narrowing for any ids.

#include "collection/CollectionModel.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QSignalSpy>

#include <algorithm>
#include <map>
#include <random>

namespace {

CViewRow Row(CollectionId id, const char* name, int slot = -1, bool favourite = false)
{
    CViewRow row;
    row.program.id = id;
    row.program.shownName = name;
    row.program.favourite = favourite;
    row.slot = slot;
    return row;
}

std::vector<std::string> Names(const CCollectionModel& model)
{
    std::vector<std::string> names;
    for (int row = 0; row < model.rowCount(); ++row)
        names.push_back(model.Program(row)->shownName);
    return names;
}

TEST(CollectionModel, ChangesGoWhereTheOrderPutsThemAndTheSelectionFollowsWithoutAReset)
{
    struct Case {
        const char* what;
        std::vector<CViewRow> rows;
        std::vector<CollectionId> gone;
        std::vector<std::string> names;
        CollectionId current;   // 0: the current row went
        int layouts = 1;        // 0: changed where it is
    };
    const Case cases[] = {
        {"one marked elsewhere", {Row(2, "Choir", -1, true)}, {}, {"Acid", "Choir", "Drum", "Echo"}, 5, 0},
        {"a new program", {Row(9, "Bass")}, {}, {"Acid", "Bass", "Choir", "Drum", "Echo"}, 5},
        {"one renamed elsewhere", {Row(2, "Zither")}, {}, {"Acid", "Drum", "Echo", "Zither"}, 5},
        {"one gone", {}, {4}, {"Acid", "Choir", "Echo"}, 5},
        {"all at once", {Row(9, "Bass"), Row(1, "Flute")}, {5}, {"Bass", "Choir", "Drum", "Flute"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCollectionModel model;
        model.SetRows({Row(1, "Acid"), Row(2, "Choir"), Row(4, "Drum"), Row(5, "Echo")}, false);
        QItemSelectionModel selection(&model);
        selection.select(model.index(model.RowOf(2), 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        selection.setCurrentIndex(model.index(model.RowOf(5), 0), QItemSelectionModel::NoUpdate);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);

        model.Merge(c.rows, c.gone);
        EXPECT_EQ(Names(model), c.names);
        EXPECT_EQ(resets.count(), 0);
        EXPECT_EQ(layouts.count(), c.layouts);
        for (const CViewRow& row : c.rows) {
            if (const int at = model.RowOf(row.program.id); at >= 0) {
                EXPECT_EQ(model.Program(at)->favourite, row.program.favourite);
            }
        }
        ASSERT_EQ(selection.selectedRows().size(), 1);
        EXPECT_EQ(model.Program(selection.selectedRows().front().row())->id, 2);
        const CCollectionRow* current = model.Program(selection.currentIndex().row());
        EXPECT_EQ(current != nullptr ? current->id : 0, c.current);
    }
}

// The table's name order is the Collection's (SQLite's NOCASE: A-Z only made small, bytes
// unsigned, the shorter first, then the id): the rows in sight come in that order from the
// database, the rest are sorted here, and any difference would move rows once all come.
TEST(CollectionModel, NameOrderIsTheCollections)
{
    const char* const names[] = {"zed", "Zed", "ZED 2", "_under", "[bracket", "a", "A1", "\xC9T\xC9",
                                 "\xE9t\xE9", "pad", "PAD", "Pad 1", "", "~"};
    std::vector<CViewRow> rows;
    for (std::size_t i = 0; i < std::size(names); ++i)
        rows.push_back(Row(static_cast<CollectionId>(100 - i), names[i]));
    std::sort(rows.begin(), rows.end(),
              [](const CViewRow& a, const CViewRow& b) { return RowBefore(a, b, CCollectionModel::NAME); });
    std::vector<std::string> got;
    for (const CViewRow& row : rows)
        got.push_back(row.program.shownName + "/" + std::to_string(row.program.id));
    EXPECT_EQ(got, (std::vector<std::string>{"/88", "[bracket/96", "_under/97", "a/95", "A1/94", "PAD/90", "pad/91",
                                              "Pad 1/89", "Zed/99", "zed/100", "ZED 2/98", "~/87", "\xC9T\xC9/93",
                                              "\xE9t\xE9/92"}));
}

// Many merges of random changes into many rows: the rows shown are always those a fresh sort
// of the changed programs that hold the search text gives, and the selection stays on its
// program.
TEST(CollectionModel, MergesOfManyChangesGiveWhatASortOfThemGives)
{
    std::mt19937 random(7);
    const auto name = [&random] {
        std::string text;
        for (int i = 0, n = 1 + static_cast<int>(random() % 6); i < n; ++i)
            text += static_cast<char>("abcAB "[random() % 6]);
        return text;
    };
    struct Program {
        std::string name;
        bool matchesText = true;
    };
    std::map<CollectionId, Program> programs;
    std::vector<CViewRow> rows;
    for (CollectionId id = 1; id <= 300; ++id) {
        programs[id].name = name();
        rows.push_back(Row(id, programs[id].name.c_str()));
    }
    CCollectionModel model;
    std::sort(rows.begin(), rows.end(), [](const CViewRow& a, const CViewRow& b) {
        return RowBefore(a, b, CCollectionModel::NAME);
    });
    model.SetRows(rows, false);
    // Rows no longer kept are handed over to be freed; none is lost or handed over twice.
    std::size_t disposed = 0;
    model.SetDisposer([&disposed](std::vector<CViewRow> old) { disposed += old.capacity() > 0 ? 1 : 0; });
    QItemSelectionModel selection(&model);
    CollectionId nextId = 301;
    int roomUsed = 0;
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const CollectionId chosen = model.Program(static_cast<int>(random() % model.rowCount()))->id;
        selection.select(model.index(model.RowOf(chosen), 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        std::vector<CViewRow> changed;
        std::vector<CollectionId> gone;
        for (int i = 0; i < 12; ++i) {
            const CollectionId id = random() % 3 == 0 ? nextId++ : programs.begin()->first + random() % 400;
            const auto known = programs.find(id);
            // Every third round only changes and new programs: the look stops once all are found.
            if (round % 3 != 0 && id != chosen && known != programs.end() && random() % 4 == 0) {
                gone.push_back(id);
                programs.erase(known);
            } else if ((known != programs.end() || id >= 301) && std::find(gone.begin(), gone.end(), id) == gone.end()) {
                // Every sixth round no program changes its name: each is found where it sorts.
                // A changed program may stop or start holding the search text (its name did).
                const bool keepsName = random() % 2 == 0 || round % 6 == 0;
                Program& program = programs[id];
                program.name = keepsName && known != programs.end() ? known->second.name : name();
                program.matchesText = id == chosen || random() % 4 != 0;
                changed.push_back(Row(id, program.name.c_str(), -1, random() % 2 == 0));
                changed.back().matchesText = program.matchesText;
            }
        }
        // One change a program, as the change log gives them.
        std::map<CollectionId, CViewRow> last;
        for (CViewRow& row : changed)
            last[row.program.id] = row;
        changed.clear();
        for (auto& [id, row] : last)
            if (std::find(gone.begin(), gone.end(), id) == gone.end())
                changed.push_back(row);
        // Every other round with room made apart, as the reading thread makes it: used once the
        // kept rows' memory is full.
        const std::size_t capacity = model.KeptCapacity();
        const std::size_t disposedBefore = disposed;
        std::vector<CViewRow> spare;
        if (round % 2 == 0)
            spare = SpareRowsFor(model.KeptRows(), capacity, changed.size());
        const std::size_t room = spare.capacity();
        model.Merge(changed, gone, std::move(spare));
        // Handed over once: the old memory when the room was used, else the room itself.
        EXPECT_EQ(disposed - disposedBefore, room > 0 ? 1u : 0u);
        if (room > 0 && model.KeptRows() > capacity) {
            EXPECT_EQ(model.KeptCapacity(), room);
            ++roomUsed;
        }

        std::vector<CViewRow> expected;
        for (const auto& [id, program] : programs)
            if (program.matchesText)
                expected.push_back(Row(id, program.name.c_str()));
        std::sort(expected.begin(), expected.end(), [](const CViewRow& a, const CViewRow& b) {
            return RowBefore(a, b, CCollectionModel::NAME);
        });
        ASSERT_EQ(model.rowCount(), static_cast<int>(expected.size()));
        for (int row = 0; row < model.rowCount(); ++row)
            ASSERT_EQ(model.Program(row)->id, expected[static_cast<std::size_t>(row)].program.id) << row;
        ASSERT_EQ(selection.selectedRows().size(), 1);
        EXPECT_EQ(model.Program(selection.selectedRows().front().row())->id, chosen);
    }
    EXPECT_GT(roomUsed, 0);
}

// The first rows come with the count of all: the rows after them are there, blank and
// without a program, until every row comes; those take their places without a reset, the
// selection on a row read first following its program and one on a blank row keeping its row.
TEST(CollectionModel, FirstRowsStandInForAllUntilTheyComeWithoutAReset)
{
    std::vector<CViewRow> all;
    const char* const names[] = {"Acid", "Bass", "Choir", "Drum", "Echo", "Flute", "Gong", "Harp"};
    for (std::size_t i = 0; i < std::size(names); ++i)
        all.push_back(Row(static_cast<CollectionId>(10 - i), names[i]));
    CCollectionModel model;
    model.SetFirstRows({all[0], all[1], all[2]}, all.size());
    EXPECT_EQ(model.rowCount(), 8);
    EXPECT_EQ(model.UnreadRows(), 5);
    EXPECT_EQ(model.Program(2)->shownName, "Choir");
    EXPECT_EQ(model.Program(3), nullptr);
    EXPECT_EQ(model.data(model.index(5, CCollectionModel::NAME), Qt::DisplayRole), QVariant());
    EXPECT_FALSE(model.flags(model.index(5, CCollectionModel::NAME)) & Qt::ItemIsDragEnabled);
    EXPECT_EQ(model.RowOf(all[4].program.id), -1);

    QItemSelectionModel selection(&model);
    selection.select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.setCurrentIndex(model.index(6, 0), QItemSelectionModel::NoUpdate);
    // Sorted meanwhile (the view reads the rest again in that order): the blank row stays.
    model.sort(CCollectionModel::NAME, Qt::DescendingOrder);
    EXPECT_EQ(selection.currentIndex().row(), 6);
    model.sort(CCollectionModel::NAME, Qt::AscendingOrder);

    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    // One more program came meanwhile, sorted first: the rows read first move down by one.
    std::vector<CViewRow> rows = all;
    rows.insert(rows.begin(), Row(20, "Aaa"));
    CRowOrder order = OrderRows(rows, CCollectionModel::NAME, Qt::AscendingOrder, false);
    model.Replace(std::move(rows), std::move(order));
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(model.UnreadRows(), 0);
    EXPECT_EQ(model.rowCount(), 9);
    ASSERT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(model.Program(selection.selectedRows().front().row())->shownName, "Bass");
    EXPECT_EQ(selection.currentIndex().row(), 6);
    EXPECT_EQ(model.Program(6)->shownName, "Flute");
}

TEST(CollectionModel, SlotsAreRowsOfTheirOwnAndAProgramChangesInEachOfThem)
{
    CCollectionModel model;
    model.SetRows({Row(7, "Init", 0), Row(3, "Bass", 1), Row(7, "Init", 2)}, true);
    model.sort(CCollectionModel::SLOT, Qt::AscendingOrder);
    EXPECT_EQ(Names(model), (std::vector<std::string>{"Init", "Bass", "Init"}));
    EXPECT_EQ(model.data(model.index(2, CCollectionModel::SLOT), Qt::DisplayRole).toString(), "A 003");

    EXPECT_TRUE(model.UpdateProgram(*model.Program(0), [](CCollectionRow& row) { row.favourite = true; }));
    EXPECT_TRUE(model.Program(0)->favourite);
    EXPECT_TRUE(model.Program(2)->favourite);
    // Slot 1 holds another sound now; the program in 0 and 2 is gone from the rows.
    model.Replace({Row(8, "Lead", 1)});
    EXPECT_EQ(Names(model), std::vector<std::string>{"Lead"});
    EXPECT_EQ(model.Slot(0), 1);
}

// A program's row is looked for where the order puts it; marks and renames made in place
// leave rows out of that order, and each later change must still reach its own row.
TEST(CollectionModel, ChangesInPlaceReachTheirRowInEveryOrder)
{
    const char* names[] = {"Pad", "bass", "Bass", "Lead", "pad", "Organ", "Arp", "Zap"};
    std::vector<CViewRow> rows;
    for (CollectionId id = 1; id <= 40; ++id) {
        CViewRow row = Row(id, names[id % 8], -1, id % 3 == 0);
        row.program.sourceCount = static_cast<int>(id % 4);
        row.program.firstSeenTime = static_cast<std::int64_t>(id % 5);
        rows.push_back(row);
    }
    std::mt19937 random(27);
    for (int column = 0; column < CCollectionModel::COLUMN_COUNT; ++column)
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            CCollectionModel model;
            model.SetRows(rows, false);
            model.sort(column, order);
            for (int step = 0; step < 60; ++step) {
                const int row = static_cast<int>(random() % static_cast<unsigned>(model.rowCount()));
                const CCollectionRow program = *model.Program(row);
                ASSERT_EQ(model.RowsOf(program).size(), 1u);
                EXPECT_EQ(model.RowsOf(program)[0].program.id, program.id);
                ASSERT_TRUE(model.UpdateProgram(program, [&](CCollectionRow& changed) {
                    changed.favourite = !changed.favourite;
                    changed.shownName = names[random() % 8];
                }));
                EXPECT_NE(model.Program(row)->favourite, program.favourite) << "column " << column << " step " << step;
                for (int other = 0; other < model.rowCount(); ++other)
                    EXPECT_TRUE(other == row || model.Program(other)->id != program.id);
            }
        }
}

TEST(CollectionModel, TheSearchTextNarrowsRowsOfAnyIds)
{
    // An id far above the number of rows (ids are any 64-bit number) costs no table of all ids.
    const CollectionId huge = 1'000'000'000'000;
    CCollectionModel model;
    model.SetRows({Row(2, "Acid"), Row(huge, "Bass"), Row(huge + 1, "Choir")}, false);
    const struct {
        std::vector<CollectionId> named;
        std::vector<std::string> names;
    } cases[] = {
        {{huge}, {"Bass"}},
        {{2, huge + 1}, {"Acid", "Choir"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        model.Narrow(&c.named);
        EXPECT_EQ(Names(model), c.names);
    }
    model.Narrow(nullptr);
    EXPECT_EQ(model.rowCount(), 3);
}

// Typing narrows the rows shown, taking letters back widens them again; a text that grew
// looks only at the rows shown. The rows do not move: no reset, and the selection and the
// current row stay on their programs while they are shown.
TEST(CollectionModel, NarrowingKeepsTheSelectionAndAGrownTextGivesWhatAFullLookGives)
{
    std::vector<CViewRow> rows;
    const char* const names[] = {"Acid", "Bass Pad", "Choir", "Dark Pad", "Echo", "Pad 4", "Pads", "Zap"};
    for (CollectionId id = 1; id <= 8; ++id)
        rows.push_back(Row(id * 10, names[id - 1]));
    CCollectionModel model;
    model.SetRows(rows, false);
    QItemSelectionModel selection(&model);
    const int padFour = model.RowOf(60);
    selection.select(model.index(padFour, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.setCurrentIndex(model.index(padFour, 0), QItemSelectionModel::NoUpdate);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    const struct {
        std::vector<CollectionId> named;   // what the name search gives
        bool grew;
        std::vector<std::string> shown;
    } steps[] = {
        {{20, 40, 60, 70, 80}, false, {"Bass Pad", "Dark Pad", "Pad 4", "Pads", "Zap"}},   // "pa"
        {{20, 40, 60, 70}, true, {"Bass Pad", "Dark Pad", "Pad 4", "Pads"}},               // "pad"
        {{60, 70}, true, {"Pad 4", "Pads"}},                                                // "pad "
        {{60}, true, {"Pad 4"}},                                                            // "pad 4"
        {{20, 40, 60, 70}, false, {"Bass Pad", "Dark Pad", "Pad 4", "Pads"}},               // "pad"
    };
    for (const auto& step : steps) {
        model.Narrow(&step.named, step.grew);
        EXPECT_EQ(Names(model), step.shown);
        ASSERT_EQ(selection.selectedRows().size(), 1);
        EXPECT_EQ(model.Program(selection.selectedRows().front().row())->id, 60);
        EXPECT_EQ(model.Program(selection.currentIndex().row())->id, 60);
    }
    // The same steps with every row looked at give the same rows.
    CCollectionModel fresh;
    fresh.SetRows(rows, false);
    for (const auto& step : steps) {
        fresh.Narrow(&step.named);
        EXPECT_EQ(Names(fresh), step.shown);
    }
    model.Narrow(nullptr);
    EXPECT_EQ(model.rowCount(), 8);
    EXPECT_EQ(model.Program(selection.currentIndex().row())->id, 60);
    // A row narrowed out loses its selection, as it is not in sight to act on.
    const std::vector<CollectionId> acid = {10};
    model.Narrow(&acid);
    EXPECT_TRUE(selection.selectedRows().empty());
    EXPECT_EQ(resets.count(), 0);
    // Rows merged in while narrowed: shown as their mark says, the others stay hidden.
    CViewRow shownRow = Row(90, "Acid Two");
    CViewRow hiddenRow = Row(95, "Bell");
    hiddenRow.matchesText = false;
    model.Merge({shownRow, hiddenRow}, {});
    EXPECT_EQ(Names(model), (std::vector<std::string>{"Acid", "Acid Two"}));
    model.Narrow(nullptr);
    EXPECT_EQ(model.rowCount(), 10);
}

TEST(CollectionModel, AProgramWithoutANameShowsWhereItWasFirstSeenAndRowsTellTheirMarks)
{
    CCollectionModel model;
    CViewRow blank = Row(4, "");
    blank.program.favourite = true;
    CViewRow hidden = Row(5, "Hush");
    hidden.program.hidden = true;
    model.SetRows({blank, hidden, Row(6, "Plain")}, false);
    EXPECT_EQ(model.NamelessWithoutPlace(), std::vector<CollectionId>{4});
    model.SetPlaces({{4, 1, SourceKind::File, "/home/me/dumps/mk-programs.syx", 18}});
    EXPECT_TRUE(model.NamelessWithoutPlace().empty());

    const struct {
        int row;
        QString name;
        QString marks;
    } expected[] = {
        {0, "(no name) in mk-programs.syx, B 003", "favourite"},
        {1, "Hush", "hidden"},
        {2, "Plain", ""},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.row);
        EXPECT_EQ(model.data(model.index(e.row, CCollectionModel::NAME), Qt::DisplayRole).toString(), e.name);
        for (int column = 0; column < CCollectionModel::COLUMN_COUNT; ++column)
            EXPECT_EQ(model.data(model.index(e.row, column), Qt::AccessibleDescriptionRole).toString(), e.marks);
    }
    // The editor starts from the name itself, blank for none.
    EXPECT_EQ(model.data(model.index(0, CCollectionModel::NAME), Qt::EditRole).toString(), "");
}

} // namespace
