// The map pages behind the main window's Maps button: the map editor and the tuning page, and the map
// editor's buttons that show the tuning page in automatic or manual mode.
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/navigation.h"
#include "orvane/maps/map1.h"
#include "orvane/tuning/map2.h"
#include "platform/ui/userint.h"

int lastMapPage = -1;

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
    if (!MayLeaveCurrentPage()) return 0;
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
