// How the ECU reads its tables at an operating point: signed 16-bit cells and breakpoints, big-endian as
// the data sets hold them; linear between breakpoints and held at the ends of an axis.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace ecusim {

// A table of rows x cols cells (row-major) with its column (x) and row (y) breakpoints.
struct MapView {
    const std::uint8_t* cells; // cells[row][col]
    const std::uint8_t* x;     // cols breakpoints
    const std::uint8_t* y;     // rows breakpoints
    std::size_t rows = 20, cols = 32;
};

std::int16_t Cell(const std::uint8_t* p, std::size_t i);
// Index of the lower of the n breakpoints around v and the fraction towards the next one, clamped to the
// axis.
std::pair<std::size_t, double> Bracket(const std::uint8_t* axis, std::size_t n, double v);
// The bilinear lookup at (x, y) in raw axis units.
double Lookup(const MapView& map, double x, double y);

// The data of an image at offset (from where its data start, after the prefix).
const std::uint8_t* DataAt(const std::vector<std::uint8_t>& image, std::size_t offset);
// Views into a data image (offsets from where its data start, after the prefix): a block of 20x32
// matrices with shared axes, the matrix-th of them; an 8x16 table; a 10x16 table.
MapView MapAt(const std::vector<std::uint8_t>& image, std::size_t offset, std::size_t matrices,
              std::size_t matrix = 0);
MapView MiniMapAt(const std::vector<std::uint8_t>& image, std::size_t offset);
MapView ExtMiniMapAt(const std::vector<std::uint8_t>& image, std::size_t offset);
// A per-gear block holds a matrix for each of the gears 1 to kGears.
inline constexpr std::size_t kGears = 6;
// The matrix of a per-gear block for a gear; in neutral (0) the first gear's.
std::size_t GearMatrix(int gear);
// The n-point curve at offset whose breakpoints lie at axis.
double CurveIn(const std::vector<std::uint8_t>& image, std::size_t offset, std::size_t axis, std::size_t n,
               double x);

} // namespace ecusim
