// Cut Off parameter page: two cut-off correction sets of six gears each, one gear of each shown at a time,
// the per-cylinder, per-gear enable flags and the thresholds of the special exit.
#include "orvane/config/configbytes.h"
#include "orvane/core/connect.h"
#include "orvane/core/fields.h"
#include "orvane/core/imagerepairs.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/repairs.h"
#include "orvane/params/maptables.h"
#include "orvane/params/params.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>
#include <span>
#include <string>

int hPr4Panel = 0;

namespace {

constexpr std::size_t kSets[] = {0x28D48, 0x29348};
constexpr int kGears = 6;
constexpr int kPoints = 16;
constexpr std::size_t kGearBytes = 2 * kPoints;       // one row of a gear
constexpr std::size_t kGearInjBytes = 4 * kGearBytes; // the four injection rows of a gear
// Within a set: the rows of each gear.
constexpr std::size_t kSpeed = 0x000;
constexpr std::size_t kThrottle = 0x0C0;
constexpr std::size_t kInj = 0x180;
constexpr std::size_t kAdvOffset = 0x480;
constexpr std::size_t kExitTime = 0x540;

std::array<std::uint8_t, 2> gearCutOff{}; // the gear shown of each set, for the whole run

template <int set, std::size_t stride> std::size_t GearShift() {
    return stride * gearCutOff[set];
}

using enum Raw;

template <int set> constexpr std::array<FieldBinding, 6> SetRows(int control) {
    const std::size_t at = kSets[set];
    constexpr auto row = GearShift<set, kGearBytes>;
    return {
        CellRow(control, 1, 1, kPoints, at + kSpeed, I16, 1, 0, 20000).Shifted(row).InMap(),
        CellRow(control, 2, 1, kPoints, at + kThrottle, I16, 10, 0, 100).Shifted(row).InMap(),
        Cells(control, {3, 1, 4, kPoints}, at + kInj, kGearBytes, 2, U16, 1000, 0, 2)
            .Default(1000)
            .Shifted(GearShift<set, kGearInjBytes>)
            .InMap(),
        CellRow(control, 7, 1, kPoints, at + kAdvOffset, I16, 10, -30, 30).Shifted(row).InMap(),
        CellRow(control, 8, 1, kPoints, at + kExitTime, U16, 1, 0, 32767).Shifted(row).InMap(),
        Num(PARM4::NUMthrDfarfCutOff1 + set, 0x29B08 + 2 * set, I16, 1, 0, 32767, 0).InMap(),
    };
}
constexpr std::array<FieldBinding, 6> kSet1 = SetRows<0>(PARM4::TABcutOffCor1);
constexpr std::array<FieldBinding, 6> kSet2 = SetRows<1>(PARM4::TABcutOffCor2);
static_assert(PARM4::NUMthrDfarfCutOff2 == PARM4::NUMthrDfarfCutOff1 + 1);

constexpr FieldBinding kRest[] = {
    Num(PARM4::NUMfltDepthDfarf, 0x29B9C, U8, 1, 1, 50, 32).InMap(),
    Cells(PARM4::TABenableCutOff, {1, 1, 4, kGears}, 0x29B0C, kGears, 1, U8, 1, 0, 1).InMap(),
};
static_assert(CheckBindings(kRest));

constexpr FieldPart kParts[] = {Part(kSet1), Part(kSet2), Part(kRest)};

// ---- the configuration the page follows ----------------------------------------------------------------

bool Dbw() {
    return ExtDbw() != 0;
}
bool NoExtDbw() {
    return !Dbw();
}
bool Absent(int cylinder) {
    return CylinderCount() < cylinder;
}
bool OnBody1(int cylinder) {
    return DbwRefCyl(cylinder) != 0;
}
// A cylinder's injection correction is edited in the set of its drive-by-wire body.
template <int cylinder> bool Set1RowOff() {
    return Absent(cylinder) || (Dbw() && !OnBody1(cylinder));
}
template <int cylinder> bool Set2RowOff() {
    return Absent(cylinder) || (Dbw() && OnBody1(cylinder));
}
template <int cylinder> bool EnableRowOff() {
    return Absent(cylinder);
}

constexpr CtrlRule kRules[] = {
    {PARM4::RINGgearCutOff2, ATTR_DIMMED, NoExtDbw},
    {PARM4::TABcutOffCor2, ATTR_DIMMED, NoExtDbw},
    {PARM4::TMthrottleRefCutOff2, ATTR_DIMMED, NoExtDbw},
    {PARM4::NUMthrDfarfCutOff2, ATTR_DIMMED, NoExtDbw},
};
constexpr CellRule kCellRules[] = {
    {PARM4::TABcutOffCor1, {3, 1, 1, kPoints}, Set1RowOff<1>},
    {PARM4::TABcutOffCor1, {4, 1, 1, kPoints}, Set1RowOff<2>},
    {PARM4::TABcutOffCor1, {5, 1, 1, kPoints}, Set1RowOff<3>},
    {PARM4::TABcutOffCor1, {6, 1, 1, kPoints}, Set1RowOff<4>},
    {PARM4::TABcutOffCor2, {3, 1, 1, kPoints}, Set2RowOff<1>},
    {PARM4::TABcutOffCor2, {4, 1, 1, kPoints}, Set2RowOff<2>},
    {PARM4::TABcutOffCor2, {5, 1, 1, kPoints}, Set2RowOff<3>},
    {PARM4::TABcutOffCor2, {6, 1, 1, kPoints}, Set2RowOff<4>},
    {PARM4::TABenableCutOff, {1, 1, 1, kGears}, EnableRowOff<1>},
    {PARM4::TABenableCutOff, {2, 1, 1, kGears}, EnableRowOff<2>},
    {PARM4::TABenableCutOff, {3, 1, 1, kGears}, EnableRowOff<3>},
    {PARM4::TABenableCutOff, {4, 1, 1, kGears}, EnableRowOff<4>},
};

constexpr RingItem kGearItems[] = {{"Gear 1", 0}, {"Gear 2", 1}, {"Gear 3", 2},
                                   {"Gear 4", 3}, {"Gear 5", 4}, {"Gear 6", 5}};

std::array<const char*, 2> ReferenceTexts() {
    if (ExtDbw() == 1 && CutOffEgripRef() == 1)
        return {"External Throttle Reference by Grip", "External Throttle Reference by Grip"};
    if (!Dbw()) return {"Internal Throttle Reference", "... Disable ..."};
    return {"External Throttle Reference by Drive by Wire 1",
            "External Throttle Reference by Drive by Wire 2"};
}

// The gear rings of the two sets: 0 when filled, 1 when a list call failed.
int FillGearCutOffRing1() {
    return FillRing(hPr4Panel, PARM4::RINGgearCutOff1, kGearItems) ? 0 : 1;
}
int FillGearCutOffRing2() {
    return FillRing(hPr4Panel, PARM4::RINGgearCutOff2, kGearItems) ? 0 : 1;
}

// The rings show the gears whose rows the tables show.
bool ConfigurePr4() {
    const int p = hPr4Panel;
    const std::array<const char*, 2> texts = ReferenceTexts();
    return FillGearCutOffRing1() == 0 && FillGearCutOffRing2() == 0 && ApplyRules(p, kRules) &&
           ApplyCellRules(p, kCellRules) && SetCtrlVal(p, PARM4::TMthrottleRefCutOff1, texts[0]) >= 0 &&
           SetCtrlVal(p, PARM4::TMthrottleRefCutOff2, texts[1]) >= 0 &&
           SetCtrlVal(p, PARM4::RINGgearCutOff1, gearCutOff[0]) >= 0 &&
           SetCtrlVal(p, PARM4::RINGgearCutOff2, gearCutOff[1]) >= 0;
}

const FieldPage kPage = {&hPr4Panel, kParts, ConfigurePr4, CheckPr4};

// Point c of every row of a gear: the eight values that follow its speed.
bool RepairSet(std::size_t set) {
    const auto words = [set](std::size_t offset, std::size_t count) {
        return ImageSpan<std::int16_t>(Image::Map, set + offset, count);
    };
    bool changed = false;
    for (std::size_t g = 0; g < kGears; ++g) {
        const std::size_t row = g * kPoints;
        changed |= RepairAxis(words(kSpeed + 2 * row, kPoints),
                              {AxisData{words(kThrottle + 2 * row, kPoints)},
                               AxisData{words(kInj + 2 * 4 * row, 4 * kPoints), 1, 4, kPoints},
                               AxisData{words(kAdvOffset + 2 * row, kPoints)},
                               AxisData{words(kExitTime + 2 * row, kPoints)}});
    }
    return changed;
}

int ShowRingError() {
    MessagePopup("Parameters", szGenericError);
    return 0;
}

} // namespace

bool CheckPr4() {
    const bool first = RepairSet(kSets[0]);
    const bool second = RepairSet(kSets[1]);
    return first || second;
}

void InitPr4Data() {
    // The gear-shifted rows are written gear by gear; the page then starts on gear 1 of both sets.
    for (std::uint8_t g = 0; g < kGears; ++g) {
        gearCutOff = {g, g};
        InitFields(kSet1);
        InitFields(kSet2);
    }
    gearCutOff = {0, 0};
    InitFields(kRest);
}

bool InitPr4Panel(int parent) {
    const std::initializer_list<const char*> rows = {
        "Speed [rpm]",          "Throttle [deg]",       "K-Injection [Cyl. 1]", "K-Injection [Cyl. 2]",
        "K-Injection [Cyl. 3]", "K-Injection [Cyl. 4]", "Advance Offset [deg]", "Exit Time [ms]"};
    if (!LoadPage(parent, PARM4::id, hPr4Panel) || !LabelValueRows(hPr4Panel, PARM4::TABcutOffCor1, rows) ||
        !LabelValueRows(hPr4Panel, PARM4::TABcutOffCor2, rows) ||
        !LabelValueRows(hPr4Panel, PARM4::TABenableCutOff, {"Cyl. 1", "Cyl. 2", "Cyl. 3", "Cyl. 4"}) ||
        SetCtrlAttribute(hPr4Panel, PARM4::TABenableCutOff, ATTR_COLUMN_LABELS_VISIBLE, 1) < 0)
        return false;
    for (int g = 1; g <= kGears; ++g) {
        const std::string label = "Gear " + std::to_string(g);
        if (SetTableColumnAttribute(hPr4Panel, PARM4::TABenableCutOff, g, ATTR_USE_LABEL_TEXT, 1) < 0 ||
            SetTableColumnAttribute(hPr4Panel, PARM4::TABenableCutOff, g, ATTR_LABEL_TEXT, label.c_str()) < 0)
            return false;
    }
    InitPr4Data();
    return true;
}

bool ScatterPr4Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherPr4Panel() {
    return GatherFieldPage(kPage);
}

bool Pr4Timer() {
    return Ping();
}

// The tables on screen go back under the gears shown so far before the new gears are shown.
int DoPr4Event(int, int control, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    if (control != PARM4::RINGgearCutOff1 && control != PARM4::RINGgearCutOff2) return 0;
    int chosen[2] = {0, 0};
    if (GetCtrlVal(hPr4Panel, PARM4::RINGgearCutOff1, &chosen[0]) < 0 ||
        GetCtrlVal(hPr4Panel, PARM4::RINGgearCutOff2, &chosen[1]) < 0)
        return 0;
    if (!GatherPr4Panel()) return ShowRingError();
    gearCutOff = {static_cast<std::uint8_t>(chosen[0]), static_cast<std::uint8_t>(chosen[1])};
    if (!ScatterPr4Panel()) return ShowRingError();
    return 0;
}
