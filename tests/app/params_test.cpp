// What the parameter pages add to the field engine: their repairs in order, formats and captions that
// follow other settings, dimming, and the CO-Corr. page's tables rebound by its edit mode.
#include "orvanefixture.h"

#include "orvane/core/ecudata.h"
#include "orvane/core/maintimer.h"
#include "orvane/params/cocedit.h"
#include "orvane/params/params.h"

#include <cstring>

namespace {

// A word of the mapping image by its offset.
std::int16_t& MapWord(std::size_t offset) {
    return *reinterpret_cast<std::int16_t*>(BytesOf(ecuMapData).data() + offset);
}
std::uint8_t& MapByte(std::size_t offset) {
    return *reinterpret_cast<std::uint8_t*>(BytesOf(ecuMapData).data() + offset);
}
std::uint8_t& ParByte(std::size_t offset) {
    return *reinterpret_cast<std::uint8_t*>(BytesOf(ecuParData).data() + offset);
}

double Shown(int panel, int control) {
    double v = 0;
    GetCtrlVal(panel, control, &v);
    return v;
}
double Cell(int panel, int control, int col, int row) {
    double v = 0;
    GetTableCellVal(panel, control, MakePoint(col, row), &v);
    return v;
}

struct ParamsTest : OrvaneTest {
    // The tests start from empty images and hand back those they found, shown again on every page: a later
    // read-back of all pages must find nothing changed.
    void SetUp() override {
        OrvaneTest::SetUp();
        savedPar = ecuParData;
        savedMap = ecuMapData;
        std::memset(&ecuParData, 0, sizeof ecuParData);
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
        SetCocEditMode(0);
        InitCocEditData();
    }
    void TearDown() override {
        SetCocEditMode(0);
        for (int panel :
             {hPr1Panel, hPr2Panel, hPr3Panel, hPr4Panel, hPr7Panel, hPr8Panel, hPr9Panel, hPr10Panel})
            HidePanel(panel);
        ecuParData = savedPar;
        ecuMapData = savedMap;
        InitCocEditData();
        EXPECT_TRUE(ScatterAllPanels()); // every page shows the images again, as exit reads them all back
        OrvaneTest::TearDown();
    }
    static inline decltype(ecuParData) savedPar{};
    static inline decltype(ecuMapData) savedMap{};
    static void Show(int panel, bool (*scatter)()) {
        ASSERT_TRUE(scatter());
        DisplayPanel(panel);
    }
};

} // namespace

// ---- Misc. 1 ---------------------------------------------------------------------------------------------

TEST_F(ParamsTest, Misc1ThresholdRepairsInOrder) {
    struct Case {
        std::int16_t engOn, engOff, startOn, hys;
        std::int16_t wantEngOn, wantStartOn, wantHys;
    };
    const Case cases[] = {
        {1500, 1800, 0, 0, 1800, 0, 0},        // engine-on raised to engine-off
        {1800, 0, 2000, 100, 1800, 1800, 0},   // start above engine-on
        {1800, 0, 1500, 500, 1800, 1500, 300}, // start plus hysteresis above engine-on
    };
    for (const Case& c : cases) {
        MapWord(0x29B76) = c.engOn;
        MapWord(0x29B78) = c.engOff;
        MapWord(0x29B72) = c.startOn;
        MapWord(0x29B74) = c.hys;
        EXPECT_TRUE(CheckPr1());
        EXPECT_EQ(MapWord(0x29B76), c.wantEngOn) << c.engOn;
        EXPECT_EQ(MapWord(0x29B72), c.wantStartOn) << c.engOn;
        EXPECT_EQ(MapWord(0x29B74), c.wantHys) << c.engOn;
        EXPECT_FALSE(CheckPr1()) << "a repaired page needs no second repair";
    }
}

TEST_F(ParamsTest, Misc1ToothBoundsFollowTheWheel) {
    struct Case {
        std::uint8_t teeth, special;
        std::uint8_t want;
    };
    for (const Case c : {Case{36, 0, 35}, Case{0, 170, 17}, Case{0, 1, 0}}) {
        ParByte(0x6ED) = c.teeth;
        ParByte(0x6EE) = c.special;
        MapByte(0x29B9D) = 40;
        MapByte(0x29B9E) = 40;
        CheckPr1();
        EXPECT_EQ(MapByte(0x29B9D), c.want) << int(c.teeth) << "/" << int(c.special);
        EXPECT_EQ(MapByte(0x29B9E), c.want);
    }
}

TEST_F(ParamsTest, Misc1IdleOffsetIsNegatedWithoutOverflow) {
    const std::pair<std::int16_t, std::int16_t> cases[] = {{800, -800}, {-32768, 32767}};
    for (const auto& [setPoint, want] : cases) {
        MapWord(0x29BB4) = setPoint;
        MapWord(0x29BF0) = -1000;
        CheckPr1();
        EXPECT_EQ(MapWord(0x29BF0), want) << setPoint;
    }
    // The set-point axis drags all four rows' columns along.
    MapWord(0x29BB4) = 800;
    MapWord(0x29BA0) = 100;
    MapWord(0x29BA0 + 2) = 50;
    MapWord(0x29BDC) = 7;
    CheckPr1();
    EXPECT_EQ(MapWord(0x29BA0 + 2), 100);
    EXPECT_EQ(MapWord(0x29BB4 + 2), 800);
    EXPECT_EQ(MapWord(0x29BDC + 2), 7);
}

TEST_F(ParamsTest, Misc1FollowsStepperAndDriveByWire) {
    struct Case {
        std::uint8_t stepper, dbw;
        bool idleOn, thresholdsOn, starterOn;
        const char* gasLabel;
        double gasMax;
    };
    const Case cases[] = {
        {2, 0, false, true, false, "Throttle Thr. [deg]", 100},
        {3, 0, true, false, false, "Throttle Thr. [deg]", 100},
        {3, 1, false, true, true, "Ramp Duration [ms]", 3276},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.stepper) * 10 + c.dbw);
        ParByte(0x7AF) = c.stepper;
        ParByte(0x7B3) = c.dbw;
        ASSERT_TRUE(ScatterPr1Panel());
        EXPECT_EQ(CtrlAttr(hPr1Panel, PARM1::NUMdeltaRpmIdling, ATTR_DIMMED), c.idleOn ? 0 : 1);
        EXPECT_EQ(CtrlAttr(hPr1Panel, PARM1::CBnscReset, ATTR_DIMMED), c.idleOn ? 0 : 1);
        EXPECT_EQ(CtrlAttr(hPr1Panel, PARM1::NUMidlGasDur, ATTR_DIMMED), c.thresholdsOn ? 0 : 1);
        EXPECT_EQ(CtrlAttr(hPr1Panel, PARM1::NUMthrRpmStarter, ATTR_DIMMED), c.starterOn ? 0 : 1);
        char label[64] = "";
        GetCtrlAttribute(hPr1Panel, PARM1::NUMidlGasDur, ATTR_LABEL_TEXT, label);
        EXPECT_STREQ(label, c.gasLabel);
        double max = 0;
        GetCtrlAttribute(hPr1Panel, PARM1::NUMidlGasDur, ATTR_MAX_VALUE, &max);
        EXPECT_EQ(max, c.gasMax);
    }
    // A ramp duration typed as 3276 still fits its word: ten times the value.
    DisplayPanel(hPr1Panel);
    ASSERT_EQ(uitest::SetValueAsUser(hPr1Panel, PARM1::NUMidlGasDur, 5000), 0);
    ASSERT_TRUE(GatherPr1Panel());
    EXPECT_EQ(MapWord(0x29C0A), 32760);
}

TEST_F(ParamsTest, Misc1FixedWordsAndToothCommit) {
    MapWord(0x29B6C) = 1;
    MapWord(0x29B6E) = 2;
    ParByte(0x6E2) = 1;  // one cylinder
    ParByte(0x6ED) = 24; // 24 teeth
    Show(hPr1Panel, ScatterPr1Panel);
    EXPECT_EQ(MapWord(0x29B6C), 250);
    EXPECT_EQ(MapWord(0x29B6E), 3000);
    ASSERT_EQ(uitest::SetValueAsUser(hPr1Panel, PARM1::NUMmecSparkTooth, 30), 0);
    EXPECT_EQ(MapByte(0x29B9D), 23) << "bounded at the commit";
    EXPECT_EQ(Shown(hPr1Panel, PARM1::NUMmecSparkTooth), 23);
}

TEST_F(ParamsTest, Misc1ResetButtonReportsAnEcuThatDoesNotAnswer) {
    ParByte(0x7AF) = 3;
    Show(hPr1Panel, ScatterPr1Panel);
    ASSERT_EQ(uitest::Click(hPr1Panel, PARM1::CBnscReset), 0);
    EXPECT_TRUE(popups.Records().empty()) << "link closed: nothing sent, nothing shown";

    SimLink& link = ConnectSimulator();
    link.tamper = [](const ecusim::Frame&, std::optional<ecusim::Frame>) {
        return std::optional<ecusim::Frame>{};
    };
    popups.ExpectMessage();
    ASSERT_EQ(uitest::Click(hPr1Panel, PARM1::CBnscReset), 0);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Parameters");
    EXPECT_EQ(popups.Records()[0].text, "Some error occurred...");

    // While a transfer pumps events the reset waits.
    link.requests.clear();
    fBusy = 1;
    uitest::Click(hPr1Panel, PARM1::CBnscReset);
    fBusy = 0;
    EXPECT_TRUE(link.requests.empty());
}

// ---- Anti-Lag
// ----------------------------------------------------------------------------------------------

TEST_F(ParamsTest, AntiLagRepairsEachTableAndDimsWithItsEnable) {
    MiniMap& cuts = ecuMapData.mapAdvCuts;
    for (int i = 0; i < 16; ++i)
        cuts.x[i] = static_cast<std::int16_t>(1000 * i);
    for (int j = 0; j < 8; ++j)
        cuts.y[j] = static_cast<std::int16_t>(100 * j);
    EXPECT_FALSE(CheckPr8());
    cuts.x[5] = 3000; // below x[4] = 4000
    cuts.cells[2][4] = 9;
    cuts.y[6] = 100; // below y[5] = 500
    cuts.cells[5][10] = 4;
    EXPECT_TRUE(CheckPr8());
    EXPECT_EQ(cuts.x[5], 4000);
    EXPECT_EQ(cuts.x[6], 6000) << "the next breakpoint is in order again";
    EXPECT_EQ(cuts.cells[2][5], 9) << "column 5 copies column 4";
    EXPECT_EQ(cuts.y[6], 500);
    EXPECT_EQ(cuts.cells[6][10], 4) << "row 6 copies row 5";

    Show(hPr8Panel, ScatterPr8Panel);
    EXPECT_EQ(CtrlAttr(hPr8Panel, PARM8::TABmapAdvAls, ATTR_DIMMED), 1);
    ASSERT_EQ(uitest::Click(hPr8Panel, PARM8::TBbangEnable), 0);
    EXPECT_EQ(ecuMapData.b29C28[0], 1);
    EXPECT_EQ(CtrlAttr(hPr8Panel, PARM8::TABmapAdvAls, ATTR_DIMMED), 0);
    EXPECT_EQ(CtrlAttr(hPr8Panel, PARM8::NUMbangGas, ATTR_DIMMED), 0);
    EXPECT_TRUE(popups.Records().empty());
}

// ---- CO-Corr.
// ------------------------------------------------------------------------------------------------

TEST_F(ParamsTest, CoCorrSensorChosenLastStays) {
    Show(hPr9Panel, ScatterPr9Panel);
    ASSERT_EQ(uitest::SetValueAsUser(hPr9Panel, PARM9::RINGcocA, 1), 0);
    ASSERT_EQ(uitest::SetValueAsUser(hPr9Panel, PARM9::RINGcocB, 1), 0);
    EXPECT_EQ(ecuMapData.b29B3C[0], 0) << "B took the sensor: A is disabled";
    EXPECT_EQ(ecuMapData.b29B3C[1], 1);
    ASSERT_EQ(uitest::SetValueAsUser(hPr9Panel, PARM9::RINGcocA, 1), 0);
    EXPECT_EQ(ecuMapData.b29B3C[0], 1);
    EXPECT_EQ(ecuMapData.b29B3C[1], 0);
    EXPECT_TRUE(popups.Records().empty());
}

TEST_F(ParamsTest, CoCorrPeriodIsTypedAndKeptInMilliseconds) {
    MapWord(0x29B30) = static_cast<std::int16_t>(65535);
    Show(hPr9Panel, ScatterPr9Panel);
    EXPECT_EQ(Shown(hPr9Panel, PARM9::NUMmsCoc), 65.535);
    ASSERT_TRUE(GatherPr9Panel());
    EXPECT_EQ(static_cast<std::uint16_t>(MapWord(0x29B30)), 65535);
    ASSERT_EQ(uitest::SetValueAsUser(hPr9Panel, PARM9::NUMmsCoc, 0.125), 0);
    ASSERT_TRUE(GatherPr9Panel());
    EXPECT_EQ(MapWord(0x29B30), 125);
}

TEST_F(ParamsTest, CoCorrBoxesOfForeignOrMissingCylindersAreCleared) {
    struct Case {
        const char* what;
        std::uint8_t cylinders, grip, byPair;
        std::uint8_t box2, box4;
    };
    const Case cases[] = {
        {"other throttle", 4, 0, 0, 0, 0},
        {"grip reference", 4, 1, 0, 1, 0},
        {"pressure reference", 4, 0, 1, 1, 0},
        {"two cylinders", 2, 1, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ParByte(0x6E2) = c.cylinders;
        ParByte(0x7B3) = 1;     // external drive-by-wire
        ParByte(0x7BF) = 1;     // cylinder 1 on throttle 1
        ParByte(0x7BF + 1) = 0; // cylinder 2 on throttle 2
        ParByte(0x7BF + 3) = 1;
        ParByte(0x7C4) = c.grip;
        ecuMapData.b29B3C[10] = c.byPair;
        ecuMapData.b29B3C[0] = 1;
        ecuMapData.b29B3C[2] = ecuMapData.b29B3C[3] = 1;
        ecuMapData.b29B3C[5] = c.cylinders == 2 ? 1 : 0;
        CheckPr9();
        EXPECT_EQ(ecuMapData.b29B3C[2], 1);
        EXPECT_EQ(ecuMapData.b29B3C[3], c.box2);
        EXPECT_EQ(ecuMapData.b29B3C[5], c.box4);
        ASSERT_TRUE(ScatterPr9Panel());
        EXPECT_EQ(CtrlAttr(hPr9Panel, PARM9::CKBcocAcyl4, ATTR_DIMMED), c.cylinders == 2 ? 1 : 0);
    }
}

TEST_F(ParamsTest, CoCorrEditModeRebindsTheTables) {
    ecuMapData.cocMapA.cells[0][0] = 1234; // A/F 123.4
    ecuMapData.cocMapA.y[1] = 500;         // 50.0 degrees
    ecuMapData.b29B3C[0] = 1;
    cocEditData.mapA.cells[0][0] = 1500;
    cocEditData.mapA.y[1] = 50;
    cocEditData.loadRef = 1; // pressure
    ecuMapData.w29B24[6] = 1234;
    Show(hPr9Panel, ScatterPr9Panel);
    EXPECT_EQ(Cell(hPr9Panel, PARM9::TABmapCocA, 2, 2), 123.4);
    EXPECT_EQ(Cell(hPr9Panel, PARM9::TABmapCocA, 1, 3), 50.0);
    EXPECT_EQ(CtrlAttr(hPr9Panel, PARM9::NUMmsCoc, ATTR_PRECISION), 3);
    EXPECT_EQ(Shown(hPr9Panel, PARM9::NUMmsCoc), 1.234);

    ASSERT_EQ(uitest::Click(hPr9Panel, PARM9::TBcocEdit), 0);
    EXPECT_EQ(fCocEditMode, 1);
    EXPECT_EQ(Cell(hPr9Panel, PARM9::TABmapCocA, 2, 2), 1.5);
    EXPECT_EQ(Cell(hPr9Panel, PARM9::TABmapCocA, 1, 3), 50.0) << "in mBar now";
    EXPECT_EQ(CtrlAttr(hPr9Panel, PARM9::NUMcocRpmInf, ATTR_DIMMED), 1);
    EXPECT_EQ(CtrlAttr(hPr9Panel, PARM9::TMeditMode01, ATTR_VISIBLE), 1);
    EXPECT_EQ(OrvaneTest::CtrlText(hPr9Panel, PARM9::TMcocAbpy), "M.A.P. [mBar] ");
    char corner[8] = "";
    GetTableCellVal(hPr9Panel, PARM9::TABmapCocA, MakePoint(1, 1), corner);
    EXPECT_STREQ(corner, "K");

    // An edit in edit mode reaches the edit record, the image keeps its map.
    ASSERT_EQ(uitest::EditTableCell(hPr9Panel, PARM9::TABmapCocA, MakePoint(2, 2), "0.95"), 0);
    ASSERT_TRUE(GatherPr9Panel());
    EXPECT_EQ(cocEditData.mapA.cells[0][0], 950);
    EXPECT_EQ(ecuMapData.cocMapA.cells[0][0], 1234);
    EXPECT_TRUE(NewCocEditData());
    EXPECT_EQ(ecuMapData.w29B24[6], 1234) << "a dimmed field is gathered back unchanged";
}

TEST_F(ParamsTest, CoCorrLoadReferenceToggleKeepsTheNumbersShown) {
    ecuMapData.b29B3C[0] = 1;
    ecuMapData.cocMapA.y[1] = 500; // 50.0 degrees
    ecuMapData.w29B24[2] = 500;    // lower load limit 50.0 degrees
    Show(hPr9Panel, ScatterPr9Panel);
    ASSERT_EQ(uitest::Click(hPr9Panel, PARM9::TBcocByPair), 0);
    EXPECT_EQ(ecuMapData.b29B3C[10], 1);
    EXPECT_EQ(ecuMapData.cocMapA.y[1], 50) << "the 50 shown is read as 50 mBar";
    EXPECT_EQ(ecuMapData.w29B24[2], 500) << "the limit keeps its raw value";
    EXPECT_EQ(Shown(hPr9Panel, PARM9::NUMcocGasPairInf), 500);
    char label[32] = "";
    GetCtrlAttribute(hPr9Panel, PARM9::NUMcocGasPairInf, ATTR_LABEL_TEXT, label);
    EXPECT_STREQ(label, "M.A.P. [mBar] ");
}

TEST_F(ParamsTest, CoCorrSensorOutsideTheListIsKeptAndShownBlank) {
    ecuMapData.b29B3C[0] = 3;
    ecuMapData.b29B3C[1] = 9;
    Show(hPr9Panel, ScatterPr9Panel);
    int index = 0;
    GetCtrlIndex(hPr9Panel, PARM9::RINGcocA, &index);
    EXPECT_EQ(index, -1);
    ASSERT_TRUE(GatherPr9Panel());
    EXPECT_EQ(ecuMapData.b29B3C[0], 3);
    EXPECT_EQ(ecuMapData.b29B3C[1], 0) << "above 4 is repaired";
}

TEST_F(ParamsTest, CoCorrTimerDimsTheEditButtons) {
    Show(hPr9Panel, ScatterPr9Panel);
    ASSERT_TRUE(Pr9Timer());
    for (int button : {PARM9::CBcocLoad, PARM9::CBcocSave, PARM9::CBcocReceive, PARM9::CBcocSend})
        EXPECT_EQ(CtrlAttr(hPr9Panel, button, ATTR_DIMMED), 1) << button;
    SetCocEditMode(1);
    ASSERT_TRUE(Pr9Timer());
    EXPECT_EQ(CtrlAttr(hPr9Panel, PARM9::CBcocSave, ATTR_DIMMED), 0);
    EXPECT_EQ(CtrlAttr(hPr9Panel, PARM9::CBcocSend, ATTR_DIMMED), 1) << "no link";
    ConnectSimulator();
    ASSERT_TRUE(Pr9Timer());
    EXPECT_EQ(CtrlAttr(hPr9Panel, PARM9::CBcocSend, ATTR_DIMMED), 0);
}

// ---- Traction Ctrl.
// ----------------------------------------------------------------------------------------

TEST_F(ParamsTest, TractionLevelColumnsAreOutOfMemoryOrder) {
    TcLevelRecord& level = ecuMapData.tcLevels[63];
    level.w[0] = 875; // injection 87.5 %
    level.w[1] = 500; // advance 50.0 %
    level.b[0] = 3;   // injection OFF1
    level.b[8] = 7;   // trigger OFF1
    level.b[15] = 9;  // trigger ON4
    ecuMapData.tcEnable = 1;
    Show(hPr10Panel, ScatterPr10Panel);
    EXPECT_EQ(Cell(hPr10Panel, PARM10::TABlevelTc, 1, 64), 87.5);
    EXPECT_EQ(Cell(hPr10Panel, PARM10::TABlevelTc, 2, 64), 3);
    EXPECT_EQ(Cell(hPr10Panel, PARM10::TABlevelTc, 10, 64), 50.0);
    EXPECT_EQ(Cell(hPr10Panel, PARM10::TABlevelTc, 11, 64), 7);
    EXPECT_EQ(Cell(hPr10Panel, PARM10::TABlevelTc, 18, 64), 9);

    ASSERT_EQ(uitest::EditTableCell(hPr10Panel, PARM10::TABlevelTc, MakePoint(10, 1), "100"), 0);
    ASSERT_EQ(uitest::EditTableCell(hPr10Panel, PARM10::TABmapKjTc, MakePoint(2, 2), "0.875"), 0);
    ASSERT_EQ(uitest::Click(hPr10Panel, PARM10::TBtcEnable), 0); // off: gathers, then dims
    EXPECT_EQ(ecuMapData.tcLevels[0].w[1], 1000);
    EXPECT_EQ(ecuMapData.tcMapKj.cells[0][0], 875);
    EXPECT_EQ(ecuMapData.tcEnable, 0);
    EXPECT_EQ(CtrlAttr(hPr10Panel, PARM10::TABlevelTc, ATTR_DIMMED), 1);
}

TEST_F(ParamsTest, TractionMapsTakeTheLastGoodBreakpoint) {
    ExtMiniMap& kj = ecuMapData.tcMapKj;
    const std::int16_t speeds[] = {1000, 3000, 2000, 2500};
    std::copy(std::begin(speeds), std::end(speeds), kj.x);
    for (int i = 4; i < 16; ++i)
        kj.x[i] = static_cast<std::int16_t>(3000 + 100 * i);
    kj.cells[3][1] = 11;
    kj.cells[3][2] = 22;
    EXPECT_TRUE(CheckPr10());
    EXPECT_EQ(kj.x[2], 3000);
    EXPECT_EQ(kj.x[3], 3000);
    EXPECT_EQ(kj.cells[3][2], 11);
    EXPECT_EQ(kj.cells[3][3], 11);
    EXPECT_FALSE(CheckPr10()) << "equal neighbours stay";
}

// ---- Misc. 3
// -------------------------------------------------------------------------------------------------

TEST_F(ParamsTest, Misc3ModesChooseTheirControls) {
    struct Case {
        std::uint8_t launch, limiter;
        bool settings, jetski, speeds, gears, corrections;
    };
    const Case cases[] = {
        {1, 3, true, false, false, true, true},
        {2, 1, false, true, true, false, true},
        {0, 0, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.launch) * 10 + c.limiter);
        MapByte(0x29AF0) = c.launch;
        MapByte(0x29B06) = c.limiter;
        ASSERT_TRUE(ScatterPr3Panel());
        EXPECT_EQ(CtrlAttr(hPr3Panel, PARM3::NUMlaunchKinj, ATTR_DIMMED), c.settings ? 0 : 1);
        int cellDimmed = -1;
        GetTableCellAttribute(hPr3Panel, PARM3::TABlaunchPwm, MakePoint(8, 2), ATTR_CELL_DIMMED, &cellDimmed);
        EXPECT_EQ(cellDimmed, c.settings ? 0 : 1);
        EXPECT_EQ(CtrlAttr(hPr3Panel, PARM3::TABlaunchPwm, ATTR_DIMMED), 0) << "the table stays active";
        EXPECT_EQ(CtrlAttr(hPr3Panel, PARM3::NUMlaunchLimJrpm, ATTR_DIMMED), c.jetski ? 0 : 1);
        EXPECT_EQ(CtrlAttr(hPr3Panel, PARM3::NUMspeedLimSup, ATTR_DIMMED), c.speeds ? 0 : 1);
        EXPECT_EQ(CtrlAttr(hPr3Panel, PARM3::NUMspeedLimRpm2Inf, ATTR_DIMMED), c.gears ? 0 : 1);
        EXPECT_EQ(CtrlAttr(hPr3Panel, PARM3::NUMspeedLimKadv, ATTR_DIMMED), c.corrections ? 0 : 1);
    }
}

TEST_F(ParamsTest, Misc3ReferenceSpeedsDragTheirLimitsAndUpperFollowsLower) {
    const std::int16_t speeds[] = {20, 40, 30, 50, 60, 70, 80, 90};
    for (int k = 0; k < 8; ++k)
        MapWord(0x29AE0 + 2 * k) = speeds[k];
    MapWord(0x29A7A + 2) = 7000;     // injection upper, column 2
    MapWord(0x29ACA + 2) = 5000;     // PWM lower, column 2
    MapWord(0x29ABA + 2 * 5) = 1000; // PWM upper, column 6 ...
    MapWord(0x29ACA + 2 * 5) = 3000; // ... below its lower
    MapByte(0x29B06) = 7;
    MapByte(0x29AF0) = 3;
    EXPECT_TRUE(CheckPr3());
    EXPECT_EQ(MapWord(0x29AE0 + 4), 40);
    EXPECT_EQ(MapWord(0x29A7A + 4), 7000) << "column 3 takes column 2 in every limit row";
    EXPECT_EQ(MapWord(0x29ACA + 4), 5000);
    EXPECT_EQ(MapWord(0x29ABA + 2 * 5), 3000) << "an upper limit below the lower takes it";
    EXPECT_EQ(MapByte(0x29B06), 0);
    EXPECT_EQ(MapByte(0x29AF0), 0);
}

// ---- Cut Off
// -----------------------------------------------------------------------------------------------

TEST_F(ParamsTest, CutOffGearSwitchStoresTheShownGearFirst) {
    constexpr std::size_t kSet1 = 0x28D48;
    constexpr std::size_t kSet2 = 0x29348;
    InitPr4Data();      // gear 1 shown in both sets
    ParByte(0x7B3) = 1; // both sets in use
    ParByte(0x6E2) = 4;
    MapWord(kSet1 + 0x480 + 32 * 2) = 55; // set 1, gear 3, advance offset of point 0: 5.5 degrees
    Show(hPr4Panel, ScatterPr4Panel);
    ASSERT_EQ(uitest::EditTableCell(hPr4Panel, PARM4::TABcutOffCor1, MakePoint(1, 8), "123"), 0);
    ASSERT_EQ(uitest::EditTableCell(hPr4Panel, PARM4::TABcutOffCor2, MakePoint(2, 8), "77"), 0);
    ASSERT_EQ(uitest::SetValueAsUser(hPr4Panel, PARM4::RINGgearCutOff1, 2), 0);
    EXPECT_EQ(MapWord(kSet1 + 0x540), 123) << "the edit went to gear 1";
    EXPECT_EQ(MapWord(kSet2 + 0x540 + 2), 77) << "set 2 kept its own gear";
    EXPECT_EQ(Cell(hPr4Panel, PARM4::TABcutOffCor1, 1, 7), 5.5) << "gear 3 is shown";
    EXPECT_EQ(Cell(hPr4Panel, PARM4::TABcutOffCor1, 1, 8), 0);
}

TEST_F(ParamsTest, CutOffRepairsEveryGearPointByPoint) {
    constexpr std::size_t kSet2 = 0x29348;
    constexpr std::size_t kGear5 = 2 * 16 * 4; // the rows of gear 5
    for (int c = 0; c < 16; ++c)
        MapWord(kSet2 + kGear5 + 2 * c) = static_cast<std::int16_t>(1000 * (c + 1));
    MapWord(kSet2 + kGear5 + 2 * 2) = 1500;                 // below point 1's 2000
    MapWord(kSet2 + 0x180 + 4 * kGear5 + 32 * 3 + 2) = 999; // cylinder 4's factor of point 1
    MapWord(kSet2 + 0x540 + kGear5 + 2) = 42;               // exit time of point 1
    EXPECT_TRUE(CheckPr4());
    EXPECT_EQ(MapWord(kSet2 + kGear5 + 4), 2000);
    EXPECT_EQ(MapWord(kSet2 + 0x180 + 4 * kGear5 + 32 * 3 + 4), 999);
    EXPECT_EQ(MapWord(kSet2 + 0x540 + kGear5 + 4), 42);
}

// ---- Blipping and Misc. 2
// ----------------------------------------------------------------------------------

TEST_F(ParamsTest, BlippingPolaritySwapsLabelsAndRanges) {
    ParByte(0x7B3) = 1;
    ParByte(0x7C5) = 1;
    InitPr7Data();
    Show(hPr7Panel, ScatterPr7Panel);
    EXPECT_EQ(CtrlAttr(hPr7Panel, PARM7::TABblipCommand, ATTR_DIMMED), 0);
    ASSERT_EQ(uitest::Click(hPr7Panel, PARM7::TBblipShiftReverse), 0);
    EXPECT_EQ(MapByte(0x2A300), 1);
    char label[16] = "";
    GetCtrlAttribute(hPr7Panel, PARM7::CBblipUshift, ATTR_LABEL_TEXT, label);
    EXPECT_STREQ(label, "Active Lo");
    double max = 0;
    GetTableCellAttribute(hPr7Panel, PARM7::TABblipUshiftThr, MakePoint(1, 1), ATTR_MAX_VALUE, &max);
    EXPECT_EQ(max, 512);
    EXPECT_TRUE(popups.Records().empty());

    ParByte(0x7C5) = 0; // blipping off in the configuration: the whole page dims
    ASSERT_TRUE(ScatterPr7Panel());
    EXPECT_EQ(CtrlAttr(hPr7Panel, PARM7::TBblipShiftReverse, ATTR_DIMMED), 1);
    EXPECT_EQ(CtrlAttr(hPr7Panel, PARM7::TMblip8, ATTR_DIMMED), 1);
}

TEST_F(ParamsTest, BlippingEnablesAreTruncated) {
    ParByte(0x7B3) = 1;
    ParByte(0x7C5) = 1;
    InitPr7Data();
    Show(hPr7Panel, ScatterPr7Panel);
    const std::pair<double, std::uint8_t> cases[] = {{0.6, 0}, {0.99, 0}, {1.0, 1}, {1.4, 1}};
    for (int i = 0; i < 4; ++i)
        ASSERT_GE(SetTableCellVal(hPr7Panel, PARM7::TABblipEnable, MakePoint(i + 1, 1), cases[i].first), 0);
    ASSERT_TRUE(GatherPr7Panel());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(MapByte(0x2A2F6 + i), cases[i].second) << cases[i].first;
}

TEST_F(ParamsTest, Misc2RelayAxisFollowsItsSource) {
    ParByte(0x7B5) = 1; // the auxiliary output is a relay ...
    ParByte(0x7B6) = 0; // ... switched by water temperature
    MapWord(0x28CA8) = 850;
    Show(hPr2Panel, ScatterPr2Panel);
    EXPECT_EQ(Cell(hPr2Panel, PARM2::TABrelaisOut, 1, 1), 85.0);
    MapWord(0x29B4A) = 350; // lower gas limit above the upper
    ASSERT_TRUE(ScatterPr2Panel());
    ASSERT_EQ(uitest::EditTableCell(hPr2Panel, PARM2::TABrelaisOut, MakePoint(1, 1), "-12.3"), 0);
    ASSERT_TRUE(GatherPr2Panel());
    EXPECT_EQ(MapWord(0x28CA8), -123);
    EXPECT_EQ(MapWord(0x29B4C), 350) << "the upper gas limit follows the lower";
}

TEST_F(ParamsTest, Misc2RelayBreakpointsReadBackInTheUnitShown) {
    ParByte(0x7B5) = 1;
    for (const std::uint8_t byRpm : {0, 1}) {
        SCOPED_TRACE(int(byRpm));
        ParByte(0x7B6) = byRpm;
        MapWord(0x28CA8) = 850;
        Show(hPr2Panel, ScatterPr2Panel);
        ParByte(0x7B6) = byRpm ^ 1; // the relay's source changes on the configuration page
        ASSERT_TRUE(GatherPr2Panel());
        EXPECT_EQ(MapWord(0x28CA8), 850) << "the stored breakpoint is not rescaled";
    }
}

// ---- Transient
// ---------------------------------------------------------------------------------------------

TEST_F(ParamsTest, TransientLevelTakesTheGainAndDecayOfTheLevelBelow) {
    constexpr std::size_t kAdvance = 0x29A10;
    const std::int16_t thresholds[] = {100, 200, 150};
    for (int k = 0; k < 8; ++k)
        MapWord(kAdvance + 0x0A + 2 * k) = k < 3 ? thresholds[k] : static_cast<std::int16_t>(300 + k);
    MapWord(kAdvance + 0x2A + 2) = 250; // rising gain of level 2
    MapWord(kAdvance + 0x4A + 2) = 77;  // rising decay of level 2
    MapWord(0x28CC8 + 64) = 10;         // water breakpoints: 1.0, then -30.0
    MapWord(0x28CC8 + 66) = -300;
    MapWord(0x28CC8 + 2) = 5; // first value row at point 1
    EXPECT_TRUE(CheckPr5());
    EXPECT_EQ(MapWord(kAdvance + 0x0A + 4), 200);
    EXPECT_EQ(MapWord(kAdvance + 0x2A + 4), 250);
    EXPECT_EQ(MapWord(kAdvance + 0x4A + 4), 77);
    EXPECT_EQ(MapWord(0x28CC8 + 66), 10);
}

// ---- Gear & Shift
// ------------------------------------------------------------------------------------------

TEST_F(ParamsTest, GearShiftFollowsTheGearMode) {
    struct Case {
        std::uint8_t mode;
        double shown;          // a stored 1234 in the first gear threshold
        bool learnVisible;     // the gear thresholds' learn buttons
        bool gear3On, gear4On; // the shift settings of gears 3 and 4
    };
    const Case cases[] = {
        {2, 123.4, false, true, true},
        {5, 1234, true, true, false}, // forced gear 3
        {9, 1234, true, true, true},  // outside 0..7: shown as mode 0, the page still fills
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.mode));
        InitPr6Data();
        ParByte(0x7B0) = c.mode;
        MapWord(0x29948) = 1234;
        ASSERT_TRUE(ScatterPr6Panel());
        EXPECT_EQ(Shown(hPr6Panel, PARM6::NUMcentroMarcia1), c.shown);
        EXPECT_EQ(CtrlAttr(hPr6Panel, PARM6::CBsetCentro1, ATTR_VISIBLE), c.learnVisible ? 1 : 0);
        EXPECT_EQ(CtrlAttr(hPr6Panel, PARM6::NUMshiftWidth3, ATTR_DIMMED), c.gear3On ? 0 : 1);
        EXPECT_EQ(CtrlAttr(hPr6Panel, PARM6::NUMmsShiftExit4, ATTR_DIMMED), c.gear4On ? 0 : 1);
    }
}

TEST_F(ParamsTest, GearThresholdsReadBackInTheScaleShown) {
    const std::pair<std::uint8_t, std::uint8_t> changes[] = {{2, 0}, {0, 2}}; // gear mode shown, then chosen
    for (const auto& [shown, chosen] : changes) {
        SCOPED_TRACE(int(shown));
        InitPr6Data();
        ParByte(0x7B0) = shown;
        MapWord(0x29948) = 1023;
        MapWord(0x29960) = 11;
        Show(hPr6Panel, ScatterPr6Panel);
        ParByte(0x7B0) = chosen;
        ASSERT_TRUE(GatherPr6Panel());
        EXPECT_EQ(MapWord(0x29948), 1023);
        EXPECT_EQ(MapWord(0x29960), 11);
    }
}

TEST_F(ParamsTest, GearThresholdLearntFromFourReadings) {
    InitPr6Data();
    Show(hPr6Panel, ScatterPr6Panel);
    popups.ExpectMessage();
    ASSERT_EQ(uitest::Click(hPr6Panel, PARM6::CBsetCentro2), 0);
    EXPECT_EQ(popups.Records().back().text, "COMM error...");

    SimLink& link = ConnectSimulator();
    int reading = 0;
    link.tamper = [&reading](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd != 0x07 || request.data != std::vector<std::uint8_t>{11}) return reply;
        const int value = reading++ == 0 ? 100 : 101;
        return std::optional<ecusim::Frame>{ecusim::Frame{0x07, {0, static_cast<std::uint8_t>(value)}}};
    };
    ASSERT_EQ(uitest::Click(hPr6Panel, PARM6::CBsetPuntata3), 0);
    EXPECT_EQ(reading, 4);
    EXPECT_EQ(Shown(hPr6Panel, PARM6::NUMsogliaPuntata3), 101) << "(403 + 2) >> 2";
    EXPECT_EQ(MapWord(0x29954 + 4), 2 * 78 * 2) << "the image waits for the next gather";
}
