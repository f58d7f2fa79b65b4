// The simulated engine behind the ECU: a small model of its own, advanced in real time. The live records,
// the A/D readings and the map tuning all read what it reports; map tuning may also steer its operating
// point (rpm and load) while an automatic run walks the map.
#pragma once

#include <cstdint>

namespace ecusim {

struct EngineState {
    double timeS = 0.0;        // model time since start-up
    double rpm = 0.0;          // crankshaft speed
    double throttlePct = 0.0;  // throttle opening, 0..100 %
    double mapKpa = 100.0;     // manifold absolute pressure
    double waterC = 20.0;      // coolant temperature
    double airC = 20.0;        // intake air temperature
    double batteryV = 12.6;    // supply voltage
    double lambda = 1.0;       // measured lambda
    double lambdaTarget = 1.0; // lambda set-point
    double injMs = 0.0;        // injection time
    double advanceDeg = 0.0;   // ignition advance
    std::uint32_t wheelPulses = 0;
    std::uint32_t camPulses = 0;
    int gear = 0; // 0 neutral
    double speedKmh = 0.0;
};

} // namespace ecusim
