#include "kestil/firmware.h"

#include "kestil/bload.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

struct TagKind {
    const char* tag;
    int kind;
};
// Compared in this order; the first match wins.
constexpr TagKind kTags[] = {
    {"DrvlnKap", KIND_OPEN_5600},
    {"DrvlnTmk", KIND_TMK_5600},
    {"DvlKap55", KIND_OPEN_5534},
    {"DvlTmk55", KIND_TMK_5534},
};

// A new, empty temporary file opened for writing; its name goes to copy.
FilePtr CreateTempFile(TempCopy& copy) {
    const char* dir = std::getenv("TMPDIR");
    std::string name = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/kestil-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return nullptr;
    copy = TempCopy(name);
    FilePtr file(::fdopen(fd, "wb"));
    if (!file) ::close(fd);
    return file;
}

// Copies the rest of from to to through one buffer. A read error is told apart from the end of the file.
bool CopyRest(std::FILE* from, std::FILE* to) {
    std::array<char, kTmkHeadSize> buffer;
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), from);
        if (n > 0 && std::fwrite(buffer.data(), 1, n, to) != n) return false;
        if (n < buffer.size()) return std::ferror(from) == 0 && std::feof(from) != 0;
    }
}

// Closes the copy, flushing it; a failed flush is a failed copy.
bool Finish(FilePtr to) {
    return std::fclose(to.release()) == 0;
}

} // namespace

int IdentifyPreamble(const char tag[kTagSize]) {
    for (const TagKind& t : kTags)
        if (std::memcmp(tag, t.tag, kTagSize) == 0) return t.kind;
    return KIND_NOT_FIRMWARE;
}

int CheckPreambolo(const char* path) {
    if (!Ping() || !CheckBloadInfo()) return KIND_CHECK_FAILED;
    FilePtr file(std::fopen(path, "rb"));
    if (!file) return KIND_CHECK_FAILED;
    char tag[kTagSize];
    if (std::fread(tag, 1, kTagSize, file.get()) != kTagSize) return KIND_CHECK_FAILED;
    return IdentifyPreamble(tag);
}

TempCopy AdjustPreambolo(const char* path, std::uint16_t type) {
    FilePtr from(std::fopen(path, "rb"));
    if (!from) return {};
    TempCopy copy;
    FilePtr to = CreateTempFile(copy);
    if (!to) return {};
    std::array<char, kTmkHeadSize> head;
    if (std::fread(head.data(), 1, head.size(), from.get()) != head.size()) return {};
    if (type == kSysType5600 && fOldBload)
        std::memcpy(head.data(), "DrvlnKap", kTagSize);
    else if (type == kSysType5534 && fOldBload)
        std::memcpy(head.data(), "DvlKap55", kTagSize);
    else if (type != kSysType5600 && type != kSysType5534)
        return {};
    if (std::fwrite(head.data(), 1, kTagSize, to.get()) != kTagSize) return {};
    if (!CopyRest(from.get(), to.get()) || !Finish(std::move(to))) return {};
    return copy;
}

TempCopy CopyFirmware(const char* path) {
    FilePtr from(std::fopen(path, "rb"));
    if (!from) return {};
    TempCopy copy;
    FilePtr to = CreateTempFile(copy);
    if (!to || !CopyRest(from.get(), to.get()) || !Finish(std::move(to))) return {};
    return copy;
}
