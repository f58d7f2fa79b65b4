// The resources known to the layer: registered texts or files read, each parsed once. Internal to
// platform/ui.
#pragma once

#include "platform/ui/resource.h"

#include <string>
#include <string_view>

namespace ui {

// The parsed resource, read and parsed once; nullptr with error set when it is missing or malformed.
const uir::Resource* GetResource(std::string_view fileName, std::string& error);

} // namespace ui
