// The port ring of the main window and the link opening that reads it.
#include "orvane/core/com.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/settings.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

void InitPortList() {
    ClearListCtrl(hMainPanel, MAIN::RINGport);
    InsertListItem(hMainPanel, MAIN::RINGport, -1, "USB", -1);
    SetCtrlVal(hMainPanel, MAIN::RINGport, static_cast<int>(cfg.port));
}

bool GetChosenPort(int& index, std::int16_t& port) {
    return GetCtrlIndex(hMainPanel, MAIN::RINGport, &index) >= 0 &&
           GetValueFromIndex(hMainPanel, MAIN::RINGport, index, &port) >= 0;
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
    if (!named || !OpenPortLink(cfg.port, label)) {
        isComOpen = 0;
        cfg.port = 0;
    }
}
