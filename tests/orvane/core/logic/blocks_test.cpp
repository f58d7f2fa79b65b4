// The block layer against the simulated ECU: the acknowledgement rule of writes, bare map blocks, and
// their progress and outcome.
#include "transferfixture.h"

namespace {

using Blocks = TransferLogic;

// Writes the configuration: 13 blocks.
TransferOutcome WriteParArea() {
    return SendDataSet(AREA_PAR, "", &TransferLogic::Record);
}

// An acknowledgement below what was sent makes the next block start there; one above it fails.
TEST_F(Blocks, AcknowledgementRule) {
    int blocks = 0;
    std::uint32_t ackFirst = 0;
    link->tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd != CMD_WRITE_BLOCK || ++blocks != 1) return reply;
        if (ackFirst < 255) ecu.model.write->accepted = ackFirst; // the ECU really kept only that much
        ecusim::PutBE32(reply->data.data(), ackFirst);
        return reply;
    };
    ackFirst = 200;
    ASSERT_EQ(WriteParArea(), TransferOutcome::Done);
    const std::vector<Bytes> sent = Requests(CMD_WRITE_BLOCK);
    ASSERT_EQ(sent.size(), 13u); // 255, then 2872 bytes from byte 200: 11 x 255 + 67
    EXPECT_EQ(sent[1][1], 255);  // a full block again, from byte 200
    EXPECT_TRUE(std::equal(sent[0].begin() + 3 + 200, sent[0].end() - 1, sent[1].begin() + 3));
    EXPECT_EQ(sent.back()[1], 67);
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress[1].first, 200u) << "progress counts what the ECU acknowledged";
    ExpectProgress(zzzDimParBuf, true);

    link->requests.clear();
    progress.clear();
    blocks = 0;
    ackFirst = 300;
    EXPECT_EQ(WriteParArea(), TransferOutcome::LinkFailed);
    EXPECT_EQ(Requests(CMD_WRITE_BLOCK).size(), 1u);
    EXPECT_EQ(progress.size(), 1u);
}

// An ECU that keeps acknowledging without taking anything new is given up on.
TEST_F(Blocks, ResendsAreBounded) {
    link->tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd != CMD_WRITE_BLOCK || !reply) return reply;
        std::size_t& accepted = ecu.model.write->accepted; // the ECU takes nothing beyond byte 510
        accepted = std::min<std::size_t>(accepted, 510);
        ecusim::PutBE32(reply->data.data(), static_cast<std::uint32_t>(accepted));
        return reply;
    };
    EXPECT_EQ(WriteParArea(), TransferOutcome::LinkFailed);
    // Two blocks bring progress (255, 510); then eight acknowledgements of 510 in a row end it.
    EXPECT_EQ(Requests(CMD_WRITE_BLOCK).size(), 2u + kMaxWriteStalls);
    ExpectProgress(zzzDimParBuf, false);
    EXPECT_EQ(progress.back().first, 510u);
}

// A malformed acknowledgement ends the write there.
TEST_F(Blocks, ShortAcknowledgementFrameFails) {
    link->tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == CMD_WRITE_BLOCK && reply) reply->data.resize(3);
        return reply;
    };
    EXPECT_EQ(WriteParArea(), TransferOutcome::LinkFailed);
    EXPECT_EQ(Requests(CMD_WRITE_BLOCK).size(), 1u);
}

TEST_F(Blocks, BareBlocksReadInHostOrder) {
    Bytes& slot1 = Store(ecusim::Store::Slot1);
    slot1[40 + 0x19400] = 0x12; // first cell of map 3, big-endian
    slot1[40 + 0x19401] = 0x34;
    Map20x32 map3{};
    ASSERT_EQ(ReadMapBlock(3, map3, &Record), TransferOutcome::Done);
    EXPECT_EQ(map3.cells[0][0], 0x1234);
    const std::vector<Bytes> reads = Requests(CMD_READ_BLOCK);
    ASSERT_EQ(reads.size(), 6u); // 1384 bytes
    EXPECT_EQ(reads[0][8], 11);  // area 11
    ExpectProgress(sizeof map3, true);

    Map4x20x32 map1{};
    EXPECT_EQ(ReadMapBlock(18, map1, &Record), TransferOutcome::Done);
    link->requests.clear();
    progress.clear();
    EXPECT_EQ(ReadMapBlock(4, map1, &Record), TransferOutcome::NoSuchArea);
    EXPECT_EQ(ReadMapBlock(3, map1, &Record), TransferOutcome::NoSuchArea); // 3 is a single-matrix block
    ExtMiniMap coc{};
    EXPECT_EQ(ReadMapBlock(1, coc, &Record), TransferOutcome::NoSuchArea);
    EXPECT_TRUE(link->requests.empty());
    EXPECT_TRUE(progress.empty());
}

TEST_F(Blocks, BareBlockCutOffFails) {
    link->writesLeft = 2;
    Map20x32 map3{};
    EXPECT_EQ(ReadMapBlock(3, map3, &Record), TransferOutcome::LinkFailed);
    ExpectProgress(sizeof map3, false);
}

TEST_F(Blocks, CoCorrectionMapGoesOutInLinkOrder) {
    ExtMiniMap map{};
    map.cells[0][0] = 0x0102;
    map.y[9] = 0x0304;
    ASSERT_EQ(WriteMapBlock(31, map, &Record), TransferOutcome::Done);
    const Bytes& stored = Store(ecusim::Store::CocB);
    EXPECT_EQ(stored[0], 0x01);
    EXPECT_EQ(stored[1], 0x02);
    EXPECT_EQ(stored[370], 0x03);
    EXPECT_EQ(stored[371], 0x04);
    EXPECT_EQ(static_cast<std::uint16_t>(map.cells[0][0]), 0x0201); // left in link order
    EXPECT_EQ(Requests(CMD_WRITE_BEGIN).at(0)[8], 21);
    ExpectProgress(sizeof map, true);

    ExtMiniMap back{};
    ASSERT_EQ(ReadMapBlock(31, back, &Record), TransferOutcome::Done);
    EXPECT_EQ(back.cells[0][0], 0x0102);
    EXPECT_EQ(back.y[9], 0x0304);

    link->requests.clear();
    EXPECT_EQ(WriteMapBlock(1, map, &Record), TransferOutcome::NoSuchArea);
    EXPECT_EQ(WriteMapBlock(18, map, &Record), TransferOutcome::NoSuchArea);
    EXPECT_TRUE(link->requests.empty());
}

// The block stays in host order when the ECU does not take the begin command.
TEST_F(Blocks, CoCorrectionMapRefusedBeginKeepsTheBlock) {
    link->tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == CMD_WRITE_BEGIN && reply) reply->cmd = CMD_VERSION;
        return reply;
    };
    ExtMiniMap map{};
    map.cells[0][0] = 0x0102;
    EXPECT_EQ(WriteMapBlock(30, map, &Record), TransferOutcome::LinkFailed);
    EXPECT_EQ(map.cells[0][0], 0x0102);
    EXPECT_TRUE(Requests(CMD_WRITE_BLOCK).empty());
}

} // namespace
