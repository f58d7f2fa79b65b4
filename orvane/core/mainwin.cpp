#include "orvane/core/mainwin.h"

#include "orvane/core/ecudata.h"
#include "orvane/core/ecuselect.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/pageregistry.h"
#include "orvane/core/protect.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/mapval.h"
#include "orvane/maps/plot.h"
#include "orvane/tables/tables.h"
#include "orvane/tuning/map2.h"
#include "orvane/ui/screen.h"
#include "platform/sys/textout.h"
#include "platform/ui/userint.h"

#include <cstring>
#include <span>

int hMainPanel = 0;
int hCurPanel = 0;

const char appName[] = "Orvane";
const char appSubname[] = "";
const char appFwName[] = "T484";
const char szGenericError[] = "Some error occurred...";

namespace {

int NameControl(std::uint8_t kind) {
    if (kind == 1) return MAIN::TMecuParName;
    if (kind == 2) return MAIN::TMecuMapName;
    return 0;
}

// Runs the operation of every page in the order even when one fails; true when all succeeded. Every page
// of the order has it (the table's compile-time check holds it).
bool RunEvery(std::span<const std::uint8_t> order, bool (*Page::*op)()) {
    bool ok = true;
    for (std::uint8_t i : order)
        ok = (Pages().pages[i].*op)() && ok;
    return ok;
}

} // namespace

bool LoadMainPanel() {
    const int panel = LoadPanel(0, "screen.uir", MAIN::id);
    if (panel < 0) return false;
    hMainPanel = panel;
    return true;
}

void SetCurPanel(int panel) {
    hCurPanel = panel;
}

bool ScatterAllPanels() {
    return RunEvery(Pages().scatterOrder, &Page::scatter);
}

bool GatherAllPanels() {
    const PageRegistry& registry = Pages();
    for (std::uint8_t i : registry.gatherOrder)
        if (!registry.pages[i].gather()) return false;
    return true;
}

int Exit(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    if (!MayRunCommand()) return 1;
    // A page that cannot be read back must not hide the edits of the pages after it from the unsaved-data
    // question: every page that can be read is read, the failure is reported, then the question follows.
    if (!RunEvery(Pages().gatherOrder, &Page::gather)) MessagePopup("Quit Application", szGenericError);
    if (!DiscardNewEcuData()) return 1;
    QuitUserInterface(0);
    return 0;
}

int MainCallBack(int, int, int event, void*, int, int) {
    if (CheckfBusy()) return 0;
    if (event == EVENT_END_TASK)
        return Exit(hMainPanel, MAIN::CBexit, EVENT_COMMIT, nullptr, 0, 0) != 0 ? 1 : 0;
    return 0;
}

namespace {

// The cancel action of each dialog, reached by its close box and by Escape.
struct DialogCancel {
    const int* panel;
    CtrlCallbackPtr callback;
    int cancelControl;
};

const DialogCancel kDialogCancels[] = {
    {&hPwdPanel, SetProtection, PWD::CBcancel},
    {&hEcuPanel, DlgEcuDataSelection, ECUSELZ::CBcancel},
    {&hMpvPanel, DlgMapVal, MAPVAL::CBcancel},
    {&hMtvPanel, DlgTuneMapVal, TUNEMAPVAL::CBcancel},
    // The value and calibration dialogs of the table pages have no other way out than Cancel either.
    {&hIj1Vpanel, DlgInjVal, INJVAL::CBcancel},
    {&hAdvVpanel, DlgAdvVal, ADVVAL::CBcancel},
    {&hLrtPanel, SetAutoFarf, LNRGAS::CBcancel},
};

void HideGraphPanel(bool (*show)(bool), const char* title) {
    if (!show(false)) MessagePopup(title, szGenericError);
}

} // namespace

int DlgGenericPanel(int panel, int event, void*, int eventData1, int) {
    if (CheckfBusy()) return 0;
    const bool close = event == EVENT_CLOSE;
    const bool escape = event == EVENT_KEYPRESS && (eventData1 & ~VAL_MODIFIER_MASK) == VAL_ESC_VKEY;
    if (!close && !escape) return 0;
    if (panel == hMainPanel) {
        if (close) Exit(panel, MAIN::CBexit, EVENT_COMMIT, nullptr, 0, 0);
        return 0;
    }
    for (const DialogCancel& d : kDialogCancels) {
        if (*d.panel != panel) continue;
        d.callback(panel, d.cancelControl, EVENT_COMMIT, nullptr, 0, 0);
        return escape ? 1 : 0;
    }
    if (close && panel == hPltPanel) HideGraphPanel(ShowPltPanel, "3D Graph");
    if (close && panel == hGrpPanel) HideGraphPanel(ShowGrpPanel, "2D Graph");
    return 0;
}

void ShowConfigName(const char* name, std::uint8_t kind) {
    if (const int control = NameControl(kind)) SetCtrlVal(hMainPanel, control, name);
}

int GetConfigName(char* buf, std::size_t size, std::uint8_t kind) {
    if (size == 0) return UIE_BadValue;
    if (const int control = NameControl(kind))
        return GetCtrlVal(hMainPanel, control, std::span<char>(buf, size));
    CopyText("_Ooops!_", std::span<char>(buf, size));
    return 0;
}
