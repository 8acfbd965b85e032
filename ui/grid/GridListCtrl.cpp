// CGridListCtrl's cells: its columns, its rows (kept or from a row source), the cells and colours.
#include "GridListCtrl.h"

#include "GridModel.h"
#include "GridRowDelegate.h"
#include "GridRowSource.h"

#include <QHeaderView>

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
