#include "tools/uitool.h"

#include "platform/ui/userint.h"

#include <cstdio>
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

std::optional<uir::Resource> LoadToolResource(const char* path, std::string& file) {
    file = std::filesystem::absolute(path).string();
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    std::optional<uir::Resource> res = uir::Parse(path, text.str(), error);
    if (!in || !res) {
        std::fprintf(stderr, "%s\n", in ? error.c_str() : ("cannot read " + file).c_str());
        return std::nullopt;
    }
    for (const uir::PanelDef& p : res->panels) {
        if (!p.callback.empty()) RegisterPanelCallback(p.callback, IgnorePanel);
        for (const uir::ControlDef& c : p.controls)
            if (!c.callback.empty()) RegisterCtrlCallback(c.callback, IgnoreCtrl);
    }
    return res;
}
