#include "ecusim/calibration.h"

#include "ecusim/engine.h"
#include "ecusim/filling.h"
#include "ecusim/imagewriter.h"
#include "ecusim/parameters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <string>

namespace ecusim {

namespace {

// The engine as the maps are calibrated for it.
constexpr double kAmbientKpa = 100; // the pressure the maps are calibrated at

constexpr int kCols = 32, kRows = 20;

constexpr std::size_t kNotes = 0x40; // the data set's notes text, in both images
constexpr char kEngineNote[] =
    "Bench engine: two cylinders with two injectors each (low and high), 36-1 wheel, "
    "idle 1150 rpm, rev limit 12000 rpm.";

// Breakpoints of the maps.
constexpr std::array<double, kRows> kThrottleDeg = {0,  2,  4,  6,  8,  10, 13, 16, 20, 25,
                                                    30, 36, 42, 50, 58, 66, 75, 84, 92, 100};
double RpmAt(int col) {
    return kAxisStartRpm + std::round(col * (kRevLimit - kAxisStartRpm) / (kCols - 1) / 50) * 50;
}
double PressureAt(int row) {
    return 200 + 50.0 * row; // mbar
}

// The manifold pressure the throttle lets in [bar].
double BarOfThrottle(double deg) {
    return ManifoldKpa(deg, kAmbientKpa) / 100;
}
// Load from throttle opening: the air flow saturates well before the throttle is wide open.
double LoadOfThrottle(double deg) {
    return (1 - std::exp(-deg / 22)) / (1 - std::exp(-100.0 / 22));
}

// The calibration of one slot: the second is 4 % richer and 1.5 degrees more advanced.
struct Tune {
    double richness;
    double advance; // degrees
};

// A calibration map: kRows x kCols cells per matrix, each display value x scale clamped to lo..hi.
void FillMap(const ImageWriter& w, std::size_t offset, int matrices, const Axis& x, const Axis& y,
             double scale, double lo, double hi, const CellOf& cell) {
    FillGrid(w, {offset, matrices, kRows, kCols}, x, y, [&](int m, double bx, double by) {
        return std::clamp(std::round(cell(m, bx, by) * scale), lo * scale, hi * scale);
    });
}

// Axes in their raw units.
double RpmAxis(int c) {
    return RpmAt(c);
}
double ThrottleAxis(int r) {
    return kThrottleDeg[static_cast<std::size_t>(r)] * 10;
}
double PressureAxis(int r) {
    return PressureAt(r);
}
double RevolutionsAxis(int c) {
    return 2.0 * c * (c + 1); // revolutions since the start
}
double WaterAxis(int r) {
    return (-30 + 8 * r) * 10;
}
double VelocityAxis(int c) {
    return 10.0 * c; // km/h
}
double Deg(double raw) {
    return raw / 10;
}

// Acceleration levels of maps 9 and 10 [rpm/s]: the lower gears rev up faster.
constexpr std::array<double, 6> kAccelLevels = {0, 500, 1000, 2000, 4000, 8000};
void FillAccelerationLevels(const ImageWriter& w, std::size_t zOffset) {
    for (int g = 0; g < 6; ++g)
        for (int k = 0; k < 6; ++k)
            w.Word(zOffset + 2 * (6 * g + k), std::round(kAccelLevels[k] * (1.0 - 0.1 * g) / 50) * 50);
}

void FillMaps(const ImageWriter& w, const Tune& t) {
    // 1, 2: base injection time for lambda 1, by throttle and by manifold pressure, each cylinder's own.
    const auto injection = [&](double bar, double rpm, int cylinder) {
        return InjectionForLambdaOne(rpm, bar) * t.richness * CylinderShare(cylinder);
    };
    FillMap(w, kMap1Offset, 4, RpmAxis, ThrottleAxis, 1000, 0, 32,
            [&](int m, double x, double y) { return injection(BarOfThrottle(Deg(y)), x, m); });
    FillMap(w, kMap2Offset, 4, RpmAxis, PressureAxis, 1000, 0, 32,
            [&](int m, double x, double y) { return injection(y / 1000, x, m); });
    // 3: advance, rising with speed and falling with load.
    FillMap(w, kMap3Offset, 1, RpmAxis, ThrottleAxis, 10, -72, 72, [&](int, double x, double y) {
        return 14 + 26 * std::pow(SpeedShare(x), 0.7) - 10 * LoadOfThrottle(Deg(y)) + t.advance;
    });
    // 4: cranking enrichment, large on a cold engine and fading over the first revolutions.
    FillMap(w, 0x26010, 1, RevolutionsAxis, WaterAxis, 1000, 0, 32, [](int, double revs, double water) {
        const double cold = std::clamp((80 - Deg(water)) / 110, 0.0, 1.0);
        return 1 + (0.3 + 2.0 * cold) * std::exp(-revs / 150);
    });
    // 5, 6: per-gear corrections near neutral.
    FillMap(w, 0x19968, 6, RpmAxis, ThrottleAxis, 1000, 0, 2, [](int g, double x, double y) {
        return 1 + 0.008 * g - 0.01 * LoadOfThrottle(Deg(y)) * SpeedShare(x);
    });
    FillMap(w, 0x1B7D0, 6, RpmAxis, ThrottleAxis, 10, -72, 72,
            [](int g, double, double y) { return 0.3 * g - 0.8 * LoadOfThrottle(Deg(y)); });
    // 7, 8: by vehicle speed: a little richer and more advanced under load at speed.
    FillMap(w, 0x25540, 1, VelocityAxis, ThrottleAxis, 1000, 0, 2,
            [](int, double v, double y) { return 1 + 0.04 * v / 310 * LoadOfThrottle(Deg(y)); });
    FillMap(w, 0x25AA8, 1, VelocityAxis, ThrottleAxis, 10, -72, 72,
            [](int, double v, double) { return v / 310; });
    // 9, 10: acceleration enrichment and retard, per gear and level, strongest at part load.
    FillMap(w, 0x001D0, 36, RpmAxis, ThrottleAxis, 1000, 0, 2, [](int m, double x, double y) {
        const double level = (m % 6) / 5.0, gear = m / 6;
        return 1 + (0.12 + 0.005 * gear) * level * (1 - LoadOfThrottle(Deg(y))) * (1 - 0.5 * SpeedShare(x));
    });
    FillMap(w, 0x0B680, 36, RpmAxis, ThrottleAxis, 10, -72, 72,
            [](int m, double x, double) { return -0.4 * (m % 6) * (1 - SpeedShare(x)); });
    FillAccelerationLevels(w, 0x0B638);
    FillAccelerationLevels(w, 0x16AE8);
    // 11, 12: the low and high injectors' trims.
    FillMap(w, 0x26578, 1, RpmAxis, ThrottleAxis, 1000, 0, 2,
            [](int, double x, double) { return 1.01 - 0.02 * SpeedShare(x); });
    FillMap(w, 0x26AE0, 1, RpmAxis, ThrottleAxis, 1000, 0, 2,
            [](int, double x, double) { return 0.98 + 0.03 * SpeedShare(x); });
    // 13: the share of the low injectors [%], all of the fuel at low speed and load, giving way to the
    // high injectors as speed and load rise.
    FillMap(w, kMap13Offset, 1, RpmAxis, ThrottleAxis, 10, 0, 100, [](int, double x, double y) {
        return 100 *
               (1 - std::clamp(1.2 * (SpeedShare(x) - 0.3) + 0.4 * LoadOfThrottle(Deg(y)) - 0.1, 0.0, 0.85));
    });
    // 14: the auxiliary throttle a little ahead of the main one.
    FillMap(w, 0x1D638, 6, RpmAxis, ThrottleAxis, 10, 0, 100,
            [](int g, double x, double y) { return Deg(y) + 10 * SpeedShare(x) + g; });
    // 15: the PWM output (exhaust valve) opening with speed and load.
    FillMap(w, 0x1F4A0, 6, RpmAxis, ThrottleAxis, 10, 0, 100,
            [](int g, double x, double y) { return 15 + 60 * SpeedShare(x) * LoadOfThrottle(Deg(y)) + g; });
    // 16, 17: the butterflies following the grip, gentler in the low gears; body 2 a shade behind.
    const auto butterfly = [](int g, double y, double share) {
        return share * 100 * std::pow(Deg(y) / 100, 1.4 - 0.08 * g);
    };
    FillMap(w, 0x21308, 6, RpmAxis, ThrottleAxis, 10, 0, 100,
            [&](int g, double, double y) { return butterfly(g, y, 1.0); });
    FillMap(w, 0x23170, 6, RpmAxis, ThrottleAxis, 10, 0, 100,
            [&](int g, double, double y) { return butterfly(g, y, 0.98); });
}

// The 8 x 16 tables over speed and throttle (trims, phases).
void FillSpeedThrottleTable(const ImageWriter& w, std::size_t offset, int matrices, const CellOf& cell) {
    FillGrid(w, {offset, matrices, 8, 16}, Rpm16, Throttle8, cell);
}

// Breakpoints of the correction curves.
double AirTempBp(int k) {
    return (-20 + 10 * k) * 10;
}
double BaroBp(int k) {
    return 600 + 35.0 * k;
}
double SelectorBp(int k) {
    return 333.0 * k; // mV
}

void FillCorrections(const ImageWriter& w) {
    // Trims: within a percent of neutral, each cylinder its own pattern.
    FillSpeedThrottleTable(w, 0x27048, 4, [](int m, double rpm, double deg) {
        return 1000 + 6 * std::sin(deg / 100 + rpm / 1400 + m);
    });
    FillSpeedThrottleTable(w, 0x27478, 4, [](int m, double rpm, double deg) {
        return 3 * std::cos(deg / 140 + rpm / 2300 + 2 * m);
    });
    // Injection: air density, warm-up, barometric pressure, traction-control selector.
    FillCurve(w, 0x28A48, AirTempBp, [](double t) { return 1000 * (273 + 20.0) / (273 + t / 10); });
    FillCurve(w, 0x28A88, AirTempBp,
              [](double t) { return 1000 * (1 + 0.6 * std::clamp((70 - t / 10) / 90, 0.0, 1.0)); });
    FillCurve(w, 0x28AC8, BaroBp, [](double p) { return 1000 * p / 1013; });
    FillCurve(w, 0x28B08, SelectorBp, [](double mv) { return 1000 - 0.06 * mv; });
    // Advance: retard when hot, more on a cold engine and in thin air.
    FillCurve(w, 0x28B48, AirTempBp, [](double t) { return -(t / 10 - 20) * 0.2; });
    FillCurve(w, 0x28B88, AirTempBp, [](double t) { return 30 * std::clamp((80 - t / 10) / 100, 0.0, 1.0); });
    FillCurve(w, 0x28BC8, BaroBp, [](double p) { return (1013 - p) * 0.05; });
    FillCurve(w, 0x28C08, SelectorBp, [](double mv) { return 1000 - 0.06 * mv; });
}

// The injection phases of the low and high injectors [deg], later with speed.
void FillPhases(const ImageWriter& w) {
    FillSpeedThrottleTable(w, kPhaseLowOffset, 1,
                           [](int, double rpm, double deg) { return 300 + rpm / 47 - deg / 33; });
    FillSpeedThrottleTable(w, kPhaseHighOffset, 1,
                           [](int, double rpm, double deg) { return 360 + rpm / 35 - deg / 33; });
}

} // namespace

void CalibrateMapping(std::span<std::uint8_t> image, int slot) {
    if (image.size() != kMapImageSize) return;
    const ImageWriter w{image};
    const Tune tune = slot == 2 ? Tune{1.04, 1.5} : Tune{1.0, 0};
    FillMaps(w, tune);
    FillCorrections(w);
    FillPhases(w);
    FillParameters(w, slot);
    w.Text(kNotes, slot == 2 ? std::string(kEngineNote) + " Slot 2: 4 % richer, 1.5 deg more advance."
                             : std::string(kEngineNote));
    SealImage(image);
}

void CalibrateCoCorrection(std::span<std::uint8_t> area, int map) {
    if (area.size() != kExtMiniMapSize) return;
    FillCoCorrectionMap(ImageWriter{area, 0}, 0, map);
}

void CalibrateSensors(std::span<std::uint8_t> image) {
    if (image.size() != kParImageSize) return;
    const ImageWriter w{image};
    // Each sensor's A/D span onto its physical range (the spans the simulated sensors report).
    const auto span = [](double lo, double hi) {
        return [lo, hi](int k) { return std::round(lo + (hi - lo) * k / 15); };
    };
    const auto linear = [](double adLo, double adHi, double lo, double hi) {
        return [=](double ad) { return lo + (hi - lo) * (ad - adLo) / (adHi - adLo); };
    };
    const Axis fullSpan = span(0, 1020);
    FillCurve(w, kParThrottleCurve, span(kThrottleAdShut, kThrottleAdOpen),
              linear(kThrottleAdShut, kThrottleAdOpen, 0, 1000)); // throttle [deg x 10]
    // The temperature sensors read lower when hot (5.38 A/D a degree below 150 deg C), the manifold pressure
    // 8.5 A/D a kPa, as the simulated engine's sensors do.
    const Axis ntc = span(40, 940);
    FillCurve(w, kParWaterCurve, ntc, linear(0, 5.38, 1500, 1490));
    FillCurve(w, kParAirCurve, ntc, linear(0, 5.38, 1500, 1490));
    FillCurve(w, kParManifoldCurve, fullSpan, linear(0, 8.5, 0, 10));       // manifold pressure [mbar]
    FillCurve(w, kParTcLevelCurve, fullSpan, linear(0, 1023, 0, 5000));     // traction selector [mV]
    FillCurve(w, kParLambda1Curve, fullSpan, linear(0, 1020, 6500, 13000)); // lambda 1, 0.650 .. 1.300
    FillCurve(w, kParLambda2Curve, fullSpan, linear(0, 1020, 6500, 13000)); // lambda 2
    FillCurve(w, kParForkCurve, fullSpan, linear(0, 1020, 0, 1200));        // fork travel [mm x 10]
    FillCurve(w, kParShockCurve, fullSpan, linear(0, 1020, 0, 600));        // shock travel
    FillCurve(w, 0x604, span(150, 850), linear(150, 850, 0, 1000)); // gas of an external drive-by-wire
    // End points of the auxiliary throttle, the pedal and the two throttle bodies (sensors A and B).
    w.Words(0x6B2, {120, 900});
    w.Words(0x70C, {150, 850, 75, 425, 102, 918, 918, 102, 110, 910, 910, 110});
    w.Text(kNotes, kEngineNote);
    SealImage(image);
}

} // namespace ecusim
