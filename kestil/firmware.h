// Firmware files (".kbf"): an 8-byte tag, after the two "Tmk" tags a 548-byte block that is never sent,
// then the image. What is sent is a temporary copy: a tag followed by the image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

inline constexpr std::size_t kTagSize = 8;
inline constexpr std::size_t kTmkBlockSize = 548;
inline constexpr std::size_t kTmkHeadSize = kTagSize + kTmkBlockSize; // 556

// Kinds of a firmware file: 0 the check failed (link or file), 1 no known tag, 3 to 6 by tag.
enum FirmwareKind : int {
    KIND_CHECK_FAILED = 0,
    KIND_NOT_FIRMWARE = 1,
    KIND_OPEN_5600 = 3, // "DrvlnKap"
    KIND_OPEN_5534 = 4, // "DvlKap55"
    KIND_TMK_5600 = 5,  // "DrvlnTmk"
    KIND_TMK_5534 = 6,  // "DvlTmk55"
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A temporary copy that is deleted when its owner goes, on every way out; only the copy, never the file
// it was made from.
class TempCopy {
  public:
    TempCopy() = default;
    explicit TempCopy(std::string path) : path_(std::move(path)) {}
    ~TempCopy() { Remove(); }
    TempCopy(TempCopy&& other) noexcept : path_(std::exchange(other.path_, {})) {}
    TempCopy& operator=(TempCopy&& other) noexcept {
        if (this != &other) {
            Remove();
            path_ = std::exchange(other.path_, {});
        }
        return *this;
    }
    TempCopy(const TempCopy&) = delete;
    TempCopy& operator=(const TempCopy&) = delete;

    const std::string& path() const { return path_; }
    explicit operator bool() const { return !path_.empty(); }

  private:
    void Remove() {
        if (!path_.empty()) std::remove(path_.c_str());
    }
    std::string path_;
};

// 3, 4, 5 or 6 by the first 8 bytes; 1 when no tag matches.
int IdentifyPreamble(const char tag[kTagSize]);
// Pings the boot loader, reads its system type afresh, then identifies the file's tag: the kind.
int CheckPreambolo(const char* path);
// The copy of a "Tmk" file that the boot loader takes: the block dropped; the tag replaced by the open tag
// of sysType for an old boot loader, kept for a new one. Empty on any failure (nothing left behind).
TempCopy AdjustPreambolo(const char* path, std::uint16_t sysType);
// A copy of the whole file (an open image goes as it is). Empty on any failure.
TempCopy CopyFirmware(const char* path);
