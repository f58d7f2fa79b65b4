#include "orvane/config/config.h"
#include "orvane/core/com.h"
#include "orvane/core/datafile.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/ecuselect.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/protect.h"
#include "orvane/core/settings.h"
#include "orvane/live/diagnost.h"
#include "orvane/live/live.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/plot.h"
#include "orvane/params/cocedit.h"
#include "orvane/params/params.h"
#include "orvane/tables/tables.h"
#include "orvane/tuning/map2.h"
#include "orvane/ui/screen.h"
#include "platform/sys/utility.h"
#include "platform/ui/userint.h"

#include <cstdio>

namespace {

// Every page and popup, loaded under the main window in this order; any failure ends the start-up.
bool (*const kInitOrder[])(int) = {
    InitMp1Panel,  InitMp2Panel, InitIj1Panel, InitIj2Panel, InitAdvPanel, InitPr1Panel, InitPr2Panel,
    InitPr3Panel,  InitPr4Panel, InitPr5Panel, InitPr6Panel, InitPr7Panel, InitPr8Panel, InitPr9Panel,
    InitPr10Panel, InitLn1Panel, InitLn2Panel, InitCaqPanel, InitCg1Panel, InitCg2Panel, InitCg3Panel,
    InitCg4Panel,  InitDgnPanel, InitLv1Panel, InitLv2Panel, InitPwdPanel, InitEcuPanel,
};

// Loads the last data file of a kind without asking. Only a file that is adopted shows its name (the load
// shows it); a refused or unreadable one leaves the name empty.
void LoadLastDataFile(std::uint8_t kind) {
    ShowConfigName("", kind);
    LoadEcu(0, kind);
}

void SetMainTitle() {
    char title[128];
    std::snprintf(title, sizeof title, "%s %s v%u.%u%s", appName, appSubname, appVer, appSub, appExtra);
    if (SetPanelAttribute(hMainPanel, ATTR_TITLE, title) < 0) return;
    SetCtrlVal(hMainPanel, MAIN::TMappSubname1, appSubname);
    SetCtrlVal(hMainPanel, MAIN::TMappSubname2, appSubname);
}

constexpr int kDebugFields[] = {MAIN::TMdebug1, MAIN::TMdebug2, MAIN::TMdebug3,
                                MAIN::TMdebug4, MAIN::TMdebug5, MAIN::TMdebug6,
                                MAIN::TMdebug7, MAIN::TMdebug8, MAIN::TMdebug9};

} // namespace

bool StartOrvane() {
    if (InstallMainCallback(MainCallBack, nullptr, 0) < 0) return false;
    const int main = LoadPanel(0, "screen.uir", MAIN::id);
    if (main < 0) return false;
    hMainPanel = main;
    for (auto init : kInitOrder)
        if (!init(hMainPanel)) return false;
    hCurPanel = hMainPanel;

    ReadInitFile();
    InitPortList();
    LoadLastDataFile(1);
    LoadLastDataFile(2);

    ScatterAllPanels();
    GatherAllPanels();
    InitEcuRefData();
    LoadMtSettings(0);
    LoadCocEditData(0);

    SetMainTitle();
    for (int control : kDebugFields)
        SetCtrlAttribute(hMainPanel, control, ATTR_VISIBLE, 0);
    Timer();
    return true;
}

void StopOrvane() {
    if (isComOpen) CloseComPort();
    WriteInitFile();
    ReleasePltPanel();
}

int OrvaneMain() {
    if (!StartOrvane()) return -1;
    DisplayPanel(hCurPanel);
    RunUserInterface();
    StopOrvane();
    return 0;
}
