#include "ecusim/corrections.h"

#include "ecusim/engine.h"
#include "ecusim/lookup.h"
#include "ecusim/model.h"

#include <algorithm>
#include <cmath>

namespace ecusim {

namespace {

// The configuration's tables: the dead times of the two injector sets over the battery voltage, the dwell
// over battery voltage and engine speed, the pick-up angle over engine speed.
constexpr std::size_t kDeadLow = 0x644, kDeadHigh = 0x664, kDeadAxis = 0x684;
constexpr std::size_t kDwell = 0x1D0;
constexpr std::size_t kPickUp = 0x344, kPickUpAxis = 0x384, kPickUpPoints = 32;

// The tables of the injection's and of the advance's corrections in the mapping: the curves by air
// temperature, water temperature and ambient pressure (16 points, the breakpoints 32 bytes after the
// values); the per-cylinder trims (four 8x16 matrices over speed and throttle sharing one pair of axes);
// the per-gear maps and the neutral adjustments of the Gear & Shift page; the maps by velocity and by
// acceleration (six levels a gear over their own axis); traction control's map; and the scale of the
// values and what is no correction.
struct Tables {
    std::size_t airTemp, waterTemp, baro, user, gear, neutral, vel, acc, accLevels, tc;
    double scale, none;
};
constexpr Tables kInjection{0x28A48, 0x28A88, 0x28AC8, 0x27048, 0x19968, 0x27E78,
                            0x25540, 0x001D0, 0x0B638, 0x27B90, 1000.0,  1.0};
constexpr Tables kAdvance{0x28B48, 0x28B88, 0x28BC8, 0x27478, 0x1B7D0, 0x27FA8,
                          0x25AA8, 0x0B680, 0x16AE8, 0x27D04, 10.0,    0.0};
constexpr std::size_t kCurveAxis = 32, kCurvePoints = 16, kCylMatrix = 0x100, kCylAxes = 0x400;
constexpr std::size_t kMapCrank = 0x26010, kMapInjLow = 0x26578, kMapInjHigh = 0x26AE0;
constexpr std::size_t kNeutralFlags = 0x29997; // bit 7: the neutral adjustments on
constexpr int kTcTopLevel = 63;

constexpr std::size_t kLevels = 6;

double Curve(const std::vector<std::uint8_t>& image, std::size_t offset, double x) {
    return CurveIn(image, offset, offset + kCurveAxis, kCurvePoints, x);
}

MapView CylinderTrim(const std::vector<std::uint8_t>& image, std::size_t offset, std::size_t cylinder) {
    const std::uint8_t* base = DataAt(image, offset);
    return {base + cylinder * kCylMatrix, base + kCylAxes, base + kCylAxes + 32, 8, 16};
}

// A map by acceleration: the two level matrices of the gear around the rate of revving, each at (x, y),
// weighted by where the rate lies between their levels.
double ByAcceleration(const std::vector<std::uint8_t>& image, std::size_t offset, std::size_t levels,
                      int gear, double x, double y, double dRpm) {
    const std::size_t g = GearMatrix(gear);
    const auto [k, f] = Bracket(DataAt(image, levels + 2 * kLevels * g), kLevels, dRpm);
    const std::size_t k1 = std::min(k + 1, kLevels - 1);
    const double lo = Lookup(MapAt(image, offset, kGears * kLevels, g * kLevels + k), x, y);
    const double hi = Lookup(MapAt(image, offset, kGears * kLevels, g * kLevels + k1), x, y);
    return lo + (hi - lo) * f;
}

// The terms of one set of tables at the operating point (rpm, throttle x10, the vehicle's speed): in a
// gear its matrix of the per-gear map, in neutral the neutral adjustment where it is on; traction
// control's map while it acts.
Terms TermsAt(const Tables& t, const std::vector<std::uint8_t>& map, const EngineState& e, double throttle,
              double speed, bool tcActing) {
    const auto at = [&](const MapView& table, double x, double y) { return Lookup(table, x, y) / t.scale; };
    Terms terms{};
    terms.airTemp = Curve(map, t.airTemp, e.airC * 10.0) / t.scale;
    terms.waterTemp = Curve(map, t.waterTemp, e.waterC * 10.0) / t.scale;
    terms.baro = Curve(map, t.baro, e.baroKpa * 10.0) / t.scale;
    for (std::size_t i = 0; i < 4; ++i)
        terms.user[i] = at(CylinderTrim(map, t.user, i), e.rpm, throttle);
    const bool neutralOn = (DataAt(map, kNeutralFlags)[0] & 0x80) != 0;
    terms.gear = e.gear > 0  ? at(MapAt(map, t.gear, kGears, GearMatrix(e.gear)), e.rpm, throttle)
                 : neutralOn ? at(MiniMapAt(map, t.neutral), e.rpm, throttle)
                             : t.none;
    terms.vel = at(MapAt(map, t.vel, 1), speed, throttle);
    terms.acc = ByAcceleration(map, t.acc, t.accLevels, e.gear, e.rpm, throttle, e.dRpm) / t.scale;
    terms.tc = tcActing ? at(ExtMiniMapAt(map, t.tc), e.rpm, throttle) : t.none;
    return terms;
}

// With two injectors a cylinder the partition map shares the time out, and each set has its factor; their
// load axis is the manifold pressure with the turbo enabled, else the throttle.
void AddPartition(Corrections& c, const std::vector<std::uint8_t>& par, const std::vector<std::uint8_t>& map,
                  const EngineState& e) {
    if (par.at(kPrefixSize + kParInjectionKind) != 1) return;
    const double load = par.at(kPrefixSize + kParTurboEnable) != 0 ? e.mapKpa * 10.0 : e.throttlePct * 10.0;
    c.lowPct = Lookup(MapAt(map, kMap13Offset, 1), e.rpm, load) / 10.0;
    c.kLow = Lookup(MapAt(map, kMapInjLow, 1), e.rpm, load) / 1000.0;
    c.kHigh = Lookup(MapAt(map, kMapInjHigh, 1), e.rpm, load) / 1000.0;
}

void AddIgnitionAndInjectors(Corrections& c, const std::vector<std::uint8_t>& par, const EngineState& e) {
    const double volts = e.batteryV * 10.0;
    c.deadLowMs = CurveIn(par, kDeadLow, kDeadAxis, kCurvePoints, volts) / 1000.0;
    c.deadHighMs = CurveIn(par, kDeadHigh, kDeadAxis, kCurvePoints, volts) / 1000.0;
    c.dwellMs = Lookup(ExtMiniMapAt(par, kDwell), volts, e.rpm) / 1000.0;
    c.pickUpDeg = CurveIn(par, kPickUp, kPickUpAxis, kPickUpPoints, e.rpm) / 10.0;
}

} // namespace

Corrections CorrectionsAt(const std::vector<std::uint8_t>& par, const std::vector<std::uint8_t>& map,
                          const EngineState& e) {
    Corrections c;
    const double throttle = e.throttlePct * 10.0;
    const bool byFront = par.at(kPrefixSize + kParVelocityByFront) != 0;
    const double speed = byFront ? e.speedKmh : e.rearSpeedKmh;
    // switched on, traction control acts while the rear wheel slips, the harder the more it slips
    if (DataAt(map, kMapTcEnable)[0] != 0)
        c.tcLevel = static_cast<int>(std::min<long>(kTcTopLevel, std::lround(e.slipPct)));
    c.inj = TermsAt(kInjection, map, e, throttle, speed, c.tcLevel > 0);
    c.adv = TermsAt(kAdvance, map, e, throttle, speed, c.tcLevel > 0);
    c.kCrank = Lookup(MapAt(map, kMapCrank, 1), e.revolutions, e.waterC * 10.0) / 1000.0;
    AddPartition(c, par, map, e);
    AddIgnitionAndInjectors(c, par, e);
    return c;
}

double InjectionFactor(const Corrections& c, std::size_t cylinder) {
    const Terms& t = c.inj;
    return t.airTemp * t.waterTemp * t.baro * t.gear * t.acc * t.vel * t.tc * t.user[cylinder] * c.kCrank;
}

double AdvanceCorrection(const Corrections& c, std::size_t cylinder) {
    const Terms& t = c.adv;
    return t.airTemp + t.waterTemp + t.baro + t.gear + t.acc + t.vel + t.tc + t.user[cylinder];
}

} // namespace ecusim
