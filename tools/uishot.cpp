// uishot [--popup] <file.uir> <PANEL|resourceId> <out.png> [WxH]: renders one panel of a resource to a PNG
// file, with a do-nothing callback registered under every callback name the resource uses; sized W x H when
// given (a resizable panel's controls follow by their anchors); with --popup as it opens as a popup, the
// focus on its first choice.
#include "platform/ui/uitest.h"
#include "platform/ui/userint.h"
#include "tools/uitool.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const bool popup = argc > 1 && std::strcmp(argv[1], "--popup") == 0;
    if (popup) {
        --argc;
        ++argv;
    }
    int w = 0, h = 0;
    if ((argc != 4 && argc != 5) || (argc == 5 && std::sscanf(argv[4], "%dx%d", &w, &h) != 2)) {
        std::fprintf(stderr, "usage: uishot [--popup] <file.uir> <PANEL|resourceId> <out.png> [WxH]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string file;
    const std::optional<uir::Resource> res = LoadToolResource(argv[1], file);
    if (!res) return 1;
    int id = std::atoi(argv[2]);
    for (const uir::PanelDef& p : res->panels)
        if (p.name == argv[2]) id = p.resourceId;
    const int panel = LoadPanel(0, file.c_str(), id);
    if (panel < 0) {
        std::fprintf(stderr, "%s\n", GetLastLoadError());
        return 1;
    }
    if (argc == 5) {
        SetPanelAttribute(panel, ATTR_WIDTH, w);
        SetPanelAttribute(panel, ATTR_HEIGHT, h);
    }
    if (popup)
        InstallPopup(panel);
    else
        DisplayPanel(panel);
    ProcessSystemEvents();
    if (uitest::GrabPanelToPng(panel, argv[3]) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
