// How the bench engine breathes: the manifold pressure its throttle lets in and how well its cylinders
// fill over the speed range. The calibrated injection maps are written from this, and the simulated engine
// needs its fuel by it (with a little unevenness of its own that the maps do not know).
#pragma once

#include <algorithm>
#include <cmath>

namespace ecusim {

inline constexpr double kInjectorDeadMs = 0.9; // the injectors' opening time
inline constexpr double kMsPerBar = 7.5;       // injection time per bar in the cylinder, for lambda 1
inline constexpr double kIdleKpa = 28.0;       // manifold pressure with the throttle shut ...
inline constexpr double kKpaPerPct = 0.9;      // ... rising with the opening

// Manifold pressure at a throttle opening, never above the ambient pressure.
inline double ManifoldKpa(double throttlePct, double ambientKpa) {
    return std::min(ambientKpa, kIdleKpa + kKpaPerPct * throttlePct);
}

// The cylinders fill best around 7000 rpm, where the engine makes its torque.
inline double Filling(double rpm) {
    const double fromPeak = (rpm - 7000.0) / 4000.0;
    return 0.85 + 0.2 * std::exp(-fromPeak * fromPeak);
}

// The injection time for lambda 1 at an operating point, at neutral trims.
inline double InjectionForLambdaOne(double rpm, double manifoldBar) {
    return kInjectorDeadMs + kMsPerBar * manifoldBar * Filling(rpm);
}

// The cylinders differ a little: each one (0 the first) takes a little more fuel than the one before.
inline double CylinderShare(int cylinder) {
    return 1.0 + 0.015 * cylinder;
}

} // namespace ecusim
