// The simulated engine behind the ECU: a small model of its own, advanced in real time. The live records,
// the A/D readings and the map tuning all read what it reports; map tuning may also steer its operating
// point (rpm and load) while an automatic run walks the map.
//
// Steering: SteerEngine(model.engine, rpm, throttlePct) holds the engine at that operating point (the
// model moves towards it at its own pace, so read rpm and throttlePct back to see where it stands) until
// ReleaseEngine hands it back to its own idle-and-rev cycle.
//
// The engine runs on the data sets of the ECU: each cylinder injects the cell of its matrix of the
// injection map of the slot it runs on (by throttle, or by manifold pressure with the turbo enabled or
// while map tuning works on that map) under the operating point, times the corrections of the data sets
// (see corrections.h), the bench factors and a manual tuning correction, shared out between its low and
// high injectors, each with its dead time; the advance is the advance map's plus the advance corrections.
// lambda follows the mixture: the fuel the engine truly needs at its operating point (hidden from the
// workbench) over the fuel injected, of each cylinder (whose needs differ a little, as the calibrated maps
// do), of the cylinders each of the two lambda sensors reads and of them all. It needs what the ECU's default
// data sets inject, but for a few cells of the injection maps (a cell set lean or rich reads so): a
// correction changed from its calibration changes the mixture as much. Where a cell is 0 the ECU's own closed
// loop injects for lambdaTarget, so an untuned map reads on target. Its own cycle idles at the idle speed
// the ECU holds (see IdleRpm) and revs up from there.
#pragma once

#include "ecusim/corrections.h"

#include <array>
#include <cstdint>
#include <functional>

namespace ecusim {

struct EcuModel;

// The wall clock the engine runs by, in seconds from any start.
using WallClock = std::function<double()>;
// This computer's steady clock: the ecusim program's engine runs by it.
double SteadyClockS();

// The throttle sensor's A/D with the throttle shut and wide open.
inline constexpr double kThrottleAdShut = 98.0, kThrottleAdOpen = 925.0;

// A temporary adjustment made on the bench (carried by the live request), as the ECU holds it.
struct BenchAdjust {
    std::uint16_t kInj = 1000; // global injection factor, 1000 = 1.000
    std::array<std::uint16_t, 4> kInjCyl{1000, 1000, 1000, 1000};
    std::int16_t phaseL = 0, phaseH = 0;  // injection phase offsets, degrees
    std::int16_t kRip = 0;                // low/high partition, 0.1 %
    std::int16_t adv = 0;                 // global advance, 0.1 degree
    std::array<std::int16_t, 4> advCyl{}; // per-cylinder advance, 0.1 degree
    std::int16_t pwmOut = 0;              // PWM output, 0.1 %
    std::array<std::int16_t, 2> edbw{};   // throttle bodies, 0.1 %
};

// The outputs a one-shot test switches.
struct OutputTests {
    bool fuelPump = false, auxOut = false, fuelConsum = false;
    unsigned pulses = 0; // injector and coil shots fired
};

struct EngineState {
    double timeS = 0.0; // model time since start-up
    // The clock the engine runs by (empty: it moves only as AdvanceEngine moves it, as the tests drive
    // it), and its reading when the model was last brought up to it (-1: not yet).
    WallClock clock;
    double wallS = -1.0;
    double rpm = 0.0;                  // crankshaft speed
    double throttlePct = 0.0;          // throttle opening, 0..100 %
    double mapKpa = 100.0;             // manifold absolute pressure
    double baroKpa = 100.0;            // ambient pressure
    double waterC = 20.0;              // coolant temperature
    double airC = 20.0;                // intake air temperature
    double batteryV = 12.6;            // supply voltage
    double lambda = 1.0;               // measured lambda, of all the cylinders' exhaust
    std::array<double, 4> cylLambda{}; // per cylinder: lambda of its own exhaust; 0 for one not fitted
    double lambdaTarget = 1.0;         // lambda set-point
    double injMs = 0.0;                // injection time, the mean of the cylinders in use
    std::array<double, 4> baseInjMs{}; // per cylinder: the map's cell (or the closed loop's time), ms
    std::array<double, 4> cylInjMs{};  // per cylinder: the time injected, corrections and dead times applied
    double lowShare = 1.0;             // the low injectors' share of it (two injectors a cylinder)
    double phaseLowDeg = 0.0;          // injection phases of the low and the high injectors, of the
    double phaseHighDeg = 0.0;         // 720-degree cycle
    bool cutOff = false;               // closed throttle at speed: no fuel
    double baseAdvanceDeg = 0.0;       // ignition advance of the map and the bench adjustment
    double advanceDeg = 0.0;           // ... with a manual tuning correction
    std::uint32_t wheelPulses = 0;
    std::uint32_t camPulses = 0;
    int gear = 0; // 0 neutral
    double speedKmh = 0.0;
    double distanceM = 0.0; // distance covered since start-up

    // What the two lambda sensors read: the first the exhaust of the first half of the cylinders, the
    // second that of the others (of a single cylinder, the same one).
    std::array<double, 2> sensorLambda{1.0, 1.0};

    // What the data sets make of the operating point: their corrections, each cylinder's injection
    // shared out between its low and high injectors (dead times included) and its advance fired, every
    // correction included; the variable cam engaged.
    Corrections corrections;
    std::array<double, 4> lowInjMs{}, highInjMs{};
    std::array<double, 4> cylAdvanceDeg{};
    bool camEngaged = false;
    double rearSpeedKmh = 0.0; // the driven rear wheel (speedKmh is the front's), faster while it slips
    double slipPct = 0.0;      // how much faster the rear wheel turns than the front one

    bool running = false; // the engine fires (it starts on its own a moment after start-up)
    bool cranking = false;
    double crankStartS = 0.0;
    double revolutions = 0.0;
    double dRpm = 0.0; // rpm change per second

    bool steered = false; // map tuning holds the operating point
    double steerRpm = 0.0;
    double steerThrottlePct = 0.0;
    int heldRow = -1, heldCol = -1; // the injection map's cell the engine is held in (-1: none)

    BenchAdjust bench;
    OutputTests tests;
    // Bit i: the sensor of diagnosed channel i (see kDiagChannelNames) is disconnected and reads 0 wherever
    // the ECU reports it (see sensors.h), which its diagnosis counts as an error every second; every other
    // sensor reads within its range. The engine runs on as it did.
    std::uint16_t openChannels = 0;
};

// Fills the information records (value blocks 7,1 / 7,2 / 7,3) from the data sets: the cylinders with
// their coil and injector outputs (a second injector each where the injection kind has one), the toothed
// wheel, the variable cam, the velocity reference, the idle-air actuator, the analog inputs, the gear
// sensor, the level switch, the auxiliary output's kind and the external drive-by-wire of the
// configuration; traction control as the mapping slot the engine runs on switches it.
void DescribeEngine(EcuModel& model);
// Without idle control the engine idles where its throttle stop holds it, warm or cold: a little below the
// warm set-point, the air an idle stepper lets by making up the rest.
inline constexpr double kThrottleStopIdleRpm = 1000.0;
// The idle speed the ECU holds. Idle control, by an idle stepper ("Idling" or "Idling HarleyDavidson")
// or an external drive-by-wire, holds the set-point of the slot the engine runs on at its water
// temperature, with "Idling HarleyDavidson" plus the set-points' offset (Misc. 1 offers the offset to that
// stepper alone); without idle control, or without set-points, the throttle stop's.
double IdleRpm(const EcuModel& model);
// Holds the engine at rpm and throttle opening (0..100 %) until released; rpm 0 stops it.
void SteerEngine(EngineState& engine, double rpm, double throttlePct);
// Holds the engine at once in cell (row, col) of the injection map, running at that cell's breakpoints
// rpm (at least its idle speed) and throttle, as a bench dyno drives it there, and works out its
// injection, advance and lambda.
void HoldEngineInCell(EcuModel& model, int row, int col, double rpm, double throttlePct);
// Back to the engine's own cycle.
void ReleaseEngine(EngineState& engine);
// The throttle opening (%) at which the manifold reads mapKpa.
double ThrottleForPressure(double mapKpa);
// Moves the model on by dt seconds: speeds, temperatures, pulse counters, lambda, and the injection time
// and advance read from the mapping slot the ECU runs on; the diagnostic log counts along.
void AdvanceEngine(EcuModel& model, double dtS);
// Injection, advance and lambda at the present operating point, from the data sets of the ECU (the maps
// and corrections of the slot it runs on, the configuration), the bench adjustment and a manual tuning
// correction: what a request that changed one of them is answered under.
void RunOnMaps(EcuModel& model);
// Brings the model up to its clock: by all the time passed since the last call, however long; its
// injection, advance and lambda are then those of the maps and corrections as they stand.
void AdvanceEngineToNow(EcuModel& model);

} // namespace ecusim
