#include "orvane/tables/axisfix.h"

namespace {

// The pass over one axis; carry(i) copies what belongs to point i - 1 onto point i.
template <class Carry> bool RaiseFallingPoints(std::span<std::int16_t> axis, Carry carry) {
    bool changed = false;
    for (std::size_t i = 1; i < axis.size(); ++i) {
        if (axis[i] >= axis[i - 1]) continue;
        axis[i] = axis[i - 1];
        carry(static_cast<int>(i));
        changed = true;
    }
    return changed;
}

} // namespace

bool FixCurve(Curve16& curve, EqualPoints equal) {
    bool changed = false;
    for (int i = 1; i < 16; ++i) {
        if (curve.x[i] < curve.x[i - 1]) {
            curve.x[i] = curve.x[i - 1];
        } else if (equal == EqualPoints::MayDiffer || curve.x[i] != curve.x[i - 1] ||
                   curve.values[i] == curve.values[i - 1]) {
            continue;
        }
        curve.values[i] = curve.values[i - 1];
        changed = true;
    }
    return changed;
}

bool FixColumnAxis(std::span<std::int16_t> x, const SharedAxisCells& cells) {
    return RaiseFallingPoints(x, [&](int col) {
        for (int m = 0; m < cells.Matrices(); ++m)
            for (int r = 0; r < cells.rows; ++r)
                cells.At(m, r, col) = cells.At(m, r, col - 1);
    });
}

bool FixRowAxis(std::span<std::int16_t> y, const SharedAxisCells& cells) {
    return RaiseFallingPoints(y, [&](int row) {
        for (int m = 0; m < cells.Matrices(); ++m)
            for (int c = 0; c < cells.cols; ++c)
                cells.At(m, row, c) = cells.At(m, row - 1, c);
    });
}

namespace {

template <class Table> bool FixTable(Table& table) {
    // The matrices are one run of words in the record: walk them as such.
    const SharedAxisCells cells{
        std::span(reinterpret_cast<std::int16_t*>(&table.cells), sizeof table.cells / sizeof(std::int16_t)),
        static_cast<int>(std::size(table.y)), static_cast<int>(std::size(table.x))};
    const bool columns = FixColumnAxis(table.x, cells);
    return FixRowAxis(table.y, cells) || columns;
}

} // namespace

bool FixMiniMap(MiniMap& map) {
    return FixTable(map);
}

bool FixCylMiniMaps(CylMiniMaps& maps) {
    return FixTable(maps);
}
