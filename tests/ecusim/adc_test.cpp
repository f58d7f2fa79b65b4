// A/D readings of the simulated ECU: every channel the program reads answers with a 10-bit value that
// follows the engine model, the live record carries the throttle's reading too, and a throttle script
// walks the throttle through a calibration.
#include "simclient.h"

#include <gtest/gtest.h>

#include <cmath>

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

// The live record's throttle A/D word is the reading command 0x07 gives, on the word's 12 bits (4095 for
// a reading of 1023), and the throttle shown beside it is that reading through the configuration's
// throttle linearization: the engine's own opening as calibrated, whatever a curve sent makes of it.
TEST(SimAdc, TheLiveThrottleIsTheReadingThroughTheLinearization) {
    enum Curve { kCalibrated, kTenthsOfADegree }; // the second reads a count as 0.1 degree up to 900
    struct Case {
        const char* what;
        double enginePct;
        std::vector<double> script; // the throttle sensor's opening, when it is not the engine's
        Curve curve;
    };
    const Case cases[] = {
        {"shut", 0.0, {}, kCalibrated},
        {"at idle", 2.0, {}, kCalibrated},
        {"a quarter open", 25.0, {}, kCalibrated},
        {"at 58 %", 58.0, {}, kCalibrated},
        {"wide open", 100.0, {}, kCalibrated},
        {"scripted at 70 % while the engine idles", 2.0, {70.0}, kCalibrated},
        {"under a curve of its own", 40.0, {}, kTenthsOfADegree},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecusim::EcuOptions options;
        options.throttleSteps = c.script;
        SimClient client{ecusim::EcuSim(options)};
        ecusim::EcuModel& model = client.sim.model;
        if (c.curve == kTenthsOfADegree) {
            std::vector<std::uint8_t>& par = model.StoreBytes(ecusim::Store::Par);
            for (std::size_t k = 0; k < 16; ++k)
                for (const std::size_t at : {0x3C4, 0x3E4}) // the openings, then their breakpoints
                    ecusim::PutBE16(&par.at(ecusim::kPrefixSize + at + 2 * k),
                                    static_cast<std::uint16_t>(60 * k));
            ecusim::SealImage(par);
        }
        model.engine.throttlePct = c.enginePct;
        const std::optional<int> reading = ReadAd(client, 1);
        const auto analog = client.Exchange(0x06, Bytes{2, 0, 0, 0});
        ASSERT_TRUE(reading && analog);
        EXPECT_EQ(ecusim::GetBE16(analog->data.data()), std::lround(*reading * 4095.0 / 1023.0))
            << "the live word, against the reading of " << *reading;
        const auto shown = static_cast<std::int16_t>(ecusim::GetBE16(analog->data.data() + 2));
        if (c.curve == kTenthsOfADegree) {
            EXPECT_EQ(shown, *reading);
            continue;
        }
        // within the sensor's resolution (0.12 % a count) and the curve's rounding to 0.1 degree
        const double openingPct = c.script.empty() ? c.enginePct : c.script.front();
        EXPECT_NEAR(shown / 10.0, openingPct, 0.2);
    }
}
