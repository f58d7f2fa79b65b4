#include "orvane/core/logic/fieldvalue.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

template <class T> constexpr std::int64_t Lowest() {
    return std::numeric_limits<T>::lowest();
}
template <class T> constexpr std::int64_t Highest() {
    return std::numeric_limits<T>::max();
}

struct Limits {
    std::int64_t lo, hi;
};

constexpr Limits LimitsOf(Raw raw) {
    switch (raw) {
    case Raw::U8:
        return {0, Highest<std::uint8_t>()};
    case Raw::I8:
        return {Lowest<std::int8_t>(), Highest<std::int8_t>()};
    case Raw::U16:
        return {0, Highest<std::uint16_t>()};
    case Raw::I16:
        return {Lowest<std::int16_t>(), Highest<std::int16_t>()};
    case Raw::U32:
        return {0, Highest<std::uint32_t>()};
    case Raw::I32:
        return {Lowest<std::int32_t>(), Highest<std::int32_t>()};
    }
    return {0, 0};
}

} // namespace

double ShownValue(std::int64_t raw, double divisor) {
    return static_cast<double>(raw) / divisor;
}

std::int64_t StoredValue(double typed, double divisor, Raw raw, Rounding rounding) {
    const Limits limits = LimitsOf(raw);
    const double product = typed * divisor;
    if (std::isnan(product)) return 0;
    double rounded;
    if (rounding == Rounding::TowardZero)
        rounded = std::trunc(product);
    else if (RawSigned(raw))
        rounded = std::round(product); // half away from zero
    else
        rounded = product <= 0 ? 0 : std::trunc(product + 0.5);
    rounded = std::clamp(rounded, static_cast<double>(limits.lo), static_cast<double>(limits.hi));
    return static_cast<std::int64_t>(rounded);
}
