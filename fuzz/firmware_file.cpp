// Kestil's firmware files: any bytes as a file, identified by their tag, then prepared for sending both
// ways (the "Tmk" copy without its block, for an old and a new boot loader of either system type, and the
// whole copy). A copy that is made must have the size the file's layout gives it.
#include "kestil/bload.h"
#include "kestil/firmware.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

long FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= kTagSize) {
        char tag[kTagSize];
        std::copy_n(reinterpret_cast<const char*>(data), kTagSize, tag);
        const int kind = IdentifyPreamble(tag);
        if (kind != KIND_NOT_FIRMWARE && (kind < KIND_OPEN_5600 || kind > KIND_TMK_5534)) __builtin_trap();
    }
    const char* dir = std::getenv("TMPDIR");
    std::string path = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/kestil-fuzz-XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) return 0;
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        ::close(fd);
        ::unlink(path.c_str());
        return 0;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) {
        ::unlink(path.c_str());
        return 0;
    }
    for (const bool old : {false, true}) {
        fOldBload = old;
        for (const std::uint16_t type : {kSysType5600, kSysType5534, std::uint16_t{0}}) {
            const TempCopy copy = AdjustPreambolo(path.c_str(), type);
            if (!copy) continue;
            if (type == 0 || size < kTmkHeadSize) __builtin_trap();
            if (FileSize(copy.path()) != static_cast<long>(size - kTmkBlockSize)) __builtin_trap();
        }
    }
    fOldBload = false;
    if (const TempCopy copy = CopyFirmware(path.c_str());
        !copy || FileSize(copy.path()) != static_cast<long>(size))
        __builtin_trap();
    ::unlink(path.c_str());
    return 0;
}
