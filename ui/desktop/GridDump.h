#pragma once
// A look into the running window for the tests of the real program under a display server:
// when VELTRIX_DUMP_GRID names a file, Veltrix writes the window's title and the texts of the
// grid's visible columns there, once the window is on the screen and the files named on the
// command line are open. Nothing is written without the variable.

#include <QString>

class CGridListCtrl;
class QWidget;

// The file named by VELTRIX_DUMP_GRID, or an empty string.
QString GridDumpFile();

// Lines, tab-separated: "title", the title; "columns", the headings of the visible columns;
// "rows", the count; then one "row" line per row with its visible cells as shown.
QString GridDumpText(const QWidget& window, const CGridListCtrl& grid);

// Writes GridDumpText to `file` as soon as `window` is exposed on the screen (checked after
// the events already queued, such as opening the start files, have run).
void DumpGridWhenShown(QWidget& window, const CGridListCtrl& grid, const QString& file);
