// CGridListCtrl's painting: its rows cell by cell with grid lines, the area around them, and
// the empty grid's text; the column widths the user dragged are picked up here.
#include "GridListCtrl.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>

void CGridListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    const int row = index.row();
    unsigned state = 0;
    if (selectionModel() && selectionModel()->isSelected(index.siblingAtColumn(0)))
        state |= ITEM_SELECTED;
    if (hasFocus() && currentIndex().isValid() && currentIndex().row() == row)
        state |= ITEM_FOCUSED;
    // The row starts at the left edge of the scrolled contents.
    const QRect rowRect(-header()->offset(), option.rect.top(), header()->length(), option.rect.height());
    DrawItem(*painter, row, state, rowRect);
}

void CGridListCtrl::DrawItem(QPainter& painter, int row, unsigned state, const QRect& rowRect) const
{
    if (m_nRows == 0 || row < 0 || row >= m_nRows)
        return;
    const bool swapped = state != 0;
    int left = rowRect.left();
    for (int column = 0; column < m_nColumns; ++column) {
        const int width = m_columns[static_cast<std::size_t>(column)].width;
        if (width > 0)
            PaintCell(painter, CellOf(row, column), QRect(left, rowRect.top(), width, rowRect.height()), swapped);
        left += width;  // cells abut; a column of width 0 takes no room
    }
}

void CGridListCtrl::PaintCell(QPainter& painter, const CGridCell& cell, const QRect& cellRect,
                              bool swapped) const
{
    const int width = cellRect.width();
    if (width <= 0 || cellRect.height() <= 0)
        return;
    // Grid lines along the cell's bottom pixel row and its right pixel column.
    const QColor lineColor = ToQColor(m_crText);
    painter.fillRect(QRect(cellRect.left(), cellRect.bottom(), width, 1), lineColor);
    painter.fillRect(QRect(cellRect.right(), cellRect.top(), 1, cellRect.height()), lineColor);

    // The text box: the cell less its right column and bottom row.
    const QRect box(cellRect.left(), cellRect.top(), width - 1, cellRect.height() - 1);
    if (box.width() <= 0 || box.height() <= 0)
        return;
    const QColor textColor = ToQColor(swapped ? cell.backColor : cell.textColor);
    const QColor backColor = ToQColor(swapped ? cell.textColor : cell.backColor);
    painter.fillRect(box, backColor);
    if (cell.text.isEmpty())
        return;

    // Reference point: the text's top at the box's top; x by the alignment.
    const int boxLeft = box.left();
    const int boxRight = box.left() + box.width();  // one past the last pixel
    const QFontMetrics metrics = painter.fontMetrics();
    const int textWidth = metrics.horizontalAdvance(cell.text);
    int x = boxLeft + 2;
    switch (cell.alignment) {
    case GRID_ALIGN_RIGHT:
        x = boxRight - 2 - textWidth;
        break;
    case GRID_ALIGN_CENTER:
        x = (boxRight - boxLeft > 0 ? boxLeft + (boxRight - boxLeft) / 2 : boxLeft + 2) - textWidth / 2;
        break;
    default:
        break;
    }
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setPen(textColor);
    painter.drawText(QPoint(x, box.top() + metrics.ascent()), cell.text);
    painter.restore();
}

void CGridListCtrl::OnEraseBkgnd(QPainter& painter)
{
    // Pick up widths the user dragged.
    int totalWidth = 0;
    for (int column = 0; column < m_nColumns; ++column) {
        const int width = header()->sectionSize(column);
        CGridColumn& recorded = m_columns[static_cast<std::size_t>(column)];
        if (width != recorded.width) {
            recorded.width = width;
            m_bWidthsChanged = true;
        }
        totalWidth += width;
    }
    const QRect client = viewport()->rect();
    const QColor back = ToQColor(m_crBack);
    if (m_bWidthsChanged || m_nRows == 0) {
        m_bWidthsChanged = false;
        painter.fillRect(client, back);
        if (m_nRows == 0)
            PaintEmptyText(painter);
        return;
    }
    // Only what lies outside the cells: right of the last column, then below the last row.
    const int cellsRight = totalWidth - horizontalOffset();
    if (cellsRight <= client.right())
        painter.fillRect(QRect(QPoint(cellsRight, client.top()), client.bottomRight()), back);
    const int rowsBottom = RowHeight() * m_nRows - verticalOffset();
    if (rowsBottom <= client.bottom())
        painter.fillRect(QRect(QPoint(client.left(), rowsBottom), client.bottomRight()), back);
}

void CGridListCtrl::PaintEmptyText(QPainter& painter) const
{
    if (m_emptyText.isEmpty())
        return;
    // In the middle of what the viewport shows, wrapped when it is narrow.
    const QRect area = viewport()->rect().adjusted(8, 8, -8, -8);
    painter.save();
    painter.setFont(font());
    painter.setPen(ToQColor(m_crText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
    painter.restore();
}

void CGridListCtrl::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(viewport());
        painter.setClipRegion(event->region());
        OnEraseBkgnd(painter);
    }
    QTreeView::paintEvent(event);
}

void CGridListCtrl::OnSectionResized(int column, int, int newWidth)
{
    if (column < 0 || column >= m_nColumns)
        return;
    if (m_columns[static_cast<std::size_t>(column)].width != newWidth) {
        m_columns[static_cast<std::size_t>(column)].width = newWidth;
        m_bWidthsChanged = true;
    }
    viewport()->update();
}
