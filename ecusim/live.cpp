// Live data: command 0x06 returns one of the four live records of the running engine (and takes the bench
// adjustment riding in the request), command 0x0A fires a one-shot output test.
#include "ecusim/commands.h"
#include "ecusim/lookup.h"
#include "ecusim/outputs.h"
#include "ecusim/sensors.h"

#include <algorithm>
#include <cmath>

namespace ecusim {

namespace {

constexpr std::size_t kLiveSizes[] = {250, 142, 56, 46};
constexpr double kStoichAfr = 14.7;

// A record under construction: big-endian fields at their wire offsets.
struct Record {
    std::vector<std::uint8_t> bytes;

    void U16(std::size_t off, double v) {
        PutBE16(&bytes.at(off), static_cast<std::uint16_t>(std::clamp(std::lround(v), 0L, 65535L)));
    }
    void I16(std::size_t off, double v) {
        PutBE16(&bytes.at(off), static_cast<std::uint16_t>(std::clamp(std::lround(v), -32768L, 32767L)));
    }
    void Raw16(std::size_t off, std::uint16_t v) { PutBE16(&bytes.at(off), v); }
    void Each(std::size_t off, double v, bool isSigned = false) {
        for (std::size_t i = 0; i < 4; ++i)
            isSigned ? I16(off + 2 * i, v) : U16(off + 2 * i, v);
    }
    // An A/D word: the channel's 12-bit reading of value over full, fault flag in bit 15.
    void Ad(std::size_t off, double value, double full, bool fault = false) {
        const auto ad = static_cast<std::uint16_t>(std::clamp(std::lround(value / full * 4095.0), 0L, 4095L));
        Raw16(off, static_cast<std::uint16_t>(ad | (fault ? 0x8000 : 0)));
    }
    void Bit(std::size_t off, int bit, bool on) {
        if (on) bytes.at(off) = static_cast<std::uint8_t>(bytes.at(off) | 1 << bit);
    }
};

void FillInjection(Record& r, const EcuModel& model) {
    const EngineState& e = model.engine;
    const Corrections& c = e.corrections;
    r.U16(0, e.wheelPulses & 0xFFFF);
    r.U16(2, e.camPulses & 0xFFFF);
    r.U16(10, std::fmod(e.revolutions, 65536.0));
    r.U16(14, e.rpm);
    r.U16(16, e.rpm);
    r.I16(18, e.dRpm);
    const BenchAdjust& b = e.bench;
    for (std::size_t i = 0; i < 4; ++i) {
        r.U16(32 + 2 * i, e.highInjMs[i] * 1000.0);
        r.U16(40 + 2 * i, e.lowInjMs[i] * 1000.0);
        r.U16(48 + 2 * i, e.baseInjMs[i] * 1000.0);
        r.U16(62 + 2 * i, b.kInjCyl[i]);
        r.U16(122 + 2 * i, c.inj.user[i] * 1000.0);
    }
    r.U16(56, c.inj.airTemp * 1000.0);
    r.U16(58, c.inj.waterTemp * 1000.0);
    r.U16(60, c.inj.baro * 1000.0);
    r.U16(70, b.kInj);
    r.Each(72, e.lowShare * 1000.0);
    r.Each(80, e.lowShare * 1000.0);
    r.I16(104, b.kRip);
    r.Each(106, c.kLow * 1000.0);
    r.Each(114, c.kHigh * 1000.0);
    r.U16(130, c.kCrank * 1000.0);
    r.Each(132, c.inj.gear * 1000.0);
    r.Each(140, c.inj.acc * 1000.0);
    r.Each(148, c.inj.vel * 1000.0);
    r.Each(156, c.inj.tc * 1000.0);
    for (const std::size_t off : {164, 206}) // no map-by-acceleration, no external factor
        r.Each(off, 1000.0);
    for (const std::size_t off : {172, 174, 176}) // no speed limiter, no CO correction learned
        r.U16(off, 1000.0);
    r.U16(202, c.deadLowMs * 1000.0);
    r.U16(204, c.deadHighMs * 1000.0);
    r.Each(214, (e.phaseLowDeg + b.phaseL) * 10.0, true);
    r.Each(222, (e.phaseHighDeg + b.phaseH) * 10.0, true);
    r.Each(230, e.phaseLowDeg, true);
    r.Each(238, e.phaseHighDeg, true);
    r.I16(246, b.phaseL);
    r.I16(248, b.phaseH);
}

void FillAdvance(Record& r, const EcuModel& model, const Outputs& out) {
    const EngineState& e = model.engine;
    const Corrections& c = e.corrections;
    const BenchAdjust& b = e.bench;
    const double base = e.advanceDeg - b.adv / 10.0;
    for (std::size_t i = 0; i < 4; ++i) {
        r.I16(0 + 2 * i, e.cylAdvanceDeg[i] * 10.0);
        r.I16(8 + 2 * i, base * 10.0);
        r.I16(16 + 2 * i, b.advCyl[i]);
        r.I16(26 + 2 * i, c.adv.user[i] * 10.0);
    }
    r.I16(24, b.adv);
    r.I16(34, c.adv.airTemp * 10.0);
    r.I16(36, c.adv.waterTemp * 10.0);
    r.I16(38, c.adv.baro * 10.0);
    r.I16(40, c.pickUpDeg * 10.0);
    r.Each(42, c.adv.gear * 10.0, true);
    r.Each(50, c.adv.acc * 10.0, true);
    r.Each(58, c.adv.vel * 10.0, true);
    r.Each(66, c.adv.tc * 10.0, true);
    r.U16(100, e.running || e.cranking ? c.dwellMs * 1000.0 : 0.0);
    r.I16(106, out.auxThrottlePct * 10.0);
    r.I16(108, out.bypassSteps);
    r.U16(110, 100.0);
    r.U16(112, 100.0);
    r.I16(114, out.pwmPct * 10.0);
    r.U16(116, e.rearSpeedKmh);
    r.U16(118, e.speedKmh);
    r.U16(120, std::fmod(e.distanceM / 100.0, 65536.0));
    r.U16(122, std::clamp(out.pwmPct * 10.0 + b.pwmOut, 0.0, 1000.0));
    r.I16(124, b.pwmOut);
    r.I16(126, model.stepCorrection);
    r.U16(128, e.rpm > 0.0 ? e.speedKmh * 1000.0 / e.rpm : 0.0);
    r.U16(130, e.slipPct * 10.0);
    r.U16(132, c.tcLevel);
    r.Bit(134, 7, !IsProtected(model));
    r.Bit(134, 4, e.running);
    r.Bit(134, 3, e.running || e.cranking);
    r.Bit(134, 2, e.running || e.cranking);
    r.Bit(134, 1, e.cranking);
    r.Bit(136, 0, e.camEngaged);
    r.Bit(138, 1, e.gear == 0);
    r.Bit(138, 4, e.cranking);
    r.Bit(138, 2, e.gear == 0);
    r.Bit(139, 7, e.running || e.cranking || e.tests.fuelPump);
    r.Bit(139, 5, e.tests.auxOut);
    r.Bit(139, 4, e.tests.fuelConsum);
    r.Bit(140, 7, c.tcLevel > 0);
}

// What the ECU makes of a count through one of the configuration's linearizations.
double Linearized(const EcuModel& model, std::size_t curve, double count) {
    return CurveIn(model.StoreBytes(Store::Par), curve, curve + kCurveAxisAfter, kCurvePoints, count);
}

// Where a sensor shows in the analog record: its A/D word, the value beside it two bytes on, and the
// configuration's linearization the ECU reads it through (0: none, a reading of 0 is a value of 0), whose
// values are perCurveUnit of the record's units.
struct AnalogPair {
    std::size_t off;
    std::size_t curve = 0;
    double perCurveUnit = 1.0;
};

// A sensor of the analog record, watched by a diagnosed channel: its reading (reading over full of its
// span) and the value shown beside it. Disconnected, it reads 0, and the value is what the ECU makes of 0;
// a channel in error has its A/D word flagged.
void Analog(Record& r, const EcuModel& model, DiagChannel channel, AnalogPair pair, double reading,
            double full, double shown) {
    const bool open = Disconnected(model, channel);
    r.Ad(pair.off, open ? 0.0 : reading, full, InError(model, channel));
    if (open) shown = pair.curve == 0 ? 0.0 : Linearized(model, pair.curve, 0.0) * pair.perCurveUnit;
    r.I16(pair.off + 2, shown);
}

void FillAnalog(Record& r, const EcuModel& model, const Outputs& out) {
    const EngineState& e = model.engine;
    const auto aux = [&](AuxSensor sensor) { return AuxChannelOf(model, sensor); };
    // the throttle sensor as command 0x07 reads it, and the opening its linearization makes of that
    const double throttleAd = *SensorReading(model, kThrottleChannel);
    Analog(r, model, kChanThrottle, {0, kParThrottleCurve}, throttleAd, kReadingFull,
           Linearized(model, kParThrottleCurve, throttleAd));
    Analog(r, model, kChanWater, {4, kParWaterCurve}, 150.0 - e.waterC, 190.0, e.waterC * 10.0);
    Analog(r, model, kChanAir, {8, kParAirCurve}, 150.0 - e.airC, 190.0, e.airC * 10.0);
    Analog(r, model, kChanBaro, {12}, e.baroKpa, 120.0, e.baroKpa * 10.0); // mbar
    Analog(r, model, kChanManifold, {16, kParManifoldCurve}, e.mapKpa, 120.0, e.mapKpa * 10.0);
    // the gear sensor's position, and beside it the gear's index over the position's 12 bits
    const double gearPos = e.gear * 600.0 + 300.0;
    Analog(r, model, aux(AuxSensor::GearPosition), {20}, gearPos, 4095.0,
           std::max(0, e.gear - 1) << 12 | static_cast<int>(gearPos));
    // the lambda sensors, each with its air/fuel ratio
    Analog(r, model, aux(AuxSensor::Lambda1), {24, kParLambda1Curve, kStoichAfr / 1000.0}, e.sensorLambda[0],
           2.0, e.sensorLambda[0] * kStoichAfr * 10.0);
    Analog(r, model, aux(AuxSensor::Lambda2), {28, kParLambda2Curve, kStoichAfr / 1000.0}, e.sensorLambda[1],
           2.0, e.sensorLambda[1] * kStoichAfr * 10.0);
    Analog(r, model, aux(AuxSensor::Fork), {32, kParForkCurve}, 0.0, 1.0, 0.0);
    Analog(r, model, aux(AuxSensor::Shock), {36, kParShockCurve}, 0.0, 1.0, 0.0);
    // the idle-air actuator: an auxiliary throttle's opening, else the stepper's steps
    Analog(r, model, kChanStep, {40}, out.auxThrottlePct, 100.0,
           out.auxThrottlePct * 10.0 + out.idleSteps + out.bypassSteps);
    Analog(r, model, aux(AuxSensor::TcLevel), {44, kParTcLevelCurve}, 0.0, 1.0, 0.0);
    r.U16(50, model.tuningSlot == Store::Slot2 ? 1.0 : 0.0);
    Analog(r, model, kChanBattery, {52}, e.batteryV, 20.0, e.batteryV * 10.0);
}

// An external drive-by-wire: the grip's two sensors and each body's two (one rising, one falling), read
// through the end points of their calibration in the configuration; each body set by its map.
void FillThrottleBodies(Record& r, const EcuModel& model, const Outputs& out) {
    constexpr std::size_t kSensorEnds = 0x70C; // grip A, B, body 1 A, B, body 2 A, B: A/D at 0 and 100 %
    const EngineState& e = model.engine;
    for (std::size_t body = 0; body < 2; ++body) {
        r.I16(34 + 2 * body, e.bench.edbw[body]); // the adjustment the ECU holds, bodies or not
        r.Bit(42 + body, 7, model.ParByte(kParExtDbw) == 0);
    }
    if (model.ParByte(kParExtDbw) == 0) return;
    const auto ad = [&](std::size_t sensor, double pct) {
        const std::uint8_t* ends = &model.StoreBytes(Store::Par).at(kPrefixSize + kSensorEnds + 4 * sensor);
        const double lo = GetBE16(ends), hi = GetBE16(ends + 2);
        return lo + (hi - lo) * std::clamp(pct, 0.0, 100.0) / 100.0;
    };
    const double grip = e.throttlePct;
    r.U16(0, ad(0, grip));
    r.U16(2, ad(1, grip));
    r.I16(4, grip * 10.0);
    for (std::size_t body = 0; body < 2; ++body) {
        const double pos = out.bodySetPct[body] + e.bench.edbw[body] / 10.0;
        r.U16(6 + 6 * body, ad(2 + 2 * body, pos));
        r.U16(8 + 6 * body, ad(3 + 2 * body, pos));
        r.I16(10 + 6 * body, pos * 10.0);
        r.I16(18 + 2 * body, out.bodySetPct[body] * 10.0);
        r.I16(30 + 2 * body, 200.0 + pos * 5.0);
        r.Bit(42 + body, 5, true);
        r.Bit(42 + body, 0, true);
    }
    r.U16(38, 7.0);
    r.bytes.at(40) = 2;
    r.bytes.at(41) = 4;
}

// Applies a bench adjustment (codes 2..17; 0 is none) to the engine's adjustments in force; any other
// code is refused.
bool ApplyBenchAdjust(BenchAdjust& b, std::uint8_t code, std::uint16_t value) {
    const auto s = static_cast<std::int16_t>(value);
    if (code == 0) return true;
    if (code < 2 || code > 17) return false;
    if (code == 2)
        b.kInj = value;
    else if (code <= 6)
        b.kInjCyl[code - 3] = value;
    else if (code == 7)
        b.phaseL = s;
    else if (code == 8)
        b.phaseH = s;
    else if (code == 9)
        b.kRip = s;
    else if (code == 10)
        b.adv = s;
    else if (code <= 14)
        b.advCyl[code - 11] = s;
    else if (code == 15)
        b.pwmOut = s;
    else
        b.edbw[code - 16] = s;
    return true;
}

} // namespace

// Request: record index, bench adjustment code, value high, low. Reply: the record, exactly its size.
Reply ReadLiveData(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 4 || request[0] > 3) return std::nullopt;
    if (!ApplyBenchAdjust(model.engine.bench, request[1], GetBE16(&request[2]))) return std::nullopt;
    RunOnMaps(model); // the engine under the adjustment
    Record r{std::vector<std::uint8_t>(kLiveSizes[request[0]])};
    const Outputs out = OutputsAt(model);
    switch (request[0]) {
    case 0:
        FillInjection(r, model);
        break;
    case 1:
        FillAdvance(r, model, out);
        break;
    case 2:
        FillAnalog(r, model, out);
        break;
    default:
        FillThrottleBodies(r, model, out);
        break;
    }
    return std::move(r.bytes);
}

// Request: output code 1..9, value (the switch state of outputs 7..9). Reply: no data.
Reply TestOutput(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 2 || request[0] < 1 || request[0] > 9) return std::nullopt;
    OutputTests& t = model.engine.tests;
    const bool on = request[1] != 0;
    switch (request[0]) {
    case 7:
        t.fuelPump = on;
        break;
    case 8:
        t.auxOut = on;
        break;
    case 9:
        t.fuelConsum = on;
        break;
    default:
        ++t.pulses;
        break;
    }
    return std::vector<std::uint8_t>{};
}

} // namespace ecusim
