#include "GridModel.h"

#include <algorithm>

CGridModel::CGridModel(const std::vector<CGridColumn>& columns, CellText cellText, QObject* parent,
                       RowDescription rowDescription)
    : QAbstractTableModel(parent), m_columns(columns), m_cellText(std::move(cellText)),
      m_rowDescription(std::move(rowDescription))
{
}

int CGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int CGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columnCount;
}

QVariant CGridModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::AccessibleDescriptionRole)
        return {};
    if (!index.isValid() || index.row() >= m_rowCount || index.column() >= m_columnCount)
        return {};
    if (role == Qt::AccessibleDescriptionRole)
        return m_rowDescription ? m_rowDescription(index.row()) : QString();
    const QString text = m_cellText(index.row(), index.column());
    // The blank some columns start with is a margin, not part of what the cell says.
    return role == Qt::AccessibleTextRole ? text.trimmed() : text;
}

static Qt::Alignment HeaderAlignment(int alignmentCode)
{
    switch (alignmentCode) {
    case GRID_ALIGN_CENTER: return Qt::AlignHCenter | Qt::AlignVCenter;
    case GRID_ALIGN_RIGHT: return Qt::AlignRight | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QVariant CGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columnCount ||
        section >= static_cast<int>(m_columns.size()))
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(HeaderAlignment(m_columns[section].alignment));
    return {};
}

Qt::ItemFlags CGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return m_dragEnabled ? flags | Qt::ItemIsDragEnabled : flags;
}

void CGridModel::AppendRows(int count)
{
    if (count <= 0)
        return;
    beginInsertRows(QModelIndex(), m_rowCount, m_rowCount + count - 1);
    m_rowCount += count;
    endInsertRows();
}

void CGridModel::AppendColumn()
{
    beginInsertColumns(QModelIndex(), m_columnCount, m_columnCount);
    ++m_columnCount;
    endInsertColumns();
}

void CGridModel::RemoveAllRows()
{
    beginResetModel();
    m_rowCount = 0;
    endResetModel();
}

void CGridModel::ResetRows(int count)
{
    beginResetModel();
    m_rowCount = std::max(count, 0);
    endResetModel();
}

void CGridModel::HeaderChanged(int column)
{
    emit headerDataChanged(Qt::Horizontal, column, column);
}
