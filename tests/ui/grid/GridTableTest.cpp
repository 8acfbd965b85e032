#include "GridTestSupport.h"
#include "grid/GridRowSource.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <gtest/gtest.h>

namespace {
// Cells named after their place; row `marked` in the mark colour.
class CNamedRows : public IGridRowSource {
public:
    CGridCell Cell(int row, int column) const override
    {
        return CGridCell{QString("%1 r%2c%3").arg(prefix).arg(row).arg(column), CELL_TEXT,
                         row == marked ? MARK_COLOR : CELL_BACK, GRID_ALIGN_LEFT};
    }
    QString prefix = "a";
    int marked = 1;
};

class GridTableTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid.resize(300, 200);
        grid.setFocusPolicy(Qt::NoFocus);  // no focused row, drawn swapped
        grid.SetColors(LINE_COLOR, OUTSIDE_COLOR);
        grid.AddColumn("Bank", GRID_ALIGN_CENTER, 40);
        grid.AddColumn("Program", GRID_ALIGN_RIGHT, 90);
    }

    void SelectRow(int row)
    {
        grid.selectionModel()->select(grid.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    CGridListCtrl grid;
};

TEST_F(GridTableTest, ColumnsShowTitlesAlignmentsAndWidthsInTheHeader)
{
    const QAbstractItemModel* model = grid.model();
    ASSERT_EQ(model->columnCount(), 2);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Bank");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Program");
    EXPECT_TRUE(model->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignHCenter);
    EXPECT_TRUE(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignRight);
    EXPECT_EQ(grid.header()->sectionSize(0), 40);
    EXPECT_EQ(grid.header()->sectionSize(1), 90);
}

TEST_F(GridTableTest, RowsAreAppendedAndCountedByTheView)
{
    grid.AddRows(0);
    grid.AddRows(-3);
    EXPECT_EQ(grid.model()->rowCount(), 0);
    grid.AddRows(30);
    grid.AddRow();
    EXPECT_EQ(grid.model()->rowCount(), 31);
}

TEST_F(GridTableTest, SetCellOutOfRangeChangesNothing)
{
    grid.AddRows(2);
    grid.SetCell(0, 0, GRID_ALIGN_LEFT, CELL_TEXT, MARK_COLOR, "A");
    const QImage before = RenderViewport(grid);
    grid.SetCell(2, 0, GRID_ALIGN_LEFT, CELL_TEXT, CELL_BACK, "X");
    grid.SetCell(0, 2, GRID_ALIGN_LEFT, CELL_TEXT, CELL_BACK, "X");
    grid.SetCell(-1, 0, GRID_ALIGN_LEFT, CELL_TEXT, CELL_BACK, "X");
    grid.SetCell(0, -1, GRID_ALIGN_LEFT, CELL_TEXT, CELL_BACK, "X");
    EXPECT_EQ(RenderViewport(grid), before);
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(grid.GetCell(0, 0)->text, "A");
    EXPECT_FALSE(grid.GetCell(2, 0));
    EXPECT_FALSE(grid.GetCell(0, 2));
}

TEST_F(GridTableTest, CellsKeepWhatWasSetAndStartInTheDefaultColours)
{
    grid.AddRows(2);
    grid.SetCell(1, 1, GRID_ALIGN_RIGHT, CELL_TEXT, MARK_COLOR, "Fat Bass");
    const std::optional<CGridCell> cell = grid.GetCell(1, 1);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->text, "Fat Bass");
    EXPECT_EQ(cell->alignment, GRID_ALIGN_RIGHT);
    EXPECT_EQ(cell->textColor, CELL_TEXT);
    EXPECT_EQ(cell->backColor, MARK_COLOR);
    const std::optional<CGridCell> fresh = grid.GetCell(0, 0);
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh->text.isEmpty());
    EXPECT_EQ(fresh->alignment, GRID_ALIGN_LEFT);
    EXPECT_EQ(fresh->textColor, LINE_COLOR);
    EXPECT_EQ(fresh->backColor, OUTSIDE_COLOR);
}

TEST_F(GridTableTest, NewRowsUseTheCurrentDefaultColours)
{
    grid.SetColors(RGB(1, 2, 3), RGB(250, 240, 230));
    grid.AddRow();
    const QImage image = RenderViewport(grid);
    EXPECT_EQ(PixelAt(image, 5, 1), RGB(250, 240, 230));
    EXPECT_EQ(PixelAt(image, 39, 1), RGB(1, 2, 3));
}

TEST_F(GridTableTest, DeleteAllRowsKeepsColumnsAndClearsSelection)
{
    grid.AddRows(6);
    SelectRow(3);
    ASSERT_EQ(grid.GetSelectedRow(), 3);
    grid.DeleteAllRows();
    EXPECT_EQ(grid.model()->rowCount(), 0);
    EXPECT_EQ(grid.model()->columnCount(), 2);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Program");
    EXPECT_EQ(grid.header()->sectionSize(1), 90);
    EXPECT_EQ(grid.GetSelectedRow(), -1);
    const QImage image = RenderViewport(grid);
    EXPECT_EQ(PixelAt(image, 5, 1), OUTSIDE_COLOR);
    EXPECT_EQ(PixelAt(image, 39, 1), OUTSIDE_COLOR);

    // The grid fills again after being emptied.
    grid.AddRows(2);
    grid.SetCell(1, 1, GRID_ALIGN_LEFT, CELL_TEXT, MARK_COLOR, "");
    EXPECT_EQ(PixelAt(RenderViewport(grid), 60, RowHeight(grid) + 1), MARK_COLOR);
}

TEST_F(GridTableTest, RowsFromASourceAreAskedForEachTimeAndReplacedByTableRows)
{
    CNamedRows source;
    grid.AddRows(5);
    grid.ShowRows(source, 3);
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.GetCell(2, 1)->text, "a r2c1");
    EXPECT_FALSE(grid.GetCell(3, 0));
    EXPECT_EQ(grid.model()->data(grid.model()->index(1, 0), Qt::DisplayRole).toString(), "a r1c0");
    grid.SetCell(0, 0, GRID_ALIGN_LEFT, CELL_TEXT, CELL_BACK, "set");
    EXPECT_EQ(grid.GetCell(0, 0)->text, "a r0c0");
    const int rowHeight = RowHeight(grid);
    QImage image = RenderViewport(grid);
    EXPECT_EQ(PixelAt(image, 60, 1), CELL_BACK);
    EXPECT_EQ(PixelAt(image, 60, rowHeight + 1), MARK_COLOR);

    // Nothing is kept: what the source says now is what shows.
    source.prefix = "b";
    source.marked = 0;
    EXPECT_EQ(grid.GetCell(2, 1)->text, "b r2c1");
    grid.viewport()->update();
    image = RenderViewport(grid);
    EXPECT_EQ(PixelAt(image, 60, 1), MARK_COLOR);
    EXPECT_EQ(PixelAt(image, 60, rowHeight + 1), CELL_BACK);

    grid.AddRows(2);
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_TRUE(grid.GetCell(1, 1)->text.isEmpty());
    grid.SetCell(1, 1, GRID_ALIGN_LEFT, CELL_TEXT, CELL_BACK, "set");
    EXPECT_EQ(grid.GetCell(1, 1)->text, "set");
}

TEST_F(GridTableTest, GetSelectedRowGivesTheFirstSelectedRow)
{
    grid.AddRows(8);
    EXPECT_EQ(grid.GetSelectedRow(), -1);
    SelectRow(5);
    SelectRow(2);
    EXPECT_EQ(grid.GetSelectedRow(), 2);
}

TEST_F(GridTableTest, SetColumnWidthRecordsAndShowsTheWidth)
{
    grid.AddRow();
    grid.SetColumnWidth(0, 70);
    grid.SetColumnWidth(2, 10);  // no such column
    grid.SetColumnWidth(-1, 10);
    EXPECT_EQ(grid.header()->sectionSize(0), 70);
    EXPECT_EQ(grid.model()->columnCount(), 2);
    const QImage image = RenderViewport(grid);
    EXPECT_EQ(PixelAt(image, 69, 1), LINE_COLOR);
    EXPECT_EQ(PixelAt(image, 159, 1), LINE_COLOR);
    EXPECT_EQ(PixelAt(image, 160, 1), OUTSIDE_COLOR);
}

TEST_F(GridTableTest, SampleWidthAddsTwoCharacters)
{
    EXPECT_EQ(grid.GetSampleWidth("Program"), grid.fontMetrics().horizontalAdvance("ProgramXX"));
    EXPECT_GT(grid.GetSampleWidth(""), 0);
}
}  // namespace
