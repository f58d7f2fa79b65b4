// The page registry's table: every page and popup of the program with its place in the orders, the
// dialogs that the close box and Escape end, and what each family of pages adds to the program's steps.
// Adding a page is one entry and its place in the orders, which the compile-time checks hold to the
// entries.
#include "orvane/config/config.h"
#include "orvane/core/ecuselect.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/pageregistry.h"
#include "orvane/core/protect.h"
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

// In tab order within each group.
constexpr Page kPages[] = {
    {.handle = &hMp1Panel,
     .init = InitMp1Panel,
     .scatter = ScatterMp1Panel,
     .gather = GatherMapEditor,
     .timer = Mp1Timer,
     .onLeave = LeaveMapEditor},
    {.handle = &hMp2Panel,
     .init = InitMp2Panel,
     .scatter = ScatterMp2Panel,
     .timer = Mp2Timer,
     .onLeave = LeaveTuningPage},
    {ORVANE_EDITOR_PAGE(Ij1), .group = Injection, .tabControl = INJ1::TPselectInj},
    {ORVANE_EDITOR_PAGE(Ij2), .group = Injection, .tabControl = INJ2::TPselectInj},
    {ORVANE_EDITOR_PAGE(Adv)},
    {ORVANE_EDITOR_PAGE(Pr1), .group = Parameters, .tabControl = PARM1::TPselectParm},
    {ORVANE_EDITOR_PAGE(Pr2), .group = Parameters, .tabControl = PARM2::TPselectParm},
    {ORVANE_EDITOR_PAGE(Pr3), .group = Parameters, .tabControl = PARM3::TPselectParm},
    {ORVANE_EDITOR_PAGE(Pr4), .group = Parameters, .tabControl = PARM4::TPselectParm},
    {ORVANE_EDITOR_PAGE(Pr5), .group = Parameters, .tabControl = PARM5::TPselectParm},
    {ORVANE_EDITOR_PAGE(Pr6), .group = Parameters, .tabControl = PARM6::TPselectParm},
    {ORVANE_EDITOR_PAGE(Pr7), .group = Parameters, .tabControl = PARM7::TPselectParm},
    {ORVANE_EDITOR_PAGE(Pr8), .group = Parameters, .tabControl = PARM8::TPselectParm},
    {ORVANE_EDITOR_PAGE(Pr9), .group = Parameters, .tabControl = PARM9::TPselectParm},
    {ORVANE_EDITOR_PAGE(Pr10), .group = Parameters, .tabControl = PARM10::TPselectParm},
    {ORVANE_EDITOR_PAGE(Ln1), .group = Linearizations, .tabControl = LNR1::TPselectLnr},
    {ORVANE_EDITOR_PAGE(Ln2), .group = Linearizations, .tabControl = LNR2::TPselectLnr},
    {ORVANE_EDITOR_PAGE(Cg1), .group = Configuration, .tabControl = CONFIG1::TPselectConfig},
    {ORVANE_EDITOR_PAGE(Cg2), .group = Configuration, .tabControl = CONFIG2::TPselectConfig},
    {ORVANE_EDITOR_PAGE(Cg3), .group = Configuration, .tabControl = CONFIG3::TPselectConfig},
    {ORVANE_EDITOR_PAGE(Cg4), .group = Configuration, .tabControl = CONFIG4::TPselectConfig},
    {ORVANE_EDITOR_PAGE(Caq), .group = Configuration, .tabControl = CANACQ::TPselectConfig,
     .mayLeave = IgnoreCaqWarning},
    {.handle = &hDgnPanel, .init = InitDgnPanel, .timer = DgnTimer, .onLeave = LeaveDiagnostics},
    {.handle = &hLv1Panel,
     .init = InitLv1Panel,
     .scatter = ScatterLv1Panel,
     .timer = Lv1Tick,
     .group = Live,
     .tabControl = LIVE1::TPselectLive},
    {.handle = &hLv2Panel,
     .init = InitLv2Panel,
     .scatter = ScatterLv2Panel,
     .timer = Lv2Tick,
     .group = Live,
     .tabControl = LIVE2::TPselectLive,
     .onLeave = LeaveBenchPage},
    {.kind = PanelKind::Popup, .handle = &hPwdPanel, .init = InitPwdPanel},
    {.kind = PanelKind::Popup, .handle = &hEcuPanel, .init = InitEcuPanel},
};

#undef ORVANE_EDITOR_PAGE

constexpr auto kInitOrder =
    PageOrder(kPages, {&hMp1Panel,  &hMp2Panel, &hIj1Panel, &hIj2Panel, &hAdvPanel, &hPr1Panel, &hPr2Panel,
                       &hPr3Panel,  &hPr4Panel, &hPr5Panel, &hPr6Panel, &hPr7Panel, &hPr8Panel, &hPr9Panel,
                       &hPr10Panel, &hLn1Panel, &hLn2Panel, &hCaqPanel, &hCg1Panel, &hCg2Panel, &hCg3Panel,
                       &hCg4Panel,  &hDgnPanel, &hLv1Panel, &hLv2Panel, &hPwdPanel, &hEcuPanel});

constexpr auto kScatterOrder = PageOrder(
    kPages, {&hCg1Panel, &hCg2Panel, &hCg3Panel, &hCg4Panel, &hCaqPanel, &hLn1Panel, &hLn2Panel, &hMp1Panel,
             &hMp2Panel, &hIj1Panel, &hIj2Panel, &hAdvPanel, &hPr1Panel, &hPr2Panel, &hPr3Panel, &hPr4Panel,
             &hPr5Panel, &hPr6Panel, &hPr7Panel, &hPr8Panel, &hPr9Panel, &hPr10Panel});

// The read-back differs from the fill: the CAN page comes after the injection and advance pages.
constexpr auto kGatherOrder =
    PageOrder(kPages, {&hCg1Panel, &hCg2Panel, &hCg3Panel, &hCg4Panel, &hMp1Panel, &hIj1Panel, &hIj2Panel,
                       &hAdvPanel, &hCaqPanel, &hLn1Panel, &hLn2Panel, &hPr1Panel, &hPr2Panel, &hPr3Panel,
                       &hPr4Panel, &hPr5Panel, &hPr6Panel, &hPr7Panel, &hPr8Panel, &hPr9Panel, &hPr10Panel});

// The graph windows are only closed: no Cancel, and Escape does nothing.
void CloseGraph3d() {
    if (!ShowPltPanel(false)) MessagePopup("3D Graph", szGenericError);
}
void CloseGraph2d() {
    if (!ShowGrpPanel(false)) MessagePopup("2D Graph", szGenericError);
}

// The dialogs the close box and Escape end as their Cancel button does, and the graph windows.
constexpr Dialog kDialogs[] = {
    {.handle = &hPwdPanel, .cancel = SetProtection, .cancelControl = PWD::CBcancel},
    {.handle = &hEcuPanel, .cancel = DlgEcuDataSelection, .cancelControl = ECUSELZ::CBcancel},
    {.handle = &hMpvPanel, .cancel = DlgMapVal, .cancelControl = MAPVAL::CBcancel},
    {.handle = &hMtvPanel, .cancel = DlgTuneMapVal, .cancelControl = TUNEMAPVAL::CBcancel},
    // The value and calibration dialogs of the table pages have no other way out than Cancel either.
    {.handle = &hIj1Vpanel, .cancel = DlgInjVal, .cancelControl = INJVAL::CBcancel},
    {.handle = &hAdvVpanel, .cancel = DlgAdvVal, .cancelControl = ADVVAL::CBcancel},
    {.handle = &hLrtPanel, .cancel = SetAutoFarf, .cancelControl = LNRGAS::CBcancel},
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

static_assert(CheckPageTable(kPages, kInitOrder, kScatterOrder, kGatherOrder));
static_assert(CheckDialogTable(kDialogs));

const PageRegistry kRegistry{kPages, kInitOrder, kScatterOrder, kGatherOrder, kFamilies, kDialogs};

} // namespace

const PageRegistry& Pages() {
    return kRegistry;
}
