#include "orvane/core/ui/mainwin.h"

#include "orvane/core/logic/images.h"
#include "orvane/core/ui/ecudata.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/pageregistry.h"
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
    if (kind == kParKind) return MAIN::TMecuParName;
    if (kind == kMapKind) return MAIN::TMecuMapName;
    return 0;
}

// Runs the operation of every page in the order even when one fails; true when all succeeded. Every page
// of the order has it (the table's compile-time check holds it).
bool RunEvery(std::span<const std::uint8_t> order, PageOp Page::*op) {
    bool ok = true;
    for (std::uint8_t i : order)
        ok = (Pages().pages[i].*op)() && ok;
    return ok;
}

} // namespace

bool LoadMainPanel() {
    SetProgramName(appName);
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

int DlgGenericPanel(int panel, int event, void*, int eventData1, int) {
    if (CheckfBusy()) return 0;
    const int key = event == EVENT_KEYPRESS ? eventData1 & ~VAL_MODIFIER_MASK : 0;
    const bool close = event == EVENT_CLOSE;
    const bool escape = key == VAL_ESC_VKEY;
    const bool enter = key == VAL_ENTER_VKEY;
    if (!close && !escape && !enter) return 0;
    if (panel == hMainPanel) {
        if (close) Exit(panel, MAIN::CBexit, EVENT_COMMIT, nullptr, 0, 0);
        return 0;
    }
    const Dialog* dialog = FindDialog(panel);
    if (dialog == nullptr) return 0;
    // Enter that reaches the panel comes from a field (a focused button has pressed itself): the dialog's
    // first button.
    if (enter) {
        if (dialog->enterControl == 0) return 0;
        dialog->buttons(panel, dialog->enterControl, EVENT_COMMIT, nullptr, 0, 0);
        return 1;
    }
    if (dialog->buttons != nullptr) {
        dialog->buttons(panel, dialog->cancelControl, EVENT_COMMIT, nullptr, 0, 0);
        return escape ? 1 : 0;
    }
    if (close) dialog->close();
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
