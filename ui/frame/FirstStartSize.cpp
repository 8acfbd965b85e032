#include "FirstStartSize.h"

#include "grid/GridListCtrl.h"

#include <QDockWidget>
#include <QHeaderView>
#include <QMainWindow>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

QSize FirstStartSize(const QMainWindow& frame, const CGridListCtrl& grid)
{
    // The frame's own size hint has the bars at their full size around the grid's hint;
    // swap the grid's hint for the height of its rows.
    const QSize hint = frame.sizeHint();
    const int gridHeight = grid.header()->sizeHint().height() + FIRST_START_GRID_ROWS * grid.RowHeight() +
                           grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * grid.frameWidth();
    QSize size(hint.width(), hint.height() - grid.sizeHint().height() + gridHeight);
    // Wide enough for the grid's five columns (File as several files show it) beside the
    // widest pane docked at a side, should the user show it.
    int listWidth = grid.GetSampleWidth(FILE_COLUMN_SAMPLE) + grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                    2 * grid.frameWidth();
    for (int column = 1; column < grid.header()->count(); ++column)
        listWidth += grid.header()->sectionSize(column);
    int paneWidth = 0;
    for (const QDockWidget* pane : frame.findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        const Qt::DockWidgetArea area = frame.dockWidgetArea(const_cast<QDockWidget*>(pane));
        if (area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea)
            paneWidth = std::max(paneWidth, pane->sizeHint().width() +
                                                frame.style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent));
    }
    size.setWidth(std::max(size.width(), listWidth + paneWidth));
    if (const QScreen* screen = frame.screen())
        size = size.boundedTo(screen->availableGeometry().size());
    return size;
}
