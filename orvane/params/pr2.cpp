// Misc. 2 parameter page: the engine brake control by by-pass air, and the switching curve of the
// auxiliary output used as a relay.
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

int hPr2Panel = 0;

namespace {

constexpr std::size_t kStepCells = 0x28848; // 7 rows of 32, then their 32 breakpoints
constexpr std::size_t kStepAxis = 0x28A08;
constexpr std::size_t kStepRows = 7;
constexpr std::size_t kStepPoints = 32;
constexpr std::size_t kRelayValues = 0x28C88;
constexpr std::size_t kRelayAxis = 0x28CA8;
constexpr std::size_t kLimits = 0x29B48; // speed, lower gas, upper gas, max step

using enum Raw;

constexpr FieldBinding M(FieldBinding b) {
    return b.InMap();
}

constexpr FieldBinding kBrake[] = {
    M(CellRow(PARM2::TABbpsAirStep, 1, 1, kStepPoints, kStepAxis, I16, 1, 0, 20000)),
    M(Cells(PARM2::TABbpsAirStep, {2, 1, kStepRows, kStepPoints}, kStepCells, 2 * kStepPoints, 2, I16, 10, 0,
            100)),
    M(Num(PARM2::NUMbpsAirRpm, kLimits, U16, 1, 0, 20000, 0)),
    M(Num(PARM2::NUMbpsAirGasInf, kLimits + 2, U16, 10, 0, 100, 0)),
    M(Num(PARM2::NUMbpsAirGasSup, kLimits + 4, U16, 10, 0, 100, 0)),
    M(Num(PARM2::NUMbpsAirMaxStep, kLimits + 6, U16, 1, 1, 500, 1)),
    M(CellRow(PARM2::TABbpsAirCtrlByGear, 1, 1, 7, 0x29B50, U16, 1, 0, 32767)),
    M(CellRow(PARM2::TABbpsAirCtrlByGear, 2, 1, 7, 0x29B5E, U16, 10, 0, 100)),
};
static_assert(CheckBindings(kBrake));
// The relay switches by engine speed or by water temperature (tenths of a degree): the same words, read
// in the unit of the configured source.
constexpr FieldBinding kRelayByRpm[] = {
    M(CellRow(PARM2::TABrelaisOut, 1, 1, 16, kRelayAxis, I16, 1, 0, 20000)),
    M(CellRow(PARM2::TABrelaisOut, 2, 1, 16, kRelayValues, I16, 1, 0, 1)),
};
constexpr FieldBinding kRelayByWater[] = {
    M(CellRow(PARM2::TABrelaisOut, 1, 1, 16, kRelayAxis, I16, 10, -30, 250)),
    M(CellRow(PARM2::TABrelaisOut, 2, 1, 16, kRelayValues, I16, 1, 0, 1)),
};
static_assert(CheckBindings(kRelayByRpm));

bool RelayOff() {
    return AuxOutRelay() == 0;
}
bool RelayByWater() {
    return !RelayOff() && AuxOutByRpm() == 0;
}
bool BrakeOff() {
    return StepperType() != 4;
}

// The unit the relay breakpoints were last shown in: the table holds them so until the page is shown
// again, even when the configuration changes the relay's source meanwhile.
bool relayShownByWater = false;

FieldTable RelayFields() {
    return relayShownByWater ? FieldTable(kRelayByWater) : FieldTable(kRelayByRpm);
}
constexpr FieldPart kParts[] = {Part(kBrake), Part(RelayFields)};

constexpr CtrlRule kRules[] = {
    {PARM2::TABbpsAirStep, ATTR_DIMMED, BrakeOff},    {PARM2::NUMbpsAirRpm, ATTR_DIMMED, BrakeOff},
    {PARM2::NUMbpsAirGasInf, ATTR_DIMMED, BrakeOff},  {PARM2::NUMbpsAirGasSup, ATTR_DIMMED, BrakeOff},
    {PARM2::NUMbpsAirMaxStep, ATTR_DIMMED, BrakeOff}, {PARM2::TABbpsAirCtrlByGear, ATTR_DIMMED, BrakeOff},
    {PARM2::TABrelaisOut, ATTR_DIMMED, RelayOff},
};

bool ConfigurePr2() {
    relayShownByWater = RelayByWater();
    return ApplyRules(hPr2Panel, kRules) &&
           SetTableRowAttribute(hPr2Panel, PARM2::TABrelaisOut, 1, ATTR_LABEL_TEXT,
                                relayShownByWater ? "[°C]" : "[rpm]") >= 0;
}

const FieldPage kPage = {&hPr2Panel, kParts, ConfigurePr2, CheckPr2};

} // namespace

bool CheckPr2() {
    bool changed =
        RepairAxis(ImageSpan<std::int16_t>(Image::Map, kStepAxis, kStepPoints),
                   {AxisData{ImageSpan<std::int16_t>(Image::Map, kStepCells, kStepRows * kStepPoints), 1,
                             kStepRows, kStepPoints}});
    changed |= RaiseToLowerAt<std::uint16_t>(Image::Map, kLimits + 4, kLimits + 2); // upper gas, lower gas
    changed |= RepairAxis(ImageSpan<std::int16_t>(Image::Map, kRelayAxis, 16),
                          {AxisData{ImageSpan<std::int16_t>(Image::Map, kRelayValues, 16)}});
    return changed;
}

void InitPr2Data() {
    InitFields(kBrake);
    InitFields(kRelayByRpm);
}

bool InitPr2Panel(int parent) {
    if (!LoadPage(parent, PARM2::id, hPr2Panel) || !HideTableLabels(hPr2Panel, PARM2::TABbpsAirStep) ||
        !LabelValueRows(hPr2Panel, PARM2::TABrelaisOut, {"[rpm]", "Output"}) ||
        SetCtrlAttribute(hPr2Panel, PARM2::TABbpsAirCtrlByGear, ATTR_COLUMN_LABELS_VISIBLE, 1) < 0)
        return false;
    InitPr2Data();
    return true;
}

bool ScatterPr2Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherPr2Panel() {
    return GatherFieldPage(kPage);
}

bool Pr2Timer() {
    return Ping();
}
