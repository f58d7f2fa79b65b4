// Gear & Shift parameter page: gear-recognition and shift thresholds (learnt from the gear sensor on
// request), the shift sequence, and the two neutral-gear adjustment maps. The gear mode of the
// configuration decides what is shown and how the thresholds are scaled.
#include "orvane/config/configbytes.h"
#include "orvane/core/adread.h"
#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
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

#include <algorithm>
#include <array>

int hPr6Panel = 0;

namespace {

constexpr std::size_t kCentro = 0x29948;
constexpr std::size_t kSoglia = 0x29954;
constexpr std::size_t kDeltaMarcia = 0x29960;
constexpr std::size_t kDeltaSet = 0x2997A;
constexpr std::size_t kSubstGear = 0x29996;
constexpr std::size_t kFlags = 0x29997;
constexpr std::uint8_t kNeutAdj = 0x80;
constexpr std::size_t kInjNeut = offsetof(EcuMapData, mapInjNeut);
constexpr std::size_t kAdvNeut = offsetof(EcuMapData, mapAdvNeut);
constexpr std::uint8_t kGearChannel = 11; // the gear sensor
constexpr int kStep = 1023 / 13;          // the default thresholds' spacing

using enum Raw;

constexpr FieldBinding M(FieldBinding b) {
    return b.InMap();
}

// The thresholds in sensor counts, or in tenths with the engine-wheel ratio (gear mode 2).
constexpr std::array<FieldBinding, 14> Thresholds(double divisor, double max) {
    std::array<FieldBinding, 14> b{};
    for (int g = 0; g < 6; ++g) {
        b[g] =
            M(Num(PARM6::NUMcentroMarcia1 + g, kCentro + 2 * g, U16, divisor, 0, max, 2 * kStep * g + kStep));
        b[6 + g] = M(Num(PARM6::NUMsogliaPuntata1 + g, kSoglia + 2 * g, U16, divisor, 0, max, 2 * kStep * g));
    }
    b[12] = M(Num(PARM6::NUMdeltaMarcia, kDeltaMarcia, U16, divisor, 0, max, 10));
    b[13] = M(Num(PARM6::NUMdeltaSet, kDeltaSet, U16, divisor, 0, max, 11));
    return b;
}
constexpr auto kCounts = Thresholds(1, 1023);
constexpr auto kTenths = Thresholds(10, 6553.5);
static_assert(PARM6::NUMcentroMarcia6 == PARM6::NUMcentroMarcia1 + 5 &&
              PARM6::NUMsogliaPuntata6 == PARM6::NUMsogliaPuntata1 + 5);

constexpr std::array<FieldBinding, 18> PerGear() {
    std::array<FieldBinding, 18> b{};
    for (int g = 0; g < 6; ++g) {
        b[g] = M(Num(PARM6::NUMshiftWidth1 + g, 0x29966 + 2 * g, U16, 1, 0, 32767, 0));
        b[6 + g] = M(Num(PARM6::NUMmsShiftExit1 + g, 0x2997E + 2 * g, U16, 1, 0, 32767, 0));
        b[12 + g] = M(Num(PARM6::NUMddgShiftExit1 + g, 0x2998A + 2 * g, U16, 10, 0, 30, 0));
    }
    return b;
}
constexpr auto kPerGear = PerGear();
static_assert(PARM6::NUMshiftWidth6 == PARM6::NUMshiftWidth1 + 5 &&
              PARM6::NUMmsShiftExit6 == PARM6::NUMmsShiftExit1 + 5 &&
              PARM6::NUMddgShiftExit6 == PARM6::NUMddgShiftExit1 + 5);

constexpr FieldBinding kRest[] = {
    M(Num(PARM6::NUMshiftMinRpm, 0x29962, U16, 1, 0, 20000, 0)),
    M(Num(PARM6::NUMshiftDelay, 0x29964, U16, 1, 0, 32767, 0)),
    M(Num(PARM6::NUMshiftHoldOff, 0x29972, U16, 1, 0, 32767, 0)),
    M(Num(PARM6::NUMshiftAdv, 0x29974, I16, 10, -30, 30, 0)),
    M(Num(PARM6::NUMkShiftInj, 0x29976, U16, 1000, 0, 2, 1000)),
    M(Num(PARM6::NUMshiftRevsTO, 0x29978, U16, 1, 0, 32767, 0)),
    M(Num(PARM6::NUMgearDelay, 0x2997C, U16, 1, 0, 32767, 0)),
    M(Ring(PARM6::RINGsubstGear, kSubstGear, 0)),
    M(Bit(PARM6::TBneutAdjEnab, kFlags, kNeutAdj, 0)),
    M(Bit(PARM6::TBgearEWshiftByCutOff, kFlags, 0x40, 0)),
    M(Bit(PARM6::TBfrontGearWheel, kFlags, 0x20, 0)),
    MapXRow<MiniMap>(PARM6::TABmapInjNeut, kInjNeut).InMap(),
    MapYColumn<MiniMap>(PARM6::TABmapInjNeut, kInjNeut, 10, 0, 100).InMap(),
    MapCells<MiniMap>(PARM6::TABmapInjNeut, kInjNeut, 1000, 0, 2).Default(1000).InMap(),
    MapXRow<MiniMap>(PARM6::TABmapAdvNeut, kAdvNeut).InMap(),
    MapYColumn<MiniMap>(PARM6::TABmapAdvNeut, kAdvNeut, 10, 0, 100).InMap(),
    MapCells<MiniMap>(PARM6::TABmapAdvNeut, kAdvNeut, 10, -30, 30).InMap(),
};
static_assert(CheckBindings(kRest));

// A gear mode outside 0..7 is shown as mode 0 ("Standard"); the configuration page repairs it to 0.
int ShownGearMode() {
    const int mode = GearMode();
    return mode <= 7 ? mode : 0;
}
bool ModeTwo() {
    return ShownGearMode() == 2;
}
bool NotModeTwo() {
    return !ModeTwo();
}
bool Forced() {
    return ShownGearMode() >= 3;
}
bool ForcedOrModeTwo() {
    return Forced() || ModeTwo();
}
bool NotModeOne() {
    return ShownGearMode() != 1;
}
bool NeutralOff() {
    return (ReadField(Image::Map, kFlags, U8) & kNeutAdj) == 0;
}
// With a forced gear only that gear's shift settings are used; gear 6 is never forced.
template <int gear> bool GearOff() {
    return Forced() && (gear == 6 || gear != ShownGearMode() - 2);
}

// The scale the thresholds were last shown in: the controls hold them so until the page is shown
// again, even when the configuration changes the gear mode meanwhile.
bool thresholdsShownInTenths = false;

FieldTable ThresholdFields() {
    return thresholdsShownInTenths ? FieldTable(kTenths) : FieldTable(kCounts);
}
constexpr FieldPart kParts[] = {Part(ThresholdFields), Part(kPerGear), Part(kRest)};

template <int gear> constexpr std::array<CtrlRule, 3> GearRules() {
    return {{{PARM6::NUMshiftWidth1 + gear - 1, ATTR_DIMMED, GearOff<gear>},
             {PARM6::NUMmsShiftExit1 + gear - 1, ATTR_DIMMED, GearOff<gear>},
             {PARM6::NUMddgShiftExit1 + gear - 1, ATTR_DIMMED, GearOff<gear>}}};
}
template <int gear> constexpr std::array<CtrlRule, 5> ThresholdRules() {
    return {{{PARM6::CBsetCentro1 + gear - 1, ATTR_VISIBLE, NotModeTwo},
             {PARM6::CBsetCentro1 + gear - 1, ATTR_DIMMED, Forced},
             {PARM6::NUMcentroMarcia1 + gear - 1, ATTR_DIMMED, Forced},
             {PARM6::CBsetPuntata1 + gear - 1, ATTR_DIMMED, ForcedOrModeTwo},
             {PARM6::NUMsogliaPuntata1 + gear - 1, ATTR_DIMMED, ForcedOrModeTwo}}};
}
static_assert(PARM6::CBsetCentro6 == PARM6::CBsetCentro1 + 5 &&
              PARM6::CBsetPuntata6 == PARM6::CBsetPuntata1 + 5);

constexpr CtrlRule kRules[] = {
    {PARM6::TBgearEWshiftByCutOff, ATTR_VISIBLE, ModeTwo},  {PARM6::TBfrontGearWheel, ATTR_VISIBLE, ModeTwo},
    {PARM6::TMcentriMarcia, ATTR_DIMMED, Forced},           {PARM6::NUMdeltaMarcia, ATTR_DIMMED, Forced},
    {PARM6::TMsogliePuntate, ATTR_DIMMED, ForcedOrModeTwo}, {PARM6::TMdeltaSet, ATTR_DIMMED, NotModeOne},
    {PARM6::NUMdeltaSet, ATTR_DIMMED, NotModeOne},          {PARM6::TABmapInjNeut, ATTR_DIMMED, NeutralOff},
    {PARM6::TABmapAdvNeut, ATTR_DIMMED, NeutralOff},
};
constexpr std::array<std::array<CtrlRule, 3>, 6> kGearRules{GearRules<1>(), GearRules<2>(), GearRules<3>(),
                                                            GearRules<4>(), GearRules<5>(), GearRules<6>()};
constexpr std::array<std::array<CtrlRule, 5>, 6> kThresholdRules{ThresholdRules<1>(), ThresholdRules<2>(),
                                                                 ThresholdRules<3>(), ThresholdRules<4>(),
                                                                 ThresholdRules<5>(), ThresholdRules<6>()};

bool ConfigurePr6() {
    const int p = hPr6Panel;
    thresholdsShownInTenths = ModeTwo();
    if (!ApplyRules(p, kRules)) return false;
    for (const auto& rules : kGearRules)
        if (!ApplyRules(p, rules)) return false;
    for (const auto& rules : kThresholdRules)
        if (!ApplyRules(p, rules)) return false;
    return true;
}

const FieldPage kPage = {&hPr6Panel, kParts, ConfigurePr6, CheckPr6};

// The threshold control a learn button fills.
int LearnTarget(int button) {
    if (button >= PARM6::CBsetCentro1 && button <= PARM6::CBsetCentro6)
        return PARM6::NUMcentroMarcia1 + (button - PARM6::CBsetCentro1);
    if (button >= PARM6::CBsetPuntata2 && button <= PARM6::CBsetPuntata6)
        return PARM6::NUMsogliaPuntata1 + (button - PARM6::CBsetPuntata1);
    return 0;
}

constexpr PageRefresh kNeutralRefresh{"Neutral Adjust Selection", GatherPr6Panel, ScatterPr6Panel};

} // namespace

bool CheckPr6() {
    bool changed = RaiseToLowerAt<std::uint16_t>(Image::Map, kDeltaSet, kDeltaMarcia);
    changed |= ResetOutsideAt<std::uint8_t>(Image::Map, kSubstGear, 0, 7, 0);
    changed |= RepairMapAxes(ecuMapData.mapInjNeut);
    changed |= RepairMapAxes(ecuMapData.mapAdvNeut);
    return changed;
}

void InitPr6Data() {
    InitFields(kCounts);
    InitFields(kPerGear);
    InitFields(kRest);
}

bool InitPr6Panel(int parent) {
    if (!LoadPage(parent, PARM6::id, hPr6Panel) || !SetMapCorner(hPr6Panel, PARM6::TABmapInjNeut, "") ||
        !SetMapCorner(hPr6Panel, PARM6::TABmapAdvNeut, ""))
        return false;
    InitPr6Data();
    return true;
}

bool ScatterPr6Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherPr6Panel() {
    return GatherFieldPage(kPage);
}

bool Pr6Timer() {
    return Ping();
}

// The learnt value sits in its control until the page is gathered.
int SetSogliaMarcia(int, int control, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    constexpr const char* kTitle = "Gear Thresholds Setting";
    if (isComOpen == 0) {
        MessagePopup(kTitle, "COMM error...");
        return 0;
    }
    int mean = 0;
    const int target = LearnTarget(control);
    if (target == 0 || !ReadAdAveraged(kGearChannel, mean) || SetCtrlVal(hPr6Panel, target, mean) < 0)
        MessagePopup(kTitle, szGenericError);
    return 0;
}

int SelzNeutralAdjust(int, int, int event, void*, int, int) {
    return RefreshOnCommit(event, kNeutralRefresh);
}
