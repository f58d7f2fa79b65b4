#include "orvane/core/maintimer.h"

#include "orvane/config/config.h"
#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "orvane/core/mainwin.h"
#include "orvane/live/diagnost.h"
#include "orvane/live/live.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/map1.h"
#include "orvane/params/params.h"
#include "orvane/tables/tables.h"
#include "orvane/tuning/map2.h"
#include "orvane/ui/screen.h"
#include "platform/sys/utility.h"
#include "platform/ui/userint.h"

#include <cmath>

std::uint8_t fBusy = 0;
std::uint8_t linkErrCount = 0;
std::uint8_t fRefreshLive = 1;
std::uint8_t lastProtected = 0;
std::uint8_t fSending = 0;
std::uint8_t fReceiving = 0;

namespace {

double lastPumpTime = 0; // program clock of the last paced pump
int prevTimerPanel = 0;  // the page seen by the previous tick

constexpr int kMaxLinkErrors = 5; // the 6th failed tick in a row closes the link

struct PageTimer {
    const int* panel;
    bool (*timer)();
};

// The periodic exchange of every page that has one besides the live pages; any other page pings.
const PageTimer kPageTimers[] = {
    {&hMp1Panel, Mp1Timer}, {&hMp2Panel, Mp2Timer}, {&hIj1Panel, Ij1Timer},   {&hIj2Panel, Ij2Timer},
    {&hAdvPanel, AdvTimer}, {&hPr1Panel, Pr1Timer}, {&hPr2Panel, Pr2Timer},   {&hPr3Panel, Pr3Timer},
    {&hPr4Panel, Pr4Timer}, {&hPr5Panel, Pr5Timer}, {&hPr6Panel, Pr6Timer},   {&hPr7Panel, Pr7Timer},
    {&hPr8Panel, Pr8Timer}, {&hPr9Panel, Pr9Timer}, {&hPr10Panel, Pr10Timer}, {&hLn1Panel, Ln1Timer},
    {&hLn2Panel, Ln2Timer}, {&hCaqPanel, CaqTimer}, {&hCg1Panel, Cg1Timer},   {&hCg2Panel, Cg2Timer},
    {&hCg3Panel, Cg3Timer}, {&hDgnPanel, DgnTimer},
};

bool IsLivePage(int panel) {
    return panel == hLv1Panel || panel == hLv2Panel;
}

bool LiveTick(std::uint8_t page) {
    if (fEcuProtected != lastProtected) {
        lastProtected = fEcuProtected;
        fRefreshLive = 1;
    }
    const bool ok = LivTimer(fRefreshLive, page);
    fRefreshLive = isComOpen ? 0 : 1;
    return ok;
}

bool PageExchange() {
    if (hCurPanel == hLv1Panel) return LiveTick(0);
    if (hCurPanel == hLv2Panel) return LiveTick(1);
    for (const PageTimer& p : kPageTimers)
        if (*p.panel == hCurPanel) return p.timer();
    return Ping();
}

void UpdateMainWindow() {
    const bool open = isComOpen != 0;
    const bool tuning = IsMapTuning();
    SetCtrlVal(hMainPanel, MAIN::TBcom, open ? 1 : 0);
    SetCtrlAttribute(hMainPanel, MAIN::TBcom, ATTR_ON_COLOR, !open ? 0 : fEcuProtected ? VAL_RED : VAL_GREEN);
    SetCtrlAttribute(hMainPanel, MAIN::RINGport, ATTR_DIMMED, open ? 1 : 0);
    SetCtrlAttribute(hMainPanel, MAIN::CBload, ATTR_DIMMED, tuning ? 1 : 0);
    SetCtrlAttribute(hMainPanel, MAIN::CBstore, ATTR_DIMMED, tuning ? 1 : 0);
    SetCtrlAttribute(hMainPanel, MAIN::CBsend, ATTR_DIMMED, open && !fSending && !tuning ? 0 : 1);
    SetCtrlAttribute(hMainPanel, MAIN::CBreceive, ATTR_DIMMED, open && !fReceiving && !tuning ? 0 : 1);
}

} // namespace

int MainTimer(int, int, int event, void*, int, int) {
    if (event != EVENT_TIMER_TICK || CheckfBusy()) return 0;
    int graphVisible = 0;
    if (GetPanelAttribute(hGrpPanel, ATTR_VISIBLE, &graphVisible) >= 0 && graphVisible) GrpTimer();
    if (hCurPanel != prevTimerPanel) {
        if (!(IsLivePage(hCurPanel) && IsLivePage(prevTimerPanel))) fRefreshLive = 1;
        prevTimerPanel = hCurPanel;
    }
    if (PageExchange())
        linkErrCount = 0;
    else if (linkErrCount < kMaxLinkErrors)
        ++linkErrCount;
    else
        CloseComPort();
    UpdateMainWindow();
    return 0;
}

bool CheckfBusy() {
    return fBusy != 0;
}

void ProcessMyEvents(std::uint8_t force) {
    if (!force && Timer() - lastPumpTime < 1.0) {
        ProcessDrawEvents();
        return;
    }
    fBusy = 1;
    ProcessSystemEvents();
    fBusy = 0;
    if (!force) lastPumpTime = Timer();
}

void SetProgressBar(unsigned done, unsigned total) {
    if (total == 0) {
        SetCtrlAttribute(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE, 0);
        ProcessMyEvents(1);
        return;
    }
    const auto percent = static_cast<unsigned>(100.0 * done / total);
    SetCtrlVal(hMainPanel, MAIN::NSprogressBar, static_cast<int>(percent));
    SetCtrlAttribute(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE, 1);
    ProcessMyEvents(0);
}
