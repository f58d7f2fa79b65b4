#include "orvane/core/logic/com.h"
#include "orvane/core/logic/values.h"
#include "simlink.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <numeric>

namespace {

struct ValuesTest : testing::Test {
    ecusim::EcuSim ecu;
    SimLink* link = nullptr;

    void SetUp() override { link = &AttachSimLink(ecu); }
    void TearDown() override { CloseComPort(); }
};

TEST_F(ValuesTest, ReadsABlockAfterItsEcho) {
    std::iota(ecu.model.engInfo.begin(), ecu.model.engInfo.end(), std::uint8_t{100});
    std::array<std::uint8_t, 20> info{};
    ASSERT_TRUE(DoGetValues(7, 1, 0, 0, info));
    EXPECT_EQ(info, ecu.model.engInfo);
    ASSERT_EQ(link->requests.size(), 1u);
    EXPECT_EQ(link->requests[0], (std::vector<std::uint8_t>{0x55, 4, 0x1F, 7, 1, 0, 0, 0x2B}));
}

TEST_F(ValuesTest, WritesARowAndChecksTheEcho) {
    std::array<std::uint8_t, 64> row{};
    EXPECT_TRUE(DoSendValues(3, 8, 5, 0, row));
    EXPECT_FALSE(DoSendValues(3, 9, 5, 0, row)); // the ECU does not answer a selector it does not know
}

TEST_F(ValuesTest, BlockSizeLimit) {
    // An ECU that answers any read with the selector and as many bytes as asked for.
    std::size_t asked = 0;
    link->tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame>) {
        ecusim::Frame reply{request.cmd, request.data};
        reply.data.resize(4 + asked, 0xAB);
        return std::optional(reply);
    };
    std::vector<std::uint8_t> block(251);
    asked = 251;
    EXPECT_TRUE(DoGetValues(1, 2, 3, 4, block));
    EXPECT_EQ(block[250], 0xAB);
    block.resize(252);
    asked = 252;
    const std::size_t before = link->requests.size();
    EXPECT_FALSE(DoGetValues(1, 2, 3, 4, block));
    EXPECT_FALSE(DoSendValues(1, 2, 3, 4, block));
    EXPECT_EQ(link->requests.size(), before); // refused before any traffic
}

TEST_F(ValuesTest, RefusesAnotherSelectorOrLengthAndKeepsTheDestination) {
    struct Case {
        std::array<std::uint8_t, 4> echo;
        std::size_t extra; // bytes after the echo
    };
    const Case cases[] = {
        {{7, 1, 0, 1}, 20}, // right length, another selector
        {{8, 1, 0, 0}, 20},
        {{7, 1, 0, 0}, 19}, // short
    };
    for (const Case& c : cases) {
        link->tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame>) {
            ecusim::Frame reply{request.cmd, {c.echo.begin(), c.echo.end()}};
            reply.data.resize(4 + c.extra, 0x11);
            return std::optional(reply);
        };
        std::array<std::uint8_t, 20> info;
        info.fill(0x5A);
        EXPECT_FALSE(DoGetValues(7, 1, 0, 0, info));
        EXPECT_TRUE(std::all_of(info.begin(), info.end(), [](std::uint8_t b) { return b == 0x5A; }));
    }
    link->tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame>) {
        return std::optional(ecusim::Frame{request.cmd, {3, 8, 5, 1}});
    };
    std::array<std::uint8_t, 64> row{};
    EXPECT_FALSE(DoSendValues(3, 8, 5, 0, row));
}

TEST_F(ValuesTest, ClosedLinkSendsNothing) {
    CloseComPort();
    std::array<std::uint8_t, 20> info{};
    EXPECT_FALSE(DoGetValues(7, 1, 0, 0, info));
    EXPECT_FALSE(DoSendValues(3, 8, 0, 0, std::span<const std::uint8_t>(info)));
}

} // namespace
