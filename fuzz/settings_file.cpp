// The settings file fed arbitrary bytes: whatever it holds, the remembered paths read from it end inside
// their fields and the popup position stays on the screen.
#include "orvane/core/ui/settings.h"
#include "platform/sys/utility.h"

#include <cstdint>
#include <cstring>
#include <fstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    char dir[1024];
    char path[1100];
    GetProjectDir(dir);
    MakePathname(dir, "dervalon.ini", path);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    ReadInitFile();
    for (const char* field : {cfg.mapFile, cfg.parFile, cfg.mtpFile, cfg.cocFile})
        if (strnlen(field, sizeof cfg.mapFile) == sizeof cfg.mapFile) __builtin_trap();
    if (cfg.point.x < 0 || cfg.point.y < 5) __builtin_trap();
    return 0;
}
