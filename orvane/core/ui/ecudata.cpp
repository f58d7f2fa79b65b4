#include "orvane/core/ui/ecudata.h"

#include "orvane/core/logic/images.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/pageregistry.h"
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

bool ConfirmUnsavedData(const char* title, const char* question, const std::string& extraLines) {
    std::string lines;
    if (IsEcuDataChanged(kParKind)) lines += "\n- Configuration data";
    if (IsEcuDataChanged(kMapKind)) lines += "\n- Mapping data";
    lines += extraLines;
    if (lines.empty()) return true;
    const std::string text = "Updated ECU file data:" + lines + "\n\n" + question;
    return ConfirmPopup(title, text.c_str(), ConfirmDefault::No) != 0;
}

bool DiscardNewEcuData() {
    return ConfirmUnsavedData("Updated ECU file", "Exit without saving changes?", UnsavedFamilyData());
}
