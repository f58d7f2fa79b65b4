// Switching among the pages shown inside the main window: the groups behind the main-window buttons with
// their tab lines, the main window alone, and the steps of a switch for the pages that switch their own
// way (the map pages, the pages outside the groups).
#pragma once

// The last page of each group, -1 until one was shown.
extern int lastInjPage, lastParmPage, lastLnrPage, lastCfgPage, lastLivePage;

int Injection(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Parameters(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Linearizations(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Configuration(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Live(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Info(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// The switch from a main-window button to a page outside the groups: nothing while busy, for another
// event, when target is shown or when a command may not run now (MayRunCommand); else every page is read
// back, fill (null: none) fills the target, and the target is shown. True when the target is shown
// afterwards.
bool SwitchToSinglePage(int event, int target, bool (*fill)());

// The steps of a switch. False when the page shown must stay (the CAN warning may keep the CAN page).
bool MayLeaveCurrentPage();
// Leaves the page shown: asks it first, then lets it tidy up (the map editor hides its graphs; the
// tuning page refills the map editor). False when it stays.
bool LeaveCurrentPage();
// Shows target in place of the page shown (the main window itself is never hidden).
void ShowPage(int target);
// The popup "Panel Change" after a switch whose read-back or fill failed.
void ReportSwitchError(bool error);

// Scrolls the panel vertically so that the control is wholly visible.
bool ScrollToShowCtrl(int panel, int control);
