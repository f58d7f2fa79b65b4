// Value blocks of the simulated ECU: information blocks read by selector, rows of the maps under tuning
// written by selector.
#include "simclient.h"

#include <algorithm>
#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;

TEST(SimValues, InformationBlocksEchoTheSelector) {
    SimClient client;
    const std::pair<std::uint8_t, std::size_t> blocks[] = {{1, 20}, {2, 8}, {3, 15}, {4, 1}};
    for (const auto& [b, size] : blocks) {
        const Bytes selector{7, b, 0, 0};
        const auto reply = client.Exchange(0x1F, selector);
        ASSERT_TRUE(reply) << "7," << int(b);
        ASSERT_EQ(reply->data.size(), 4 + size);
        EXPECT_EQ(Bytes(reply->data.begin(), reply->data.begin() + 4), selector);
    }
    EXPECT_FALSE(client.Exchange(0x1F, Bytes{7, 5, 0, 0}));
    EXPECT_FALSE(client.Exchange(0x1F, Bytes{7, 1, 0}));
}

TEST(SimValues, RowWritesLandInTheMapsUnderTuning) {
    SimClient client;
    client.sim.model.tuningSlot = ecusim::Store::Slot2;
    const Bytes slot1 = client.sim.model.StoreBytes(ecusim::Store::Slot1);
    struct Row {
        Bytes selector;
        std::size_t offset; // in the mapping data image
    };
    const Row rows[] = {
        {{3, 7, 5, 2}, 0x16B30 + 2 * 1280 + 5 * 64},
        {{3, 7, 19, 3}, 0x16B30 + 3 * 1280 + 19 * 64},
        {{3, 8, 0, 0}, 0x19400},
        {{3, 8, 19, 0}, 0x19400 + 19 * 64},
    };
    for (const Row& row : rows) {
        Bytes request = row.selector;
        for (int i = 0; i < 64; ++i)
            request.push_back(static_cast<std::uint8_t>(i + row.selector[2]));
        const auto reply = client.Exchange(0x1E, request);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->data, row.selector);
        const Bytes& image = client.sim.model.StoreBytes(ecusim::Store::Slot2);
        const auto at = image.begin() + static_cast<std::ptrdiff_t>(ecusim::kPrefixSize + row.offset);
        EXPECT_EQ(Bytes(at, at + 64), Bytes(request.begin() + 4, request.end()));
        EXPECT_TRUE(ecusim::IsImageSound(image)) << "the tuned data set keeps a valid checksum";
    }
    EXPECT_EQ(client.sim.model.StoreBytes(ecusim::Store::Slot1), slot1) << "the other slot stays";
}

TEST(SimValues, RowWritesOutsideTheMapsAreNotAnswered) {
    SimClient client;
    for (const Bytes& selector :
         {Bytes{3, 7, 20, 0}, Bytes{3, 7, 0, 4}, Bytes{3, 8, 0, 1}, Bytes{3, 9, 0, 0}}) {
        Bytes request = selector;
        request.resize(68);
        EXPECT_FALSE(client.Exchange(0x1E, request));
    }
    EXPECT_FALSE(client.Exchange(0x1E, Bytes{3, 8, 0, 0, 1, 2})) << "a short row";
}

// The information blocks describe the engine the configuration data set sets up, and follow a new
// configuration once it is written; the engine's wheel pulses count the configured wheel's teeth.
TEST(SimValues, InformationBlocksDescribeTheConfiguredEngine) {
    SimClient client;
    const auto block = [&](std::uint8_t b) {
        const auto reply = client.Exchange(0x1F, Bytes{7, b, 0, 0});
        EXPECT_TRUE(reply);
        return reply ? Bytes(reply->data.begin() + 4, reply->data.end()) : Bytes{};
    };
    // two cylinders, double injection (low injectors 1, 2 and high 3, 4), one coil each, 36-1 wheel
    EXPECT_EQ(block(1), (Bytes{0, 2, 0, 36, 0, 1, 0, 1, 0, 1, 255, 255, 0, 1, 255, 255, 2, 3, 255, 255}));
    const Bytes wheel = block(2);
    EXPECT_EQ(Bytes(wheel.begin(), wheel.begin() + 4), (Bytes{36, 1, 0, 1}))
        << "one revolution, no cam sensor";
    const Bytes misc = block(3);
    EXPECT_EQ(misc[12], 0) << "the auxiliary output drives the warning lamp";
    EXPECT_EQ(misc[13], 0) << "no external drive-by-wire";

    ecusim::AdvanceEngine(client.sim.model, 10.0);
    const ecusim::EngineState& e = client.sim.model.engine;
    EXPECT_NEAR(e.wheelPulses / e.revolutions, 35.0, 0.5) << "36 teeth, one missing";

    // four cylinders on single injection, a 60-2 wheel on the cam, drive-by-wire and a relay
    Bytes par = client.sim.model.StoreBytes(ecusim::Store::Par);
    const auto set = [&](std::size_t offset, Bytes bytes) {
        std::ranges::copy(bytes, par.begin() + static_cast<std::ptrdiff_t>(ecusim::kPrefixSize + offset));
    };
    set(0x6E0, {0});
    set(0x6E2, {4});
    set(0x6CA, {0, 1, 1, 0, 0, 1, 2, 3});
    set(0x6ED, {60, 2, 1, 0});
    set(0x7B3, {1});
    set(0x7B5, {1});
    ecusim::SealImage(par);
    ASSERT_TRUE(client.WriteArea(1, par));
    EXPECT_EQ(block(1), (Bytes{0, 4, 0, 60, 0, 2, 0, 0, 0, 1, 1, 0, 0, 1, 2, 3, 255, 255, 255, 255}));
    const Bytes camWheel = block(2);
    EXPECT_EQ(Bytes(camWheel.begin(), camWheel.begin() + 4), (Bytes{60, 2, 1, 0}));
    const Bytes fitted = block(3);
    EXPECT_EQ(fitted[12], 1);
    EXPECT_EQ(fitted[13], 1);
    const double before = e.wheelPulses, revolutions = e.revolutions;
    ecusim::AdvanceEngine(client.sim.model, 10.0);
    EXPECT_NEAR((e.wheelPulses - before) / (e.revolutions - revolutions), 29.0, 0.5) << "58 teeth a cycle";
}
