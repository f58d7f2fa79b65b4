// The simulated engine and the commands that report it: live records of their exact sizes with the bench
// adjustment applied, output tests, the diagnostic log with its resets, parameters and password, and the
// options that spoil poll and block-transfer replies now and then.
#include "bytes.h"
#include "ecusim/commands.h"
#include "liverecord.h"
#include "simclient.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Bytes = std::vector<std::uint8_t>;

} // namespace

TEST(SimEngine, StartsWarmsUpAndCounts) {
    ecusim::EcuModel model = ecusim::MakeEcuModel("");
    model.StoreBytes(ecusim::Store::Slot1) = ecusim::MakeDefaultImage(ecusim::kMapImageSize, "empty");
    ecusim::AdvanceEngine(model, 0.5);
    EXPECT_FALSE(model.engine.running);
    ecusim::AdvanceEngine(model, 120.0);
    EXPECT_TRUE(model.engine.running);
    EXPECT_GT(model.engine.rpm, 900.0);
    EXPECT_GT(model.engine.waterC, 40.0) << "it warms up";
    EXPECT_GT(model.engine.wheelPulses, 1000u);
    EXPECT_NEAR(model.engine.lambda, model.engine.lambdaTarget, 0.05)
        << "an empty map leaves the closed loop";
    EXPECT_EQ(model.diag.cntStarterIn, 1);
    EXPECT_GT(model.diag.onTimeS, 100.0);
    EXPECT_GT(model.diag.distM, 0.0);
}

// The engine runs by its clock whatever the ECU is asked: fifteen seconds of nothing but a Ping a second
// (what the workbench sends while an editor page is shown), of A/D readings, or of silence until one
// diagnostics poll, move its on-time on by fifteen seconds and its distance, fuel and warm-up as far as
// fifteen seconds of running move them.
TEST(SimEngine, RunsByItsClockWhateverItIsAsked) {
    struct Case {
        const char* what;
        std::uint8_t cmd;
        Bytes request;
        double everyS;
    };
    constexpr double kSeconds = 15.0;
    const Case cases[] = {
        {"a Ping a second", 0x03, Bytes(30, 0), 1.0},
        {"four throttle readings a second", 0x07, Bytes{1}, 0.25},
        {"one diagnostics poll at the end", 0x10, Bytes{0}, kSeconds},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double now = 0.0;
        ecusim::EcuOptions options;
        options.clock = [&now] { return now; };
        SimClient client{ecusim::EcuSim(options)};
        ecusim::EcuModel& model = client.sim.model;
        ecusim::EcuModel unwatched = ecusim::MakeEcuModel(""); // the same engine, moved on by hand
        for (ecusim::EcuModel* m : {&model, &unwatched})
            ecusim::AdvanceEngine(*m, 5.0); // running, about to rev up and cruise
        const double onTimeS = model.diag.onTimeS, waterC = model.engine.waterC, distM = model.diag.distM;
        ASSERT_TRUE(model.engine.running);

        while (now < kSeconds) {
            now += c.everyS;
            ASSERT_TRUE(client.Exchange(c.cmd, c.request));
        }
        ecusim::AdvanceEngine(unwatched, kSeconds);
        EXPECT_NEAR(model.diag.onTimeS - onTimeS, kSeconds, 1e-6);
        EXPECT_GT(model.engine.waterC, waterC + 1.0) << "it warms up";
        EXPECT_GT(model.diag.distM, distM + 100.0) << "it covers ground";
        EXPECT_NEAR(model.engine.waterC, unwatched.engine.waterC, 0.01);
        EXPECT_NEAR(model.diag.distM, unwatched.diag.distM, 0.001 * unwatched.diag.distM);
        EXPECT_NEAR(model.diag.fuelConsMl, unwatched.diag.fuelConsMl, 0.001 * unwatched.diag.fuelConsMl);
    }
}

TEST(SimEngine, SteeringHoldsTheOperatingPointAndZeroStopsIt) {
    ecusim::EcuModel model = ecusim::MakeEcuModel("");
    ecusim::AdvanceEngine(model, 5.0);
    ecusim::SteerEngine(model.engine, 4000.0, 35.0);
    ecusim::AdvanceEngine(model, 10.0);
    EXPECT_NEAR(model.engine.rpm, 4000.0, 1.0);
    EXPECT_NEAR(model.engine.throttlePct, 35.0, 0.1);
    ecusim::SteerEngine(model.engine, 0.0, 0.0);
    ecusim::AdvanceEngine(model, 1.0);
    EXPECT_FALSE(model.engine.running);
    EXPECT_EQ(model.diag.cntStop, 1);
    ecusim::ReleaseEngine(model.engine);
    ecusim::AdvanceEngine(model, 2.0);
    EXPECT_TRUE(model.engine.running) << "released, it is cranked again";
}

TEST(SimLive, RecordsHaveTheirSizesAndReportTheAdjustment) {
    SimClient client;
    const std::size_t sizes[] = {250, 142, 56, 46};
    for (std::uint8_t i = 0; i < 4; ++i) {
        const auto reply = client.Exchange(0x06, Bytes{i, 0, 0, 0});
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->data.size(), sizes[i]);
    }
    EXPECT_FALSE(client.Exchange(0x06, Bytes{4, 0, 0, 0}));
    for (const std::uint8_t code : {1, 18, 255})
        EXPECT_FALSE(client.Exchange(0x06, Bytes{0, code, 0, 0}))
            << "unknown adjustment " << int(code) << " is refused";

    const auto k = client.Exchange(0x06, Bytes{0, 4, 0x04, 0xE2}); // injection factor cylinder 2: 1.250
    ASSERT_TRUE(k);
    EXPECT_EQ(GetBE16(k->data, 64), 1250);
    const auto adv = client.Exchange(0x06, Bytes{1, 10, 0xFF, 0xE9}); // advance -2.3 degrees
    ASSERT_TRUE(adv);
    EXPECT_EQ(static_cast<std::int16_t>(GetBE16(adv->data, 24)), -23);
    const auto body = client.Exchange(0x06, Bytes{3, 17, 0, 50});
    ASSERT_TRUE(body);
    EXPECT_EQ(GetBE16(body->data, 36), 50);
}

TEST(SimLive, InjectionComesFromTheMapAndLambdaFromHowFarItIsOffTheNeed) {
    SimClient client;
    ecusim::EcuModel& model = client.sim.model;
    ecusim::AdvanceEngine(model, 5.0);
    ecusim::SteerEngine(model.engine, 6000.0, 40.0);
    ecusim::AdvanceEngine(model, 10.0);
    const auto afrWithCells = [&](std::int16_t cellUs) {
        LayMap(model, 0x16B30, 4, cellUs, 1000, 500, 50); // injection by throttle: 1000.. rpm, 0.. deg
        const auto injection = client.Exchange(0x06, Bytes{0, 0, 0, 0});
        EXPECT_EQ(GetBE16(injection->data, 48), cellUs) << "the base injection time is the cell";
        const ComposedInjection composed = ComposeInjection(*injection, 0);
        EXPECT_NEAR(GetBE16(injection->data, 32) + GetBE16(injection->data, 40),
                    (composed.lowMs + composed.highMs) * 1000.0, cellUs * 0.005)
            << "the injected time, high and low injectors together, carries the corrections shown";
        return GetBE16(client.Exchange(0x06, Bytes{2, 0, 0, 0})->data, 26) / 10.0;
    };
    const double lean = afrWithCells(4000);
    const double rich = afrWithCells(8000);
    EXPECT_GT(lean, 14.7) << "too short a cell reads lean";
    EXPECT_NEAR(lean / rich, 2.0, 0.1) << "twice the fuel, half the air/fuel ratio";
}

// Two injectors a cylinder: the low injectors' share of the time comes from the partition map at the
// operating point, the rest goes to the high injectors, each set at the phase of its own phase map; with
// single injection the low ones take it all.
TEST(SimLive, DoubleInjectionSharesTheTimeByThePartitionMap) {
    SimClient client;
    ecusim::EcuModel& model = client.sim.model;
    ecusim::AdvanceEngine(model, 5.0);
    std::vector<std::uint8_t>& slot = model.StoreBytes(ecusim::Store::Slot1);
    for (std::size_t k = 0; k < 128; ++k) { // both phase maps level: 250 and 400 degrees
        ecusim::PutBE16(&slot.at(ecusim::kPrefixSize + 0x28468 + 2 * k), 250);
        ecusim::PutBE16(&slot.at(ecusim::kPrefixSize + 0x28598 + 2 * k), 400);
    }
    const auto phases = [&] {
        const auto live = client.Exchange(0x06, Bytes{0, 0, 0, 0});
        return std::array<std::uint16_t, 4>{GetBE16(live->data, 214), GetBE16(live->data, 222),
                                            GetBE16(live->data, 230), GetBE16(live->data, 238)};
    };
    const auto shares = [&](double rpm, double throttlePct) {
        ecusim::SteerEngine(model.engine, rpm, throttlePct);
        ecusim::AdvanceEngine(model, 10.0);
        const auto live = client.Exchange(0x06, Bytes{0, 0, 0, 0});
        const double high = GetBE16(live->data, 32), low = GetBE16(live->data, 40);
        EXPECT_NEAR(high + low, model.engine.cylInjMs[0] * 1000.0, 1.0);
        // each set's time without its dead time and its factor: the share of the cylinder's time
        const double lowPart = low > 0.0 ? (low - GetBE16(live->data, 202)) / GetBE16(live->data, 106) : 0.0;
        const double highPart =
            high > 0.0 ? (high - GetBE16(live->data, 204)) / GetBE16(live->data, 114) : 0.0;
        EXPECT_NEAR(GetBE16(live->data, 72) / 10.0, 100.0 * lowPart / (highPart + lowPart), 0.2)
            << "the partition shown";
        return lowPart / (highPart + lowPart);
    };
    EXPECT_NEAR(shares(1150.0, 2.0), 1.0, 0.001) << "the low injectors alone at idle";
    EXPECT_EQ(phases(), (std::array<std::uint16_t, 4>{2500, 4000, 250, 400}));
    const double top = shares(11000.0, 90.0);
    EXPECT_GT(top, 0.1);
    EXPECT_LT(top, 0.5) << "the high injectors take over with speed and load";
    model.StoreBytes(ecusim::Store::Par).at(ecusim::kPrefixSize + 0x6E0) = 0; // single injection
    EXPECT_NEAR(shares(11000.0, 90.0), 1.0, 0.001);
    EXPECT_EQ(phases(), (std::array<std::uint16_t, 4>{2500, 0, 250, 0})) << "no high injectors";
}

TEST(SimLive, OutputTestsAnswerWithNoData) {
    SimClient client;
    const auto pulse = client.Exchange(0x0A, Bytes{3, 0});
    ASSERT_TRUE(pulse);
    EXPECT_TRUE(pulse->data.empty());
    ASSERT_TRUE(client.Exchange(0x0A, Bytes{7, 1}));
    EXPECT_TRUE(client.sim.model.engine.tests.fuelPump);
    EXPECT_FALSE(client.Exchange(0x0A, Bytes{10, 0}));
    EXPECT_FALSE(client.Exchange(0x0A, Bytes{1}));
}

TEST(SimDiagnostics, ResetsNeedThePasswordWhereGuarded) {
    SimClient client;
    ecusim::AdvanceEngine(client.sim.model, 30.0);
    const auto status = client.Exchange(0x10, Bytes{0});
    ASSERT_TRUE(status);
    ASSERT_EQ(status->data.size(), 92u);
    EXPECT_GT(ecusim::GetBE32(status->data.data()), 25u) << "on-time counts";

    ASSERT_TRUE(client.Exchange(0x10, Bytes{4})); // on-time: guarded
    EXPECT_GT(client.sim.model.diag.onTimeS, 25.0);
    ASSERT_TRUE(client.Exchange(0x10, Bytes{20})); // starter count: open
    EXPECT_EQ(client.sim.model.diag.cntStarterIn, 0);

    const auto refused = client.Exchange(0x13, Bytes{1, 'x', 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->data, Bytes{0});
    const auto granted = client.Exchange(0x13, Bytes{1, 's', 'e', 'r', 'v', 'i', 'c', 'e', 0});
    ASSERT_TRUE(granted);
    EXPECT_EQ(granted->data, Bytes{1});
    ASSERT_TRUE(client.Exchange(0x10, Bytes{4}));
    EXPECT_LT(client.sim.model.diag.onTimeS, 1.0);

    const auto stored = client.Exchange(0x13, Bytes{0, 'n', 'e', 'w', 0, 0, 0, 0, 0});
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->data, Bytes{1});
    EXPECT_EQ(client.Exchange(0x13, Bytes{1, 'n', 'e', 'w', 0, 0, 0, 0, 0})->data, Bytes{1});
}

TEST(SimDiagnostics, TheDistanceWarningComesAtTheLimitInKilometres) {
    SimClient client;
    client.sim.model.diag.distLimit = 500; // the page shows 5000 km
    const auto warned = [&](double metres) {
        client.sim.model.diag.distM = metres;
        return GetBE16(client.Exchange(0x10, Bytes{0})->data, 20) != 0;
    };
    EXPECT_FALSE(warned(5000.0));
    EXPECT_FALSE(warned(4999999.0));
    EXPECT_TRUE(warned(5000000.0));
}

// The distance light (the log's distance-limit warning) as the engine drives on: never with the limit at 0
// (off); with a limit (tens of kilometres) set through the parameter command, dark while the distance
// covered is short of it and lit from the first poll at which it has reached it.
TEST(SimDiagnostics, TheDistanceLightIsOffWithoutALimitAndLightsOnceTheDistanceReachesIt) {
    struct Case {
        const char* what;
        std::uint32_t limit; // tens of kilometres
    };
    const Case cases[] = {{"no limit", 0}, {"10 km", 1}, {"20 km", 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimClient client;
        ASSERT_EQ(client.Exchange(0x13, Bytes{1, 's', 'e', 'r', 'v', 'i', 'c', 'e', 0})->data, Bytes{1});
        Bytes setLimit(6);
        ecusim::PutBE32(setLimit.data(), c.limit);
        setLimit[4] = 7;
        const auto params = client.Exchange(0x11, setLimit);
        ASSERT_TRUE(params);
        ASSERT_EQ(ecusim::GetBE32(params->data.data() + 12), c.limit);
        ecusim::SteerEngine(client.sim.model.engine, 10000.0, 100.0); // flat out in top gear
        const double limitM = c.limit * 10000.0;
        double metres = 0.0;
        int lit = 0;
        while (metres < 25000.0) {
            ecusim::AdvanceEngine(client.sim.model, 1.0);
            const auto status = client.Exchange(0x10, Bytes{0});
            ASSERT_TRUE(status);
            metres = ecusim::GetBE32(status->data.data() + 12);
            const bool light = GetBE16(status->data, 20) != 0;
            EXPECT_EQ(light, c.limit != 0 && metres >= limitM) << "at " << metres << " m";
            lit += light ? 1 : 0;
        }
        EXPECT_EQ(lit > 0, c.limit != 0);
    }
}

TEST(SimDiagnostics, EveryParameterRequestReturnsTheWholeRecord) {
    SimClient client;
    const auto read = client.Exchange(0x11, Bytes{0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(read);
    ASSERT_EQ(read->data.size(), 148u);
    EXPECT_EQ(GetBE16(read->data, 8), 9000);

    const auto limit = client.Exchange(0x11, Bytes{0, 0, 0x1F, 0x40, 5, 0}); // rpm limit: guarded
    EXPECT_EQ(GetBE16(limit->data, 8), 9000);
    const auto adMax = client.Exchange(0x11, Bytes{0, 0, 0x03, 0xFF, 27, 4}); // throttle A/D max 1023
    EXPECT_EQ(GetBE16(adMax->data, 72), 1023);
    EXPECT_EQ(GetBE16(adMax->data, 90), 1000) << "its physical value: 100.0 %";
    const auto off = client.Exchange(0x11, Bytes{0, 0, 0, 0, 35, 1}); // battery channel off
    EXPECT_EQ(off->data[145] & 0x10, 0x10);
    const auto autoReset = client.Exchange(0x11, Bytes{0, 0, 0, 0, 1, 1});
    EXPECT_EQ(autoReset->data[145] & 0x01, 0x01);
}

TEST(SimOptions, FlakyRepliesAreLostOrBrokenByTurns) {
    ecusim::EcuOptions options;
    options.flaky = 2;
    ecusim::EcuSim sim(options);
    const auto send = [&sim] { return sim.Feed(ecusim::EncodeFrame(0x06, Bytes{3, 0, 0, 0})); };
    EXPECT_EQ(send().size(), 50u);
    EXPECT_TRUE(send().empty()) << "the second is lost";
    EXPECT_EQ(send().size(), 50u);
    const Bytes broken = send();
    ASSERT_EQ(broken.size(), 50u);
    ecusim::FrameParser parser;
    parser.Push(broken);
    EXPECT_FALSE(parser.Next()) << "the fourth has a broken checksum";
}

// Each option spoils its own kind of reply and leaves the other's alone: the polls' option loses first,
// the block transfers' breaks first.
TEST(SimOptions, FlakyPollsAndFlakyTransfersSpoilTheirOwnReplies) {
    enum Got { Good, Lost, Broken };
    const auto got = [](const Bytes& encoded) {
        ecusim::FrameParser parser;
        parser.Push(encoded);
        return encoded.empty() ? Lost : parser.Next() ? Good : Broken;
    };
    const Bytes live = {3, 0, 0, 0}, begin = {0, 0, 0x0C, 0, 0, 1}, read = {0, 0, 0, 0, 0, 1, 16};
    struct Case {
        const char* what;
        ecusim::EcuOptions options;
        std::array<Got, 4> polls, transfers;
    };
    const Case cases[] = {
        {"polls", {.flaky = 2}, {Good, Lost, Good, Broken}, {Good, Good, Good, Good}},
        {"transfers", {.flakyTransfers = 2}, {Good, Good, Good, Good}, {Good, Broken, Good, Lost}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecusim::EcuSim sim(c.options);
        const Bytes transfers[] = {ecusim::EncodeFrame(0x04, begin), ecusim::EncodeFrame(0x05, Bytes(255, 7)),
                                   ecusim::EncodeFrame(0x08, read), ecusim::EncodeFrame(0x08, read)};
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(got(sim.Feed(ecusim::EncodeFrame(0x06, live))), c.polls[i]) << "poll " << i;
            EXPECT_EQ(got(sim.Feed(transfers[i])), c.transfers[i]) << "transfer " << i;
        }
    }
}

// The remaining fuel counts down from the fuel load as the engine uses it and stops at an empty tank; the
// reset of the remaining fuel refills the tank to the load, the reset of the fuel consumed leaves it.
TEST(SimDiagnostics, RemainingFuelCountsDownFromTheLoadAndStopsAtEmpty) {
    SimClient client;
    struct Fuel {
        std::int32_t consumed, remaining; // as the page shows them, signed
    };
    const auto fuel = [&](std::uint8_t action) {
        const auto status = client.Exchange(0x10, Bytes{action});
        EXPECT_TRUE(status);
        return status ? Fuel{static_cast<std::int32_t>(ecusim::GetBE32(status->data.data() + 32)),
                             static_cast<std::int32_t>(ecusim::GetBE32(status->data.data() + 36))}
                      : Fuel{-1, -1};
    };
    const auto params = client.Exchange(0x11, Bytes{0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(params);
    const auto load = static_cast<std::int32_t>(ecusim::GetBE32(params->data.data() + 4));
    EXPECT_GT(load, 0);
    EXPECT_EQ(fuel(0).remaining, load) << "a full tank before the engine runs";

    ASSERT_TRUE(client.Exchange(0x11, Bytes{0, 0, 0, 200, 3, 0})); // a load of 200 ml
    ecusim::AdvanceEngine(client.sim.model, 30.0);
    const Fuel used = fuel(0);
    EXPECT_GT(used.consumed, 0);
    EXPECT_GT(used.remaining, 0);
    EXPECT_NEAR(used.remaining, 200 - used.consumed, 1.0);

    ecusim::AdvanceEngine(client.sim.model, 3600.0);
    EXPECT_EQ(fuel(0).remaining, 0) << "an empty tank, not less";
    EXPECT_EQ(fuel(2).remaining, 0) << "the consumption meter's reset refills nothing";
    EXPECT_GE(fuel(3).remaining, 199) << "refilled to the load";
}

// An engine without a fault reads every diagnosed channel within its range, whatever it does (its own
// cycle, held on a closed throttle at speed, stopped): no channel counts an error. A sensor the simulator
// is told is disconnected reads 0 and counts an error every second, its channel flagged in error.
TEST(SimDiagnostics, OnlyADisconnectedSensorCountsChannelErrors) {
    struct Case {
        const char* what;
        std::uint16_t open; // channel bits, throttle first
        std::uint8_t flagsA, flagsB;
    };
    const Case cases[] = {
        {"none", 0, 0, 0},
        {"aux2", 1u << 6, 0x00, 0x40},
        {"throttle and battery", 1u << 0 | 1u << 8, 0x10, 0x10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecusim::EcuOptions options;
        options.openChannels = c.open;
        SimClient client{ecusim::EcuSim(options)};
        ecusim::EcuModel& model = client.sim.model;
        ecusim::AdvanceEngine(model, 60.0);
        ecusim::SteerEngine(model.engine, 4000.0, 0.0);
        ecusim::AdvanceEngine(model, 5.0);
        ecusim::SteerEngine(model.engine, 0.0, 0.0);
        ecusim::AdvanceEngine(model, 5.0);
        const auto status = client.Exchange(0x10, Bytes{0});
        ASSERT_TRUE(status);
        for (std::size_t i = 0; i < 9; ++i) {
            const bool open = (c.open >> i & 1) != 0;
            EXPECT_NEAR(GetBE16(status->data, 70 + 2 * i), open ? 70.0 : 0.0, 1.0) << "channel " << i;
        }
        EXPECT_EQ(status->data[88], c.flagsA);
        EXPECT_EQ(status->data[89], c.flagsB);
    }
}
