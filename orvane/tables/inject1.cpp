// Injection page 1: the four injection correction curves and the per-cylinder injection trim, with the
// "Edit Injection" dialog. The page shape is shared with the advance page (cylpage.h); this file holds
// what is the injection page's own: its fields, units and dialog options.
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/loadpage.h"
#include "orvane/tables/cylpage.h"
#include "orvane/tables/tablefields.h"
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"

int hIj1Panel = 0;
int hIj1Vpanel = 0;
SettingsPoint posInjVpanel = {kUnplaced, kUnplaced};
int zoomInjVpanel = 0;

void ResetInjValuePopupPlace() {
    posInjVpanel = {kUnplaced, kUnplaced};
    zoomInjVpanel = 0;
}

namespace {

CylPageState injState{.pos = &posInjVpanel, .zoom = &zoomInjVpanel};

constexpr std::size_t kCurves = offsetof(EcuMapData, injCorr);
constexpr std::size_t kTrims = offsetof(EcuMapData, injTrims);
constexpr std::size_t Curve(int i) {
    return kCurves + i * sizeof(Curve16);
}

constexpr CellFormat kFactor = {1000, 0, 2, 1000}; // 1.000 = unchanged

std::size_t ShownTrim() {
    return injState.curCyl * kMatrixBytes;
}

using namespace INJ1;

constexpr FieldBinding kFields[] = {
    CurveX(TABkjTair, 1, Curve(0), {10, -30, 150, 0}).InMap(),
    CurveValues(TABkjTair, 2, Curve(0), kFactor).InMap(),
    CurveX(TABkjTh2o, 1, Curve(1), {10, -30, 250, 0}).InMap(),
    CurveValues(TABkjTh2o, 2, Curve(1), kFactor).InMap(),
    CurveX(TABkjPbaro, 1, Curve(2), {1, 0, 10000, 1000}).InMap(),
    CurveValues(TABkjPbaro, 2, Curve(2), kFactor).InMap(),
    CurveValues(TABkjRtc, 2, Curve(3), kSelectorShare).InMap(),
    MatrixX(TABmapKjUserCyl, kTrims + offsetof(CylMiniMaps, x), kEngineSpeed).InMap(),
    MatrixY(TABmapKjUserCyl, kTrims + offsetof(CylMiniMaps, y), kThrottle).InMap(),
    MatrixCells(TABmapKjUserCyl, kTrims, kFactor).InMap().Shifted(ShownTrim),
};
static_assert(CheckBindings(kFields));
constexpr FieldBinding kSelectorX[] = {CurveX(TABkjRtc, 1, Curve(3), kSelectorVolts).InMap()};
constexpr FieldBinding kAllTrims[] = {MatrixCells(TABmapKjUserCyl, kTrims, kFactor, kCylMatrices).InMap()};
static_assert(CheckBindings(kAllTrims));

// The selector breakpoints are on screen only while the selector is read in volts.
FieldTable ShownSelectorX() {
    return injState.selectorShownInVolts ? FieldTable(kSelectorX) : FieldTable();
}
constexpr FieldPart kParts[] = {Part(kFields), Part(ShownSelectorX)};

int FillInjCylRing();
bool SetupInjValDialog(std::uint8_t resetOption);
bool OpenInjValDialog();

const CylPageDesc kPage = {
    .title = "Injection",
    .valTitle = "Edit Injection",
    .panel = &hIj1Panel,
    .valPanel = &hIj1Vpanel,
    .fields = kFields,
    .rtcXField = kSelectorX,
    .allMatrices = kAllTrims,
    .parts = kParts,
    .curveTables = {{TABkjTair, "[°C]", "k"},
                    {TABkjTh2o, "[°C]", "k"},
                    {TABkjPbaro, "[mBar]", "k"},
                    {TABkjRtc, "[Volt]", "[%]"}},
    .maps = &EcuMapData::injTrims,
    .curves = &EcuMapData::injCorr,
    .ring = RINGcylUser,
    .table = TABmapKjUserCyl,
    .valNumber = INJVAL::NSval,
    .valRadio = INJVAL::RBinjVal,
    .valApply = INJVAL::CBapply,
    .valCancel = INJVAL::CBcancel,
    .valScale = 1000,
    .valLo = 0,
    .valHi = 2,
    .options = {{0, 2, 3, 0.001, "[k]"}, {-2, 2, 3, 0.001, "[k]"}, {-100, 100, 1, 0.1, "[%]"}},
    .state = injState,
    .format = FormatIj1Panel,
    .fix = FixInjData,
    .fillRing = FillInjCylRing,
    .setupValDialog = SetupInjValDialog,
    .openValDialog = OpenInjValDialog,
};

int FillInjCylRing() {
    return FillCylRing(kPage) ? 0 : 1;
}
// resetOption nonzero: back to "Set".
bool SetupInjValDialog(std::uint8_t resetOption) {
    return SetupCylValDialog(kPage, resetOption != 0);
}
bool OpenInjValDialog() {
    return OpenCylValDialog(kPage);
}

} // namespace

bool InitIj1Panel(int parent) {
    return LoadPage(parent, INJVAL::id, hIj1Vpanel) && LoadPage(parent, INJ1::id, hIj1Panel) &&
           InitCylPage(kPage);
}
void InitInjData() {
    InitCylData(kPage);
}
bool FormatIj1Panel() {
    return FormatCylPage(kPage);
}
bool ScatterIj1Panel() {
    return ScatterCylPage(kPage);
}
bool GatherIj1Panel() {
    return GatherCylPage(kPage);
}
bool FixInjData() {
    return FixCylPage(kPage);
}
bool Ij1Timer() {
    return Ping();
}
int InjEdit(int panel, int control, int event, void*, int eventData1, int) {
    return CylPageEvent(kPage, panel, control, event, eventData1);
}
int DlgInjVal(int panel, int control, int event, void*, int, int) {
    return CylValDialogEvent(kPage, panel, control, event);
}
