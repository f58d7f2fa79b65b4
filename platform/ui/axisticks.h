// What the axes of the 3-D view mark: round ticks on the value axis, and which of a grid axis's points
// carry a label. Internal to platform/ui.
#pragma once

#include <QStringList>

#include <cstddef>
#include <span>
#include <vector>

namespace ui {

// The value axis from a round tick at or below the lowest value to one at or above the highest, ticked
// every step of 1, 2 or 5 times a power of ten (about five steps). Each tick is labelled with the decimals
// its step needs but the one at the floor: there the grid axes' end labels stand.
struct ValueTicks {
    double lo = 0, hi = 0;
    std::vector<double> at;
    QStringList labels; // one per tick; the floor's is empty
};
ValueTicks RoundValueTicks(double min, double max);

// The points of an axis that carry a label, given where each lies along it (rising, 0 at its start and 1 at
// its end): the first and the last, and between them as many as, spread evenly along the axis (each the
// point nearest its even share), keep every two neighbours as far apart as most labels spread over the
// whole axis would be; at most most in all. Points crowded at one end (fine steps there) are labelled no
// nearer each other than those elsewhere.
std::vector<std::size_t> LabelledPoints(std::span<const double> at, std::size_t most);

} // namespace ui
