// Program directory and path composition; '/' and '\\' both separate directories.
#include "platform/sys/textout.h"
#include "platform/sys/utility.h"

#include <array>
#include <string>
#include <unistd.h>

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

} // namespace

int GetProjectDir(std::span<char> dir) {
    std::array<char, 4096> exe{};
    const ssize_t n = readlink("/proc/self/exe", exe.data(), exe.size() - 1);
    if (n <= 0) return -1;
    std::string_view path(exe.data(), static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    path = slash == 0 ? std::string_view("/") : path.substr(0, slash);
    return CopyText(path, dir) ? 0 : -1;
}

int MakePathname(const char* dir, const char* file, std::span<char> path) {
    if (dir == nullptr || file == nullptr) return -1;
    std::string joined(dir);
    if (!joined.empty() && !IsSeparator(joined.back())) joined += '/';
    joined += file;
    return CopyText(joined, path) ? 0 : -1;
}

int SplitPath(const char* path, std::span<char> drive, std::span<char> dir, std::span<char> file) {
    if (path == nullptr) return -1;
    const std::string_view p(path);
    std::size_t cut = 0; // index just past the last separator
    for (std::size_t i = 0; i < p.size(); ++i)
        if (IsSeparator(p[i])) cut = i + 1;
    if (!drive.empty()) CopyText("", drive);
    if (!dir.empty()) CopyText(p.substr(0, cut), dir);
    if (!file.empty()) CopyText(p.substr(cut), file);
    return 0;
}
