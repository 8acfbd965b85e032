#pragma once
#include "GridCell.h"

#include <QAbstractTableModel>

#include <functional>
#include <vector>

// The item model behind the grid's view: as many rows and columns as the grid holds, the
// header titles with their alignment, and each cell's text as its display and accessible
// text (what a screen reader reads), with its row's marks as its accessible description. The grid paints each row itself; the model's texts are
// not used for painting. Row and column counts change only through the
// bracketing calls below, so that the view learns of a whole refill at once.
class CGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The text of the cell at a row and column, both in range.
    using CellText = std::function<QString(int row, int column)>;
    // The accessible description of every cell of a row in range (its marks).
    using RowDescription = std::function<QString(int row)>;

    CGridModel(const std::vector<CGridColumn>& columns, CellText cellText, QObject* parent,
               RowDescription rowDescription = {});

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Appends `count` rows, announced to the view as one insertion.
    void AppendRows(int count);
    // Appends one column; its header comes from the column table, which must already hold it.
    void AppendColumn();
    // Drops every row in one reset.
    void RemoveAllRows();
    // Replaces every row by `count` others in one reset.
    void ResetRows(int count);
    // Tells the view that the header of `column` changed.
    void HeaderChanged(int column);
    // Whether items may be dragged (the view decides what a drag carries).
    void SetDragEnabled(bool enabled) { m_dragEnabled = enabled; }

private:
    const std::vector<CGridColumn>& m_columns;
    CellText m_cellText;
    RowDescription m_rowDescription;
    int m_rowCount = 0;
    int m_columnCount = 0;
    bool m_dragEnabled = false;
};
