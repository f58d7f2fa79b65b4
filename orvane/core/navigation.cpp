#include "orvane/core/navigation.h"

#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/pageregistry.h"
#include "platform/ui/userint.h"

int lastInjPage = -1;
int lastParmPage = -1;
int lastLnrPage = -1;
int lastCfgPage = -1;
int lastLivePage = -1;

namespace {

struct GroupMemory {
    PageGroup group;
    int* memory;
    bool fillAlwaysSucceeds; // the live pages count as filled whatever their fill says
};

const GroupMemory kInjGroup{PageGroup::Injection, &lastInjPage, false};
const GroupMemory kParmGroup{PageGroup::Parameters, &lastParmPage, false};
const GroupMemory kLnrGroup{PageGroup::Linearizations, &lastLnrPage, false};
const GroupMemory kCfgGroup{PageGroup::Configuration, &lastCfgPage, false};
const GroupMemory kLiveGroup{PageGroup::Live, &lastLivePage, true};

} // namespace

bool MayLeaveCurrentPage() {
    const Page* page = FindPage(hCurPanel);
    return page == nullptr || page->mayLeave == nullptr || page->mayLeave();
}

bool LeaveCurrentPage() {
    if (!MayLeaveCurrentPage()) return false;
    const Page* page = FindPage(hCurPanel);
    if (page != nullptr && page->onLeave != nullptr) page->onLeave();
    return true;
}

void ReportSwitchError(bool error) {
    if (error) MessagePopup("Panel Change", szGenericError);
}

void ShowPage(int target) {
    const int previous = hCurPanel;
    DisplayPanel(target);
    SetCurPanel(target);
    if (previous != hMainPanel && previous != target) HidePanel(previous);
}

namespace {

// The tab line of a page shows the page itself, so that a click on any other tab is a change.
void SelectOwnTab(int panel) {
    const Page* page = FindPage(panel);
    if (page != nullptr && page->tabControl != 0)
        SetActiveTabPage(panel, page->tabControl, IndexInGroup(page->group, panel));
}

// The common tail of every switch: read all pages back, fill the target, leave the page shown and
// show the target. A failed gather or fill does not stop the switch; it is reported afterwards.
template <typename Fill> void SwitchTo(int target, Fill fill) {
    bool error = true;
    if (GatherAllPanels()) error = !fill();
    if (!LeaveCurrentPage()) {
        SelectOwnTab(hCurPanel); // the page stays: its tab line must not show the tab clicked
        return;
    }
    ShowPage(target);
    ReportSwitchError(error);
}

bool NoFill() {
    return true;
}

// Selects the page's own tab, then fills it.
bool FillGroupPage(const GroupMemory& group, int index) {
    const Page& page = GroupPage(group.group, index);
    SetActiveTabPage(*page.handle, page.tabControl, index);
    return page.scatter() || group.fillAlwaysSucceeds;
}

int GroupSwitch(const GroupMemory& group, int panel, int control, int event) {
    if (CheckfBusy()) return 0;
    const int size = GroupSize(group.group);
    const int memoryIndex = IndexInGroup(group.group, *group.memory);
    if (event == EVENT_COMMIT && panel == hMainPanel) {
        int target;
        if (memoryIndex < 0)
            target = *GroupPage(group.group, 0).handle;
        else if (*group.memory != hCurPanel)
            target = *group.memory;
        else
            target = *GroupPage(group.group, (memoryIndex + 1) % size).handle;
        if (target == hCurPanel || !MayRunCommand()) return 0;
        *group.memory = target;
    } else if (event == EVENT_ACTIVE_TAB_CHANGE) {
        int tab = -1;
        GetActiveTabPage(panel, control, &tab);
        if (tab >= 0 && tab < size) *group.memory = *GroupPage(group.group, tab).handle;
        if (IndexInGroup(group.group, *group.memory) < 0) return 0;
    } else {
        return 0;
    }
    const int index = IndexInGroup(group.group, *group.memory);
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

bool SwitchToSinglePage(int event, int target, bool (*fill)()) {
    if (CheckfBusy() || event != EVENT_COMMIT || hCurPanel == target || !MayRunCommand()) return false;
    SwitchTo(target, fill != nullptr ? fill : NoFill);
    return hCurPanel == target;
}

int Info(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || hCurPanel == hMainPanel || !MayRunCommand()) return 0;
    const bool error = !GatherAllPanels();
    if (!LeaveCurrentPage()) return 0;
    HidePanel(hCurPanel);
    SetCurPanel(hMainPanel);
    ReportSwitchError(error);
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
