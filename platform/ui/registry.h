// Callback names and resources known to the layer. Internal to platform/ui.
#pragma once

#include "platform/ui/resource.h"
#include "platform/ui/userint.h"

#include <string>
#include <string_view>

namespace ui {

CtrlCallbackPtr FindCtrlCallback(std::string_view name);
PanelCallbackPtr FindPanelCallback(std::string_view name);
// The parsed resource, read and parsed once; nullptr with error set when it is missing or malformed.
const uir::Resource* GetResource(std::string_view fileName, std::string& error);
// Every callback the panel names must be registered; else error names the line.
bool CheckCallbacks(std::string_view fileName, const uir::PanelDef& panel, std::string& error);

} // namespace ui
