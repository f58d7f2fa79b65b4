// Breakpoint repairs of the tables on the injection, advance and linearization pages: one forward pass
// over an axis from its second point on (signed 16-bit comparisons), each point against its already
// repaired predecessor. A point below its predecessor takes the predecessor's breakpoint, and what belongs
// to it (a curve value, or a whole column or row of every matrix sharing the axis) is copied from the
// predecessor's. Each returns true when it changed anything.
#pragma once

#include "orvane/core/ecuimage.h"

#include <cstdint>
#include <span>

// Whether two equal breakpoints may carry different values. A sensor linearization maps one reading to
// one value, so there equal breakpoints take equal values; correction curves allow a step.
enum class EqualPoints { MayDiffer, TakeEqualValues };

bool FixCurve(Curve16& curve, EqualPoints equal);

// Matrices of rows x cols cells stored one after the other, row by row, all over the same two axes.
struct SharedAxisCells {
    std::span<std::int16_t> cells;
    int rows, cols;
    std::int16_t& At(int matrix, int row, int col) const {
        return cells[static_cast<std::size_t>((matrix * rows + row) * cols + col)];
    }
    int Matrices() const { return static_cast<int>(cells.size()) / (rows * cols); }
};

// x has cols points, y has rows points.
bool FixColumnAxis(std::span<std::int16_t> x, const SharedAxisCells& cells);
bool FixRowAxis(std::span<std::int16_t> y, const SharedAxisCells& cells);

// Both axes of the table, columns first.
bool FixMiniMap(MiniMap& map);
bool FixCylMiniMaps(CylMiniMaps& maps);
