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

std::vector<std::size_t> LabelledPoints(std::size_t count, std::size_t most) {
    if (count <= 1) return std::vector<std::size_t>(count, 0);
    // Every step-th point would give at most most labels; as many as that, spread from first to last.
    const std::size_t step = (count + most - 1) / std::max<std::size_t>(1, most);
    const std::size_t labels = (count - 1) / step + 1;
    std::vector<std::size_t> at;
    for (std::size_t k = 0; k < labels; ++k)
        at.push_back((k * (count - 1) + (labels - 1) / 2) / (labels - 1)); // rounded to the nearest point
    return at;
}

} // namespace ui
