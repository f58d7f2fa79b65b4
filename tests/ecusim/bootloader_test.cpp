// The simulated boot loader: its frames share the link with the application's, and it installs only a
// whole image written in sequence after the erase, made for its system type.
#include "bytes.h"
#include "ecusim/ecu.h"
#include "ecusim/firmware.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

using namespace std::string_literals;

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
    PutBE16(block, 0, number);
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

// The ECU's version text and Ping reply (protocol version, firmware name), as the workbench reads them.
std::pair<std::string, Bytes> Identity(ecusim::EcuSim& sim) {
    ecusim::FrameParser parser;
    parser.Push(sim.Feed(ecusim::EncodeFrame(0x01, {})));
    parser.Push(sim.Feed(ecusim::EncodeFrame(0x03, Bytes(30, 0))));
    const std::optional<ecusim::Frame> version = parser.Next();
    const std::optional<ecusim::Frame> ping = parser.Next();
    if (!version || !ping || ping->data.size() != 12) return {};
    return {std::string(version->data.begin(), version->data.end()),
            Bytes(ping->data.begin(), ping->data.begin() + 10)};
}

// Once a whole image is written, the ECU is the application in its header, until it starts again; an
// image without the header leaves the ECU as it was.
TEST(SimBootLoader, TheEcuIsTheApplicationLastWritten) {
    const Bytes factoryPing = {0x01, 0x0D, 'T', '4', '8', '4', 0, 0, 0, 0};
    struct Case {
        const char* what;
        Bytes image;
        std::string version;
        Bytes ping;
    };
    const Case cases[] = {
        {"with a header", ecusim::MakeFirmwareImage({"SAMPLE 5600", 2, 0, "s", "one", "two"}, 1000),
         "SAMPLE 5600 v2.0s", Bytes{0x02, 0x00, 'S', 'A', 'M', 'P', 'L', 'E', ' ', '5'}},
        {"with a header of this monitor's firmware",
         ecusim::MakeFirmwareImage({"T484", 1, 13, "", "", ""}, 300), "T484 v1.13", factoryPing},
        {"without a header", Bytes(1000, 0x5A), "ECUSIM T484 v1.13", factoryPing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecusim::EcuSim sim;
        ASSERT_EQ(Identity(sim), std::pair("ECUSIM T484 v1.13"s, factoryPing));
        for (std::uint8_t area = 1; area <= 7; ++area)
            ASSERT_TRUE(Ask(sim, 5, {area}));
        Bytes copy = {'D', 'r', 'v', 'l', 'n', 'T', 'm', 'k'};
        copy.insert(copy.end(), c.image.begin(), c.image.end());
        ASSERT_TRUE(WriteCopy(sim, copy));
        EXPECT_EQ(Identity(sim), std::pair(c.version, c.ping));
        sim.NewConnection();
        EXPECT_EQ(Identity(sim).first, c.version) << "a new connection is the same ECU";
    }
}

} // namespace
