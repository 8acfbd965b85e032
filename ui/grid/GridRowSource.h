#pragma once
#include "GridCell.h"

// Gives a grid the cells of its rows when they are painted or asked for, so that a large
// list costs the grid no table and no text per row. Row and column are always in range.
class IGridRowSource {
public:
    virtual ~IGridRowSource() = default;
    virtual CGridCell Cell(int row, int column) const = 0;
    // What a screen reader says of the whole row besides its texts: the marks its colours
    // show ("Marked by Find"). Empty by default.
    virtual QString Description(int row) const
    {
        (void)row;
        return QString();
    }
};
