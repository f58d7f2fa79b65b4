// Text files read line by line through small integer handles.
#include "platform/sys/textout.h"
#include "platform/sys/utility.h"

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::map<int, std::unique_ptr<std::FILE, FileCloser>> openFiles;
int nextHandle = 1;

} // namespace

int OpenFile(const char* path) {
    if (path == nullptr) return -1;
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path, "rb"));
    if (!f) return -1;
    const int handle = nextHandle++;
    openFiles.emplace(handle, std::move(f));
    return handle;
}

int ReadLine(int file, std::span<char> line) {
    const auto it = openFiles.find(file);
    if (it == openFiles.end() || line.empty()) return -1;
    std::FILE* f = it->second.get();
    std::string text;
    int c = std::fgetc(f);
    if (c == EOF) return std::ferror(f) ? -1 : -2;
    for (; c != EOF && c != '\n'; c = std::fgetc(f))
        text += static_cast<char>(c);
    if (std::ferror(f)) return -1;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    CopyText(text, line);
    return static_cast<int>(text.size() < line.size() ? text.size() : line.size() - 1);
}

int CloseFile(int file) {
    return openFiles.erase(file) == 1 ? 0 : -1;
}
