#include "orvane/maps/graph2d.h"

#include "orvane/core/page.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

int hGrpPanel = -1;
std::uint8_t fGrpShown = 0;

bool InitGrpPanel() {
    return LoadPage(0, GRAPH::id, hGrpPanel);
}

bool ShowGrpPanel(bool show) {
    if ((show ? DisplayPanel(hGrpPanel) : HidePanel(hGrpPanel)) < 0) return false;
    fGrpShown = show ? 1 : 0;
    return !show || ScatterGrpPanel();
}

// The graph draws nothing yet: there is no line to follow the map table.
bool ScatterGrpPanel() {
    return true;
}

bool GrpTimer() {
    return true;
}
