// The arithmetic of the sensor calibration procedures, apart from the page and the link: the window a
// calibration reading must fall in, the throttle axis spread between its idle and full-open readings, and
// the straight line through the inner points of a curve.
#pragma once

#include <cstdint>
#include <span>

inline constexpr int kMaxAd = 1023;          // 10-bit converter
inline constexpr int kAdPlausibleSpan = 150; // a reading this far from the stored end point is suspect

struct AdWindow {
    int lo, hi;
    bool Holds(int reading) const { return reading >= lo && reading <= hi; }
};

// stored +- kAdPlausibleSpan, kept within 0..kMaxAd.
AdWindow PlausibleWindow(std::int16_t stored);

// Breakpoint k of n := idle + (full - idle) * k / (n - 1) in doubles, truncated toward zero; the ends are the
// readings themselves. A reversed sensor (full below idle) gives a falling axis, left for the page's repair.
void SpreadBreakpoints(int idle, int full, std::span<std::int16_t> axis);

// Point i (0-based) of count points on the straight line from first to last.
double LinePoint(double first, double last, int i, int count);
