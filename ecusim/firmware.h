// Firmware files (".kbf") of our own, for the simulated boot loader: an 8-byte tag, after a "Tmk" tag a
// 548-byte block that is never sent, then the image. The simulator's convention: an image starts with an
// application header, from which the boot loader takes the installed application's name, version and
// information texts once the image has been written whole. The programmer never reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ecusim {

inline constexpr std::size_t kFirmwareTagSize = 8;
inline constexpr std::size_t kFirmwareBlockSize = 548;

// Application header at the start of an image: "APPH", name[32], u16 major and u16 minor big-endian,
// suffix[8], information texts [32] and [32]; texts NUL-padded.
inline constexpr std::size_t kAppHeaderSize = 4 + 32 + 4 + 8 + 32 + 32;

// The image size of the sample firmware files (a few seconds of programming at the adapter's speed).
inline constexpr std::size_t kSampleImageSize = 40000;

struct AppInfo {
    std::string name;
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::string suffix;
    std::string info1;
    std::string info2;
};

// The application this ECU comes with, the one the workbench talks to: firmware "T484", version 1.13.
AppInfo FactoryApplication();

// The four tags: open images (tag and image) and "Tmk" images (with the 548-byte block).
inline constexpr std::string_view kFirmwareTags[] = {"DrvlnKap", "DvlKap55", "DrvlnTmk", "DvlTmk55"};
bool IsTmkTag(std::string_view tag);
// The system type (0x5600 or 0x5534) a tag is made for; 0 for no known tag.
std::uint16_t TagSystemType(std::span<const std::uint8_t> tag);

// An image of imageSize bytes (at least the header's): the header of app, then a fixed filler.
std::vector<std::uint8_t> MakeFirmwareImage(const AppInfo& app, std::size_t imageSize);
// A whole firmware file: tag, the block for a "Tmk" tag, the image.
std::vector<std::uint8_t> MakeFirmwareFile(std::string_view tag, std::span<const std::uint8_t> image);
// The application of an image as its header gives it; nullopt for an image without one.
std::optional<AppInfo> ReadAppHeader(std::span<const std::uint8_t> image);

// The sample firmware files, two for each tag: a sample application ("sample-<tag>.kbf") and the factory
// application ("T484-v1.13-<tag>.kbf"), which programs the ECU back into one the workbench talks to.
struct SampleFirmware {
    std::string fileName;
    std::vector<std::uint8_t> bytes;
};
std::vector<SampleFirmware> SampleFirmwareFiles();

} // namespace ecusim
