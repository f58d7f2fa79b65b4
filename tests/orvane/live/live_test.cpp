// The live pages against the simulated engine: the live exchange (requests byte for byte, record order,
// absorbed failures), the conversion of the records, the pages' scales, captions and dimming, the bench
// adjustments and the one-shot output tests.
#include "orvanefixture.h"

#include "ecusim/commands.h"
#include "orvane/live/live.h"
#include "orvane/live/liverec.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace uitest;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The data bytes of every live request sent so far.
std::vector<Bytes> LiveRequests(const SimLink& link) {
    std::vector<Bytes> out;
    for (const Bytes& frame : link.requests)
        if (frame.size() == 8 && frame[2] == 0x06) out.emplace_back(frame.begin() + 3, frame.end() - 1);
    return out;
}

struct LiveTest : OrvaneTest {
    void SetUp() override {
        OrvaneTest::SetUp();
        DisplayPanel(hLv2Panel); // the bench page on screen, where the user moves its slides
        LivTimer(0, 0);          // with the link closed: index and error count back to their start
        ecusim::AdvanceEngine(ecu.model, 30.0); // warm, running, with a log to show
    }

    // Live page 2 as a default ECU leaves it, for the tests after one that dimmed it otherwise.
    void ShowDefaultEcuOnPage2() {
        ecu.model = ecusim::MakeEcuModel("");
        ConnectLive(1);
        CloseComPort();
    }

    // Connects and runs the refresh tick that reads the information records.
    SimLink& ConnectLive(std::uint8_t page = 0) {
        SimLink& link = ConnectSimulator();
        EXPECT_TRUE(LivTimer(1, page));
        link.requests.clear();
        return link;
    }
};

} // namespace

TEST_F(LiveTest, RecordsComeTwoATickInOrderAndAnAdjustmentRidesOnce) {
    SimLink& link = ConnectLive(1);
    ASSERT_EQ(SetValueAsUser(hLv2Panel, LIVE2::NSddgAdvBanco, -2.25), 0);
    EXPECT_TRUE(LivTimer(0, 1));
    EXPECT_TRUE(LivTimer(0, 1));
    EXPECT_TRUE(LivTimer(0, 1));
    const std::vector<Bytes> expected = {
        {0, 10, 0xFF, 0xE9}, {1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}, {0, 0, 0, 0}, {1, 0, 0, 0},
    };
    EXPECT_EQ(LiveRequests(link), expected);
    EXPECT_EQ(ecu.model.engine.bench.adv, -23) << "the ECU took the adjustment";
    EXPECT_DOUBLE_EQ(
        [] {
            double v = 0;
            GetCtrlVal(hLv2Panel, LIVE2::NSddgAdvBanco, &v);
            return v;
        }(),
        -2.3)
        << "the slide shows what the ECU reports back";
}

TEST_F(LiveTest, FailuresAreAbsorbedFiveTimesAndTheSixthClears) {
    SimLink& link = ConnectLive();
    ASSERT_TRUE(LivTimer(0, 0));
    ASSERT_NE(LiveU16(liveData0.data(), 14), 0) << "the engine runs";
    const LiveData0 before = liveData0;
    // a reply one byte short of its record: well formed, but not the record
    link.tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x06 && reply) reply->data.pop_back();
        return reply;
    };
    link.requests.clear();
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(LivTimer(0, 0)) << "failure " << i + 1 << " is absorbed";
    EXPECT_EQ(LiveRequests(link).size(), 5u) << "no second exchange after a failure";
    EXPECT_EQ(LiveRequests(link).back()[0], 2) << "the same record is asked for again";
    EXPECT_EQ(liveData0, before) << "a short reply leaves the record as it was";
    EXPECT_FALSE(LivTimer(0, 0)) << "the sixth clears";
    EXPECT_EQ(LiveU16(liveData0.data(), 14), 0);
    link.tamper = nullptr;
    EXPECT_TRUE(LivTimer(0, 0));
    EXPECT_EQ(liveErrCount, 0) << "a success resets the count";
}

TEST_F(LiveTest, AdWordsAreHeldAsFlagAndTwelveBits) {
    SimLink& link = ConnectLive(1);
    link.tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x06 && request.data[0] == 2 && reply) {
            reply->data[0] = 0x8F; // throttle: fault, 4095
            reply->data[1] = 0xFF;
            reply->data[4] = 0x71; // water: no fault, 0x123 (bits 12..14 dropped)
            reply->data[5] = 0x23;
        }
        return reply;
    };
    LivTimer(0, 1);
    LivTimer(0, 1);
    EXPECT_TRUE(AdFault(LiveU16(liveData2.data(), 0)));
    EXPECT_EQ(AdValue(LiveU16(liveData2.data(), 0)), 4095);
    EXPECT_FALSE(AdFault(LiveU16(liveData2.data(), 4)));
    EXPECT_EQ(LiveU16(liveData2.data(), 4), 0x123);
    int value = 0;
    GetCtrlVal(hLv2Panel, LIVE2::NUMfarfAD, &value);
    EXPECT_EQ(value, 4095);
    EXPECT_EQ(CtrlAttr(hLv2Panel, LIVE2::NUMfarfAD, ATTR_TEXT_COLOR), VAL_RED);
    EXPECT_NE(CtrlAttr(hLv2Panel, LIVE2::NUMth2oAD, ATTR_TEXT_COLOR), VAL_RED);
}

// With the water and battery sensors disconnected (the simulator's --open-channel water,battery) page 2
// shows what a tuner sees with a broken wire: both A/D readings 0 and red once the ECU has found them in
// error, the water temperature what its linearization makes of 0, the battery 0 V; the air temperature
// beside them reads as ever.
TEST_F(LiveTest, Page2ShowsADisconnectedSensorAsABrokenWire) {
    std::vector<std::uint8_t>& par = ecu.model.StoreBytes(ecusim::Store::Par);
    ecusim::PutBE16(&par.at(ecusim::kPrefixSize + 0x404), 1234); // the water linearization: 123.4 at A/D 0
    ecusim::SealImage(par);
    ecu.model.engine.openChannels = 1u << 1 | 1u << 8;
    ecusim::AdvanceEngine(ecu.model, 1.5); // a check of the channels since
    ConnectLive(1);
    LivTimer(0, 1);
    LivTimer(0, 1); // all four records read
    struct Shown {
        int control;
        double value; // < 0: anything but 0
        bool red;
    };
    const Shown shown[] = {
        {LIVE2::NUMth2oAD, 0.0, true}, {LIVE2::NUMth2o, 123.4, false},  {LIVE2::NUMvBatAD, 0.0, true},
        {LIVE2::NUMvBat, 0.0, false},  {LIVE2::NUMtairAD, -1.0, false}, {LIVE2::NUMtair, -1.0, false},
    };
    for (const Shown& s : shown) {
        double value = -1.0;
        GetCtrlVal(hLv2Panel, s.control, &value);
        if (s.value < 0.0)
            EXPECT_NE(value, 0.0) << "control " << s.control;
        else
            EXPECT_DOUBLE_EQ(value, s.value) << "control " << s.control;
        EXPECT_EQ(CtrlAttr(hLv2Panel, s.control, ATTR_TEXT_COLOR) == VAL_RED, s.red)
            << "control " << s.control;
    }
}

TEST_F(LiveTest, CaptionsScalesAndDimmingFollowTheConfiguration) {
    struct Case {
        const char* what;
        std::uint8_t levelSwitch, actuator;
        const char* throttleLabel;
        const char* stepLabel;
        int stepPrecision;
    };
    const Case cases[] = {
        {"no level switch, stepper", 0, 3, "Throttle", "Num Step", 0},
        {"stepped level switch, auxiliary throttle", 16, 1, "LevelSW [step]", "Auxiliary Throttle", 1},
        {"analog level switch", 17, 4, "LevelSW [AD]", "Num Step", 0},
    };
    for (const Case& c : cases) {
        ecu.model.miscInfo[13] = 1; // a level switch counts only with an external drive-by-wire
        ecu.model.miscInfo[7] = c.levelSwitch;
        ecu.model.miscInfo[3] = c.actuator;
        ConnectLive();
        char label[64] = "";
        GetCtrlAttribute(hLv1Panel, LIVE1::NUMfarf, ATTR_LABEL_TEXT, label);
        EXPECT_STREQ(label, c.throttleLabel) << c.what;
        GetCtrlAttribute(hLv1Panel, LIVE1::NUMpotStep, ATTR_LABEL_TEXT, label);
        EXPECT_STREQ(label, c.stepLabel) << c.what;
        EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMpotStep, ATTR_PRECISION), c.stepPrecision) << c.what;
        CloseComPort();
    }
    // the simulated engine: two cylinders, each with a low and a high injector
    ConnectLive();
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMterog1H, ATTR_DIMMED), 0);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMterog2L, ATTR_DIMMED), 0);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMterog3L, ATTR_DIMMED), 1);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMkInjRip4H, ATTR_DIMMED), 1);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMkInjRip1, ATTR_DIMMED), 0) << "both-bank controls stay bright";
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMkInjRip3, ATTR_DIMMED), 1);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::LEDisOverInj4, ATTR_DIMMED), 0)
        << "the second injector of cylinder 2";
    CloseComPort();
    LivTimer(1, 0);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMterog1L, ATTR_DIMMED), 1) << "no link: no cylinder has outputs";
}

TEST_F(LiveTest, MapSlotAndGearFollowTheirWords) {
    SimLink& link = ConnectLive();
    link.tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x06 && reply && request.data[0] == 2) {
            reply->data[50] = 0; // map slot 2 active
            reply->data[51] = 1;
            reply->data[22] = 0x30; // gear index 3
        }
        if (request.cmd == 0x06 && reply && request.data[0] == 1) reply->data[138] = 0; // not in neutral
        return reply;
    };
    LivTimer(0, 0);
    LivTimer(0, 0);
    int value = 0;
    GetCtrlVal(hLv1Panel, LIVE1::NUMmappa, &value);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::TMecuMap1, ATTR_DIMMED), 1);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::TMecuMap2, ATTR_DIMMED), 0);
    GetCtrlVal(hLv1Panel, LIVE1::NUMmarcia, &value);
    EXPECT_EQ(value, 4);
    link.tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x06 && reply && request.data[0] == 1) reply->data[138] = 0x02;
        return reply;
    };
    LivTimer(0, 0);
    LivTimer(0, 0);
    GetCtrlVal(hLv1Panel, LIVE1::NUMmarcia, &value);
    EXPECT_EQ(value, 0) << "the neutral flag wins over the sensor";
}

TEST_F(LiveTest, BenchSlidesEncodeTheirValues) {
    struct Case {
        int control;
        double value;
        std::uint8_t code;
        std::uint16_t word;
    };
    const Case cases[] = {
        {LIVE2::NSkInjBanco2, 1.25, 4, 1250},      {LIVE2::NSkInjBanco, 0.0004, 2, 0},
        {LIVE2::NSddgAdvBanco, -2.25, 10, 0xFFE9}, {LIVE2::NSdegFaseBancoL, 0, 7, 0},
        {LIVE2::NSedbwBanco2, 12.4, 17, 124},
    };
    // every slide live: the link open, four cylinders with both injectors and a coil each, an external
    // drive-by-wire
    ConnectLive(1);
    engInfo = {0, 4, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 1, 2, 3, 0, 1, 2, 3};
    miscInfo[13] = 1;
    DimLv2Controls();
    for (const Case& c : cases) {
        ASSERT_EQ(SetValueAsUser(hLv2Panel, c.control, c.value), 0) << c.control;
        EXPECT_EQ(benchAdjustCode, c.code) << c.control;
        EXPECT_EQ(benchAdjustValue, c.word) << c.control;
    }
    // left unsent when the link closed, it never reaches the next ECU connected
    CloseComPort();
    LivTimer(0, 1);
    EXPECT_EQ(benchAdjustCode, 0);
    SimLink& link = ConnectLive(1);
    LivTimer(0, 1);
    EXPECT_EQ(LiveRequests(link).front(), (Bytes{0, 0, 0, 0}));
}

// An injection factor stepped by keys from 1.000 goes out rounded to the nearest thousandth, not cut:
// 1.001 held as a double is a hair below it, so that a value cut would go out a thousandth low.
TEST_F(LiveTest, BenchFactorsGoOutRoundedToTheNearestThousandth) {
    constexpr int R = VAL_RIGHT_ARROW_VKEY, U = VAL_PAGE_UP_VKEY;
    struct Case {
        int slide;
        std::vector<int> keys;
        Bytes sent; // code, value (big-endian)
    };
    const Case cases[] = {
        {LIVE2::NSkInjBanco, {R}, {2, 0x03, 0xE9}},                    // 1.001
        {LIVE2::NSkInjBanco1, {R, R, R}, {3, 0x03, 0xEB}},             // 1.003
        {LIVE2::NSkInjBanco2, {R, R, R, R, R, R, R}, {4, 0x03, 0xEF}}, // 1.007
        {LIVE2::NSkInjBanco3, {U, R}, {5, 0x03, 0xF3}},                // 1.011
        {LIVE2::NSkInjBanco4, {U, U, R, R, R}, {6, 0x03, 0xFF}},       // 1.023
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slide);
        ecu.model.engine.bench = {};
        SimLink& link = ConnectLive(1);
        engInfo = {0, 4, 0, 0, 0, 0, 0, 0, 0, 1,
                   0, 1, 0, 1, 2, 3, 0, 1, 2, 3}; // four cylinders: every factor
        for (int tick = 0; tick < 2; ++tick)      // a whole cycle: the slide shows the neutral factor
            ASSERT_TRUE(LivTimer(0, 1));
        ASSERT_DOUBLE_EQ(CtrlNumber(hLv2Panel, c.slide), 1.0);
        for (const int key : c.keys)
            ASSERT_EQ(PressKey(hLv2Panel, c.slide, key), 0);
        link.requests.clear();
        ASSERT_TRUE(LivTimer(0, 1));
        const Bytes first = LiveRequests(link).at(0);
        EXPECT_EQ(Bytes(first.begin() + 1, first.end()), c.sent);
        CloseComPort();
    }
    ecu.model.engine.bench = {};
}

// Keys pressed on a bench slide between live ticks, one or a few a tick: every step starts from the value
// the user left on the slide, whichever records the ticks read back meanwhile, so that the ECU ends with
// the sum of the steps and the slide shows it. A slide steps by its increment on an arrow key and by ten
// increments on Page Up or Page Down.
TEST_F(LiveTest, KeysOnABenchSlideAreNotLostToTheReadBack) {
    constexpr int R = VAL_RIGHT_ARROW_VKEY, L = VAL_LEFT_ARROW_VKEY;
    constexpr int U = VAL_PAGE_UP_VKEY, D = VAL_PAGE_DOWN_VKEY;
    const std::vector<int> upAndBack = {R, R, R, R, R, U, U, D, D, D, L, L, L, L};
    const std::vector<int> up = {R, R, R, R, R, U, U};
    using Bench = ecusim::BenchAdjust;
    struct Case {
        const char* what;
        int slide;
        const std::vector<int>* keys;
        int pressesPerTick;
        double end;                 // neutral plus the steps
        int (*inEcu)(const Bench&); // the adjustment the ECU holds, raw
        int endRaw;
    };
    const auto kInj = [](const Bench& b) { return int{b.kInj}; };
    const auto adv = [](const Bench& b) { return int{b.adv}; };
    const Case cases[] = {
        {"injection factor, a key a tick", LIVE2::NSkInjBanco, &upAndBack, 1, 0.991, kInj, 991},
        {"injection factor, three keys a tick", LIVE2::NSkInjBanco, &upAndBack, 3, 0.991, kInj, 991},
        {"advance, a key a tick", LIVE2::NSddgAdvBanco, &up, 1, 2.5, adv, 25},
        {"advance, two keys a tick", LIVE2::NSddgAdvBanco, &up, 2, 2.5, adv, 25},
    };
    const auto shown = [](int control) { return CtrlNumber(hLv2Panel, control); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecu.model.engine.bench = {};
        ConnectLive(1);
        for (int tick = 0; tick < 2; ++tick) // a whole cycle: every slide shows the neutral adjustment
            ASSERT_TRUE(LivTimer(0, 1));
        ASSERT_DOUBLE_EQ(shown(c.slide), c.slide == LIVE2::NSkInjBanco ? 1.0 : 0.0);
        int pressed = 0;
        for (const int key : *c.keys) {
            ASSERT_EQ(PressKey(hLv2Panel, c.slide, key), 0);
            if (++pressed % c.pressesPerTick == 0) {
                ASSERT_TRUE(LivTimer(0, 1));
            }
        }
        for (int tick = 0; tick < 8 && c.inEcu(ecu.model.engine.bench) != c.endRaw; ++tick)
            ASSERT_TRUE(LivTimer(0, 1));
        EXPECT_EQ(c.inEcu(ecu.model.engine.bench), c.endRaw);
        EXPECT_NEAR(shown(c.slide), c.end, 1e-9);
        for (int tick = 0; tick < 3; ++tick) // read back again and again, it stays
            ASSERT_TRUE(LivTimer(0, 1));
        EXPECT_NEAR(shown(c.slide), c.end, 1e-9) << "the ECU's report";
        CloseComPort();
    }
    ecu.model.engine.bench = {};
}

// A bench slide dragged as a hand drags it: taken, moved a little on each live tick, then held still while
// the ticks read the ECU's report of the adjustment back twice over, and let go; and a quick drag between
// two ticks. Nothing goes out while the handle is held and the ECU's report does not move it; the place it
// is let go at goes out, the ECU takes it and the slide shows it back.
TEST_F(LiveTest, ABenchSlideDraggedAndHeldGoesOutWhenLetGo) {
    using Bench = ecusim::BenchAdjust;
    struct Case {
        const char* what;
        int slide;
        double to;
        int moves;                  // ticks over which the handle moves, a step on each
        bool held;                  // held still until the ECU's report was read back twice
        int (*inEcu)(const Bench&); // the adjustment the ECU holds, raw
        double scale;               // raw units of the slide's value
        double pixel;               // what a pixel of the track is worth
    };
    const auto kInj = [](const Bench& b) { return int{b.kInj}; };
    const auto adv = [](const Bench& b) { return int{b.adv}; };
    const Case cases[] = {
        {"injection factor, slow drag held", LIVE2::NSkInjBanco, 1.25, 4, true, kInj, 1000, 0.02},
        {"advance, slow drag held", LIVE2::NSddgAdvBanco, -2.5, 4, true, adv, 10, 0.5},
        {"injection factor, quick drag", LIVE2::NSkInjBanco, 0.75, 1, false, kInj, 1000, 0.02},
    };
    const auto shown = [](int control) { return CtrlNumber(hLv2Panel, control); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecu.model.engine.bench = {};
        const int neutralRaw = c.inEcu(ecu.model.engine.bench);
        ConnectLive(1);
        for (int tick = 0; tick < 2; ++tick) // a whole cycle: every slide shows the neutral adjustment
            ASSERT_TRUE(LivTimer(0, 1));
        const double neutral = shown(c.slide);
        ASSERT_EQ(GrabSlide(hLv2Panel, c.slide), 0);
        for (int i = 1; i <= c.moves; ++i) {
            ASSERT_EQ(MoveSlide(hLv2Panel, c.slide, neutral + (c.to - neutral) * i / c.moves), 0);
            if (c.moves > 1) {
                ASSERT_TRUE(LivTimer(0, 1));
            }
        }
        if (c.held) {
            const std::uint32_t from = liveRequests;
            for (int tick = 0; tick < 20 && liveRequests < from + 8; ++tick)
                ASSERT_TRUE(LivTimer(0, 1));
            ASSERT_GE(liveRequests, from + 8) << "every record read twice while the handle is held";
        }
        EXPECT_EQ(c.inEcu(ecu.model.engine.bench), neutralRaw) << "nothing goes out while it is held";
        ASSERT_EQ(ReleaseSlide(hLv2Panel, c.slide), 0);
        const double letGo = shown(c.slide);
        EXPECT_NEAR(letGo, c.to, c.pixel) << "where the handle was let go";
        for (int tick = 0; tick < 8 && c.inEcu(ecu.model.engine.bench) == neutralRaw; ++tick)
            ASSERT_TRUE(LivTimer(0, 1));
        EXPECT_EQ(c.inEcu(ecu.model.engine.bench), std::lround(letGo * c.scale)) << "the ECU took it";
        for (int tick = 0; tick < 3; ++tick)
            ASSERT_TRUE(LivTimer(0, 1));
        EXPECT_DOUBLE_EQ(shown(c.slide), letGo) << "the ECU's report";
        CloseComPort();
    }
    ecu.model.engine.bench = {};
}

// With the link closed there is nothing to adjust: every bench slide and the number beside it shows the
// neutral adjustment (a factor 1.000, an offset 0) and is dimmed, after a disconnection as at the start.
TEST_F(LiveTest, BenchSlidesRestNeutralAndDimmedWithTheLinkClosed) {
    using namespace LIVE2;
    const std::pair<int, int> factors[] = {{NSkInjBanco, NUMshowkInjBanco},
                                           {NSkInjBanco1, NUMshowkInjBanco1},
                                           {NSkInjBanco2, NUMshowkInjBanco2},
                                           {NSkInjBanco3, NUMshowkInjBanco3},
                                           {NSkInjBanco4, NUMshowkInjBanco4}};
    const std::pair<int, int> offsets[] = {
        {NSdegFaseBancoL, NUMshowdegFaseBancoL}, {NSdegFaseBancoH, NUMshowdegFaseBancoH},
        {NSkInjRipBanco, NUMshowkInjRipBanco},   {NSddgAdvBanco, NUMshowddgAdvBanco},
        {NSddgAdvBanco1, NUMshowddgAdvBanco1},   {NSddgAdvBanco2, NUMshowddgAdvBanco2},
        {NSddgAdvBanco3, NUMshowddgAdvBanco3},   {NSddgAdvBanco4, NUMshowddgAdvBanco4},
        {NSpwmOutBanco, NUMshowpwmOutBanco},     {NSedbwBanco1, NUMshowedbwBanco1},
        {NSedbwBanco2, NUMshowedbwBanco2}};
    const auto expectNeutral = [&](const char* when) {
        for (const auto& [list, neutral] : {std::pair{std::span<const std::pair<int, int>>(factors), 1.0},
                                            std::pair{std::span<const std::pair<int, int>>(offsets), 0.0}})
            for (const auto& [slide, readout] : list)
                for (const int control : {slide, readout}) {
                    double v = -1;
                    GetCtrlVal(hLv2Panel, control, &v);
                    EXPECT_DOUBLE_EQ(v, neutral) << when << ", control " << control;
                    EXPECT_EQ(CtrlAttr(hLv2Panel, control, ATTR_DIMMED), 1)
                        << when << ", control " << control;
                }
    };
    LivTimer(0, 1);
    expectNeutral("never connected");
    ecu.model.miscInfo[13] = 1; // a drive-by-wire, so that its slides are live while connected
    ConnectLive(1);
    for (const auto& [slide, value] : {std::pair{NSkInjBanco, 1.2}, std::pair{NSedbwBanco1, 5.0}}) {
        ASSERT_EQ(SetValueAsUser(hLv2Panel, slide, value), 0);
        for (int tick = 0; tick < 2; ++tick)
            ASSERT_TRUE(LivTimer(0, 1));
    }
    ASSERT_EQ(ecu.model.engine.bench.kInj, 1200);
    ASSERT_EQ(ecu.model.engine.bench.edbw[0], 50);
    ASSERT_EQ(CtrlAttr(hLv2Panel, NSkInjBanco, ATTR_DIMMED), 0);
    ASSERT_EQ(Click(hMainPanel, MAIN::TBcom), 0); // Disconnect
    ASSERT_FALSE(isComOpen);
    LivTimer(0, 1);
    expectNeutral("disconnected");
    LivTimer(1, 1);
    expectNeutral("disconnected, refreshed");
    ecu.model.engine.bench = {};
    ShowDefaultEcuOnPage2();
}

TEST_F(LiveTest, AnAdjustmentNotYetSentStaysWithItsPageAndConnection) {
    for (const OneShotLoss& c : kOneShotLosses) {
        ConnectLive(1);
        Click(hMainPanel, MAIN::CBlive);
        if (hCurPanel != hLv2Panel) SelectTab(hCurPanel, LIVE1::TPselectLive, 1);
        ASSERT_EQ(hCurPanel, hLv2Panel);
        ASSERT_EQ(SetValueAsUser(hLv2Panel, LIVE2::NSddgAdvBanco, 3.0), 0);
        c.act(*this);
        SimLink& link = *static_cast<SimLink*>(ComLink());
        link.requests.clear();
        LivTimer(0, 1);
        EXPECT_EQ(LiveRequests(link).front(), (Bytes{0, 0, 0, 0})) << c.what;
        Click(hMainPanel, MAIN::CBinfo);
        CloseComPort();
        LivTimer(0, 1);
    }
    Click(hMainPanel, MAIN::CBlive); // the live pages open on page 1 again, as at start-up
    SelectTab(hCurPanel, LIVE2::TPselectLive, 0);
    Click(hMainPanel, MAIN::CBinfo);
}

TEST_F(LiveTest, OutputTestsAreOneFrameEachAndNeedTheLink) {
    popups.ExpectMessage();
    Click(hLv2Panel, LIVE2::CBtestInj3);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].text, "COMM error...");

    SimLink& link = ConnectLive(1);
    Click(hLv2Panel, LIVE2::CBtestInj3);
    Click(hLv2Panel, LIVE2::TBtestAuxOut);
    ASSERT_EQ(link.requests.size(), 2u);
    EXPECT_EQ(Bytes(link.requests[0].begin() + 2, link.requests[0].end() - 1), (Bytes{0x0A, 3, 0}));
    EXPECT_EQ(Bytes(link.requests[1].begin() + 2, link.requests[1].end() - 1), (Bytes{0x0A, 8, 1}));
    EXPECT_TRUE(ecu.model.engine.tests.auxOut);

    popups.ExpectMessage();
    link.tamper = [](const ecusim::Frame&, std::optional<ecusim::Frame> reply) {
        if (reply) reply->data.push_back(0); // an acknowledgement must carry no data
        return reply;
    };
    Click(hLv2Panel, LIVE2::CBtestInj1);
    EXPECT_EQ(popups.Records().back().text, "Some error occurred...");

    link.tamper = nullptr;
    LivTimer(0, 1);
    int state = -1;
    GetCtrlVal(hLv2Panel, LIVE2::TBtestAuxOut, &state);
    EXPECT_EQ(state, 0) << "with the engine running the test toggles snap back";
}

// Each output test's toggle switched on and off again, with the engine at rest (a running one snaps the
// toggles back): its code goes out with 1, then with 0, and the ECU's output follows, as its light shows.
TEST_F(LiveTest, OutputTestTogglesSwitchTheEcusOutputOnAndOff) {
    ecu.model = ecusim::MakeEcuModel("");
    struct Toggle {
        const char* what;
        int toggle;
        std::uint8_t code;
        bool ecusim::OutputTests::*output;
        int light;
    };
    const Toggle toggles[] = {
        {"fuel pump", LIVE2::TBtestFuelPump, 7, &ecusim::OutputTests::fuelPump, LIVE2::LEDisFuelPump},
        {"auxiliary output", LIVE2::TBtestAuxOut, 8, &ecusim::OutputTests::auxOut, LIVE2::LEDisAuxOut},
        {"fuel consumption", LIVE2::TBtestFuelConsum, 9, &ecusim::OutputTests::fuelConsum,
         LIVE2::LEDisFuelConsum},
    };
    SimLink& link = ConnectLive(1);
    for (const Toggle& t : toggles) {
        SCOPED_TRACE(t.what);
        for (const std::uint8_t on : {1, 0}) {
            SCOPED_TRACE(on ? "on" : "off");
            link.requests.clear();
            ASSERT_EQ(Click(hLv2Panel, t.toggle), 0);
            ASSERT_EQ(link.requests.size(), 1u);
            EXPECT_EQ(Bytes(link.requests[0].begin() + 2, link.requests[0].end() - 1),
                      (Bytes{0x0A, t.code, on}));
            EXPECT_EQ(ecu.model.engine.tests.*t.output, on == 1);
            EXPECT_TRUE(LivTimer(0, 1)); // every live record read again: the page shows what the ECU reports
            EXPECT_TRUE(LivTimer(0, 1));
            int shown = -1, light = -1;
            GetCtrlVal(hLv2Panel, t.toggle, &shown);
            GetCtrlVal(hLv2Panel, t.light, &light);
            EXPECT_EQ(shown, on);
            EXPECT_EQ(light, on);
        }
    }
}

// Live page 2 by the outputs each cylinder is wired to: an entry out of its range (255, or a coil above
// 1, an injector above 3) is no output.
TEST_F(LiveTest, Page2DimsByTheOutputsOfEachCylinder) {
    struct Group {
        const char* what;
        std::array<int, 4> controls; // cylinders 1..4
        int rule;                    // 0: no low injector, 1: no high, 2: neither, 3: no coil
    };
    using namespace LIVE2;
    const Group groups[] = {
        {"low injection time", {NUMterog1L, NUMterog2L, NUMterog3L, NUMterog4L}, 0},
        {"high injection time", {NUMterog1H, NUMterog2H, NUMterog3H, NUMterog4H}, 1},
        {"low phase", {NUMfase1L, NUMfase2L, NUMfase3L, NUMfase4L}, 2},
        {"high phase", {NUMfase1H, NUMfase2H, NUMfase3H, NUMfase4H}, 2},
        {"bench injection", {NSkInjBanco1, NSkInjBanco2, NSkInjBanco3, NSkInjBanco4}, 2},
        {"advance", {NUMteta1, NUMteta2, NUMteta3, NUMteta4}, 3},
        {"dwell", {NUMdwell1, NUMdwell2, NUMdwell3, NUMdwell4}, 3},
        {"bench advance", {NSddgAdvBanco1, NSddgAdvBanco2, NSddgAdvBanco3, NSddgAdvBanco4}, 3},
        {"injection by pair", {LEDisJMMbyPair1, LEDisJMMbyPair2, LEDisJMMbyPair3, LEDisJMMbyPair4}, 3},
    };
    // coil, low and high injector of cylinders 1..4
    const std::array<std::uint8_t, 4> coil = {0, 0, 0, 2};
    const std::array<std::uint8_t, 4> low = {0, 1, 255, 255};
    const std::array<std::uint8_t, 4> high = {4, 255, 255, 3};
    const std::array<std::array<bool, 4>, 4> none = {{
        {false, false, true, true},  // no low injector
        {true, true, true, false},   // no high
        {false, false, true, false}, // neither
        {false, false, false, true}, // no coil
    }};
    for (int i = 0; i < 4; ++i) {
        ecu.model.engInfo[8 + static_cast<std::size_t>(i)] = coil[static_cast<std::size_t>(i)];
        ecu.model.engInfo[12 + static_cast<std::size_t>(i)] = low[static_cast<std::size_t>(i)];
        ecu.model.engInfo[16 + static_cast<std::size_t>(i)] = high[static_cast<std::size_t>(i)];
    }
    ConnectLive(1);
    for (const Group& g : groups)
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(CtrlAttr(hLv2Panel, g.controls[i], ATTR_DIMMED),
                      none[static_cast<std::size_t>(g.rule)][i] ? 1 : 0)
                << g.what << ", cylinder " << i + 1;
    // Coil 1 and injector output 2 (the third) serve no cylinder.
    const std::pair<int, int> outputs[] = {
        {CBtestTrig1, 0},    {LEDisOverDwell1, 0}, {NUMextSparkOn1, 0},  {NUMextSparkOff1, 0},
        {CBtestTrig2, 1},    {LEDisOverDwell2, 1}, {NUMextSparkOn2, 1},  {NUMextSparkOff2, 1},
        {CBtestInj1, 0},     {LEDisOverInj1, 0},   {CBtestInj2, 0},      {LEDisOverInj2, 0},
        {CBtestInj3, 1},     {LEDisOverInj3, 1},   {CBtestInj4, 0},      {LEDisOverInj4, 0},
        {NSkInjRipBanco, 0}, {NSdegFaseBancoL, 0}, {NSdegFaseBancoH, 0},
    };
    for (const auto& [control, dimmed] : outputs)
        EXPECT_EQ(CtrlAttr(hLv2Panel, control, ATTR_DIMMED), dimmed) << "control " << control;
    CloseComPort();

    // One bank only: the partition and the other bank's phase slide have nothing to act on.
    struct Bank {
        std::uint8_t lowEntry, highEntry;
        int partition, phaseL, phaseH;
    };
    for (const Bank& b : {Bank{0, 255, 1, 0, 1}, Bank{255, 0, 1, 1, 0}}) {
        for (std::size_t i = 0; i < 4; ++i) {
            ecu.model.engInfo[12 + i] = b.lowEntry;
            ecu.model.engInfo[16 + i] = b.highEntry;
        }
        ConnectLive(1);
        EXPECT_EQ(CtrlAttr(hLv2Panel, NSkInjRipBanco, ATTR_DIMMED), b.partition);
        EXPECT_EQ(CtrlAttr(hLv2Panel, NSdegFaseBancoL, ATTR_DIMMED), b.phaseL);
        EXPECT_EQ(CtrlAttr(hLv2Panel, NSdegFaseBancoH, ATTR_DIMMED), b.phaseH);
        CloseComPort();
    }
    ShowDefaultEcuOnPage2();
}

// Live page 2 by what the ECU says it is equipped with.
TEST_F(LiveTest, Page2DimsByTheEquipment) {
    using namespace LIVE2;
    const std::vector<int> actuator = {NUMpotStep, NUMpotStepAD, NUMextPercFaux, NUMextStepBpsAir,
                                       NUMnormalStepCor};
    const std::vector<int> inputs = {NUMfork,    NUMshock,   NUMforkAD,   NUMshockAD,
                                     NUMuego1AD, NUMuego2AD, NUMrtcLevel, NUMrtcLevelAD};
    const std::vector<int> driveByWire = {NUMegas,      NUMedbw1,       NUMegasAD_A,        NUMsollEdbw2,
                                          NSedbwBanco1, LEDisEdbwFail1, LEDisBlippingEdbw2, NUMjTransAux,
                                          NUMaTransAux, TMedbw};
    struct Case {
        const char* what;
        std::size_t misc; // miscInfo byte set, or 99 for twaInfo byte 3
        std::uint8_t value;
        const std::vector<int>* controls;
        std::vector<int> dimmed; // one per control
    };
    const std::vector<int> tc = {NUMtcLevel, LEDisTcOn};
    const std::vector<int> cam = {NUMscamPuls, NUMscamErrs};
    const std::vector<int> vcam = {LEDisVcam};
    const Case cases[] = {
        {"auxiliary throttle", 3, 1, &actuator, {0, 0, 0, 1, 1}},
        {"stepper", 3, 3, &actuator, {0, 1, 1, 1, 0}},
        {"by-pass air", 3, 4, &actuator, {0, 1, 1, 0, 1}},
        {"no idle actuator", 3, 2, &actuator, {1, 1, 1, 1, 1}},
        {"no analog inputs", 5, 0, &inputs, {1, 1, 1, 1, 1, 1, 1, 1}},
        {"level sensor", 5, 2, &inputs, {1, 1, 1, 1, 1, 1, 0, 0}},
        {"lambda sensors", 5, 3, &inputs, {1, 1, 1, 1, 0, 0, 1, 1}},
        {"fork and shock", 5, 4, &inputs, {0, 0, 0, 0, 1, 1, 1, 1}},
        {"inputs beyond the known", 5, 5, &inputs, {1, 1, 1, 1, 1, 1, 1, 1}},
        {"no traction control", 14, 0, &tc, {1, 1}},
        {"traction control", 14, 1, &tc, {0, 0}},
        {"no drive-by-wire", 13, 0, &driveByWire, std::vector<int>(10, 1)},
        {"drive-by-wire", 13, 1, &driveByWire, std::vector<int>(10, 0)},
        {"no variable cam", 0, 0, &vcam, {1}},
        {"variable cam", 0, 1, &vcam, {0}},
        {"cam counters off", 99, 1, &cam, {1, 1}},
        {"cam counters on", 99, 0, &cam, {0, 0}},
    };
    const auto miscInfo = ecu.model.miscInfo;
    const auto twaInfo = ecu.model.twaInfo;
    for (const Case& c : cases) {
        ecu.model.miscInfo = miscInfo;
        ecu.model.twaInfo = twaInfo;
        if (c.misc == 99)
            ecu.model.twaInfo[3] = c.value;
        else
            ecu.model.miscInfo[c.misc] = c.value;
        ConnectLive(1);
        for (std::size_t i = 0; i < c.controls->size(); ++i)
            EXPECT_EQ(CtrlAttr(hLv2Panel, (*c.controls)[i], ATTR_DIMMED), c.dimmed[i]) << c.what << ", " << i;
        CloseComPort();
    }
    for (const auto& [kind, label] : {std::pair{0, "Mil Lamp"}, std::pair{1, "Relais"}}) {
        ecu.model.miscInfo = miscInfo;
        ecu.model.miscInfo[12] = static_cast<std::uint8_t>(kind);
        ConnectLive(1);
        char text[32] = "";
        GetCtrlAttribute(hLv2Panel, TBtestAuxOut, ATTR_LABEL_TEXT, text);
        EXPECT_STREQ(text, label);
        CloseComPort();
    }
    ShowDefaultEcuOnPage2();
}

// Both live pages against the data sets the ECU holds: the variable cam and traction control are dimmed
// and dark while the configuration and the mapping leave them out, bright once they are fitted (the cam
// then engaged while the engine runs; traction control acting only on a spinning wheel); on page 1 the
// total advance is the base advance and every correction shown. With ORVANE_SHOT_DIR set, both pages are
// written there at both sizes of the main window, to be looked at beside the configuration, injection,
// advance and Traction Ctrl. pages filled from the same data sets.
TEST_F(LiveTest, PagesShowTheEquipmentAndCorrectionsOfTheDataSets) {
    using namespace LIVE1;
    struct Case {
        const char* what;
        std::uint8_t camType, tractionControl;
    };
    const Case cases[] = {{"default", 0, 0}, {"cam-and-traction-control", 1, 1}};
    for (const Case& c : cases) {
        ecu.model.StoreBytes(ecusim::Store::Par).at(ecusim::kPrefixSize + 0x6F3) = c.camType;
        ecu.model.StoreBytes(ecu.model.tuningSlot).at(ecusim::kPrefixSize + 0x2A138) = c.tractionControl;
        ecusim::DescribeEngine(ecu.model); // as after the data sets were sent
        ecusim::SteerEngine(ecu.model.engine, 4000.0, 40.0);
        ecusim::AdvanceEngine(ecu.model, 10.0);
        for (const std::uint8_t page : {0, 1}) {
            const int panel = page == 0 ? hLv1Panel : hLv2Panel;
            DisplayPanel(panel);
            ConnectLive(page);
            LivTimer(0, page);
            LivTimer(0, page); // all four records read
            const int vcam = page == 0 ? LEDisVcam : LIVE2::LEDisVcam;
            const int tc = page == 0 ? LEDisTcOn : LIVE2::LEDisTcOn;
            EXPECT_EQ(CtrlAttr(panel, vcam, ATTR_DIMMED), c.camType == 0) << c.what;
            EXPECT_EQ(CtrlAttr(panel, tc, ATTR_DIMMED), c.tractionControl == 0) << c.what;
            int lit = -1;
            GetCtrlVal(panel, vcam, &lit);
            EXPECT_EQ(lit, c.camType != 0) << c.what << ": engaged while the engine runs";
            GetCtrlVal(panel, tc, &lit);
            EXPECT_EQ(lit, 0) << c.what << ": the wheel does not spin at a steady 4000 rpm";
            if (page == 0) {
                double total = 0.0, sum = 0.0, v = 0.0;
                GetCtrlVal(panel, NUMteta1, &total);
                for (const int part :
                     {NUMddgAdvBase1, NUMddgAdvUser1, NUMddgAdvTair, NUMddgAdvTh2o, NUMddgAdvPbaro,
                      NUMddgAdvGear1, NUMddgAdvAcc1, NUMddgAdvVel1, NUMddgAdvTc1, NUMddgAdvMacc1,
                      NUMddgAdvVelim, NUMddgAdvTrans1, NUMddgAdvExt1}) {
                    GetCtrlVal(panel, part, &v);
                    sum += v;
                }
                EXPECT_NEAR(total, sum, 0.45) << c.what << ": the total advance counts every correction";
            }
            if (const char* dir = std::getenv("ORVANE_SHOT_DIR")) {
                for (const auto& [w, h] : {std::pair{1100, 760}, std::pair{1920, 1040}}) {
                    ASSERT_EQ(ResizeWindow(hMainPanel, w, h), 0);
                    ProcessSystemEvents();
                    const std::string path = std::string(dir) + "/live" + std::to_string(page + 1) + "-" +
                                             c.what + "-" + std::to_string(w) + ".png";
                    EXPECT_EQ(GrabPanelToPng(hMainPanel, path.c_str()), 0);
                }
                ASSERT_EQ(ResizeWindow(hMainPanel, 1100, 760), 0);
            }
            CloseComPort();
        }
    }
    ShowDefaultEcuOnPage2();
}

// Each data set the ECU holds is named under its own heading on both live pages: the configuration's name
// under "Configuration", slot 1's under "Map 1", slot 2's under "Map 2". A heading's name is the name
// field it reads before: beside it or below it, the nearest.
TEST_F(LiveTest, EachDataSetsNameShowsUnderItsOwnHeading) {
    struct Held {
        ecusim::Store store;
        const char* name;
    };
    const Held kHeld[] = {
        {ecusim::Store::Par, "Workshop base setup"},
        {ecusim::Store::Slot1, "Dry track slot one"},
        {ecusim::Store::Slot2, "Wet track slot two"},
    };
    for (const Held& h : kHeld) {
        std::vector<std::uint8_t>& image = ecu.model.StoreBytes(h.store);
        std::fill_n(image.begin() + ecusim::kNameOffset, ecusim::kNameSize, 0);
        std::copy_n(h.name, std::strlen(h.name), image.begin() + ecusim::kNameOffset);
        ecusim::SealImage(image);
    }
    struct Heading {
        const char* text;
        const char* name; // the name of the data set the heading stands for
    };
    const Heading kHeadings[] = {
        {"Configuration", kHeld[0].name}, {"Map 1", kHeld[1].name}, {"Map 2", kHeld[2].name}};
    struct Page {
        int panel;
        std::uint8_t page;
        std::array<int, 3> headings, names;
    };
    const Page kPages[] = {
        {hLv1Panel,
         0,
         {LIVE1::TMl47, LIVE1::TMl48, LIVE1::TMl49},
         {LIVE1::TMecuPar, LIVE1::TMecuMap1, LIVE1::TMecuMap2}},
        {hLv2Panel,
         1,
         {LIVE2::TMl67, LIVE2::TMl68, LIVE2::TMl69},
         {LIVE2::TMecuPar, LIVE2::TMecuMap1, LIVE2::TMecuMap2}},
    };
    const auto box = [](int panel, int control) {
        return Rect{CtrlAttr(panel, control, ATTR_TOP), CtrlAttr(panel, control, ATTR_LEFT),
                    CtrlAttr(panel, control, ATTR_HEIGHT), CtrlAttr(panel, control, ATTR_WIDTH)};
    };
    for (const Page& p : kPages) {
        DisplayPanel(p.panel);
        ConnectLive(p.page); // the names are read as the page is switched to
        for (std::size_t k = 0; k < std::size(kHeadings); ++k) {
            const Heading& heading = kHeadings[k];
            ASSERT_EQ(CtrlText(p.panel, p.headings[k]), heading.text);
            const Rect at = box(p.panel, p.headings[k]);
            // Of the name fields not above the heading, the one with the least gap to it.
            int nearest = 0, least = 1 << 30;
            for (const int name : p.names) {
                const Rect r = box(p.panel, name);
                if (r.top < at.top) continue;
                const int gap = std::max({0, r.left - (at.left + at.width), at.left - (r.left + r.width)}) +
                                std::max(0, r.top - (at.top + at.height));
                if (gap < least) {
                    least = gap;
                    nearest = name;
                }
            }
            ASSERT_NE(nearest, 0) << heading.text;
            EXPECT_EQ(CtrlText(p.panel, nearest), heading.name)
                << "page " << p.page + 1 << ", " << heading.text;
        }
        CloseComPort();
    }
}
