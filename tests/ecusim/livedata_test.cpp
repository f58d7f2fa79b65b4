// The live records and the information blocks follow the data sets the ECU holds: what the configuration
// fits (variable cam, idle-air actuator, traction control and the rest of the equipment), and every
// correction the records show, read from its own curve or map at the engine's operating point and
// carried into the totals. A data set changed and sent as the program sends it shows at the next read.
#include "liverecord.h"
#include "simclient.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>

using Bytes = std::vector<std::uint8_t>;
using ecusim::Store;

namespace {

constexpr std::uint16_t kAreaPar = 1, kAreaSlot1 = 2;

// The simulated ECU with its engine warm and running; a data set is changed as the program changes it
// and sent whole.
struct LiveEcu {
    SimClient client;
    ecusim::EcuModel& model = client.sim.model;

    LiveEcu() { ecusim::AdvanceEngine(model, 5.0); }

    // Changes a data set (offsets in its data image) and sends it.
    void Change(Store store, const std::function<void(std::uint8_t* data)>& edit) {
        Bytes image = model.StoreBytes(store);
        edit(image.data() + ecusim::kPrefixSize);
        ecusim::SealImage(image);
        ASSERT_TRUE(client.WriteArea(store == Store::Par ? kAreaPar : kAreaSlot1, image));
    }
    void SetByte(Store store, std::size_t offset, std::uint8_t value) {
        Change(store, [&](std::uint8_t* data) { data[offset] = value; });
    }
    void SetWords(Store store, std::size_t offset, std::size_t count, int value) {
        Change(store, [&](std::uint8_t* data) {
            for (std::size_t i = 0; i < count; ++i)
                ecusim::PutBE16(data + offset + 2 * i, static_cast<std::uint16_t>(value));
        });
    }

    ecusim::Frame Live(std::uint8_t record) {
        const auto reply = client.Exchange(0x06, Bytes{record, 0, 0, 0});
        EXPECT_TRUE(reply);
        return reply ? *reply : ecusim::Frame{};
    }
    std::uint8_t MiscInfo(std::size_t byte) {
        const auto reply = client.Exchange(0x1F, Bytes{7, 3, 0, 0});
        EXPECT_TRUE(reply);
        return reply ? reply->data.at(4 + byte) : 0xEE;
    }
    // The engine held at a steady operating point, long enough to settle there.
    void HoldAt(double rpm, double throttlePct) {
        ecusim::SteerEngine(model.engine, rpm, throttlePct);
        ecusim::AdvanceEngine(model, 10.0);
    }
};

bool Bit(const ecusim::Frame& f, std::size_t byte, int bit) {
    return (f.data.at(byte) >> bit & 1) != 0;
}

} // namespace

// The variable-cam LED (record 1, byte 136 bit 0) and the traction-control LED (byte 140 bit 7) light only
// when the data sets fit the function and it acts; the information block says which are fitted.
TEST(SimLiveData, LedsLightOnlyForWhatTheDataSetsFitWhileItActs) {
    enum Led { kVcam, kTc };
    enum Drive { kSteady, kHighLoad, kDownBetween, kStopped, kWheelSpinning };
    struct Case {
        const char* what;
        Led led;
        std::uint8_t fitted; // the cam type (configuration 0x6F3) or traction control on (mapping 0x2A138)
        bool camThresholds;  // a pneumatic cam from 6000 rpm and 30 % up, down below 5000 rpm or 20 %
        Drive drive;
        bool lit;
    };
    const Case cases[] = {
        {"no cam configured, running", kVcam, 0, false, kSteady, false},
        {"pneumatic cam, no thresholds", kVcam, 1, false, kSteady, true},
        {"pneumatic cam below its thresholds", kVcam, 1, true, kSteady, false},
        {"pneumatic cam above its thresholds", kVcam, 1, true, kHighLoad, true},
        {"pneumatic cam come down between its thresholds", kVcam, 1, true, kDownBetween, true},
        {"kinematic cam, running", kVcam, 2, false, kSteady, true},
        {"kinematic cam, engine stopped", kVcam, 2, false, kStopped, false},
        {"traction control off, wheel spinning", kTc, 0, false, kWheelSpinning, false},
        {"traction control on, steady", kTc, 1, false, kSteady, false},
        {"traction control on, wheel spinning", kTc, 1, false, kWheelSpinning, true},
    };
    for (const Case& c : cases) {
        LiveEcu ecu;
        if (c.led == kVcam)
            ecu.SetByte(Store::Par, 0x6F3, c.fitted);
        else
            ecu.SetByte(Store::Slot1, 0x2A138, c.fitted);
        if (c.camThresholds) {
            ecu.Change(Store::Par, [](std::uint8_t* data) { // rpm upper, lower; throttle x10 upper, lower
                for (const auto& [offset, value] :
                     {std::pair{0x6FC, 6000}, {0x6FE, 5000}, {0x700, 300}, {0x702, 200}})
                    ecusim::PutBE16(data + offset, static_cast<std::uint16_t>(value));
            });
        }
        switch (c.drive) {
        case kSteady:
            ecu.HoldAt(4000.0, 40.0);
            break;
        case kHighLoad:
            ecu.HoldAt(8000.0, 50.0);
            break;
        case kDownBetween:
            ecu.HoldAt(8000.0, 50.0);
            ecu.HoldAt(5500.0, 25.0);
            break;
        case kStopped:
            ecu.HoldAt(0.0, 0.0);
            break;
        case kWheelSpinning: // revved up hard from idle in first gear
            ecu.HoldAt(1150.0, 2.0);
            ecusim::SteerEngine(ecu.model.engine, 4000.0, 40.0);
            ecusim::AdvanceEngine(ecu.model, 0.3);
            break;
        }
        const ecusim::Frame injection = ecu.Live(0), advance = ecu.Live(1);
        if (c.led == kVcam) {
            EXPECT_EQ(ecu.MiscInfo(0), c.fitted) << c.what;
            EXPECT_EQ(Bit(advance, 136, 0), c.lit) << c.what;
            continue;
        }
        EXPECT_EQ(ecu.MiscInfo(14), c.fitted) << c.what;
        EXPECT_EQ(Bit(advance, 140, 7), c.lit) << c.what;
        EXPECT_EQ(LiveWord(advance, 132) > 0, c.lit) << c.what << ": the level acting";
        if (!c.lit) {
            EXPECT_EQ(LiveWord(injection, 156), 1000) << c.what << ": no traction-control factor";
            EXPECT_EQ(LiveSigned(advance, 66), 0) << c.what << ": no traction-control advance";
        } else {
            EXPECT_LT(LiveWord(injection, 156), 1000) << c.what << ": the fuel is cut back";
            EXPECT_LT(LiveSigned(advance, 66), 0) << c.what << ": the spark retarded";
        }
    }
}

// Each byte of the information block that the configuration (or the mapping slot the engine runs on)
// decides, as the data set sent has it; the defaults fit no cam and no traction control, and an idle
// stepper that holds the idle ("Idling").
TEST(SimLiveData, InformationBlockFollowsTheDataSetsSent) {
    struct Case {
        const char* what;
        Store store;
        std::size_t offset;
        std::uint8_t value;
        std::size_t misc;
        std::uint8_t shown;
    };
    const Case cases[] = {
        {"cam type pneumatic", Store::Par, 0x6F3, 1, 0, 1},
        {"velocity by the front wheel", Store::Par, 0x77C, 1, 1, 1},
        {"no idle-air actuator", Store::Par, 0x7AF, 0, 3, 0},
        {"auxiliary throttle", Store::Par, 0x7AF, 1, 3, 1},
        {"idle stepper", Store::Par, 0x7AF, 3, 3, 3},
        {"engine brake by-pass air", Store::Par, 0x7AF, 4, 3, 4},
        {"lambda on the analog inputs", Store::Par, 0x7B1, 3, 5, 3},
        {"gear by the engine-wheel ratio", Store::Par, 0x7B0, 2, 6, 2},
        {"level switch by A/D", Store::Par, 0x782, 101, 7, 101},
        {"auxiliary output a relay", Store::Par, 0x7B5, 1, 12, 1},
        {"external drive-by-wire", Store::Par, 0x7B3, 1, 13, 1},
        {"traction control on", Store::Slot1, 0x2A138, 1, 14, 1},
    };
    {
        LiveEcu ecu;
        for (const std::size_t byte : {0, 14})
            EXPECT_EQ(ecu.MiscInfo(byte), 0) << "default data sets, byte " << byte;
        EXPECT_EQ(ecu.MiscInfo(3), 2) << "default data sets: an idle stepper";
    }
    for (const Case& c : cases) {
        LiveEcu ecu;
        ecu.SetByte(c.store, c.offset, c.value);
        EXPECT_EQ(ecu.MiscInfo(c.misc), c.shown) << c.what;
    }
}

// The idle-air actuator's live values come from the actuator configured and its data; an actuator the
// engine has not got reads 0.
TEST(SimLiveData, IdleActuatorValuesFollowItsKind) {
    struct Case {
        std::uint8_t kind;
        bool auxThrottle, bypass, steps; // record 1 word 106, word 108; record 2 word 42
    };
    const Case cases[] = {
        {0, false, false, false}, {1, true, false, true}, {2, false, false, true},
        {3, false, false, true},  {4, false, true, true},
    };
    for (const Case& c : cases) {
        LiveEcu ecu;
        ecu.SetByte(Store::Par, 0x7AF, c.kind);
        ecu.HoldAt(3000.0, 2.0); // closed throttle above idle: the engine brake acts
        const ecusim::Frame advance = ecu.Live(1), analog = ecu.Live(2);
        EXPECT_EQ(LiveSigned(advance, 106) > 0, c.auxThrottle) << "kind " << int(c.kind);
        EXPECT_EQ(LiveSigned(advance, 108) > 0, c.bypass) << "kind " << int(c.kind);
        EXPECT_EQ(LiveSigned(analog, 42) > 0, c.steps) << "kind " << int(c.kind);
        if (c.auxThrottle) {
            EXPECT_EQ(LiveSigned(analog, 42), LiveSigned(advance, 106)) << "the opening shown";
        }
    }
}

// An idle stepper's steps on the live record: "Idling" opens a step for every 10 rpm it lifts the idle
// above the throttle stop's (1150 rpm warm, so 15 steps), whatever the "Step Normal" row holds; that row
// is for "Idling HarleyDavidson" alone (Misc. 1 offers it to no other), which adds the learned correction.
TEST(SimLiveData, IdleStepperStepsFollowItsKind) {
    struct Case {
        std::uint8_t kind;
        int normalStep; // every point of the row, % x10; 0: as calibrated
        double steps;
    };
    const Case cases[] = {{2, 0, 15.0}, {2, 500, 15.0}, {3, 500, 57.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stepper " << int(c.kind) << ", normal step " << c.normalStep);
        LiveEcu ecu;
        ecu.SetByte(Store::Par, 0x7AF, c.kind);
        if (c.normalStep != 0) ecu.SetWords(Store::Slot1, 0x29BC8, 10, c.normalStep);
        ecu.model.stepCorrection = 7;
        ecu.model.engine.waterC = 88.0;
        EXPECT_EQ(LiveSigned(ecu.Live(2), 42), c.steps);
    }
}

// The simulator's own calibration at a cold start, as its pages show it: advance by water temperature 1.8,
// 1.7 and 1.2 degrees at 20, 22 and 41 deg C; injection factor by water temperature 1.333 at 20 deg C.
TEST(SimLiveData, CorrectionsReadTheCalibratedCurvesAtTheEngineState) {
    struct Case {
        double waterC;
        int advance; // x10
        int factor;  // x1000, 0: not checked
    };
    const Case cases[] = {{20.0, 18, 1333}, {22.0, 17, 0}, {41.0, 12, 0}};
    for (const Case& c : cases) {
        LiveEcu ecu;
        ecu.HoldAt(4000.0, 40.0);
        ecu.model.engine.waterC = c.waterC;
        const ecusim::Frame injection = ecu.Live(0), advance = ecu.Live(1);
        EXPECT_NEAR(LiveSigned(advance, 36), c.advance, 0.5) << c.waterC << " deg C";
        if (c.factor != 0) {
            EXPECT_NEAR(LiveWord(injection, 58), c.factor, 1.0) << c.waterC << " deg C";
        }
    }
}

// Every correction the records show, set on its own table of a data set and sent, reads back in its field
// and moves the totals by as much: the injection times are the base time times every factor shown,
// shared out between the injectors with their dead times, and the advance fired is the base advance plus
// every correction shown.
TEST(SimLiveData, EachCorrectionComesFromItsTableAndCountsInTheTotals) {
    struct Case {
        const char* what;
        Store store;
        std::size_t offset; // of the table's values (breakpoints stay)
        std::size_t count;  // values
        int value;          // raw
        std::uint8_t record;
        std::size_t field;
    };
    const Case cases[] = {
        {"injection by air temperature", Store::Slot1, 0x28A48, 16, 1234, 0, 56},
        {"injection by water temperature", Store::Slot1, 0x28A88, 16, 1111, 0, 58},
        {"injection by ambient pressure", Store::Slot1, 0x28AC8, 16, 1050, 0, 60},
        {"injection trim of the cylinders", Store::Slot1, 0x27048, 4 * 128, 1040, 0, 122},
        {"cranking", Store::Slot1, 0x26010, 640, 1300, 0, 130},
        {"injection by gear", Store::Slot1, 0x19968, 6 * 640, 1060, 0, 132},
        {"injection by acceleration", Store::Slot1, 0x001D0, 36 * 640, 1080, 0, 140},
        {"injection by velocity", Store::Slot1, 0x25540, 640, 1070, 0, 148},
        {"low injectors", Store::Slot1, 0x26578, 640, 950, 0, 106},
        {"high injectors", Store::Slot1, 0x26AE0, 640, 1100, 0, 114},
        {"dead time, low injectors", Store::Par, 0x644, 16, 700, 0, 202},
        {"dead time, high injectors", Store::Par, 0x664, 16, 800, 0, 204},
        {"advance by air temperature", Store::Slot1, 0x28B48, 16, -25, 1, 34},
        {"advance by water temperature", Store::Slot1, 0x28B88, 16, 45, 1, 36},
        {"advance by ambient pressure", Store::Slot1, 0x28BC8, 16, 12, 1, 38},
        {"advance offset of the cylinders", Store::Slot1, 0x27478, 4 * 128, -15, 1, 26},
        {"advance by gear", Store::Slot1, 0x1B7D0, 6 * 640, 20, 1, 42},
        {"advance by acceleration", Store::Slot1, 0x0B680, 36 * 640, -30, 1, 50},
        {"advance by velocity", Store::Slot1, 0x25AA8, 640, 15, 1, 58},
        {"pick-up", Store::Par, 0x344, 32, 150, 1, 40},
        {"dwell", Store::Par, 0x1D0, 160, 3000, 1, 100},
        {"PWM output", Store::Slot1, 0x1F4A0, 6 * 640, 455, 1, 114},
    };
    const auto advanceSum = [](const ecusim::Frame& f) {
        double sum = LiveSigned(f, 8) + LiveSigned(f, 16) + LiveSigned(f, 24) + LiveSigned(f, 26);
        for (const std::size_t off : {34, 36, 38, 42, 50, 58, 66, 74, 82, 84, 92})
            sum += LiveSigned(f, off);
        return sum;
    };
    for (const Case& c : cases) {
        LiveEcu ecu;
        ecu.HoldAt(4000.0, 40.0); // in second gear, two injectors each
        const ecusim::Frame before = ecu.Live(c.record);
        ecu.SetWords(c.store, c.offset, c.count, c.value);
        const ecusim::Frame after = ecu.Live(c.record);
        const double shown = c.record == 0 ? LiveWord(after, c.field) : LiveSigned(after, c.field);
        EXPECT_EQ(shown, c.value) << c.what;
        if (c.record == 0) {
            for (std::size_t cyl = 0; cyl < 2; ++cyl) {
                const ComposedInjection total = ComposeInjection(after, cyl);
                EXPECT_NEAR(LiveWord(after, 40 + 2 * cyl), total.lowMs * 1000.0,
                            0.005 * total.lowMs * 1000.0 + 1)
                    << c.what << ", low injector of cylinder " << cyl + 1;
                EXPECT_NEAR(LiveWord(after, 32 + 2 * cyl), total.highMs * 1000.0,
                            0.005 * total.highMs * 1000.0 + 1)
                    << c.what << ", high injector of cylinder " << cyl + 1;
            }
        } else if (c.field < 100) {
            EXPECT_NEAR(LiveSigned(after, 0) - LiveSigned(before, 0), advanceSum(after) - advanceSum(before),
                        1.5)
                << c.what << ": the advance fired moves with it";
            EXPECT_NEAR(LiveSigned(after, 0), advanceSum(after), 6.0) << c.what;
        }
    }
}

// The engine needs the fuel its calibration gives: a correction changed from it changes the mixture as
// much, so that a tuner sees the change in lambda.
TEST(SimLiveData, ACorrectionChangedMovesTheMixture) {
    LiveEcu ecu;
    ecu.HoldAt(4000.0, 40.0);
    const auto afr = [&] { return LiveWord(ecu.Live(2), 26) / 10.0; };
    const double calibrated = afr();
    EXPECT_NEAR(calibrated, 14.7, 14.7 * 0.03) << "the calibration runs on target here";
    ecu.Change(Store::Slot1, [](std::uint8_t* data) { // injection by water temperature 10 % up
        for (std::size_t i = 0; i < 16; ++i) {
            std::uint8_t* value = data + 0x28A88 + 2 * i;
            ecusim::PutBE16(value, static_cast<std::uint16_t>(std::lround(ecusim::GetBE16(value) * 1.1)));
        }
    });
    EXPECT_NEAR(afr(), calibrated / 1.1, 0.15) << "ten percent more fuel, ten percent richer";
}

// Under idle control (an idle stepper, "Idling" or "Idling HarleyDavidson", or an external drive-by-wire)
// the engine idles at the Misc. 1 set-point of the slot it runs on at its water temperature, so that a
// curve sent moves the idle; the set-points' offset counts with the "Idling HarleyDavidson" stepper, the
// only one Misc. 1 offers it to. As shipped it idles at 1150 rpm warm under its "Idling" stepper. Without
// idle control it idles at 1000 rpm, where its throttle stop holds it, warm or cold.
TEST(SimLiveData, IdleFollowsTheSetPointsUnderIdleControl) {
    enum Curve { kCalibrated, kOwn, kOwnWithOffset };
    constexpr std::uint8_t kShipped = 0xFF; // the stepper type as shipped
    struct Case {
        const char* what;
        std::uint8_t stepper;
        bool dbw;
        Curve curve;
        double waterC;
        double idleRpm;
    };
    const Case cases[] = {
        {"as shipped, warm", kShipped, false, kCalibrated, 88.0, 1150.0},
        {"own curve, cold", kShipped, false, kOwn, 20.0, 2000.0},
        {"own curve, warm", kShipped, false, kOwn, 85.0, 1200.0},
        {"own curve and an offset, \"Idling\"", 2, false, kOwnWithOffset, 85.0, 1200.0},
        {"own curve and an offset, \"Idling HarleyDavidson\"", 3, false, kOwnWithOffset, 85.0, 1350.0},
        {"own curve, drive-by-wire", 0, true, kOwn, 20.0, 2000.0},
        {"idle control off, cold", 0, false, kOwn, 20.0, 1000.0},
        {"idle control off, warm", 0, false, kCalibrated, 88.0, 1000.0},
        {"an auxiliary throttle", 1, false, kOwn, 20.0, 1000.0},
        {"engine brake control", 4, false, kOwn, 20.0, 1000.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LiveEcu ecu;
        if (c.stepper != kShipped) ecu.SetByte(Store::Par, 0x7AF, c.stepper);
        if (c.dbw) ecu.SetByte(Store::Par, 0x7B3, 1);
        if (c.curve != kCalibrated) {
            // 2000 rpm up to 40 deg C, 1200 rpm from 60 deg C on
            ecu.Change(Store::Slot1, [&](std::uint8_t* data) {
                const int water[] = {0, 100, 200, 300, 400, 600, 700, 800, 900, 1000};
                for (std::size_t k = 0; k < 10; ++k) {
                    ecusim::PutBE16(data + 0x29BA0 + 2 * k, static_cast<std::uint16_t>(water[k]));
                    ecusim::PutBE16(data + 0x29BB4 + 2 * k, k < 5 ? 2000 : 1200);
                }
                ecusim::PutBE16(data + 0x29BF0, c.curve == kOwnWithOffset ? 150 : 0);
            });
        }
        ecu.model.engine.waterC = c.waterC;
        // on through its cycle, in simulated time, until it idles steadily
        bool idling = false;
        for (double t = 0.0; t < 60.0 && !idling; t += 0.1) {
            ecusim::AdvanceEngine(ecu.model, 0.1);
            const ecusim::EngineState& e = ecu.model.engine;
            idling = e.running && e.throttlePct < 3.0 && std::abs(e.dRpm) < 1.0;
        }
        ASSERT_TRUE(idling);
        EXPECT_NEAR(LiveWord(ecu.Live(0), 14), c.idleRpm, 5.0);
    }
}

// Each lambda sensor reads the exhaust of its own cylinders, the first of the first half of them, the
// second of the others (of a single cylinder, the same one): a cylinder made richer on the bench moves
// its own sensor's air/fuel ratio alone, on the live page as on the tuning page.
TEST(SimLiveData, EachLambdaSensorReadsItsOwnCylinders) {
    struct Case {
        std::uint8_t cylinders;
        std::size_t richer; // the cylinder, 0 the first
        bool moves1, moves2;
    };
    const Case cases[] = {
        {2, 0, true, false}, {2, 1, false, true}, {4, 1, true, false},
        {4, 2, false, true}, {1, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.cylinders) << " cylinders, cylinder " << c.richer + 1);
        LiveEcu ecu;
        ecu.SetByte(Store::Par, 0x6E2, c.cylinders);
        ecu.HoldAt(4000.0, 40.0);
        const auto afrs = [&] {
            const ecusim::Frame analog = ecu.Live(2);
            return std::array<double, 2>{LiveWord(analog, 26) / 10.0, LiveWord(analog, 30) / 10.0};
        };
        const std::array<double, 2> before = afrs();
        const auto code = static_cast<std::uint8_t>(3 + c.richer); // that cylinder's factor: 1.250
        ASSERT_TRUE(ecu.client.Exchange(0x06, Bytes{0, code, 0x04, 0xE2}));
        const std::array<double, 2> after = afrs();
        const bool moves[] = {c.moves1, c.moves2};
        for (std::size_t s = 0; s < 2; ++s) {
            // a richer cylinder makes the sensor that reads it alone 25 % richer, one of two a little less
            const double share = c.cylinders == 4 ? 2.0 : 1.0;
            const double expected = moves[s] ? before[s] * share / (share + 0.25) : before[s];
            EXPECT_NEAR(after[s], expected, 0.35) << "sensor " << s + 1;
        }
        const auto info = ecu.client.Exchange(0x09, Bytes{1});
        ASSERT_TRUE(info);
        EXPECT_NEAR(GetBE16(info->data, 6) / 10.0, after[0], 0.35) << "the tuning page's sensor 1";
        EXPECT_NEAR(GetBE16(info->data, 8) / 10.0, after[1], 0.35) << "the tuning page's sensor 2";
    }
}
