// Linear interpolation of a block of map cells between its edge cells, weighted by the breakpoint
// values of the axes (not by the cell index). Pure arithmetic on display values; the map page reads the
// block from its table and writes it back.
#pragma once

#include <span>

enum class InterpKind {
    Both, // edge columns along Y, then every row along X
    Rows, // every row along X
    Cols, // every column along Y
};

// Chooses what a block of height x width can take: Both falls back to Rows or Cols when the block is
// too low or too narrow; the result is false when nothing is left to interpolate.
bool FitInterpKind(InterpKind* kind, int height, int width);

// Interpolates the block in place. cells holds height x width values, column by column for Cols and row
// by row otherwise; x holds the X breakpoints of its columns, y the Y breakpoints of its rows.
void InterpolateBlock(InterpKind kind, std::span<double> cells, int height, int width,
                      std::span<const double> x, std::span<const double> y);
