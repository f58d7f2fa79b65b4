// Resets of the learned corrections: each answers with an empty frame and clears only what it names.
#include "simclient.h"

#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;

TEST(SimResets, EachResetClearsItsOwnCorrection) {
    struct Case {
        std::uint8_t cmd;
        Bytes data;
        std::array<std::int16_t, 2> coc; // after the reset, from {11, 22}
        std::int16_t step;               // after the reset, from 33
    };
    const Case cases[] = {
        {0x12, {1}, {0, 22}, 33},
        {0x12, {2}, {11, 0}, 33},
        {0x14, {}, {11, 22}, 0},
    };
    for (const Case& c : cases) {
        SimClient client;
        client.sim.model.cocCorrection = {11, 22};
        client.sim.model.stepCorrection = 33;
        const auto reply = client.Exchange(c.cmd, c.data);
        ASSERT_TRUE(reply) << int(c.cmd);
        EXPECT_TRUE(reply->data.empty());
        EXPECT_EQ(client.sim.model.cocCorrection, c.coc) << int(c.cmd);
        EXPECT_EQ(client.sim.model.stepCorrection, c.step) << int(c.cmd);
    }
}

TEST(SimResets, MalformedRequestsGetNoReplyAndChangeNothing) {
    SimClient client;
    client.sim.model.cocCorrection = {11, 22};
    client.sim.model.stepCorrection = 33;
    const std::pair<std::uint8_t, Bytes> requests[] = {
        {0x12, {}}, {0x12, {0}}, {0x12, {3}}, {0x12, {1, 2}}, {0x14, {1}}};
    for (const auto& [cmd, data] : requests)
        EXPECT_FALSE(client.Exchange(cmd, data)) << int(cmd) << " with " << data.size() << " bytes";
    EXPECT_EQ(client.sim.model.cocCorrection, (std::array<std::int16_t, 2>{11, 22}));
    EXPECT_EQ(client.sim.model.stepCorrection, 33);
}
