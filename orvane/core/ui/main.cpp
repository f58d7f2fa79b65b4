#include "orvane/core/logic/com.h"
#include "orvane/core/logic/dataheader.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/comport.h"
#include "orvane/core/ui/datafile.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/pageregistry.h"
#include "orvane/core/ui/settings.h"
#include "orvane/ui/screen.h"
#include "platform/sys/utility.h"
#include "platform/ui/userint.h"

#include <cstdio>

namespace {

// Whether start-up loaded the remembered data file of each kind (configuration, mapping).
bool lastFileLoaded[2] = {};

// Loads the last data file of a kind without asking. Only a file that is adopted shows its name (the load
// shows it); a file left for the user's word or an unreadable one leaves the name empty.
void LoadLastDataFile(std::uint8_t kind) {
    ShowConfigName("", kind);
    lastFileLoaded[kind - 1] = LoadEcu(kLoadSilently, kind);
}

// A remembered file that start-up left unloaded but remembered waits for the user's word, asked for as
// Load asks; the pages then show what the images hold. A kind with no remembered file finds no path and
// asks nothing.
void AskAboutLastDataFiles() {
    bool asked = false;
    for (const std::uint16_t kind : {kParKind, kMapKind})
        if (!lastFileLoaded[kind - 1]) asked = LoadEcu(kLoadRemembered, kind) || asked;
    if (asked) ScatterAllPanels();
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
    if (!LoadMainPanel()) return false;
    const PageRegistry& registry = Pages();
    for (std::uint8_t i : registry.initOrder)
        if (!registry.pages[i].init(hMainPanel)) return false;
    SetCurPanel(hMainPanel);

    ReadInitFile();
    InitPortList();
    LoadLastDataFile(1);
    LoadLastDataFile(2);

    ScatterAllPanels();
    GatherAllPanels();
    InitEcuRefData();
    StartFamilies();

    SetMainTitle();
    for (int control : kDebugFields)
        SetCtrlAttribute(hMainPanel, control, ATTR_VISIBLE, 0);
    Timer();
    return true;
}

void StopOrvane() {
    if (isComOpen) CloseComPort();
    WriteInitFile();
    StopFamilies();
}

void ShowOrvane() {
    DisplayPanel(hCurPanel);
    AskAboutLastDataFiles();
}

int OrvaneMain() {
    if (!StartOrvane()) return -1;
    ShowOrvane();
    RunUserInterface();
    StopOrvane();
    return 0;
}
