#include "ecusim/model.h"

#include "ecusim/calibration.h"
#include "ecusim/defaultconfig.h"

#include <algorithm>
#include <cstring>

namespace ecusim {

namespace {

constexpr std::uint16_t kEndMarker = 0xE0B5;

// The data header of the program family whose data sets this ECU holds.
constexpr char kHeaderName[] = "Orvane";
constexpr std::uint8_t kHeaderVersion = 1;
constexpr std::uint8_t kHeaderSubVersion = 13;
constexpr char kHeaderSuffix[] = "a";
constexpr std::size_t kHeaderSuffixOffset = 32;

struct DefaultStore {
    Store store;
    std::size_t size;
    const char* name;
};
constexpr DefaultStore kDefaults[] = {
    {Store::Par, kParImageSize, "Default configuration"},
    {Store::Slot1, kMapImageSize, "Default mapping 1"},
    {Store::Slot2, kMapImageSize, "Default mapping 2"},
    {Store::CocA, kExtMiniMapSize, nullptr},
    {Store::CocB, kExtMiniMapSize, nullptr},
};

} // namespace

std::uint16_t GetBE16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}
std::uint32_t GetBE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}
void PutBE16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 8);
    p[1] = static_cast<std::uint8_t>(v);
}
void PutBE32(std::uint8_t* p, std::uint32_t v) {
    PutBE16(p, static_cast<std::uint16_t>(v >> 16));
    PutBE16(p + 2, static_cast<std::uint16_t>(v));
}

std::uint16_t ImageChecksum(std::span<const std::uint8_t> image) {
    std::uint32_t sum = 0;
    for (std::size_t i = 10; i + 1 < image.size(); i += 2) {
        sum += image[i] | image[i + 1] << 8;
        sum = (sum >> 16) + (sum & 0xFFFF);
    }
    return static_cast<std::uint16_t>(~sum);
}

void SealImage(std::span<std::uint8_t> image) {
    PutBE16(image.data() + 4, ImageChecksum(image));
}

bool IsImageSound(std::span<const std::uint8_t> image) {
    const std::size_t n = image.size();
    return n > kPrefixSize && GetBE32(image.data()) == n - 8 && GetBE16(image.data() + n - 2) == kEndMarker &&
           GetBE16(image.data() + 4) == ImageChecksum(image);
}

std::string ImageName(std::span<const std::uint8_t> image) {
    const auto* name = reinterpret_cast<const char*>(image.data() + kNameOffset);
    return {name, strnlen(name, kNameSize)};
}

std::vector<std::uint8_t> MakeDefaultImage(std::size_t size, const char* name) {
    std::vector<std::uint8_t> image(size);
    PutBE32(image.data(), static_cast<std::uint32_t>(size - 8));
    std::memcpy(image.data() + kNameOffset, name, std::min(std::strlen(name), kNameSize - 1));
    std::uint8_t* header = image.data() + kPrefixSize;
    std::memcpy(header, kHeaderName, sizeof kHeaderName - 1);
    header[30] = kHeaderVersion;
    header[31] = kHeaderSubVersion;
    std::memcpy(header + kHeaderSuffixOffset, kHeaderSuffix, sizeof kHeaderSuffix - 1);
    PutBE16(image.data() + size - 2, kEndMarker);
    SealImage(image);
    return image;
}

namespace {

// The data sets every simulated ECU starts from: the same for every model, so calculated once.
const EcuModel& PristineStores() {
    static const EcuModel pristine = [] {
        EcuModel m;
        for (const DefaultStore& d : kDefaults) {
            m.StoreBytes(d.store) =
                d.name != nullptr ? MakeDefaultImage(d.size, d.name) : std::vector<std::uint8_t>(d.size);
        }
        FillDefaultConfiguration(m.StoreBytes(Store::Par));
        CalibrateSensors(m.StoreBytes(Store::Par));
        CalibrateMapping(m.StoreBytes(Store::Slot1), 1);
        CalibrateMapping(m.StoreBytes(Store::Slot2), 2);
        CalibrateCoCorrection(m.StoreBytes(Store::CocA), 0);
        CalibrateCoCorrection(m.StoreBytes(Store::CocB), 1);
        return m;
    }();
    return pristine;
}

} // namespace

const std::vector<std::uint8_t>& DefaultStoreBytes(Store store) {
    return PristineStores().StoreBytes(store);
}

void ResetStores(EcuModel& model) {
    for (const DefaultStore& d : kDefaults)
        model.StoreBytes(d.store) = DefaultStoreBytes(d.store);
    DescribeEngine(model);
    model.write.reset();
}

EcuModel MakeEcuModel(const std::string& password) {
    EcuModel model;
    std::copy_n(password.begin(), std::min(password.size(), kPasswordSize), model.password.begin());
    ResetStores(model);
    model.diag = MakeDiagLog(kDefaultDiagPassword);
    return model;
}

bool IsProtected(const EcuModel& model) {
    return !model.unlocked &&
           std::any_of(model.password.begin(), model.password.end(), [](auto c) { return c != 0; });
}

} // namespace ecusim
