// The marks of the 3-D view's axes.
#include "platform/ui/axisticks.h"

#include <algorithm>
#include <cmath>

namespace ui {
namespace {

constexpr double kValueSteps = 5; // about so many steps between the value axis's ends

// The round step (1, 2 or 5 times a power of ten) nearest above span / kValueSteps.
double RoundStep(double span) {
    const double rough = span / kValueSteps;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough * (1 - 1e-9)) return factor * power;
    return 10 * power;
}

// The point of a rising axis nearest a place on it (the lower of two as near).
std::size_t NearestPoint(std::span<const double> at, double place) {
    const auto above = static_cast<std::size_t>(std::ranges::lower_bound(at, place) - at.begin());
    if (above == at.size() || (above > 0 && place - at[above - 1] <= at[above] - place)) return above - 1;
    return above;
}

} // namespace

ValueTicks RoundValueTicks(double min, double max) {
    if (!(min < max)) { // a flat surface: one unit either side
        min -= 1;
        max += 1;
    }
    const double step = RoundStep(max - min);
    // Counted in whole steps, so that every tick is a multiple of the step however many there are.
    const auto first = static_cast<long long>(std::floor(min / step + 1e-9));
    const auto last = static_cast<long long>(std::ceil(max / step - 1e-9));
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    ValueTicks t;
    t.lo = static_cast<double>(first) * step;
    t.hi = static_cast<double>(last) * step;
    for (long long k = first; k <= last; ++k) {
        const double v = static_cast<double>(k) * step;
        t.at.push_back(v);
        t.labels << (k == first ? QString() : QString::number(k == 0 ? 0.0 : v, 'f', decimals));
    }
    return t;
}

std::vector<std::size_t> LabelledPoints(std::span<const double> at, std::size_t most) {
    if (at.empty() || most < 2) return std::vector<std::size_t>(std::min<std::size_t>(at.size(), most), 0);
    // As far apart as most labels spread over the whole axis, rounding aside.
    const double apart = (1 - 1e-9) / static_cast<double>(most - 1);
    const double first = at.front(), span = at.back() - first;
    for (std::size_t labels = std::min(most, at.size()); labels >= 2; --labels) {
        std::vector<std::size_t> chosen;
        for (std::size_t k = 0; k < labels; ++k) {
            const std::size_t point =
                NearestPoint(at, first + span * static_cast<double>(k) / static_cast<double>(labels - 1));
            if (!chosen.empty() && at[point] - at[chosen.back()] < apart) break;
            chosen.push_back(point);
        }
        if (chosen.size() == labels) return chosen;
    }
    return {0};
}

} // namespace ui
