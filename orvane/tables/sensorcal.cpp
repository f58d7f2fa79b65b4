#include "orvane/tables/sensorcal.h"

#include <algorithm>

AdWindow PlausibleWindow(std::int16_t stored) {
    return {std::max(stored - kAdPlausibleSpan, 0), std::min(stored + kAdPlausibleSpan, kMaxAd)};
}

void SpreadBreakpoints(int idle, int full, std::span<std::int16_t> axis) {
    const int last = static_cast<int>(axis.size()) - 1;
    // In double precision: a falling axis truncates its points toward zero, not its steps.
    for (int k = 0; k <= last; ++k)
        axis[k] = static_cast<std::int16_t>(k == last ? full : idle + (full - idle) * k / double(last));
}

double LinePoint(double first, double last, int i, int count) {
    return first + (last - first) * i / (count - 1);
}
