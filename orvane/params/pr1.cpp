// Misc. 1 parameter page: start and on/off thresholds, engine limits and calculations, wheels, idle
// control, starter and injection-partition filters, and the reset of the normal step correction.
#include "orvane/config/configbytes.h"
#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "orvane/core/fields.h"
#include "orvane/core/imagerepairs.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/repairs.h"
#include "orvane/params/maptables.h"
#include "orvane/params/params.h"
#include "orvane/params/resets.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <cstdint>
#include <limits>

int hPr1Panel = 0;

namespace {

constexpr std::size_t kPreInjAxis = 0x28C68;
constexpr std::size_t kPreInjValue = 0x28C48;
constexpr std::size_t kEngOn = 0x29B76;
constexpr std::size_t kEngOff = 0x29B78;
constexpr std::size_t kStartMecOn = 0x29B72;
constexpr std::size_t kStartMecHys = 0x29B74;
constexpr std::size_t kSparkTooth = 0x29B9D;
constexpr std::size_t kPreloadTeeth = 0x29B9E;
constexpr std::size_t kLimArpm = 0x29B7A; // [0..5] gears 1-6, [6] overall
constexpr std::size_t kLimJrpm = 0x29B88;
constexpr std::size_t kIdlAxis = 0x29BA0;
constexpr std::size_t kIdlRpm = 0x29BB4;
constexpr std::size_t kIdlStepNormal = 0x29BC8;
constexpr std::size_t kIdlStepStart = 0x29BDC;
constexpr std::size_t kDeltaRpmIdling = 0x29BF0;
constexpr std::size_t kRpmMinEnable = 0x29C02;
constexpr std::size_t kRpmMaxEnable = 0x29C04;
constexpr std::size_t kMsMinEnable = 0x29BFE;
constexpr std::size_t kMsMaxEnable = 0x29C00;
constexpr std::size_t kIdlGasDur = 0x29C0A;
constexpr std::size_t kStarterAxis = 0x29C0E;
constexpr std::size_t kStarterValue = 0x29C16;

using enum Raw;

FieldBinding constexpr M(FieldBinding b) {
    return b.InMap();
}

// The gear limits shown pairwise, advance then injection.
constexpr FieldBinding Gear(int control, std::size_t limits, int gear) {
    return M(Num(control, limits + 2 * (gear - 1), I16, 1, 0, 20000, 0));
}

// In the order the page shows and reads them; the idle throttle threshold is kept apart (its format
// follows the drive-by-wire flag).
constexpr FieldBinding kHead[] = {
    // Two words the ECU expects to hold these values whatever a file or a received image brought.
    M(Fixed(0x29B6C, I16, 250)),
    M(Fixed(0x29B6E, I16, 3000)),
    M(CellRow(PARM1::TABpreInj, 1, 1, 16, kPreInjAxis, I16, 10, -30, 250)),
    M(CellRow(PARM1::TABpreInj, 2, 1, 16, kPreInjValue, I16, 10, 0, 3200)),
    M(Num(PARM1::NUMthrRPMengOn, kEngOn, I16, 1, 0, 20000, 0)),
    M(Num(PARM1::NUMthrRPMengOff, kEngOff, I16, 1, 0, 20000, 0)),
    M(Num(PARM1::NUMdelayDropSwitch, 0x29B70, I16, 1, 0, 32767, 0)),
    M(Num(PARM1::NUMthrRPMstartMecOn, kStartMecOn, I16, 1, 0, 20000, 0)),
    M(Num(PARM1::NUMthrRPMstartMecHys, kStartMecHys, I16, 1, 0, 20000, 0)),
    M(Num(PARM1::NUMmecSparkTooth, kSparkTooth, U8, 1, 0, 255, 0)),
    M(Num(PARM1::NUMmecPreloadTeeth, kPreloadTeeth, U8, 1, 0, 255, 0)),
    M(Num(PARM1::NUMlimArpm, kLimArpm + 12, I16, 1, 0, 20000, 0)),
    M(Num(PARM1::NUMlimJrpm, kLimJrpm + 12, I16, 1, 0, 20000, 0)),
    Gear(PARM1::NUMlimArpm1, kLimArpm, 1),
    Gear(PARM1::NUMlimJrpm1, kLimJrpm, 1),
    Gear(PARM1::NUMlimArpm2, kLimArpm, 2),
    Gear(PARM1::NUMlimJrpm2, kLimJrpm, 2),
    Gear(PARM1::NUMlimArpm3, kLimArpm, 3),
    Gear(PARM1::NUMlimJrpm3, kLimJrpm, 3),
    Gear(PARM1::NUMlimArpm4, kLimArpm, 4),
    Gear(PARM1::NUMlimJrpm4, kLimJrpm, 4),
    Gear(PARM1::NUMlimArpm5, kLimArpm, 5),
    Gear(PARM1::NUMlimJrpm5, kLimJrpm, 5),
    Gear(PARM1::NUMlimArpm6, kLimArpm, 6),
    Gear(PARM1::NUMlimJrpm6, kLimJrpm, 6),
    M(Num(PARM1::NUMlimApair, 0x29B96, I16, 1, 0, 10000, 1000)),
    M(Num(PARM1::NUMlimJpair, 0x29B98, I16, 1, 0, 10000, 1000)),
    M(CellRow(PARM1::TABidlSetPoint, 1, 1, 10, kIdlAxis, I16, 10, -30, 250)),
    M(CellRow(PARM1::TABidlSetPoint, 2, 1, 10, kIdlRpm, I16, 1, 300, 10000).Default(500)),
    M(CellRow(PARM1::TABidlSetPoint, 3, 1, 10, kIdlStepNormal, I16, 10, 0, 100)),
    M(CellRow(PARM1::TABidlSetPoint, 4, 1, 10, kIdlStepStart, I16, 10, 0, 100)),
    M(Num(PARM1::NUMdeltaRpmIdling, kDeltaRpmIdling, I16, 1, -20000, 20000, 0)),
    M(Num(PARM1::NUMdeltaMsIdling, 0x29BF2, U16, 1, 0, 32767, 0)),
    M(Num(PARM1::NUMminFarfIdl, 0x29BF4, U16, 10, 0, 100, 0)),
    M(Num(PARM1::NUMfarfCalibIdl, 0x29BF6, U16, 10, 0, 100, 0)),
    M(Num(PARM1::NUMidlNormalHoldTime, 0x29BF8, U16, 1, 5, 1000, 5)),
    M(Num(PARM1::NUMidlSlowHoldTime, 0x29BFC, U16, 1, 100, 60000, 100)),
    M(Num(PARM1::NUMidlFilterDepth, 0x29BFA, U8, 1, 1, 100, 1)),
    M(Num(PARM1::NUMrpmMinEnableIdl, kRpmMinEnable, U16, 1, 0, 20000, 0)),
    M(Num(PARM1::NUMrpmMaxEnableIdl, kRpmMaxEnable, U16, 1, 0, 20000, 0)),
    M(Num(PARM1::NUMtH2oMinEnableIdl, 0x29C06, I16, 10, -30, 250, 0)),
    M(Num(PARM1::NUMmsMinEnableIdl, kMsMinEnable, U16, 1, 0, 32767, 0)),
    M(Num(PARM1::NUMmsMaxEnableIdl, kMsMaxEnable, U16, 1, 0, 32767, 0)),
};
// With drive-by-wire the field is a ramp duration shown whole, but it still holds ten times the shown
// value in a signed word: 3276 is the most that fits.
constexpr FieldBinding kGasThrottle[] = {M(Num(PARM1::NUMidlGasDur, kIdlGasDur, I16, 10, 0, 100, 0))};
constexpr FieldBinding kGasDuration[] = {
    M(Num(PARM1::NUMidlGasDur, kIdlGasDur, I16, 10, 0, 3276, 0)).Decimals(0)};
constexpr FieldBinding kTail[] = {
    M(Num(PARM1::NUMidlRpmThrOffs, 0x29C08, I16, 1, 0, 20000, 0)),
    M(Num(PARM1::NUMnRevsRpm, 0x29B9A, U8, 1, 0, 25, 0)),
    M(Num(PARM1::NUMnRevsDrpm, 0x29B9B, U8, 1, 0, 25, 0)),
    M(Num(PARM1::NUMwheelAntCirc, 0x29998, U16, 1, 500, 3000, 2000)),
    M(Num(PARM1::NUMwheelPosCirc, 0x2999A, U16, 1, 500, 3000, 2000)),
    M(Num(PARM1::NUMwheelAntPuls, 0x2999C, U16, 1, 1, 300, 1)),
    M(Num(PARM1::NUMwheelPosPuls, 0x2999E, U16, 1, 1, 300, 1)),
    M(Num(PARM1::NUMwheelAntFltDepth, 0x299A0, U16, 1, 1, 200, 100)),
    M(Num(PARM1::NUMwheelPosFltDepth, 0x299A2, U16, 1, 1, 200, 100)),
    M(Num(PARM1::NUMslipRatioFltDepth, 0x299A4, U16, 1, 1, 200, 100)),
    M(Num(PARM1::NUMthrRpmStarter, 0x29C0C, I16, 1, 0, 20000, 0)),
    M(CellRow(PARM1::TABstarterSoll, 1, 1, 4, kStarterAxis, I16, 10, -30, 250)),
    M(CellRow(PARM1::TABstarterSoll, 2, 1, 4, kStarterValue, I16, 10, 0, 100)),
    M(Num(PARM1::NUMfltRipDown, 0x29C1E, U16, 1, 1, 10000, 10000)),
    M(Num(PARM1::NUMfltRipUp, 0x29C20, U16, 1, 1, 10000, 10000)),
};
static_assert(CheckBindings(kHead) && CheckBindings(kGasDuration) && CheckBindings(kTail));

// ---- the configuration the page follows ----------------------------------------------------------------

bool Dbw() {
    return ExtDbw() != 0;
}
bool StepperIdling() {
    return !Dbw() && StepperType() == 2;
}
bool StepperHarley() {
    return !Dbw() && StepperType() == 3;
}
bool HarleyWheel() {
    return WheelByte(0) == 0 && WheelByte(1) == 1;
}

FieldTable GasField() {
    return Dbw() ? FieldTable(kGasDuration) : FieldTable(kGasThrottle);
}
constexpr FieldPart kParts[] = {Part(kHead), Part(GasField), Part(kTail)};

bool MecThresholdsOff() {
    return !((HarleyWheel() && CylinderCount() == 2) || (!HarleyWheel() && CylinderCount() == 1));
}
bool MecTeethOff() {
    return HarleyWheel() || CylinderCount() != 1;
}
bool IdleOff() {
    return !StepperHarley();
}
bool ThrottleThresholdsOff() {
    return !(StepperIdling() || Dbw());
}
bool FrontWheelOff() {
    const bool camLimited = WheelByte(2) != 0 && WheelByte(3) == 0 && CamType() != 1 && CamType() != 2;
    return VelAntByHall() == 0 || camLimited;
}
bool StarterOff() {
    return !Dbw();
}
bool PartitionOff() {
    return InjectionKind() != 1;
}
bool Never() {
    return false;
}

constexpr CtrlRule kRules[] = {
    {PARM1::NUMthrRPMstartMecOn, ATTR_DIMMED, MecThresholdsOff},
    {PARM1::NUMthrRPMstartMecHys, ATTR_DIMMED, MecThresholdsOff},
    {PARM1::TMthrRPMstartMec1, ATTR_DIMMED, MecThresholdsOff},
    {PARM1::TMthrRPMstartMec2, ATTR_DIMMED, MecThresholdsOff},
    {PARM1::NUMmecSparkTooth, ATTR_DIMMED, MecTeethOff},
    {PARM1::NUMmecPreloadTeeth, ATTR_DIMMED, MecTeethOff},
    {PARM1::NUMdeltaRpmIdling, ATTR_DIMMED, IdleOff},
    {PARM1::NUMdeltaMsIdling, ATTR_DIMMED, IdleOff},
    {PARM1::NUMminFarfIdl, ATTR_DIMMED, IdleOff},
    {PARM1::NUMfarfCalibIdl, ATTR_DIMMED, IdleOff},
    {PARM1::NUMidlNormalHoldTime, ATTR_DIMMED, IdleOff},
    {PARM1::NUMidlSlowHoldTime, ATTR_DIMMED, IdleOff},
    {PARM1::NUMidlFilterDepth, ATTR_DIMMED, IdleOff},
    {PARM1::NUMrpmMinEnableIdl, ATTR_DIMMED, IdleOff},
    {PARM1::NUMrpmMaxEnableIdl, ATTR_DIMMED, IdleOff},
    {PARM1::NUMtH2oMinEnableIdl, ATTR_DIMMED, IdleOff},
    {PARM1::NUMmsMinEnableIdl, ATTR_DIMMED, IdleOff},
    {PARM1::NUMmsMaxEnableIdl, ATTR_DIMMED, IdleOff},
    {PARM1::CBnscReset, ATTR_DIMMED, IdleOff},
    {PARM1::NUMidlGasDur, ATTR_DIMMED, ThrottleThresholdsOff},
    {PARM1::NUMidlRpmThrOffs, ATTR_DIMMED, ThrottleThresholdsOff},
    {PARM1::NUMwheelAntCirc, ATTR_DIMMED, FrontWheelOff},
    {PARM1::NUMwheelAntPuls, ATTR_DIMMED, FrontWheelOff},
    {PARM1::NUMwheelAntFltDepth, ATTR_DIMMED, FrontWheelOff},
    {PARM1::NUMthrRpmStarter, ATTR_DIMMED, StarterOff},
    {PARM1::NUMfltRipDown, ATTR_DIMMED, PartitionOff},
    {PARM1::NUMfltRipUp, ATTR_DIMMED, PartitionOff},
    {PARM1::NUMlimArpm, ATTR_DIMMED, Never},
    {PARM1::NUMlimJrpm, ATTR_DIMMED, Never},
};

bool IdleRowsOff() {
    return !(StepperIdling() || StepperHarley() || Dbw());
}
constexpr CellRule kCellRules[] = {
    {PARM1::TABidlSetPoint, {1, 1, 2, 10}, IdleRowsOff},
    {PARM1::TABidlSetPoint, {3, 1, 2, 10}, IdleOff},
    {PARM1::TABstarterSoll, {1, 1, 2, 4}, StarterOff},
};

bool ConfigurePr1() {
    const int p = hPr1Panel;
    if (!ApplyRules(p, kRules) || !ApplyCellRules(p, kCellRules)) return false;
    const bool dbw = Dbw();
    if (SetCtrlAttribute(p, PARM1::NUMidlGasDur, ATTR_LABEL_TEXT,
                         dbw ? "Ramp Duration [ms]" : "Throttle Thr. [deg]") < 0 ||
        SetCtrlAttribute(p, PARM1::NUMidlRpmThrOffs, ATTR_LABEL_TEXT,
                         dbw ? "Starting Offset [rpm]" : "Speed Threshold [rpm]") < 0)
        return false;
    return true;
}

// ---- repairs ---------------------------------------------------------------------------------------------

// The highest tooth number of the wheel: the teeth less one, 17 on the 18-tooth wheel with one long gap,
// none on the other special wheels.
std::uint8_t HighestTooth() {
    const std::uint8_t teeth = WheelByte(0);
    if (teeth > 0) return static_cast<std::uint8_t>(teeth - 1);
    return WheelByte(1) == 170 ? 17 : 0;
}

// A wide result held within a signed word, so that no negation or difference wraps.
std::int16_t ToWord(std::int32_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(v, std::numeric_limits<std::int16_t>::min(),
                                                              std::numeric_limits<std::int16_t>::max()));
}

// The mechanical start at most engine on, and the start plus its hysteresis too.
bool RepairMechanicalStart() {
    static_assert(kStartMecHys == kStartMecOn + 2 && kEngOn == kStartMecOn + 4);
    const std::span<std::int16_t> words = ImageSpan<std::int16_t>(Image::Map, kStartMecOn, 3);
    if (words.empty()) return false;
    std::int16_t& startOn = words[0];
    std::int16_t& hys = words[1];
    const std::int16_t engOn = words[2];
    bool changed = LowerToUpper(startOn, engOn);
    if (std::int32_t{engOn} - hys < startOn) {
        hys = ToWord(std::int32_t{engOn} - startOn);
        changed = true;
    }
    return changed;
}

// The idle speed offset never below the negated first idle set-point.
bool RepairIdleOffset() {
    const std::optional<std::int16_t> setPoint = ImageValue<std::int16_t>(Image::Map, kIdlRpm);
    return setPoint && RepairImageValue<std::int16_t>(Image::Map, kDeltaRpmIdling, [&](std::int16_t& delta) {
               const std::int32_t floor = -std::int32_t{*setPoint};
               if (delta >= floor) return false;
               delta = ToWord(floor);
               return true;
           });
}

} // namespace

bool CheckPr1() {
    bool changed = RepairAxis(ImageSpan<std::int16_t>(Image::Map, kPreInjAxis, 16),
                              {AxisData{ImageSpan<std::int16_t>(Image::Map, kPreInjValue, 16), 1, 1, 0}});
    changed |= RaiseToLowerAt<std::int16_t>(Image::Map, kEngOn, kEngOff);
    changed |= RepairMechanicalStart();
    const std::uint8_t highest = HighestTooth();
    static_assert(kPreloadTeeth == kSparkTooth + 1);
    for (std::uint8_t& tooth : ImageSpan<std::uint8_t>(Image::Map, kSparkTooth, 2))
        changed |= LowerToUpper(tooth, highest);
    changed |= RepairAxis(ImageSpan<std::int16_t>(Image::Map, kIdlAxis, 10),
                          {AxisData{ImageSpan<std::int16_t>(Image::Map, kIdlRpm, 30), 1, 3, 10}});
    changed |= RepairIdleOffset();
    changed |= RaiseToLowerAt<std::uint16_t>(Image::Map, kRpmMaxEnable, kRpmMinEnable);
    changed |= RaiseToLowerAt<std::uint16_t>(Image::Map, kMsMaxEnable, kMsMinEnable);
    changed |= RepairAxis(ImageSpan<std::int16_t>(Image::Map, kStarterAxis, 4),
                          {AxisData{ImageSpan<std::int16_t>(Image::Map, kStarterValue, 4), 1, 1, 0}});
    return changed;
}

namespace {

const FieldPage kPage = {&hPr1Panel, kParts, ConfigurePr1, CheckPr1};
constexpr PageRefresh kRefresh{"Parameters", GatherPr1Panel, ScatterPr1Panel};

} // namespace

void InitPr1Data() {
    InitFields(kHead);
    InitFields(kGasThrottle);
    InitFields(kTail);
}

bool InitPr1Panel(int parent) {
    if (!LoadPage(parent, PARM1::id, hPr1Panel) ||
        !LabelValueRows(hPr1Panel, PARM1::TABpreInj, {"[°C]", "[ms]"}) ||
        !LabelValueRows(hPr1Panel, PARM1::TABidlSetPoint,
                        {"Water T. [°C]", "Idling [rpm]", "Step Normal [%]", "Step Start [%]"}) ||
        !LabelValueRows(hPr1Panel, PARM1::TABstarterSoll, {"Water T. [°C]", "Throttle Position [deg]"}))
        return false;
    InitPr1Data();
    return true;
}

bool ScatterPr1Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherPr1Panel() {
    return GatherFieldPage(kPage);
}

bool Pr1Timer() {
    return Ping();
}

// The tooth numbers are bounded at once, even while a transfer pumps events; the reset exchange waits.
int DoPr1Event(int, int control, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    if (control == PARM1::CBnscReset) {
        if (!CheckfBusy() && !SendNscReset()) MessagePopup("Parameters", szGenericError);
        return 0;
    }
    if (control == PARM1::NUMmecSparkTooth || control == PARM1::NUMmecPreloadTeeth) RefreshPage(kRefresh);
    return 0;
}
