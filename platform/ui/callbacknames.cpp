// The callbacks registered under their names.
#include "platform/ui/callbacknames.h"

#include <map>

namespace ui {
namespace {

std::map<std::string, CtrlCallbackPtr, std::less<>> ctrlCallbacks;
std::map<std::string, PanelCallbackPtr, std::less<>> panelCallbacks;

} // namespace

CtrlCallbackPtr FindCtrlCallback(std::string_view name) {
    const auto it = ctrlCallbacks.find(name);
    return it == ctrlCallbacks.end() ? nullptr : it->second;
}

PanelCallbackPtr FindPanelCallback(std::string_view name) {
    const auto it = panelCallbacks.find(name);
    return it == panelCallbacks.end() ? nullptr : it->second;
}

bool CheckCallbacks(std::string_view fileName, const uir::PanelDef& panel, std::string& error) {
    const auto unknown = [&](int line, const std::string& name) {
        error = std::string(fileName) + ":" + std::to_string(line) + ": unknown callback '" + name + "'";
        return false;
    };
    if (!panel.callback.empty() && !FindPanelCallback(panel.callback))
        return unknown(panel.line, panel.callback);
    for (const uir::ControlDef& c : panel.controls)
        if (!c.callback.empty() && !FindCtrlCallback(c.callback)) return unknown(c.line, c.callback);
    return true;
}

} // namespace ui

void RegisterCtrlCallback(std::string_view name, CtrlCallbackPtr fn) {
    ui::ctrlCallbacks[std::string(name)] = fn;
}

void RegisterPanelCallback(std::string_view name, PanelCallbackPtr fn) {
    ui::panelCallbacks[std::string(name)] = fn;
}
