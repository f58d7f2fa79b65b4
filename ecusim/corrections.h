// What the ECU adds to its base injection and advance at an operating point, read from its data sets: the
// configuration (the injectors' dead times by battery voltage, the dwell, the pick-up) and the mapping
// slot it runs on (the temperature and pressure curves, the per-cylinder trims, the cranking, per-gear,
// velocity and acceleration maps, the injectors' partition, traction control).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace ecusim {

struct EngineState;

// The corrections the injection and the advance each have a table of: injection factors (1 = none) or
// advance corrections in degrees (0 = none).
struct Terms {
    double airTemp, waterTemp, baro, gear, acc, vel, tc;
    std::array<double, 4> user; // per cylinder
};

struct Corrections {
    Terms inj{1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, {1.0, 1.0, 1.0, 1.0}};
    Terms adv{0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, {}};
    double kCrank = 1.0; // the cranking factor
    // two injectors a cylinder: the low ones' share of the time (%), and the low and high ones' factors
    double lowPct = 100.0, kLow = 1.0, kHigh = 1.0;
    double deadLowMs = 0.0, deadHighMs = 0.0; // the injectors' opening time at the battery voltage
    double pickUpDeg = 0.0; // the pick-up's angle: it times the spark, it is no part of the advance
    double dwellMs = 0.0;
    int tcLevel = 0; // traction control acting at this level (0: not acting)
};

// The corrections of the data sets par (configuration) and map (mapping) at the engine's operating point.
Corrections CorrectionsAt(const std::vector<std::uint8_t>& par, const std::vector<std::uint8_t>& map,
                          const EngineState& engine);
// The product of the injection factors of a cylinder (0..3), and the sum of its advance corrections.
double InjectionFactor(const Corrections& c, std::size_t cylinder);
double AdvanceCorrection(const Corrections& c, std::size_t cylinder);

} // namespace ecusim
