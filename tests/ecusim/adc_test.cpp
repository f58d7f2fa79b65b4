// A/D readings of the simulated ECU: every channel the program reads answers with a 10-bit value that
// follows the engine model, and a throttle script walks the throttle through a calibration.
#include "simclient.h"

#include <gtest/gtest.h>

using Bytes = std::vector<std::uint8_t>;

namespace {

std::optional<int> ReadAd(SimClient& client, std::uint8_t channel) {
    const auto reply = client.Exchange(0x07, Bytes{channel});
    if (!reply || reply->data.size() != 2) return std::nullopt;
    return ecusim::GetBE16(reply->data.data());
}

} // namespace

TEST(SimAdc, ThrottleSensorsFollowTheModelsThrottle) {
    struct Case {
        std::uint8_t channel;
        int closed, open; // A/D at 0 % and at 100 %
    };
    const Case cases[] = {{1, 98, 925},   {10, 120, 900}, {13, 150, 850}, {14, 75, 425},
                          {15, 102, 918}, {16, 918, 102}, {17, 110, 910}, {18, 910, 110}};
    SimClient client;
    for (const Case& c : cases) {
        client.sim.model.engine.throttlePct = 0.0;
        EXPECT_EQ(ReadAd(client, c.channel), c.closed) << "channel " << int(c.channel);
        client.sim.model.engine.throttlePct = 100.0;
        EXPECT_EQ(ReadAd(client, c.channel), c.open) << "channel " << int(c.channel);
        client.sim.model.engine.throttlePct = 50.0;
        EXPECT_EQ(ReadAd(client, c.channel), (c.closed + c.open + 1) / 2) << "channel " << int(c.channel);
    }
    client.sim.model.engine.throttlePct = 140.0; // beyond the stop: the sensor stays at its end
    EXPECT_EQ(ReadAd(client, 1), 925);
}

TEST(SimAdc, GearSensorFollowsTheGear) {
    SimClient client;
    client.sim.model.engine.gear = 0;
    EXPECT_EQ(ReadAd(client, 11), 80);
    client.sim.model.engine.gear = 3;
    EXPECT_EQ(ReadAd(client, 11), 510);
    client.sim.model.engine.gear = 6;
    EXPECT_EQ(ReadAd(client, 11), 940);
}

TEST(SimAdc, UnknownChannelsAndMalformedRequestsGetNoReply) {
    SimClient client;
    for (const Bytes& request : {Bytes{0}, Bytes{2}, Bytes{12}, Bytes{19}, Bytes{}, Bytes{1, 0}})
        EXPECT_FALSE(client.Exchange(0x07, request)) << request.size();
}

TEST(SimAdc, ThrottleScriptHoldsEachOpeningForOneAveragedReading) {
    ecusim::EcuOptions options;
    options.throttleSteps = {0.0, 100.0};
    SimClient client{ecusim::EcuSim(options)};
    client.sim.model.engine.throttlePct = 50.0; // the script wins over the model
    for (int round = 0; round < 2; ++round) {
        for (unsigned i = 0; i < ecusim::kThrottleStepReads; ++i) {
            EXPECT_EQ(ReadAd(client, 13), 150) << "the pedal follows without moving the script on";
            EXPECT_EQ(ReadAd(client, 1), 98) << "idle, round " << round;
        }
        for (unsigned i = 0; i < ecusim::kThrottleStepReads; ++i)
            EXPECT_EQ(ReadAd(client, 1), 925) << "full open, round " << round;
    }
}
