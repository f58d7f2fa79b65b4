#include "orvane/core/ecudata.h"

#include "orvane/core/mainwin.h"
#include "orvane/params/cocedit.h"
#include "platform/ui/userint.h"

#include <cstring>
#include <string>

const char szForeignData[] = "Invalid data!\nData stored by another application.";

namespace {

template <class Data> bool SameBytes(const Data& a, const Data& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

// These popups can come in the middle of a transfer or a load: the wait cursor gives way while they ask.
void HeaderMessagePopup(const char* title, const char* text) {
    const MouseCursorScope pointer(VAL_DEFAULT_CURSOR);
    MessagePopup(title, text);
}

bool HeaderConfirmPopup(const char* title, const char* text) {
    const MouseCursorScope pointer(VAL_DEFAULT_CURSOR);
    return ConfirmPopup(title, text) != 0;
}

void CopyEcuDataToRef(std::uint16_t kind) {
    if (kind == kParKind) ecuParRefData = ecuParData;
    if (kind == kMapKind) ecuMapRefData = ecuMapData;
}

bool IsEcuDataChanged(std::uint16_t kind) {
    if (kind == kParKind) return !SameBytes(ecuParData, ecuParRefData);
    if (kind == kMapKind) return !SameBytes(ecuMapData, ecuMapRefData);
    return false;
}

void InitEcuRefData() {
    CopyEcuDataToRef(kParKind);
    CopyEcuDataToRef(kMapKind);
}

bool DiscardNewEcuData() {
    const bool parChanged = IsEcuDataChanged(kParKind);
    const bool mapChanged = IsEcuDataChanged(kMapKind);
    const bool cocChanged = NewCocEditData();
    if (!parChanged && !mapChanged && !cocChanged) return true;
    std::string text = "Updated ECU file data:";
    if (parChanged) text += "\n- Configuration data";
    if (mapChanged) text += "\n- Mapping data";
    if (cocChanged) text += "\n- CO-Correction Edit data";
    text += "\n\nExit without saving changes?";
    return ConfirmPopup("Updated ECU file", text.c_str()) != 0;
}
