// A/D readings over the link: four samples averaged, the first bad sample ends the reading.
#include "orvane/core/logic/adread.h"
#include "orvane/core/logic/com.h"
#include "simlink.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace {

struct AdReadTest : testing::Test {
    ecusim::EcuSim ecu;
    SimLink* link = nullptr;

    void SetUp() override { link = &AttachSimLink(ecu); }
    void TearDown() override { CloseComPort(); }

    // The ECU answers the next A/D requests with these raw replies (an empty one: no reply).
    void Replies(std::deque<std::vector<std::uint8_t>> replies) {
        link->tamper = [queue = std::move(replies)](const ecusim::Frame& request,
                                                    std::optional<ecusim::Frame>) mutable {
            std::optional<ecusim::Frame> reply;
            if (!queue.empty()) {
                if (!queue.front().empty()) reply = ecusim::Frame{request.cmd, queue.front()};
                queue.pop_front();
            }
            return reply;
        };
    }
};

} // namespace

TEST_F(AdReadTest, AveragesFourSamplesOfTheChannel) {
    ecu.model.engine.throttlePct = 100.0;
    int reading = -1;
    ASSERT_TRUE(ReadAdAveraged(1, reading));
    EXPECT_EQ(reading, 925);
    ASSERT_EQ(link->requests.size(), 4u);
    EXPECT_EQ(link->requests[0], (std::vector<std::uint8_t>{0x55, 1, 0x07, 1, 0x09}));
}

TEST_F(AdReadTest, RoundsAndLimits) {
    struct Case {
        std::deque<std::vector<std::uint8_t>> replies;
        int want;
    };
    const Case cases[] = {
        {{{0x03, 0xFF}, {0x03, 0xFF}, {0x03, 0xFF}, {0x03, 0xFE}}, 1023}, // (4091 + 2) / 4
        {{{0x00, 0x01}, {0x00, 0x01}, {0x00, 0x00}, {0x00, 0x00}}, 1},    // (2 + 2) / 4
        {{{0x00, 0x01}, {0x00, 0x00}, {0x00, 0x00}, {0x00, 0x00}}, 0},
        {{{0xFF, 0xFF}, {0xFF, 0xFF}, {0xFF, 0xFF}, {0xFF, 0xFF}}, 32767},
    };
    for (const Case& c : cases) {
        Replies(c.replies);
        int reading = -1;
        ASSERT_TRUE(ReadAdAveraged(13, reading));
        EXPECT_EQ(reading, c.want);
    }
}

TEST_F(AdReadTest, FirstBadSampleEndsTheReading) {
    struct Case {
        const char* what;
        std::deque<std::vector<std::uint8_t>> replies;
        std::size_t requests;
    };
    const Case cases[] = {
        {"no reply to the second sample", {{0, 1}, {}}, 2},
        {"a reply of three bytes", {{0, 1}, {0, 1}, {0, 1, 2}}, 3},
        {"a reply of one byte", {{0}}, 1},
    };
    for (const Case& c : cases) {
        Replies(c.replies);
        link->requests.clear();
        int reading = -1;
        EXPECT_FALSE(ReadAdAveraged(1, reading)) << c.what;
        EXPECT_EQ(reading, -1) << c.what;
        EXPECT_EQ(link->requests.size(), c.requests) << c.what;
    }
    CloseComPort();
    int reading = -1;
    EXPECT_FALSE(ReadAdAveraged(1, reading)) << "closed link";
}
