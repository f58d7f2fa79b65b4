// CO-Corr. parameter page: the CO-correction function's limits and steps in the mapping image, and its two
// maps, shown from the mapping image or, in edit mode, from the CO-correction edit data.
#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/page.h"
#include "orvane/params/cocedit.h"
#include "orvane/params/params.h"
#include "orvane/params/resets.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <cstring>

int hPr9Panel = 0;

namespace {

constexpr std::uint16_t kDefaultMsCoc = 100;

int lastCommitted = 0; // the control of the last commit on the page

} // namespace

void InitPr9Data() {
    std::memset(ecuMapData.w29B24, 0, sizeof ecuMapData.w29B24);
    std::memset(ecuMapData.b29B3C, 0, sizeof ecuMapData.b29B3C);
    ecuMapData.w29B24[6] = kDefaultMsCoc;
    std::memset(&ecuMapData.cocMapA, 0, sizeof ecuMapData.cocMapA);
    std::memset(&ecuMapData.cocMapB, 0, sizeof ecuMapData.cocMapB);
    InitCocEditData();
}

bool InitPr9Panel(int parent) {
    if (!LoadPage(parent, PARM9::id, hPr9Panel)) return false;
    InitPr9Data();
    return true;
}

bool ScatterPr9Panel() {
    return true;
}

bool GatherPr9Panel() {
    return true;
}

bool Pr9Timer() {
    const int noEdit = fCocEditMode == 0 ? 1 : 0;
    const int noLink = (fCocEditMode == 0 || isComOpen == 0) ? 1 : 0;
    if (SetCtrlAttribute(hPr9Panel, PARM9::CBcocSave, ATTR_DIMMED, noEdit) < 0 ||
        SetCtrlAttribute(hPr9Panel, PARM9::CBcocLoad, ATTR_DIMMED, noEdit) < 0 ||
        SetCtrlAttribute(hPr9Panel, PARM9::CBcocSend, ATTR_DIMMED, noLink) < 0 ||
        SetCtrlAttribute(hPr9Panel, PARM9::CBcocReceive, ATTR_DIMMED, noLink) < 0)
        return false;
    return Ping();
}

namespace {

// The commit of one control; false shows the page's error popup.
bool CommitPr9(int control) {
    switch (control) {
    case PARM9::TBcocEdit: {
        if (!GatherPr9Panel()) return false;
        int on = 0;
        GetCtrlVal(hPr9Panel, PARM9::TBcocEdit, &on);
        SetCocEditMode(static_cast<std::uint8_t>(on));
        ScatterPr9Panel();
        return true;
    }
    case PARM9::CBcocReset:
        return SendCocReset();
    case PARM9::CBcocLoad:
        if (!GatherPr9Panel()) return false;
        LoadCocEditData(1);
        ScatterPr9Panel();
        return true;
    case PARM9::CBcocSave:
        if (!GatherPr9Panel()) return false;
        StoreCocEditData();
        return true;
    case PARM9::CBcocReceive:
        return GatherPr9Panel() && ReceiveCocEditMap() && ScatterPr9Panel();
    case PARM9::CBcocSend:
        return GatherPr9Panel() && SendCocEditMap() && ScatterPr9Panel();
    case PARM9::TBcocByPair:
    case PARM9::RINGcocA:
    case PARM9::CKBcocAcyl1:
    case PARM9::CKBcocAcyl2:
    case PARM9::CKBcocAcyl3:
    case PARM9::CKBcocAcyl4:
    case PARM9::RINGcocB:
    case PARM9::CKBcocBcyl1:
    case PARM9::CKBcocBcyl2:
    case PARM9::CKBcocBcyl3:
    case PARM9::CKBcocBcyl4:
        return GatherPr9Panel() && ScatterPr9Panel();
    default:
        return true;
    }
}

// The exchanges with the ECU must not interleave their frames with a transfer that pumps events.
bool TalksToEcu(int control) {
    return control == PARM9::CBcocReset || control == PARM9::CBcocReceive || control == PARM9::CBcocSend;
}

} // namespace

// Gathers and scatters even while the program is busy (harmless there); only the exchanges wait.
int DoPr9Event(int, int control, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    lastCommitted = control;
    if (TalksToEcu(control) && CheckfBusy()) return 0;
    if (!CommitPr9(control)) MessagePopup("Parameters CO-Correction", szGenericError);
    return 0;
}
