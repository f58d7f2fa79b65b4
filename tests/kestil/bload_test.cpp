// The boot loader's frames and commands as Kestil sends and reads them, against the simulator.
#include "bootlink.h"

#include <gtest/gtest.h>

namespace {

struct BloadTest : testing::Test {
    void SetUp() override { ResetBootLink(); }
    void TearDown() override { ResetBootLink(); }

    ecusim::EcuSim sim;
};

TEST_F(BloadTest, FramesGoOutByteForByte) {
    SimLink& link = AttachBootSim(sim);
    const std::uint8_t block[] = {0x01, 0x02, 0xAA, 0xBB, 0xCC};
    const std::uint8_t end[] = {0x01, 0x03};
    ASSERT_TRUE(TxCommand(BL_PING, nullptr, 0));
    ASSERT_TRUE(TxCommand(BL_PING, std::array<std::uint8_t, 2>{0x00, 0x01}.data(), 2));
    ASSERT_TRUE(TxCommand(BL_GET_CUST_ID, nullptr, 0));
    ASSERT_TRUE(TxCommand(BL_WRITE_BLOCK, block, sizeof block));
    ASSERT_TRUE(TxCommand(BL_WRITE_BLOCK, end, sizeof end));
    const std::vector<Bytes> expected = {
        {0x6A, 0x01, 0x01, 0x00},                               // old ping: the checksum is cmd + 0
        {0x6A, 0x04, 0x01, 0x02, 0x00, 0x01},                   // new ping
        {0x6A, 0x0F, 0x0F, 0x00},                               // customer id
        {0x6A, 0x3F, 0x06, 0x05, 0x01, 0x02, 0xAA, 0xBB, 0xCC}, // block 0x0102 with three bytes
        {0x6A, 0x0C, 0x06, 0x02, 0x01, 0x03},                   // the closing block: its number alone
    };
    EXPECT_EQ(link.requests, expected);
    EXPECT_FALSE(TxCommand(BL_PING, nullptr, 1)) << "data missing for a nonzero length";
}

TEST_F(BloadTest, EraseGoesOnlyToTheAreasOfTheSystemType) {
    struct Case {
        std::uint16_t type;
        std::uint8_t area;
        bool sent;
    };
    const Case cases[] = {
        {0x5600, 0, true},  {0x5600, 7, true},  {0x5600, 8, false}, {0x5534, 2, true}, {0x5534, 13, false},
        {0x5534, 14, true}, {0x5534, 15, true}, {0x5534, 1, false}, {0, 1, false}, // nothing identified yet
    };
    for (const Case& c : cases) {
        ecusim::EcuSim bootSim({.bootType = c.type == 0 ? ecusim::kBootType5600 : c.type});
        SimLink& link = AttachBootSim(bootSim);
        sysType = c.type;
        EXPECT_EQ(EraseArea(c.area), c.sent) << std::hex << c.type << " area " << std::dec << int{c.area};
        const std::vector<Bytes> expected =
            c.sent ? std::vector<Bytes>{{0x6A, static_cast<std::uint8_t>(5 + 1 + c.area), 0x05, 0x01, c.area}}
                   : std::vector<Bytes>{};
        EXPECT_EQ(link.requests, expected);
    }
}

TEST_F(BloadTest, PingFindsEitherFormAndAlternatesWithoutAnswer) {
    for (bool oldLoader : {false, true}) {
        ResetBootLink();
        ecusim::EcuSim bootSim({.bootOldPing = oldLoader});
        AttachBootSim(bootSim);
        const bool first = Ping();
        const bool second = first || Ping();
        EXPECT_EQ(first, oldLoader) << "the first ping has the old form";
        EXPECT_TRUE(second) << "either form is found within two pings";
        EXPECT_EQ(fOldBload, oldLoader);
    }
    ResetBootLink();
    SimLink& link = AttachBootSim(sim);
    link.tamper = [](const ecusim::Frame&, std::optional<ecusim::Frame>) { return std::nullopt; };
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Ping());
    ASSERT_EQ(link.requests.size(), 3u);
    EXPECT_EQ(link.requests[0].size(), 4u) << "old";
    EXPECT_EQ(link.requests[1].size(), 6u) << "new";
    EXPECT_EQ(link.requests[2].size(), 4u) << "old";
}

TEST_F(BloadTest, ReplyFramesAreCheckedBeforeTheirDataReachTheCaller) {
    struct Case {
        const char* what;
        Bytes wire;
        std::uint8_t maxLen;
        int result;
    };
    const Case cases[] = {
        {"good", {0x6A, 0x5A, 0x02, 0x02, 0x56, 0x00}, 4, 0},
        {"nothing", {}, 4, 1},
        {"short header", {0x6A, 0x5A}, 4, -1},
        {"wrong start", {0x55, 0x5A, 0x02, 0x02, 0x56, 0x00}, 4, -1},
        {"other command", {0x6A, 0x5B, 0x03, 0x02, 0x56, 0x00}, 4, -1},
        {"longer than asked", {0x6A, 0x5A, 0x02, 0x02, 0x56, 0x00}, 1, -1},
        {"short data", {0x6A, 0x5A, 0x02, 0x02, 0x56}, 4, -1},
        {"bad checksum", {0x6A, 0x5B, 0x02, 0x02, 0x56, 0x00}, 4, -1},
    };
    for (const Case& c : cases) {
        SimLink& link = AttachBootSim(sim);
        link.rx.assign(c.wire.begin(), c.wire.end());
        std::array<std::uint8_t, 4> buf{0xEE, 0xEE, 0xEE, 0xEE};
        std::uint8_t len = 0;
        EXPECT_EQ(RxResponse(BL_GET_INFO, buf.data(), c.maxLen, &len), c.result) << c.what;
        const std::array<std::uint8_t, 4> expected =
            c.result == 0 ? std::array<std::uint8_t, 4>{0x56, 0x00, 0xEE, 0xEE}
                          : std::array<std::uint8_t, 4>{0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(buf, expected) << c.what << ": only a good frame reaches the buffer";
    }
}

TEST_F(BloadTest, LateBytesAreDroppedBeforeTheNextFrame) {
    SimLink& link = AttachBootSim(sim);
    link.rx.assign({0x6A, 0x01, 0x01, 0x00}); // a late reply to an earlier ping
    ASSERT_TRUE(TxCommand(BL_GET_CUST_ID, nullptr, 0));
    std::array<std::uint8_t, 2> id{};
    std::uint8_t len = 0;
    EXPECT_EQ(RxResponse(BL_GET_CUST_ID, id.data(), 2, &len), 0);
    EXPECT_EQ(id, (std::array<std::uint8_t, 2>{0x0A, 0x1C}));
}

TEST_F(BloadTest, SystemTypeIsReadAndCheckedAfresh) {
    struct Case {
        Bytes reply;
        bool ok;
        std::uint16_t type;
    };
    const Case cases[] = {
        {{0x56, 0x00}, true, 0x5600},
        {{0x55, 0x34}, true, 0x5534},
        {{0x12, 0x34}, false, 0},
        {{0x56, 0x00, 0x00}, false, 0},
    };
    for (const Case& c : cases) {
        SimLink& link = AttachBootSim(sim);
        link.tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame>) {
            return std::optional<ecusim::Frame>({request.cmd, c.reply, true});
        };
        sysType = 0x5600;
        EXPECT_EQ(CheckBloadInfo(), c.ok);
        EXPECT_EQ(sysType, c.type);
    }
    SimLink& silent = AttachBootSim(sim);
    silent.tamper = [](const ecusim::Frame&, std::optional<ecusim::Frame>) { return std::nullopt; };
    sysType = 0x5534;
    EXPECT_FALSE(CheckBloadInfo());
    EXPECT_EQ(sysType, 0x5534) << "a failed exchange leaves the system type";
}

TEST_F(BloadTest, BlocksAreAcknowledgedOnlyInSequenceAfterTheErase) {
    ASSERT_TRUE(ConnectBootSim(sim));
    const std::uint8_t block0[] = {0x00, 0x00, 'D', 'r'};
    EXPECT_FALSE(SendAndWait(BL_WRITE_BLOCK, block0, sizeof block0)) << "a write before the erase";
    for (std::uint8_t area = 1; area <= 7; ++area)
        ASSERT_TRUE(EraseArea(area));
    const std::uint8_t block1[] = {0x00, 0x01, 'v'};
    EXPECT_FALSE(SendAndWait(BL_WRITE_BLOCK, block1, sizeof block1)) << "out of sequence";
    EXPECT_TRUE(SendAndWait(BL_WRITE_BLOCK, block0, sizeof block0));
    EXPECT_TRUE(SendAndWait(BL_WRITE_BLOCK, block1, sizeof block1));
}

TEST_F(BloadTest, EraseWaitsLongerForItsReplyThanABlock) {
    // A reply 3 s late: within the erase's 5.0 s, past the block's 2.5 s.
    SimLink* link = ConnectBootSim(sim);
    ASSERT_NE(link, nullptr);
    link->replyDelay = 3.0;
    EXPECT_TRUE(EraseArea(1));
    for (std::uint8_t area = 2; area <= 7; ++area) {
        link->replyDelay = 0;
        ASSERT_TRUE(EraseArea(area));
    }
    link->replyDelay = 3.0;
    const std::uint8_t block0[] = {0x00, 0x00, 'D', 'r'};
    EXPECT_FALSE(SendAndWait(BL_WRITE_BLOCK, block0, sizeof block0));
}

} // namespace
