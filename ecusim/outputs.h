// What the ECU drives besides injection and ignition at the engine's operating point, read from its data
// sets: the PWM output, the idle-air actuator of the configured kind and the throttle bodies of an external
// drive-by-wire.
#pragma once

#include <array>

namespace ecusim {

struct EcuModel;

struct Outputs {
    double pwmPct = 0.0;                // the PWM output's map
    double auxThrottlePct = 0.0;        // an auxiliary throttle: its map
    double idleSteps = 0.0;             // an idle stepper: the steps open ("Idling": what holds the idle
                                        // above the throttle stop's; "Idling HarleyDavidson": its normal
                                        // step, the learned correction added)
    double bypassSteps = 0.0;           // engine brake control: the by-pass air's steps
    std::array<double, 2> bodySetPct{}; // an external drive-by-wire: the throttle bodies' set-points
};

Outputs OutputsAt(const EcuModel& model);

} // namespace ecusim
