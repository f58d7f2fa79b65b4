// The simulated boot loader: its frames share the link with the application's, and it installs only a
// whole image written in sequence after the erase, made for its system type.
#include "ecusim/ecu.h"
#include "ecusim/firmware.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Bytes = std::vector<std::uint8_t>;

// One boot-loader request; the reply's data, or nullopt when the boot loader kept silent.
std::optional<Bytes> Ask(ecusim::EcuSim& sim, std::uint8_t cmd, const Bytes& data) {
    ecusim::FrameParser parser;
    parser.Push(sim.Feed(ecusim::EncodeBootFrame(cmd, data)));
    std::optional<ecusim::Frame> reply = parser.Next();
    if (!reply) return std::nullopt;
    EXPECT_TRUE(reply->boot);
    EXPECT_EQ(reply->cmd, cmd);
    return reply->data;
}

Bytes Block(std::uint16_t number, std::span<const std::uint8_t> data) {
    Bytes block(2 + data.size());
    block[0] = static_cast<std::uint8_t>(number >> 8);
    block[1] = static_cast<std::uint8_t>(number);
    std::ranges::copy(data, block.begin() + 2);
    return block;
}

// Sends a copy (tag and image) in blocks of 253 and the end block; true when every block was answered.
bool WriteCopy(ecusim::EcuSim& sim, const Bytes& copy) {
    std::uint16_t number = 0;
    for (std::size_t at = 0; at < copy.size(); at += ecusim::kBootBlockData, ++number) {
        const std::size_t n = std::min(ecusim::kBootBlockData, copy.size() - at);
        if (!Ask(sim, 6, Block(number, std::span(copy).subspan(at, n)))) return false;
    }
    return Ask(sim, 6, Block(number, {})).has_value();
}

TEST(SimBootLoader, FramesOfBothKindsShareTheLink) {
    EXPECT_EQ(ecusim::EncodeBootFrame(0x02, Bytes{0x01}), (Bytes{0x6A, 0x04, 0x02, 0x01, 0x01}));
    ecusim::EcuSim sim;
    Bytes stream = ecusim::EncodeBootFrame(0x0F, {});
    const Bytes name = ecusim::EncodeFrame(0x0E, Bytes{0});
    stream.insert(stream.end(), name.begin(), name.end());
    ecusim::FrameParser parser;
    parser.Push(sim.Feed(stream));
    const std::optional<ecusim::Frame> first = parser.Next();
    const std::optional<ecusim::Frame> second = parser.Next();
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->boot);
    EXPECT_EQ(first->data, (Bytes{0x0A, 0x1C}));
    EXPECT_FALSE(second->boot);
    EXPECT_EQ(second->cmd, 0x0E);
}

TEST(SimBootLoader, PingAnswersOnlyItsOwnForm) {
    for (bool oldPing : {false, true}) {
        ecusim::EcuSim sim({.bootOldPing = oldPing});
        EXPECT_EQ(Ask(sim, 1, {}).has_value(), oldPing);
        EXPECT_EQ(Ask(sim, 1, {0x00, 0x01}).has_value(), !oldPing);
    }
}

TEST(SimBootLoader, InstallsOnlyAWholeImageForItsSystemType) {
    const Bytes image = ecusim::MakeFirmwareImage({"NEW APP", 4, 2, "b", "one", "two"}, 1000);
    const auto copy = [&](const char* tag) {
        Bytes c(tag, tag + 8);
        c.insert(c.end(), image.begin(), image.end());
        return c;
    };
    ecusim::EcuSim sim({.bootType = ecusim::kBootType5534});
    EXPECT_FALSE(Ask(sim, 6, Block(0, copy("DvlKap55")))) << "a write before the erase";
    EXPECT_FALSE(Ask(sim, 5, {13})) << "an area the system type does not have";
    ASSERT_TRUE(Ask(sim, 5, {14}));
    EXPECT_EQ(Ask(sim, 3, {2}), Bytes{}) << "no application after the erase";
    EXPECT_FALSE(Ask(sim, 6, Block(1, copy("DvlKap55")))) << "out of sequence";
    EXPECT_FALSE(WriteCopy(sim, copy("DrvlnKap"))) << "an image for the other system type";
    EXPECT_FALSE(sim.boot.app);

    ASSERT_TRUE(Ask(sim, 5, {14}));
    ASSERT_TRUE(WriteCopy(sim, copy("DvlTmk55")));
    EXPECT_EQ(Ask(sim, 3, {2}), Bytes({'N', 'E', 'W', ' ', 'A', 'P', 'P'}));
    EXPECT_EQ(Ask(sim, 3, {1}), (Bytes{0x00, 0x04, 0x00, 0x02, 'b'}));
    EXPECT_EQ(Ask(sim, 3, {4}), Bytes({'t', 'w', 'o'}));
    EXPECT_FALSE(Ask(sim, 6, Block(0, copy("DvlTmk55")))) << "written flash must be erased again";
}

} // namespace
