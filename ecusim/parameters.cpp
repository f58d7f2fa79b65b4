#include "ecusim/parameters.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>

namespace ecusim {

namespace {

// Fields written one by one or as short rows.
struct Row {
    std::size_t offset;
    std::initializer_list<double> raws;
};

// Misc. 1: start thresholds, limits, wheels, idle control and starter.
const Row kMisc1[] = {
    {0x29B6C, {250, 3000}},                                           // the ECU's fixed words
    {0x29B70, {500}},                                                 // drop-switch delay [ms]
    {0x29B76, {400, 250}},                                            // engine on / off [rpm]
    {0x29B7A, {11000, 11200, 11400, 11600, 11800, 12000, kRevLimit}}, // advance limits, gears 1-6, overall
    {0x29B88, {11100, 11300, 11500, 11700, 11900, 12100, kRevLimit + 100}}, // injection limits
    {0x29B96, {1050, 1050}},                                                // pressure limits [mbar]
    {0x29998,
     {1950, 2010, 6, 6, 10, 10, 20}}, // wheels: circumferences [mm], pulses, filter depths, slip filter
    {0x29BA0, {-200, 0, 100, 200, 300, 400, 500, 600, 700, 800}}, // idle set-points by water [deg C x 10]
    {0x29BB4, {1600, 1550, 1500, 1450, 1400, 1350, 1300, 1250, 1200, 1150}}, // idle speed [rpm]
    {0x29BC8, {400, 360, 330, 300, 270, 240, 210, 190, 170, 150}},           // normal step [% x 10]
    {0x29BDC, {600, 550, 500, 450, 400, 360, 320, 290, 270, 250}},           // start step [% x 10]
    {0x29BF0, {0, 1500, 5, 20, 100}}, // idle offset, ramp [ms], min throttle, re-calibration, hold time
    {0x29BFC, {500, 2000, 30000, 800, 2500, -100, 2500, 30}}, // slow hold, time and speed window, min water,
                                                              // speed threshold [rpm], throttle threshold
    {0x29C0C, {600, -100, 200, 500, 800, 80, 60, 45, 35}},    // starter: threshold, water axis, throttle
    {0x29C1E, {2000, 4000}},                                  // injection partition filter depths
};

// CO correction: window, steps, sensors, cylinders and the delay after start.
const Row kCoCorrection[] = {
    {0x29B24, {1500, 9000, 50, 600, 600, 1100, 500, 300, 5, 20, 150, 10000}},
    {0x28D38, {0, 200, 400, 500, 600, 700, 800, 900}}, // delay by water temperature
    {0x28D28, {180, 120, 90, 60, 45, 30, 20, 10}},
};

// Anti-lag (off), launch control (off), speed limiter.
const Row kRaceAids[] = {
    {0x29C24, {10, 50}},                                                 // anti-lag time, throttle threshold
    {0x29ADA, {1000, -50, 500}},                                         // launch injection, advance, PWM
    {0x29AE0, {0, 10, 20, 40, 60, 80, 100, 120}},                        // launch reference speeds [km/h]
    {0x29A7A, {6300, 6600, 6900, 7200, 7500, 7800, 8100, 8400}},         // injection activation, upper [rpm]
    {0x29A8A, {6000, 6300, 6600, 6900, 7200, 7500, 7800, 8100}},         // ... lower
    {0x29A9A, {6200, 6500, 6800, 7100, 7400, 7700, 8000, 8300}},         // advance activation, upper
    {0x29AAA, {5900, 6200, 6500, 6800, 7100, 7400, 7700, 8000}},         // ... lower
    {0x29ABA, {6100, 6400, 6700, 7000, 7300, 7600, 7900, 8200}},         // PWM activation, upper
    {0x29ACA, {5800, 6100, 6400, 6700, 7000, 7300, 7600, 7900}},         // ... lower
    {0x29AF2, {7000, 7200, 55, 60, 4000, 4500, 5000, 5500, 1000, -100}}, // launch limits, speed limiter
};

// Cut off: throttle variation thresholds; Transient: steps, filters, noise and clipping of the injection and
// the advance transient.
const Row kTransient[] = {
    {0x29B08, {200, 200}},
    {0x299A6, {10, 4, 10, 8000, 4000}},
    {0x29A10, {10, 4, 10, 50, 30}},
};

// The eight levels of a transient, rising and falling alike: thresholds [deg/s x 10], gains (x 100),
// decays, each row of eight 16 bytes after the one before.
constexpr std::array<std::array<double, 8>, 3> kTransientLevels = {{
    {20, 40, 80, 150, 250, 400, 600, 900},
    {50, 60, 70, 80, 90, 100, 110, 120},
    {100, 150, 200, 300, 400, 500, 650, 800},
}};
void FillTransientLevels(const ImageWriter& w, std::size_t offset) {
    for (std::size_t row = 0; row < 6; ++row)
        for (std::size_t level = 0; level < 8; ++level)
            w.Word(offset + 16 * row + 2 * level, kTransientLevels[row / 2][level]);
}

// Gear & Shift: sensor thresholds of gears 1-6, the quick shifter.
const Row kGearShift[] = {
    {0x29948, {78, 234, 390, 546, 702, 858, 0, 156, 312, 468, 624, 780, 10}},
    {0x29962, {4000, 10, 60, 55, 50, 45, 40, 40, 200, -100, 1000, 50, 11, 50}},
    {0x2997E, {30, 30, 30, 30, 30, 30, 10, 10, 10, 10, 10, 10}},
};

// Blipping and Misc. 2 (by-pass air).
const Row kBlipBypass[] = {
    {0x2A13A, {20, 3000, 100, 300, 20}},
    {0x2A144, {600, 650, 700, 750, 800, 420, 380, 340, 300, 260}}, // up- and down-shift thresholds [A/D]
    {0x2A158, {50, 60, 70, 80, 90, 40, 50, 60, 70, 80, 30, 40, 50, 60, 70}},
    {0x29B48, {2000, 0, 500, 20}},
    {0x29B50, {100, 100, 90, 80, 70, 60, 50, 200, 180, 160, 140, 120, 100, 80}},
};

constexpr std::array<double, 10> kThrottle10 = {0, 50, 100, 150, 200, 300, 400, 550, 750, 1000};
double Throttle10(int r) {
    return kThrottle10[static_cast<std::size_t>(r)];
}

void FillMiniMaps(const ImageWriter& w) {
    const auto mini = [&](std::size_t offset, const CellOf& cell) {
        FillGrid(w, {offset, 1, 8, 16}, Rpm16, Throttle8, cell);
    };
    // Neutral gear: a touch leaner and later; anti-lag: cuts at low speed, strong retard.
    mini(0x27E78, [](int, double rpm, double deg) { return 1000 - 20 * (1 - SpeedShare(rpm)) - deg / 50; });
    mini(0x27FA8, [](int, double rpm, double) { return -20 * (1 - SpeedShare(rpm)); });
    mini(0x280D8, [](int, double rpm, double) { return std::round(4 * (1 - SpeedShare(rpm))); });
    mini(0x28208, [](int, double rpm, double) { return std::round(6 * (1 - SpeedShare(rpm))); });
    mini(0x28338, [](int, double rpm, double deg) { return -200 + 100 * SpeedShare(rpm) - deg / 20; });
    // Traction control: less fuel and a retard as the throttle opens.
    FillGrid(w, {0x27B90, 1, 10, 16}, Rpm16, Throttle10,
             [](int, double rpm, double deg) { return 1000 - deg / 10 * (0.5 + SpeedShare(rpm)); });
    FillGrid(w, {0x27D04, 1, 10, 16}, Rpm16, Throttle10, [](int, double, double deg) { return -deg / 10; });
}

// The traction-control levels: each one cuts a little more fuel and spark.
void FillTractionLevels(const ImageWriter& w) {
    for (int n = 0; n < 64; ++n) {
        const std::size_t at = 0x29C38 + 20 * static_cast<std::size_t>(n);
        w.Words(at, {1000.0 - 12 * n, 1000.0 - 8 * n});
        const auto off = static_cast<std::uint8_t>(std::min(n / 4, 10));
        for (std::size_t k = 0; k < 8; k += 2) {
            w.Byte(at + 4 + k, off);
            w.Byte(at + 5 + k, static_cast<std::uint8_t>(20 - off));
            w.Byte(at + 12 + k, static_cast<std::uint8_t>(off / 2));
            w.Byte(at + 13 + k, static_cast<std::uint8_t>(20 - off / 2));
        }
    }
}

// The cut-off sets: on a closed throttle above 2400 rpm the fuel is cut and the spark retarded.
void FillCutOffSets(const ImageWriter& w) {
    for (const std::size_t set : {std::size_t{0x28D48}, std::size_t{0x29348}})
        for (std::size_t g = 0; g < 6; ++g)
            for (std::size_t c = 0; c < 16; ++c) {
                const double rpm = Rpm16(static_cast<int>(c));
                w.Word(set + 32 * g + 2 * c, rpm);
                w.Word(set + 0xC0 + 32 * g + 2 * c, 20);
                for (std::size_t k = 0; k < 4; ++k)
                    w.Word(set + 0x180 + 128 * g + 32 * k + 2 * c, rpm < 2400 ? 1000 : 0);
                w.Word(set + 0x480 + 32 * g + 2 * c, -50);
                w.Word(set + 0x540 + 32 * g + 2 * c, 200 + 10 * g);
            }
    for (std::size_t k = 0; k < 2; ++k) // both cylinders, every gear
        for (std::size_t g = 0; g < 6; ++g)
            w.Byte(0x29B0C + 6 * k + g, 1);
    w.Byte(0x29B9C, 16); // throttle variation filter depth
}

// The transient corrections by speed and by water temperature, and the by-pass air steps that ease the
// engine brake more the faster the engine turns.
void FillCorrectionRows(const ImageWriter& w) {
    for (int c = 0; c < 32; ++c) {
        const std::size_t k = 2 * static_cast<std::size_t>(c);
        const double rpm = 1000 + 350 * c;
        const double s = SpeedShare(rpm);
        w.Word(0x286C8 + k, 1000 - 600 * s);
        w.Word(0x28708 + k, 800 - 500 * s);
        w.Word(0x28748 + k, rpm);
        w.Word(0x28788 + k, 500 - 300 * s);
        w.Word(0x287C8 + k, 400 - 250 * s);
        w.Word(0x28808 + k, rpm);
        for (std::size_t r = 0; r < 7; ++r)
            w.Word(0x28848 + 0x40 * r + k, std::max(0.0, 50 + 25.0 * c - 15.0 * r));
        w.Word(0x28A08 + k, rpm);
    }
    FillCurve(
        w, 0x28C48, [](int k) { return -200 + 100.0 * k; }, // pre-injection by water [ms x 10]
        [](double t) { return 50 + 350 * std::clamp((600 - t) / 800, 0.0, 1.0); });
    for (int k = 0; k < 16; ++k) {
        const double t = -200 + 100.0 * k; // water [deg C x 10]
        const std::size_t at = 2 * static_cast<std::size_t>(k);
        w.Word(0x28CC8 + at, 1000 + 1000 * std::clamp((700 - t) / 900, 0.0, 1.0));
        w.Word(0x28CE8 + at, 800 + 800 * std::clamp((700 - t) / 900, 0.0, 1.0));
        w.Word(0x28D08 + at, t);
    }
}

// Blipping targets of both butterflies by engine speed, one row per shift.
void FillBlipTargets(const ImageWriter& w) {
    for (const std::size_t table : {std::size_t{0x2A176}, std::size_t{0x2A236}}) {
        for (std::size_t r = 0; r < 5; ++r)
            for (std::size_t c = 0; c < 16; ++c)
                w.Word(table + 32 * r + 2 * c, 150 + 10.0 * c + 20.0 * r);
        for (std::size_t c = 0; c < 16; ++c)
            w.Word(table + 0xA0 + 2 * c, Rpm16(static_cast<int>(c)));
    }
}

} // namespace

void FillCoCorrectionMap(const ImageWriter& w, std::size_t offset, int map) {
    FillGrid(w, {offset, 1, 10, 16}, Rpm16, Throttle10, [map](int, double rpm, double deg) {
        return 1000 + (map == 0 ? 8 : -6) * (1 - SpeedShare(rpm)) - deg / 200;
    });
}

void FillParameters(const ImageWriter& w, int slot) {
    for (const auto& rows : {std::span<const Row>(kMisc1), std::span<const Row>(kCoCorrection),
                             std::span<const Row>(kRaceAids), std::span<const Row>(kTransient),
                             std::span<const Row>(kGearShift), std::span<const Row>(kBlipBypass)})
        for (const Row& row : rows)
            w.Words(row.offset, row.raws);
    // Misc. 1 bytes: the speed and acceleration filter depths, and the idle speed filter.
    w.Byte(0x29B9A, 4);
    w.Byte(0x29B9B, 8);
    w.Byte(0x29BFA, 8);
    // CO correction: map A by lambda sensor 1 on cylinder 1, map B by sensor 2 on cylinder 2.
    w.Byte(0x29B3C, 1);
    w.Byte(0x29B3D, 2);
    w.Byte(0x29B3E, 1);
    w.Byte(0x29B43, 1);
    w.Byte(0x29C22, 4); // anti-lag cut periods
    w.Byte(0x29C23, 4);
    FillCoCorrectionMap(w, 0x278A8, 0);
    FillCoCorrectionMap(w, 0x27A1C, 1);
    FillMiniMaps(w);
    FillTractionLevels(w);
    FillCutOffSets(w);
    FillCorrectionRows(w);
    FillTransientLevels(w, 0x299B0);
    FillTransientLevels(w, 0x29A1A);
    FillBlipTargets(w);
    // Misc. 2: the auxiliary output, configured as switched by engine speed, closes from 9000 rpm up.
    FillCurve(w, 0x28C88, Rpm16, [](double rpm) { return rpm >= 9000 ? 1 : 0; });
    if (slot == 2) w.Words(0x29B7A + 12, {kRevLimit + 200}); // the second slot revs a little higher
}

} // namespace ecusim
