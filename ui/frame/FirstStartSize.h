#pragma once
#include <QSize>

class QMainWindow;
class CGridListCtrl;

// Rows of the grid that the first window shows.
constexpr int FIRST_START_GRID_ROWS = 20;

// The sample text the File column is sized for when several files are shown.
constexpr const char* FILE_COLUMN_SAMPLE = "XXXXXXXXXXXXXXXX";

// The inner size of the main window when no rectangle is stored: wide enough for its tool
// bars side by side with nothing hidden and for the grid's five columns beside a pane at
// its side, and tall enough for the grid's header and
// FIRST_START_GRID_ROWS rows; at most the screen's available area.
QSize FirstStartSize(const QMainWindow& frame, const CGridListCtrl& grid);
