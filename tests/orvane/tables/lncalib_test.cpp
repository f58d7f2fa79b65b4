// The procedures of linearization page 1 against the simulated ECU: learning a reading by a double click,
// interpolation of the inner points and the two-step automatic throttle calibration.
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"
#include "pagefixture.h"
#include "platform/ui/uitest.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

struct Procedures : TablePages {
    void SetUp() override {
        TablePages::SetUp();
        Show(hLn1Panel);
    }
    // A double click on table cell as the user does it.
    // The simulated ECU as the link, with the main timer's tick on this page (which enables the
    // calibration).
    SimLink& ConnectEcu() {
        SimLink& link = Connect();
        EXPECT_TRUE(Ln1Timer());
        return link;
    }
    static int DoubleClick(int control, Point cell) {
        Point pixel;
        EXPECT_EQ(uitest::GetTableCellPoint(hLn1Panel, control, cell, &pixel), 0);
        return uitest::SendMouse(hLn1Panel, control, EVENT_LEFT_DOUBLE_CLICK, pixel.x, pixel.y);
    }
    // Runs the calibration; each step presses one of the popup's buttons while it waits.
    static void Calibrate(std::vector<int> buttons) {
        // The last press ends the calibration, so nothing is left to run once this returns.
        std::function<void(std::size_t)> press = [&](std::size_t i) {
            EXPECT_EQ(uitest::Click(hLrtPanel, buttons[i]), 0);
            if (i + 1 < buttons.size()) uitest::Later([&, i] { press(i + 1); });
        };
        uitest::Later([&] { press(0); });
        EXPECT_EQ(uitest::Click(hLn1Panel, LNR1::CBcalibrationFarf), 0);
        EXPECT_FALSE(uitest::IsPopupInstalled(hLrtPanel));
    }
};

TEST_F(Procedures, LearningReadsTheSensorsIntoTheClickedColumn) {
    ConnectEcu();
    ecu.model.engine.throttlePct = 50.0;
    EXPECT_EQ(DoubleClick(LNR1::TABfarf, {5, 1}), 0);
    EXPECT_EQ(Cell(hLn1Panel, LNR1::TABfarf, {5, 2}), 512); // 98 .. 925 at half open
    EXPECT_EQ(ecuParData.linThrottle.x[4], 0) << "only the table until the next read-back";

    EXPECT_EQ(DoubleClick(LNR1::TABeDbw1, {2, 1}), 0);
    EXPECT_EQ(Cell(hLn1Panel, LNR1::TABeDbw1, {2, 2}), 510); // sensor A rising
    EXPECT_EQ(Cell(hLn1Panel, LNR1::TABeDbw1, {2, 3}), 510); // sensor B falling, crossing at half
    ecu.model.engine.throttlePct = 100.0;
    EXPECT_EQ(DoubleClick(LNR1::TABfaux, {2, 1}), 0);
    EXPECT_EQ(Cell(hLn1Panel, LNR1::TABfaux, {2, 2}), 900);

    // Anywhere but the learning row learns nothing.
    EXPECT_EQ(DoubleClick(LNR1::TABfarf, {6, 2}), 0);
    EXPECT_EQ(DoubleClick(LNR1::TABeGas, {1, 3}), 0);
    EXPECT_EQ(Cell(hLn1Panel, LNR1::TABfarf, {6, 2}), 0);
    EXPECT_EQ(Cell(hLn1Panel, LNR1::TABeGas, {1, 3}), 0);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

// At a fifth open every sensor of the pedal and of both throttle bodies reads its own value, so a swap of
// channels between the tables, or of sensors A and B, shows.
TEST_F(Procedures, LearningTakesEachTableFromItsOwnChannels) {
    ConnectEcu();
    ecu.model.engine.throttlePct = 20.0;
    struct Case {
        int table, column;
        double a, b; // A/D of sensors A and B
    };
    const Case cases[] = {
        {LNR1::TABeGas, 1, 290, 145},  // pedal: 150 .. 850 and 75 .. 425
        {LNR1::TABeDbw1, 2, 265, 755}, // body 1: 102 .. 918, B falling
        {LNR1::TABeDbw2, 1, 270, 750}, // body 2: 110 .. 910, B falling
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DoubleClick(c.table, {c.column, 1}), 0);
        EXPECT_EQ(Cell(hLn1Panel, c.table, {c.column, 2}), c.a) << c.table;
        EXPECT_EQ(Cell(hLn1Panel, c.table, {c.column, 3}), c.b) << c.table;
    }
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

// Sensor B is read only after sensor A gave its four samples.
TEST_F(Procedures, AFailedSensorAIsNotFollowedBySensorB) {
    SimLink& link = ConnectEcu();
    constexpr std::uint8_t kReadAd = 0x07, kDbw1A = 15, kDbw1B = 16;
    std::vector<std::uint8_t> channels;
    link.tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd != kReadAd || request.data.empty()) return reply;
        channels.push_back(request.data[0]);
        return request.data[0] == kDbw1A ? std::nullopt : reply;
    };
    popups.ExpectMessage();
    EXPECT_EQ(DoubleClick(LNR1::TABeDbw1, {1, 1}), 0);
    EXPECT_EQ(channels, std::vector<std::uint8_t>{kDbw1A}) << "one failed sample ends the reading";
    EXPECT_EQ(std::count(channels.begin(), channels.end(), kDbw1B), 0);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Edbw Setting");
    EXPECT_EQ(popups.Records()[0].text, "Some error occurred...");
    EXPECT_EQ(Cell(hLn1Panel, LNR1::TABeDbw1, {1, 2}), 0);
    EXPECT_EQ(Cell(hLn1Panel, LNR1::TABeDbw1, {1, 3}), 0);
}

TEST_F(Procedures, LearningWithoutTheEcuSaysWhy) {
    struct Case {
        int control;
        const char* title;
        const char* text;
    };
    for (const Case& c : {Case{LNR1::TABfarf, "Throttle Setting", "COMM error..."},
                          Case{LNR1::TABeGas, "Edbw Setting", "COMM error..."}}) {
        popups.ExpectMessage();
        EXPECT_EQ(DoubleClick(c.control, {1, 1}), 0);
        EXPECT_EQ(popups.Records().back().title, c.title);
        EXPECT_EQ(popups.Records().back().text, c.text);
    }
    // An ECU that stops answering after sensor A: sensor B is not asked for.
    SimLink& link = Connect();
    int answered = 0;
    link.tamper = [&](const ecusim::Frame&, std::optional<ecusim::Frame> reply) {
        return ++answered <= 4 ? reply : std::nullopt;
    };
    popups.ExpectMessage();
    EXPECT_EQ(DoubleClick(LNR1::TABeGas, {1, 1}), 0);
    EXPECT_EQ(link.requests.size(), 5u);
    EXPECT_EQ(popups.Records().back().title, "Edbw Setting");
    EXPECT_EQ(popups.Records().back().text, "Some error occurred...");
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

TEST_F(Procedures, InterpolateFillsTheInnerColumnsAsShown) {
    SetCell(hLn1Panel, LNR1::TABfarf, {1, 2}, 100);
    SetCell(hLn1Panel, LNR1::TABfarf, {16, 2}, 850);
    SetCell(hLn1Panel, LNR1::TABfarf, {1, 3}, 0);
    SetCell(hLn1Panel, LNR1::TABfarf, {16, 3}, 90);
    EXPECT_EQ(uitest::Click(hLn1Panel, LNR1::CBinterpFarf), 0);
    for (int col = 2; col <= 15; ++col) {
        EXPECT_DOUBLE_EQ(Cell(hLn1Panel, LNR1::TABfarf, {col, 2}), 100 + 50 * (col - 1));
        EXPECT_DOUBLE_EQ(Cell(hLn1Panel, LNR1::TABfarf, {col, 3}), 6.0 * (col - 1));
    }
    ExtDbw() = 0; // the gas table is dimmed, its "Interpolate" is not
    ASSERT_TRUE(ScatterLn1Panel());
    SetCell(hLn1Panel, LNR1::TABgas, {16, 1}, 1000);
    EXPECT_EQ(uitest::Click(hLn1Panel, LNR1::CBinterpGas), 0);
    ASSERT_TRUE(GatherLn1Panel());
    EXPECT_EQ(ecuParData.linExtDbwGas.x[3], 200);
    EXPECT_EQ(ecuParData.linExtDbwGas.values[3], 1000);
}

TEST_F(Procedures, CalibrationSpreadsTheThrottleAxisBetweenItsReadings) {
    for (int i = 0; i < 16; ++i) {
        ecuParData.linThrottle.values[i] = static_cast<std::int16_t>(60 * i);
        ecuParData.linThrottle.x[i] = static_cast<std::int16_t>(100 + 50 * i); // 100 .. 850
    }
    ASSERT_TRUE(ScatterLn1Panel());
    SetCell(hLn1Panel, LNR1::TABfarf, {8, 3}, 55.5); // typed: stored before the calibration fills the page
    ConnectEcu();
    ecu.model.throttleSteps = {0.0, 100.0}; // idle 98, full open 925
    Calibrate({LNRGAS::CBset, LNRGAS::CBset});
    EXPECT_EQ(ecuParData.linThrottle.x[0], 98);
    EXPECT_EQ(ecuParData.linThrottle.x[1], 98 + 827 / 15);
    EXPECT_EQ(ecuParData.linThrottle.x[7], 98 + 827 * 7 / 15);
    EXPECT_EQ(ecuParData.linThrottle.x[15], 925);
    EXPECT_EQ(ecuParData.linThrottle.values[6], 360) << "the openings stay";
    EXPECT_EQ(ecuParData.linThrottle.values[7], 555);
    EXPECT_DOUBLE_EQ(Cell(hLn1Panel, LNR1::TABfarf, {8, 3}), 55.5);
    EXPECT_DOUBLE_EQ(Cell(hLn1Panel, LNR1::TABfarf, {8, 2}), 98 + 827 * 7 / 15);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

TEST_F(Procedures, ImplausibleReadingsAskAndAReversedSensorIsRepairedLater) {
    ecuParData.linThrottle.x[15] = 1000;
    ASSERT_TRUE(ScatterLn1Panel());
    ConnectEcu();
    ecu.model.throttleSteps = {100.0, 0.0}; // a sensor fitted the other way round: idle reads 925
    popups.AnswerConfirm(true).AnswerConfirm(true);
    Calibrate({LNRGAS::CBset, LNRGAS::CBset});
    ASSERT_EQ(popups.Records().size(), 2u);
    EXPECT_EQ(popups.Records()[0].title, "Warning!");
    EXPECT_EQ(popups.Records()[0].text, "Possible error\nContinue?");
    EXPECT_EQ(ecuParData.linThrottle.x[0], 925);
    EXPECT_EQ(ecuParData.linThrottle.x[15], 98);
    ASSERT_TRUE(GatherLn1Panel());
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(ecuParData.linThrottle.x[i], 925) << "the falling axis is flattened at its first point";

    // No at the warning ends the calibration with nothing written, and so does Enter.
    ecu.model.throttleSteps = {0.0}; // 98, far below the stored idle point
    popups.AnswerConfirm(false);
    Calibrate({LNRGAS::CBset});
    EXPECT_EQ(ecuParData.linThrottle.x[15], 925);
    popups.PressEnter();
    Calibrate({LNRGAS::CBset});
    EXPECT_EQ(ecuParData.linThrottle.x[15], 925);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

TEST_F(Procedures, AFailedReadingKeepsTheStep) {
    SimLink& link = ConnectEcu();
    ecu.model.throttleSteps = {0.0, 100.0};
    bool drop = true; // the first "Set" gets no answer
    link.tamper = [&](const ecusim::Frame&, std::optional<ecusim::Frame> reply) {
        return drop ? std::nullopt : reply;
    };
    popups.ExpectMessage().AnswerConfirm(true);
    std::function<void()> answerAgain = [&] {
        drop = false;
        ecu.model.throttleReads = 0; // the script starts again at idle
    };
    uitest::Later([&] {
        EXPECT_EQ(uitest::Click(hLrtPanel, LNRGAS::CBset), 0); // fails: the step stays
        answerAgain();
        uitest::Later([&] {
            EXPECT_EQ(uitest::Click(hLrtPanel, LNRGAS::CBset), 0);                         // idle
            uitest::Later([&] { EXPECT_EQ(uitest::Click(hLrtPanel, LNRGAS::CBset), 0); }); // full open
        });
    });
    EXPECT_EQ(uitest::Click(hLn1Panel, LNR1::CBcalibrationFarf), 0);
    ASSERT_EQ(popups.Records().size(), 2u);
    EXPECT_EQ(popups.Records()[0].title, "Throttle Setting");
    EXPECT_EQ(popups.Records()[0].text, "Some error occurred...");
    EXPECT_EQ(ecuParData.linThrottle.x[0], 98);
    EXPECT_EQ(ecuParData.linThrottle.x[15], 925);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

TEST_F(Procedures, CancelAfterTheIdleStepKeepsItsReadingInTheTableOnly) {
    ConnectEcu();
    ecu.model.throttleSteps = {0.0, 100.0};
    Calibrate({LNRGAS::CBset, LNRGAS::CBcancel});
    EXPECT_EQ(Cell(hLn1Panel, LNR1::TABfarf, {1, 2}), 98);
    EXPECT_EQ(ecuParData.linThrottle.x[0], 0);
    ASSERT_TRUE(GatherLn1Panel());
    EXPECT_EQ(ecuParData.linThrottle.x[0], 98) << "it reaches the image with the next read-back";
}

TEST_F(Procedures, CalibrationNeedsTheLink) {
    ASSERT_TRUE(Ln1Timer());
    EXPECT_EQ(CtrlAttr(hLn1Panel, LNR1::CBcalibrationFarf, ATTR_DIMMED), 1);
    Connect();
    ASSERT_TRUE(Ln1Timer());
    EXPECT_EQ(CtrlAttr(hLn1Panel, LNR1::CBcalibrationFarf, ATTR_DIMMED), 0);
}

} // namespace
