#include "GridListCtrl.h"

#include "GridModel.h"
#include "GridRowDelegate.h"
#include "GridRowSource.h"
#include "VirtualKeys.h"
#include "services/PostMessage.h"

#include <QApplication>
#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

#include <algorithm>

namespace {
// The cell table grows by this many rows at a time.
constexpr std::size_t ROW_GROWTH = 25;

// Widths go to the header as 16-bit values.
int ClampWidth(int width)
{
    return std::clamp(width, 0, 0xFFFF);
}
}  // namespace

CGridListCtrl::CGridListCtrl(QWidget* parent)
    : QTreeView(parent),
      m_crText(ToColorref(palette().color(QPalette::Dark))),
      m_crBack(ToColorref(palette().color(QPalette::Base))),
      m_model(new CGridModel(
          m_columns,
          [this](int row, int column) {
              const std::optional<CGridCell> cell = GetCell(row, column);
              return cell ? cell->text : QString();
          },
          this,
          [this](int row) {
              return m_rowSource != nullptr && row >= 0 && row < m_nRows ? m_rowSource->Description(row) : QString();
          }))
{
    setModel(m_model);
    setItemDelegate(new CGridRowDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);  // a change of the current row repaints the whole row
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape(QFrame::NoFrame);
    // Everything the viewport shows is painted by the grid: the rows and the area around them.
    viewport()->setAutoFillBackground(false);

    QHeaderView* columnHeader = header();
    columnHeader->setStretchLastSection(false);
    columnHeader->setSectionsMovable(false);
    columnHeader->setSectionsClickable(true);
    columnHeader->setHighlightSections(false);
    columnHeader->setSortIndicatorShown(false);
    columnHeader->setMinimumSectionSize(0);
    columnHeader->setSectionResizeMode(QHeaderView::Interactive);
    connect(columnHeader, &QHeaderView::sectionClicked, this, &CGridListCtrl::OnColumnClick);
    connect(columnHeader, &QHeaderView::sectionResized, this, &CGridListCtrl::OnSectionResized);
}

CGridListCtrl::~CGridListCtrl()
{
    // Detach the view before the cell table goes, so nothing asks the model afterwards.
    setModel(nullptr);
    delete m_model;
}

void CGridListCtrl::AddColumn(const QString& title, int align, int width)
{
    width = ClampWidth(width);
    m_columns.push_back(CGridColumn{align, width, title});
    if (m_nRows > 0 && m_rowSource == nullptr) {
        // Columns come before rows; should one come later, the rows get an empty cell for it.
        std::vector<CGridCell> cells;
        cells.reserve(static_cast<std::size_t>(m_nRows) * static_cast<std::size_t>(m_nColumns + 1));
        const CGridCell emptyCell{QString(), m_crText, m_crBack, GRID_ALIGN_LEFT};
        for (int row = 0; row < m_nRows; ++row) {
            for (int column = 0; column < m_nColumns; ++column)
                cells.push_back(std::move(CellAt(row, column)));
            cells.push_back(emptyCell);
        }
        m_cells = std::move(cells);
    }
    ++m_nColumns;
    m_model->AppendColumn();
    header()->resizeSection(m_nColumns - 1, width);
}

void CGridListCtrl::AddRows(int count)
{
    if (count <= 0)
        return;
    if (m_rowSource != nullptr)
        DeleteAllRows();
    // Room for all of them at once, still in whole steps of the growth size.
    const std::size_t rowsNeeded = static_cast<std::size_t>(m_nRows) + static_cast<std::size_t>(count);
    const std::size_t columns = static_cast<std::size_t>(m_nColumns);
    if (rowsNeeded * columns > m_cells.capacity())
        m_cells.reserve((rowsNeeded + ROW_GROWTH - 1) / ROW_GROWTH * ROW_GROWTH * columns);
    const CGridCell emptyCell{QString(), m_crText, m_crBack, GRID_ALIGN_LEFT};
    m_cells.resize(rowsNeeded * columns, emptyCell);
    m_nRows += count;
    m_model->AppendRows(count);
    RowsChanged();
}

void CGridListCtrl::AddRow()
{
    AddRows(1);
}

void CGridListCtrl::SetCell(int row, int column, int align, COLORREF textColor, COLORREF backColor,
                            const QString& text)
{
    if (row < 0 || row >= m_nRows || column < 0 || column >= m_nColumns || m_rowSource != nullptr)
        return;
    CGridCell& cell = CellAt(row, column);
    cell.text = text;
    cell.textColor = textColor;
    cell.backColor = backColor;
    cell.alignment = static_cast<std::uint8_t>(align);
    // One repaint for any number of changed cells; nothing at all while updates are off.
    viewport()->update();
}

void CGridListCtrl::DeleteAllRows()
{
    m_cells.clear();
    m_cells.shrink_to_fit();
    m_rowSource = nullptr;
    m_nRows = 0;
    m_model->RemoveAllRows();
    viewport()->update();
    RowsChanged();
}

void CGridListCtrl::ShowRows(const IGridRowSource& source, int count)
{
    m_cells.clear();
    m_cells.shrink_to_fit();
    m_rowSource = &source;
    m_nRows = std::max(count, 0);
    m_model->ResetRows(m_nRows);
    viewport()->update();
    RowsChanged();
}

void CGridListCtrl::SetEmptyText(const QString& text)
{
    m_emptyText = text;
    RowsChanged();
    viewport()->update();
}

void CGridListCtrl::RowsChanged()
{
    if (m_emptyText.isEmpty())
        return;
    const QString description = m_nRows == 0 ? m_emptyText : QString();
    if (accessibleDescription() != description)
        setAccessibleDescription(description);
}

void CGridListCtrl::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= m_nColumns)
        return;
    width = ClampWidth(width);
    m_columns[static_cast<std::size_t>(column)].width = width;
    header()->resizeSection(column, width);
}

int CGridListCtrl::GetSampleWidth(const QString& sample) const
{
    return fontMetrics().horizontalAdvance(sample + QStringLiteral("XX"));
}

void CGridListCtrl::SetColors(COLORREF text, COLORREF back)
{
    m_crText = text;
    m_crBack = back;
    QPalette colors = palette();
    colors.setColor(QPalette::Text, ToQColor(text));
    colors.setColor(QPalette::Base, ToQColor(back));
    setPalette(colors);
    viewport()->update();
}

int CGridListCtrl::GetSelectedRow() const
{
    int first = -1;
    if (const QItemSelectionModel* selection = selectionModel()) {
        for (const QItemSelectionRange& range : selection->selection()) {
            if (first < 0 || range.top() < first)
                first = range.top();
        }
    }
    return first;
}

std::vector<int> CGridListCtrl::GetSelectedRows() const
{
    std::vector<int> rows;
    if (const QItemSelectionModel* selection = selectionModel()) {
        for (const QItemSelectionRange& range : selection->selection())
            for (int row = range.top(); row <= range.bottom(); ++row)
                rows.push_back(row);
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CGridListCtrl::SetDragSource(RowMimeFactory makeMimeData, Qt::DropActions actions)
{
    m_makeMimeData = std::move(makeMimeData);
    m_dragActions = actions;
    m_model->SetDragEnabled(static_cast<bool>(m_makeMimeData));
    setDragEnabled(static_cast<bool>(m_makeMimeData));
}

QMimeData* CGridListCtrl::CreateDragData() const
{
    const std::vector<int> rows = GetSelectedRows();
    return m_makeMimeData && !rows.empty() ? m_makeMimeData(rows) : nullptr;
}

void CGridListCtrl::startDrag(Qt::DropActions)
{
    QMimeData* mime = CreateDragData();
    if (mime == nullptr)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(m_dragActions, m_dragActions & Qt::CopyAction ? Qt::CopyAction : Qt::MoveAction);
}

std::optional<CGridCell> CGridListCtrl::GetCell(int row, int column) const
{
    if (row < 0 || row >= m_nRows || column < 0 || column >= m_nColumns)
        return std::nullopt;
    return CellOf(row, column);
}

CGridCell CGridListCtrl::CellOf(int row, int column) const
{
    return m_rowSource != nullptr ? m_rowSource->Cell(row, column) : CellAt(row, column);
}

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

int CGridListCtrl::RowHeight() const
{
    if (m_nRows > 0)
        return indexRowSizeHint(m_model->index(0, 0));
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return itemDelegate()->sizeHint(option, QModelIndex()).height();
}

void CGridListCtrl::SetSortIndicator(int column)
{
    header()->setSortIndicatorShown(column >= 0 && column < m_nColumns);
    header()->setSortIndicator(column, Qt::AscendingOrder);
}

void CGridListCtrl::keyboardSearch(const QString& search)
{
    if (m_searchColumn < 0) {
        QTreeView::keyboardSearch(search);
        return;
    }
    if (search.isEmpty() || m_nRows == 0)
        return;
    const bool continues = m_searchTyped.isValid() && m_searchTyped.elapsed() < QApplication::keyboardInputInterval();
    m_searchTyped.start();
    m_searchText = continues ? m_searchText + search : search;
    // The same key again and again steps through the rows that begin with it.
    const bool sameKey = m_searchText.count(m_searchText.front()) == m_searchText.size();
    const QString wanted = sameKey ? QString(m_searchText.front()) : m_searchText;
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    // More keys of one word may still match the current row; a new key moves on.
    const int start = (sameKey || current < 0) ? current + 1 : current;
    for (int i = 0; i < m_nRows; ++i) {
        const int row = (start + i) % m_nRows;
        const std::optional<CGridCell> cell = GetCell(row, m_searchColumn);
        if (cell && cell->text.trimmed().startsWith(wanted, Qt::CaseInsensitive)) {
            const QModelIndex index = m_model->index(row, 0);
            setCurrentIndex(index);
            scrollTo(index);
            return;
        }
    }
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

bool CGridListCtrl::event(QEvent* event)
{
    // Every key press is reported, Tab included, before the view handles it as usual.
    if (event->type() == QEvent::KeyPress) {
        const int code = VirtualKeyCode(*static_cast<QKeyEvent*>(event));
        if (code != 0)
            PostMessageToMainWindow(WM_USER, GN_KEYDOWN, code & 0xFFFF);
    }
    return QTreeView::event(event);
}

void CGridListCtrl::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    // Only the primary button's double-click is the list's double-click.
    if (event->button() == Qt::LeftButton)
        PostMessageToMainWindow(WM_USER, GN_DBLCLK, 0);
}

void CGridListCtrl::OnColumnClick(int column)
{
    PostMessageToMainWindow(WM_USER, GN_COLUMNCLICK, column);
}
