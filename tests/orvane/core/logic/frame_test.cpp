// Frames as TxCommand puts them on the wire, and the clean start of every exchange.
#include "linktest.h"

#include <array>

class TxCommandTest : public LinkTest {};

TEST_P(TxCommandTest, SendsStartLengthCommandDataAndSum) {
    const Wire wire(GetParam(), secTimeOut);
    ASSERT_TRUE(TxCommand(0x01, nullptr, 0));
    EXPECT_EQ(wire.Receive(4), (Bytes{0x55, 0x00, 0x01, 0x01}));

    const std::array<std::uint8_t, 30> keys{};
    ASSERT_TRUE(TxCommand(0x03, keys.data(), keys.size()));
    Bytes ping{0x55, 0x1E, 0x03};
    ping.resize(33, 0);
    ping.push_back(0x21);
    EXPECT_EQ(wire.Receive(34), ping);

    const std::array<std::uint8_t, 3> data{0xFF, 0xFF, 0x10};
    ASSERT_TRUE(TxCommand(0x08, data.data(), data.size()));
    EXPECT_EQ(wire.Receive(7), (Bytes{0x55, 0x03, 0x08, 0xFF, 0xFF, 0x10, 0x19}));
}

TEST_P(TxCommandTest, RefusesDataLengthWithoutData) {
    const Wire wire(GetParam(), secTimeOut);
    EXPECT_FALSE(TxCommand(0x05, nullptr, 3));
    EXPECT_TRUE(wire.Pending().empty());
}

// A reply that came too late for an earlier exchange must not pass for the reply to the next command.
TEST_P(TxCommandTest, DiscardsBytesLeftFromAnEarlierExchange) {
    const Wire wire(GetParam(), secTimeOut);
    wire.Send({0x55, 0x01, 0x01, 0x7E, 0x80});
    wire.AwaitDelivery();
    ASSERT_TRUE(TxCommand(0x01, nullptr, 0));
    ASSERT_EQ(wire.Receive(4).size(), 4u);
    wire.Send({0x55, 0x01, 0x01, 0x42, 0x44});
    std::uint8_t buf[8] = {};
    std::uint8_t len = 0;
    ASSERT_EQ(RxResponse(0x01, buf, sizeof buf, &len), 0);
    EXPECT_EQ(len, 1);
    EXPECT_EQ(buf[0], 0x42);
}

INSTANTIATE_OVER_WIRES(TxCommandTest);

TEST(LinkClosed, NothingGoesOutAndNothingComesIn) {
    CloseComPort();
    std::uint8_t buf[4];
    std::uint8_t len = 0;
    EXPECT_FALSE(TxCommand(0x01, nullptr, 0));
    EXPECT_EQ(RxResponse(0x01, buf, sizeof buf, &len), -1);
}
