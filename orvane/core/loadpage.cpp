#include "orvane/core/loadpage.h"

#include "platform/ui/userint.h"

bool LoadPage(int parent, int resourceId, int& handle) {
    const int h = LoadPanel(parent, "screen.uir", resourceId);
    if (h < 0) return false;
    handle = h;
    return true;
}
