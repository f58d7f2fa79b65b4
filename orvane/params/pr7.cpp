// Blipping parameter page: activation limits, per-gear enables, shift-sensor thresholds with their
// polarity, the command table and the two drive-by-wire target tables. Usable only with an external
// drive-by-wire throttle and blipping enabled in the configuration.
#include "orvane/config/configbytes.h"
#include "orvane/core/connect.h"
#include "orvane/core/fields.h"
#include "orvane/core/imagerepairs.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/repairs.h"
#include "orvane/params/maptables.h"
#include "orvane/params/params.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <span>

int hPr7Panel = 0;

namespace {

constexpr std::size_t kReverse = 0x2A300;
constexpr std::size_t kTargets1 = 0x2A176; // five rows of 16, then their 16 breakpoints
constexpr std::size_t kTargets2 = 0x2A236;
constexpr std::size_t kTargetRows = 5;
constexpr std::size_t kTargetPoints = 16;
constexpr std::int64_t kMidThreshold = 512;

using enum Raw;

constexpr FieldBinding M(FieldBinding b) {
    return b.InMap();
}

constexpr FieldBinding TargetTable(int control, std::size_t at, int row, int rows, double divisor, double max,
                                   std::size_t offset) {
    return M(Cells(control, {row, 1, rows, 16}, at + offset, 2 * kTargetPoints, 2, I16, divisor, 0, max));
}

constexpr FieldBinding kHead[] = {
    M(Num(PARM7::NUMblipMinVel, 0x2A13A, I16, 1, 0, 500, 0)),
    M(Num(PARM7::NUMblipMinRpm, 0x2A13C, U16, 1, 0, 20000, 0)),
    M(Num(PARM7::NUMblipMaxGas, 0x2A13E, U16, 10, 0, 100, 0)),
    M(Num(PARM7::NUMblipInhibTime, 0x2A140, U16, 1, 0, 32767, 0)),
    M(Num(PARM7::NUMblipConfirmTime, 0x2A142, U16, 1, 0, 32767, 0)),
    M(Toggle(PARM7::TBblipShiftReverse, kReverse, 0)),
    M(Cells(PARM7::TABblipEnable, {1, 1, 2, 5}, 0x2A2F6, 5, 1, U8, 1, 0, 1).Truncated()),
};
// The threshold ranges swap with the shift polarity.
constexpr FieldBinding kThresholdsNormal[] = {
    M(CellRow(PARM7::TABblipUshiftThr, 1, 1, 5, 0x2A144, U16, 1, 512, 1023).Default(kMidThreshold)),
    M(CellRow(PARM7::TABblipDshiftThr, 1, 1, 5, 0x2A14E, U16, 1, 0, 512).Default(kMidThreshold)),
};
constexpr FieldBinding kThresholdsReversed[] = {
    M(CellRow(PARM7::TABblipUshiftThr, 1, 1, 5, 0x2A144, U16, 1, 0, 512)),
    M(CellRow(PARM7::TABblipDshiftThr, 1, 1, 5, 0x2A14E, U16, 1, 512, 1023)),
};
constexpr FieldBinding kTail[] = {
    M(Cells(PARM7::TABblipCommand, {1, 1, 3, 5}, 0x2A158, 10, 2, U16, 1, 0, 32767)),
    TargetTable(PARM7::TABblipTargetDbw1, kTargets1, 1, 1, 1, 20000, 2 * kTargetRows * kTargetPoints),
    TargetTable(PARM7::TABblipTargetDbw1, kTargets1, 2, kTargetRows, 10, 100, 0),
    TargetTable(PARM7::TABblipTargetDbw2, kTargets2, 1, 1, 1, 20000, 2 * kTargetRows * kTargetPoints),
    TargetTable(PARM7::TABblipTargetDbw2, kTargets2, 2, kTargetRows, 10, 100, 0),
};
static_assert(CheckBindings(kHead) && CheckBindings(kThresholdsNormal) && CheckBindings(kTail));

bool Reversed() {
    return ReadField(Image::Map, kReverse, U8) != 0;
}
FieldTable Thresholds() {
    return Reversed() ? FieldTable(kThresholdsReversed) : FieldTable(kThresholdsNormal);
}
constexpr FieldPart kParts[] = {Part(kHead), Part(Thresholds), Part(kTail)};

bool PageOff() {
    return !(ExtDbw() == 1 && EnableBlipping() == 1);
}

constexpr CtrlRule kRules[] = {
    {PARM7::NUMblipMinVel, ATTR_DIMMED, PageOff},
    {PARM7::NUMblipMinRpm, ATTR_DIMMED, PageOff},
    {PARM7::NUMblipMaxGas, ATTR_DIMMED, PageOff},
    {PARM7::NUMblipInhibTime, ATTR_DIMMED, PageOff},
    {PARM7::NUMblipConfirmTime, ATTR_DIMMED, PageOff},
    {PARM7::CBblipUshift, ATTR_DIMMED, PageOff},
    {PARM7::CBblipDshift, ATTR_DIMMED, PageOff},
    {PARM7::TBblipShiftReverse, ATTR_DIMMED, PageOff},
    {PARM7::TABblipEnable, ATTR_DIMMED, PageOff},
    {PARM7::TABblipUshiftThr, ATTR_DIMMED, PageOff},
    {PARM7::TABblipDshiftThr, ATTR_DIMMED, PageOff},
    {PARM7::TABblipCommand, ATTR_DIMMED, PageOff},
    {PARM7::TABblipTargetDbw1, ATTR_DIMMED, PageOff},
    {PARM7::TABblipTargetDbw2, ATTR_DIMMED, PageOff},
    {PARM7::TMblip1, ATTR_DIMMED, PageOff},
    {PARM7::TMblip2, ATTR_DIMMED, PageOff},
    {PARM7::TMblip3, ATTR_DIMMED, PageOff},
    {PARM7::TMblip4, ATTR_DIMMED, PageOff},
    {PARM7::TMblip5, ATTR_DIMMED, PageOff},
    {PARM7::TMblip6, ATTR_DIMMED, PageOff},
    {PARM7::TMblip7, ATTR_DIMMED, PageOff},
    {PARM7::TMblip8, ATTR_DIMMED, PageOff},
};

// The shift buttons' labels follow the polarity.
bool ConfigurePr7() {
    const bool reversed = Reversed();
    return ApplyRules(hPr7Panel, kRules) &&
           SetCtrlAttribute(hPr7Panel, PARM7::CBblipUshift, ATTR_LABEL_TEXT,
                            reversed ? "Active Lo" : "Active Hi") >= 0 &&
           SetCtrlAttribute(hPr7Panel, PARM7::CBblipDshift, ATTR_LABEL_TEXT,
                            reversed ? "Active Hi" : "Active Lo") >= 0;
}

const FieldPage kPage = {&hPr7Panel, kParts, ConfigurePr7, CheckPr7};

constexpr PageRefresh kRefresh{"Parameters", GatherPr7Panel, ScatterPr7Panel, nullptr, true};

} // namespace

bool CheckPr7() {
    bool changed = false;
    for (const std::size_t at : {kTargets1, kTargets2}) {
        const std::span<std::int16_t> targets =
            ImageSpan<std::int16_t>(Image::Map, at, kTargetRows * kTargetPoints);
        const std::span<std::int16_t> axis =
            ImageSpan<std::int16_t>(Image::Map, at + 2 * kTargetRows * kTargetPoints, kTargetPoints);
        changed |= RepairAxis(axis, {AxisData{targets, 1, kTargetRows, kTargetPoints}});
    }
    return changed;
}

void InitPr7Data() {
    InitFields(kHead);
    InitFields(kThresholdsNormal);
    InitFields(kTail);
}

bool InitPr7Panel(int parent) {
    if (!LoadPage(parent, PARM7::id, hPr7Panel) ||
        !LabelValueRows(hPr7Panel, PARM7::TABblipEnable, {"Up", "Down"}) ||
        !LabelValueRows(hPr7Panel, PARM7::TABblipUshiftThr, {"Up"}) ||
        !LabelValueRows(hPr7Panel, PARM7::TABblipDshiftThr, {"Down"}) ||
        !LabelValueRows(hPr7Panel, PARM7::TABblipTargetDbw1,
                        {"[rpm]", "[deg] 1", "[deg] 2", "[deg] 3", "[deg] 4", "[deg] 5"}) ||
        !LabelValueRows(hPr7Panel, PARM7::TABblipTargetDbw2,
                        {"[rpm]", "[deg] 1", "[deg] 2", "[deg] 3", "[deg] 4", "[deg] 5"}))
        return false;
    // The per-gear tables keep their column numbers: they are the gears.
    for (int table : {PARM7::TABblipEnable, PARM7::TABblipUshiftThr, PARM7::TABblipDshiftThr})
        if (SetCtrlAttribute(hPr7Panel, table, ATTR_COLUMN_LABELS_VISIBLE, 1) < 0) return false;
    InitPr7Data();
    return true;
}

bool ScatterPr7Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherPr7Panel() {
    return GatherFieldPage(kPage);
}

bool Pr7Timer() {
    return Ping();
}

// The polarity takes effect at once, even while a transfer pumps events: no exchange is involved.
int DoPr7Event(int, int, int event, void*, int, int) {
    return RefreshOnCommit(event, kRefresh);
}
