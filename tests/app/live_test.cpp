// The live pages against the simulated engine: the live exchange (requests byte for byte, record order,
// absorbed failures), the conversion of the records, the pages' scales, captions and dimming, the bench
// adjustments and the one-shot output tests.
#include "orvanefixture.h"

#include "ecusim/commands.h"
#include "orvane/live/live.h"

#include <cstdlib>

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
    // the simulated engine: four cylinders on low injectors only
    ConnectLive();
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMterog1H, ATTR_DIMMED), 1);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMkInjRip4H, ATTR_DIMMED), 1);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMterog1L, ATTR_DIMMED), 0);
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::NUMkInjRip1, ATTR_DIMMED), 0) << "both-bank controls stay bright";
    EXPECT_EQ(CtrlAttr(hLv1Panel, LIVE1::LEDisOverInj4, ATTR_DIMMED), 0);
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
    for (const Case& c : cases) {
        ASSERT_EQ(SetValueAsUser(hLv2Panel, c.control, c.value), 0) << c.control;
        EXPECT_EQ(benchAdjustCode, c.code) << c.control;
        EXPECT_EQ(benchAdjustValue, c.word) << c.control;
    }
    // chosen with the link closed, it never reaches the next ECU connected
    LivTimer(0, 1);
    EXPECT_EQ(benchAdjustCode, 0);
    SimLink& link = ConnectLive(1);
    LivTimer(0, 1);
    EXPECT_EQ(LiveRequests(link).front(), (Bytes{0, 0, 0, 0}));
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
