#include "orvane/core/maintimer.h"

#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/pageregistry.h"
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

bool IsLivePage(int panel) {
    const Page* page = FindPage(panel);
    return page != nullptr && page->group == PageGroup::Live;
}

// The periodic exchange of the page shown; a page without one (and the main window) pings.
bool PageExchange() {
    const Page* page = FindPage(hCurPanel);
    if (page != nullptr && page->timer != nullptr) return page->timer();
    return Ping();
}

} // namespace

bool LiveTick(LiveExchange exchange, std::uint8_t page) {
    if (fEcuProtected != lastProtected) {
        lastProtected = fEcuProtected;
        fRefreshLive = 1;
    }
    const bool ok = exchange(fRefreshLive, page);
    fRefreshLive = isComOpen ? 0 : 1;
    return ok;
}

namespace {

void UpdateMainWindow() {
    const bool open = isComOpen != 0;
    const bool tuning = IsEcuTuning();
    SetCtrlVal(hMainPanel, MAIN::TBcom, open ? 1 : 0);
    SetCtrlAttribute(hMainPanel, MAIN::TBcom, ATTR_ON_COLOR, !open ? 0 : fEcuProtected ? VAL_RED : VAL_GREEN);
    SetCtrlAttribute(hMainPanel, MAIN::RINGport, ATTR_DIMMED, open ? 1 : 0);
    SetCtrlAttribute(hMainPanel, MAIN::CBload, ATTR_DIMMED, tuning ? 1 : 0);
    SetCtrlAttribute(hMainPanel, MAIN::CBstore, ATTR_DIMMED, tuning ? 1 : 0);
    SetCtrlAttribute(hMainPanel, MAIN::CBsend, ATTR_DIMMED, open && !fSending && !tuning ? 0 : 1);
    SetCtrlAttribute(hMainPanel, MAIN::CBreceive, ATTR_DIMMED, open && !fReceiving && !tuning ? 0 : 1);
}

} // namespace

void SetSending(bool running) {
    fSending = running ? 1 : 0;
}

void SetReceiving(bool running) {
    fReceiving = running ? 1 : 0;
}

void RequestLiveRefresh() {
    fRefreshLive = 1;
}

int MainTimer(int, int, int event, void*, int, int) {
    if (event != EVENT_TIMER_TICK || CheckfBusy()) return 0;
    TickFamilies();
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

namespace {

// The bar at done of total; hidden at total 0.
void ShowProgress(unsigned done, unsigned total) {
    if (total == 0) {
        SetCtrlAttribute(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE, 0);
        return;
    }
    const auto percent = static_cast<unsigned>(100.0 * done / total);
    SetCtrlVal(hMainPanel, MAIN::NSprogressBar, static_cast<int>(percent));
    SetCtrlAttribute(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE, 1);
}

} // namespace

void SetProgressBar(unsigned done, unsigned total) {
    ShowProgress(done, total);
    ProcessMyEvents(total == 0 ? 1 : 0);
}

void DrawProgressBar(unsigned done, unsigned total) {
    ShowProgress(done, total);
    ProcessDrawEvents();
}
