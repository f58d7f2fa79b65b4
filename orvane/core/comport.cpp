// The port ring of the main window and the link opening that reads it.
#include "orvane/core/com.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/settings.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

namespace {

// Selects the ring item of cfg.port. A port the list does not offer (a new settings file holds 0) leaves
// the first item selected rather than none, so that Connect still opens the adapter.
void ShowChosenPort() {
    int index = -1;
    GetIndexFromValue(hMainPanel, MAIN::RINGport, &index, cfg.port);
    SetCtrlIndex(hMainPanel, MAIN::RINGport, index >= 0 ? index : 0);
}

// Index and value of the selected ring item; false when either query fails.
bool GetChosenPort(int& index, std::int16_t& port) {
    return GetCtrlIndex(hMainPanel, MAIN::RINGport, &index) >= 0 &&
           GetValueFromIndex(hMainPanel, MAIN::RINGport, index, &port) >= 0;
}

} // namespace

void InitPortList() {
    ClearListCtrl(hMainPanel, MAIN::RINGport);
    InsertListItem(hMainPanel, MAIN::RINGport, -1, "USB", -1);
    ShowChosenPort();
}

int SetComPort(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    int index = -1;
    std::int16_t port = 0;
    cfg.port = GetChosenPort(index, port) ? port : 0;
    WriteInitFile();
    ShowChosenPort();
    return 0;
}

void OpenComPort() {
    if (isComOpen) return;
    int index = -1;
    std::int16_t port = 0;
    char label[64] = "";
    const bool chosen = GetChosenPort(index, port);
    if (chosen) cfg.port = port;
    const bool named =
        chosen && (port < 0 || GetLabelFromIndex(hMainPanel, MAIN::RINGport, index, label) >= 0);
    if (!named || !OpenPortLink(cfg.port, label)) cfg.port = 0; // the link stays closed
}
