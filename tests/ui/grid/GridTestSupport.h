#pragma once
#include "grid/GridListCtrl.h"
#include "services/PostMessage.h"

#include <QImage>
#include <QObject>

#include <vector>

// Colours of the test grids, all different so that every pixel tells where it came from.
constexpr COLORREF LINE_COLOR = RGB(0, 64, 128);
constexpr COLORREF OUTSIDE_COLOR = RGB(193, 193, 255);
constexpr COLORREF MARK_COLOR = RGB(128, 128, 255);
constexpr COLORREF CELL_TEXT = RGB(200, 0, 0);
constexpr COLORREF CELL_BACK = RGB(255, 255, 255);

// Shows the grid offscreen, lets it lay out and paint, and returns what its viewport shows.
QImage RenderViewport(CGridListCtrl& grid);

// The colour of a pixel as a COLORREF, for readable comparisons.
COLORREF PixelAt(const QImage& image, int x, int y);

// Height of the grid's rows.
int RowHeight(const CGridListCtrl& grid);

// Stands in for the main window and keeps every message posted to it.
class CMessageRecorder : public QObject {
public:
    struct Message {
        unsigned int message;
        long long wParam;
        long long lParam;
        bool operator==(const Message& other) const
        {
            return message == other.message && wParam == other.wParam && lParam == other.lParam;
        }
    };

    std::vector<Message> messages;

protected:
    bool event(QEvent* event) override;
};
