// Writing calibration values into a stored data set: link byte order, offsets counted from where the
// data start (after the image prefix, or from the first byte of a bare map area).
#pragma once

#include "ecusim/model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string_view>

namespace ecusim {

// The engine-speed span the maps' speed axes cover, and where an engine speed lies in it (0 to 1).
inline constexpr double kAxisStartRpm = 1000, kRevLimit = 12000;
inline double SpeedShare(double rpm) {
    return (rpm - kAxisStartRpm) / (kRevLimit - kAxisStartRpm);
}

// The axes of the small tables over speed and throttle: 16 engine speeds, 8 throttle openings (x10).
inline double Rpm16(int c) {
    return kAxisStartRpm + 700 * c;
}
inline constexpr std::array<double, 8> kThrottle8 = {0, 50, 100, 200, 350, 500, 750, 1000};
inline double Throttle8(int r) {
    return kThrottle8[static_cast<std::size_t>(r)];
}

struct ImageWriter {
    std::span<std::uint8_t> bytes;
    std::size_t base = kPrefixSize;

    // A 16-bit field, rounded to the nearest whole raw value.
    void Word(std::size_t offset, double raw) const {
        PutBE16(bytes.data() + base + offset,
                static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(raw))));
    }
    void Words(std::size_t offset, std::initializer_list<double> raws) const {
        for (const double raw : raws) {
            Word(offset, raw);
            offset += 2;
        }
    }
    void Byte(std::size_t offset, std::uint8_t value) const { bytes[base + offset] = value; }
    // A zero-terminated text (the caller keeps it within its field).
    void Text(std::size_t offset, std::string_view text) const {
        std::ranges::copy(text, bytes.begin() + static_cast<std::ptrdiff_t>(base + offset));
        bytes[base + offset + text.size()] = 0;
    }
};

using Axis = std::function<double(int index)>;                        // raw breakpoint
using CellOf = std::function<double(int matrix, double x, double y)>; // raw cell from raw breakpoints

// A table block: matrices of rows x cols cells, row by row, then the cols column breakpoints and the
// rows row breakpoints.
struct Grid {
    std::size_t offset;
    int matrices, rows, cols;
};
void FillGrid(const ImageWriter& w, Grid g, const Axis& x, const Axis& y, const CellOf& cell);

// A 16-point curve: its values (raw, from the raw breakpoint), then its breakpoints.
void FillCurve(const ImageWriter& w, std::size_t offset, const Axis& bp,
               const std::function<double(double)>& value);

} // namespace ecusim
