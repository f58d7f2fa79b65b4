// The page registry's table: every page and popup of the program with its place in the orders, the
// dialogs that the close box and Escape end, and what each family of pages adds to the program's steps.
// Adding a page is one entry and its place in the orders, which the compile-time checks hold to the
// entries.
#include "orvane/config/config.h"
#include "orvane/core/ui/ecuselect.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/pageregistry.h"
#include "orvane/core/ui/protect.h"
#include "orvane/live/diagnost.h"
#include "orvane/live/live.h"
#include "orvane/live/liverec.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/mapval.h"
#include "orvane/maps/plot.h"
#include "orvane/params/cocedit.h"
#include "orvane/params/params.h"
#include "orvane/tables/tables.h"
#include "orvane/tuning/map2.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>

namespace {

using enum PageGroup;

// The map editor is read back unless the tuning page holds its data.
bool GatherMapEditor() {
    return hCurPanel == hMp2Panel || GatherMp1Panel(1);
}

// Leaving the map editor hides its graphs; leaving the tuning page refills the map editor.
void LeaveMapEditor() {
    ShowPltPanel(false);
    ShowGrpPanel(false);
}
void LeaveTuningPage() {
    ScatterMp1Panel();
}

// A bench adjustment or a reset action not yet sent belongs to the page it was made on.
void LeaveBenchPage() {
    SetBenchAdjust(0, 0);
}
void LeaveDiagnostics() {
    RequestDgnAction(0);
}

bool Lv1Tick() {
    return LiveTick(LivTimer, 0);
}
bool Lv2Tick() {
    return LiveTick(LivTimer, 1);
}

// The 2-D graph follows the map editor on every tick while it is up.
void TickGraph() {
    int graphVisible = 0;
    if (GetPanelAttribute(hGrpPanel, ATTR_VISIBLE, &graphVisible) >= 0 && graphVisible) GrpTimer();
}

// The last tuning settings and CO-correction edit data are loaded at start-up without asking.
void LoadLastMtSettings() {
    LoadMtSettings(0);
}
void LoadLastCocEditData() {
    LoadCocEditData(0);
}

// The places of the injection and advance value popups are kept only while the program runs.
void ForgetTablePopupPlaces() {
    ResetInjValuePopupPlace();
    ResetAdvValuePopupPlace();
}

// An editor page whose operations are all named after it (InitPr1Panel, ScatterPr1Panel, GatherPr1Panel,
// Pr1Timer).
#define ORVANE_EDITOR_PAGE(Name)                                                                             \
    .handle = &h##Name##Panel, .init = Init##Name##Panel, .scatter = Scatter##Name##Panel,                   \
    .gather = Gather##Name##Panel, .timer = Name##Timer

// The entries, in tab order within each group.
enum Id : std::uint8_t {
    Mp1,
    Mp2,
    Ij1,
    Ij2,
    Adv,
    Pr1,
    Pr2,
    Pr3,
    Pr4,
    Pr5,
    Pr6,
    Pr7,
    Pr8,
    Pr9,
    Pr10,
    Ln1,
    Ln2,
    Cg1,
    Cg2,
    Cg3,
    Cg4,
    Caq,
    Dgn,
    Lv1,
    Lv2,
    Pwd,
    Ecu,
    kPageCount
};

constexpr std::array<Page, kPageCount> kPages = [] {
    std::array<Page, kPageCount> t{};
    t[Mp1] = {.handle = &hMp1Panel,
              .init = InitMp1Panel,
              .scatter = ScatterMp1Panel,
              .gather = GatherMapEditor,
              .timer = Mp1Timer,
              .onLeave = LeaveMapEditor};
    t[Mp2] = {.handle = &hMp2Panel,
              .init = InitMp2Panel,
              .scatter = ScatterMp2Panel,
              .timer = Mp2Timer,
              .onLeave = LeaveTuningPage};
    t[Ij1] = {ORVANE_EDITOR_PAGE(Ij1), .group = Injection, .tabControl = INJ1::TPselectInj};
    t[Ij2] = {ORVANE_EDITOR_PAGE(Ij2), .group = Injection, .tabControl = INJ2::TPselectInj};
    t[Adv] = {ORVANE_EDITOR_PAGE(Adv)};
    t[Pr1] = {ORVANE_EDITOR_PAGE(Pr1), .group = Parameters, .tabControl = PARM1::TPselectParm};
    t[Pr2] = {ORVANE_EDITOR_PAGE(Pr2), .group = Parameters, .tabControl = PARM2::TPselectParm};
    t[Pr3] = {ORVANE_EDITOR_PAGE(Pr3), .group = Parameters, .tabControl = PARM3::TPselectParm};
    t[Pr4] = {ORVANE_EDITOR_PAGE(Pr4), .group = Parameters, .tabControl = PARM4::TPselectParm};
    t[Pr5] = {ORVANE_EDITOR_PAGE(Pr5), .group = Parameters, .tabControl = PARM5::TPselectParm};
    t[Pr6] = {ORVANE_EDITOR_PAGE(Pr6), .group = Parameters, .tabControl = PARM6::TPselectParm};
    t[Pr7] = {ORVANE_EDITOR_PAGE(Pr7), .group = Parameters, .tabControl = PARM7::TPselectParm};
    t[Pr8] = {ORVANE_EDITOR_PAGE(Pr8), .group = Parameters, .tabControl = PARM8::TPselectParm};
    t[Pr9] = {ORVANE_EDITOR_PAGE(Pr9), .group = Parameters, .tabControl = PARM9::TPselectParm};
    t[Pr10] = {ORVANE_EDITOR_PAGE(Pr10), .group = Parameters, .tabControl = PARM10::TPselectParm};
    t[Ln1] = {ORVANE_EDITOR_PAGE(Ln1), .group = Linearizations, .tabControl = LNR1::TPselectLnr};
    t[Ln2] = {ORVANE_EDITOR_PAGE(Ln2), .group = Linearizations, .tabControl = LNR2::TPselectLnr};
    t[Cg1] = {ORVANE_EDITOR_PAGE(Cg1), .group = Configuration, .tabControl = CONFIG1::TPselectConfig};
    t[Cg2] = {ORVANE_EDITOR_PAGE(Cg2), .group = Configuration, .tabControl = CONFIG2::TPselectConfig};
    t[Cg3] = {ORVANE_EDITOR_PAGE(Cg3), .group = Configuration, .tabControl = CONFIG3::TPselectConfig};
    t[Cg4] = {ORVANE_EDITOR_PAGE(Cg4), .group = Configuration, .tabControl = CONFIG4::TPselectConfig};
    t[Caq] = {ORVANE_EDITOR_PAGE(Caq), .group = Configuration, .tabControl = CANACQ::TPselectConfig,
              .mayLeave = IgnoreCaqWarning};
    t[Dgn] = {.handle = &hDgnPanel, .init = InitDgnPanel, .timer = DgnTimer, .onLeave = LeaveDiagnostics};
    t[Lv1] = {.handle = &hLv1Panel,
              .init = InitLv1Panel,
              .scatter = ScatterLv1Panel,
              .timer = Lv1Tick,
              .group = Live,
              .tabControl = LIVE1::TPselectLive};
    t[Lv2] = {.handle = &hLv2Panel,
              .init = InitLv2Panel,
              .scatter = ScatterLv2Panel,
              .timer = Lv2Tick,
              .group = Live,
              .tabControl = LIVE2::TPselectLive,
              .onLeave = LeaveBenchPage};
    t[Pwd] = {.kind = PanelKind::Popup, .handle = &hPwdPanel, .init = InitPwdPanel};
    t[Ecu] = {.kind = PanelKind::Popup, .handle = &hEcuPanel, .init = InitEcuPanel};
    return t;
}();

#undef ORVANE_EDITOR_PAGE

constexpr std::uint8_t kInitOrder[] = {Mp1,  Mp2, Ij1, Ij2, Adv, Pr1, Pr2, Pr3, Pr4, Pr5, Pr6, Pr7, Pr8, Pr9,
                                       Pr10, Ln1, Ln2, Caq, Cg1, Cg2, Cg3, Cg4, Dgn, Lv1, Lv2, Pwd, Ecu};

constexpr std::uint8_t kScatterOrder[] = {Cg1, Cg2, Cg3, Cg4, Caq, Ln1, Ln2, Mp1, Mp2, Ij1, Ij2,
                                          Adv, Pr1, Pr2, Pr3, Pr4, Pr5, Pr6, Pr7, Pr8, Pr9, Pr10};

// The read-back differs from the fill: the CAN page comes after the injection and advance pages.
constexpr std::uint8_t kGatherOrder[] = {Cg1, Cg2, Cg3, Cg4, Mp1, Ij1, Ij2, Adv, Caq, Ln1, Ln2,
                                         Pr1, Pr2, Pr3, Pr4, Pr5, Pr6, Pr7, Pr8, Pr9, Pr10};

// The graph windows are only closed: no Cancel, and Escape does nothing.
void CloseGraph3d() {
    if (!ShowPltPanel(false)) MessagePopup("3D Graph", szGenericError);
}
void CloseGraph2d() {
    if (!ShowGrpPanel(false)) MessagePopup("2D Graph", szGenericError);
}

// The dialogs the close box and Escape end as their Cancel button does, and the graph windows. Enter in a
// field of the dialogs with one presses their first button: the password's "Log in" ("Confirm" while a
// change is confirmed), the value dialogs' Apply.
constexpr Dialog kDialogs[] = {
    {.handle = &hPwdPanel,
     .buttons = SetProtection,
     .cancelControl = PWD::CBcancel,
     .enterControl = PWD::CBsetPwdA},
    {.handle = &hEcuPanel, .buttons = DlgEcuDataSelection, .cancelControl = ECUSELZ::CBcancel},
    {.handle = &hMpvPanel,
     .buttons = DlgMapVal,
     .cancelControl = MAPVAL::CBcancel,
     .enterControl = MAPVAL::CBapply},
    {.handle = &hMtvPanel,
     .buttons = DlgTuneMapVal,
     .cancelControl = TUNEMAPVAL::CBcancel,
     .enterControl = TUNEMAPVAL::CBapply},
    // The value and calibration dialogs of the table pages have no other way out than Cancel either.
    {.handle = &hIj1Vpanel,
     .buttons = DlgInjVal,
     .cancelControl = INJVAL::CBcancel,
     .enterControl = INJVAL::CBapply},
    {.handle = &hAdvVpanel,
     .buttons = DlgAdvVal,
     .cancelControl = ADVVAL::CBcancel,
     .enterControl = ADVVAL::CBapply},
    {.handle = &hLrtPanel, .buttons = SetAutoFarf, .cancelControl = LNRGAS::CBcancel},
    {.handle = &hPltPanel, .close = CloseGraph3d},
    {.handle = &hGrpPanel, .close = CloseGraph2d},
};

// What each family adds to the program's steps, asked in this order.
constexpr PageFamily kFamilies[] = {
    // The tuning page: a running manual tuning goes on unless the user agrees to stop it; Ping reports
    // the ECU's tuning state.
    {.mayRunCommand = AbortManualTuning,
     .ecuTuning = IsMapTuning,
     .pingFlags = SetTuneStatusInfo,
     .settingsRead = ResetMtvPlace,
     .start = LoadLastMtSettings},
    // The map editor: its 2-D graph, its Edit-Map dialog's place, its 3-D plot.
    {.tick = TickGraph, .settingsRead = ResetMpvPlace, .stop = ReleasePltPanel},
    // The injection and advance pages.
    {.settingsRead = ForgetTablePopupPlaces},
    // The CO-correction edit data of the parameter pages.
    {.start = LoadLastCocEditData, .unsavedName = "CO-Correction Edit data", .unsaved = NewCocEditData},
    // The CAN acquisition page: its warning about duplicate identifiers.
    {.mayWriteConfiguration = IgnoreCaqWarning},
};

static_assert(PageTableHolds<FindPageTableFault(kPages, kInitOrder, kScatterOrder, kGatherOrder)>());
static_assert(CheckDialogTable(kDialogs));

const PageRegistry kRegistry{kPages, kInitOrder, kScatterOrder, kGatherOrder, kFamilies, kDialogs};

} // namespace

const PageRegistry& Pages() {
    return kRegistry;
}
