#include "orvane/maps/plot.h"

#include "orvane/core/mainwin.h"
#include "orvane/core/page.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

int hPltPanel = -1;
std::uint8_t fPltShown = 0;

bool InitPltPanel() {
    if (LoadPage(0, PLOT::id, hPltPanel)) return true;
    MessagePopup("3D Plot Panel", szGenericError);
    return false;
}

bool ShowPltPanel(bool show) {
    if ((show ? DisplayPanel(hPltPanel) : HidePanel(hPltPanel)) < 0) return false;
    fPltShown = show ? 1 : 0;
    return true;
}

// The surface, its cursor and the objects behind them come with the plot itself; until then there is
// nothing to draw, move or release.
bool ScatterPltPanel() {
    return true;
}

bool SetPltCursor(int, int) {
    return true;
}

void ReleasePltPanel() {}
