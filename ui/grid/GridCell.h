#pragma once
#include "Colorref.h"

#include <QString>

#include <cstdint>

// Alignment codes of columns and cells.
constexpr int GRID_ALIGN_LEFT = 0;
constexpr int GRID_ALIGN_CENTER = 1;
constexpr int GRID_ALIGN_RIGHT = 2;

// One header column: its alignment code, its width in pixels and its title.
struct CGridColumn {
    int alignment = GRID_ALIGN_LEFT;
    int width = 0;
    QString title;
};

// One cell of a row. Kept small: a grid may hold well over a hundred thousand rows.
struct CGridCell {
    QString text;
    COLORREF textColor = 0;
    COLORREF backColor = 0;
    std::uint8_t alignment = GRID_ALIGN_LEFT;
};
