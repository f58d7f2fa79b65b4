#include "ecusim/outputs.h"

#include "ecusim/lookup.h"
#include "ecusim/model.h"

#include <algorithm>

namespace ecusim {

namespace {

// Per-gear maps of the mapping slot: the auxiliary throttle, the PWM output, the two throttle bodies.
constexpr std::size_t kMapAuxThrottle = 0x1D638, kMapPwm = 0x1F4A0, kMapBody1 = 0x21308, kMapBody2 = 0x23170;
constexpr std::size_t kParPwmByPressure = 0x77E; // nonzero: the PWM map by manifold pressure
// Engine brake control: seven rows of by-pass air steps (x10) over engine speed, gears 1 to 6 and neutral;
// active from an engine speed while the throttle lies between two limits (x10), the steps at most a
// maximum.
constexpr std::size_t kBypassSteps = 0x28848, kBypassAxis = 0x28A08, kBypassRow = 0x40, kBypassPoints = 32;
constexpr std::size_t kBypassFromRpm = 0x29B48, kBypassThrottleLower = 0x29B4A,
                      kBypassThrottleUpper = 0x29B4C, kBypassMaxSteps = 0x29B4E;

// The idle stepper under idle control opens a step for every 10 rpm it lifts the idle above the throttle
// stop's.
constexpr double kRpmPerIdleStep = 10.0;

double Word(const std::vector<std::uint8_t>& image, std::size_t offset) {
    return Cell(DataAt(image, offset), 0);
}

double ByGear(const std::vector<std::uint8_t>& map, std::size_t offset, int gear, double rpm, double load) {
    return Lookup(MapAt(map, offset, kGears, GearMatrix(gear)), rpm, load) / 10.0;
}

double BypassSteps(const std::vector<std::uint8_t>& map, const EngineState& e) {
    const double throttle = e.throttlePct * 10.0;
    if (e.rpm < Word(map, kBypassFromRpm) || throttle < Word(map, kBypassThrottleLower) ||
        throttle > Word(map, kBypassThrottleUpper))
        return 0.0;
    const std::size_t row = e.gear == 0 ? kGears : GearMatrix(e.gear);
    const double steps =
        CurveIn(map, kBypassSteps + row * kBypassRow, kBypassAxis, kBypassPoints, e.rpm) / 10.0;
    return std::min(steps, Word(map, kBypassMaxSteps));
}

} // namespace

Outputs OutputsAt(const EcuModel& model) {
    const EngineState& e = model.engine;
    const std::vector<std::uint8_t>& map = model.StoreBytes(model.tuningSlot);
    const double throttle = e.throttlePct * 10.0;
    Outputs o;
    o.pwmPct =
        ByGear(map, kMapPwm, e.gear, e.rpm, model.ParByte(kParPwmByPressure) ? e.mapKpa * 10.0 : throttle);
    switch (model.ParByte(kParStepperType)) {
    case kAuxThrottle:
        o.auxThrottlePct = ByGear(map, kMapAuxThrottle, e.gear, e.rpm, throttle);
        break;
    case kIdling:
        o.idleSteps = std::max(0.0, IdleRpm(model) - kThrottleStopIdleRpm) / kRpmPerIdleStep;
        break;
    case kIdlingHd:
        o.idleSteps = CurveIn(map, kMapIdleStep, kMapIdleAxis, kMapIdlePoints, e.waterC * 10.0) / 10.0 +
                      model.stepCorrection;
        break;
    case kEngineBrake:
        o.bypassSteps = BypassSteps(map, e);
        break;
    default:
        break;
    }
    if (model.ParByte(kParExtDbw) != 0)
        o.bodySetPct = {ByGear(map, kMapBody1, e.gear, e.rpm, throttle),
                        ByGear(map, kMapBody2, e.gear, e.rpm, throttle)};
    return o;
}

} // namespace ecusim
