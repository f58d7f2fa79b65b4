// Data areas of the simulated ECU: default data sets, writes checked before they are adopted, reads, the
// map blocks derived from the mapping slots, and short acknowledgements.
#include "simclient.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using Bytes = std::vector<std::uint8_t>;
using ecusim::kMapImageSize;
using ecusim::kParImageSize;
using ecusim::kPrefixSize;

namespace {

// A sound data set whose bytes after the data header follow a pattern of its own.
Bytes PatternImage(std::size_t size, const char* name, std::uint8_t seed) {
    Bytes image = ecusim::MakeDefaultImage(size, name);
    for (std::size_t i = kPrefixSize + 64; i + 2 < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + seed);
    ecusim::SealImage(image);
    return image;
}

Bytes PatternBlock(std::size_t size, std::uint8_t seed) {
    Bytes block(size);
    for (std::size_t i = 0; i < size; ++i)
        block[i] = static_cast<std::uint8_t>(i + seed);
    return block;
}

} // namespace

TEST(SimAreas, StartsWithSoundDefaultDataSets) {
    SimClient client;
    for (const auto& [area, size] :
         {std::pair{1, kParImageSize}, {2, kMapImageSize}, {3, kMapImageSize}, {14, kMapImageSize}}) {
        const auto image = client.ReadArea(static_cast<std::uint16_t>(area), size);
        ASSERT_TRUE(image) << "area " << area;
        EXPECT_TRUE(ecusim::IsImageSound(*image)) << "area " << area;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(image->data() + kPrefixSize)), "Orvane");
        EXPECT_EQ((*image)[kPrefixSize + 30], 1);
        EXPECT_EQ((*image)[kPrefixSize + 31], 13);
        EXPECT_EQ((*image)[kPrefixSize + 32], 'a');
        EXPECT_EQ((*image)[size - 2], 0xE0);
        EXPECT_EQ((*image)[size - 1], 0xB5);
    }
}

TEST(SimAreas, KeepsWhatItWasSent) {
    SimClient client;
    const std::vector<std::pair<std::uint16_t, Bytes>> writes = {
        {1, PatternImage(kParImageSize, "Config", 1)},
        {2, PatternImage(kMapImageSize, "Slot one", 2)},
        {3, PatternImage(kMapImageSize, "Slot two", 3)},
        {20, PatternBlock(372, 4)},
        {21, PatternBlock(372, 5)},
    };
    for (const auto& [area, data] : writes) {
        std::vector<std::uint32_t> acks;
        ASSERT_TRUE(client.WriteArea(area, data, &acks)) << "area " << area;
        EXPECT_EQ(acks.back(), data.size());
    }
    for (const auto& [area, data] : writes)
        EXPECT_EQ(client.ReadArea(area, data.size()), data) << "area " << area;
}

struct Damage {
    const char* what;
    std::function<void(Bytes&)> apply;
};

class SimRefusesImage : public testing::TestWithParam<Damage> {};

TEST_P(SimRefusesImage, LeavesTheStoredDataSetAlone) {
    SimClient client;
    const Bytes before = *client.ReadArea(1, kParImageSize);
    Bytes image = PatternImage(kParImageSize, "Damaged", 9);
    GetParam().apply(image);
    EXPECT_FALSE(client.WriteArea(1, image)) << "the last block of a refused data set is not acknowledged";
    EXPECT_EQ(client.ReadArea(1, kParImageSize), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, SimRefusesImage,
                         testing::Values(Damage{"checksum", [](Bytes& b) { b[5] ^= 0x01; }},
                                         Damage{"data after sealing", [](Bytes& b) { b[1000] ^= 0x10; }},
                                         Damage{"length field",
                                                [](Bytes& b) {
                                                    ecusim::PutBE32(b.data(), kParImageSize);
                                                    ecusim::SealImage(b);
                                                }},
                                         Damage{"end marker",
                                                [](Bytes& b) {
                                                    b[kParImageSize - 1] = 0xB6;
                                                    ecusim::SealImage(b);
                                                }}),
                         [](const testing::TestParamInfo<Damage>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(SimAreas, RefusesWritesItCannotTake) {
    SimClient client;
    const auto begin = [&](std::uint32_t total, std::uint16_t area) {
        std::uint8_t request[6];
        ecusim::PutBE32(request, total);
        ecusim::PutBE16(request + 4, area);
        return client.Exchange(0x04, request).has_value();
    };
    EXPECT_TRUE(begin(kParImageSize, 1));
    EXPECT_FALSE(begin(kParImageSize - 1, 1)) << "size other than the area's";
    EXPECT_FALSE(begin(kMapImageSize, 14)) << "the tuning set is read only";
    EXPECT_FALSE(begin(1384, 13)) << "map blocks are read only";
    EXPECT_FALSE(begin(372, 22)) << "no such area";
    EXPECT_FALSE(client.Exchange(0x05, Bytes(10, 0))) << "a block without a write begun";
}

TEST(SimAreas, ShortAcknowledgementsStillEndInTheWholeDataSet) {
    SimClient client{ecusim::EcuSim({"", true})};
    const Bytes image = PatternImage(kParImageSize, "Resent", 6);
    std::vector<std::uint32_t> acks;
    ASSERT_TRUE(client.WriteArea(1, image, &acks));
    std::size_t offset = 0;
    int shortOnes = 0;
    for (std::uint32_t ack : acks) {
        offset = std::min<std::size_t>(offset + 255, image.size());
        if (ack < offset) ++shortOnes;
        offset = ack;
    }
    EXPECT_GT(shortOnes, 0);
    EXPECT_EQ(client.ReadArea(1, kParImageSize), image);
}

TEST(SimAreas, MapBlocksComeFromTheMappingSlots) {
    SimClient client;
    const Bytes slot1 = PatternImage(kMapImageSize, "Slot one", 11);
    const Bytes slot2 = PatternImage(kMapImageSize, "Slot two", 22);
    ASSERT_TRUE(client.WriteArea(2, slot1));
    ASSERT_TRUE(client.WriteArea(3, slot2));
    client.sim.model.tuningSlot = ecusim::Store::Slot2;

    const auto blockOf = [](const Bytes& image, std::size_t offset, std::size_t size) {
        const auto first = image.begin() + static_cast<std::ptrdiff_t>(kPrefixSize + offset);
        return Bytes(first, first + static_cast<std::ptrdiff_t>(size));
    };
    EXPECT_EQ(client.ReadArea(9, 5224), blockOf(slot1, 0x16B30, 5224));
    EXPECT_EQ(client.ReadArea(10, 5224), blockOf(slot1, 0x17F98, 5224));
    EXPECT_EQ(client.ReadArea(11, 1384), blockOf(slot1, 0x19400, 1384));
    EXPECT_EQ(client.ReadArea(12, 5224), blockOf(slot2, 0x16B30, 5224));
    EXPECT_EQ(client.ReadArea(13, 1384), blockOf(slot2, 0x19400, 1384));
    EXPECT_EQ(client.ReadArea(14, kMapImageSize), slot2);
}

TEST(SimAreas, ReadsOutsideAnAreaAreNotAnswered) {
    SimClient client;
    EXPECT_FALSE(client.ReadArea(11, 1385)) << "one byte past the end";
    EXPECT_FALSE(client.ReadArea(4, 10)) << "no such area";
    EXPECT_FALSE(client.Exchange(0x08, Bytes(6, 0))) << "short request";
}
