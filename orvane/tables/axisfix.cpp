#include "orvane/tables/axisfix.h"

#include <array>
#include <span>

namespace {

using Matrix = std::int16_t[8][16];
constexpr std::size_t kMaxMatrices = 4;

// The columns, then the rows, of matrices that share the axes x and y.
bool FixMatrices(std::span<Matrix> matrices, std::span<std::int16_t> x, std::span<std::int16_t> y) {
    std::array<AxisData, kMaxMatrices> columns;
    std::array<AxisData, kMaxMatrices> rows;
    for (std::size_t m = 0; m < matrices.size(); ++m) {
        const std::span<std::int16_t> cells(&matrices[m][0][0], 8 * 16); // one matrix, row by row
        columns[m] = {cells, 1, 8, 16};
        rows[m] = {cells, 16, 16, 1};
    }
    const bool changed = RepairAxis(x, std::span(columns.data(), matrices.size()));
    return RepairAxis(y, std::span(rows.data(), matrices.size())) || changed;
}

} // namespace

bool FixCurve(Curve16& curve, EqualPoints equal) {
    return RepairAxis(curve.x, {AxisData{curve.values}}, equal);
}

bool FixMiniMap(MiniMap& map) {
    return FixMatrices(std::span(&map.cells, 1), map.x, map.y);
}

bool FixCylMiniMaps(CylMiniMaps& maps) {
    return FixMatrices(maps.cells, maps.x, maps.y);
}
