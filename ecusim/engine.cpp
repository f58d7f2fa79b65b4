#include "ecusim/engine.h"

#include "ecusim/filling.h"
#include "ecusim/lookup.h"
#include "ecusim/model.h"
#include "ecusim/sensors.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace ecusim {

namespace {

constexpr double kCrankAtS = 1.0;        // the engine is first cranked this long after start-up
constexpr double kCrankForS = 0.6;       // ... for this long before it fires
constexpr double kCycleS = 24.0;         // its own cycle: idle, rev up, cruise, back to idle
constexpr double kIdleThrottlePct = 2.0; // the throttle at idle; every percent more adds kRpmPerPct
constexpr double kRpmPerPct = 95.0;
// Idle set-points below the lowest a page takes are not set (an empty data set).
constexpr double kLowestIdleSetPoint = 300.0;
constexpr double kRpmTau = 0.6;               // seconds the crankshaft takes to follow its target
constexpr double kStepS = 0.05;               // the model moves in steps no longer than this
constexpr double kCutOffThrottlePct = 3.0;    // the fuel is cut below this opening ...
constexpr double kCutOffAboveIdleRpm = 800.0; // ... this far above idle
constexpr double kShortestInjMs = 0.1;
constexpr double kLambdaMin = 0.6, kLambdaMax = 1.6; // the lambda sensor's span
// Revved up harder than this in the two lowest gears the rear wheel slips, a percent more for every
// kSlipRpmPerSPerPct beyond.
constexpr double kSlipFromRpmPerS = 500.0, kSlipRpmPerSPerPct = 100.0;
// The pneumatic cam's thresholds in the configuration: engine speeds, upper and lower, then throttle
// openings (x10).
constexpr std::size_t kCamRpmUpper = 0x6FC, kCamRpmLower = 0x6FE, kCamThrottleUpper = 0x700,
                      kCamThrottleLower = 0x702;

// Throttle opening of the engine's own cycle at cycle time t.
double CycleThrottle(double t) {
    if (t < 6.0) return kIdleThrottlePct;                           // idle
    if (t < 10.0) return kIdleThrottlePct + (t - 6.0) / 4.0 * 58.0; // rev up
    if (t < 18.0) return 25.0 + 5.0 * std::sin(t);                  // cruise
    return kIdleThrottlePct;                                        // back to idle
}

double Approach(double value, double target, double dt, double tau) {
    return target + (value - target) * std::exp(-dt / tau);
}

// Where this engine's need strays from how the maps expect it to fill: a spot in the cruise range where it
// runs lean on its map and one near the top of the rev-up where it runs rich, each a few cells wide.
struct Stray {
    double rpm, bar; // its centre
    double share;    // more (+) or less (-) fuel than the maps give there
};
constexpr Stray kStrays[] = {{3500.0, 0.50, 0.07}, {6000.0, 0.80, -0.06}};
constexpr double kStrayRpmWidth = 700.0, kStrayBarWidth = 0.08;

// The fuel a cylinder of the engine truly needs for lambda 1 at its operating point, as an injection time
// at neutral trims: what the calibrated maps give, but for the spots where this engine is off them.
double TrueNeedMs(double rpm, double mapKpa, int cylinder) {
    const double bar = mapKpa / 100.0;
    double stray = 1.0;
    for (const Stray& s : kStrays) {
        const double dr = (rpm - s.rpm) / kStrayRpmWidth, db = (bar - s.bar) / kStrayBarWidth;
        stray += s.share * std::exp(-(dr * dr + db * db));
    }
    return (kInjectorDeadMs + (InjectionForLambdaOne(rpm, bar) - kInjectorDeadMs) * stray) *
           CylinderShare(cylinder);
}

// The A/D reading (0..1023) of each diagnosed channel, the throttle's as command 0x07 reads it: every
// sensor within its span (aux2, the shift switch, at rest), but for one disconnected, which reads 0.
std::array<double, kDiagChannels> ChannelReadings(const EcuModel& model) {
    const EngineState& e = model.engine;
    std::array<double, kDiagChannels> readings = {
        static_cast<double>(*SensorReading(model, kThrottleChannel)),
        (150.0 - e.waterC) * 5.38,
        (150.0 - e.airC) * 5.38,
        e.baroKpa * 8.5,
        e.mapKpa * 8.5,
        512.0,
        900.0,
        160.0,
        e.batteryV * 51.15};
    for (std::size_t i = 0; i < kDiagChannels; ++i)
        if (Disconnected(model, static_cast<DiagChannel>(i))) readings[i] = 0.0;
    return readings;
}

// Once a second every channel switched on is checked against its valid range.
void CheckChannels(DiagLog& log, const EcuModel& model) {
    const auto readings = ChannelReadings(model);
    for (std::size_t i = 0; i < kDiagChannels; ++i) {
        const std::uint16_t bit = static_cast<std::uint16_t>(1u << i);
        const bool bad = readings[i] < log.adMin[i] || readings[i] > log.adMax[i];
        if (bad && !(log.chanOffMask & bit)) {
            log.chanErr[i] = static_cast<std::uint16_t>(std::min(log.chanErr[i] + 1, 0xFFFF));
            log.chanErrMask = static_cast<std::uint16_t>(log.chanErrMask | bit);
        } else if (!bad) {
            log.chanErrMask = static_cast<std::uint16_t>(log.chanErrMask & ~bit);
        }
    }
}

void CountDiagnostics(EcuModel& model, double dt, double prevRpm, std::size_t cylinders) {
    DiagLog& log = model.diag;
    const EngineState& e = model.engine;
    if (std::floor(e.timeS) != std::floor(e.timeS - dt)) CheckChannels(log, model);
    if (!e.running) return;
    log.onTimeS += dt;
    log.onTimeUserS += dt;
    const double metres = e.speedKmh / 3.6 * dt;
    log.distM += metres;
    log.distUserM += metres;
    if (e.rpm > log.rpmLimit) log.timeOverRpmS += dt;
    if (e.rpm > log.rpmLimit && prevRpm <= log.rpmLimit) ++log.cntOverRev;
    if (e.throttlePct * 10.0 > log.throttleLimit) log.timeOverThrottleS += dt;
    log.maxValRpm = std::max(log.maxValRpm, static_cast<std::uint16_t>(std::lround(e.rpm)));
    // each cylinder's injectors open injMs in all per two revolutions, at about 4 ml a second of open time
    const double ml = static_cast<double>(cylinders) * e.injMs / 1000.0 * e.rpm / 120.0 * dt * 4.0 *
                      log.kFlowCorrL / 1000.0;
    log.fuelConsMl += ml;
    log.fuelUsedMl += ml;
}

} // namespace

void DescribeEngine(EcuModel& model) {
    const auto par = [&](std::size_t offset, std::size_t i = 0) { return model.ParByte(offset + i); };
    const std::uint8_t cylinders = par(kParCylinders), kind = par(kParInjectionKind);
    const bool twoInjectors = kind == 1 || kind == 2;
    model.engInfo = {0, cylinders, 0, par(kParWheel), 0, par(kParWheel, 1), 0, kind}; // engine words
    for (std::size_t i = 0; i < 4; ++i) {
        const bool fitted = i < cylinders;
        model.engInfo[8 + i] = fitted ? par(kParTriggers, i) : 0xFF;
        model.engInfo[12 + i] = fitted ? par(kParInjectors1, i) : 0xFF;
        model.engInfo[16 + i] = fitted && twoInjectors ? par(kParInjectors2, i) : 0xFF;
    }
    model.twaInfo = {};
    for (std::size_t i = 0; i < kParWheelSize; ++i)
        model.twaInfo[i] = par(kParWheel, i);
    // the equipment the data sets fit; the rest is fixed in this ECU
    const std::uint8_t tractionControl = model.StoreBytes(model.tuningSlot).at(kPrefixSize + kMapTcEnable);
    model.miscInfo = {par(kParCamType),
                      par(kParVelocityByFront),
                      0,
                      par(kParStepperType),
                      0, // level sensor in mm/1000
                      par(kParAnalogType),
                      par(kParGearMode),
                      par(kParLevelSwitch),
                      0, // a shift switch, a neutral switch, a clutch switch
                      0,
                      0,
                      1, // speed/rpm ratio
                      static_cast<std::uint8_t>(par(kParAuxOutRelay) != 0),
                      static_cast<std::uint8_t>(par(kParExtDbw) != 0),
                      static_cast<std::uint8_t>(tractionControl != 0)};
}

void SteerEngine(EngineState& engine, double rpm, double throttlePct) {
    engine.steered = true;
    engine.heldRow = engine.heldCol = -1;
    engine.steerRpm = std::max(0.0, rpm);
    engine.steerThrottlePct = std::clamp(throttlePct, 0.0, 100.0);
}

void ReleaseEngine(EngineState& engine) {
    engine.steered = false;
    engine.heldRow = engine.heldCol = -1;
}

double ThrottleForPressure(double mapKpa) {
    return std::clamp((mapKpa - kIdleKpa) / kKpaPerPct, 0.0, 100.0);
}

namespace {

std::size_t CylindersInUse(const EcuModel& model) {
    return std::clamp<std::size_t>(model.ParByte(kParCylinders), 1, 4);
}

// The teeth of the configured wheel that pass a revolution: the missing ones do not, and a wheel on the
// cam turns once every two revolutions.
double TeethPerRevolution(const EcuModel& model) {
    const int teeth = model.ParByte(kParWheel), missing = model.ParByte(kParWheel + 1);
    const bool onCam = model.ParByte(kParWheel + 2) != 0;
    return std::max(0, teeth - missing) / (onCam ? 2.0 : 1.0);
}

// Manifold pressure of the running engine at its throttle opening.
double PressureAt(const EngineState& e) {
    return ManifoldKpa(e.throttlePct, e.baroKpa);
}

// The cell of a matrix the engine runs in: the one it is held in, else the bilinear lookup.
double CellAt(const EngineState& e, const MapView& map, double x, double y) {
    if (e.heldRow < 0) return Lookup(map, x, y);
    return Cell(map.cells, static_cast<std::size_t>(e.heldRow * map.cols + e.heldCol));
}

// A cylinder's injection: the times of its low and high injectors (dead times included) and the fuel
// they deliver, as the time they stay open beyond what the engine's injectors truly take to open.
struct Injection {
    double lowMs = 0.0, highMs = 0.0, fuelMs = 0.0;
};

// The time t (every factor applied) shared out between the low and the high injectors, each with its
// factor and its dead time; truth holds the dead times the injectors really have.
Injection ShareOut(double t, double lowShare, const Corrections& c, const Corrections& truth) {
    const double low = t * lowShare * c.kLow, high = t * (1.0 - lowShare) * c.kHigh;
    Injection inj;
    if (low > 0.0) {
        inj.lowMs = low + c.deadLowMs;
        inj.fuelMs += std::max(0.0, inj.lowMs - truth.deadLowMs);
    }
    if (high > 0.0) {
        inj.highMs = high + c.deadHighMs;
        inj.fuelMs += std::max(0.0, inj.highMs - truth.deadHighMs);
    }
    return inj;
}

// The closed loop injects the fuel asked for, whatever the factors.
Injection ClosedLoop(double fuelMs, double lowShare, const Corrections& truth) {
    Corrections exact = truth;
    exact.kLow = exact.kHigh = 1.0;
    return ShareOut(fuelMs, lowShare, exact, truth);
}

// With two injectors a cylinder (partitioned): the low ones' share of the time, and the weight of both
// sets' factors in the fuel, by the corrections c. A single injector takes it all as it is.
double LowShare(const Corrections& c, bool partitioned, double bench) {
    return partitioned ? std::clamp((c.lowPct * 10.0 + bench) / 1000.0, 0.0, 1.0) : 1.0;
}
double Mix(const Corrections& c, bool partitioned, double lowShare) {
    return partitioned ? lowShare * c.kLow + (1.0 - lowShare) * c.kHigh : 1.0;
}

// What a lambda sensor reads of a mixture (0: no fuel): its lean end on air alone, nothing while the
// engine stands. Each sensor wobbles in a phase of its own.
double Sensed(const EngineState& e, double mixture, std::size_t sensor = 0) {
    const double wobble = 0.01 * std::sin(e.timeS * 7.0 + 2.0 * static_cast<double>(sensor));
    return mixture > 0.0 ? std::clamp(mixture + wobble, kLambdaMin, kLambdaMax)
           : e.running   ? kLambdaMax
                         : 0.0;
}

// Whether lambda sensor 0 or 1 sits in the exhaust of a cylinder (see EngineState::sensorLambda).
bool SensorReads(std::size_t sensor, std::size_t cylinder, std::size_t cylinders) {
    const std::size_t half = (cylinders + 1) / 2;
    return sensor == 0 ? cylinder < half : cylinder >= std::min(half, cylinders - 1);
}

// The fuel the cylinders needed and the fuel they got, of some exhaust: the lambda it makes, before a
// sensor has its say (0: no fuel).
struct Exhaust {
    double needed = 0.0, delivered = 0.0;
    void Add(double neededMs, double deliveredMs) {
        needed += neededMs;
        delivered += deliveredMs;
    }
    double Lambda() const { return delivered > 0.0 ? needed / delivered : 0.0; }
};

// The exhaust of all the cylinders, and that each lambda sensor reads.
struct Exhausts {
    Exhaust all;
    std::array<Exhaust, 2> sensors;
};

// Each cylinder's injection at the present operating point, from the injection map of the slot the ECU
// runs on, its corrections c, the bench adjustment and a manual tuning correction; truth holds the
// corrections of the ECU's default data sets, which give what the engine needs with the base injection of
// its own (TrueNeedMs). Returns the exhausts the mixtures make.
Exhausts InjectOnMaps(EcuModel& model, const Corrections& c, const Corrections& truth) {
    EngineState& e = model.engine;
    // While it tunes, the engine runs on the injection map the tuning works on; else turbo decides.
    const bool byPressure =
        model.tuning ? (model.tune.flags & 0x01) != 0 : model.ParByte(kParTurboEnable) != 0;
    const bool manual = model.tuning && !model.tuningAuto;
    const bool partitioned = model.ParByte(kParInjectionKind) == 1;
    e.lowShare = LowShare(c, partitioned, e.bench.kRip);
    const double trueShare = LowShare(truth, partitioned, 0.0);
    const bool fires = (e.running || e.cranking) && !e.cutOff;
    const std::vector<std::uint8_t>& image = model.StoreBytes(model.tuningSlot);
    const std::size_t map = byPressure ? kMap2Offset : kMap1Offset;
    const double load = byPressure ? e.mapKpa * 10.0 : e.throttlePct * 10.0;
    const std::size_t cylinders = CylindersInUse(model);
    double injected = 0.0;
    Exhausts exhausts;
    for (std::size_t i = 0; i < 4; ++i) {
        const double cellMs = CellAt(e, MapAt(image, map, 4, i), e.rpm, load) / 1000.0;
        const double neutralNeedMs = TrueNeedMs(e.rpm, e.mapKpa, static_cast<int>(i));
        const double needMs = neutralNeedMs * InjectionFactor(truth, i) * Mix(truth, partitioned, trueShare);
        // a cell the engine is held in for tuning injects as it stands (at least the injectors' shortest
        // opening), so that the run sees how far it is off; elsewhere an empty cell is closed-loop
        const bool closedLoop = e.heldRow < 0 && cellMs <= 0.0;
        e.baseInjMs[i] = closedLoop ? neutralNeedMs / e.lambdaTarget
                                    : std::max(cellMs, e.heldRow >= 0 ? kShortestInjMs : 0.0);
        const double correction =
            manual && (model.tune.ratioMask & (0x80 >> i)) != 0 ? model.tune.ratio / 1000.0 : 1.0;
        const double t = e.baseInjMs[i] * InjectionFactor(c, i) * e.bench.kInj / 1000.0 * e.bench.kInjCyl[i] /
                         1000.0 * correction;
        const Injection inj = !fires       ? Injection{}
                              : closedLoop ? ClosedLoop(needMs / e.lambdaTarget, e.lowShare, truth)
                                           : ShareOut(t, e.lowShare, c, truth);
        e.lowInjMs[i] = inj.lowMs;
        e.highInjMs[i] = inj.highMs;
        e.cylInjMs[i] = inj.lowMs + inj.highMs;
        e.cylLambda[i] = i < cylinders ? Sensed(e, inj.fuelMs > 0.0 ? needMs / inj.fuelMs : 0.0) : 0.0;
        if (i >= cylinders) continue;
        injected += e.cylInjMs[i] / static_cast<double>(cylinders);
        exhausts.all.Add(needMs, inj.fuelMs);
        for (std::size_t s = 0; s < 2; ++s)
            if (SensorReads(s, i, cylinders)) exhausts.sensors[s].Add(needMs, inj.fuelMs);
    }
    e.injMs = injected;
    return exhausts;
}

} // namespace

void RunOnMaps(EcuModel& model) {
    EngineState& e = model.engine;
    const std::vector<std::uint8_t>& image = model.StoreBytes(model.tuningSlot);
    e.cutOff =
        e.running && e.throttlePct < kCutOffThrottlePct && e.rpm > IdleRpm(model) + kCutOffAboveIdleRpm;
    e.corrections = CorrectionsAt(model.StoreBytes(Store::Par), image, e);
    const Corrections& c = e.corrections;
    const Exhausts exhausts = InjectOnMaps(
        model, c, CorrectionsAt(DefaultStoreBytes(Store::Par), DefaultStoreBytes(model.tuningSlot), e));
    const double throttle = e.throttlePct * 10.0;
    const bool partitioned = model.ParByte(kParInjectionKind) == 1;
    e.phaseLowDeg = Lookup(MiniMapAt(image, kPhaseLowOffset), e.rpm, throttle);
    e.phaseHighDeg = partitioned ? Lookup(MiniMapAt(image, kPhaseHighOffset), e.rpm, throttle) : 0.0;

    const double advLoad = model.ParByte(kParTurboEnable) != 0 ? e.mapKpa * 10.0 : throttle;
    const double cellDeg = Lookup(MapAt(image, kMap3Offset, 1), e.rpm, advLoad) / 10.0;
    e.baseAdvanceDeg = (cellDeg != 0.0 ? cellDeg : std::min(38.0, 8.0 + e.rpm / 400.0)) + e.bench.adv / 10.0;
    const bool manual = model.tuning && !model.tuningAuto;
    e.advanceDeg = e.baseAdvanceDeg + (manual ? model.tune.advOffset / 10.0 : 0.0);
    for (std::size_t i = 0; i < 4; ++i)
        e.cylAdvanceDeg[i] = e.advanceDeg + e.bench.advCyl[i] / 10.0 + AdvanceCorrection(c, i);
    e.lambda = Sensed(e, exhausts.all.Lambda()); // the exhaust of all the cylinders mixed
    for (std::size_t s = 0; s < 2; ++s)
        e.sensorLambda[s] = Sensed(e, exhausts.sensors[s].Lambda(), s);
}

namespace {

// The variable cam: a pneumatic one engages above its upper engine speed and throttle and lets go below
// either lower one; a kinematic one works whenever the engine runs.
bool CamEngaged(const EcuModel& model, const EngineState& e) {
    const std::uint8_t type = model.ParByte(kParCamType);
    if (!e.running || (type != 1 && type != 2)) return false;
    if (type == 2) return true;
    const auto word = [&](std::size_t offset) {
        return GetBE16(&model.StoreBytes(Store::Par).at(kPrefixSize + offset));
    };
    const double throttle = e.throttlePct * 10.0;
    if (e.rpm >= word(kCamRpmUpper) && throttle >= word(kCamThrottleUpper)) return true;
    if (e.rpm < word(kCamRpmLower) || throttle < word(kCamThrottleLower)) return false;
    return e.camEngaged;
}

// One small step of the model.
void Step(EcuModel& model, double dt) {
    EngineState& e = model.engine;
    const double prevRpm = e.rpm;
    const double idleRpm = IdleRpm(model);
    e.timeS += dt;

    // steered to standstill the engine stops; otherwise it is cranked until it fires
    const bool wantRun = !(e.steered && e.steerRpm <= 0.0);
    if (e.running && !wantRun) {
        e.running = false;
        ++model.diag.cntStop;
    }
    if (!e.running && !e.cranking && wantRun && e.timeS >= kCrankAtS) {
        e.cranking = true;
        e.crankStartS = e.timeS;
        ++model.diag.cntStarterIn;
    }
    if (e.cranking && e.timeS - e.crankStartS >= kCrankForS) {
        e.cranking = false;
        e.running = true;
    }

    double throttleTarget = 0.0, rpmTarget = 0.0;
    if (e.steered) {
        throttleTarget = e.steerThrottlePct;
        rpmTarget = e.steerRpm;
    } else if (e.running) {
        throttleTarget = CycleThrottle(std::fmod(e.timeS - kCrankAtS, kCycleS));
        rpmTarget = idleRpm + (throttleTarget - kIdleThrottlePct) * kRpmPerPct;
    } else if (e.cranking) {
        rpmTarget = 250.0;
    }
    e.throttlePct = Approach(e.throttlePct, throttleTarget, dt, 0.2);
    e.rpm = Approach(e.rpm, rpmTarget, dt, kRpmTau);
    e.dRpm = (e.rpm - prevRpm) / dt;
    e.mapKpa = e.running ? PressureAt(e) : e.baroKpa;

    e.waterC = Approach(e.waterC, e.running ? 88.0 : e.airC, dt, 180.0);
    e.airC = Approach(e.airC, e.running ? 32.0 : 20.0, dt, 400.0);
    e.batteryV = e.cranking ? 10.4 : e.running ? 14.1 - 0.05 * std::sin(e.timeS * 3.0) : 12.6;

    // gear and speed follow the operating point: neutral at idle, one gear up every 1500 rpm above it
    const int gear =
        e.rpm < idleRpm + 300.0 ? 0 : std::min(6, 1 + static_cast<int>((e.rpm - idleRpm) / 1500.0));
    if (gear == 0 && e.gear != 0) ++model.diag.cntNeutral;
    if (gear > e.gear && e.gear != 0) ++model.diag.cntShiftSet;
    e.gear = gear;
    e.speedKmh = gear == 0 ? 0.0 : e.rpm / 1000.0 * (6.0 + 3.0 * gear);
    e.distanceM += e.speedKmh / 3.6 * dt;
    e.slipPct = gear == 1 || gear == 2 ? std::max(0.0, e.dRpm - kSlipFromRpmPerS) / kSlipRpmPerSPerPct : 0.0;
    e.rearSpeedKmh = e.speedKmh * (1.0 + e.slipPct / 100.0);
    e.camEngaged = CamEngaged(model, e);

    const double revs = e.rpm / 60.0 * dt;
    e.revolutions += revs;
    e.wheelPulses += static_cast<std::uint32_t>(std::lround(revs * TeethPerRevolution(model)));
    e.camPulses = static_cast<std::uint32_t>(e.revolutions / 2.0);

    RunOnMaps(model);
    CountDiagnostics(model, dt, prevRpm, CylindersInUse(model));
}

} // namespace

double IdleRpm(const EcuModel& model) {
    const std::uint8_t stepper = model.ParByte(kParStepperType);
    const bool dbw = model.ParByte(kParExtDbw) != 0;
    if (!dbw && stepper != kIdling && stepper != kIdlingHd) return kThrottleStopIdleRpm;
    const std::vector<std::uint8_t>& image = model.StoreBytes(model.tuningSlot);
    const double setPoint =
        CurveIn(image, kMapIdleRpm, kMapIdleAxis, kMapIdlePoints, model.engine.waterC * 10.0);
    if (setPoint < kLowestIdleSetPoint) return kThrottleStopIdleRpm;
    return setPoint + (!dbw && stepper == kIdlingHd ? Cell(DataAt(image, kMapIdleOffset), 0) : 0.0);
}

void HoldEngineInCell(EcuModel& model, int row, int col, double rpm, double throttlePct) {
    EngineState& e = model.engine;
    SteerEngine(e, std::max(rpm, IdleRpm(model)), throttlePct); // held running, never below its idle speed
    e.heldRow = row;
    e.heldCol = col;
    e.rpm = e.steerRpm;
    e.throttlePct = e.steerThrottlePct;
    e.dRpm = 0.0;
    e.slipPct = 0.0;
    e.rearSpeedKmh = e.speedKmh;
    e.cranking = false;
    e.running = true;
    e.mapKpa = PressureAt(e);
    RunOnMaps(model);
}

void AdvanceEngine(EcuModel& model, double dtS) {
    // equal steps: a sliver of a step left over would read as a standstill of the rates
    if (dtS <= 0.0) return;
    const double steps = std::ceil(dtS / kStepS);
    for (double i = 0.0; i < steps; ++i)
        Step(model, dtS / steps);
}

double SteadyClockS() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void AdvanceEngineToNow(EcuModel& model) {
    EngineState& e = model.engine;
    if (e.clock) {
        const double now = e.clock();
        if (e.wallS >= 0.0) AdvanceEngine(model, now - e.wallS);
        e.wallS = now;
    }
    RunOnMaps(model); // the maps or the corrections may have changed since the last step
}

} // namespace ecusim
