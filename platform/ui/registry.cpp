// Registered callbacks and resources, and the cache of parsed resources.
#include "platform/ui/registry.h"

#include "platform/sys/textout.h"
#include "platform/sys/utility.h"

#include <array>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace ui {
namespace {

std::map<std::string, CtrlCallbackPtr, std::less<>> ctrlCallbacks;
std::map<std::string, PanelCallbackPtr, std::less<>> panelCallbacks;

struct ResourceEntry {
    std::optional<std::string> registeredText;
    bool parsed = false;
    std::optional<uir::Resource> resource;
    std::string error;
};
std::map<std::string, ResourceEntry, std::less<>> resources;

std::optional<std::string> ReadResourceFile(std::string_view fileName) {
    std::string path(fileName);
    if (!path.empty() && path[0] != '/') {
        std::array<char, 4096> dir{};
        if (GetProjectDir(dir) != 0) return std::nullopt;
        path = std::string(dir.data()) + "/" + path;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

CtrlCallbackPtr FindCtrlCallback(std::string_view name) {
    const auto it = ctrlCallbacks.find(name);
    return it == ctrlCallbacks.end() ? nullptr : it->second;
}

PanelCallbackPtr FindPanelCallback(std::string_view name) {
    const auto it = panelCallbacks.find(name);
    return it == panelCallbacks.end() ? nullptr : it->second;
}

const uir::Resource* GetResource(std::string_view fileName, std::string& error) {
    ResourceEntry& e = resources[std::string(fileName)];
    if (!e.parsed) {
        const std::optional<std::string> text =
            e.registeredText ? e.registeredText : ReadResourceFile(fileName);
        if (!text) {
            error = std::string(fileName) + ": cannot read the resource";
            return nullptr; // not cached: the file may appear later
        }
        e.resource = uir::Parse(fileName, *text, e.error);
        e.parsed = true;
    }
    if (!e.resource) error = e.error;
    return e.resource ? &*e.resource : nullptr;
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

void RegisterResource(std::string_view fileName, std::string_view text) {
    ui::resources[std::string(fileName)] = ui::ResourceEntry{std::string(text)};
}

int ValidateResource(std::string_view fileName, std::span<char> err) {
    std::string error;
    const uir::Resource* res = ui::GetResource(fileName, error);
    if (res)
        for (const uir::PanelDef& p : res->panels)
            if (!ui::CheckCallbacks(fileName, p, error)) break;
    CopyText(error, err);
    return error.empty() ? UIE_NoError : UIE_Resource;
}
