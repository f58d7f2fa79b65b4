#include "kestil/window.h"

#include "kestil/screen.h"
#include "kestil/settings.h"
#include "platform/sys/utility.h"
#include "platform/ui/userint.h"
#include "shared/portlink.h"
#include "shared/portring.h"

#include <cstdio>
#include <string>

int hMainPanel = 0;
bool fQuit = false;
bool fProgramming = false;

const char appName[] = "Kestil";
const std::uint16_t appRelease = 0x0300;
const char appExtra[] = "";

namespace {

constexpr int kLastComPort = 255;

// Exit, the close box and the end of the task: all wait while a run is under way, as an ECU left half
// programmed has no working application.
void RequestQuit() {
    if (!fProgramming) fQuit = true;
}

} // namespace

void SetProgramming(bool running) {
    fProgramming = running;
}

bool StartKestil() {
    SetProgramName(appName);
    const int panel = LoadPanel(0, "screen.uir", KESTIL::id);
    if (panel < 0) return false;
    hMainPanel = panel;
    InstallMainCallback(KestilMainCallback, nullptr, 0);
    ReadInitFile();
    InitPortList();
    SetMainTitle(nullptr);
    Timer();
    return true;
}

bool SetMainTitle(const char* text) {
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, text != nullptr ? "%s v%u.%u%s    <" : "%s v%u.%u%s", appName,
                  appRelease >> 8u, appRelease & 0xFFu, appExtra);
    std::string title = prefix;
    if (text != nullptr) {
        title = title.append(text).substr(0, kTitleSize - 1);
        title += '>';
    }
    return SetPanelAttribute(hMainPanel, ATTR_TITLE, title.c_str()) >= 0;
}

void InitPortList() {
    ClearListCtrl(hMainPanel, KESTIL::RINGport);
    InsertListItem(hMainPanel, KESTIL::RINGport, -1, "USB", -1);
    for (int n = 1; n <= kLastComPort; ++n) {
        char label[16];
        std::snprintf(label, sizeof label, "COM%d", n);
        if (ProbeComPort(label)) InsertListItem(hMainPanel, KESTIL::RINGport, -1, label, n);
    }
    ShowPortChoice(hMainPanel, KESTIL::RINGport, cfg.port);
}

void OpenComPort() {
    SetSettingsPort(OpenPortOfRing(hMainPanel, KESTIL::RINGport, cfg.port));
}

int SetComPort(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    if (fProgramming) {
        ShowPortChoice(hMainPanel, KESTIL::RINGport, cfg.port);
        return 0;
    }
    CloseComPort();
    OpenComPort();
    WriteInitFile();
    return 0;
}

int Exit(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) RequestQuit();
    return 0;
}

int KestilPanel(int, int event, void*, int, int) {
    if (event == EVENT_CLOSE) RequestQuit();
    return 0;
}

int KestilMainCallback(int, int, int event, void*, int, int) {
    if (event != EVENT_END_TASK) return 0;
    RequestQuit();
    return 1; // the timer ends the loop, so that a run under way is never cut off
}
