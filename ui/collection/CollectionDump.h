#pragma once
// A look into the running window's Collection view for the tests of the real program under
// a display server: when VELTRIX_DUMP_COLLECTION names a file, the view's state is written
// there each time it changes (shown or hidden, a new search, a row changed). Nothing is
// written without the variable.

#include <QString>

class CCollectionView;

// The file named by VELTRIX_DUMP_COLLECTION, or an empty string.
QString CollectionDumpFile();

// Lines, tab-separated: "visible", 1 or 0; "focus", the object name of the widget with the
// keyboard focus; "search", the search text; "rows", the count; then one "row" line per row:
// id, shown name, voice mode.
QString CollectionDumpText(const CCollectionView& view);

// Keeps `file` up to date with CollectionDumpText from now on.
void DumpCollectionViewOnChange(CCollectionView& view, const QString& file);
