#include "orvane/tuning/map2.h"

#include "orvane/core/connect.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/page.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

int hMp2Panel = 0;
int hMtvPanel = 0;
std::uint8_t isTuningAuto = 0;
std::uint8_t isTuningManual = 0;
SettingsPoint posMtvPanel = {kUnplaced, kUnplaced};
int zoomMtvPanel = 0;

namespace {
std::uint8_t ecuTuning = 0; // the ECU reported a running map tuning
} // namespace

bool InitMp2Panel(int parent) {
    return LoadPage(parent, TUNEMAPVAL::id, hMtvPanel) && LoadPage(parent, MAPS2::id, hMp2Panel);
}

bool ScatterMp2Panel() {
    return true;
}

bool Mp2Timer() {
    return Ping();
}

void SetTuneStatusInfo(std::uint8_t, std::uint8_t isTuning, std::uint8_t) {
    ecuTuning = isTuning;
}

bool IsMapTuning() {
    return ecuTuning != 0;
}

// No manual tuning can run until the tuning exchange exists, so there is nothing to stop.
bool AbortManualTuning() {
    return true;
}

bool LoadMtSettings(int) {
    return false;
}

// Until the tuning values can be edited, every button of the popup closes it.
int DlgTuneMapVal(int, int, int event, void*, int, int) {
    if (CheckfBusy()) return 0;
    if (event == EVENT_COMMIT) RemovePopup(0);
    return 0;
}
