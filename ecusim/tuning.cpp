// Map tuning (command 0x09): the sub-frames are told apart by their length. The ECU mirrors its state in
// every Info reply, takes a manual correction and freezes it into the running cell, and in automatic
// mode walks the engine over the cells marked for tracking and moves each toward its lambda set-point,
// reporting every cell it changes (at most 32 a reply, the rest in the next ones).
#include "ecusim/commands.h"
#include "orvane/core/logic/ecucmds.h"

#include <algorithm>
#include <cmath>

namespace ecusim {

namespace {

constexpr std::size_t kInfoSize = 162;
constexpr std::size_t kCellReports = 32;
constexpr int kRows = 20;
constexpr int kCols = 32;
constexpr unsigned kDwellSteps = 5; // steps the engine stays in one cell of an automatic run
constexpr double kStoichAfr = 14.7;
constexpr double kTransientRpmPerS = 500.0; // a faster change of speed is a transient

// Offsets in the settings record.
constexpr std::size_t kMaskB = 80;
constexpr std::size_t kRpmMargin = 160;
constexpr std::size_t kMinWater = 162;
constexpr std::size_t kMaxWater = 164;
constexpr std::size_t kSetpoints = 166;
constexpr std::size_t kTolLambda = 172;
constexpr std::size_t kMinTj = 174;
constexpr std::size_t kMaxTj = 176;
constexpr std::size_t kKp = 180;
constexpr std::size_t kStep = 188;

std::vector<std::uint8_t>& TunedImage(EcuModel& m) {
    return m.StoreBytes(m.tuningSlot);
}

bool ByPressure(const EcuModel& m) {
    return (m.tune.flags & 0x01) != 0;
}

// Where cell (row, col) of a map under tuning lies in the image: matrix 0..3 of the injection map by
// throttle or pressure, or matrix -1 for the advance map.
std::size_t CellOffset(const EcuModel& m, int matrix, int row, int col) {
    const std::size_t cell = static_cast<std::size_t>(row * kCols + col) * 2;
    if (matrix < 0) return kPrefixSize + kMap3Offset + cell;
    const std::size_t map = ByPressure(m) ? kMap2Offset : kMap1Offset;
    return kPrefixSize + map + static_cast<std::size_t>(matrix) * kRows * kCols * 2 + cell;
}

std::int16_t Cell(EcuModel& m, int matrix, int row, int col) {
    return static_cast<std::int16_t>(GetBE16(TunedImage(m).data() + CellOffset(m, matrix, row, col)));
}

// Writes a cell and queues its report when it changed. The caller seals the image once its changes are
// done, so that the stored data set stays sound.
void SetCell(EcuModel& m, int matrix, int row, int col, std::int16_t value) {
    if (Cell(m, matrix, row, col) == value) return;
    PutBE16(TunedImage(m).data() + CellOffset(m, matrix, row, col), static_cast<std::uint16_t>(value));
    const auto kind = static_cast<std::uint16_t>(matrix < 0 ? 1 : matrix + 2);
    m.tune.reports.push_back(
        {static_cast<std::uint16_t>(kind << 12 | col << 6 | row), static_cast<std::uint16_t>(value)});
}

std::uint16_t SettingU16(const EcuModel& m, std::size_t at) {
    return GetBE16(m.tune.settings.data() + at);
}

int TrackMode(const EcuModel& m, int row, int col) {
    const std::uint32_t a = GetBE32(m.tune.settings.data() + 4 * static_cast<std::size_t>(row));
    const std::uint32_t b = GetBE32(m.tune.settings.data() + kMaskB + 4 * static_cast<std::size_t>(row));
    return static_cast<int>(((a >> col) & 1U) * 2 + ((b >> col) & 1U));
}

// A breakpoint of the map under tuning: axis 0 the engine speed (32), axis 1 the load (20); matrix -1 is
// the advance map, whose axes are its own.
double Breakpoint(EcuModel& m, int matrix, int axis, int i) {
    const std::size_t axes =
        matrix < 0 ? kPrefixSize + kMap3Offset + kRows * kCols * 2
                   : kPrefixSize + (ByPressure(m) ? kMap2Offset : kMap1Offset) + 4 * kRows * kCols * 2;
    const std::size_t at = axes + (axis == 0 ? 0 : 2 * kCols) + 2 * static_cast<std::size_t>(i);
    return static_cast<std::int16_t>(GetBE16(TunedImage(m).data() + at));
}

// The engine held on the breakpoints of a cell of the injection map, against its own cycle, until the
// run ends.
void PlaceEngine(EcuModel& m, int row, int col) {
    const double load = Breakpoint(m, 0, 1, row) / 10.0;
    HoldEngineInCell(m, row, col, Breakpoint(m, 0, 0, col), ByPressure(m) ? ThrottleForPressure(load) : load);
}

// The selected cylinders' matrices.
template <typename Fn> void ForEachCylinder(const EcuModel& m, Fn fn) {
    for (int i = 0; i < 4; ++i)
        if (m.tune.cylMask & (0x80 >> i)) fn(i);
}

// One step of an automatic run: the engine dwells in each tracked cell in turn; while a selected
// cylinder's lambda misses the cell's set-point, that cylinder's cell moves from its own value toward what
// the cylinder needs, by the gains the workbench sent. A cell where the fuel is cut (closed throttle at
// speed) reads air alone and is left as it is, and so is the cell of a cylinder the engine does not have.
void AutoStep(EcuModel& m) {
    std::vector<std::array<int, 3>> tracked;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            if (const int mode = TrackMode(m, r, c); mode != 0) tracked.push_back({r, c, mode});
    m.tune.freezing = false;
    if (tracked.empty()) return;
    if (m.tune.step++ % kDwellSteps == 0 && m.tune.step > 1) m.tune.walk = (m.tune.walk + 1) % tracked.size();
    m.tune.walk %= tracked.size();
    const auto [row, col, mode] = tracked[m.tune.walk];
    const double targetAfr =
        static_cast<std::int16_t>(SettingU16(m, kSetpoints + 2 * static_cast<std::size_t>(mode - 1))) / 10.0;
    m.engine.lambdaTarget = targetAfr / kStoichAfr;
    PlaceEngine(m, row, col);
    if (m.engine.cutOff) return;
    const double tolerance = static_cast<std::int16_t>(SettingU16(m, kTolLambda)) / 10.0;
    const double gain = std::clamp(
        GetBE32(m.tune.settings.data() + kKp) / 10000.0 * SettingU16(m, kStep) / 2000.0, 0.02, 1.0);
    const double lo = static_cast<std::int16_t>(SettingU16(m, kMinTj));
    const double hi = std::max<double>(lo, static_cast<std::int16_t>(SettingU16(m, kMaxTj)));
    const int r = row, c = col; // a lambda may not capture structured bindings with every compiler
    ForEachCylinder(m, [&](int cylinder) {
        const double lambda = m.engine.cylLambda[static_cast<std::size_t>(cylinder)];
        const double afr = lambda * kStoichAfr;
        if (lambda <= 0.0 || std::abs(afr - targetAfr) <= tolerance) return;
        const double cell = std::max<double>(Cell(m, cylinder, r, c), 100.0);
        const double estimate = cell * afr / targetAfr;
        SetCell(m, cylinder, r, c,
                static_cast<std::int16_t>(std::lround(std::clamp(cell + gain * (estimate - cell), lo, hi))));
        m.tune.freezing = true;
    });
    if (m.tune.freezing) SealImage(TunedImage(m));
}

// The cell the engine runs in now, by its speed and load on the axes of the map: the injection map under
// tuning, or the advance map (matrix -1), whose load axis is the pressure only with the turbo enabled.
std::array<int, 2> RunningCell(EcuModel& m, int matrix) {
    const auto nearest = [&](int axis, int n, double v) {
        int best = 0;
        for (int i = 1; i < n; ++i)
            if (std::abs(Breakpoint(m, matrix, axis, i) - v) <
                std::abs(Breakpoint(m, matrix, axis, best) - v))
                best = i;
        return best;
    };
    const bool byPressure = matrix < 0 ? m.ParByte(kParTurboEnable) != 0 : ByPressure(m);
    const double load = byPressure ? m.engine.mapKpa * 10.0 : m.engine.throttlePct * 10.0;
    return {nearest(1, kRows, load), nearest(0, kCols, m.engine.rpm)};
}

std::uint8_t StateByte(const EcuModel& m) {
    std::uint8_t state = 1;
    if (IsProtected(m))
        state = 0;
    else if (m.tuning)
        state = m.tuningAuto ? 3 : 2;
    if (m.tune.paused) state |= 0x04;
    if (ByPressure(m)) state |= 0x08;
    if (m.tuning && m.tuningAuto) {
        const double target = m.engine.lambdaTarget;
        const double tolerance = static_cast<std::int16_t>(SettingU16(m, kTolLambda)) / 10.0 / kStoichAfr;
        if (std::abs(m.engine.lambda - target) <= tolerance) state |= 0x10;
        if (m.tune.freezing || (state & 0x10)) state |= 0x20;
    }
    return state;
}

// The conditions that keep a cell from being tuned, as the engine stands now: more fuel than a cycle has
// time for, the water outside the settings' span, the speed off the map's axis (by more than the
// settings' margin), a transient, cranking, the fuel cut.
std::uint8_t Conditions(EcuModel& m) {
    const EngineState& e = m.engine;
    const auto setting = [&](std::size_t at) { return static_cast<std::int16_t>(SettingU16(m, at)); };
    const double cycleMs = e.rpm > 0.0 ? 120000.0 / e.rpm : 0.0;
    const double longest = *std::max_element(e.cylInjMs.begin(), e.cylInjMs.end());
    const double water = e.waterC * 10.0;
    const double margin = SettingU16(m, kRpmMargin);
    const bool rpmOff = e.running && (e.rpm < Breakpoint(m, 0, 0, 0) - margin ||
                                      e.rpm > Breakpoint(m, 0, 0, kCols - 1) + margin);
    std::uint8_t c = 0;
    if (e.running && longest > cycleMs) c |= 0x80;
    if (water < setting(kMinWater) || water > setting(kMaxWater)) c |= 0x40;
    if (rpmOff) c |= 0x20;
    if (std::abs(e.dRpm) > kTransientRpmPerS) c |= 0x10;
    if (e.cranking) c |= 0x08;
    if (e.cutOff) c |= 0x02;
    return c;
}

std::vector<std::uint8_t> InfoReply(EcuModel& m) {
    std::vector<std::uint8_t> r(kInfoSize);
    const EngineState& e = m.engine;
    const bool autoRun = m.tuning && m.tuningAuto;
    PutBE16(&r[0], static_cast<std::uint16_t>(std::lround(e.rpm)));
    PutBE16(&r[2], static_cast<std::uint16_t>(std::lround(e.throttlePct * 10)));
    PutBE16(&r[4], static_cast<std::uint16_t>(std::lround(e.mapKpa * 10)));
    for (std::size_t s = 0; s < 2; ++s)
        PutBE16(&r[6 + 2 * s], static_cast<std::uint16_t>(std::lround(e.sensorLambda[s] * kStoichAfr * 10)));
    PutBE16(&r[10], static_cast<std::uint16_t>(autoRun ? std::lround(e.lambdaTarget * kStoichAfr * 10) : -1));
    PutBE16(&r[12], static_cast<std::uint16_t>(std::lround(e.waterC * 10)));
    for (std::size_t i = 0; i < 4; ++i)
        PutBE16(&r[14 + 2 * i], static_cast<std::uint16_t>(std::lround(e.baseInjMs[i] * 1000)));
    PutBE16(&r[22], m.tune.ratio);
    PutBE16(&r[24], static_cast<std::uint16_t>(std::lround(e.baseAdvanceDeg * 10)));
    PutBE16(&r[26], static_cast<std::uint16_t>(m.tune.advOffset));
    r[28] = Conditions(m);
    r[29] = m.ParByte(kParExtDbw) != 0 ? 0x80 : 0;
    r[30] = StateByte(m);
    r[31] = m.tune.flags;
    r[32] = m.tune.cylMask;
    const std::size_t n = std::min(kCellReports, m.tune.reports.size());
    for (std::size_t i = 0; i < n; ++i) {
        PutBE16(&r[34 + 4 * i], m.tune.reports[i][0]);
        PutBE16(&r[36 + 4 * i], m.tune.reports[i][1]);
    }
    m.tune.reports.erase(m.tune.reports.begin(), m.tune.reports.begin() + static_cast<std::ptrdiff_t>(n));
    return r;
}

// The settings the ECU holds before any Auto frame: those the workbench starts with.
std::array<std::uint8_t, 200> DefaultSettings() {
    std::array<std::uint8_t, 200> s{};
    PutBE16(&s[160], 150);
    PutBE16(&s[162], 600);
    PutBE16(&s[164], 900);
    for (std::size_t i = 0; i < 3; ++i)
        PutBE16(&s[kSetpoints + 2 * i], 125);
    PutBE16(&s[kTolLambda], 5);
    PutBE16(&s[kMinTj], 1000);
    PutBE16(&s[kMaxTj], 32000);
    PutBE32(&s[kKp], 65536);
    PutBE32(&s[184], 524);
    PutBE16(&s[kStep], 100);
    PutBE16(&s[192], 200);
    PutBE16(&s[194], 50);
    PutBE16(&s[196], 50);
    return s;
}

Reply Request(EcuModel& m, std::uint8_t code) {
    if (code == 2) {
        return std::vector<std::uint8_t>(m.tune.settings.begin(), m.tune.settings.end());
    }
    if (code == 3) {
        if (m.tuning && m.tuningAuto) ReleaseEngine(m.engine);
        m.tuning = false;
        m.tune.paused = false;
        m.tune.ratio = 1000;
        m.tune.advOffset = 0;
    } else if (code != 1) {
        return std::nullopt;
    }
    if (m.tuning && m.tuningAuto) AutoStep(m);
    return InfoReply(m);
}

void Start(EcuModel& m, bool automatic, std::uint8_t flags, std::uint8_t cylMask) {
    if (m.tuning && m.tuningAuto && !automatic) ReleaseEngine(m.engine);
    m.tuning = true;
    m.tuningAuto = automatic;
    m.tune.flags = flags;
    m.tune.cylMask = cylMask;
}

// The correction goes into the running cell and leaves the live correction neutral, so that the engine
// injects and fires as before.
void Freeze(EcuModel& m, std::span<const std::uint8_t> f) {
    const auto [row, col] = RunningCell(m, f[2] != 0 ? 0 : -1);
    const std::uint16_t value = GetBE16(f.data());
    if (f[2] != 0) {
        m.tune.ratio = 1000;
        for (int i = 0; i < 4; ++i)
            if (f[2] & (0x80 >> i))
                SetCell(
                    m, i, row, col,
                    static_cast<std::int16_t>(std::clamp(Cell(m, i, row, col) * value / 1000L, 0L, 32000L)));
    } else {
        m.tune.advOffset = 0;
        SetCell(m, -1, row, col,
                static_cast<std::int16_t>(
                    std::clamp(Cell(m, -1, row, col) + static_cast<std::int16_t>(value), -7200, 7200)));
    }
    SealImage(TunedImage(m));
}

} // namespace

Reply MapTuning(EcuModel& m, std::span<const std::uint8_t> request) {
    if (m.tune.settings == std::array<std::uint8_t, 200>{}) m.tune.settings = DefaultSettings();
    if (IsProtected(m) && request.size() != 1) return InfoReply(m);
    switch (request.size()) {
    case 1:
        return Request(m, request[0]);
    case 12:
        Start(m, false, request[0], request[1]);
        m.tune.singleMul = request[2];
        break;
    case 200:
        std::copy(request.begin(), request.end(), m.tune.settings.begin());
        Start(m, true, request[178], request[179]);
        m.tune.singleMul = request[190];
        break;
    case 6:
        if (m.tuning && !m.tuningAuto) Freeze(m, request);
        break;
    case 4:
        if (m.tuning && !m.tuningAuto) {
            if (request[2] != 0) {
                m.tune.ratio = std::min<std::uint16_t>(GetBE16(request.data()), 2000);
                m.tune.ratioMask = request[2];
            } else {
                m.tune.advOffset = static_cast<std::int16_t>(
                    std::clamp<int>(static_cast<std::int16_t>(GetBE16(request.data())), -300, 300));
            }
            m.tune.paused = request[3] != 0;
        }
        break;
    default:
        return std::nullopt;
    }
    RunOnMaps(m); // the engine under the new settings
    return InfoReply(m);
}

// A row written by the workbench lands in the map set under tuning; its changed cells are reported
// back like every other change, since the workbench changes its copy only from the reports.
bool WriteTunedRow(EcuModel& m, std::uint8_t which, std::uint8_t row, std::uint8_t matrix,
                   std::span<const std::uint8_t> cells) {
    if (row >= kRows || cells.size() != 2 * kCols) return false;
    int target = -1;
    if (which == TUNING_ROW_4X && matrix < 4)
        target = matrix;
    else if (!(which == TUNING_ROW_1X && matrix == 0))
        return false;
    for (int c = 0; c < kCols; ++c)
        SetCell(m, target, row, c, static_cast<std::int16_t>(GetBE16(cells.data() + 2 * c)));
    SealImage(TunedImage(m));
    return true;
}

} // namespace ecusim
