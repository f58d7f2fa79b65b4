#include "ecusim/lookup.h"

#include "ecusim/model.h"

#include <algorithm>

namespace ecusim {

std::int16_t Cell(const std::uint8_t* p, std::size_t i) {
    return static_cast<std::int16_t>(GetBE16(p + 2 * i));
}

std::pair<std::size_t, double> Bracket(const std::uint8_t* axis, std::size_t n, double v) {
    if (v <= Cell(axis, 0)) return {0, 0.0};
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double lo = Cell(axis, i), hi = Cell(axis, i + 1);
        if (v < hi) return {i, hi > lo ? (v - lo) / (hi - lo) : 0.0};
    }
    return {n - 1, 0.0};
}

double Lookup(const MapView& map, double x, double y) {
    const auto [c, fx] = Bracket(map.x, map.cols, x);
    const auto [r, fy] = Bracket(map.y, map.rows, y);
    const std::size_t c1 = std::min(c + 1, map.cols - 1), r1 = std::min(r + 1, map.rows - 1);
    const auto at = [&](std::size_t row, std::size_t col) {
        return double(Cell(map.cells, row * map.cols + col));
    };
    const double top = at(r, c) + (at(r, c1) - at(r, c)) * fx;
    const double bottom = at(r1, c) + (at(r1, c1) - at(r1, c)) * fx;
    return top + (bottom - top) * fy;
}

const std::uint8_t* DataAt(const std::vector<std::uint8_t>& image, std::size_t offset) {
    return image.data() + kPrefixSize + offset;
}

MapView MapAt(const std::vector<std::uint8_t>& image, std::size_t offset, std::size_t matrices,
              std::size_t matrix) {
    constexpr std::size_t kMatrixBytes = 20 * 32 * 2;
    const std::uint8_t* base = DataAt(image, offset);
    return {base + matrix * kMatrixBytes, base + matrices * kMatrixBytes,
            base + matrices * kMatrixBytes + 64};
}

MapView MiniMapAt(const std::vector<std::uint8_t>& image, std::size_t offset) {
    const std::uint8_t* base = DataAt(image, offset);
    return {base, base + 8 * 16 * 2, base + 8 * 16 * 2 + 32, 8, 16};
}

MapView ExtMiniMapAt(const std::vector<std::uint8_t>& image, std::size_t offset) {
    const std::uint8_t* base = DataAt(image, offset);
    return {base, base + 10 * 16 * 2, base + 10 * 16 * 2 + 32, 10, 16};
}

std::size_t GearMatrix(int gear) {
    return static_cast<std::size_t>(std::clamp(gear, 1, static_cast<int>(kGears)) - 1);
}

double CurveIn(const std::vector<std::uint8_t>& image, std::size_t offset, std::size_t axis, std::size_t n,
               double x) {
    const std::uint8_t* values = DataAt(image, offset);
    const auto [i, f] = Bracket(DataAt(image, axis), n, x);
    const std::size_t i1 = std::min(i + 1, n - 1);
    return Cell(values, i) + (Cell(values, i1) - Cell(values, i)) * f;
}

} // namespace ecusim
