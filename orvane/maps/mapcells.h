// Cells of the map page's tables: where the matrix and the breakpoints lie.
#pragma once

#include "orvane/maps/mapdesc.h"
#include "platform/ui/userint.h"

#include <initializer_list>

// TABmatrix: X breakpoints in row 1, matrix cell [r][c] at column c + 1, row r + 2.
inline constexpr int kMatrixTopRow = 2;
inline constexpr Rect kMatrixCells{kMatrixTopRow, 1, kMapRows, kMapCols};
inline constexpr Rect kXCells{1, 1, 1, kMapCols};
inline constexpr Rect kYCells{1, 1, kMapRows, 1};   // TABbpy
inline constexpr Rect kZCells{1, 1, kMapLevels, 1}; // TABbpz

// The breakpoints head the rows and columns, so the tables show no numbers of their own; rows of one
// height keep the Y breakpoints level with the matrix rows beside them.
bool ShapeMapTables(int panel, std::initializer_list<int> tables);

// The cell of a range at index k, counting row by row.
inline Point CellOf(const Rect& range, int k) {
    return {range.left + k % range.width, range.top + k / range.width};
}
