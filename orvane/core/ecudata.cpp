#include "orvane/core/ecudata.h"

#include "orvane/core/mainwin.h"
#include "orvane/params/cocedit.h"
#include "platform/ui/userint.h"

#include <cstring>
#include <string>

const char appDataName[] = "Orvane";
const char szForeignData[] = "Invalid data!\nData stored by another application.";

namespace {

// Copies text into a fixed field, zero-filling the rest; a text that fills the field has no terminator.
template <std::size_t N> void PutField(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    std::memcpy(field, text, strnlen(text, N));
}

} // namespace

void MakeDataHeader(DataHeader& header) {
    PutField(header.name, appDataName);
    header.version = appVer;
    header.subVersion = appSub;
    PutField(header.suffix, appExtra);
    std::memset(header.zero, 0, sizeof header.zero);
}

int CheckDataHeader(const DataHeader& header) {
    DataHeader own;
    MakeDataHeader(own);
    if (std::memcmp(header.name, own.name, sizeof own.name) != 0) return -1;
    if (header.version != own.version || header.subVersion != own.subVersion) return -2;
    if (std::memcmp(header.suffix, own.suffix, sizeof own.suffix) != 0) return -3;
    return 0;
}

std::string DataHeaderText(const DataHeader& header) {
    std::string text(header.name, strnlen(header.name, sizeof header.name));
    text += " v" + std::to_string(header.version) + "." + std::to_string(header.subVersion);
    text.append(header.suffix, strnlen(header.suffix, sizeof header.suffix));
    return text;
}

// These popups can come in the middle of a transfer or a load: the wait cursor gives way while they ask.
void HeaderMessagePopup(const char* title, const char* text) {
    const MouseCursorScope pointer(VAL_DEFAULT_CURSOR);
    MessagePopup(title, text);
}

bool HeaderConfirmPopup(const char* title, const char* text) {
    const MouseCursorScope pointer(VAL_DEFAULT_CURSOR);
    return ConfirmPopup(title, text) != 0;
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
