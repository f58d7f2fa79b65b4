// The panel resource parser fed arbitrary text: it either parses it or names the line it refuses.
#include "platform/ui/resource.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto parsed =
        uir::Parse("fuzz.uir", std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (!parsed && error.empty()) __builtin_trap();
    return 0;
}
