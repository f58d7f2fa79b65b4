// Linearization page 2: the sensor curves of the two auxiliary analog inputs (traction-control selector,
// lambda sensors, fork and shock travel). Only the curves of the inputs' configured use are enabled.
#include "orvane/config/configbytes.h"
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/loadpage.h"
#include "orvane/tables/axisfix.h"
#include "orvane/tables/tablefields.h"
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"

int hLn2Panel = 0;

namespace {

using namespace LNR2;

constexpr CellFormat kLambda = {10, 0, 1300, 0};
constexpr CellFormat kTravel = {10, -3276.8, 3276.7, 0}; // [mm]

constexpr FieldBinding Breakpoints(int control, std::size_t curve) {
    return CurveX(control, 1, curve, kAdFormat);
}

constexpr FieldBinding kFields[] = {
    Breakpoints(TABrtc, offsetof(EcuParData, linTractionSelector)),
    CurveValues(TABrtc, 2, offsetof(EcuParData, linTractionSelector), kSelectorVolts),
    Breakpoints(TABuego1, offsetof(EcuParData, linLambda1)),
    CurveValues(TABuego1, 2, offsetof(EcuParData, linLambda1), kLambda),
    Breakpoints(TABuego2, offsetof(EcuParData, linLambda2)),
    CurveValues(TABuego2, 2, offsetof(EcuParData, linLambda2), kLambda),
    Breakpoints(TABsospAn, offsetof(EcuParData, linFork)),
    CurveValues(TABsospAn, 2, offsetof(EcuParData, linFork), kTravel),
    Breakpoints(TABsosPos, offsetof(EcuParData, linShock)),
    CurveValues(TABsosPos, 2, offsetof(EcuParData, linShock), kTravel),
};
static_assert(CheckBindings(kFields));

// The use of the auxiliary analog inputs (configuration page 2) and the selector's mode.
constexpr CtrlRule kRules[] = {
    {TABrtc, ATTR_DIMMED, [] { return !((AnalogType() == 1 || AnalogType() == 2) && SelectorInVolts()); }},
    {TABuego1, ATTR_DIMMED, [] { return AnalogType() != 3; }},
    {TABuego2, ATTR_DIMMED, [] { return AnalogType() != 3; }},
    {TABsospAn, ATTR_DIMMED, [] { return AnalogType() != 4; }},
    {TABsosPos, ATTR_DIMMED, [] { return AnalogType() != 4; }},
};

constexpr FieldPart kParts[] = {Part(kFields)};
const FieldPage kPage = {&hLn2Panel, kParts, FormatLn2Panel, FixLn2Curves};

struct CurveLook {
    int control;
    const char* valueUnit;
};
constexpr CurveLook kLooks[] = {
    {TABrtc, "[Volt]"}, {TABuego1, "Lambda"}, {TABuego2, "Lambda"}, {TABsospAn, "[mm]"}, {TABsosPos, "[mm]"}};

} // namespace

bool InitLn2Panel(int parent) {
    if (!LoadPage(parent, LNR2::id, hLn2Panel)) return false;
    InitLn2Data();
    for (const CurveLook& look : kLooks)
        if (!LabelTableRows(hLn2Panel, look.control, {"A/D", look.valueUnit}) ||
            !MarkBreakpointCells(hLn2Panel, look.control, MakeRect(1, 1, 1, 16)))
            return false;
    return true;
}
void InitLn2Data() {
    InitFields(kFields);
}
bool FormatLn2Panel() {
    return ApplyRules(hLn2Panel, kRules);
}
bool ScatterLn2Panel() {
    return ScatterFieldPage(kPage);
}
bool GatherLn2Panel() {
    return GatherFieldPage(kPage);
}
bool FixLn2Curves() {
    bool changed = false;
    for (Curve16* curve : {&ecuParData.linTractionSelector, &ecuParData.linLambda1, &ecuParData.linLambda2,
                           &ecuParData.linFork, &ecuParData.linShock})
        changed = FixCurve(*curve, EqualPoints::SameValues) || changed;
    return changed;
}
bool Ln2Timer() {
    return Ping();
}
