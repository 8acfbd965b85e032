#include "GridTestSupport.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {
// Columns: a hidden first column, then 40, 61 and 50 pixels, which end at x = 151.
constexpr int COLUMN_LEFT[] = {0, 0, 40, 101};
constexpr int COLUMN_WIDTH[] = {0, 40, 61, 50};
constexpr int ROWS = 4;

class GridPaintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        grid = std::make_unique<CGridListCtrl>();
        grid->resize(320, 240);
        // Without focus no row is the focused one, which would be drawn swapped.
        grid->setFocusPolicy(Qt::NoFocus);
        grid->SetColors(LINE_COLOR, OUTSIDE_COLOR);
        grid->AddColumn("File", GRID_ALIGN_LEFT, 0);
        grid->AddColumn("Bank", GRID_ALIGN_CENTER, 40);
        grid->AddColumn("Program", GRID_ALIGN_LEFT, 61);
        grid->AddColumn("Category", GRID_ALIGN_LEFT, 50);
    }

    // Rows of empty cells; row 1 marked with its own background.
    void AddPlainRows()
    {
        grid->AddRows(ROWS);
        for (int row = 0; row < ROWS; ++row)
            for (int column = 0; column < 4; ++column)
                grid->SetCell(row, column, GRID_ALIGN_LEFT, CELL_TEXT, row == 1 ? MARK_COLOR : CELL_BACK, "");
    }

    void SelectRow(int row)
    {
        grid->selectionModel()->select(grid->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // x positions inside a cell's text box where a short text leaves the background alone.
    static int InnerX(int column) { return COLUMN_LEFT[column] + COLUMN_WIDTH[column] - 4; }

    std::unique_ptr<CGridListCtrl> grid;
};

TEST_F(GridPaintTest, WithoutRowsTheWholeViewportIsBackground)
{
    const QImage image = RenderViewport(*grid);
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            ASSERT_EQ(PixelAt(image, x, y), OUTSIDE_COLOR) << x << "," << y;
}

TEST_F(GridPaintTest, AnEmptyGridShowsItsEmptyTextUntilItHasRows)
{
    grid->SetEmptyText("Open a .syx file (Ctrl+O) or drop one here");
    // Drawn in the middle, in the text colour's shades; the edges stay background.
    const auto marked = [](const QImage& image, int top, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < image.width(); ++x)
                count += PixelAt(image, x, y) != OUTSIDE_COLOR;
        return count;
    };
    QImage image = RenderViewport(*grid);
    const int middle = image.height() / 2;
    EXPECT_GT(marked(image, middle - 10, middle + 10), 20);
    EXPECT_EQ(marked(image, 0, 8), 0);
    EXPECT_EQ(marked(image, image.height() - 8, image.height()), 0);
    EXPECT_EQ(grid->accessibleDescription(), "Open a .syx file (Ctrl+O) or drop one here");

    // Gone once a row is listed: below the rows there is background alone.
    AddPlainRows();
    image = RenderViewport(*grid);
    EXPECT_EQ(marked(image, RowHeight(*grid) * ROWS, image.height()), 0);
    EXPECT_EQ(grid->accessibleDescription(), QString());
    grid->DeleteAllRows();
    EXPECT_GT(marked(RenderViewport(*grid), middle - 10, middle + 10), 20);
}

TEST_F(GridPaintTest, CellsHaveGridLinesOwnBackgroundsAndBackgroundAround)
{
    AddPlainRows();
    const QImage image = RenderViewport(*grid);
    const int h = RowHeight(*grid);
    ASSERT_GT(h, 4);
    for (int row = 0; row < ROWS; ++row) {
        const int top = row * h;
        const int bottom = top + h - 1;
        const COLORREF back = row == 1 ? MARK_COLOR : CELL_BACK;
        for (int column = 1; column < 4; ++column) {
            const int left = COLUMN_LEFT[column];
            const int right = left + COLUMN_WIDTH[column] - 1;
            for (int x = left; x <= right; ++x)
                ASSERT_EQ(PixelAt(image, x, bottom), LINE_COLOR) << "bottom line, row " << row << " x " << x;
            for (int y = top; y <= bottom; ++y)
                ASSERT_EQ(PixelAt(image, right, y), LINE_COLOR) << "right line, row " << row << " y " << y;
            EXPECT_EQ(PixelAt(image, left, top), back) << "row " << row << " column " << column;
            EXPECT_EQ(PixelAt(image, right - 1, bottom - 1), back) << "row " << row << " column " << column;
        }
        // Right of the last column.
        EXPECT_EQ(PixelAt(image, 151, top + 1), OUTSIDE_COLOR);
        EXPECT_EQ(PixelAt(image, image.width() - 1, bottom), OUTSIDE_COLOR);
    }
    // Below the last row, across the whole width.
    for (int x = 0; x < image.width(); x += 5)
        EXPECT_EQ(PixelAt(image, x, ROWS * h), OUTSIDE_COLOR) << x;
    EXPECT_EQ(PixelAt(image, 20, image.height() - 1), OUTSIDE_COLOR);
}

TEST_F(GridPaintTest, ZeroWidthFirstColumnTakesNoRoom)
{
    AddPlainRows();
    grid->SetCell(0, 0, GRID_ALIGN_LEFT, CELL_TEXT, MARK_COLOR, "hidden file name");
    const QImage image = RenderViewport(*grid);
    // The second column starts at the row's left edge with its own background.
    EXPECT_EQ(PixelAt(image, 0, 0), CELL_BACK);
    EXPECT_EQ(PixelAt(image, 0, RowHeight(*grid) - 1), LINE_COLOR);
    EXPECT_EQ(PixelAt(image, 39, 0), LINE_COLOR);
}

TEST_F(GridPaintTest, EverySelectedRowShowsSwappedColours)
{
    AddPlainRows();
    SelectRow(1);
    SelectRow(3);
    const QImage image = RenderViewport(*grid);
    const int h = RowHeight(*grid);
    for (int row = 0; row < ROWS; ++row) {
        const bool selected = row == 1 || row == 3;
        const COLORREF back = row == 1 ? MARK_COLOR : CELL_BACK;
        for (int column = 1; column < 4; ++column) {
            EXPECT_EQ(PixelAt(image, InnerX(column), row * h + 1), selected ? CELL_TEXT : back)
                << "row " << row << " column " << column;
            // The grid lines keep their colour.
            EXPECT_EQ(PixelAt(image, InnerX(column), row * h + h - 1), LINE_COLOR);
        }
    }
}

TEST_F(GridPaintTest, FocusedRowShowsSwappedColours)
{
    AddPlainRows();
    grid->setFocusPolicy(Qt::StrongFocus);
    RenderViewport(*grid);
    grid->activateWindow();
    grid->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
    grid->selectionModel()->setCurrentIndex(grid->model()->index(2, 0), QItemSelectionModel::NoUpdate);
    ASSERT_EQ(grid->GetSelectedRow(), -1);
    const QImage image = RenderViewport(*grid);
    const int h = RowHeight(*grid);
    EXPECT_EQ(PixelAt(image, InnerX(2), 2 * h + 1), CELL_TEXT);
    EXPECT_EQ(PixelAt(image, InnerX(2), 0 * h + 1), CELL_BACK);
}

// Columns of ink (pixels in the text colour) between x = from and x = to, inclusive.
struct Span {
    int first;
    int last;
};
Span InkSpan(const QImage& image, int from, int to, int top, int bottom, COLORREF back)
{
    int first = -1;
    int last = -1;
    for (int x = from; x <= to; ++x)
        for (int y = top; y <= bottom; ++y)
            if (PixelAt(image, x, y) != back) {
                if (first < 0)
                    first = x;
                last = x;
            }
    return {first, last};
}

TEST_F(GridPaintTest, TextSitsAtTheReferencePointOfItsAlignment)
{
    AddPlainRows();
    grid->SetCell(0, 1, GRID_ALIGN_CENTER, CELL_TEXT, CELL_BACK, "H");
    grid->SetCell(0, 2, GRID_ALIGN_LEFT, CELL_TEXT, CELL_BACK, "H");
    grid->SetCell(0, 3, GRID_ALIGN_RIGHT, CELL_TEXT, CELL_BACK, "H");
    const QImage image = RenderViewport(*grid);
    const int bottom = RowHeight(*grid) - 2;

    // Centred: the text box is 39 pixels wide, so the reference point is x = 19.
    const auto centred = InkSpan(image, 0, 38, 0, bottom, CELL_BACK);
    ASSERT_GE(centred.first, 0);
    EXPECT_NEAR((centred.first + centred.last) / 2.0, 19.0, 1.5);

    // Left: the ink starts just after left + 2.
    const auto left = InkSpan(image, 40, 100, 0, bottom, CELL_BACK);
    ASSERT_GE(left.first, 0);
    EXPECT_GE(left.first, 42);
    EXPECT_LE(left.first, 45);

    // Right: the ink ends just before right - 2 (the text box ends at x = 149).
    const auto right = InkSpan(image, 101, 149, 0, bottom, CELL_BACK);
    ASSERT_GE(right.last, 0);
    EXPECT_LE(right.last, 147);
    EXPECT_GE(right.last, 144);
}

TEST_F(GridPaintTest, TextIsClippedToItsBox)
{
    AddPlainRows();
    const QString longText(40, QChar('W'));
    grid->SetCell(0, 1, GRID_ALIGN_LEFT, CELL_TEXT, CELL_BACK, longText);
    grid->SetCell(1, 1, GRID_ALIGN_RIGHT, CELL_TEXT, CELL_BACK, longText);
    const QImage image = RenderViewport(*grid);
    const int h = RowHeight(*grid);
    for (int row = 0; row < 2; ++row) {
        // The box is filled with text...
        EXPECT_NE(InkSpan(image, 0, 38, row * h, row * h + h - 2, row == 1 ? MARK_COLOR : CELL_BACK).first, -1);
        // ...which covers neither grid line nor the neighbouring cells.
        for (int y = row * h; y < row * h + h - 1; ++y) {
            EXPECT_EQ(PixelAt(image, 39, y), LINE_COLOR);
            EXPECT_EQ(PixelAt(image, 40, y), row == 1 ? MARK_COLOR : CELL_BACK);
        }
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(PixelAt(image, x, row * h + h - 1), LINE_COLOR);
    }
}

TEST_F(GridPaintTest, DraggedColumnWidthIsFollowed)
{
    AddPlainRows();
    RenderViewport(*grid);
    grid->header()->resizeSection(1, 80);  // what a drag of the divider does
    const QImage image = RenderViewport(*grid);
    EXPECT_EQ(PixelAt(image, 79, 1), LINE_COLOR);
    EXPECT_EQ(PixelAt(image, 39, 1), CELL_BACK);
    EXPECT_EQ(PixelAt(image, 191, 1), OUTSIDE_COLOR);
    EXPECT_EQ(PixelAt(image, 190, 1), LINE_COLOR);
}

TEST_F(GridPaintTest, NewColoursChangeLinesAndOutsideButNotCells)
{
    AddPlainRows();
    RenderViewport(*grid);
    grid->SetColors(RGB(10, 20, 30), RGB(40, 50, 60));
    const QImage image = RenderViewport(*grid);
    const int h = RowHeight(*grid);
    EXPECT_EQ(PixelAt(image, 39, 1), RGB(10, 20, 30));
    EXPECT_EQ(PixelAt(image, 200, 1), RGB(40, 50, 60));
    EXPECT_EQ(PixelAt(image, 1, ROWS * h + 2), RGB(40, 50, 60));
    EXPECT_EQ(PixelAt(image, 1, 1), CELL_BACK);
}

TEST_F(GridPaintTest, ScrolledRowsStayWhole)
{
    grid->AddRows(200);
    for (int row = 0; row < 200; ++row)
        grid->SetCell(row, 1, GRID_ALIGN_LEFT, CELL_TEXT, row % 2 ? MARK_COLOR : CELL_BACK, "");
    RenderViewport(*grid);
    grid->scrollTo(grid->model()->index(150, 0), QAbstractItemView::PositionAtTop);
    const QImage image = RenderViewport(*grid);
    const int h = RowHeight(*grid);
    EXPECT_EQ(PixelAt(image, 5, 1), CELL_BACK);  // row 150
    EXPECT_EQ(PixelAt(image, 5, h + 1), MARK_COLOR);  // row 151
    EXPECT_EQ(PixelAt(image, 5, h - 1), LINE_COLOR);
}
}  // namespace
