// Transient parameter page: the injection and advance transient corrections, each with its filter
// settings, eight threshold levels of gain and decay for rising and falling transients, and correction
// tables by engine speed (and, for injection, by water temperature).
#include "orvane/core/connect.h"
#include "orvane/core/fields.h"
#include "orvane/core/imagerepairs.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/repairs.h"
#include "orvane/params/maptables.h"
#include "orvane/params/params.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>
#include <span>

int hPr5Panel = 0;

namespace {

constexpr int kLevels = 8;
constexpr std::size_t kLevelBytes = 2 * kLevels;
// Within a group: five settings, then the level arrays, each of eight words.
constexpr std::size_t kThrP = 0x0A;
constexpr std::size_t kThrN = kThrP + kLevelBytes;
constexpr std::size_t kGainP = kThrN + kLevelBytes;
constexpr std::size_t kGainN = kGainP + kLevelBytes;
constexpr std::size_t kDecayP = kGainN + kLevelBytes;
constexpr std::size_t kDecayN = kDecayP + kLevelBytes;

struct Group {
    std::size_t at;
    int step, filter, noise, clipP, clipN;        // controls
    int thrP, thrN, gainP, gainN, decayP, decayN; // the level-1 control of each column; levels follow
    double clipDivisor, clipMax;
};
constexpr Group kInjection{0x299A6,
                           PARM5::NUMstepJtrans,
                           PARM5::NUMfltDepthJtrans,
                           PARM5::NUMnoiseJtrans,
                           PARM5::NUMclipJtransP,
                           PARM5::NUMclipJtransN,
                           PARM5::NUMthrJtransP_1,
                           PARM5::NUMthrJtransN_1,
                           PARM5::NUMgainJtransP_1,
                           PARM5::NUMgainJtransN_1,
                           PARM5::NUMdecayJtransP_1,
                           PARM5::NUMdecayJtransN_1,
                           1000,
                           32};
constexpr Group kAdvance{0x29A10,
                         PARM5::NUMstepAtrans,
                         PARM5::NUMfltDepthAtrans,
                         PARM5::NUMnoiseAtrans,
                         PARM5::NUMclipAtransP,
                         PARM5::NUMclipAtransN,
                         PARM5::NUMthrAtransP_1,
                         PARM5::NUMthrAtransN_1,
                         PARM5::NUMgainAtransP_1,
                         PARM5::NUMgainAtransN_1,
                         PARM5::NUMdecayAtransP_1,
                         PARM5::NUMdecayAtransN_1,
                         10,
                         720};
// The level controls of a column are numbered in order.
static_assert(PARM5::NUMthrJtransP_8 == PARM5::NUMthrJtransP_1 + 7 &&
              PARM5::NUMdecayJtransN_8 == PARM5::NUMdecayJtransN_1 + 7);
static_assert(PARM5::NUMthrAtransP_8 == PARM5::NUMthrAtransP_1 + 7 &&
              PARM5::NUMdecayAtransN_8 == PARM5::NUMdecayAtransN_1 + 7);

constexpr int kGroupFields = 5 + 6 * kLevels;

constexpr std::array<FieldBinding, kGroupFields> GroupFields(const Group& g) {
    std::array<FieldBinding, kGroupFields> b{};
    b[0] = Num(g.step, g.at, Raw::I16, 1, 1, 32000, 1).InMap();
    b[1] = Num(g.filter, g.at + 2, Raw::I16, 1, 1, 128, 1).InMap();
    b[2] = Num(g.noise, g.at + 4, Raw::I16, 10, 0, 10, 0).InMap();
    b[3] = Num(g.clipP, g.at + 6, Raw::I16, g.clipDivisor, 0, g.clipMax, 0).InMap();
    b[4] = Num(g.clipN, g.at + 8, Raw::I16, g.clipDivisor, 0, g.clipMax, 0).InMap();
    struct Column {
        int control;
        std::size_t offset;
        double divisor, max;
    };
    const Column columns[] = {{g.thrP, kThrP, 10, 100},      {g.thrN, kThrN, 10, 100},
                              {g.gainP, kGainP, 100, 30},    {g.gainN, kGainN, 100, 30},
                              {g.decayP, kDecayP, 1, 32767}, {g.decayN, kDecayN, 1, 32767}};
    int n = 5;
    for (const Column& c : columns)
        for (int k = 0; k < kLevels; ++k)
            b[n++] = Num(c.control + k, g.at + c.offset + 2 * k, Raw::I16, c.divisor, 0, c.max, 0).InMap();
    return b;
}
constexpr auto kInjectionFields = GroupFields(kInjection);
constexpr auto kAdvanceFields = GroupFields(kAdvance);

// Breakpoints in row 1, the two value rows below; in memory the value rows come first.
constexpr std::array<FieldBinding, 2> CorrectionTable(int control, std::size_t at, int points,
                                                      double axisDivisor, double axisMin, double axisMax) {
    const std::size_t row = 2 * static_cast<std::size_t>(points);
    return {CellRow(control, 1, 1, points, at + 2 * row, Raw::I16, axisDivisor, axisMin, axisMax).InMap(),
            Cells(control, {2, 1, 2, points}, at, row, 2, Raw::I16, 1000, -32, 32).InMap()};
}
constexpr auto kJbyRpm = CorrectionTable(PARM5::TABkJtransRPM, 0x286C8, 32, 1, 0, 20000);
constexpr auto kAbyRpm = CorrectionTable(PARM5::TABkAtransRPM, 0x28788, 32, 1, 0, 20000);
constexpr auto kJbyWater = CorrectionTable(PARM5::TABkJtransTh2o, 0x28CC8, 16, 10, -30, 250);

constexpr FieldPart kParts[] = {Part(kInjectionFields), Part(kAdvanceFields), Part(kJbyRpm), Part(kAbyRpm),
                                Part(kJbyWater)};

bool ConfigurePr5() {
    const int p = hPr5Panel;
    if (SetCtrlAttribute(p, PARM5::NUMnoiseJtrans, ATTR_LABEL_TEXT, "Noise Threshold [deg] ") < 0 ||
        SetCtrlAttribute(p, PARM5::NUMthrJtransP_1, ATTR_LABEL_TEXT, "Threshold [deg] ") < 0 ||
        SetCtrlAttribute(p, PARM5::NUMthrJtransN_1, ATTR_LABEL_TEXT, "Threshold [deg] ") < 0 ||
        SetCtrlAttribute(p, PARM5::NUMdecayJtransP_1, ATTR_LABEL_TEXT, "Decay [deg/s] ") < 0 ||
        SetCtrlAttribute(p, PARM5::NUMdecayJtransN_1, ATTR_LABEL_TEXT, "Decay [deg/s] ") < 0)
        return false;
    return true;
}

const FieldPage kPage = {&hPr5Panel, kParts, ConfigurePr5, CheckPr5};

// The level arrays of a group: thresholds, gains and decays of one transient direction.
std::span<std::int16_t> Levels(std::size_t at) {
    return ImageSpan<std::int16_t>(Image::Map, at, kLevels);
}

// A threshold below the level under it takes that level's threshold, gain and decay.
bool RepairLevels(std::size_t at) {
    bool changed =
        RepairAxis(Levels(at + kThrP), {AxisData{Levels(at + kGainP)}, AxisData{Levels(at + kDecayP)}});
    changed |=
        RepairAxis(Levels(at + kThrN), {AxisData{Levels(at + kGainN)}, AxisData{Levels(at + kDecayN)}});
    return changed;
}

bool RepairTable(std::size_t at, std::size_t points) {
    return RepairAxis(ImageSpan<std::int16_t>(Image::Map, at + 4 * points, points),
                      {AxisData{ImageSpan<std::int16_t>(Image::Map, at, 2 * points), 1, 2, points}});
}

} // namespace

bool CheckPr5() {
    bool changed = RepairLevels(kAdvance.at);
    changed |= RepairTable(0x28788, 32);
    changed |= RepairLevels(kInjection.at);
    changed |= RepairTable(0x286C8, 32);
    changed |= RepairTable(0x28CC8, 16);
    return changed;
}

void InitPr5Data() {
    InitFields(kInjectionFields);
    InitFields(kAdvanceFields);
    InitFields(kJbyRpm);
    InitFields(kAbyRpm);
    InitFields(kJbyWater);
}

bool InitPr5Panel(int parent) {
    if (!LoadPage(parent, PARM5::id, hPr5Panel)) return false;
    for (int table : {PARM5::TABkJtransRPM, PARM5::TABkAtransRPM, PARM5::TABkJtransTh2o})
        if (!HideTableLabels(hPr5Panel, table)) return false;
    InitPr5Data();
    return true;
}

bool ScatterPr5Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherPr5Panel() {
    return GatherFieldPage(kPage);
}

bool Pr5Timer() {
    return Ping();
}
