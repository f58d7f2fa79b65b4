// What the axes of the 3-D view mark: round ticks on the value axis, and which of a grid axis's points
// carry a label. Internal to platform/ui.
#pragma once

#include <QStringList>

#include <cstddef>
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

// The points of an axis of count points that carry a label, at most most of them: the first and the last,
// and between them points spread evenly, each label as far from the next as every step-th point of a
// labelling that fits most would be, so that no two crowd each other at either end.
std::vector<std::size_t> LabelledPoints(std::size_t count, std::size_t most);

} // namespace ui
