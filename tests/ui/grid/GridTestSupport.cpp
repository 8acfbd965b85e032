#include "GridTestSupport.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QTest>

QImage RenderViewport(CGridListCtrl& grid)
{
    if (!grid.isVisible()) {
        grid.show();
        (void)QTest::qWaitForWindowExposed(&grid);
    }
    QCoreApplication::processEvents();
    return grid.viewport()->grab().toImage();
}

COLORREF PixelAt(const QImage& image, int x, int y)
{
    return ToColorref(image.pixelColor(x, y));
}

int RowHeight(const CGridListCtrl& grid)
{
    return grid.visualRect(grid.model()->index(0, 0)).height();
}

bool CMessageRecorder::event(QEvent* event)
{
    if (event->type() == CPostedMessageEvent::EventType()) {
        const auto* posted = static_cast<CPostedMessageEvent*>(event);
        messages.push_back({posted->Message(), posted->WParam(), posted->LParam()});
        return true;
    }
    return QObject::event(event);
}
