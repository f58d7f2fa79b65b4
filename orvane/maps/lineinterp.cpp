#include "orvane/maps/lineinterp.h"

#include <cstddef>

namespace {

// One line of n values, step apart in the buffer, over the breakpoints bp. The inner values follow the
// straight line between the two end values. Equal end breakpoints leave no slope: the line takes the
// mean of its ends, the last value included unless keepLast (the edge columns of Both keep their
// bottom cell so that the rows still start and end on the block's corners).
void InterpolateLine(double* v, int n, int step, std::span<const double> bp, bool keepLast) {
    const auto at = [&](int k) -> double& { return v[static_cast<std::ptrdiff_t>(k) * step]; };
    const double first = at(0);
    const double last = at(n - 1);
    const double span = bp[n - 1] - bp[0];
    if (span == 0) {
        const double mean = first + (last - first) / 2;
        const int end = keepLast ? n - 1 : n;
        for (int k = 0; k < end; ++k)
            at(k) = mean;
        return;
    }
    for (int k = 1; k < n - 1; ++k)
        at(k) = first + (bp[k] - bp[0]) * (last - first) / span;
}

} // namespace

bool FitInterpKind(InterpKind* kind, int height, int width) {
    if (*kind == InterpKind::Both) {
        if (width < 3)
            *kind = InterpKind::Cols;
        else if (height < 3)
            *kind = InterpKind::Rows;
    }
    if (*kind == InterpKind::Rows) return width >= 3;
    if (*kind == InterpKind::Cols) return height >= 3;
    return true;
}

void InterpolateBlock(InterpKind kind, std::span<double> cells, int height, int width,
                      std::span<const double> x, std::span<const double> y) {
    if (kind == InterpKind::Cols) {
        for (int c = 0; c < width; ++c)
            InterpolateLine(&cells[c * height], height, 1, y, false);
        return;
    }
    if (kind == InterpKind::Both) {
        InterpolateLine(&cells[0], height, width, y, true);
        InterpolateLine(&cells[width - 1], height, width, y, true);
    }
    for (int r = 0; r < height; ++r)
        InterpolateLine(&cells[r * width], width, 1, x, false);
}
