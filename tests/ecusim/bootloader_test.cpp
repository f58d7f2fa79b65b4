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

// A copy (tag and image) cut into the blocks of 253 bytes the programmer sends it in.
std::vector<Bytes> Pieces(const Bytes& copy) {
    std::vector<Bytes> pieces;
    for (std::size_t at = 0; at < copy.size(); at += ecusim::kBootBlockData) {
        const auto from = copy.begin() + static_cast<std::ptrdiff_t>(at);
        pieces.emplace_back(
            from, from + static_cast<std::ptrdiff_t>(std::min(ecusim::kBootBlockData, copy.size() - at)));
    }
    return pieces;
}

// Sends a copy in its blocks and the end block; true when every block was answered.
bool WriteCopy(ecusim::EcuSim& sim, const Bytes& copy) {
    const std::vector<Bytes> pieces = Pieces(copy);
    for (std::uint16_t number = 0; number < pieces.size(); ++number)
        if (!Ask(sim, 6, Block(number, pieces[number]))) return false;
    return Ask(sim, 6, Block(static_cast<std::uint16_t>(pieces.size()), {})).has_value();
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

// What the boot loader reports installed: the application's name and its version with the suffix.
std::pair<Bytes, Bytes> Installed(ecusim::EcuSim& sim) {
    return {Ask(sim, 3, {2}).value_or(Bytes{}), Ask(sim, 3, {1}).value_or(Bytes{})};
}

// Erases the application's areas and writes an image whole, as the programmer sends a "Tmk" file.
bool Program(ecusim::EcuSim& sim, const Bytes& image) {
    for (std::uint8_t area = 1; area <= 7; ++area)
        if (!Ask(sim, 5, {area})) return false;
    Bytes copy = {'D', 'r', 'v', 'l', 'n', 'T', 'm', 'k'};
    copy.insert(copy.end(), image.begin(), image.end());
    return WriteCopy(sim, copy);
}

// Once a whole image is written, the ECU is the application in its header, until it starts again, and the
// boot loader reports that application installed; an image without the header leaves the ECU as it was:
// the workbench finds the application it ran before, and so does the programmer.
TEST(SimBootLoader, TheEcuIsTheApplicationLastWritten) {
    const Bytes factoryPing = {0x01, 0x0D, 'T', '4', '8', '4', 0, 0, 0, 0};
    const Bytes sample = ecusim::MakeFirmwareImage({"SAMPLE 5600", 2, 0, "s", "one", "two"}, 1000);
    const Bytes samplePing = {0x02, 0x00, 'S', 'A', 'M', 'P', 'L', 'E', ' ', '5'};
    const std::pair<Bytes, Bytes> factoryApp = {{'T', '4', '8', '4'}, {0, 1, 0, 13}};
    const std::pair<Bytes, Bytes> sampleApp = {{'S', 'A', 'M', 'P', 'L', 'E', ' ', '5', '6', '0', '0'},
                                               {0, 2, 0, 0, 's'}};
    // 548 zero bytes and then data: the block of a "Tmk" file sent as if it were the image
    Bytes headerless(548, 0);
    headerless.insert(headerless.end(), 1000, 0x5A);
    struct Case {
        const char* what;
        Bytes before; // an image written first (empty: none)
        Bytes image;
        std::string version;
        Bytes ping;
        std::pair<Bytes, Bytes> installed;
    };
    const Case cases[] = {
        {"with a header", {}, sample, "SAMPLE 5600 v2.0s", samplePing, sampleApp},
        {"with a header of this monitor's firmware", sample,
         ecusim::MakeFirmwareImage({"T484", 1, 13, "", "", ""}, 300), "T484 v1.13", factoryPing, factoryApp},
        {"without a header", {}, headerless, "ECUSIM T484 v1.13", factoryPing, factoryApp},
        {"without a header, after a sample", sample, headerless, "SAMPLE 5600 v2.0s", samplePing, sampleApp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecusim::EcuSim sim;
        ASSERT_EQ(Identity(sim), std::pair("ECUSIM T484 v1.13"s, factoryPing));
        ASSERT_EQ(Installed(sim), factoryApp);
        if (!c.before.empty()) {
            ASSERT_TRUE(Program(sim, c.before));
        }
        ASSERT_TRUE(Program(sim, c.image));
        EXPECT_EQ(Identity(sim), std::pair(c.version, c.ping));
        EXPECT_EQ(Installed(sim), c.installed);
        sim.NewConnection();
        EXPECT_EQ(Identity(sim).first, c.version) << "a new connection is the same ECU";
    }
}

// A block whose number is not the next one's is refused, whatever its length, and leaves the write where it
// stood: the right block after it goes on, and the image installed is the one sent, byte for byte.
TEST(SimBootLoader, RefusesABlockOutOfSequenceAndGoesOnWithTheRightOne) {
    Bytes copy = {'D', 'r', 'v', 'l', 'n', 'T', 'm', 'k'};
    const Bytes image = ecusim::MakeFirmwareImage({"NEW APP", 4, 2, "b", "one", "two"}, 900);
    copy.insert(copy.end(), image.begin(), image.end());
    const std::vector<Bytes> pieces = Pieces(copy); // blocks 0..3, then the end block 4
    ASSERT_EQ(pieces.size(), 4u);
    struct Case {
        const char* what;
        std::size_t before;   // sent in place of this block (4: the end block)
        std::uint16_t number; // the number it carries
        bool empty;           // an end block
    };
    const Case cases[] = {
        {"the first block numbered 1", 0, 1, false},
        {"block 1 again in place of block 2", 2, 1, false},
        {"block 3 in place of block 2", 2, 3, false},
        {"the end block before the last block", 3, 4, true},
        {"the end block numbered past the last", 4, 5, true},
        {"the end block numbered as the last block", 4, 3, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecusim::EcuSim sim;
        for (std::uint8_t area = 1; area <= 7; ++area)
            ASSERT_TRUE(Ask(sim, 5, {area}));
        for (std::uint16_t n = 0; n <= pieces.size(); ++n) {
            if (n == c.before) {
                const Bytes wrong = c.empty ? Bytes{} : pieces[std::min<std::size_t>(c.number, 3)];
                EXPECT_FALSE(Ask(sim, 6, Block(c.number, wrong))) << "refused";
            }
            ASSERT_TRUE(Ask(sim, 6, Block(n, n < pieces.size() ? pieces[n] : Bytes{}))) << "block " << n;
        }
        EXPECT_EQ(sim.boot.programmed, copy);
        ASSERT_TRUE(sim.boot.app);
        EXPECT_EQ(sim.boot.app->name, "NEW APP");
    }
}

// The sample firmware files: for every tag one with a sample application and one with this monitor's
// firmware "T484" version 1.13. Programmed as the programmer sends them (the tag and the image, never the
// block of a "Tmk" file), each makes the ECU its application, whose Ping reports the firmware name and the
// version with the major number in the high byte; the "T484" file makes it again the ECU the workbench
// takes (protocol 0x010D).
TEST(SimBootLoader, TheSampleFilesProgramTheirApplicationAndTheFactoryOneBack) {
    const Bytes t484Ping = {0x01, 0x0D, 'T', '4', '8', '4', 0, 0, 0, 0};
    std::vector<std::string> t484Tags;
    for (const ecusim::SampleFirmware& file : ecusim::SampleFirmwareFiles()) {
        SCOPED_TRACE(file.fileName);
        const std::string tag(file.bytes.begin(), file.bytes.begin() + 8);
        const std::uint16_t sysType = ecusim::TagSystemType(file.bytes);
        ASSERT_NE(sysType, 0);
        Bytes copy(file.bytes.begin(), file.bytes.begin() + 8);
        const bool tmk = tag == "DrvlnTmk" || tag == "DvlTmk55";
        copy.insert(copy.end(), file.bytes.begin() + (tmk ? 556 : 8), file.bytes.end());

        ecusim::EcuSim sim({.bootType = sysType});
        sim.model.firmwareName = "OTHER"; // programmed from another application
        sim.model.protocolVersion = 0x0305;
        for (std::uint8_t area : sysType == ecusim::kBootType5600 ? Bytes{1, 2, 3, 4, 5, 6, 7} : Bytes{14})
            ASSERT_TRUE(Ask(sim, 5, {area}));
        ASSERT_TRUE(WriteCopy(sim, copy));
        const auto [version, ping] = Identity(sim);
        if (file.fileName.starts_with("T484")) {
            t484Tags.push_back(tag);
            EXPECT_EQ(version, "T484 v1.13");
            EXPECT_EQ(ping, t484Ping);
        } else {
            const std::string name = sysType == ecusim::kBootType5600 ? "SAMPLE 5600" : "SAMPLE 5534";
            EXPECT_EQ(version, name + " v2.0s");
            Bytes expected = {0x02, 0x00};
            expected.insert(expected.end(), name.begin(), name.begin() + 8);
            EXPECT_EQ(ping, expected);
        }
    }
    EXPECT_EQ(t484Tags, (std::vector<std::string>{"DrvlnKap", "DvlKap55", "DrvlnTmk", "DvlTmk55"}));
}

} // namespace
