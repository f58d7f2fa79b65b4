#include "orvane/core/logic/byteorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace {

template <class T> std::span<std::byte> Bytes(T& t) {
    return std::as_writable_bytes(std::span(&t, 1));
}

// Every byte distinct enough that a wrong swap or a swap of the wrong width shows.
template <class T> void FillPattern(T& t) {
    auto bytes = Bytes(t);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::byte>((i * 7 + i / 251) & 0xFF);
}

template <class T> std::vector<std::byte> Copy(T& t) {
    auto bytes = Bytes(t);
    return {bytes.begin(), bytes.end()};
}

// How the bytes at an offset of the image (data offsets, as in the layout tables) must change.
enum class Expect { Kept, Word, Long };
struct Probe {
    std::size_t offset;
    Expect expect;
};

template <class Image> void CheckProbes(void (*convert)(Image&), std::span<const Probe> probes) {
    auto image = std::make_unique<Image>();
    FillPattern(*image);
    const std::vector<std::byte> before = Copy(*image);
    convert(*image);
    const std::vector<std::byte> after = Copy(*image);
    for (const Probe& p : probes) {
        const std::size_t at = offsetof(Image, data) + p.offset;
        switch (p.expect) {
        case Expect::Kept:
            EXPECT_EQ(after[at], before[at]) << std::hex << p.offset;
            EXPECT_EQ(after[at + 1], before[at + 1]) << std::hex << p.offset;
            break;
        case Expect::Word:
            EXPECT_EQ(after[at], before[at + 1]) << std::hex << p.offset;
            EXPECT_EQ(after[at + 1], before[at]) << std::hex << p.offset;
            break;
        case Expect::Long:
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(after[at + i], before[at + 3 - i]) << std::hex << p.offset;
            break;
        }
    }
}

TEST(ByteOrder, ConfigurationFieldsByOffset) {
    const Probe probes[] = {
        {0x000, Expect::Kept}, {0x01E, Expect::Kept}, {0x03E, Expect::Kept}, // header
        {0x040, Expect::Kept}, {0x1CE, Expect::Kept},                        // notes
        {0x1D0, Expect::Word}, {0x342, Expect::Word},                        // dwell
        {0x344, Expect::Word}, {0x3C2, Expect::Word},                        // pick-up
        {0x3C4, Expect::Word}, {0x642, Expect::Word},                        // ten curves
        {0x644, Expect::Word}, {0x6A2, Expect::Word},                        // battery
        {0x6A4, Expect::Long}, {0x6A8, Expect::Long}, {0x6AC, Expect::Long}, // idle gains
        {0x6B0, Expect::Word}, {0x6C8, Expect::Word}, {0x6CA, Expect::Kept}, {0x6D4, Expect::Kept},
        {0x6D6, Expect::Word}, {0x6DE, Expect::Word}, {0x6E0, Expect::Kept}, {0x6E2, Expect::Kept},
        {0x6F2, Expect::Kept}, {0x6F4, Expect::Word}, {0x770, Expect::Word}, {0x772, Expect::Kept},
        {0x77C, Expect::Kept}, {0x782, Expect::Kept}, {0x784, Expect::Word}, {0x7AC, Expect::Word},
        {0x7AE, Expect::Kept}, {0x7C4, Expect::Kept}, {0x7C6, Expect::Kept}, {0xB60, Expect::Kept},
        {0xB62, Expect::Word}, {0xBD4, Expect::Word}, {0xBD6, Expect::Word},
    };
    CheckProbes<EcuParImage>(&ConvertParImage, probes);
}

TEST(ByteOrder, MappingFieldsByOffset) {
    const Probe probes[] = {
        {0x00000, Expect::Kept}, {0x0003E, Expect::Kept}, {0x00040, Expect::Kept}, {0x001CE, Expect::Kept},
        {0x001D0, Expect::Word}, {0x16B30, Expect::Word}, {0x27046, Expect::Word}, {0x27048, Expect::Word},
        {0x28C46, Expect::Word}, {0x28C48, Expect::Word}, {0x29994, Expect::Word}, {0x29996, Expect::Kept},
        {0x29998, Expect::Word}, {0x29AEE, Expect::Word}, {0x29AF0, Expect::Kept}, {0x29AF2, Expect::Word},
        {0x29B06, Expect::Kept}, {0x29B08, Expect::Word}, {0x29B0C, Expect::Kept}, {0x29B22, Expect::Kept},
        {0x29B24, Expect::Word}, {0x29B3C, Expect::Kept}, {0x29B48, Expect::Word}, {0x29B9A, Expect::Kept},
        {0x29B9E, Expect::Kept}, {0x29BA0, Expect::Word}, {0x29BFA, Expect::Kept}, {0x29BFC, Expect::Word},
        {0x29C20, Expect::Word}, {0x29C22, Expect::Kept}, {0x29C24, Expect::Word}, {0x29C26, Expect::Word},
        {0x29C28, Expect::Kept}, {0x29C36, Expect::Kept}, {0x29C38, Expect::Word}, {0x29C3A, Expect::Word},
        {0x29C3C, Expect::Kept}, {0x29C4A, Expect::Kept}, {0x2A124, Expect::Word}, {0x2A126, Expect::Word},
        {0x2A128, Expect::Kept}, {0x2A136, Expect::Kept}, {0x2A138, Expect::Kept}, {0x2A13A, Expect::Word},
        {0x2A2F4, Expect::Word}, {0x2A2F6, Expect::Kept}, {0x2A302, Expect::Kept}, {0x2A304, Expect::Kept},
        {0x2A3D4, Expect::Kept}, {0x2A3D6, Expect::Word},
    };
    CheckProbes<EcuMapImage>(&ConvertMapImage, probes);
}

TEST(ByteOrder, PrefixLengthAndChecksumOnly) {
    auto image = std::make_unique<EcuParImage>();
    FillPattern(*image);
    const std::vector<std::byte> before = Copy(*image);
    ConvertParImage(*image);
    const std::vector<std::byte> after = Copy(*image);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(after[i], before[3 - i]);
    EXPECT_EQ(after[4], before[5]);
    EXPECT_EQ(after[5], before[4]);
    EXPECT_TRUE(std::equal(after.begin() + 6, after.begin() + 40, before.begin() + 6)); // reserved and name
}

TEST(ByteOrder, EndMarkerTravelsBigEndian) {
    auto image = std::make_unique<EcuMapImage>();
    image->data.endMarker = kEndMarker;
    image->prefix.length = sizeof(EcuMapImage) - 8;
    ConvertMapImage(*image);
    const auto bytes = Bytes(*image);
    EXPECT_EQ(bytes[bytes.size() - 2], std::byte{0xE0});
    EXPECT_EQ(bytes[bytes.size() - 1], std::byte{0xB5});
    EXPECT_EQ(bytes[0], std::byte{0x00});
    EXPECT_EQ(bytes[1], std::byte{0x02});
    EXPECT_EQ(bytes[2], std::byte{0xA3});
    EXPECT_EQ(bytes[3], std::byte{0xF8});
    ConvertMapImage(*image);
    EXPECT_EQ(image->data.endMarker, kEndMarker);
}

template <class T> void ExpectRoundTrip(void (*convert)(T&)) {
    auto block = std::make_unique<T>();
    FillPattern(*block);
    const std::vector<std::byte> before = Copy(*block);
    convert(*block);
    EXPECT_NE(Copy(*block), before);
    convert(*block);
    EXPECT_EQ(Copy(*block), before);
}

TEST(ByteOrder, ConvertingTwiceGivesBackTheOriginal) {
    ExpectRoundTrip<EcuParImage>(&ConvertParImage);
    ExpectRoundTrip<EcuMapImage>(&ConvertMapImage);
    ExpectRoundTrip<Map20x32>(&SwitchMapEndianness);
    ExpectRoundTrip<Map4x20x32>(&SwitchMap4Endianness);
    ExpectRoundTrip<Map6x20x32>(&SwitchMap6Endianness);
    ExpectRoundTrip<Map6x6x20x32>(&SwitchMap6x6Endianness);
    ExpectRoundTrip<MiniMap>(&SwitchMiniMapEndianness);
    ExpectRoundTrip<ExtMiniMap>(&SwitchExtMiniMapEndianness);
    ExpectRoundTrip<CylMiniMaps>(&SwitchCylMiniMapsEndianness);
}

// A bare block converts every word: its last breakpoint as well as its first cell.
TEST(ByteOrder, BlockConvertersReachEveryWord) {
    auto map = std::make_unique<Map6x6x20x32>();
    map->cells[0][0][0][0] = 0x0102;
    map->z[5][5] = 0x0304;
    SwitchMap6x6Endianness(*map);
    EXPECT_EQ(static_cast<std::uint16_t>(map->cells[0][0][0][0]), 0x0201);
    EXPECT_EQ(static_cast<std::uint16_t>(map->z[5][5]), 0x0403);
    ExtMiniMap ext{};
    ext.y[9] = 0x0506;
    SwitchExtMiniMapEndianness(ext);
    EXPECT_EQ(static_cast<std::uint16_t>(ext.y[9]), 0x0605);
}

} // namespace
