// Where each program keeps its settings record: "dervalon.ini" in its own program folder. Both programs
// use the same name; each writes only its own record.
#pragma once

#include "platform/sys/utility.h"

#include <span>

inline constexpr char kSettingsFile[] = "dervalon.ini";

inline void SettingsPath(std::span<char> path) {
    char dir[1024];
    GetProjectDir(dir);
    MakePathname(dir, kSettingsFile, path);
}
