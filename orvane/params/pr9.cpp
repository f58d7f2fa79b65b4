// CO-Corr. parameter page: the CO-correction function's limits and steps in the mapping image, and its two
// maps, shown from the mapping image or, in edit mode, from the CO-correction edit data.
#include "orvane/config/configbytes.h"
#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/fields.h"
#include "orvane/core/imagerepairs.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/repairs.h"
#include "orvane/params/cocedit.h"
#include "orvane/params/maptables.h"
#include "orvane/params/params.h"
#include "orvane/params/resets.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>
#include <cstring>
#include <span>

int hPr9Panel = 0;

namespace {

constexpr std::uint16_t kDefaultMsCoc = 100;
constexpr std::size_t kLimits = offsetof(EcuMapData, w29B24);
constexpr std::size_t kChoices = offsetof(EcuMapData, b29B3C); // rings A, B; boxes A[4], B[4]; load reference
constexpr std::size_t kByPair = kChoices + 10;
constexpr std::size_t kDelayX = 0x28D38;
constexpr std::size_t kDelayValues = 0x28D28;

int lastCommitted = 0; // the control of the last commit on the page

// ---- the settings the page follows ---------------------------------------------------------------------

bool GripReference() {
    return ExtDbw() == 1 && CocEgripRef() == 1;
}
std::uint8_t& MapByPair() {
    return ecuMapData.b29B3C[10];
}
std::uint8_t& Sensor(int map) { // 0 A, 1 B
    return ecuMapData.b29B3C[map];
}
std::uint8_t& Box(int map, int cylinder) {
    return ecuMapData.b29B3C[2 + 4 * map + cylinder - 1];
}
bool EditMode() {
    return fCocEditMode != 0;
}
// The load reference of the maps on screen: the edit record's in edit mode.
bool ByPressure() {
    return (EditMode() ? cocEditData.loadRef : MapByPair()) != 0;
}
bool MapDisabled(int map) {
    return Sensor(map) < 1 || Sensor(map) > 4;
}
// The first cylinder whose box of the map is set; 0 when none.
int FirstBox(int map) {
    for (int n = 1; n <= 4; ++n)
        if (Box(map, n) != 0) return n;
    return 0;
}
// A cylinder on another drive-by-wire throttle than the map's first one, where that matters.
bool Foreign(int map, int cylinder) {
    const int first = FirstBox(map);
    if (ExtDbw() == 0 || first == 0 || GripReference() || MapByPair() != 0) return false;
    return DbwRefCyl(cylinder) != DbwRefCyl(first);
}

// ---- fields --------------------------------------------------------------------------------------------

constexpr FieldBinding kRpmLimits[] = {
    Num(PARM9::NUMcocRpmInf, kLimits, Raw::U16, 1, 0, 20000, 0).InMap(),
    Num(PARM9::NUMcocRpmSup, kLimits + 2, Raw::U16, 1, 0, 20000, 0).InMap(),
};
// The load limits in tenths of a degree of throttle, or in mBar.
constexpr FieldBinding kThrottleLimits[] = {
    Num(PARM9::NUMcocGasPairInf, kLimits + 4, Raw::U16, 10, 0, 100, 0).InMap(),
    Num(PARM9::NUMcocGasPairSup, kLimits + 6, Raw::U16, 10, 0, 100, 0).InMap(),
};
constexpr FieldBinding kPressureLimits[] = {
    Num(PARM9::NUMcocGasPairInf, kLimits + 4, Raw::U16, 1, 0, 10000, 0).InMap(),
    Num(PARM9::NUMcocGasPairSup, kLimits + 6, Raw::U16, 1, 0, 10000, 0).InMap(),
};
constexpr FieldBinding kParams[] = {
    Num(PARM9::NUMcocTh2oInf, kLimits + 8, Raw::I16, 10, -30, 250, 0).InMap(),
    Num(PARM9::NUMcocTh2oSup, kLimits + 10, Raw::I16, 10, -30, 250, 0).InMap(),
    CellRow(PARM9::TABcocDelay, 1, 1, 8, kDelayX, Raw::I16, 10, -30, 250).InMap(),
    CellRow(PARM9::TABcocDelay, 2, 1, 8, kDelayValues, Raw::I16, 1, 0, 300).InMap(),
    // The period is kept in milliseconds: shown in seconds with three decimals, so that every stored
    // value (up to 65.535) shows as it is and can be typed; one decimal would show 0.125 as 0.1.
    Num(PARM9::NUMmsCoc, kLimits + 12, Raw::U16, 1000, 0.1, 65.535, kDefaultMsCoc).InMap(),
    Num(PARM9::NUMmsCocPostShift, kLimits + 14, Raw::U16, 1, 0, 32767, 0).InMap(),
    Num(PARM9::NUMcocDkStep1, kLimits + 16, Raw::U16, 10, 0, 100, 0).InMap(),
    Num(PARM9::NUMcocDkStep2, kLimits + 18, Raw::U16, 10, 0, 100, 0).InMap(),
    Num(PARM9::NUMcocDkMax, kLimits + 20, Raw::U16, 10, 0, 100, 0).InMap(),
    Num(PARM9::NUMcocLambdaThr, kLimits + 22, Raw::U16, 10, 0, 1300, 0).InMap(),
};
static_assert(CheckBindings(kParams));

std::span<std::byte> EditRecord() {
    return BytesOf(cocEditData);
}

constexpr FieldBinding kByPairImage[] = {Toggle(PARM9::TBcocByPair, kByPair, 0).InMap()};
constexpr FieldBinding kByPairEdit[] = {
    Toggle(PARM9::TBcocByPair, offsetof(CocEditRecord, loadRef), 0).OnRecord(EditRecord)};

constexpr FieldBinding kChoicesA[] = {
    Ring(PARM9::RINGcocA, kChoices, 0).InMap(),          Toggle(PARM9::CKBcocAcyl1, kChoices + 2, 0).InMap(),
    Toggle(PARM9::CKBcocAcyl2, kChoices + 3, 0).InMap(), Toggle(PARM9::CKBcocAcyl3, kChoices + 4, 0).InMap(),
    Toggle(PARM9::CKBcocAcyl4, kChoices + 5, 0).InMap(),
};
constexpr FieldBinding kChoicesB[] = {
    Ring(PARM9::RINGcocB, kChoices + 1, 0).InMap(),      Toggle(PARM9::CKBcocBcyl1, kChoices + 6, 0).InMap(),
    Toggle(PARM9::CKBcocBcyl2, kChoices + 7, 0).InMap(), Toggle(PARM9::CKBcocBcyl3, kChoices + 8, 0).InMap(),
    Toggle(PARM9::CKBcocBcyl4, kChoices + 9, 0).InMap(),
};
static_assert(CheckBindings(kChoicesA) && CheckBindings(kChoicesB));

// One map on its table: from the mapping image (target A/F) or the edit record (factors), with the y
// breakpoints in throttle or pressure units.
struct MapSource {
    bool edit;
    bool pressure;
};
constexpr std::array<FieldBinding, 3> CocMap(int control, int map, MapSource s) {
    const std::size_t at = s.edit
                               ? (map == 0 ? offsetof(CocEditRecord, mapA) : offsetof(CocEditRecord, mapB))
                               : (map == 0 ? offsetof(EcuMapData, cocMapA) : offsetof(EcuMapData, cocMapB));
    std::array<FieldBinding, 3> b{
        MapXRow<ExtMiniMap>(control, at),
        s.pressure ? MapYColumn<ExtMiniMap>(control, at, 1, 0, 10000)
                   : MapYColumn<ExtMiniMap>(control, at, 10, 0, 100),
        s.edit ? MapCells<ExtMiniMap>(control, at, 1000, 0, 2)
               : MapCells<ExtMiniMap>(control, at, 10, 0, 1300),
    };
    for (FieldBinding& f : b)
        f = s.edit ? f.OnRecord(EditRecord) : f.InMap();
    return b;
}
constexpr int kMapControls[] = {PARM9::TABmapCocA, PARM9::TABmapCocB};
// Indexed by map, edit mode, pressure.
constexpr std::array<FieldBinding, 3> kMaps[2][2][2] = {
    {{CocMap(kMapControls[0], 0, {false, false}), CocMap(kMapControls[0], 0, {false, true})},
     {CocMap(kMapControls[0], 0, {true, false}), CocMap(kMapControls[0], 0, {true, true})}},
    {{CocMap(kMapControls[1], 1, {false, false}), CocMap(kMapControls[1], 1, {false, true})},
     {CocMap(kMapControls[1], 1, {true, false}), CocMap(kMapControls[1], 1, {true, true})}},
};

// The page's fields in the order they are shown and read back; each part is chosen when it is reached, so
// the load limits follow the reference as it was and the maps the reference as just read.
FieldTable LoadLimits() {
    return MapByPair() != 0 ? FieldTable(kPressureLimits) : FieldTable(kThrottleLimits);
}
FieldTable ByPairField() {
    return EditMode() ? FieldTable(kByPairEdit) : FieldTable(kByPairImage);
}
template <int map> FieldTable MapFields() {
    return kMaps[map][EditMode() ? 1 : 0][ByPressure() ? 1 : 0];
}
constexpr FieldPart kParts[] = {
    Part(kRpmLimits), Part(LoadLimits),   Part(kParams),   Part(ByPairField),
    Part(kChoicesA),  Part(MapFields<0>), Part(kChoicesB), Part(MapFields<1>),
};

// ---- dimming and texts ---------------------------------------------------------------------------------

template <int map, int cylinder> bool BoxDimmed() {
    return MapDisabled(map) || cylinder > CylinderCount() || Foreign(map, cylinder) || EditMode();
}
template <int map> bool TableDimmed() {
    return MapDisabled(map) && !EditMode();
}

constexpr CtrlRule kRules[] = {
    {PARM9::NUMcocRpmInf, ATTR_DIMMED, EditMode},       {PARM9::NUMcocRpmSup, ATTR_DIMMED, EditMode},
    {PARM9::NUMcocGasPairInf, ATTR_DIMMED, EditMode},   {PARM9::NUMcocGasPairSup, ATTR_DIMMED, EditMode},
    {PARM9::NUMcocTh2oInf, ATTR_DIMMED, EditMode},      {PARM9::NUMcocTh2oSup, ATTR_DIMMED, EditMode},
    {PARM9::TABcocDelay, ATTR_DIMMED, EditMode},        {PARM9::NUMmsCoc, ATTR_DIMMED, EditMode},
    {PARM9::NUMmsCocPostShift, ATTR_DIMMED, EditMode},  {PARM9::NUMcocDkStep1, ATTR_DIMMED, EditMode},
    {PARM9::NUMcocDkStep2, ATTR_DIMMED, EditMode},      {PARM9::NUMcocDkMax, ATTR_DIMMED, EditMode},
    {PARM9::NUMcocLambdaThr, ATTR_DIMMED, EditMode},    {PARM9::RINGcocA, ATTR_DIMMED, EditMode},
    {PARM9::RINGcocB, ATTR_DIMMED, EditMode},           {PARM9::TMeditMode01, ATTR_VISIBLE, EditMode},
    {PARM9::TMeditMode02, ATTR_VISIBLE, EditMode},      {PARM9::TMeditMode03, ATTR_VISIBLE, EditMode},
    {PARM9::TMeditMode04, ATTR_VISIBLE, EditMode},      {PARM9::CKBcocAcyl1, ATTR_DIMMED, BoxDimmed<0, 1>},
    {PARM9::CKBcocAcyl2, ATTR_DIMMED, BoxDimmed<0, 2>}, {PARM9::CKBcocAcyl3, ATTR_DIMMED, BoxDimmed<0, 3>},
    {PARM9::CKBcocAcyl4, ATTR_DIMMED, BoxDimmed<0, 4>}, {PARM9::CKBcocBcyl1, ATTR_DIMMED, BoxDimmed<1, 1>},
    {PARM9::CKBcocBcyl2, ATTR_DIMMED, BoxDimmed<1, 2>}, {PARM9::CKBcocBcyl3, ATTR_DIMMED, BoxDimmed<1, 3>},
    {PARM9::CKBcocBcyl4, ATTR_DIMMED, BoxDimmed<1, 4>}, {PARM9::TABmapCocA, ATTR_DIMMED, TableDimmed<0>},
    {PARM9::TABmapCocB, ATTR_DIMMED, TableDimmed<1>},
};

constexpr const char* kPressureCaption = "M.A.P. [mBar] ";
constexpr const char* kThrottleCaption = "Throttle [deg] ";

const char* ReferenceText(int map) {
    if (MapDisabled(map)) return "... Disable ...";
    if (ByPressure()) return "Internal M.A.P. Reference";
    if (GripReference()) return "External Throttle Reference by Grip";
    if (ExtDbw() == 0) return "Internal Throttle Reference";
    const int first = FirstBox(map);
    if (first == 0) return "External Throttle Reference by Drive by Wire 1 or 2";
    if (DbwRefCyl(first) != 0) return "External Throttle Reference by Drive by Wire 1";
    return "External Throttle Reference by Drive by Wire 2";
}

bool ConfigurePr9() {
    const int p = hPr9Panel;
    const char* yCaption = ByPressure() ? kPressureCaption : kThrottleCaption;
    const char* corner = EditMode() ? "K" : "A/F";
    if (!ApplyRules(p, kRules) ||
        SetCtrlAttribute(p, PARM9::NUMcocGasPairInf, ATTR_LABEL_TEXT,
                         MapByPair() != 0 ? kPressureCaption : kThrottleCaption) < 0 ||
        SetCtrlVal(p, PARM9::TMcocAbpy, yCaption) < 0 || SetCtrlVal(p, PARM9::TMcocBbpy, yCaption) < 0 ||
        SetCtrlVal(p, PARM9::TMthrottleRefCocA, ReferenceText(0)) < 0 ||
        SetCtrlVal(p, PARM9::TMthrottleRefCocB, ReferenceText(1)) < 0 ||
        !SetMapCorner(p, PARM9::TABmapCocA, corner) || !SetMapCorner(p, PARM9::TABmapCocB, corner))
        return false;
    return true;
}

const FieldPage kPage = {&hPr9Panel, kParts, ConfigurePr9, CheckPr9};

// ---- repairs ---------------------------------------------------------------------------------------------

// A box is cleared for a cylinder the engine lacks or one on another throttle than the map's first one.
bool RepairBoxes(int map) {
    bool changed = false;
    for (int n = 1; n <= 4; ++n)
        if (Box(map, n) != 0 && (n > CylinderCount() || Foreign(map, n))) {
            Box(map, n) = 0;
            changed = true;
        }
    return changed;
}

} // namespace

bool CheckPr9() {
    // The limits pairwise, lower then upper: engine speed, load, water temperature (signed).
    bool changed = RaiseToLowerAt<std::uint16_t>(Image::Map, kLimits + 2, kLimits);
    changed |= RaiseToLowerAt<std::uint16_t>(Image::Map, kLimits + 6, kLimits + 4);
    changed |= RaiseToLowerAt<std::int16_t>(Image::Map, kLimits + 10, kLimits + 8);
    changed |= RepairAxis(ImageSpan<std::int16_t>(Image::Map, kDelayX, 8),
                          {AxisData{ImageSpan<std::int16_t>(Image::Map, kDelayValues, 8), 1, 1, 0}});
    changed |= ResetOutside<std::uint8_t>(Sensor(0), 0, 4, 0);
    changed |= RepairBoxes(0);
    changed |= RepairMapAxes(ecuMapData.cocMapA);
    changed |= ResetOutside<std::uint8_t>(Sensor(1), 0, 4, 0);
    // One sensor serves one map: the choice made last stays.
    if (Sensor(0) != 0 && Sensor(0) == Sensor(1)) {
        Sensor(lastCommitted == PARM9::RINGcocB ? 0 : 1) = 0;
        changed = true;
    }
    changed |= RepairBoxes(1);
    changed |= RepairMapAxes(ecuMapData.cocMapB);
    changed |= RepairMapAxes(cocEditData.mapA);
    changed |= RepairMapAxes(cocEditData.mapB);
    return changed;
}

void InitPr9Data() {
    InitFields(kRpmLimits);
    InitFields(kThrottleLimits);
    InitFields(kParams);
    InitFields(kByPairImage);
    InitFields(kChoicesA);
    InitFields(kChoicesB);
    std::memset(&ecuMapData.cocMapA, 0, sizeof ecuMapData.cocMapA);
    std::memset(&ecuMapData.cocMapB, 0, sizeof ecuMapData.cocMapB);
    InitCocEditData();
}

bool InitPr9Panel(int parent) {
    if (!LoadPage(parent, PARM9::id, hPr9Panel) || !HideTableLabels(hPr9Panel, PARM9::TABcocDelay))
        return false;
    InitPr9Data();
    return true;
}

bool ScatterPr9Panel() {
    return ScatterFieldPage(kPage);
}

bool GatherPr9Panel() {
    return GatherFieldPage(kPage);
}

bool Pr9Timer() {
    const int noEdit = fCocEditMode == 0 ? 1 : 0;
    const int noLink = (fCocEditMode == 0 || isComOpen == 0) ? 1 : 0;
    if (SetCtrlAttribute(hPr9Panel, PARM9::CBcocSave, ATTR_DIMMED, noEdit) < 0 ||
        SetCtrlAttribute(hPr9Panel, PARM9::CBcocLoad, ATTR_DIMMED, noEdit) < 0 ||
        SetCtrlAttribute(hPr9Panel, PARM9::CBcocSend, ATTR_DIMMED, noLink) < 0 ||
        SetCtrlAttribute(hPr9Panel, PARM9::CBcocReceive, ATTR_DIMMED, noLink) < 0)
        return false;
    return Ping();
}

namespace {

// The commit of one control; false shows the page's error popup.
bool CommitPr9(int control) {
    switch (control) {
    case PARM9::TBcocEdit: {
        if (!GatherPr9Panel()) return false;
        int on = 0;
        GetCtrlVal(hPr9Panel, PARM9::TBcocEdit, &on);
        SetCocEditMode(static_cast<std::uint8_t>(on));
        ScatterPr9Panel();
        return true;
    }
    case PARM9::CBcocReset:
        return SendCocReset();
    case PARM9::CBcocLoad:
        if (!GatherPr9Panel()) return false;
        LoadCocEditData(1);
        ScatterPr9Panel();
        return true;
    case PARM9::CBcocSave:
        if (!GatherPr9Panel()) return false;
        StoreCocEditData();
        return true;
    case PARM9::CBcocReceive:
        return GatherPr9Panel() && ReceiveCocEditMap() && ScatterPr9Panel();
    case PARM9::CBcocSend:
        return GatherPr9Panel() && SendCocEditMap() && ScatterPr9Panel();
    case PARM9::TBcocByPair:
    case PARM9::RINGcocA:
    case PARM9::CKBcocAcyl1:
    case PARM9::CKBcocAcyl2:
    case PARM9::CKBcocAcyl3:
    case PARM9::CKBcocAcyl4:
    case PARM9::RINGcocB:
    case PARM9::CKBcocBcyl1:
    case PARM9::CKBcocBcyl2:
    case PARM9::CKBcocBcyl3:
    case PARM9::CKBcocBcyl4:
        return GatherPr9Panel() && ScatterPr9Panel();
    default:
        return true;
    }
}

// The exchanges with the ECU must not interleave their frames with a transfer that pumps events.
bool TalksToEcu(int control) {
    return control == PARM9::CBcocReset || control == PARM9::CBcocReceive || control == PARM9::CBcocSend;
}

} // namespace

// Gathers and scatters even while the program is busy (harmless there); only the exchanges wait.
int DoPr9Event(int, int control, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    lastCommitted = control;
    if (TalksToEcu(control) && CheckfBusy()) return 0;
    if (!CommitPr9(control)) MessagePopup("Parameters CO-Correction", szGenericError);
    return 0;
}
