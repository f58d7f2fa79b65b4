// Configuration page 1: engine type and toothed wheel from the catalogues, the pneumatic cam, the
// injection parameters of double and compound injection, the mapping thresholds, miscellaneous settings
// and the notes.
#include "orvane/config/catalogue.h"
#include "orvane/config/config.h"
#include "orvane/config/configbytes.h"
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/fields.h"
#include "orvane/core/imagerepairs.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/repairs.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <cmath>

int hCg1Panel = 0;

namespace {

using namespace CONFIG1;
using enum Raw;

constexpr std::size_t kTransType = 0x6E1;
constexpr std::size_t kFcInjection = 0x772;

// The engine-type ring: the catalogue record the image holds, and the record chosen copied into it.
double ReadEngType() {
    return GetEngType();
}
void WriteEngType(double value) {
    SetEngType(static_cast<std::uint8_t>(std::lround(value)));
}

// The wheel ring holds the ring index; wheel record 49 has no entry, so the ring shows blank for it and
// the gather keeps the image's wheel bytes until the user picks an entry.
constexpr int kNoWheelEntry = -1;
double ReadWheel() {
    const std::uint8_t wheel = GetQuadro();
    return wheel < kTwaRingCount ? wheel : kNoWheelEntry;
}
void WriteWheel(double value) {
    const long wheel = std::lround(value);
    if (wheel >= 0 && wheel < static_cast<long>(kTwaRingCount)) SetTwa(static_cast<std::uint8_t>(wheel));
}

// The catalogue rings first: the engine record is scattered over the configuration block (0x6C2 ..
// 0x6EC, around fields of this table), the wheel record is its six bytes.
constexpr FieldBinding kFields[] = {
    Custom(RINGengType, kParCylinders, 0, ReadEngType, WriteEngType),
    Custom(RINGquadroSegnali, kParWheel, kParWheelBytes, ReadWheel, WriteWheel),
    Text(TBOXnotes, 0x040, kNotesSize),
    Num(NUMcaletSmot, 0x6BE, I16, 10, -720, 720, 0),
    Num(NUMcamLimit, 0x6C0, U16, 1, 0, 20000, 0),
    Ring(RINGidVcamType, kParCamType, 0),
    Num(NUMthrJMMsup, 0x6F6, I16, 10, 0, 100, 0),
    Num(NUMthrJMMinf, 0x6F8, I16, 10, 0, 100, 0),
    Num(NUMpercErrSync, 0x6F4, U16, 10, 0, 100, 0),
    Num(NUMkJratio, 0x6D8, U16, 1000, 0.2, 5, 1000),
    Num(NUMlimitJcomp, 0x6D6, U16, 1000, 0, 32, 0),
    Num(NUMusMinInjOn, 0x6DA, U16, 1000, 0, 32, 0),
    Num(NUMusMinInjDelta, 0x6DC, U16, 1000, 0, 32, 0),
    Num(NUMinjFlow, 0x6DE, U16, 1, 0, 65535, 0),
    Num(NUMhzPwmOut, 0x6B0, I16, 1, 0, 20000, 1000),
    Num(NUMminDeltaADpair, 0x6FA, U16, 1, 0, 1023, 0),
    Num(NUMpcamRpmSup, 0x6FC, U16, 1, 0, 20000, 0),
    Num(NUMpcamRpmInf, 0x6FE, U16, 1, 0, 20000, 0),
    Num(NUMpcamThrottleSup, 0x700, U16, 10, 0, 100, 0),
    Num(NUMpcamThrottleInf, 0x702, U16, 10, 0, 100, 0),
    Num(NUMpcamCogSup, 0x704, U16, 1, 0, 255, 0),
    Num(NUMpcamCogInf, 0x706, U16, 1, 0, 255, 0),
    Num(NUMtachoPuls, 0x7AE, U8, 1, 1, 2, 1),
    Num(NUMkSFInjection, 0x770, U16, 1000, 0, 2, 1000),
    Toggle(TBfcInjection, kFcInjection, 0),
    Toggle(TBtrigIndu, 0x773, 1),
    Toggle(TBstopType, 0x774, 0, 4),
    Toggle(TBdropSwitchType, 0x778, 0),
    Toggle(TBdropSwitchOn, 0x779, 0),
    Toggle(TBshiftType, 0x77A, 0, 2),
    Toggle(TBturboEnab, kParTurboEnable, 0),
    Toggle(TBpwmOutByPair, kParPwmOutByPair, 0),
    Toggle(TBantiLagOutput, 0x7B7, 0),
    Num(NUMfltDepthPvacu, 0x786, U16, 1, 1, 200, 100),
    Num(NUMthrCntShift, 0x784, U16, 1, 0, 1023, 0),
    Toggle(TBphaseInjEnd, 0x7B4, 0),
    Ring(RINGtransType, kTransType, 0),
    Num(NUMmaxVarPhase, 0x7AC, I16, 10, 1, 720, 7200),
};
static_assert(CheckBindings(kFields));

// The special wheels with code 0, 1 or 2 and the wheels without a cam sensor allow no pneumatic or
// kinematic cam.
bool NoCamPossible() {
    return WheelByte(3) != 0 || (WheelByte(0) == 0 && WheelByte(1) <= 2);
}
bool Pneumatic() {
    return !NoCamPossible() && CamType() == 1;
}
bool Kinematic() {
    return !NoCamPossible() && CamType() == 2;
}
bool KinematicImpossible() {
    return WheelByte(3) != 0 || CylinderCount() != 1;
}

bool NotPneumatic() {
    return !Pneumatic();
}
bool NoCam() {
    return !Pneumatic() && !Kinematic();
}
bool NoSmallFlow() {
    return NoCam() || ImageValue<std::uint8_t>(Image::Par, kFcInjection).value_or(0) != 0;
}
bool TurboOn() {
    return TurboEnable() != 0;
}
bool NotHarley() {
    return !(WheelByte(0) == 0 && WheelByte(1) == 1);
}
bool NotDoubleOrCompound() {
    return InjectionKind() != 1 && InjectionKind() != 2;
}
bool NotCompound() {
    return InjectionKind() != 2;
}
bool NotDouble() {
    return InjectionKind() != 1;
}
bool NoShiftCount() {
    return AnalogType() != 0 && AnalogType() != 2;
}
bool Never() {
    return false;
}

const CtrlRule kRules[] = {
    {NUMcamLimit, ATTR_DIMMED, NoCamPossible},
    {RINGidVcamType, ATTR_DIMMED, NoCamPossible},
    {NUMthrJMMsup, ATTR_DIMMED, TurboOn},
    {NUMthrJMMinf, ATTR_DIMMED, TurboOn},
    {NUMpercErrSync, ATTR_DIMMED, NotHarley},
    {NUMkJratio, ATTR_DIMMED, NotDoubleOrCompound},
    {NUMlimitJcomp, ATTR_DIMMED, NotCompound},
    {NUMusMinInjOn, ATTR_DIMMED, NotDouble},
    {NUMusMinInjDelta, ATTR_DIMMED, NotDouble},
    {NUMminDeltaADpair, ATTR_DIMMED, NotPneumatic},
    {NUMpcamRpmSup, ATTR_DIMMED, NotPneumatic},
    {NUMpcamRpmInf, ATTR_DIMMED, NotPneumatic},
    {NUMpcamThrottleSup, ATTR_DIMMED, NotPneumatic},
    {NUMpcamThrottleInf, ATTR_DIMMED, NotPneumatic},
    {NUMpcamCogSup, ATTR_DIMMED, NotPneumatic},
    {NUMpcamCogInf, ATTR_DIMMED, NotPneumatic},
    {TMpcam2, ATTR_DIMMED, NotPneumatic},
    {TMpcam1, ATTR_DIMMED, NotPneumatic},
    {TBfcInjection, ATTR_DIMMED, NoCam},
    {NUMkSFInjection, ATTR_DIMMED, NoSmallFlow},
    {NUMthrCntShift, ATTR_DIMMED, NoShiftCount},
    {RINGtransType, ATTR_DIMMED, NotDouble},
    {TBtrigIndu, ATTR_VISIBLE, Never},
};

bool KinematicOffered() {
    return !KinematicImpossible();
}
const RingItem kCamTypes[] = {{"Disabled", 0}, {"Pneumatic", 1}, {"Kinematic", 2, KinematicOffered}};

bool FillCatalogueRings() {
    if (ClearListCtrl(hCg1Panel, RINGengType) < 0 || ClearListCtrl(hCg1Panel, RINGquadroSegnali) < 0)
        return false;
    for (std::size_t i = 0; i < kEngTypeCount; ++i)
        if (InsertListItem(hCg1Panel, RINGengType, -1, engTypeDefs[i].name, static_cast<double>(i)) < 0)
            return false;
    for (std::size_t i = 0; i < kTwaRingCount; ++i)
        if (InsertListItem(hCg1Panel, RINGquadroSegnali, -1, twaDefs[i].name, static_cast<double>(i)) < 0)
            return false;
    return true;
}

bool ConfigureCg1() {
    return FillCatalogueRings() && FillRing(hCg1Panel, RINGidVcamType, kCamTypes) &&
           ApplyRules(hCg1Panel, kRules);
}

constexpr FieldPart kParts[] = {Part(kFields)};
const FieldPage kPage = {&hCg1Panel, kParts, ConfigureCg1, CheckCg1};

// The highest tooth a cog limit may name.
std::uint16_t HighestTooth() {
    if (WheelByte(0) > 0) return static_cast<std::uint16_t>(WheelByte(0) - 1);
    if (WheelByte(1) == 170) return 17;
    if (WheelByte(1) == 3) return 59;
    return 0;
}

} // namespace

bool CheckCg1() {
    WriteField(Image::Par, 0x773, U8, 1); // the inductive trigger is fixed; not a change of the user's
    bool changed = ResetOutsideAt<std::uint8_t>(Image::Par, kParInjectionKind, 0, 3, 0);
    changed |= ResetOutsideAt<std::uint8_t>(Image::Par, kParCamType, 0, 2, 0);
    changed |= RepairImageValue<std::uint8_t>(Image::Par, kParCamType, [](std::uint8_t& v) {
        return ResetWhen<std::uint8_t>(v, NoCamPossible() || (v == 2 && CylinderCount() != 1), 0);
    });
    changed |= RaiseToLowerAt<std::int16_t>(Image::Par, 0x6F6, 0x6F8);
    changed |= LowerToUpperAt<std::uint16_t>(Image::Par, 0x6DC, 0x6DA);
    changed |= RaiseToLowerAt<std::uint16_t>(Image::Par, 0x6FC, 0x6FE);
    changed |= RaiseToLowerAt<std::uint16_t>(Image::Par, 0x700, 0x702);
    const std::uint16_t highest = HighestTooth();
    changed |= RepairImageValue<std::uint16_t>(Image::Par, 0x704,
                                               [&](std::uint16_t& v) { return LowerToUpper(v, highest); });
    changed |= LowerToUpperAt<std::uint16_t>(Image::Par, 0x706, 0x704);
    changed |= ResetOutsideAt<std::uint8_t>(Image::Par, kTransType, 0, 2, 0);
    return changed;
}

void InitCg1Data() {
    SetEngType(1);
    SetTwa(1);
    InitFields(kFields);
    ecuParData.notes[0] = '\0';
}

bool InitCg1Panel(int parent) {
    if (!LoadPage(parent, CONFIG1::id, hCg1Panel)) return false;
    InitCg1Data();
    return true;
}

bool ScatterCg1Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherCg1Panel() {
    return GatherFieldPage(kPage);
}

bool Cg1Timer() {
    return Ping();
}

int SelzEngine(int, int control, int event, void*, int, int) {
    if (CheckfBusy()) return 0;
    const bool engine = control == RINGengType;
    const char* title = engine ? "Engine type" : "Toothed Wheel Arrangement";
    if (event == EVENT_RIGHT_CLICK) {
        char text[512] = "";
        if (!GatherCg1Panel()) {
            MessagePopup(title, szGenericError);
            return 0;
        }
        if (engine)
            EngineDescription(text);
        else
            WheelDescription(text);
        MessagePopup(title, text);
        return 0;
    }
    return RefreshOnCommit(event, {title, GatherCg1Panel, ScatterCg1Panel});
}

int SelzVcam(int, int, int event, void*, int, int) {
    return RefreshOnCommit(event, {"Pneumatic-Cam Type", GatherCg1Panel, ScatterCg1Panel});
}

int SelzTurboMode(int, int, int event, void*, int, int) {
    return RefreshOnCommit(event, {"Turbo Mode", GatherCg1Panel, ScatterCg1Panel});
}
