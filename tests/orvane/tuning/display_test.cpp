// What the tuning page shows of a running tuning: the running-cell marker, the load axis of each map,
// the auto-scroll, the status texts and the condition lights; and the injection tables and cylinder
// toggles the engine's cylinders leave usable.
#include "tuningfixture.h"

#include "orvane/config/config.h"

#include <memory>
#include <set>
#include <utility>

namespace {

constexpr int kGrey = 0xC0C0C0;
constexpr int kPink = 0xFFCFCF;
constexpr int kTrack1 = 0xC0FFC0;

// Engine-speed breakpoints every 500 rpm, load breakpoints every 5.0 deg (or 50 mbar).
void EvenAxes(std::int16_t* x, std::int16_t* y) {
    for (int c = 0; c < kTuneCols; ++c)
        x[c] = static_cast<std::int16_t>(c * 500);
    for (int r = 0; r < kTuneRows; ++r)
        y[r] = static_cast<std::int16_t>(r * 50);
}

int CellColour(int col, int row) {
    int colour = 0;
    GetTableCellAttribute(hMp2Panel, MAPS2::TABmatrix, Point{col + 1, row + 2}, ATTR_TEXT_BGCOLOR, &colour);
    return colour;
}

// Cells (column, row) painted in the marker's colours, with their colour.
using Marks = std::set<std::pair<std::pair<int, int>, int>>;

Marks MarkedCells() {
    Marks marked;
    for (int r = 0; r < kTuneRows; ++r)
        for (int c = 0; c < kTuneCols; ++c)
            if (const int colour = CellColour(c, r); colour == kGrey || colour == kPink)
                marked.insert({{c, r}, colour});
    return marked;
}

int HScroll() {
    int offset = -1;
    GetCtrlAttribute(hMp2Panel, MAPS2::TABmatrix, ATTR_HSCROLL_OFFSET, &offset);
    return offset;
}

} // namespace

TEST_F(TuningTest, RunningCellMarkerNarrowsAndColoursByMapAndMode) {
    EvenAxes(ecuMapData.map1.x, ecuMapData.map1.y);
    EvenAxes(ecuMapData.map3.x, ecuMapData.map3.y);
    SetMtTrackMode(1, 2, 1); // load row 1, column 2 tracked toward set-point 1
    const Marks fourGrey = {{{2, 1}, kGrey}, {{3, 1}, kGrey}, {{2, 2}, kGrey}, {{3, 2}, kGrey}};
    const Marks trackedPink = {{{2, 1}, kPink}, {{3, 1}, kGrey}, {{2, 2}, kGrey}, {{3, 2}, kGrey}};
    struct Case {
        int ring; // 1 injection matrix 1, 5 advance
        bool automatic, single;
        std::uint16_t tolRpm, tolFarf;
        std::int16_t rpm, farf;
        Marks marked;
    } cases[] = {
        {1, false, false, 200, 50, 1250, 75, fourGrey},
        {1, true, false, 200, 50, 1250, 75, trackedPink},
        {5, true, false, 200, 50, 1250, 75, fourGrey},             // the advance map is never tracked
        {1, true, true, 200, 50, 1100, 60, {{{2, 1}, kPink}}},     // near the lower breakpoints
        {1, true, true, 200, 20, 1400, 85, {{{3, 2}, kGrey}}},     // near the upper breakpoints
        {1, true, true, 200, 50, 1250, 75, {}},                    // halfway, farther than the tolerance
        {1, true, true, 200, 50, 15600, 975, {{{31, 19}, kGrey}}}, // beyond the last, within tolerance
        {1, true, true, 200, 50, 15800, 60, {}},                   // beyond the last and the tolerance
        {5, true, true, 200, 50, 1100, 60, {{{2, 1}, kGrey}}},
    };
    for (const Case& c : cases) {
        SetTuningPageMode(c.automatic, !c.automatic);
        SetCtrlVal(hMp2Panel, MAPS2::RINGmapType, c.ring);
        MTSETTINGS s = mtSettings;
        s.singleMul = c.single ? 1 : 0;
        s.tolRpm = c.tolRpm;
        s.tolFarf = c.tolFarf;
        AdoptMtSettings(s);
        ASSERT_TRUE(ScatterMp2Panel());
        MarkRunningCell(c.rpm, c.farf, 0);
        EXPECT_EQ(MarkedCells(), c.marked) << c.ring << (c.automatic ? " auto" : " manual")
                                           << (c.single ? " single " : " multi ") << c.rpm << "/" << c.farf;
    }

    // The marker moves on: the cells it leaves get back their own background.
    SetTuningPageMode(true, false);
    SetCtrlVal(hMp2Panel, MAPS2::RINGmapType, 1);
    ASSERT_TRUE(ScatterMp2Panel());
    const int normal = CellColour(3, 1);
    MarkRunningCell(1000, 50, 0);
    MarkRunningCell(8000, 500, 0);
    EXPECT_EQ(CellColour(2, 1), kTrack1) << "the tracked cell shows its track mode again";
    EXPECT_NE(CellColour(3, 1), kGrey);
    EXPECT_EQ(CellColour(3, 1), normal);
    EXPECT_EQ(MarkedCells().size(), 1U);
}

TEST_F(TuningTest, AdvanceMapFollowsTheTurboSwitchWhileTuningByPressure) {
    SimLink& link = StartManual({MAPS2::TBcyl1, MAPS2::TBmtjByPair}); // tuning "By M.A.P."
    ASSERT_TRUE(ExchangeByPressure());
    ASSERT_EQ(ecuParData.b772[0x77D - 0x772], 0) << "the ECU's engine has no turbo";
    EvenAxes(ecuMapData.map3.x, ecuMapData.map3.y);
    EvenAxes(ecuMapData.map2.x, ecuMapData.map2.y);
    EditInfo(link, [](std::vector<std::uint8_t>& info) {
        PutBE16(info, 0, 1000); // rpm, on breakpoint 2
        PutBE16(info, 2, 220);  // 22.0 deg
        PutBE16(info, 4, 600);  // mbar
    });
    struct Case {
        int ring;
        const char* caption;
        double secondBreakpoint;
        int markedRow; // the lower row of the marker
    } cases[] = {
        {5, "Throttle [deg] ", 5.0, 4},
        {1, "M.A.P. [mBar] ", 50.0, 12},
    };
    for (const Case& c : cases) {
        SetCtrlVal(hMp2Panel, MAPS2::RINGmapType, c.ring);
        Mp2Timer();
        EXPECT_EQ(CtrlText(hMp2Panel, MAPS2::TMenabRows), c.caption);
        double shown = 0;
        GetTableCellVal(hMp2Panel, MAPS2::TABbpy, Point{1, 2}, &shown);
        EXPECT_DOUBLE_EQ(shown, c.secondBreakpoint);
        EXPECT_EQ(CellColour(2, c.markedRow), kGrey) << c.ring;
    }
}

TEST_F(TuningTest, AutoScrollFollowsTheUsersChoiceAndYieldsToTheTable) {
    SimLink& link = StartManual({MAPS2::TBcyl1});
    EvenAxes(ecuMapData.map1.x, ecuMapData.map1.y);
    std::int16_t rpm = 0;
    EditInfo(link, [&rpm](std::vector<std::uint8_t>& info) { PutBE16(info, 0, rpm); });
    SetActiveCtrl(hMp2Panel, MAPS2::RINGmapType);
    // The running point goes to the far right of the table and back; true when the table scrolled.
    const auto runRight = [&] {
        rpm = 0;
        Mp2Timer();
        const int before = HScroll();
        rpm = 15000;
        Mp2Timer();
        return HScroll() > before;
    };
    const auto pressF12 = [] {
        EXPECT_EQ(PanelCallback(hMp2Panel, EVENT_KEYPRESS, nullptr, VAL_F1_VKEY + 0xB00, 0), 1);
    };
    EXPECT_EQ(fAutoScroll, 1) << "on from the start";
    EXPECT_TRUE(runRight());
    pressF12();
    EXPECT_FALSE(runRight()) << "switched off";
    EXPECT_EQ(fAutoScroll, 0) << "the choice holds while tuning";
    EXPECT_EQ(PageValue(MAPS2::TBautoScroll), 0);
    pressF12();
    EXPECT_TRUE(runRight()) << "switched on again";

    MapTuneEnabCellCol(hMp2Panel, MAPS2::TABmatrix, EVENT_LEFT_CLICK, nullptr, 0, 0);
    SetActiveCtrl(hMp2Panel, MAPS2::TABmatrix);
    EXPECT_FALSE(runRight()) << "held while the clicked table has the focus";
    EXPECT_EQ(fAutoScroll, 1);
    SetActiveCtrl(hMp2Panel, MAPS2::RINGmapType);
    EXPECT_TRUE(runRight()) << "resumed when the table lost the focus";
}

TEST_F(TuningTest, StatusTextFollowsTheStateAndAFailedTickShowsError) {
    SimLink& link = Open();
    struct Case {
        std::uint8_t state;
        int cellKind; // of the one cell report, 0 none
        const char* text;
    } cases[] = {
        {0x01, 0, "Tuning OFF"},
        {0x02, 0, "Manual tuning"},
        {0x03 | kStateLambdaMatch, 0, "Waiting for match-enable..."},
        {0x03 | kStateEnabled, 2, "Freezing cell..."},
        {0x03 | kStateEnabled | kStateLambdaMatch, 5, "Freezing cell..."},
        {0x03 | kStateEnabled | kStateLambdaMatch, 1, "Lambda match!"}, // an advance cell is no freeze
        {0x03 | kStateEnabled, 0, "Waiting for lambda..."},
        {0x00, 0, "ECU locked"},
    };
    for (const Case& c : cases) {
        EditInfo(link, [c](std::vector<std::uint8_t>& info) {
            info = InfoWith(c.state, {});
            if (c.cellKind != 0) PutBE16(info, 34, c.cellKind << 12 | 1 << 6 | 1);
        });
        EXPECT_TRUE(Mp2Timer());
        EXPECT_EQ(CtrlText(hMp2Panel, MAPS2::TMstatus), c.text) << int{c.state} << "/" << c.cellKind;
    }
    EditInfo(link, [](std::vector<std::uint8_t>& info) { info.pop_back(); });
    EXPECT_FALSE(Mp2Timer());
    EXPECT_EQ(CtrlText(hMp2Panel, MAPS2::TMstatus), "Error!");
}

TEST_F(TuningTest, ConditionLightsShowTheirOwnBits) {
    SimLink& link = Open();
    const int leds[] = {MAPS2::LEDisEnabled,        MAPS2::LEDisRpmErr,         MAPS2::LEDisTh2oErr,
                        MAPS2::LEDisCutOff,         MAPS2::LEDisCranking,       MAPS2::LEDisTransient,
                        MAPS2::LEDisLambda1Warning, MAPS2::LEDisLambda2Warning, MAPS2::LEDisOverInj};
    struct Case {
        std::size_t at; // 28 conditions, 30 state
        std::uint8_t bit;
        int led;
    } cases[] = {
        {30, 0x20, MAPS2::LEDisEnabled},        {28, 0x20, MAPS2::LEDisRpmErr},
        {28, 0x40, MAPS2::LEDisTh2oErr},        {28, 0x02, MAPS2::LEDisCutOff},
        {28, 0x08, MAPS2::LEDisCranking},       {28, 0x10, MAPS2::LEDisTransient},
        {30, 0x80, MAPS2::LEDisLambda1Warning}, {30, 0x40, MAPS2::LEDisLambda2Warning},
        {28, 0x80, MAPS2::LEDisOverInj},
    };
    for (const Case& c : cases) {
        EditInfo(link, [c](std::vector<std::uint8_t>& info) {
            info = InfoWith(kTsOff, {});
            info[c.at] |= c.bit;
        });
        ASSERT_TRUE(Mp2Timer());
        for (int led : leds)
            EXPECT_EQ(PageValue(led), led == c.led ? 1 : 0) << "byte " << c.at << " bit " << int{c.bit};
    }
}

// The lambda readings are indicators: green while the ECU matches lambda on their sensor, and back to the
// ground they have in the resource when the match ends, an indicator's like the page's other readings,
// never an entry box's white.
TEST_F(TuningTest, LambdaReadingsGoBackToAnIndicatorsGroundAfterAMatch) {
    SimLink& link = Open();
    const auto ground = [](int control) {
        int colour = -1;
        GetCtrlAttribute(hMp2Panel, control, ATTR_TEXT_BGCOLOR, &colour);
        return colour;
    };
    const int reading = ground(MAPS2::NUMrpm);
    EXPECT_NE(reading, VAL_WHITE) << "a reading does not look like a box to type into";
    for (const bool match : {true, false}) {
        EditInfo(link, [match](std::vector<std::uint8_t>& info) {
            info = InfoWith(kTsAuto | (match ? kStateLambdaMatch : 0), {});
        });
        ASSERT_TRUE(Mp2Timer());
        EXPECT_EQ(ground(MAPS2::NUMistLambda1), match ? 0x00FF00 : reading) << "match " << match;
        EXPECT_EQ(ground(MAPS2::NUMistLambda2), reading) << "its sensor is not in use";
    }
}

// An engine of N cylinders chosen on the first configuration page: on the tuning page the injection tables
// of cylinders 1 to N and their toggles are usable, those above N dimmed.
TEST_F(TuningTest, InjectionTablesAboveTheEnginesCylindersAreDimmed) {
    const auto par = std::make_unique<EcuParData>(ecuParData);
    struct Engine {
        const char* type; // as the engine-type list names it
        int index;
        int cylinders;
    };
    const Engine engines[] = {
        {"1cyl 1trig Sinj", 1, 1}, {"2cyl 2trig Sinj (odd)", 4, 2}, {"4cyl (1-3-4-2)", 21, 4}};
    for (const Engine& e : engines) {
        SCOPED_TRACE(e.type);
        uitest::Click(hMainPanel, MAIN::CBconfig);
        if (hCurPanel != hCg1Panel) uitest::SelectTab(hCurPanel, CONFIG1::TPselectConfig, 0);
        ASSERT_EQ(hCurPanel, hCg1Panel);
        ASSERT_EQ(uitest::SetValueAsUser(hCg1Panel, CONFIG1::RINGengType, e.index), 0);
        uitest::Click(hMainPanel, MAIN::CBmaps);
        uitest::Click(hMp1Panel, MAPS1::CBmanualMap);
        ASSERT_EQ(hCurPanel, hMp2Panel);
        const int toggles[] = {MAPS2::TBcyl1, MAPS2::TBcyl2, MAPS2::TBcyl3, MAPS2::TBcyl4};
        for (int cylinder = 1; cylinder <= 4; ++cylinder) {
            SCOPED_TRACE(cylinder);
            ASSERT_EQ(uitest::SetValueAsUser(hMp2Panel, MAPS2::RINGmapType, cylinder), 0);
            Tick();
            const int dimmed = cylinder > e.cylinders ? 1 : 0;
            EXPECT_EQ(CtrlAttr(hMp2Panel, MAPS2::TABmatrix, ATTR_DIMMED), dimmed) << "the injection table";
            EXPECT_EQ(CtrlAttr(hMp2Panel, toggles[cylinder - 1], ATTR_DIMMED), dimmed) << "the toggle";
        }
        uitest::Click(hMainPanel, MAIN::CBinfo);
    }
    ecuParData = *par;
    ASSERT_TRUE(ScatterAllPanels());
}
