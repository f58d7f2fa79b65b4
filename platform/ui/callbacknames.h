// The callbacks the program registered under the names its resources use. Internal to platform/ui.
#pragma once

#include "platform/ui/resource.h"
#include "platform/ui/userint.h"

#include <string>
#include <string_view>

namespace ui {

CtrlCallbackPtr FindCtrlCallback(std::string_view name);
PanelCallbackPtr FindPanelCallback(std::string_view name);
// Every callback the panel names must be registered; else error names the line.
bool CheckCallbacks(std::string_view fileName, const uir::PanelDef& panel, std::string& error);

} // namespace ui
