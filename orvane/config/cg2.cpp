// Configuration page 2: the CAN identifiers of the outside signals, the stepper motor, idle gains, the
// gear-shift mode, the auxiliary analog inputs, rpm and velocity references, the auxiliary output,
// blipping and the speed-rpm error check.
#include "orvane/config/catalogue.h"
#include "orvane/config/config.h"
#include "orvane/config/configbytes.h"
#include "orvane/core/logic/imagerepairs.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/logic/repairs.h"
#include "orvane/core/ui/connect.h"
#include "orvane/core/ui/fields.h"
#include "orvane/core/ui/loadpage.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>
#include <span>

int hCg2Panel = 0;

namespace {

using namespace CONFIG2;
using enum Raw;

constexpr std::size_t kRpmReference = 0x7B2, kScaleVelAnt = 0x7AA;
constexpr std::size_t kCanIds = 0x796;
constexpr std::array<std::uint16_t, 10> kCanIdDefaults{0x300, 0x304, 0x310, 0x314, 0x318,
                                                       0x320, 0x324, 0x328, 0x32C, 0x330};

// One ring for two bytes: 0 "Warning Lamp" = (relay 0, by rpm 1), 1 "Relais by RPM" = (1, 1),
// 2 "Relais by Water Temp." = (1, 0).
double ReadAuxOut() {
    if (AuxOutRelay() == 0) return 0;
    return AuxOutByRpm() != 0 ? 1 : 2;
}
void WriteAuxOut(double value) {
    const int v = static_cast<int>(value);
    WriteField(Image::Par, kParAuxOutRelay, U8, v == 0 ? 0 : 1);
    WriteField(Image::Par, kParAuxOutByRpm, U8, v == 2 ? 0 : 1);
}

// In the page's fill order.
constexpr FieldBinding kFields[] = {
    Ring(RINGstepperType, kParStepperType, 0),
    Num(NUMstepMinFast, 0x6B6, U16, 10, 0.1, 100, 10),
    Num(NUMstepSlow, 0x6B8, U16, 10, 0.1, 100, 10),
    Num(NUMstepFineTol, 0x6BA, U16, 1, 0, 1023, 0),
    Num(NUMstepRawTol, 0x6BC, U16, 1, 0, 1023, 0),
    Num(NUMidlKp, 0x6A4, I32, 65536, 0, 100, 0),
    Num(NUMidlKi, 0x6A8, I32, 65536, 0, 1000, 0).Decimals(4),
    Num(NUMidlKd, 0x6AC, I32, 65536, 0, 100, 0).Decimals(3),
    Num(NUMsRpmAbsDiffVel, 0x708, U16, 1, 0, 500, 0),
    Num(NUMsRpmMsErrDelay, 0x70A, U16, 1, 0, 32767, 0),
    Toggle(TBmapByFrontSpeed, 0x77C, 0),
    Toggle(TBfarfAuxHiTorque, 0x780, 0),
    Ring(RINGgearMode, kParGearMode, 0),
    Ring(RINGanalogType, kParAnalogType, 0),
    Ring(RINGrpmReference, kRpmReference, 0),
    Ring(RINGmaxRTCsteps, kParMaxRtcSteps, 0),
    Ring(RINGmaxLevelSWsteps, 0x782, 0),
    CellRow(TABfltDepthSpeedRpm, 1, 1, 7, 0x788, U16, 1, 1, 200).Default(100),
    Hex(NUMidLambda1CAN, kCanIds + 0, U16, 0x20, 0x7FF, 0x300),
    Hex(NUMidLambda2CAN, kCanIds + 2, U16, 0x20, 0x7FF, 0x304),
    Hex(NUMidVelAntCAN, kCanIds + 4, U16, 0x20, 0x7FF, 0x310),
    Hex(NUMidTcLevelCAN, kCanIds + 6, U16, 0x20, 0x7FF, 0x314),
    Hex(NUMidRpmReferenceCAN, kCanIds + 8, U16, 0x20, 0x7FF, 0x318),
    Hex(NUMidExtCor1CAN, kCanIds + 10, U16, 0x20, 0x7FF, 0x320),
    Hex(NUMidExtCor2CAN, kCanIds + 12, U16, 0x20, 0x7FF, 0x324),
    Hex(NUMidExtCor3CAN, kCanIds + 14, U16, 0x20, 0x7FF, 0x328),
    Hex(NUMidExtCor4CAN, kCanIds + 16, U16, 0x20, 0x7FF, 0x32C),
    Hex(NUMidExtDbwCorCAN, kCanIds + 18, U16, 0x20, 0x7FF, 0x330),
    Ring(RINGscaleVelAntCan, kScaleVelAnt, 10, U16),
    Toggle(TBvelAntByHall, kParVelAntByHall, 0),
    Toggle(TBenableBlipping, kParEnableBlipping, 0),
    Custom(RINGauxOut, kParAuxOutRelay, 2, ReadAuxOut, WriteAuxOut),
};
static_assert(CheckBindings(kFields));

std::uint8_t RpmReference() {
    return ImageValue<std::uint8_t>(Image::Par, kRpmReference).value_or(0);
}
bool DbwOn() {
    return ExtDbw() != 0;
}
bool DbwOff() {
    return !DbwOn();
}
bool BlippingByWire() {
    return EnableBlipping() == 1 && ExtDbw() == 1;
}
bool AnalogGearSensor() {
    return AnalogType() == 0 || AnalogType() == 1;
}
bool PotentiometerOffered() {
    return AnalogGearSensor() && !BlippingByWire();
}
bool FirstGearOffered() {
    return !BlippingByWire();
}
// Two revolutions per cycle with a cam sensor and no pneumatic or kinematic cam: the front speed must
// come from CAN.
bool HallImpossible() {
    return WheelByte(2) != 0 && WheelByte(3) == 0 && CamType() != 1 && CamType() != 2;
}

const RingItem kStepperTypes[] = {{"Disable", 0},
                                  {"Auxiliary Throttle", 1, DbwOff},
                                  {"Idling", 2, DbwOff},
                                  {"Idling HarleyDavidson", 3, DbwOff},
                                  {"Engine Brake Control", 4}};
const RingItem kGearModes[] = {{"Standard", 0, AnalogGearSensor},
                               {"Potentiometer Only", 1, PotentiometerOffered},
                               {"Engine-Wheel Ratio", 2},
                               {"Force 1^ Gear", 3, FirstGearOffered},
                               {"Force 2^ Gear", 4},
                               {"Force 3^ Gear", 5},
                               {"Force 4^ Gear", 6},
                               {"Force 5^ Gear", 7}};
const RingItem kScaleVelAntItems[] = {{"0.5", 5}, {"1.0", 10}, {"2.0", 20}};
const RingItem kAuxOut[] = {{"Warning Lamp", 0}, {"Relais by RPM", 1}, {"Relais by Water Temp.", 2}};

bool NotAuxThrottle() {
    return StepperType() != 1;
}
bool MinFastDimmed() {
    return StepperType() != 1 && StepperType() != 2;
}
bool GainsDimmed() {
    return StepperType() != 2 && StepperType() != 3 && !DbwOn();
}
bool NotSpeedRpm() {
    return RpmReference() != 1;
}
bool AuxThrottle() {
    return StepperType() == 1;
}
bool NotEngineBrake() {
    return StepperType() != 4;
}
bool NoTcAnalog() {
    return AnalogType() != 1 && AnalogType() != 2;
}
bool LambdaFromAnalog() {
    return AnalogType() == 3;
}
bool FrontByHall() {
    return VelAntByHall() != 0;
}
bool NoTractionControl() {
    return ecuMapData.tcEnable == 0;
}
bool NotCanRpm() {
    return RpmReference() != 2;
}

const CtrlRule kRules[] = {
    {NUMstepMinFast, ATTR_DIMMED, MinFastDimmed},
    {NUMstepSlow, ATTR_DIMMED, NotAuxThrottle},
    {NUMstepFineTol, ATTR_DIMMED, NotAuxThrottle},
    {NUMstepRawTol, ATTR_DIMMED, NotAuxThrottle},
    {NUMidlKp, ATTR_DIMMED, GainsDimmed},
    {NUMidlKi, ATTR_DIMMED, GainsDimmed},
    {NUMidlKd, ATTR_DIMMED, GainsDimmed},
    {NUMsRpmAbsDiffVel, ATTR_DIMMED, NotSpeedRpm},
    {NUMsRpmMsErrDelay, ATTR_DIMMED, NotSpeedRpm},
    {TBfarfAuxHiTorque, ATTR_VISIBLE, AuxThrottle},
    {TMrpmReferenceEBC, ATTR_DIMMED, NotEngineBrake},
    {TMrpmReferenceAUXT, ATTR_DIMMED, NotAuxThrottle},
    {RINGmaxRTCsteps, ATTR_DIMMED, NoTcAnalog},
    {RINGmaxLevelSWsteps, ATTR_DIMMED, DbwOff},
    {NUMidLambda1CAN, ATTR_DIMMED, LambdaFromAnalog},
    {NUMidLambda2CAN, ATTR_DIMMED, LambdaFromAnalog},
    {NUMidVelAntCAN, ATTR_DIMMED, FrontByHall},
    {NUMidTcLevelCAN, ATTR_DIMMED, NoTractionControl},
    {NUMidRpmReferenceCAN, ATTR_DIMMED, NotCanRpm},
    {NUMidExtDbwCorCAN, ATTR_DIMMED, DbwOff},
    {RINGscaleVelAntCan, ATTR_DIMMED, FrontByHall},
    {TBvelAntByHall, ATTR_DIMMED, HallImpossible},
    {TBenableBlipping, ATTR_DIMMED, DbwOff},
};

// The ring fillers: 0 when the ring holds its items, 1 when a list call failed.
int FillCg2Ring(int control, std::span<const RingItem> items) {
    return FillRing(hCg2Panel, control, items) ? 0 : 1;
}
int FillStepperTypeRing() {
    return FillCg2Ring(RINGstepperType, kStepperTypes);
}
int FillGearModeRing() {
    return FillCg2Ring(RINGgearMode, kGearModes);
}
int FillScaleVelAntRing() {
    return FillCg2Ring(RINGscaleVelAntCan, kScaleVelAntItems);
}
int FillAuxOutRing() {
    return FillCg2Ring(RINGauxOut, kAuxOut);
}

bool ConfigureCg2() {
    const char* minFastLabel = StepperType() == 1 ? "Fast Period [ms]" : "Min. Period [ms]";
    return FillStepperTypeRing() == 0 &&
           SetCtrlAttribute(hCg2Panel, NUMstepMinFast, ATTR_LABEL_TEXT, minFastLabel) >= 0 &&
           FillGearModeRing() == 0 && FillScaleVelAntRing() == 0 && FillAuxOutRing() == 0 &&
           ApplyRules(hCg2Panel, kRules);
}

constexpr FieldPart kParts[] = {Part(kFields)};
const FieldPage kPage = {&hCg2Panel, kParts, ConfigureCg2, CheckCg2};

// Of two equal identifiers the earlier is set to its default, one after the other in offset order.
bool RepairCanIds() {
    bool changed = false;
    for (std::size_t i = 0; i < kCanIdDefaults.size(); ++i) {
        const auto id = ReadField(Image::Par, kCanIds + 2 * i, U16);
        bool shared = false;
        for (std::size_t j = 0; j < kCanIdDefaults.size(); ++j)
            shared = shared || (j != i && ReadField(Image::Par, kCanIds + 2 * j, U16) == id);
        if (!shared) continue;
        WriteField(Image::Par, kCanIds + 2 * i, U16, kCanIdDefaults[i]);
        changed = true;
    }
    return changed;
}

} // namespace

bool CheckCg2() {
    bool changed = false;
    changed |= RepairImageValue<std::uint8_t>(Image::Par, kParStepperType, [](std::uint8_t& v) {
        return ResetOutside<std::uint8_t>(v, 0, 4, 0) ||
               ResetWhen<std::uint8_t>(v, DbwOn() && v >= 1 && v <= 3, 0);
    });
    changed |= RepairImageValue<std::uint8_t>(Image::Par, kParGearMode, [](std::uint8_t& v) {
        return ResetOutside<std::uint8_t>(v, 0, 7, 0) ||
               ResetWhen<std::uint8_t>(v, v <= 1 && !AnalogGearSensor(), 0) ||
               ResetWhen<std::uint8_t>(v, (v == 1 || v == 3) && BlippingByWire(), 0);
    });
    changed |= ResetOutsideAt<std::uint8_t>(Image::Par, kParAnalogType, 0, 4, 0);
    changed |= ResetOutsideAt<std::uint8_t>(Image::Par, kRpmReference, 0, 2, 0);
    changed |= RepairCanIds();
    changed |= RepairImageValue<std::uint16_t>(Image::Par, kScaleVelAnt, [](std::uint16_t& gain) {
        return ResetUnlessOneOf<std::uint16_t>(gain, {5, 10, 20}, 10);
    });
    changed |= RepairImageValue<std::uint8_t>(Image::Par, kParVelAntByHall, [](std::uint8_t& v) {
        return ResetWhen<std::uint8_t>(v, HallImpossible(), 0);
    });
    if (!DbwOn()) {
        WriteField(Image::Par, kParEnableBlipping, U8, 0);
        changed = true; // the page is filled again after every gather while drive-by-wire is off
    }
    return changed;
}

void InitCg2Data() {
    InitFields(kFields);
    WriteAuxOut(0);
}

bool InitCg2Panel(int parent) {
    if (!LoadPage(parent, CONFIG2::id, hCg2Panel)) return false;
    InitCg2Data();
    // One filter depth per gear, the last for neutral.
    return SetTableColumnAttribute(hCg2Panel, TABfltDepthSpeedRpm, 7, ATTR_LABEL_TEXT, "Neutral") >= 0 &&
           SetTableColumnAttribute(hCg2Panel, TABfltDepthSpeedRpm, 7, ATTR_USE_LABEL_TEXT, 1) >= 0;
}

bool ScatterCg2Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherCg2Panel() {
    return GatherFieldPage(kPage);
}

bool Cg2Timer() {
    return Ping();
}

namespace {

template <const char* Title> int RefreshCg2(int event) {
    return RefreshOnCommit(event, {Title, GatherCg2Panel, ScatterCg2Panel});
}
constexpr char kGearModeTitle[] = "Gear Mode";
constexpr char kAnalogTitle[] = "Analog Type";
constexpr char kRpmTitle[] = "RPM Reference";
constexpr char kStepperTitle[] = "Stepper Type";
constexpr char kVelAntTitle[] = "Front Speed by CAN";
constexpr char kBlippingTitle[] = "Enable Blipping Mode";

} // namespace

int SelzGearMode(int, int, int event, void*, int, int) {
    return RefreshCg2<kGearModeTitle>(event);
}
int SelzAnalogType(int, int, int event, void*, int, int) {
    return RefreshCg2<kAnalogTitle>(event);
}
int SelzRpmReference(int, int, int event, void*, int, int) {
    return RefreshCg2<kRpmTitle>(event);
}
int SelzStepperType(int, int, int event, void*, int, int) {
    return RefreshCg2<kStepperTitle>(event);
}
int SelzVelAnt(int, int, int event, void*, int, int) {
    return RefreshCg2<kVelAntTitle>(event);
}
int SelzBlipping(int, int, int event, void*, int, int) {
    return RefreshCg2<kBlippingTitle>(event);
}
