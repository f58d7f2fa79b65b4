// The port ring of the main window and the link opening that reads it.
#include "orvane/core/ui/comport.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/settings.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"
#include "shared/portring.h"

void InitPortList() {
    ClearListCtrl(hMainPanel, MAIN::RINGport);
    InsertListItem(hMainPanel, MAIN::RINGport, -1, "USB", -1);
    ShowPortChoice(hMainPanel, MAIN::RINGport, cfg.port);
}

int SetComPort(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    std::int16_t port = 0;
    SetSettingsPort(GetPortChoice(hMainPanel, MAIN::RINGport, port) ? port : 0);
    WriteInitFile();
    ShowPortChoice(hMainPanel, MAIN::RINGport, cfg.port);
    return 0;
}

void OpenComPort() {
    SetSettingsPort(OpenPortOfRing(hMainPanel, MAIN::RINGport, cfg.port));
}
