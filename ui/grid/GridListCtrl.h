#pragma once
#include "GridCell.h"

#include <QElapsedTimer>
#include <QTreeView>

#include <functional>
#include <optional>
#include <vector>

class QMimeData;

class CGridModel;
class IGridRowSource;

// Notification codes, posted to the main window as WM_USER with the code as first value.
constexpr int GN_DBLCLK = 1;       // second value 0
constexpr int GN_COLUMNCLICK = 2;  // second value: the clicked column
constexpr int GN_KEYDOWN = 3;      // second value: the key's Windows virtual-key code

// A grid of cells with their own texts, alignments and colours, drawn row by row with thin
// grid lines. The item view supplies the header with draggable column widths, selection of
// several rows, scrolling, keys and mouse; the grid keeps the cells, or asks a row source
// for them, and paints the rows.
// Double-clicks, header clicks and key presses are posted to the main window.
// Implemented in GridListCtrl.cpp (the cells), GridListCtrlPaint.cpp (painting) and
// GridListCtrlInput.cpp (selection, typing search, dragging out, notifications).
class CGridListCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CGridListCtrl(QWidget* parent = nullptr);
    ~CGridListCtrl() override;

    // Appends a column; all columns are added before the first row. A width of 0 hides it.
    void AddColumn(const QString& title, int align, int width);
    // Appends `count` rows of empty cells in the default colours. Rows that came from a row
    // source are removed first.
    void AddRows(int count);
    void AddRow();
    // Sets one cell; does nothing when row or column is out of range, or while the rows come
    // from a row source.
    void SetCell(int row, int column, int align, COLORREF textColor, COLORREF backColor,
                 const QString& text);
    // Removes every row; the columns stay.
    void DeleteAllRows();
    // Replaces every row by `count` rows whose cells `source` gives whenever they are painted
    // or asked for; nothing is kept per row. `source` must last until the rows are replaced
    // or removed, and must answer for the `count` rows until then.
    void ShowRows(const IGridRowSource& source, int count);
    // Sets a column's width in pixels; does nothing when the column is out of range.
    void SetColumnWidth(int column, int width);
    // Width in the grid's font of `sample` followed by a two-character margin.
    int GetSampleWidth(const QString& sample) const;
    // Grid-line colour and default text colour; background outside the cells and default
    // background of new cells. Cells that exist keep their colours.
    void SetColors(COLORREF text, COLORREF back);
    // The first selected row, or -1.
    int GetSelectedRow() const;
    // The cell at row and column as last set (or as the row source gives it), or nothing
    // when out of range.
    std::optional<CGridCell> GetCell(int row, int column) const;
    // The colours SetColors set.
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF GetBackColor() const { return m_crBack; }

    // Lets the selected rows be dragged out: `makeMimeData` builds what the drag carries
    // from their indices, in ascending order (null: no drag). Whether the grid also takes
    // drops is left to the caller (setDragDropMode).
    using RowMimeFactory = std::function<QMimeData*(const std::vector<int>& rows)>;
    void SetDragSource(RowMimeFactory makeMimeData, Qt::DropActions actions = Qt::CopyAction);
    // What a drag of the selected rows carries now; null without a drag source or a
    // selection. The caller owns it.
    QMimeData* CreateDragData() const;
    // The selected rows in ascending order.
    std::vector<int> GetSelectedRows() const;
    // The height of a row in pixels, also while there are none.
    int RowHeight() const;
    // Shows the ascending sort indicator on `column`'s header; -1 shows none.
    void SetSortIndicator(int column);
    // The column whose texts typing searches: the keys typed in quick succession move to
    // the next row whose text there begins with them, capitals and small letters alike.
    // -1 (the default) leaves the search to the view.
    void SetSearchColumn(int column) { m_searchColumn = column; }
    void keyboardSearch(const QString& search) override;
    // A line drawn in the middle of the grid, in the text colour, while it has no rows (what
    // to do to fill it); also its accessible description then. Empty (the default): an
    // empty grid shows its background alone.
    void SetEmptyText(const QString& text);
    QString EmptyText() const { return m_emptyText; }

protected:
    // Item state flags handed to DrawItem.
    enum : unsigned { ITEM_SELECTED = 1u, ITEM_FOCUSED = 2u };

    // Paints one row: its cells abutting from the row's left edge.
    void DrawItem(QPainter& painter, int row, unsigned state, const QRect& rowRect) const;
    // Paints what lies outside the cells in m_crBack.
    void OnEraseBkgnd(QPainter& painter);

    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void OnColumnClick(int column);
    void OnSectionResized(int column, int oldWidth, int newWidth);
    void PaintCell(QPainter& painter, const CGridCell& cell, const QRect& cellRect, bool swapped) const;
    void PaintEmptyText(QPainter& painter) const;
    // After every change of the row count: the empty grid's description comes and goes.
    void RowsChanged();
    // The cell of a row and column in range, from the table or the row source.
    CGridCell CellOf(int row, int column) const;
    CGridCell& CellAt(int row, int column)
    {
        return m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_nColumns) + static_cast<std::size_t>(column)];
    }
    const CGridCell& CellAt(int row, int column) const
    {
        return m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_nColumns) + static_cast<std::size_t>(column)];
    }

    bool m_bWidthsChanged = true;
    COLORREF m_crText;
    COLORREF m_crBack;
    std::vector<CGridColumn> m_columns;
    int m_nColumns = 0;
    // The cells row after row, m_nColumns to a row, in one block; empty while the rows
    // come from m_rowSource.
    std::vector<CGridCell> m_cells;
    const IGridRowSource* m_rowSource = nullptr;
    int m_nRows = 0;

    CGridModel* m_model;
    int m_searchColumn = -1;
    QString m_emptyText;
    QString m_searchText;            // the keys typed so far
    QElapsedTimer m_searchTyped;     // since the last of them
    RowMimeFactory m_makeMimeData;
    Qt::DropActions m_dragActions = Qt::CopyAction;
};
