#include "appfixture.h"
#include "orvane/core/byteorder.h"
#include "orvane/core/com.h"
#include "orvane/core/transfer.h"
#include "simlink.h"

#include <memory>
#include <numeric>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

template <class T> std::span<std::uint8_t> RawOf(T& t) {
    return {reinterpret_cast<std::uint8_t*>(&t), sizeof t};
}

// A data image that any receiver accepts: this program's header, the end marker, the rest a pattern.
template <class Data> void FillSound(Data& data, std::uint8_t seed) {
    auto raw = RawOf(data);
    for (std::size_t i = 0; i < raw.size(); ++i)
        raw[i] = static_cast<std::uint8_t>(i * 13 + seed);
    MakeDataHeader(data.header);
    data.endMarker = kEndMarker;
}

struct TransferTest : AppFixture {
    ecusim::EcuSim ecu;
    SimLink* link = nullptr;

    void SetUp() override {
        AppFixture::SetUp();
        auto owned = std::make_unique<SimLink>(ecu);
        link = owned.get();
        AttachComLink(std::move(owned));
    }
    void TearDown() override { CloseComPort(); }

    Bytes& Store(ecusim::Store s) { return ecu.model.StoreBytes(s); }

    // Changes a stored data set's header as another program would have written it, keeping it sound.
    void PatchStoredHeader(ecusim::Store s, std::size_t at, std::span<const std::uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), Store(s).begin() + 40 + static_cast<std::ptrdiff_t>(at));
        ecusim::SealImage(Store(s));
    }

    // Requests of one command code, as on the wire.
    std::vector<Bytes> Requests(std::uint8_t cmd) const {
        std::vector<Bytes> out;
        for (const Bytes& r : link->requests)
            if (r.size() > 2 && r[2] == cmd) out.push_back(r);
        return out;
    }
};

// ---- receiving ----------------------------------------------------------------------------------------

TEST_F(TransferTest, ReceiveConfigurationFrames) {
    ASSERT_TRUE(RequestEcu(1)) << popups.Report();
    const std::vector<Bytes> reads = Requests(CMD_READ_BLOCK);
    ASSERT_EQ(reads.size(), 13u);
    EXPECT_EQ(reads.front(), (Bytes{0x55, 0x07, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xFF, 0x0F}));
    EXPECT_EQ(reads.back(), (Bytes{0x55, 0x07, 0x08, 0x00, 0x00, 0x0B, 0xF4, 0x00, 0x01, 0x0C, 0x1B}));
    EXPECT_EQ(ecuParData.endMarker, kEndMarker);
    EXPECT_EQ(CheckDataHeader(ecuParData.header), 0);
    EXPECT_EQ(ShownName(1), ecusim::ImageName(Store(ecusim::Store::Par)));
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

// Area 2 is mapping slot 1 and area 3 slot 2; 679 blocks each, the last one 166 bytes.
TEST_F(TransferTest, ReceiveMappingFrames) {
    ASSERT_TRUE(RequestEcu(2));
    std::vector<Bytes> reads = Requests(CMD_READ_BLOCK);
    ASSERT_EQ(reads.size(), 679u);
    EXPECT_EQ(reads.back(), (Bytes{0x55, 0x07, 0x08, 0x00, 0x02, 0xA3, 0x5A, 0x00, 0x02, 0xA6, 0xB6}));
    link->requests.clear();
    ASSERT_TRUE(RequestEcu(3));
    reads = Requests(CMD_READ_BLOCK);
    ASSERT_EQ(reads.size(), 679u);
    EXPECT_EQ(reads.back(), (Bytes{0x55, 0x07, 0x08, 0x00, 0x02, 0xA3, 0x5A, 0x00, 0x03, 0xA6, 0xB7}));
    EXPECT_EQ(ShownName(2), ecusim::ImageName(Store(ecusim::Store::Slot2)));
}

TEST_F(TransferTest, ReceiveOnlyKnownKinds) {
    for (std::uint16_t kind : {0, 4, 9, 15})
        EXPECT_FALSE(RequestEcu(kind)) << kind;
    EXPECT_TRUE(link->requests.empty());
}

struct HeaderCase {
    const char* what;
    std::vector<std::pair<std::size_t, Bytes>> patches; // offset in the data header, bytes
    const char* message;                                // nullptr: accepted
};

TEST_F(TransferTest, ReceivedHeaderDecides) {
    const HeaderCase cases[] = {
        {"other sub-version", {{31, {12}}}, "Invalid data!\nData stored by (Orvane v1.12a)."},
        {"other application", {{0, {'K', 'e', 's'}}}, "Invalid data!\nData stored by another application."},
        {"name and version", {{0, {'X'}}, {30, {2}}}, "Invalid data!\nData stored by another application."},
        {"a byte after the name", {{29, {'z'}}}, "Invalid data!\nData stored by another application."},
        {"only the suffix", {{32, {'b'}}}, nullptr},
        {"only the last 16 bytes", {{50, {1, 2, 3}}}, nullptr},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.what);
        ecu.model = ecusim::MakeEcuModel("");
        for (const auto& [at, bytes] : c.patches)
            PatchStoredHeader(ecusim::Store::Slot1, at, bytes);
        ScriptedPopups script;
        if (c.message != nullptr) script.ExpectMessage();
        std::memset(&ecuMapData, 0x77, sizeof ecuMapData);
        ShowConfigName("before", 2);
        EXPECT_EQ(RequestEcu(2), c.message == nullptr);
        ASSERT_TRUE(script.AllExpected()) << script.Report();
        if (c.message != nullptr) {
            EXPECT_EQ(script.Records()[0].title, "Receive ECU mapping data");
            EXPECT_EQ(script.Records()[0].text, c.message);
            EXPECT_EQ(ecuMapData.notes[0], 0x77);
            EXPECT_EQ(ShownName(2), "before");
        } else {
            // The image keeps the header it came with.
            const auto at = c.patches[0].first;
            EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(&ecuMapData.header)[at], c.patches[0].second[0]);
        }
    }
}

// A suffix that fills its field has no terminator: the text stops at the field's end.
TEST_F(TransferTest, FullWidthSuffixPrintsBounded) {
    PatchStoredHeader(ecusim::Store::Par, 30, Bytes{2, 0});
    PatchStoredHeader(ecusim::Store::Par, 32, Bytes(16, 'S'));
    PatchStoredHeader(ecusim::Store::Par, 48, Bytes(16, 'Z'));
    popups.ExpectMessage();
    EXPECT_FALSE(RequestEcu(1));
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Receive ECU configuration data");
    EXPECT_EQ(popups.Records()[0].text,
              "Invalid data!\nData stored by (Orvane v2.0" + std::string(16, 'S') + ").");
}

// A received set whose checks fail changes nothing and shows nothing.
TEST_F(TransferTest, CorruptedImagesAreRefusedSilently) {
    struct Corruption {
        const char* what;
        std::size_t at; // in the EcuImage: one bit flips there
    };
    const Corruption cases[] = {
        {"length", 3},
        {"end marker", 3072 - 1},
        {"checksum", 5},
        {"a data byte", 2000}, // the checksum no longer matches
    };
    for (const Corruption& c : cases) {
        SCOPED_TRACE(c.what);
        ecu.model = ecusim::MakeEcuModel("");
        Bytes& image = Store(ecusim::Store::Par);
        image[c.at] ^= 0x01;
        FillSound(ecuParData, 3);
        const EcuParData before = ecuParData;
        ShowConfigName("kept", 1);
        EXPECT_FALSE(RequestEcu(1));
        EXPECT_EQ(std::memcmp(&ecuParData, &before, sizeof before), 0);
        EXPECT_EQ(ShownName(1), "kept");
    }
    EXPECT_TRUE(popups.Records().empty()) << popups.Report();
}

TEST_F(TransferTest, LinkLostMidwayChangesNothing) {
    FillSound(ecuMapData, 9);
    const auto before = std::make_unique<EcuMapData>(ecuMapData);
    ShowConfigName("kept", 2);
    link->writesLeft = 300;
    EXPECT_FALSE(RequestEcu(2));
    EXPECT_EQ(std::memcmp(&ecuMapData, before.get(), sizeof ecuMapData), 0);
    EXPECT_EQ(ShownName(2), "kept");
    EXPECT_EQ(Requests(CMD_READ_BLOCK).size(), 300u);
}

TEST_F(TransferTest, FullNameFieldShowsItsFirst31Characters) {
    Bytes& image = Store(ecusim::Store::Par);
    std::fill(image.begin() + 8, image.begin() + 40, 'n');
    ecusim::SealImage(image);
    ASSERT_TRUE(RequestEcu(1));
    EXPECT_EQ(ShownName(1), std::string(31, 'n'));
}

// ---- sending ------------------------------------------------------------------------------------------

TEST_F(TransferTest, BeginFrames) {
    ASSERT_TRUE(SendEcu(1));
    EXPECT_EQ(Requests(CMD_WRITE_BEGIN).at(0),
              (Bytes{0x55, 0x06, 0x04, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x01, 0x17}));
    link->requests.clear();
    ASSERT_TRUE(SendEcu(3));
    EXPECT_EQ(Requests(CMD_WRITE_BEGIN).at(0),
              (Bytes{0x55, 0x06, 0x04, 0x00, 0x02, 0xA4, 0x00, 0x00, 0x03, 0xB3}));
    EXPECT_EQ(Requests(CMD_WRITE_BLOCK).size(), 679u);
    link->requests.clear();
    ASSERT_TRUE(SendEcu(7)); // any other kind: the configuration
    EXPECT_EQ(Requests(CMD_WRITE_BEGIN).at(0)[8], 0x01);
}

TEST_F(TransferTest, AllZeroImageWithEmptyName) {
    ASSERT_TRUE(SendEcu(1));
    const Bytes first = Requests(CMD_WRITE_BLOCK).at(0);
    ASSERT_EQ(first.size(), 255u + 4);
    EXPECT_EQ(Bytes(first.begin() + 3, first.begin() + 11),
              (Bytes{0x00, 0x00, 0x0B, 0xF8, 0x03, 0x89, 0x00, 0x00}));
}

// What the ECU keeps is this application's header, the end marker and the shown name, whatever the
// image in memory holds; the image in memory keeps its own header.
TEST_F(TransferTest, SentImageCarriesOurHeaderAndName) {
    FillSound(ecuParData, 1);
    std::memset(&ecuParData.header, 'x', sizeof ecuParData.header);
    ecuParData.endMarker = 0;
    const EcuParData before = ecuParData;
    ShowConfigName("Track day", 1);
    ASSERT_TRUE(SendEcu(1));
    EXPECT_EQ(std::memcmp(&ecuParData, &before, sizeof before), 0);
    EXPECT_EQ(ecusim::ImageName(Store(ecusim::Store::Par)), "Track day");
    ASSERT_TRUE(RequestEcu(1));
    EXPECT_EQ(CheckDataHeader(ecuParData.header), 0);
    EXPECT_EQ(ecuParData.endMarker, kEndMarker);
}

TEST_F(TransferTest, SendThenReceiveGivesBackEveryDataSet) {
    FillSound(ecuParData, 1);
    const EcuParData par = ecuParData;
    ASSERT_TRUE(SendEcu(1));
    for (std::uint16_t kind : {2, 3}) {
        FillSound(ecuMapData, static_cast<std::uint8_t>(kind));
        ASSERT_TRUE(SendEcu(kind));
    }
    const auto slot3 = std::make_unique<EcuMapData>(ecuMapData);
    std::memset(&ecuParData, 0, sizeof ecuParData);
    ASSERT_TRUE(RequestEcu(1));
    EXPECT_EQ(std::memcmp(&ecuParData, &par, sizeof par), 0);
    ASSERT_TRUE(RequestEcu(3));
    EXPECT_EQ(std::memcmp(&ecuMapData, slot3.get(), sizeof ecuMapData), 0);
    ASSERT_TRUE(RequestEcu(2));
    auto slot2 = std::make_unique<EcuMapData>();
    FillSound(*slot2, 2);
    EXPECT_EQ(std::memcmp(&ecuMapData, slot2.get(), sizeof ecuMapData), 0);
    EXPECT_TRUE(popups.Records().empty()) << popups.Report();
}

// An acknowledgement below what was sent makes the next block start there; one above it fails.
TEST_F(TransferTest, AcknowledgementRule) {
    int blocks = 0;
    std::uint32_t ackFirst = 0;
    link->tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd != CMD_WRITE_BLOCK || ++blocks != 1) return reply;
        if (ackFirst < 255) ecu.model.write->accepted = ackFirst; // the ECU really kept only that much
        ecusim::PutBE32(reply->data.data(), ackFirst);
        return reply;
    };
    ackFirst = 200;
    ASSERT_TRUE(SendEcu(1));
    const std::vector<Bytes> sent = Requests(CMD_WRITE_BLOCK);
    ASSERT_EQ(sent.size(), 13u); // 255, then 2872 bytes from byte 200: 11 x 255 + 67
    EXPECT_EQ(sent[1][1], 255);  // a full block again, from byte 200
    EXPECT_TRUE(std::equal(sent[0].begin() + 3 + 200, sent[0].end() - 1, sent[1].begin() + 3));
    EXPECT_EQ(sent.back()[1], 67);

    link->requests.clear();
    blocks = 0;
    ackFirst = 300;
    EXPECT_FALSE(SendEcu(1));
    EXPECT_EQ(Requests(CMD_WRITE_BLOCK).size(), 1u);
}

// An ECU that keeps acknowledging without taking anything new is given up on.
TEST_F(TransferTest, ResendsAreBounded) {
    link->tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd != CMD_WRITE_BLOCK || !reply) return reply;
        std::size_t& accepted = ecu.model.write->accepted; // the ECU takes nothing beyond byte 510
        accepted = std::min<std::size_t>(accepted, 510);
        ecusim::PutBE32(reply->data.data(), static_cast<std::uint32_t>(accepted));
        return reply;
    };
    EXPECT_FALSE(SendEcu(1));
    // Two blocks bring progress (255, 510); then eight acknowledgements of 510 in a row end it.
    EXPECT_EQ(Requests(CMD_WRITE_BLOCK).size(), 2u + kMaxWriteStalls);
}

TEST_F(TransferTest, ShortAcknowledgementsStillFinish) {
    ecu.model.shortAcks = true;
    FillSound(ecuMapData, 5);
    ASSERT_TRUE(SendEcu(2));
    EXPECT_GT(Requests(CMD_WRITE_BLOCK).size(), 679u);
    const auto sent = std::make_unique<EcuMapData>(ecuMapData);
    std::memset(&ecuMapData, 0, sizeof ecuMapData);
    ASSERT_TRUE(RequestEcu(2));
    EXPECT_EQ(std::memcmp(&ecuMapData, sent.get(), sizeof ecuMapData), 0);
}

// ---- bare blocks --------------------------------------------------------------------------------------

TEST_F(TransferTest, BareBlocksReadInHostOrder) {
    Bytes& slot1 = Store(ecusim::Store::Slot1);
    slot1[40 + 0x19400] = 0x12; // first cell of map 3, big-endian
    slot1[40 + 0x19401] = 0x34;
    Map20x32 map3{};
    ASSERT_TRUE(RequestEcuMap(3, map3));
    EXPECT_EQ(map3.cells[0][0], 0x1234);
    const std::vector<Bytes> reads = Requests(CMD_READ_BLOCK);
    ASSERT_EQ(reads.size(), 6u); // 1384 bytes
    EXPECT_EQ(reads[0][8], 11);  // area 11

    Map4x20x32 map1{};
    EXPECT_TRUE(RequestEcuMap(18, map1));
    link->requests.clear();
    EXPECT_FALSE(RequestEcuMap(4, map1));
    EXPECT_FALSE(RequestEcuMap(3, map1)); // which 3 is a single-matrix block
    ExtMiniMap coc{};
    EXPECT_FALSE(RequestEcuMap(1, coc));
    EXPECT_TRUE(link->requests.empty());
}

TEST_F(TransferTest, CoCorrectionMapGoesOutInLinkOrder) {
    ExtMiniMap map{};
    map.cells[0][0] = 0x0102;
    map.y[9] = 0x0304;
    ASSERT_TRUE(SendEcuMap(31, map));
    const Bytes& stored = Store(ecusim::Store::CocB);
    EXPECT_EQ(stored[0], 0x01);
    EXPECT_EQ(stored[1], 0x02);
    EXPECT_EQ(stored[370], 0x03);
    EXPECT_EQ(stored[371], 0x04);
    EXPECT_EQ(static_cast<std::uint16_t>(map.cells[0][0]), 0x0201); // left in link order
    EXPECT_EQ(Requests(CMD_WRITE_BEGIN).at(0)[8], 21);

    ExtMiniMap back{};
    ASSERT_TRUE(RequestEcuMap(31, back));
    EXPECT_EQ(back.cells[0][0], 0x0102);
    EXPECT_EQ(back.y[9], 0x0304);

    link->requests.clear();
    EXPECT_FALSE(SendEcuMap(1, map));
    EXPECT_TRUE(link->requests.empty());
}

} // namespace
