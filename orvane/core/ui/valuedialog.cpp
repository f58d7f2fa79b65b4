#include "orvane/core/ui/valuedialog.h"

#include "platform/ui/userint.h"

bool RunValueDialog(int panel, const SettingsPoint& pos, int zoom, bool& done) {
    if (pos.x != kUnplaced &&
        (SetPanelAttribute(panel, ATTR_TOP, pos.y) < 0 || SetPanelAttribute(panel, ATTR_LEFT, pos.x) < 0))
        return false;
    if (SetPanelAttribute(panel, ATTR_WINDOW_ZOOM, zoom) < 0 || InstallPopup(panel) < 0) return false;
    done = false;
    while (!done)
        WaitSystemEvents();
    return RemovePopup(0) >= 0;
}

bool RememberValueDialogPlace(int panel, SettingsPoint& pos, int& zoom) {
    int shown = 0;
    if (GetPanelAttribute(panel, ATTR_WINDOW_ZOOM, &shown) < 0) return false;
    zoom = shown;
    if (zoom != VAL_NO_ZOOM) return true;
    int top = 0;
    int left = 0;
    if (GetPanelAttribute(panel, ATTR_TOP, &top) < 0 || GetPanelAttribute(panel, ATTR_LEFT, &left) < 0)
        return false;
    pos = {left, top};
    return true;
}
