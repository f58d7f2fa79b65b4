// uilayout [--grow WxH] <file.uir> [PANEL...]: lays out every panel of a resource (or the panels named) and
// prints each visible control's place in its window ("PANEL CONTROL x y w h", caption boxes as
// "CONTROL:caption"), then every fault a reader would see (see layoutcheck.h): boxes outside their panel,
// overlapping or crossing a frame's border, and texts and values that do not fit their boxes. With --grow,
// every resizable panel is laid out and checked again enlarged by W x H pixels (its controls moved and
// stretched by their anchors), printed as "PANEL@WxH". Exit status 1 when there is a fault.
#include "platform/ui/layer.h"
#include "platform/ui/layoutcheck.h"
#include "platform/ui/userint.h"
#include "tools/uitool.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The leak check (sanitizer builds, where the layout check runs too) skips the font library's caches,
// which live as long as the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

int CheckPanel(int handle) {
    const ui::Panel& p = *ui::FindPanel(handle);
    const std::string name = p.w == p.designW && p.h == p.designH
                                 ? p.name
                                 : p.name + "@" + std::to_string(p.w) + "x" + std::to_string(p.h);
    for (const uitest::LayoutBox& b : uitest::LayoutBoxes(handle))
        std::printf("%s %s %d %d %d %d\n", name.c_str(), b.name.c_str(), b.x, b.y, b.w, b.h);
    const std::vector<std::string> faults = uitest::LayoutFaults(handle);
    for (const std::string& f : faults)
        std::printf("FAULT %s: %s\n", name.c_str(), f.c_str());
    return static_cast<int>(faults.size());
}

} // namespace

int main(int argc, char** argv) {
    const auto usage = [] {
        std::fprintf(stderr, "usage: uilayout [--grow WxH] <file.uir> [PANEL...]\n");
        return 2;
    };
    int growW = 0, growH = 0;
    if (argc > 2 && std::string(argv[1]) == "--grow") {
        if (std::sscanf(argv[2], "%dx%d", &growW, &growH) != 2 || growW < 0 || growH < 0) return usage();
        argv += 2;
        argc -= 2;
    }
    if (argc < 2) return usage();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string file;
    const std::optional<uir::Resource> res = LoadToolResource(argv[1], file);
    if (!res) return 2;
    int faults = 0;
    const std::vector<std::string> only(argv + 2, argv + argc);
    for (const uir::PanelDef& def : res->panels) {
        if (!only.empty() && std::find(only.begin(), only.end(), def.name) == only.end()) continue;
        const int panel = LoadPanel(0, file.c_str(), def.resourceId);
        if (panel < 0) {
            std::fprintf(stderr, "%s\n", GetLastLoadError());
            return 2;
        }
        DisplayPanel(panel);
        ProcessSystemEvents();
        faults += CheckPanel(panel);
        if (def.resizable && (growW > 0 || growH > 0)) {
            SetPanelAttribute(panel, ATTR_WIDTH, def.w + growW);
            SetPanelAttribute(panel, ATTR_HEIGHT, def.h + growH);
            ProcessSystemEvents();
            faults += CheckPanel(panel);
        }
        DiscardPanel(panel);
    }
    std::printf("%d fault(s)\n", faults);
    return faults == 0 ? 0 : 1;
}
