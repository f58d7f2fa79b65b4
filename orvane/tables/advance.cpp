// The advance page: the four advance correction curves and the per-cylinder advance offsets, with the
// "Edit Advance" dialog. The page shape is shared with injection page 1 (cylpage.h); this file holds what
// is the advance page's own: its fields (tenths of a degree where the injection page has factors), units
// and dialog options.
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/loadpage.h"
#include "orvane/core/navigation.h"
#include "orvane/tables/cylpage.h"
#include "orvane/tables/tablefields.h"
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"

int hAdvPanel = 0;
int hAdvVpanel = 0;
SettingsPoint posAdvVpanel = {kUnplaced, kUnplaced};
int zoomAdvVpanel = 0;

void ResetAdvValuePopupPlace() {
    posAdvVpanel = {kUnplaced, kUnplaced};
    zoomAdvVpanel = 0;
}

namespace {

CylPageState advState{.pos = &posAdvVpanel, .zoom = &zoomAdvVpanel};

constexpr std::size_t kCurves = offsetof(EcuMapData, advCorr);
constexpr std::size_t kOffsets = offsetof(EcuMapData, advOffsets);
constexpr std::size_t Curve(int i) {
    return kCurves + i * sizeof(Curve16);
}

constexpr CellFormat kDegrees = {10, -720, 720, 0};

std::size_t ShownOffsets() {
    return advState.curCyl * kMatrixBytes;
}

using namespace ADV;

constexpr FieldBinding kFields[] = {
    CurveX(TABkaTair, 1, Curve(0), {10, -30, 150, 0}).InMap(),
    CurveValues(TABkaTair, 2, Curve(0), kDegrees).InMap(),
    CurveX(TABkaTh2o, 1, Curve(1), {10, -30, 250, 0}).InMap(),
    CurveValues(TABkaTh2o, 2, Curve(1), kDegrees).InMap(),
    CurveX(TABkaPbaro, 1, Curve(2), {1, 0, 10000, 1000}).InMap(),
    CurveValues(TABkaPbaro, 2, Curve(2), kDegrees).InMap(),
    CurveValues(TABkaRtc, 2, Curve(3), kSelectorShare).InMap(),
    MatrixX(TABmapKaUserCyl, kOffsets + offsetof(CylMiniMaps, x), kEngineSpeed).InMap(),
    MatrixY(TABmapKaUserCyl, kOffsets + offsetof(CylMiniMaps, y), kThrottle).InMap(),
    MatrixCells(TABmapKaUserCyl, kOffsets, kDegrees).InMap().Shifted(ShownOffsets),
};
static_assert(CheckBindings(kFields));
constexpr FieldBinding kSelectorX[] = {CurveX(TABkaRtc, 1, Curve(3), kSelectorVolts).InMap()};
constexpr FieldBinding kAllOffsets[] = {
    MatrixCells(TABmapKaUserCyl, kOffsets, kDegrees, kCylMatrices).InMap()};
static_assert(CheckBindings(kAllOffsets));

// The selector breakpoints are on screen only while the selector is read in volts.
FieldTable ShownSelectorX() {
    return advState.selectorShownInVolts ? FieldTable(kSelectorX) : FieldTable();
}
constexpr FieldPart kParts[] = {Part(kFields), Part(ShownSelectorX)};

int FillAdvCylRing();
bool SetupAdvValDialog(std::uint8_t resetOption);
bool OpenAdvValDialog();

const CylPageDesc kPage = {
    .title = "Advance",
    .valTitle = "Edit Advance",
    .panel = &hAdvPanel,
    .valPanel = &hAdvVpanel,
    .fields = kFields,
    .rtcXField = kSelectorX,
    .allMatrices = kAllOffsets,
    .parts = kParts,
    .curveTables = {{TABkaTair, "[°C]", "[°]"},
                    {TABkaTh2o, "[°C]", "[°]"},
                    {TABkaPbaro, "[mBar]", "[°]"},
                    {TABkaRtc, "[Volt]", "[%]"}},
    .maps = &EcuMapData::advOffsets,
    .curves = &EcuMapData::advCorr,
    .ring = RINGcylUser,
    .table = TABmapKaUserCyl,
    .valNumber = ADVVAL::NSval,
    .valRadio = ADVVAL::RBadvVal,
    .valApply = ADVVAL::CBapply,
    .valCancel = ADVVAL::CBcancel,
    .valScale = 10,
    .valLo = -720,
    .valHi = 720,
    .options = {{-720, 720, 1, 0.1, "[°]"}, {-1440, 1440, 1, 0.1, "[°]"}, {-100, 100, 1, 0.1, "[%]"}},
    .state = advState,
    .format = FormatAdvPanel,
    .fix = FixAdvData,
    .fillRing = FillAdvCylRing,
    .setupValDialog = SetupAdvValDialog,
    .openValDialog = OpenAdvValDialog,
};

int FillAdvCylRing() {
    return FillCylRing(kPage) ? 0 : 1;
}
// resetOption nonzero: back to "Set".
bool SetupAdvValDialog(std::uint8_t resetOption) {
    return SetupCylValDialog(kPage, resetOption != 0);
}
bool OpenAdvValDialog() {
    return OpenCylValDialog(kPage);
}

} // namespace

bool InitAdvPanel(int parent) {
    return LoadPage(parent, ADVVAL::id, hAdvVpanel) && LoadPage(parent, ADV::id, hAdvPanel) &&
           InitCylPage(kPage);
}
void InitAdvData() {
    InitCylData(kPage);
}
bool FormatAdvPanel() {
    return FormatCylPage(kPage);
}
bool ScatterAdvPanel() {
    return ScatterCylPage(kPage);
}
bool GatherAdvPanel() {
    return GatherCylPage(kPage);
}
bool FixAdvData() {
    return FixCylPage(kPage);
}
bool AdvTimer() {
    return Ping();
}
int AdvEdit(int panel, int control, int event, void*, int eventData1, int) {
    return CylPageEvent(kPage, panel, control, event, eventData1);
}
int DlgAdvVal(int panel, int control, int event, void*, int, int) {
    return CylValDialogEvent(kPage, panel, control, event);
}
int Advance(int, int, int event, void*, int, int) {
    SwitchToSinglePage(event, hAdvPanel, ScatterAdvPanel);
    return 0;
}
