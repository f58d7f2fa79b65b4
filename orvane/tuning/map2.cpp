#include "orvane/tuning/map2.h"

#include "orvane/core/com.h"
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

void SetTuningPageMode(bool automatic, bool manual) {
    isTuningAuto = automatic ? 1 : 0;
    isTuningManual = manual ? 1 : 0;
}

void ResetMtvPlace() {
    posMtvPanel = {kUnplaced, kUnplaced};
    zoomMtvPanel = 0;
}

namespace {

// The ECU's tuning state as the last accepted Ping reported it.
enum TuningState : std::uint8_t { kLocked = 0, kNotTuning = 1, kManual = 2, kAutomatic = 3 };
std::uint8_t tuningState = kNotTuning;

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

void SetTuneStatusInfo(std::uint8_t isLocked, std::uint8_t isTuning, std::uint8_t isAuto) {
    tuningState = isLocked ? kLocked : !isTuning ? kNotTuning : isAuto ? kAutomatic : kManual;
}

// A closed link tunes nothing, whatever the last reply said.
bool IsMapTuning() {
    return (tuningState == kManual || tuningState == kAutomatic) && isComOpen;
}

// Stopping a manual tuning needs the tuning exchange, which the program does not start yet; until then
// nothing it started can be running, so the main window may always go on.
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
