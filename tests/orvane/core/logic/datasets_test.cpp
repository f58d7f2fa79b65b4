// Whole data sets on the link against the simulated ECU: frames, the checks of a received set, what
// reaches the image in memory, progress and outcome.
#include "orvane/core/logic/utils.h"
#include "transferfixture.h"

#include <memory>
#include <string>

namespace {

using DataSets = TransferLogic;

DataSetReceipt Receive(std::uint16_t kind) {
    return ReceiveDataSet(kind, &TransferLogic::Record);
}
TransferOutcome Send(std::uint16_t kind, const char* name = "") {
    return SendDataSet(kind, name, &TransferLogic::Record);
}

// ---- receiving ----------------------------------------------------------------------------------------

TEST_F(DataSets, ReceiveConfigurationFrames) {
    const DataSetReceipt receipt = Receive(1);
    ASSERT_EQ(receipt.outcome, TransferOutcome::Done);
    const std::vector<Bytes> reads = Requests(CMD_READ_BLOCK);
    ASSERT_EQ(reads.size(), 13u);
    EXPECT_EQ(reads.front(), (Bytes{0x55, 0x07, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xFF, 0x0F}));
    EXPECT_EQ(reads.back(), (Bytes{0x55, 0x07, 0x08, 0x00, 0x00, 0x0B, 0xF4, 0x00, 0x01, 0x0C, 0x1B}));
    EXPECT_EQ(ecuParData.endMarker, kEndMarker);
    EXPECT_EQ(CheckDataHeader(ecuParData.header), 0);
    EXPECT_EQ(receipt.name.data(), ecusim::ImageName(Store(ecusim::Store::Par)));
    ExpectProgress(zzzDimParBuf, true);
    EXPECT_EQ(progress.size(), 13u + 1);
}

// Area 2 is mapping slot 1 and area 3 slot 2; 679 blocks each, the last one 166 bytes.
TEST_F(DataSets, ReceiveMappingFrames) {
    ASSERT_EQ(Receive(2).outcome, TransferOutcome::Done);
    std::vector<Bytes> reads = Requests(CMD_READ_BLOCK);
    ASSERT_EQ(reads.size(), 679u);
    EXPECT_EQ(reads.back(), (Bytes{0x55, 0x07, 0x08, 0x00, 0x02, 0xA3, 0x5A, 0x00, 0x02, 0xA6, 0xB6}));
    ExpectProgress(zzzDimMapBuf, true);
    link->requests.clear();
    const DataSetReceipt slot2 = Receive(3);
    ASSERT_EQ(slot2.outcome, TransferOutcome::Done);
    reads = Requests(CMD_READ_BLOCK);
    ASSERT_EQ(reads.size(), 679u);
    EXPECT_EQ(reads.back(), (Bytes{0x55, 0x07, 0x08, 0x00, 0x02, 0xA3, 0x5A, 0x00, 0x03, 0xA6, 0xB7}));
    EXPECT_EQ(slot2.name.data(), ecusim::ImageName(Store(ecusim::Store::Slot2)));
}

TEST_F(DataSets, ReceiveOnlyKnownKinds) {
    for (std::uint16_t kind : {0, 4, 9, 15})
        EXPECT_EQ(Receive(kind).outcome, TransferOutcome::NoSuchArea) << kind;
    EXPECT_TRUE(link->requests.empty());
    EXPECT_TRUE(progress.empty());
}

// The header is looked at before anything else: another application's or version's set is refused even
// where its checksum holds, and only the suffix and the last 16 bytes may differ.
TEST_F(DataSets, ReceivedHeaderDecides) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::size_t, Bytes>> patches; // offset in the data header, bytes
        TransferOutcome outcome;
    };
    const Case cases[] = {
        {"other sub-version", {{31, {12}}}, TransferOutcome::OtherVersion},
        {"other version", {{30, {2}}}, TransferOutcome::OtherVersion},
        {"other application", {{0, {'K', 'e', 's'}}}, TransferOutcome::ForeignData},
        {"name and version", {{0, {'X'}}, {30, {2}}}, TransferOutcome::ForeignData},
        {"a byte after the name", {{29, {'z'}}}, TransferOutcome::ForeignData},
        {"only the suffix", {{32, {'b'}}}, TransferOutcome::Done},
        {"only the last 16 bytes", {{50, {1, 2, 3}}}, TransferOutcome::Done},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecu.model = ecusim::MakeEcuModel("");
        for (const auto& [at, bytes] : c.patches)
            PatchStoredHeader(ecusim::Store::Slot1, at, bytes);
        std::memset(&ecuMapData, 0x77, sizeof ecuMapData);
        progress.clear();
        const DataSetReceipt receipt = Receive(2);
        EXPECT_EQ(receipt.outcome, c.outcome);
        const auto* header = reinterpret_cast<const std::uint8_t*>(&receipt.header);
        for (const auto& [at, bytes] : c.patches)
            EXPECT_EQ(header[at], bytes[0]) << "the header as received, at " << at;
        ExpectProgress(zzzDimMapBuf, c.outcome == TransferOutcome::Done);
        if (c.outcome != TransferOutcome::Done) {
            EXPECT_EQ(ecuMapData.notes[0], 0x77);
        } else {
            // The image keeps the header it came with.
            const auto at = c.patches[0].first;
            EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(&ecuMapData.header)[at], c.patches[0].second[0]);
        }
    }
}

// A received set whose checks fail changes nothing.
TEST_F(DataSets, DamagedImagesAreRefused) {
    struct Corruption {
        const char* what;
        std::size_t at; // in the EcuImage: one bit flips there
        bool resealed;  // the checksum made right again after the flip
    };
    const Corruption cases[] = {
        {"length", 3, false},
        {"end marker", 3072 - 1, false},
        {"end marker under a right checksum", 3072 - 2, true},
        {"checksum", 5, false},
        {"a data byte", 2000, false}, // the checksum no longer matches
    };
    for (const Corruption& c : cases) {
        SCOPED_TRACE(c.what);
        ecu.model = ecusim::MakeEcuModel("");
        Store(ecusim::Store::Par)[c.at] ^= 0x01;
        if (c.resealed) ecusim::SealImage(Store(ecusim::Store::Par));
        FillSound(ecuParData, 3);
        const EcuParData before = ecuParData;
        progress.clear();
        EXPECT_EQ(Receive(1).outcome, TransferOutcome::Damaged);
        EXPECT_EQ(std::memcmp(&ecuParData, &before, sizeof before), 0);
        ExpectProgress(zzzDimParBuf, false);
    }
}

TEST_F(DataSets, LinkLostMidwayChangesNothing) {
    FillSound(ecuMapData, 9);
    const auto before = std::make_unique<EcuMapData>(ecuMapData);
    link->writesLeft = 300;
    EXPECT_EQ(Receive(2).outcome, TransferOutcome::LinkFailed);
    EXPECT_EQ(std::memcmp(&ecuMapData, before.get(), sizeof ecuMapData), 0);
    EXPECT_EQ(Requests(CMD_READ_BLOCK).size(), 300u);
    ExpectProgress(zzzDimMapBuf, false);
    EXPECT_EQ(progress.size(), 301u) << "one report before each block, the failed one included";
}

// A short reply ends the read: nothing beyond it is taken as data.
TEST_F(DataSets, ShortReadReplyFails) {
    link->tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == CMD_READ_BLOCK && reply) reply->data.pop_back();
        return reply;
    };
    EXPECT_EQ(Receive(1).outcome, TransferOutcome::LinkFailed);
    EXPECT_EQ(Requests(CMD_READ_BLOCK).size(), 1u);
}

TEST_F(DataSets, FullNameFieldGivesItsFirst31Characters) {
    Bytes& image = Store(ecusim::Store::Par);
    std::fill(image.begin() + 8, image.begin() + 40, 'n');
    ecusim::SealImage(image);
    const DataSetReceipt receipt = Receive(1);
    ASSERT_EQ(receipt.outcome, TransferOutcome::Done);
    EXPECT_EQ(receipt.name.data(), std::string(31, 'n'));
}

// ---- sending ------------------------------------------------------------------------------------------

TEST_F(DataSets, BeginFrames) {
    ASSERT_EQ(Send(1), TransferOutcome::Done);
    EXPECT_EQ(Requests(CMD_WRITE_BEGIN).at(0),
              (Bytes{0x55, 0x06, 0x04, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x01, 0x17}));
    ExpectProgress(zzzDimParBuf, true);
    link->requests.clear();
    progress.clear();
    ASSERT_EQ(Send(3), TransferOutcome::Done);
    EXPECT_EQ(Requests(CMD_WRITE_BEGIN).at(0),
              (Bytes{0x55, 0x06, 0x04, 0x00, 0x02, 0xA4, 0x00, 0x00, 0x03, 0xB3}));
    EXPECT_EQ(Requests(CMD_WRITE_BLOCK).size(), 679u);
    ExpectProgress(zzzDimMapBuf, true);
    link->requests.clear();
    ASSERT_EQ(Send(7), TransferOutcome::Done); // any other kind: the configuration
    EXPECT_EQ(Requests(CMD_WRITE_BEGIN).at(0)[8], 0x01);
}

TEST_F(DataSets, AllZeroImageWithEmptyName) {
    ASSERT_EQ(Send(1), TransferOutcome::Done);
    const Bytes first = Requests(CMD_WRITE_BLOCK).at(0);
    ASSERT_EQ(first.size(), 255u + 4);
    EXPECT_EQ(Bytes(first.begin() + 3, first.begin() + 11),
              (Bytes{0x00, 0x00, 0x0B, 0xF8, 0x03, 0x89, 0x00, 0x00}));
}

// What the ECU keeps is this application's header, the end marker and the name given, whatever the image
// in memory holds; the image in memory keeps its own header. A name too long is cut to 31 characters.
TEST_F(DataSets, SentImageCarriesOurHeaderAndName) {
    FillSound(ecuParData, 1);
    std::memset(&ecuParData.header, 'x', sizeof ecuParData.header);
    ecuParData.endMarker = 0;
    const EcuParData before = ecuParData;
    ASSERT_EQ(Send(1, "Track day"), TransferOutcome::Done);
    EXPECT_EQ(std::memcmp(&ecuParData, &before, sizeof before), 0);
    EXPECT_EQ(ecusim::ImageName(Store(ecusim::Store::Par)), "Track day");
    const DataSetReceipt receipt = Receive(1);
    ASSERT_EQ(receipt.outcome, TransferOutcome::Done);
    EXPECT_EQ(receipt.name.data(), std::string("Track day"));
    EXPECT_EQ(CheckDataHeader(ecuParData.header), 0);
    EXPECT_EQ(ecuParData.endMarker, kEndMarker);

    const std::string longName(40, 'L');
    ASSERT_EQ(Send(1, longName.c_str()), TransferOutcome::Done);
    EXPECT_EQ(ecusim::ImageName(Store(ecusim::Store::Par)), std::string(31, 'L'));
}

TEST_F(DataSets, SendThenReceiveGivesBackEveryDataSet) {
    FillSound(ecuParData, 1);
    const EcuParData par = ecuParData;
    ASSERT_EQ(Send(1), TransferOutcome::Done);
    for (std::uint16_t kind : {2, 3}) {
        FillSound(ecuMapData, static_cast<std::uint8_t>(kind));
        ASSERT_EQ(Send(kind), TransferOutcome::Done);
    }
    const auto slot3 = std::make_unique<EcuMapData>(ecuMapData);
    std::memset(&ecuParData, 0, sizeof ecuParData);
    ASSERT_EQ(Receive(1).outcome, TransferOutcome::Done);
    EXPECT_EQ(std::memcmp(&ecuParData, &par, sizeof par), 0);
    ASSERT_EQ(Receive(3).outcome, TransferOutcome::Done);
    EXPECT_EQ(std::memcmp(&ecuMapData, slot3.get(), sizeof ecuMapData), 0);
    ASSERT_EQ(Receive(2).outcome, TransferOutcome::Done);
    auto slot2 = std::make_unique<EcuMapData>();
    FillSound(*slot2, 2);
    EXPECT_EQ(std::memcmp(&ecuMapData, slot2.get(), sizeof ecuMapData), 0);
}

TEST_F(DataSets, ShortAcknowledgementsStillFinish) {
    ecu.model.shortAcks = true;
    FillSound(ecuMapData, 5);
    ASSERT_EQ(Send(2), TransferOutcome::Done);
    EXPECT_GT(Requests(CMD_WRITE_BLOCK).size(), 679u);
    ExpectProgress(zzzDimMapBuf, true);
    const auto sent = std::make_unique<EcuMapData>(ecuMapData);
    std::memset(&ecuMapData, 0, sizeof ecuMapData);
    ASSERT_EQ(Receive(2).outcome, TransferOutcome::Done);
    EXPECT_EQ(std::memcmp(&ecuMapData, sent.get(), sizeof ecuMapData), 0);
}

// No good reply to the begin command: not one block goes out.
TEST_F(DataSets, FailedBeginSendsNoBlock) {
    link->tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == CMD_WRITE_BEGIN && reply) reply->cmd = CMD_VERSION;
        return reply;
    };
    EXPECT_EQ(Send(1), TransferOutcome::LinkFailed);
    EXPECT_TRUE(Requests(CMD_WRITE_BLOCK).empty());
    EXPECT_TRUE(progress.empty());
}

} // namespace
