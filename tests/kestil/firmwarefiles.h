// Firmware files written by the tests themselves, in a private temporary folder that is also where the
// programmer puts its temporary copies (TMPDIR), so that a copy left behind shows.
#pragma once

#include "bytes.h"
#include "ecusim/firmware.h"
#include "wire.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

class FirmwareDir {
  public:
    FirmwareDir() {
        const char* old = std::getenv("TMPDIR");
        if (old != nullptr) saved_ = old;
        hadOne_ = old != nullptr;
        std::filesystem::create_directory(copies_);
        ::setenv("TMPDIR", copies_.c_str(), 1);
    }
    ~FirmwareDir() {
        if (hadOne_)
            ::setenv("TMPDIR", saved_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    FirmwareDir(const FirmwareDir&) = delete;
    FirmwareDir& operator=(const FirmwareDir&) = delete;

    std::string Write(const char* name, std::span<const std::uint8_t> bytes) const {
        const std::string path = dir_.Path(name);
        WriteFileBytes(path, bytes);
        return path;
    }
    // A whole file of a tag with an image of imageSize bytes.
    std::string WriteFirmware(const char* name, std::string_view tag, std::size_t imageSize) const {
        return Write(name, ecusim::MakeFirmwareFile(tag, Image(imageSize)));
    }
    static std::vector<std::uint8_t> Image(std::size_t size) {
        return ecusim::MakeFirmwareImage({"TEST APP", 3, 7, "rc", "bench", "build 42"}, size);
    }
    // Temporary copies still lying in the copies' folder (others may keep their own things there).
    std::size_t CopiesLeft() const {
        return static_cast<std::size_t>(
            std::ranges::count_if(std::filesystem::directory_iterator(copies_), [](const auto& entry) {
                return entry.path().filename().string().starts_with("kestil-");
            }));
    }

  private:
    TempDir dir_;
    std::string copies_ = dir_.Path("copies");
    std::string saved_;
    bool hadOne_ = false;
};
