#include "orvane/maps/cellcalc.h"

#include <algorithm>
#include <cmath>
#include <limits>

double RoundHalfAway(double x) {
    return std::trunc(x >= 0 ? x + 0.5 : x - 0.5);
}

std::int16_t RawFromDisplay(double d, double scale) {
    constexpr double lo = std::numeric_limits<std::int16_t>::min();
    constexpr double hi = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::clamp(RoundHalfAway(d * scale), lo, hi));
}

MapValOperand MakeMapValOperand(MapValOp op, double typed, double scale) {
    const double k = op == MapValOp::Percent ? 10.0 : scale;
    const double v = RoundHalfAway(typed * k) / k;
    return {op, v, 1.0 + v / 100.0};
}

double PreviewCell(const MapValOperand& o, std::int16_t raw, double scale, double lo, double hi) {
    double x = o.v;
    if (o.op == MapValOp::Add)
        x = raw / scale + o.v;
    else if (o.op == MapValOp::Percent)
        x = raw * o.f / scale;
    return std::clamp(x, lo, hi);
}

std::int16_t ApplyCell(const MapValOperand& o, std::int16_t raw, double scale, double lo, double hi) {
    double x = scale * o.v;
    if (o.op == MapValOp::Add)
        x = raw + scale * o.v;
    else if (o.op == MapValOp::Percent)
        x = raw * o.f;
    return static_cast<std::int16_t>(RoundHalfAway(std::clamp(x, scale * lo, scale * hi)));
}
