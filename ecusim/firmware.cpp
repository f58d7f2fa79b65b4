#include "ecusim/firmware.h"

#include "ecusim/model.h"

#include <algorithm>
#include <cstring>

namespace ecusim {

namespace {

constexpr char kMagic[4] = {'A', 'P', 'P', 'H'};
constexpr std::size_t kNameField = 32, kSuffixField = 8, kInfoField = 32;

void PutText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t field) {
    const std::size_t n = std::min(text.size(), field);
    out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
    out.insert(out.end(), field - n, 0);
}

std::string GetText(std::span<const std::uint8_t> field) {
    const auto end = std::ranges::find(field, 0);
    return {field.begin(), end};
}

} // namespace

AppInfo FactoryApplication() {
    return {"T484", 1, 13, "", "ecusim", "factory image"};
}

bool IsTmkTag(std::string_view tag) {
    return tag == "DrvlnTmk" || tag == "DvlTmk55";
}

std::uint16_t TagSystemType(std::span<const std::uint8_t> tag) {
    if (tag.size() < kFirmwareTagSize) return 0;
    const std::string_view text(reinterpret_cast<const char*>(tag.data()), kFirmwareTagSize);
    if (text == "DrvlnKap" || text == "DrvlnTmk") return 0x5600;
    if (text == "DvlKap55" || text == "DvlTmk55") return 0x5534;
    return 0;
}

std::vector<std::uint8_t> MakeFirmwareImage(const AppInfo& app, std::size_t imageSize) {
    std::vector<std::uint8_t> image(std::begin(kMagic), std::end(kMagic));
    PutText(image, app.name, kNameField);
    image.resize(image.size() + 4);
    PutBE16(image.data() + 4 + kNameField, app.major);
    PutBE16(image.data() + 6 + kNameField, app.minor);
    PutText(image, app.suffix, kSuffixField);
    PutText(image, app.info1, kInfoField);
    PutText(image, app.info2, kInfoField);
    // A filler that is the same on every run but not one repeated byte, so that a lost or swapped block
    // shows in a comparison.
    std::uint32_t state = 0x2545F491u;
    while (image.size() < imageSize) {
        state = state * 1664525u + 1013904223u;
        image.push_back(static_cast<std::uint8_t>(state >> 24));
    }
    return image;
}

std::vector<std::uint8_t> MakeFirmwareFile(std::string_view tag, std::span<const std::uint8_t> image) {
    std::vector<std::uint8_t> file(tag.begin(), tag.end());
    file.resize(kFirmwareTagSize);
    if (IsTmkTag(tag)) file.insert(file.end(), kFirmwareBlockSize, 0xA5);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}

std::optional<AppInfo> ReadAppHeader(std::span<const std::uint8_t> image) {
    if (image.size() < kAppHeaderSize || std::memcmp(image.data(), kMagic, sizeof kMagic) != 0)
        return std::nullopt;
    std::size_t at = sizeof kMagic;
    AppInfo app;
    app.name = GetText(image.subspan(at, kNameField));
    at += kNameField;
    app.major = GetBE16(image.data() + at);
    app.minor = GetBE16(image.data() + at + 2);
    at += 4;
    app.suffix = GetText(image.subspan(at, kSuffixField));
    at += kSuffixField;
    app.info1 = GetText(image.subspan(at, kInfoField));
    app.info2 = GetText(image.subspan(at + kInfoField, kInfoField));
    return app;
}

std::vector<SampleFirmware> SampleFirmwareFiles() {
    std::vector<SampleFirmware> files;
    for (std::string_view tag : kFirmwareTags) {
        const std::string name(tag);
        const bool for5534 =
            TagSystemType(std::span(reinterpret_cast<const std::uint8_t*>(tag.data()), tag.size())) == 0x5534;
        const AppInfo sample{for5534 ? "SAMPLE 5534" : "SAMPLE 5600", 2, 0, "s", "sample image", name};
        files.push_back(
            {"sample-" + name + ".kbf", MakeFirmwareFile(tag, MakeFirmwareImage(sample, kSampleImageSize))});
        files.push_back({"T484-v1.13-" + name + ".kbf",
                         MakeFirmwareFile(tag, MakeFirmwareImage(FactoryApplication(), kSampleImageSize))});
    }
    return files;
}

} // namespace ecusim
