#include "orvane/core/navigation.h"

#include "orvane/config/config.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/live/diagnost.h"
#include "orvane/live/live.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/plot.h"
#include "orvane/params/params.h"
#include "orvane/tables/tables.h"
#include "orvane/tuning/map2.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <span>

int lastInjPage = -1;
int lastParmPage = -1;
int lastLnrPage = -1;
int lastCfgPage = -1;
int lastLivePage = -1;
int lastMapPage = -1;

namespace {

struct GroupPage {
    const int* panel;
    int tabControl; // the group's tab control on this page
    bool (*scatter)();
};

struct PageGroup {
    std::span<const GroupPage> pages;
    int* memory;
    bool fillAlwaysSucceeds; // the live pages count as filled whatever their fill says
};

const GroupPage kInjPages[] = {{&hIj1Panel, INJ1::TPselectInj, ScatterIj1Panel},
                               {&hIj2Panel, INJ2::TPselectInj, ScatterIj2Panel}};
const GroupPage kParmPages[] = {{&hPr1Panel, PARM1::TPselectParm, ScatterPr1Panel},
                                {&hPr2Panel, PARM2::TPselectParm, ScatterPr2Panel},
                                {&hPr3Panel, PARM3::TPselectParm, ScatterPr3Panel},
                                {&hPr4Panel, PARM4::TPselectParm, ScatterPr4Panel},
                                {&hPr5Panel, PARM5::TPselectParm, ScatterPr5Panel},
                                {&hPr6Panel, PARM6::TPselectParm, ScatterPr6Panel},
                                {&hPr7Panel, PARM7::TPselectParm, ScatterPr7Panel},
                                {&hPr8Panel, PARM8::TPselectParm, ScatterPr8Panel},
                                {&hPr9Panel, PARM9::TPselectParm, ScatterPr9Panel},
                                {&hPr10Panel, PARM10::TPselectParm, ScatterPr10Panel}};
const GroupPage kLnrPages[] = {{&hLn1Panel, LNR1::TPselectLnr, ScatterLn1Panel},
                               {&hLn2Panel, LNR2::TPselectLnr, ScatterLn2Panel}};
const GroupPage kCfgPages[] = {{&hCg1Panel, CONFIG1::TPselectConfig, ScatterCg1Panel},
                               {&hCg2Panel, CONFIG2::TPselectConfig, ScatterCg2Panel},
                               {&hCg3Panel, CONFIG3::TPselectConfig, ScatterCg3Panel},
                               {&hCg4Panel, CONFIG4::TPselectConfig, ScatterCg4Panel},
                               {&hCaqPanel, CANACQ::TPselectConfig, ScatterCaqPanel}};
const GroupPage kLivePages[] = {{&hLv1Panel, LIVE1::TPselectLive, ScatterLv1Panel},
                                {&hLv2Panel, LIVE2::TPselectLive, ScatterLv2Panel}};

const PageGroup kInjGroup{kInjPages, &lastInjPage, false};
const PageGroup kParmGroup{kParmPages, &lastParmPage, false};
const PageGroup kLnrGroup{kLnrPages, &lastLnrPage, false};
const PageGroup kCfgGroup{kCfgPages, &lastCfgPage, false};
const PageGroup kLiveGroup{kLivePages, &lastLivePage, true};

int IndexInGroup(const PageGroup& group, int panel) {
    for (std::size_t i = 0; i < group.pages.size(); ++i)
        if (*group.pages[i].panel == panel) return static_cast<int>(i);
    return -1;
}

// Leaves the page shown for the target: the CAN warning may keep the CAN page; leaving the map
// editor hides its graphs; leaving the tuning page refills the map editor.
bool LeaveCurrentPage() {
    if (hCurPanel == hCaqPanel && !IgnoreCaqWarning()) return false;
    if (hCurPanel == hMainPanel) return true;
    if (hCurPanel == hMp1Panel) {
        ShowPltPanel(false);
        ShowGrpPanel(false);
    }
    if (hCurPanel == hMp2Panel) ScatterMp1Panel();
    return true;
}

void ShowPage(int target) {
    const int previous = hCurPanel;
    DisplayPanel(target);
    hCurPanel = target;
    if (previous != hMainPanel && previous != target) HidePanel(previous);
}

void ReportSwitchError(bool error) {
    if (error) MessagePopup("Panel Change", szGenericError);
}

// The common tail of every switch: read all pages back, fill the target, leave the page shown and
// show the target. A failed gather or fill does not stop the switch; it is reported afterwards.
template <typename Fill> void SwitchTo(int target, Fill fill) {
    bool error = true;
    if (GatherAllPanels()) error = !fill();
    if (!LeaveCurrentPage()) return;
    ShowPage(target);
    ReportSwitchError(error);
}

bool NoFill() {
    return true;
}

// Selects the page's own tab, then fills it.
bool FillGroupPage(const PageGroup& group, int index) {
    const GroupPage& page = group.pages[index];
    SetActiveTabPage(*page.panel, page.tabControl, index);
    return page.scatter() || group.fillAlwaysSucceeds;
}

int GroupSwitch(const PageGroup& group, int panel, int control, int event) {
    if (CheckfBusy()) return 0;
    const int memoryIndex = IndexInGroup(group, *group.memory);
    if (event == EVENT_COMMIT && panel == hMainPanel) {
        int target;
        if (memoryIndex < 0)
            target = *group.pages[0].panel;
        else if (*group.memory != hCurPanel)
            target = *group.memory;
        else
            target = *group.pages[(memoryIndex + 1) % group.pages.size()].panel;
        if (target == hCurPanel || !AbortManualTuning()) return 0;
        *group.memory = target;
    } else if (event == EVENT_ACTIVE_TAB_CHANGE) {
        int tab = -1;
        GetActiveTabPage(panel, control, &tab);
        if (tab >= 0 && tab < static_cast<int>(group.pages.size())) *group.memory = *group.pages[tab].panel;
        if (IndexInGroup(group, *group.memory) < 0) return 0;
    } else {
        return 0;
    }
    const int index = IndexInGroup(group, *group.memory);
    SwitchTo(*group.memory, [&] { return FillGroupPage(group, index); });
    return 0;
}

} // namespace

int Injection(int panel, int control, int event, void*, int, int) {
    return GroupSwitch(kInjGroup, panel, control, event);
}
int Parameters(int panel, int control, int event, void*, int, int) {
    return GroupSwitch(kParmGroup, panel, control, event);
}
int Linearizations(int panel, int control, int event, void*, int, int) {
    return GroupSwitch(kLnrGroup, panel, control, event);
}
int Configuration(int panel, int control, int event, void*, int, int) {
    return GroupSwitch(kCfgGroup, panel, control, event);
}
int Live(int panel, int control, int event, void*, int, int) {
    return GroupSwitch(kLiveGroup, panel, control, event);
}

int Advance(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || hCurPanel == hAdvPanel || !AbortManualTuning()) return 0;
    SwitchTo(hAdvPanel, ScatterAdvPanel);
    return 0;
}

int Diagnost(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || hCurPanel == hDgnPanel || !AbortManualTuning()) return 0;
    SwitchTo(hDgnPanel, NoFill);
    if (hCurPanel == hDgnPanel) SetCtrlVal(hDgnPanel, DIAGN::STRdgnPwd, "");
    return 0;
}

int Info(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || hCurPanel == hMainPanel || !AbortManualTuning()) return 0;
    const bool error = !GatherAllPanels();
    if (!LeaveCurrentPage()) return 0;
    HidePanel(hCurPanel);
    hCurPanel = hMainPanel;
    ReportSwitchError(error);
    return 0;
}

int Maps(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || hCurPanel == hMp1Panel) return 0;
    if (hCurPanel == hMp2Panel) {
        lastMapPage = hMp1Panel;
        if (!AbortManualTuning()) return 0;
    }
    bool error = true;
    if (GatherAllPanels()) {
        if (lastMapPage != hMp2Panel) {
            SetTuningPageMode(IsMapTuning(), false);
            error = !ScatterMp1Panel();
        } else {
            error = !ScatterMp2Panel();
        }
    }
    if (hCurPanel == hCaqPanel && !IgnoreCaqWarning()) return 0;
    if (lastMapPage != hMp2Panel) lastMapPage = hMp1Panel;
    if (lastMapPage == hMp2Panel) ScatterMp2Panel();
    ShowPage(lastMapPage);
    ReportSwitchError(error);
    return 0;
}

namespace {

// Shows the tuning page in automatic (1) or manual (0) mode.
void ShowTuningPage(bool automatic) {
    bool error = true;
    if (GatherAllPanels()) {
        SetTuningPageMode(automatic, !automatic);
        lastMapPage = hMp2Panel;
        error = !ScatterMp2Panel();
    }
    if (!LeaveCurrentPage()) return;
    ShowPage(lastMapPage == hMp2Panel ? hMp2Panel : hMp1Panel);
    ReportSwitchError(error);
}

} // namespace

int MapsTuneAuto(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || (hCurPanel == hMp2Panel && isTuningAuto)) return 0;
    if (!AbortManualTuning()) return 0;
    ShowTuningPage(true);
    return 0;
}

int MapsTuneManual(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || (hCurPanel == hMp2Panel && isTuningManual)) return 0;
    ShowTuningPage(false);
    return 0;
}

bool ScrollToShowCtrl(int panel, int control) {
    int top = 0, height = 0, offset = 0, panelHeight = 0;
    if (GetCtrlAttribute(panel, control, ATTR_TOP, &top) < 0 ||
        GetCtrlAttribute(panel, control, ATTR_HEIGHT, &height) < 0 ||
        GetPanelAttribute(panel, ATTR_VSCROLL_OFFSET, &offset) < 0 ||
        GetPanelAttribute(panel, ATTR_HEIGHT, &panelHeight) < 0)
        return false;
    if (top < offset) return SetPanelAttribute(panel, ATTR_VSCROLL_OFFSET, top) >= 0;
    if (top + height > offset + panelHeight)
        return SetPanelAttribute(panel, ATTR_VSCROLL_OFFSET, top + height - panelHeight) >= 0;
    return true;
}
