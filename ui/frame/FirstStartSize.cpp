#include "FirstStartSize.h"

#include "grid/GridListCtrl.h"

#include <QHeaderView>
#include <QMainWindow>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

QSize FirstStartSize(const QMainWindow& frame, const CGridListCtrl& grid)
{
    // The frame's own size hint has the bars at their full size around the grid's hint;
    // swap the grid's hint for the height of its rows.
    const QSize hint = frame.sizeHint();
    const int gridHeight = grid.header()->sizeHint().height() + FIRST_START_GRID_ROWS * grid.RowHeight() +
                           grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * grid.frameWidth();
    QSize size(hint.width(), hint.height() - grid.sizeHint().height() + gridHeight);
    if (const QScreen* screen = frame.screen())
        size = size.boundedTo(screen->availableGeometry().size());
    return size;
}
