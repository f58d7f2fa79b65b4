// RxResponse over both wires: every outcome, in the order of its checks.
#include "linktest.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kUntouched = 0xEE; // what buf and outLen hold before the call

struct ReadCase {
    const char* what;
    Bytes arriving;      // what the ECU sends
    std::uint8_t maxLen; // largest accepted length
    int result;
    int outLen;          // expected outLen; kUntouched when it must not be written
    Bytes data;          // expected start of buf; empty when buf must stay untouched
    Bytes thenRead = {}; // data of a frame that a further read must still find queued
};

const ReadCase kCases[] = {
    {"good frame", {0x55, 0x03, 0x01, 0xAA, 0xBB, 0xCC, 0x35}, 8, 0, 3, {0xAA, 0xBB, 0xCC}},
    {"good empty frame", {0x55, 0x00, 0x01, 0x01}, 0, 0, 0, {}},
    {"nothing", {}, 8, 1, kUntouched, {}},
    {"header but no data", {0x55, 0x02, 0x01}, 8, 1, 2, {}},
    {"only part of the header", {0x55, 0x02}, 8, -1, kUntouched, {}},
    {"only part of the data", {0x55, 0x03, 0x01, 0xAA}, 8, -1, 3, {}},
    {"wrong start byte", {0x54, 0x01, 0x01, 0x7E, 0x80}, 8, -1, kUntouched, {}},
    // The data of this frame is itself a whole frame: a later read finds it, so the data stayed queued.
    {"longer than accepted",
     {0x55, 0x05, 0x01, 0x55, 0x01, 0x01, 0x7E, 0x80, 0x00},
     4,
     -1,
     kUntouched,
     {},
     {0x7E}},
    {"reply to another command", {0x55, 0x01, 0x02, 0x7E, 0x81}, 8, -1, 1, {}},
    {"wrong sum", {0x55, 0x02, 0x01, 0xAA, 0xBB, 0x00}, 8, -1, 2, {}},
};

} // namespace

class RxResponseTest : public LinkTest {};

TEST_P(RxResponseTest, ChecksInOrder) {
    for (const ReadCase& c : kCases) {
        SCOPED_TRACE(c.what);
        const Wire wire(GetParam(), secTimeOut);
        if (!c.arriving.empty()) wire.Send(c.arriving);
        std::uint8_t buf[8];
        std::fill(std::begin(buf), std::end(buf), kUntouched);
        std::uint8_t len = kUntouched;
        EXPECT_EQ(RxResponse(0x01, buf, c.maxLen, &len), c.result);
        EXPECT_EQ(len, c.outLen);
        const Bytes expected = c.data.empty() ? Bytes(sizeof buf, kUntouched) : c.data;
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), buf));
        if (!c.thenRead.empty()) {
            ASSERT_EQ(RxResponse(0x01, buf, sizeof buf, &len), 0);
            EXPECT_EQ(Bytes(buf, buf + len), c.thenRead);
        }
    }
}

TEST_P(RxResponseTest, RefusesAMissingBuffer) {
    const Wire wire(GetParam(), secTimeOut);
    wire.Send({0x55, 0x00, 0x01, 0x01});
    std::uint8_t len = 0;
    EXPECT_EQ(RxResponse(0x01, nullptr, 1, &len), -1);
    EXPECT_EQ(RxResponse(0x01, nullptr, 0, &len), 0) << "the frame was left for a read that needs no buffer";
}

INSTANTIATE_OVER_WIRES(RxResponseTest);
