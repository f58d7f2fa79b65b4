// Linearization page 1: the sensor curves of the throttle, the temperatures, the manifold pressure and the
// external drive-by-wire gas, and the A/D end points of the auxiliary throttle, the gas pedal and the two
// throttle bodies. The procedures that fill these tables from the ECU are in lncalib.cpp.
#include "orvane/config/configbytes.h"
#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/loadpage.h"
#include "orvane/tables/axisfix.h"
#include "orvane/tables/tablefields.h"
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"

int hLn1Panel = 0;
int hLrtPanel = 0;

namespace {

using namespace LNR1;

// A pair of sensors' end points: sensor A min and max in row 2, sensor B's in row 3.
constexpr FieldBinding SensorPair(int control, std::size_t words) {
    return Cells(control, {2, 1, 2, 2}, words, 2 * sizeof(std::int16_t), sizeof(std::int16_t), Raw::I16,
                 kAdFormat.divisor, kAdFormat.min, kAdFormat.max);
}

constexpr FieldBinding kFields[] = {
    CurveX(TABfarf, 2, offsetof(EcuParData, linThrottle), kAdFormat),
    CurveValues(TABfarf, 3, offsetof(EcuParData, linThrottle), {10, 0, 100, 0}),
    CurveX(TABth2o, 1, offsetof(EcuParData, linWaterTemp), kAdFormat),
    CurveValues(TABth2o, 2, offsetof(EcuParData, linWaterTemp), {10, -30, 250, 0}),
    CurveX(TABtair, 1, offsetof(EcuParData, linAirTemp), kAdFormat),
    CurveValues(TABtair, 2, offsetof(EcuParData, linAirTemp), {10, -30, 150, 0}),
    CurveX(TABpVacu, 1, offsetof(EcuParData, linManifoldPressure), kAdFormat),
    CurveValues(TABpVacu, 2, offsetof(EcuParData, linManifoldPressure), {1, 0, 10000, 1000}),
    CurveX(TABgas, 1, offsetof(EcuParData, linExtDbwGas), kAdFormat),
    CurveValues(TABgas, 2, offsetof(EcuParData, linExtDbwGas), {10, 0, 100, 1000}),
    CellRow(TABfaux, 2, 1, 2, 0x6B2, Raw::I16, kAdFormat.divisor, kAdFormat.min, kAdFormat.max),
    SensorPair(TABeGas, 0x70C),
    SensorPair(TABeDbw1, 0x714),
    SensorPair(TABeDbw2, 0x71C),
};
static_assert(CheckBindings(kFields));

// The drive-by-wire master flag and the stepper type (1: auxiliary throttle) of the configuration.
bool NoExternalDbw() {
    return ExtDbw() == 0;
}
bool NoAuxThrottle() {
    return StepperType() != 1;
}
constexpr CtrlRule kRules[] = {
    {TABgas, ATTR_DIMMED, NoExternalDbw},   {TABeGas, ATTR_DIMMED, NoExternalDbw},
    {TABeDbw1, ATTR_DIMMED, NoExternalDbw}, {TABeDbw2, ATTR_DIMMED, NoExternalDbw},
    {TABfaux, ATTR_DIMMED, NoAuxThrottle},  {CBcalibrationFarf, ATTR_DIMMED, [] { return isComOpen == 0; }},
};

constexpr FieldPart kParts[] = {Part(kFields)};
const FieldPage kPage = {&hLn1Panel, kParts, FormatLn1Panel, FixLn1Curves};

struct TableLook {
    int control;
    std::initializer_list<const char*> rows;
    Rect breakpoints; // height 0: none
};
const TableLook kLooks[] = {
    {TABfarf, {"Learn", "A/D", "[deg]"}, {2, 1, 1, 16}}, {TABth2o, {"A/D", "[°C]"}, {1, 1, 1, 16}},
    {TABtair, {"A/D", "[°C]"}, {1, 1, 1, 16}},           {TABpVacu, {"A/D", "[mBar]"}, {1, 1, 1, 16}},
    {TABgas, {"A/D", "[deg]"}, {1, 1, 1, 16}},           {TABfaux, {"Learn", "A/D"}, {}},
    {TABeGas, {"Learn", "A/D - A", "A/D - B"}, {}},      {TABeDbw1, {"Learn", "A/D - A", "A/D - B"}, {}},
    {TABeDbw2, {"Learn", "A/D - A", "A/D - B"}, {}},
};

// The learning row holds no field: a double click on it reads the sensor into the column below.
bool MarkLearningRow(int control, int columns) {
    const Rect row = MakeRect(1, 1, 1, columns);
    if (SetTableCellRangeAttribute(hLn1Panel, control, row, ATTR_CELL_TYPE, VAL_CELL_STRING) < 0 ||
        SetTableCellRangeAttribute(hLn1Panel, control, row, ATTR_CELL_MODE, VAL_INDICATOR) < 0)
        return false;
    for (int col = 1; col <= columns; ++col)
        if (SetTableCellVal(hLn1Panel, control, MakePoint(col, 1), "read") < 0) return false;
    return true;
}

bool LookLn1Panel() {
    for (const TableLook& look : kLooks)
        if (!LabelTableRows(hLn1Panel, look.control, look.rows) ||
            (look.breakpoints.height > 0 && !MarkBreakpointCells(hLn1Panel, look.control, look.breakpoints)))
            return false;
    return LabelTableColumns(hLn1Panel, TABfaux, {"0%", "100%"}) &&
           LabelTableColumns(hLn1Panel, TABeGas, {"Min.", "Max."}) &&
           LabelTableColumns(hLn1Panel, TABeDbw1, {"Min.", "Max."}) &&
           LabelTableColumns(hLn1Panel, TABeDbw2, {"Min.", "Max."}) && MarkLearningRow(TABfarf, 16) &&
           MarkLearningRow(TABfaux, 2) && MarkLearningRow(TABeGas, 2) && MarkLearningRow(TABeDbw1, 2) &&
           MarkLearningRow(TABeDbw2, 2);
}

} // namespace

bool InitLn1Panel(int parent) {
    if (!LoadPage(parent, LNRGAS::id, hLrtPanel) || !LoadPage(parent, LNR1::id, hLn1Panel)) return false;
    InitLn1Data();
    return LookLn1Panel();
}
void InitLn1Data() {
    InitFields(kFields);
}
bool FormatLn1Panel() {
    return ApplyRules(hLn1Panel, kRules);
}
bool ScatterLn1Panel() {
    return ScatterFieldPage(kPage);
}
bool GatherLn1Panel() {
    return GatherFieldPage(kPage);
}
bool FixLn1Curves() {
    bool changed = false;
    for (Curve16* curve : {&ecuParData.linThrottle, &ecuParData.linWaterTemp, &ecuParData.linAirTemp,
                           &ecuParData.linManifoldPressure, &ecuParData.linExtDbwGas})
        changed = FixCurve(*curve, EqualPoints::SameValues) || changed;
    return changed;
}
// The calibration needs the ECU: its button is dimmed while the link is closed.
bool Ln1Timer() {
    SetCtrlAttribute(hLn1Panel, CBcalibrationFarf, ATTR_DIMMED, isComOpen ? 0 : 1);
    return Ping();
}
