// A sensor the simulator is told is disconnected reads 0 wherever the ECU reports it: in the A/D command,
// in the live record's A/D word and in the value the ECU makes of the reading, through the configuration's
// linearization where it has one. The engine runs on as it did: only what the ECU reads of it changes, and
// a channel the ECU has found in error flags its A/D word.
#include "bytes.h"
#include "simclient.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The configuration as calibrated, but for the linearizations: each reads a value of its own at A/D 0
// (its first breakpoint), rising by 10 a breakpoint of 68 counts; the analog type and the idle-air
// actuator as given.
Bytes Configuration(std::uint8_t analogType, std::uint8_t stepperType) {
    Bytes image = ecusim::DefaultStoreBytes(ecusim::Store::Par);
    std::uint8_t* data = image.data() + ecusim::kPrefixSize;
    const std::pair<std::size_t, int> atZero[] = {
        {0x3C4, 37},   // throttle: 3.7 %
        {0x404, 1234}, // water: 123.4 degrees
        {0x444, 987},  // air: 98.7 degrees
        {0x484, 321},  // manifold pressure: 321 mbar
        {0x504, 8000}, // lambda 1: 0.800
        {0x544, 9000}, // lambda 2: 0.900
    };
    for (const auto& [curve, value] : atZero) {
        for (std::size_t k = 0; k < 16; ++k) {
            ecusim::PutBE16(data + curve + 2 * k,
                            static_cast<std::uint16_t>(value + 10 * static_cast<int>(k)));
            ecusim::PutBE16(data + curve + 32 + 2 * k, static_cast<std::uint16_t>(68 * k));
        }
    }
    data[0x7B1] = analogType;
    data[0x7AF] = stepperType;
    ecusim::SealImage(image);
    return image;
}

// A simulated ECU with its engine run warm, the configuration sent as the program sends it.
struct Ecu {
    SimClient client;

    Ecu(std::uint16_t openChannels, const Bytes& configuration)
        : client{ecusim::EcuSim(ecusim::EcuOptions{.openChannels = openChannels})} {
        EXPECT_TRUE(client.WriteArea(1, configuration));
        ecusim::AdvanceEngine(client.sim.model, 20.5);
    }
    std::optional<int> ReadAd(std::uint8_t input) {
        const auto reply = client.Exchange(0x07, Bytes{input});
        if (!reply || reply->data.size() != 2) return std::nullopt;
        return GetBE16(reply->data, 0);
    }
    Bytes Live(std::uint8_t record) {
        const auto reply = client.Exchange(0x06, Bytes{record, 0, 0, 0});
        EXPECT_TRUE(reply);
        return reply ? reply->data : Bytes{};
    }
};

std::uint16_t Channels(std::initializer_list<int> channels) {
    std::uint16_t mask = 0;
    for (const int c : channels)
        mask = static_cast<std::uint16_t>(mask | 1u << c);
    return mask;
}

enum { kThrottle, kWater, kAir, kBaro, kManifold, kAux1, kAux2, kStep, kBattery };

} // namespace

// Each case disconnects sensors of one ECU and leaves a twin connected; both run the same. What the ECU
// reports of the disconnected sensors reads 0 (the value beside an A/D word: what the linearization
// makes of 0, or 0 where the ECU has none); everything else it reports is the twin's.
TEST(SimSensors, ADisconnectedSensorReadsZeroWhereverTheEcuReportsIt) {
    struct Case {
        const char* what;
        std::uint16_t open;
        std::uint8_t analogType, stepperType;
        std::set<std::uint8_t> inputs;     // A/D command inputs that read 0
        std::set<std::size_t> adWords;     // A/D words of the analog record that read 0
        std::map<std::size_t, int> values; // the values beside them
    };
    const Case cases[] = {
        {"throttle", Channels({kThrottle}), 0, 2, {1}, {0}, {{2, 37}}},
        {"water and battery", Channels({kWater, kBattery}), 0, 2, {}, {4, 52}, {{6, 1234}, {54, 0}}},
        {"air, ambient and manifold pressure",
         Channels({kAir, kBaro, kManifold}),
         0,
         2,
         {},
         {8, 12, 16},
         {{10, 987}, {14, 0}, {18, 321}}},
        {"aux1 measuring the gear position", Channels({kAux1}), 0, 2, {11}, {20}, {{22, 0}}},
        {"aux1 and aux2 measuring the lambdas",
         Channels({kAux1, kAux2}),
         3,
         2,
         {},
         {24, 28},
         {{26, 118}, {30, 132}}}, // 0.800 and 0.900 as air/fuel ratios (x10)
        {"step, an auxiliary throttle", Channels({kStep}), 0, 1, {10}, {40}, {{42, 0}}},
    };
    const std::uint8_t inputs[] = {1, 10, 11, 13, 14, 15, 16, 17, 18};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes configuration = Configuration(c.analogType, c.stepperType);
        Ecu open(c.open, configuration), twin(0, configuration);
        for (const std::uint8_t input : inputs) {
            const std::optional<int> reading = open.ReadAd(input), twins = twin.ReadAd(input);
            ASSERT_TRUE(reading && twins) << "input " << int(input);
            if (c.inputs.contains(input)) {
                EXPECT_EQ(*reading, 0) << "input " << int(input);
                EXPECT_NE(*twins, 0) << "input " << int(input) << " of the twin";
            } else {
                EXPECT_EQ(*reading, *twins) << "input " << int(input);
            }
        }
        const Bytes analog = open.Live(2), twins = twin.Live(2);
        ASSERT_EQ(analog.size(), 56u);
        ASSERT_EQ(twins.size(), 56u);
        for (std::size_t off = 0; off < analog.size(); off += 2) {
            const std::uint16_t word = GetBE16(analog, off), twinsWord = GetBE16(twins, off);
            if (c.adWords.contains(off)) {
                EXPECT_EQ(word & 0x0FFF, 0) << "A/D word " << off;
                EXPECT_NE(twinsWord & 0x0FFF, 0) << "A/D word " << off << " of the twin";
            } else if (c.values.contains(off)) {
                EXPECT_EQ(static_cast<std::int16_t>(word), c.values.at(off)) << "value " << off;
            } else {
                EXPECT_EQ(word, twinsWord) << "word " << off;
            }
        }
        for (const std::uint8_t record : {0, 1, 3})
            EXPECT_EQ(open.Live(record), twin.Live(record))
                << "record " << int(record) << ": the engine runs on";
    }
}

// The A/D word carries the ECU's fault flag (bit 15) while the ECU has the channel in error: a disconnected
// sensor from the first second's check on and only while its diagnosis is on; a connected one whose valid
// range the tuner moved past its reading, as well.
TEST(SimSensors, AChannelInErrorFlagsItsAdWord) {
    SimClient client{ecusim::EcuSim(ecusim::EcuOptions{.openChannels = Channels({kWater})})};
    ecusim::EcuModel& model = client.sim.model;
    const auto analog = [&] {
        const auto reply = client.Exchange(0x06, Bytes{2, 0, 0, 0});
        return reply && reply->data.size() == 56 ? reply->data : Bytes(56, 0xEE);
    };
    const auto flagged = [&](std::size_t off) { return (GetBE16(analog(), off) & 0x8000) != 0; };
    const auto param = [&](std::uint8_t code, std::uint8_t sub, std::uint32_t value) {
        Bytes request(6);
        ecusim::PutBE32(request.data(), value);
        request[4] = code;
        request[5] = sub;
        ASSERT_TRUE(client.Exchange(0x11, request));
    };
    ecusim::AdvanceEngine(model, 0.5);
    EXPECT_FALSE(flagged(4)) << "not yet checked";
    ecusim::AdvanceEngine(model, 1.0);
    EXPECT_TRUE(flagged(4)) << "found in error";
    EXPECT_FALSE(flagged(52)) << "the battery reads within its range";
    param(28, 1, 0); // the water channel's diagnosis off
    EXPECT_FALSE(flagged(4)) << "its diagnosis off";
    EXPECT_EQ(GetBE16(analog(), 4), 0) << "still reading 0";
    param(35, 3, 1000); // the battery's lowest valid reading above what it reads
    ecusim::AdvanceEngine(model, 1.0);
    EXPECT_TRUE(flagged(52)) << "out of its range";
    EXPECT_NE(GetBE16(analog(), 52) & 0x0FFF, 0) << "reading as it does";
}
