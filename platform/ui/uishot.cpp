// uishot <file.uir> <PANEL|resourceId> <out.png>: renders one panel of a resource to a PNG file, with a
// do-nothing callback registered under every callback name the resource uses.
#include "platform/ui/resource.h"
#include "platform/ui/uitest.h"
#include "platform/ui/userint.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

int IgnoreCtrl(int, int, int, void*, int, int) {
    return 0;
}
int IgnorePanel(int, int, void*, int, int) {
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: uishot <file.uir> <PANEL|resourceId> <out.png>\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string file = std::filesystem::absolute(argv[1]).string();
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    const std::optional<uir::Resource> res = uir::Parse(argv[1], text.str(), error);
    if (!in || !res) {
        std::fprintf(stderr, "%s\n", in ? error.c_str() : ("cannot read " + file).c_str());
        return 1;
    }
    int id = std::atoi(argv[2]);
    for (const uir::PanelDef& p : res->panels) {
        if (p.name == argv[2]) id = p.resourceId;
        if (!p.callback.empty()) RegisterPanelCallback(p.callback, IgnorePanel);
        for (const uir::ControlDef& c : p.controls)
            if (!c.callback.empty()) RegisterCtrlCallback(c.callback, IgnoreCtrl);
    }
    const int panel = LoadPanel(0, file.c_str(), id);
    if (panel < 0) {
        std::fprintf(stderr, "%s\n", GetLastLoadError());
        return 1;
    }
    DisplayPanel(panel);
    ProcessSystemEvents();
    if (uitest::GrabPanelToPng(panel, argv[3]) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
