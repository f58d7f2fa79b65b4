#include "orvane/tables/tables.h"

#include "orvane/core/com.h"
#include "orvane/core/plainpage.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

int hIj1Vpanel = 0;
int hAdvVpanel = 0;
int hLnrGasPanel = 0;
SettingsPoint posInjVpanel = {kUnplaced, kUnplaced};
SettingsPoint posAdvVpanel = {kUnplaced, kUnplaced};
int zoomInjVpanel = 0;
int zoomAdvVpanel = 0;

void ResetValuePopupPlaces() {
    posInjVpanel = posAdvVpanel = {kUnplaced, kUnplaced};
    zoomInjVpanel = zoomAdvVpanel = 0;
}

ORVANE_PLAIN_PAGE_DATA(Ij1)
ORVANE_PLAIN_PAGE(Ij2, INJ2)
ORVANE_PLAIN_PAGE_DATA(Adv)
ORVANE_PLAIN_PAGE_DATA(Ln1)
ORVANE_PLAIN_PAGE(Ln2, LNR2)

// A page with a popup loads the popup first, under the same parent.
bool InitIj1Panel(int parent) {
    return LoadPage(parent, INJVAL::id, hIj1Vpanel) && LoadPage(parent, INJ1::id, hIj1Panel);
}
bool InitAdvPanel(int parent) {
    return LoadPage(parent, ADVVAL::id, hAdvVpanel) && LoadPage(parent, ADV::id, hAdvPanel);
}
bool InitLn1Panel(int parent) {
    return LoadPage(parent, LNRGAS::id, hLnrGasPanel) && LoadPage(parent, LNR1::id, hLn1Panel);
}

ORVANE_PING_TIMER(Ij1)
ORVANE_PING_TIMER(Ij2)
ORVANE_PING_TIMER(Adv)
ORVANE_PING_TIMER(Ln2)

// The calibration needs the ECU: its button is dimmed while the link is closed.
bool Ln1Timer() {
    SetCtrlAttribute(hLn1Panel, LNR1::CBcalibrationFarf, ATTR_DIMMED, isComOpen ? 0 : 1);
    return Ping();
}
