// Misc. 3 parameter page: the launch control (mode, wheel-speed reference, corrections, reference speeds
// with activation limits, the engine limits of the second mode) and the speed limiter.
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

int hPr3Panel = 0;

namespace {

constexpr std::size_t kLaunchType = 0x29AF0;
constexpr std::size_t kSpeedLimType = 0x29B06;
constexpr std::size_t kLaunchVel = 0x29AE0;
// Each limit table keeps its upper row before its lower row.
constexpr std::size_t kInjUp = 0x29A7A;
constexpr std::size_t kAdvUp = 0x29A9A;
constexpr std::size_t kPwmUp = 0x29ABA;
constexpr std::size_t kRowBytes = 16;
constexpr std::size_t kSpeedLim = 0x29AF6; // inf, sup, gear 1 inf, sup, gear 2 inf, sup

using enum Raw;

constexpr FieldBinding M(FieldBinding b) {
    return b.InMap();
}

constexpr FieldBinding kFields[] = {
    M(Ring(PARM3::RINGlaunchType, kLaunchType, 0)),
    M(Toggle(PARM3::TBlaunchVelFront, kLaunchType + 1, 0)),
    M(Num(PARM3::NUMlaunchKinj, 0x29ADA, U16, 1000, 0, 2, 1000)),
    M(Num(PARM3::NUMlaunchAdv, 0x29ADC, I16, 10, -720, 720, 0)),
    M(Num(PARM3::NUMlaunchPwm, 0x29ADE, U16, 10, 0, 100, 0)),
    M(CellRow(PARM3::TABlaunchVel, 1, 1, 8, kLaunchVel, I16, 1, 0, 500)),
    M(CellRow(PARM3::TABlaunchInj, 1, 1, 8, kInjUp + kRowBytes, U16, 1, 0, 20000)),
    M(CellRow(PARM3::TABlaunchInj, 2, 1, 8, kInjUp, U16, 1, 0, 20000)),
    M(CellRow(PARM3::TABlaunchAdv, 1, 1, 8, kAdvUp + kRowBytes, U16, 1, 0, 20000)),
    M(CellRow(PARM3::TABlaunchAdv, 2, 1, 8, kAdvUp, U16, 1, 0, 20000)),
    M(CellRow(PARM3::TABlaunchPwm, 1, 1, 8, kPwmUp + kRowBytes, U16, 1, 0, 20000)),
    M(CellRow(PARM3::TABlaunchPwm, 2, 1, 8, kPwmUp, U16, 1, 0, 20000)),
    M(Num(PARM3::NUMlaunchLimArpm, 0x29AF2, I16, 1, 0, 20000, 0)),
    M(Num(PARM3::NUMlaunchLimJrpm, 0x29AF4, I16, 1, 0, 20000, 0)),
    M(Ring(PARM3::RINGspeedLimType, kSpeedLimType, 0)),
    M(Num(PARM3::NUMspeedLimInf, kSpeedLim, I16, 1, 0, 500, 0)),
    M(Num(PARM3::NUMspeedLimSup, kSpeedLim + 2, I16, 1, 0, 500, 0)),
    M(Num(PARM3::NUMspeedLimRpm1Inf, kSpeedLim + 4, I16, 1, 0, 20000, 0)),
    M(Num(PARM3::NUMspeedLimRpm1Sup, kSpeedLim + 6, I16, 1, 0, 20000, 0)),
    M(Num(PARM3::NUMspeedLimRpm2Inf, kSpeedLim + 8, I16, 1, 0, 20000, 0)),
    M(Num(PARM3::NUMspeedLimRpm2Sup, kSpeedLim + 10, I16, 1, 0, 20000, 0)),
    M(Num(PARM3::NUMspeedLimKinj, 0x29B02, U16, 1000, 0, 2, 1000)),
    M(Num(PARM3::NUMspeedLimKadv, 0x29B04, I16, 10, -30, 30, 0)),
};
static_assert(CheckBindings(kFields));
constexpr FieldPart kParts[] = {Part(kFields)};

std::uint8_t SpeedLimType() {
    return ImageValue<std::uint8_t>(Image::Map, kSpeedLimType).value_or(0);
}
std::uint8_t LaunchType() {
    return ImageValue<std::uint8_t>(Image::Map, kLaunchType).value_or(0);
}

bool NoSpeedLimits() {
    return SpeedLimType() != 1 && SpeedLimType() != 2;
}
bool NoGearLimits() {
    return SpeedLimType() != 3;
}
bool LimiterOff() {
    return SpeedLimType() == 0;
}
bool NoWheelLaunch() {
    return LaunchType() != 1;
}
bool NoJetSkiLaunch() {
    return LaunchType() != 2;
}

constexpr CtrlRule kRules[] = {
    {PARM3::NUMspeedLimInf, ATTR_DIMMED, NoSpeedLimits},
    {PARM3::NUMspeedLimSup, ATTR_DIMMED, NoSpeedLimits},
    {PARM3::NUMspeedLimRpm1Inf, ATTR_DIMMED, NoGearLimits},
    {PARM3::NUMspeedLimRpm1Sup, ATTR_DIMMED, NoGearLimits},
    {PARM3::NUMspeedLimRpm2Inf, ATTR_DIMMED, NoGearLimits},
    {PARM3::NUMspeedLimRpm2Sup, ATTR_DIMMED, NoGearLimits},
    {PARM3::NUMspeedLimKinj, ATTR_DIMMED, LimiterOff},
    {PARM3::NUMspeedLimKadv, ATTR_DIMMED, LimiterOff},
    {PARM3::TBlaunchVelFront, ATTR_DIMMED, NoWheelLaunch},
    {PARM3::NUMlaunchKinj, ATTR_DIMMED, NoWheelLaunch},
    {PARM3::NUMlaunchAdv, ATTR_DIMMED, NoWheelLaunch},
    {PARM3::NUMlaunchPwm, ATTR_DIMMED, NoWheelLaunch},
    {PARM3::NUMlaunchLimArpm, ATTR_DIMMED, NoJetSkiLaunch},
    {PARM3::NUMlaunchLimJrpm, ATTR_DIMMED, NoJetSkiLaunch},
};
constexpr CellRule kCellRules[] = {
    {PARM3::TABlaunchVel, {1, 1, 1, 8}, NoWheelLaunch},
    {PARM3::TABlaunchInj, {1, 1, 2, 8}, NoWheelLaunch},
    {PARM3::TABlaunchAdv, {1, 1, 2, 8}, NoWheelLaunch},
    {PARM3::TABlaunchPwm, {1, 1, 2, 8}, NoWheelLaunch},
};

bool ConfigurePr3() {
    return ApplyRules(hPr3Panel, kRules) && ApplyCellRules(hPr3Panel, kCellRules);
}

const FieldPage kPage = {&hPr3Panel, kParts, ConfigurePr3, CheckPr3};

constexpr PageRefresh kRefresh{"Miscellaneous 3 Parameters", GatherPr3Panel, ScatterPr3Panel};

} // namespace

bool CheckPr3() {
    bool changed = false;
    for (std::size_t pair = 0; pair < 3; ++pair) // speed, gear 1, gear 2: each lower, then upper
        changed |= RaiseToLowerAt<std::int16_t>(Image::Map, kSpeedLim + 4 * pair + 2, kSpeedLim + 4 * pair);
    changed |= ResetOutsideAt<std::uint8_t>(Image::Map, kSpeedLimType, 0, 3, 0);
    changed |= ResetOutsideAt<std::uint8_t>(Image::Map, kLaunchType, 0, 2, 0);
    // The six limit rows lie back to back after the first upper row: a reference speed drags them all.
    changed |= RepairAxis(ImageSpan<std::int16_t>(Image::Map, kLaunchVel, 8),
                          {AxisData{ImageSpan<std::int16_t>(Image::Map, kInjUp, 48), 1, 6, 8}});
    for (const std::size_t up : {kInjUp, kAdvUp, kPwmUp})
        for (std::size_t k = 0; k < 8; ++k)
            changed |= RaiseToLowerAt<std::uint16_t>(Image::Map, up + 2 * k, up + kRowBytes + 2 * k);
    return changed;
}

void InitPr3Data() {
    InitFields(kFields);
}

bool InitPr3Panel(int parent) {
    const std::initializer_list<const char*> kLimitRows = {"Activation Limits Lower [rpm]",
                                                           "Activation Limits Upper [rpm]"};
    if (!LoadPage(parent, PARM3::id, hPr3Panel) || !HideTableLabels(hPr3Panel, PARM3::TABlaunchVel) ||
        !LabelValueRows(hPr3Panel, PARM3::TABlaunchInj, kLimitRows) ||
        !LabelValueRows(hPr3Panel, PARM3::TABlaunchAdv, kLimitRows) ||
        !LabelValueRows(hPr3Panel, PARM3::TABlaunchPwm, kLimitRows))
        return false;
    InitPr3Data();
    return true;
}

bool ScatterPr3Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherPr3Panel() {
    return GatherFieldPage(kPage);
}

bool Pr3Timer() {
    return Ping();
}

int DoPr3Event(int, int, int event, void*, int, int) {
    return RefreshOnCommit(event, kRefresh);
}
