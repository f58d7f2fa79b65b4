// The registered resources and the cache of parsed resources.
#include "platform/ui/resourcecache.h"

#include "platform/sys/textout.h"
#include "platform/sys/utility.h"
#include "platform/ui/callbacknames.h"
#include "platform/ui/userint.h"

#include <array>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace ui {
namespace {

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

} // namespace ui

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
