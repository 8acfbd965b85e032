// The rows the list's commands act on: the selected rows or, when none is selected, the
// current row, which the grid draws as it draws a selected one (as the first row after an
// Open). The Collection view's commands follow the same rule.

#include "BankTestSupport.h"
#include "library/SelectedRows.h"

#include <QApplication>
#include <QCheckBox>
#include <QTest>

#include <vector>

namespace {

TEST_F(BankPaneTest, AfterOpenTheRowThatLooksSelectedIsWhatTheBankCommandsTake)
{
    CMainFrame& frame = fixture.Frame();
    OpenBank(WriteBank("Bank.syx", "Slot"));
    QApplication::setActiveWindow(&frame);
    OpenLibrary({WriteBank("Library.syx", "Lib")});
    // The Open dialog closes and the grid has the keyboard again.
    frame.MidiActiveBox()->setFocus();
    frame.Grid()->setFocus(Qt::ActiveWindowFocusReason);
    fixture.Idle();

    // As the user sees it: the first row is drawn selected, though nothing was clicked.
    CProgramGrid* grid = frame.Grid();
    ASSERT_FALSE(grid->selectionModel()->hasSelection());
    ASSERT_EQ(grid->currentIndex().row(), 0);
    EXPECT_TRUE(Command(ID_PROGRAM_PUT_IN_BANK)->isEnabled());
    EXPECT_TRUE(Command(ID_PROGRAM_USE_AS_BANK)->isEnabled());

    Pane().SelectSlot(5);
    Command(ID_PROGRAM_PUT_IN_BANK)->trigger();
    EXPECT_EQ(Slot(5), Library(0));
    EXPECT_EQ(SlotName(6).trimmed(), "Slot6");   // that row alone
    EXPECT_EQ(Undo().count(), 1);
}

TEST_F(BankPaneTest, TheSelectionWinsOverTheCurrentRow)
{
    OpenBank(WriteBank("Bank.syx", "Slot"));
    OpenLibrary({WriteBank("Library.syx", "Lib")});
    CProgramGrid* grid = fixture.Frame().Grid();
    struct Case {
        std::vector<int> selected;
        int current;   // -1: none
        std::vector<int> taken;
    };
    const Case cases[] = {
        {{}, 7, {7}},              // the current row alone
        {{3}, 7, {3}},             // a selected row, the current row elsewhere (Ctrl+arrow)
        {{9, 2, 5}, 2, {2, 5, 9}}, // several, in list order
        {{}, -1, {}},              // nothing: the commands are off
    };
    for (const Case& test : cases) {
        grid->selectionModel()->clear();
        for (int row : test.selected)
            grid->selectionModel()->select(grid->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (test.current >= 0)
            grid->selectionModel()->setCurrentIndex(grid->model()->index(test.current, 0), QItemSelectionModel::NoUpdate);
        fixture.Idle();

        std::vector<const CSyxProgram*> expected;
        for (int row : test.taken)
            expected.push_back(fixture.Frame().Programs().GetAt(row));
        EXPECT_EQ(fixture.Frame().SelectedPrograms(), expected) << test.current;
        EXPECT_EQ(fixture.Frame().SelectedProgram(), expected.empty() ? nullptr : expected.front());
        EXPECT_EQ(Command(ID_PROGRAM_PUT_IN_BANK)->isEnabled(), !expected.empty()) << test.current;
        EXPECT_EQ(Command(ID_PROGRAM_USE_AS_BANK)->isEnabled(), !expected.empty()) << test.current;
    }
}

}  // namespace
