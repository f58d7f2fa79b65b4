#include "orvane/core/ecudata.h"

#include "orvane/core/mainwin.h"
#include "orvane/core/pageregistry.h"
#include "platform/ui/userint.h"

#include <string>

const char szForeignData[] = "Invalid data!\nData stored by another application.";

// These popups can come in the middle of a transfer or a load: the wait cursor gives way while they ask.
void HeaderMessagePopup(const char* title, const char* text) {
    const MouseCursorScope pointer(VAL_DEFAULT_CURSOR);
    MessagePopup(title, text);
}

bool HeaderConfirmPopup(const char* title, const char* text) {
    const MouseCursorScope pointer(VAL_DEFAULT_CURSOR);
    return ConfirmPopup(title, text, ConfirmDefault::No) != 0;
}

bool DiscardNewEcuData() {
    const bool parChanged = IsEcuDataChanged(kParKind);
    const bool mapChanged = IsEcuDataChanged(kMapKind);
    const std::string othersChanged = UnsavedFamilyData();
    if (!parChanged && !mapChanged && othersChanged.empty()) return true;
    std::string text = "Updated ECU file data:";
    if (parChanged) text += "\n- Configuration data";
    if (mapChanged) text += "\n- Mapping data";
    text += othersChanged;
    text += "\n\nExit without saving changes?";
    return ConfirmPopup("Updated ECU file", text.c_str(), ConfirmDefault::No) != 0;
}
