// The panels of the program's resource as it lays them out, for tests that visit its controls by name or
// by kind.
#pragma once

#include "orvane/ui/screen.h"
#include "platform/ui/resource.h"
#include "platform/ui/userint.h"

#include <optional>
#include <string>

inline const uir::Resource& ProgramResource() {
    static const uir::Resource resource = [] {
        std::string error;
        return uir::Parse("screen.uir", kScreenUir, error).value_or(uir::Resource{});
    }();
    return resource;
}

// The resource's panel with this constant name; null when none.
inline const uir::PanelDef* ResourcePanel(const std::string& name) {
    for (const uir::PanelDef& p : ProgramResource().panels)
        if (p.name == name) return &p;
    return nullptr;
}

// The resource's panel of a page that the program has loaded into the main window, by its title (the
// pages' titles differ; a popup may share one with a page, but it has no place in a parent); null when
// none.
inline const uir::PanelDef* ResourcePanelOfPage(int panel) {
    char title[256] = "";
    GetPanelAttribute(panel, ATTR_TITLE, title);
    for (const uir::PanelDef& p : ProgramResource().panels)
        if (p.title == title && p.atX) return &p;
    return nullptr;
}
