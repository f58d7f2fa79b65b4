// What the parameter pages add to the field engine: their repairs in order, formats and captions that
// follow other settings, dimming, and the CO-Corr. page's tables rebound by its edit mode.
#include "bindingcheck.h"
#include "orvanefixture.h"

#include "orvane/config/catalogue.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/maintimer.h"
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
        for (int panel : {hPr1Panel, hPr2Panel, hPr3Panel, hPr4Panel, hPr5Panel, hPr7Panel, hPr8Panel,
                          hPr9Panel, hPr10Panel})
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
    MapWord(0x29B6C) = 3;
    MapWord(0x29B6E) = 4;
    ASSERT_TRUE(GatherPr1Panel());
    EXPECT_EQ(MapWord(0x29B6C), 250) << "the read-back writes them too";
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

// Each pair of speed-limiter limits, typed with the upper below the lower once its control type offers
// them, comes back with the upper at the lower, shown and stored.
TEST_F(ParamsTest, Misc3SpeedLimiterUpperLimitsBelowTheLowerTakeIt) {
    using namespace PARM3;
    struct Case {
        const char* pair;
        std::uint8_t limiter; // the control type that offers the pair
        int lower, upper;
        std::size_t lowerAt;
        const char *lowerTyped, *upperTyped;
        std::int16_t want;
    };
    const Case cases[] = {
        {"speed", 1, NUMspeedLimInf, NUMspeedLimSup, 0x29AF6, "80", "60", 80},
        {"gear 1", 3, NUMspeedLimRpm1Inf, NUMspeedLimRpm1Sup, 0x29AFA, "9000", "8000", 9000},
        {"gear 2", 3, NUMspeedLimRpm2Inf, NUMspeedLimRpm2Sup, 0x29AFE, "9000", "8000", 9000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pair);
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
        Show(hPr3Panel, ScatterPr3Panel);
        ASSERT_EQ(uitest::SetValueAsUser(hPr3Panel, RINGspeedLimType, c.limiter), 0);
        ASSERT_EQ(uitest::SetValueAsUser(hPr3Panel, c.lower, c.lowerTyped), 0);
        ASSERT_EQ(uitest::SetValueAsUser(hPr3Panel, c.upper, c.upperTyped), 0);
        ASSERT_TRUE(GatherPr3Panel());
        EXPECT_EQ(MapWord(c.lowerAt), c.want);
        EXPECT_EQ(MapWord(c.lowerAt + 2), c.want);
        EXPECT_EQ(Shown(hPr3Panel, c.upper), c.want) << "the page is filled again";
        EXPECT_EQ(Shown(hPr3Panel, c.lower), c.want);
    }
}

// An engine speed typed into a launch-limit cell with a group separator is no number: the cell keeps
// showing, and the page keeps storing, what it held, whether the cell was typed into by the driver's
// edit or key by key into its editor. The same speed without the separator is taken.
TEST_F(ParamsTest, Misc3LimitCellTypedWithAGroupSeparatorKeepsItsValue) {
    using namespace PARM3;
    const Point cell = MakePoint(3, 1);          // lower injection limit of reference speed 3
    const std::size_t lowerAt = 0x29A8A + 2 * 2; // launchInjLow[2]
    const auto typeKeyByKey = [&](const char* text) {
        ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0);
        ASSERT_EQ(uitest::OpenTableCellEditor(hPr3Panel, TABlaunchInj, cell), 0);
        for (const char* key = text; *key != '\0'; ++key)
            ASSERT_EQ(uitest::TypeKey(*key), 0);
        ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
        uitest::CloseTableCellEditor(hPr3Panel, TABlaunchInj);
    };
    struct Case {
        const char* typed;
        std::int16_t want; // 4000: refused
    };
    const Case cases[] = {{"1,500", 4000}, {"12,000", 4000}, {"1,500.5", 4000}, {"1500", 1500}};
    for (const bool byKeys : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.typed << (byKeys ? " key by key" : ""));
            MapByte(0x29AF0) = 1; // the launch mode that uses the limit tables
            MapWord(lowerAt) = 4000;
            MapWord(0x29A7A + 2 * 2) = 9000; // its upper limit, above either
            Show(hPr3Panel, ScatterPr3Panel);
            if (byKeys)
                typeKeyByKey(c.typed);
            else
                uitest::EditTableCell(hPr3Panel, TABlaunchInj, cell, c.typed);
            EXPECT_EQ(Cell(hPr3Panel, TABlaunchInj, cell.x, cell.y), c.want);
            ASSERT_TRUE(GatherPr3Panel());
            EXPECT_EQ(MapWord(lowerAt), c.want);
            EXPECT_EQ(Cell(hPr3Panel, TABlaunchInj, cell.x, cell.y), c.want);
        }
    }
}

// ---- limits kept in order
// --------------------------------------------------------------------------------

// An upper limit below its lower limit takes the lower's value, compared as its field's type; an upper
// limit at or above the lower stays.
TEST_F(ParamsTest, UpperLimitsBelowTheirLowerTakeIt) {
    struct Case {
        const char* name;
        bool (*check)();
        std::size_t upper, lower;
        std::uint16_t upperRaw, lowerRaw, want;
    };
    const Case cases[] = {
        {"CO-Corr. speed", CheckPr9, 0x29B26, 0x29B24, 4000, 5000, 5000},
        {"CO-Corr. load, unsigned", CheckPr9, 0x29B2A, 0x29B28, 100, 0x9000, 0x9000},
        {"CO-Corr. water, signed", CheckPr9, 0x29B2E, 0x29B2C, 100, 0xFF9C, 100},
        {"CO-Corr. water below", CheckPr9, 0x29B2E, 0x29B2C, 0xFF38, 0xFF9C, 0xFF9C},
        {"gear delta set", CheckPr6, 0x2997A, 0x29960, 10, 30, 30},
        {"gear delta set above", CheckPr6, 0x2997A, 0x29960, 0x8000, 30, 0x8000},
    };
    for (const Case& c : cases) {
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
        MapWord(c.upper) = static_cast<std::int16_t>(c.upperRaw);
        MapWord(c.lower) = static_cast<std::int16_t>(c.lowerRaw);
        EXPECT_EQ(c.check(), c.want != c.upperRaw) << c.name;
        EXPECT_EQ(static_cast<std::uint16_t>(MapWord(c.upper)), c.want) << c.name;
        EXPECT_EQ(static_cast<std::uint16_t>(MapWord(c.lower)), c.lowerRaw) << c.name;
    }
}

// Each drive-by-wire target table's breakpoints rise; a point below its left neighbour takes it, and the
// five target rows take that column.
TEST_F(ParamsTest, BlippingTargetBreakpointsDragTheirColumns) {
    for (const std::size_t table : {0x2A176, 0x2A236}) {
        SCOPED_TRACE(table);
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
        const std::size_t axis = table + 2 * 5 * 16;
        for (int k = 0; k < 16; ++k)
            MapWord(axis + 2 * k) = static_cast<std::int16_t>(1000 * (k + 1));
        MapWord(axis + 2 * 3) = 500; // below point 2's 3000
        for (int row = 0; row < 5; ++row) {
            MapWord(table + 32 * row + 2 * 2) = static_cast<std::int16_t>(10 + row);
            MapWord(table + 32 * row + 2 * 3) = 99;
        }
        EXPECT_TRUE(CheckPr7());
        EXPECT_EQ(MapWord(axis + 2 * 3), 3000);
        for (int row = 0; row < 5; ++row)
            EXPECT_EQ(MapWord(table + 32 * row + 2 * 3), 10 + row) << "row " << row;
        EXPECT_FALSE(CheckPr7()) << "a repaired table needs no second repair";
    }
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

// What the user types into "Clipping [ms] +" (0 .. 32 ms, stored in microseconds) is the number typed, held
// to the range: not the keys that would have fitted, and an exponent counts.
TEST_F(ParamsTest, TransientClippingIsTheNumberTypedHeldToItsRange) {
    constexpr std::size_t kClipRising = 0x299A6 + 6;
    Show(hPr5Panel, ScatterPr5Panel);
    struct Case {
        const char* typed;
        double shown;
        std::int16_t raw;
    };
    const Case cases[] = {{"12.5", 12.5, 12500}, {"99", 32, 32000}, {"-7", 0, 0}, {"1e1", 10, 10000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_EQ(uitest::SetValueAsUser(hPr5Panel, PARM5::NUMclipJtransP, c.typed), 0);
        ASSERT_TRUE(GatherPr5Panel());
        EXPECT_EQ(Shown(hPr5Panel, PARM5::NUMclipJtransP), c.shown);
        EXPECT_EQ(MapWord(kClipRising), c.raw);
    }
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

// The first bad sample ends the learning with a message; the threshold keeps what it showed.
TEST_F(ParamsTest, GearThresholdLearningStopsAtTheFirstBadSample) {
    InitPr6Data();
    Show(hPr6Panel, ScatterPr6Panel);
    popups.ExpectMessage();
    ASSERT_EQ(uitest::Click(hPr6Panel, PARM6::CBsetCentro4), 0);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Gear Thresholds Setting");
    EXPECT_EQ(popups.Records()[0].text, "COMM error...");

    struct Case {
        int badSample;   // 0-based
        bool shortReply; // else no reply at all
    };
    SimLink& link = ConnectSimulator();
    for (const Case c : {Case{0, false}, Case{1, true}, Case{3, false}}) {
        SCOPED_TRACE(c.badSample);
        int samples = 0;
        link.tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
            if (request.cmd != 0x07) return reply;
            if (samples++ != c.badSample)
                return std::optional<ecusim::Frame>{ecusim::Frame{0x07, {0x01, 0x00}}};
            return c.shortReply ? std::optional<ecusim::Frame>{ecusim::Frame{0x07, {0x01}}} : std::nullopt;
        };
        popups.ExpectMessage();
        ASSERT_EQ(uitest::Click(hPr6Panel, PARM6::CBsetCentro4), 0);
        EXPECT_EQ(samples, c.badSample + 1) << "no sample after the bad one";
        EXPECT_EQ(popups.Records().back().title, "Gear Thresholds Setting");
        EXPECT_EQ(popups.Records().back().text, "Some error occurred...");
        EXPECT_EQ(Shown(hPr6Panel, PARM6::NUMcentroMarcia4), 546) << "the default of gear 4 stays";
    }
}

// ---- every field of a page, control by control ---------------------------------------------------------

namespace {

using enum Raw;
constexpr Image M = Image::Map;

// Three points of a gear's row (first, middle, last) are enough to show the row's offset and stride.
constexpr int kCutOffPoints[] = {0, 7, 15};

// The eight rows of one correction table: speed, throttle, the four injection rows, advance, exit time;
// each with its place in the set, its stride from gear to gear, type and scale.
struct CutOffRow {
    std::size_t at, gearStride;
    Raw raw;
    double divisor;
    int decimals;
    std::int64_t first, step; // raw value shown at the first point, and added for each later one
};
constexpr CutOffRow kCutOffRows[] = {
    {0x000, 32, I16, 1, 0, 3000, 5000},    {0x0C0, 32, I16, 10, 1, 100, 300},
    {0x180, 128, U16, 1000, 3, 1100, 300}, {0x1A0, 128, U16, 1000, 3, 1200, 300},
    {0x1C0, 128, U16, 1000, 3, 1300, 300}, {0x1E0, 128, U16, 1000, 3, 1400, 300},
    {0x480, 32, I16, 10, 1, -250, 200},    {0x540, 32, U16, 1, 0, 20000, 5000},
};

void AddCutOffSet(std::vector<BindingCase>& cases, int control, std::size_t set, int gear, std::int64_t tag) {
    for (std::size_t r = 0; r < std::size(kCutOffRows); ++r) {
        const CutOffRow& row = kCutOffRows[r];
        for (std::size_t p = 0; p < std::size(kCutOffPoints); ++p) {
            const int c = kCutOffPoints[p];
            const std::int64_t shown = row.first + row.step * static_cast<std::int64_t>(p) + tag;
            cases.push_back(CellField(control, MakePoint(c + 1, static_cast<int>(r) + 1), M,
                                      set + row.at + row.gearStride * static_cast<std::size_t>(gear) + 2 * c,
                                      row.raw, row.divisor, row.decimals, shown, shown + 7));
        }
    }
}

} // namespace

TEST_F(ParamsTest, CutOffShowsAndStoresEveryFieldOfTheGearsShown) {
    InitPr4Data();
    ParByte(0x7B3) = 1;
    ParByte(0x6E2) = 4;
    Show(hPr4Panel, ScatterPr4Panel);
    ASSERT_EQ(uitest::SetValueAsUser(hPr4Panel, PARM4::RINGgearCutOff1, 2), 0); // gear 3
    ASSERT_EQ(uitest::SetValueAsUser(hPr4Panel, PARM4::RINGgearCutOff2, 5), 0); // gear 6
    std::vector<BindingCase> cases;
    AddCutOffSet(cases, PARM4::TABcutOffCor1, 0x28D48, 2, 0);
    AddCutOffSet(cases, PARM4::TABcutOffCor2, 0x29348, 5, 3);
    for (std::size_t k = 0; k < 4; ++k) {
        for (std::size_t g = 0; g < 6; ++g) {
            const std::int64_t on = static_cast<std::int64_t>((k + g) % 2);
            cases.push_back(CellField(PARM4::TABenableCutOff,
                                      MakePoint(static_cast<int>(g) + 1, static_cast<int>(k) + 1), M,
                                      0x29B0C + 6 * k + g, U8, 1, 0, on, 1 - on));
        }
    }
    cases.push_back(Field(PARM4::NUMthrDfarfCutOff1, M, 0x29B08, I16, 1, 0, 31234, 1234));
    cases.push_back(Field(PARM4::NUMthrDfarfCutOff2, M, 0x29B0A, I16, 1, 0, 23456, 3456));
    cases.push_back(Field(PARM4::NUMfltDepthDfarf, M, 0x29B9C, U8, 1, 0, 47, 3));
    CheckFieldBindings(hPr4Panel, ScatterPr4Panel, GatherPr4Panel, cases);
    // The gears shown belong to the whole run: the next test sees gear 1 again.
    ASSERT_EQ(uitest::SetValueAsUser(hPr4Panel, PARM4::RINGgearCutOff1, 0.0), 0);
    ASSERT_EQ(uitest::SetValueAsUser(hPr4Panel, PARM4::RINGgearCutOff2, 0.0), 0);
}

TEST_F(ParamsTest, CoCorrShowsAndStoresEveryFieldInEitherLoadUnit) {
    struct Unit {
        std::uint8_t byPair; // 0 throttle in tenths of a degree, else intake pressure in mBar
        double divisor;
        int decimals;
    };
    for (const Unit unit : {Unit{0, 10, 1}, Unit{1, 1, 0}}) {
        SCOPED_TRACE(unit.byPair);
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
        ParByte(0x6E2) = 4;
        ParByte(0x7B3) = 0;
        MapByte(0x29B46) = unit.byPair;
        for (std::size_t i = 1; i < 7; ++i)
            MapWord(0x28D38 + 2 * i) = static_cast<std::int16_t>(100 * i);
        std::vector<BindingCase> cases = {
            Field(PARM9::NUMcocRpmInf, M, 0x29B24, U16, 1, 0, 1234, 2345),
            Field(PARM9::NUMcocRpmSup, M, 0x29B26, U16, 1, 0, 15432, 16543),
            Field(PARM9::NUMcocGasPairInf, M, 0x29B28, U16, unit.divisor, unit.decimals, 321, 432),
            Field(PARM9::NUMcocGasPairSup, M, 0x29B2A, U16, unit.divisor, unit.decimals, 876, 987),
            Field(PARM9::NUMcocTh2oInf, M, 0x29B2C, I16, 10, 1, -255, -123),
            Field(PARM9::NUMcocTh2oSup, M, 0x29B2E, I16, 10, 1, 2345, 1987),
            Field(PARM9::NUMmsCoc, M, 0x29B30, U16, 1000, -1, 12300, 23400),
            Field(PARM9::NUMmsCocPostShift, M, 0x29B32, U16, 1, 0, 32100, 12345),
            Field(PARM9::NUMcocDkStep1, M, 0x29B34, U16, 10, 1, 111, 222),
            Field(PARM9::NUMcocDkStep2, M, 0x29B36, U16, 10, 1, 333, 444),
            Field(PARM9::NUMcocDkMax, M, 0x29B38, U16, 10, 1, 555, 666),
            Field(PARM9::NUMcocLambdaThr, M, 0x29B3A, U16, 10, 1, 12345, 11111),
            Field(PARM9::TBcocByPair, M, 0x29B46, U8, 1, -1, unit.byPair, unit.byPair),
            Field(PARM9::RINGcocA, M, 0x29B3C, U8, 1, -1, 1, 2),
            Field(PARM9::RINGcocB, M, 0x29B3D, U8, 1, -1, 2, 1),
            CellField(PARM9::TABcocDelay, MakePoint(1, 1), M, 0x28D38, I16, 10, 1, -250, -200),
            CellField(PARM9::TABcocDelay, MakePoint(8, 1), M, 0x28D38 + 14, I16, 10, 1, 2400, 2450),
            CellField(PARM9::TABcocDelay, MakePoint(1, 2), M, 0x28D28, I16, 1, 0, 123, 45),
            CellField(PARM9::TABcocDelay, MakePoint(8, 2), M, 0x28D28 + 14, I16, 1, 0, 234, 289),
        };
        const int boxesA[] = {PARM9::CKBcocAcyl1, PARM9::CKBcocAcyl2, PARM9::CKBcocAcyl3, PARM9::CKBcocAcyl4};
        const int boxesB[] = {PARM9::CKBcocBcyl1, PARM9::CKBcocBcyl2, PARM9::CKBcocBcyl3, PARM9::CKBcocBcyl4};
        for (std::size_t n = 0; n < 4; ++n) {
            const std::int64_t a = static_cast<std::int64_t>(n % 2),
                               b = static_cast<std::int64_t>(n == 1 || n == 2);
            cases.push_back(Field(boxesA[n], M, 0x29B3E + n, U8, 1, -1, a, 1 - a));
            cases.push_back(Field(boxesB[n], M, 0x29B42 + n, U8, 1, -1, b, 1 - b));
        }
        const MapTable map{10, 16, 320, 352, U16, 1, unit.divisor, 10, 1000, 100, 0, 13000};
        AddMapTable(cases, PARM9::TABmapCocA, M, 0x278A8, map, 0);
        AddMapTable(cases, PARM9::TABmapCocB, M, 0x27A1C, map, 1);
        Show(hPr9Panel, ScatterPr9Panel);
        CheckFieldBindings(hPr9Panel, ScatterPr9Panel, GatherPr9Panel, cases);
    }
}

namespace {

// MiniMap: cells[8][16], then the 16 speed breakpoints and the 8 throttle breakpoints (tenths of a degree).
constexpr MapTable MiniMapOf(double cellDivisor, std::int64_t lo, std::int64_t hi) {
    return {8, 16, 256, 288, I16, 1, 10, cellDivisor, 1000, 100, lo, hi};
}

} // namespace

TEST_F(ParamsTest, AntiLagShowsAndStoresEveryField) {
    using namespace PARM8;
    std::vector<BindingCase> cases = {
        Field(TBbangEnable, M, 0x29C28, U8, 1, -1, 1, 0),    Field(NUMlenJcuts, M, 0x29C22, U8, 1, 0, 31, 7),
        Field(NUMlenAcuts, M, 0x29C23, U8, 1, 0, 29, 5),     Field(NUMbangTime, M, 0x29C24, U16, 1, 0, 59, 3),
        Field(NUMbangGas, M, 0x29C26, U16, 10, 1, 987, 123),
    };
    AddMapTable(cases, TABmapInjCuts, M, 0x280D8, MiniMapOf(1, 0, 32), 0);
    AddMapTable(cases, TABmapAdvCuts, M, 0x28208, MiniMapOf(1, 0, 32), 1);
    AddMapTable(cases, TABmapAdvAls, M, 0x28338, MiniMapOf(10, -1000, 1000), 2);
    Show(hPr8Panel, ScatterPr8Panel);
    CheckFieldBindings(hPr8Panel, ScatterPr8Panel, GatherPr8Panel, cases);
}

TEST_F(ParamsTest, Misc1ShowsAndStoresEveryField) {
    using namespace PARM1;
    SetTwa(17); // "smf36-1": tooth numbers up to 35
    // The thresholds keep their order (engine-on above engine-off, the mechanical start and its hysteresis
    // below engine-on), the axes rise and the idle offset stays above minus the first set-point.
    std::vector<BindingCase> cases = {
        Field(NUMthrRPMengOn, M, 0x29B76, I16, 1, 0, 9000, 8000),
        Field(NUMthrRPMengOff, M, 0x29B78, I16, 1, 0, 1500, 1800),
        Field(NUMdelayDropSwitch, M, 0x29B70, I16, 1, 0, 32000, 123),
        Field(NUMthrRPMstartMecOn, M, 0x29B72, I16, 1, 0, 3000, 2500),
        Field(NUMthrRPMstartMecHys, M, 0x29B74, I16, 1, 0, 500, 700),
        Field(NUMmecSparkTooth, M, 0x29B9D, U8, 1, 0, 30, 35),
        Field(NUMmecPreloadTeeth, M, 0x29B9E, U8, 1, 0, 12, 34),
        Field(NUMlimApair, M, 0x29B96, I16, 1, 0, 9999, 1234),
        Field(NUMlimJpair, M, 0x29B98, I16, 1, 0, 8888, 2345),
        Field(NUMnRevsRpm, M, 0x29B9A, U8, 1, 0, 25, 3),
        Field(NUMnRevsDrpm, M, 0x29B9B, U8, 1, 0, 21, 7),
        Field(NUMwheelAntCirc, M, 0x29998, U16, 1, 0, 2999, 501),
        Field(NUMwheelPosCirc, M, 0x2999A, U16, 1, 0, 2888, 777),
        Field(NUMwheelAntPuls, M, 0x2999C, U16, 1, 0, 299, 2),
        Field(NUMwheelPosPuls, M, 0x2999E, U16, 1, 0, 288, 3),
        Field(NUMwheelAntFltDepth, M, 0x299A0, U16, 1, 0, 199, 4),
        Field(NUMwheelPosFltDepth, M, 0x299A2, U16, 1, 0, 188, 5),
        Field(NUMslipRatioFltDepth, M, 0x299A4, U16, 1, 0, 177, 6),
        Field(NUMdeltaRpmIdling, M, 0x29BF0, I16, 1, 0, -900, -8000),
        Field(NUMdeltaMsIdling, M, 0x29BF2, U16, 1, 0, 32111, 11),
        Field(NUMminFarfIdl, M, 0x29BF4, U16, 10, 1, 999, 12),
        Field(NUMfarfCalibIdl, M, 0x29BF6, U16, 10, 1, 888, 13),
        Field(NUMidlNormalHoldTime, M, 0x29BF8, U16, 1, 0, 999, 6),
        Field(NUMidlSlowHoldTime, M, 0x29BFC, U16, 1, 0, 59999, 101),
        Field(NUMidlFilterDepth, M, 0x29BFA, U8, 1, 0, 99, 2),
        Field(NUMrpmMinEnableIdl, M, 0x29C02, U16, 1, 0, 1111, 2222),
        Field(NUMrpmMaxEnableIdl, M, 0x29C04, U16, 1, 0, 19999, 18888),
        Field(NUMtH2oMinEnableIdl, M, 0x29C06, I16, 10, 1, -299, 2499),
        Field(NUMmsMinEnableIdl, M, 0x29BFE, U16, 1, 0, 30001, 14),
        Field(NUMmsMaxEnableIdl, M, 0x29C00, U16, 1, 0, 30002, 15),
        Field(NUMidlGasDur, M, 0x29C0A, I16, 10, 1, 987, 65),
        Field(NUMidlRpmThrOffs, M, 0x29C08, I16, 1, 0, 19000, 16),
        Field(NUMthrRpmStarter, M, 0x29C0C, I16, 1, 0, 7777, 17),
        Field(NUMfltRipDown, M, 0x29C1E, U16, 1, 0, 9999, 18),
        Field(NUMfltRipUp, M, 0x29C20, U16, 1, 0, 9998, 19),
    };
    // Speed limits: elements 0-5 for gears 1-6, element 6 the overall limit.
    const int limA[] = {NUMlimArpm1, NUMlimArpm2, NUMlimArpm3, NUMlimArpm4,
                        NUMlimArpm5, NUMlimArpm6, NUMlimArpm};
    const int limJ[] = {NUMlimJrpm1, NUMlimJrpm2, NUMlimJrpm3, NUMlimJrpm4,
                        NUMlimJrpm5, NUMlimJrpm6, NUMlimJrpm};
    for (std::size_t e = 0; e < 7; ++e) {
        const auto k = static_cast<std::int64_t>(e);
        cases.push_back(Field(limA[e], M, 0x29B7A + 2 * e, I16, 1, 0, 10000 + 100 * k, 5000 + 10 * k));
        cases.push_back(Field(limJ[e], M, 0x29B88 + 2 * e, I16, 1, 0, 12000 + 100 * k, 6000 + 10 * k));
    }
    AddCellRow(cases, TABpreInj, MakePoint(1, 1), 16, M, 0x28C68, I16, 10, 1, {-250, 150}, {-240, 150});
    AddCellRow(cases, TABpreInj, MakePoint(1, 2), 16, M, 0x28C48, I16, 10, 1, {1000, 1000}, {31000, -1000});
    AddCellRow(cases, TABidlSetPoint, MakePoint(1, 1), 10, M, 0x29BA0, I16, 10, 1, {-250, 250}, {-200, 250});
    AddCellRow(cases, TABidlSetPoint, MakePoint(1, 2), 10, M, 0x29BB4, I16, 1, 0, {1000, 500}, {9000, -500});
    AddCellRow(cases, TABidlSetPoint, MakePoint(1, 3), 10, M, 0x29BC8, I16, 10, 1, {100, 50}, {900, -50});
    AddCellRow(cases, TABidlSetPoint, MakePoint(1, 4), 10, M, 0x29BDC, I16, 10, 1, {50, 60}, {950, -40});
    AddCellRow(cases, TABstarterSoll, MakePoint(1, 1), 4, M, 0x29C0E, I16, 10, 1, {-100, 500}, {-50, 500});
    AddCellRow(cases, TABstarterSoll, MakePoint(1, 2), 4, M, 0x29C16, I16, 10, 1, {900, -100}, {100, 100});
    Show(hPr1Panel, ScatterPr1Panel);
    CheckFieldBindings(hPr1Panel, ScatterPr1Panel, GatherPr1Panel, cases);
}

TEST_F(ParamsTest, TractionShowsAndStoresEveryField) {
    using namespace PARM10;
    std::vector<BindingCase> cases = {Field(TBtcEnable, M, 0x2A138, U8, 1, -1, 1, 0)};
    AddMapTable(cases, TABmapKjTc, M, 0x27B90, {10, 16, 320, 352, I16, 1, 10, 1000, 1000, 100, 0, 1000}, 0);
    AddMapTable(cases, TABmapKaTc, M, 0x27D04, {10, 16, 320, 352, I16, 1, 10, 10, 1000, 100, -600, 0}, 1);
    // Level record n in row n + 1: the injection and advance percentages in columns 1 and 10, the eight
    // injection and eight trigger bytes in columns 2-9 and 11-18.
    for (int n = 0; n < 64; ++n) {
        const std::size_t record = 0x29C38 + 20 * static_cast<std::size_t>(n);
        cases.push_back(CellField(TABlevelTc, MakePoint(1, n + 1), M, record, U16, 10, 1, 1000 - n, 3 * n));
        cases.push_back(
            CellField(TABlevelTc, MakePoint(10, n + 1), M, record + 2, U16, 10, 1, 500 + n, 999 - n));
        AddCellRow(cases, TABlevelTc, MakePoint(2, n + 1), 8, M, record + 4, U8, 1, 0, {n % 5, 2},
                   {20 - n % 5, -2});
        AddCellRow(cases, TABlevelTc, MakePoint(11, n + 1), 8, M, record + 12, U8, 1, 0, {n % 3 + 1, 2},
                   {19 - n % 3, -2});
    }
    Show(hPr10Panel, ScatterPr10Panel);
    CheckFieldBindings(hPr10Panel, ScatterPr10Panel, GatherPr10Panel, cases);
}

TEST_F(ParamsTest, Misc3ShowsAndStoresEveryField) {
    using namespace PARM3;
    // Every upper limit above its lower one; the reference speeds rise.
    std::vector<BindingCase> cases = {
        Field(RINGlaunchType, M, 0x29AF0, U8, 1, -1, 2, 1),
        Field(TBlaunchVelFront, M, 0x29AF1, U8, 1, -1, 1, 0),
        Field(NUMlaunchKinj, M, 0x29ADA, U16, 1000, 3, 1987, 123),
        Field(NUMlaunchAdv, M, 0x29ADC, I16, 10, 1, -7123, 6543),
        Field(NUMlaunchPwm, M, 0x29ADE, U16, 10, 1, 987, 654),
        Field(NUMlaunchLimArpm, M, 0x29AF2, I16, 1, 0, 19876, 1234),
        Field(NUMlaunchLimJrpm, M, 0x29AF4, I16, 1, 0, 18765, 2345),
        Field(RINGspeedLimType, M, 0x29B06, U8, 1, -1, 3, 2),
        Field(NUMspeedLimInf, M, 0x29AF6, I16, 1, 0, 123, 234),
        Field(NUMspeedLimSup, M, 0x29AF8, I16, 1, 0, 456, 345),
        Field(NUMspeedLimRpm1Inf, M, 0x29AFA, I16, 1, 0, 5001, 6001),
        Field(NUMspeedLimRpm1Sup, M, 0x29AFC, I16, 1, 0, 15001, 16001),
        Field(NUMspeedLimRpm2Inf, M, 0x29AFE, I16, 1, 0, 5002, 6002),
        Field(NUMspeedLimRpm2Sup, M, 0x29B00, I16, 1, 0, 15002, 16002),
        Field(NUMspeedLimKinj, M, 0x29B02, U16, 1000, 3, 1876, 234),
        Field(NUMspeedLimKadv, M, 0x29B04, I16, 10, 1, -299, 288),
    };
    AddCellRow(cases, TABlaunchVel, MakePoint(1, 1), 8, M, 0x29AE0, I16, 1, 0, {10, 60}, {20, 60});
    // Row 1 the lower limits, row 2 the upper ones, which lie first in memory.
    const std::size_t tables[][2] = {{0x29A8A, 0x29A7A}, {0x29AAA, 0x29A9A}, {0x29ACA, 0x29ABA}};
    const int controls[] = {TABlaunchInj, TABlaunchAdv, TABlaunchPwm};
    for (std::size_t t = 0; t < 3; ++t) {
        const auto tag = static_cast<std::int64_t>(t);
        AddCellRow(cases, controls[t], MakePoint(1, 1), 8, M, tables[t][0], U16, 1, 0, {1000 + tag, 100},
                   {2000 + tag, 100});
        AddCellRow(cases, controls[t], MakePoint(1, 2), 8, M, tables[t][1], U16, 1, 0, {19000 + tag, -100},
                   {18000 + tag, -100});
    }
    Show(hPr3Panel, ScatterPr3Panel);
    CheckFieldBindings(hPr3Panel, ScatterPr3Panel, GatherPr3Panel, cases);
}

namespace {

// One transient group: step, filter depth, noise, the two clippings, then the eight levels of each array.
struct TransientGroup {
    std::size_t at;
    int step, depth, noise, clipRising, clipFalling;
    double clipDivisor;
    int levels[6][8]; // thresholds +, -, gains +, -, decays +, -
};

void AddTransientGroup(std::vector<BindingCase>& cases, const TransientGroup& g, std::int64_t tag) {
    const int clipDecimals = g.clipDivisor == 1000 ? 3 : 1;
    cases.push_back(Field(g.step, M, g.at, I16, 1, 0, 31000 + tag, 2 + tag));
    cases.push_back(Field(g.depth, M, g.at + 2, I16, 1, 0, 127 - tag, 3 + tag));
    cases.push_back(Field(g.noise, M, g.at + 4, I16, 10, 1, 99 - tag, 4 + tag));
    cases.push_back(Field(g.clipRising, M, g.at + 6, I16, g.clipDivisor, clipDecimals, 7100 - tag, 5 + tag));
    cases.push_back(Field(g.clipFalling, M, g.at + 8, I16, g.clipDivisor, clipDecimals, 7000 - tag, 6 + tag));
    // Thresholds rise from level to level, so that no level takes the one below it.
    const double divisors[] = {10, 10, 100, 100, 1, 1};
    const Line shown[] = {{100, 100}, {150, 100}, {2900, -100}, {2800, -100}, {32000, -1000}, {31000, -1000}};
    const Line typed[] = {{110, 100}, {160, 100}, {1, 100}, {2, 100}, {3, 1000}, {4, 1000}};
    for (std::size_t a = 0; a < 6; ++a)
        for (int k = 0; k < 8; ++k)
            cases.push_back(Field(g.levels[a][k], M, g.at + 10 + 16 * a + 2 * static_cast<std::size_t>(k),
                                  I16, divisors[a],
                                  divisors[a] == 100  ? 2
                                  : divisors[a] == 10 ? 1
                                                      : 0,
                                  shown[a].At(k) + tag, typed[a].At(k) + tag));
}

// A correction table: row 1 the breakpoints, rows 2 and 3 the value rows, which lie first in memory.
void AddTransientTable(std::vector<BindingCase>& cases, int control, std::size_t values, int points,
                       double axisDivisor, Line axis) {
    const std::size_t rowBytes = 2 * static_cast<std::size_t>(points);
    const int axisDecimals = axisDivisor == 10 ? 1 : 0;
    AddCellRow(cases, control, MakePoint(1, 1), points, M, values + 2 * rowBytes, I16, axisDivisor,
               axisDecimals, axis, {axis.first + 3, axis.step});
    AddCellRow(cases, control, MakePoint(1, 2), points, M, values, I16, 1000, 3, {-31000, 1000},
               {31000, -1000});
    AddCellRow(cases, control, MakePoint(1, 3), points, M, values + rowBytes, I16, 1000, 3, {30000, -900},
               {-30000, 900});
}

} // namespace

TEST_F(ParamsTest, TransientShowsAndStoresEveryField) {
    using namespace PARM5;
// The eight level controls of one column, level 1 first.
#define LEVELS(name)                                                                                         \
    { name##_1, name##_2, name##_3, name##_4, name##_5, name##_6, name##_7, name##_8 }
    const TransientGroup injection{0x299A6,
                                   NUMstepJtrans,
                                   NUMfltDepthJtrans,
                                   NUMnoiseJtrans,
                                   NUMclipJtransP,
                                   NUMclipJtransN,
                                   1000,
                                   {LEVELS(NUMthrJtransP), LEVELS(NUMthrJtransN), LEVELS(NUMgainJtransP),
                                    LEVELS(NUMgainJtransN), LEVELS(NUMdecayJtransP),
                                    LEVELS(NUMdecayJtransN)}};
    const TransientGroup advance{0x29A10,
                                 NUMstepAtrans,
                                 NUMfltDepthAtrans,
                                 NUMnoiseAtrans,
                                 NUMclipAtransP,
                                 NUMclipAtransN,
                                 10,
                                 {LEVELS(NUMthrAtransP), LEVELS(NUMthrAtransN), LEVELS(NUMgainAtransP),
                                  LEVELS(NUMgainAtransN), LEVELS(NUMdecayAtransP), LEVELS(NUMdecayAtransN)}};
#undef LEVELS
    std::vector<BindingCase> cases;
    AddTransientGroup(cases, injection, 0);
    AddTransientGroup(cases, advance, 1);
    AddTransientTable(cases, TABkJtransRPM, 0x286C8, 32, 1, {100, 600});
    AddTransientTable(cases, TABkAtransRPM, 0x28788, 32, 1, {200, 600});
    AddTransientTable(cases, TABkJtransTh2o, 0x28CC8, 16, 10, {-300, 150});
    Show(hPr5Panel, ScatterPr5Panel);
    CheckFieldBindings(hPr5Panel, ScatterPr5Panel, GatherPr5Panel, cases);
}

// The thresholds are in A/D counts, or in tenths with the engine-wheel ratio (gear mode 2).
TEST_F(ParamsTest, GearShiftShowsAndStoresEveryFieldInBothThresholdScales) {
    using namespace PARM6;
    const int centre[] = {NUMcentroMarcia1, NUMcentroMarcia2, NUMcentroMarcia3,
                          NUMcentroMarcia4, NUMcentroMarcia5, NUMcentroMarcia6};
    const int shift[] = {NUMsogliaPuntata1, NUMsogliaPuntata2, NUMsogliaPuntata3,
                         NUMsogliaPuntata4, NUMsogliaPuntata5, NUMsogliaPuntata6};
    const int width[] = {NUMshiftWidth1, NUMshiftWidth2, NUMshiftWidth3,
                         NUMshiftWidth4, NUMshiftWidth5, NUMshiftWidth6};
    const int exitTime[] = {NUMmsShiftExit1, NUMmsShiftExit2, NUMmsShiftExit3,
                            NUMmsShiftExit4, NUMmsShiftExit5, NUMmsShiftExit6};
    const int exitStep[] = {NUMddgShiftExit1, NUMddgShiftExit2, NUMddgShiftExit3,
                            NUMddgShiftExit4, NUMddgShiftExit5, NUMddgShiftExit6};
    struct Scale {
        std::uint8_t gearMode;
        double divisor;
        int decimals;
    };
    for (const Scale s : {Scale{0, 1, 0}, Scale{2, 10, 1}}) {
        SCOPED_TRACE(int{s.gearMode});
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
        ParByte(0x7B0) = s.gearMode;
        std::vector<BindingCase> cases = {
            Field(NUMdeltaMarcia, M, 0x29960, U16, s.divisor, s.decimals, 15, 20),
            Field(NUMdeltaSet, M, 0x2997A, U16, s.divisor, s.decimals, 1011, 1000),
            Field(NUMshiftMinRpm, M, 0x29962, U16, 1, 0, 19999, 1),
            Field(NUMshiftDelay, M, 0x29964, U16, 1, 0, 32001, 2),
            Field(NUMshiftHoldOff, M, 0x29972, U16, 1, 0, 32002, 3),
            Field(NUMshiftAdv, M, 0x29974, I16, 10, 1, -299, 288),
            Field(NUMkShiftInj, M, 0x29976, U16, 1000, 3, 1987, 4),
            Field(NUMshiftRevsTO, M, 0x29978, U16, 1, 0, 32003, 5),
            Field(NUMgearDelay, M, 0x2997C, U16, 1, 0, 32004, 6),
            Field(RINGsubstGear, M, 0x29996, U8, 1, -1, 7, 3),
        };
        for (std::size_t g = 0; g < 6; ++g) {
            const auto k = static_cast<std::int64_t>(g);
            cases.push_back(
                Field(centre[g], M, 0x29948 + 2 * g, U16, s.divisor, s.decimals, 100 + 150 * k, 1000 - k));
            cases.push_back(
                Field(shift[g], M, 0x29954 + 2 * g, U16, s.divisor, s.decimals, 50 + 150 * k, 900 - k));
            cases.push_back(Field(width[g], M, 0x29966 + 2 * g, U16, 1, 0, 30000 + k, 10 + k));
            cases.push_back(Field(exitTime[g], M, 0x2997E + 2 * g, U16, 1, 0, 31000 + k, 20 + k));
            cases.push_back(Field(exitStep[g], M, 0x2998A + 2 * g, U16, 10, 1, 290 + k, 30 + k));
        }
        AddMapTable(cases, TABmapInjNeut, M, 0x27E78, MiniMapOf(1000, 0, 2000), 0);
        AddMapTable(cases, TABmapAdvNeut, M, 0x27FA8, MiniMapOf(10, -300, 300), 1);
        Show(hPr6Panel, ScatterPr6Panel);
        CheckFieldBindings(hPr6Panel, ScatterPr6Panel, GatherPr6Panel, cases);
    }
}

// Three toggles share the flags byte with five bits no control owns.
TEST_F(ParamsTest, GearShiftTogglesOwnTheirBitsOnly) {
    using namespace PARM6;
    ParByte(0x7B0) = 2; // all three toggles on screen
    MapByte(0x29997) = 0xA5;
    Show(hPr6Panel, ScatterPr6Panel);
    EXPECT_EQ(Shown(hPr6Panel, TBneutAdjEnab), 1);
    EXPECT_EQ(Shown(hPr6Panel, TBgearEWshiftByCutOff), 0);
    EXPECT_EQ(Shown(hPr6Panel, TBfrontGearWheel), 1);
    SetCtrlVal(hPr6Panel, TBneutAdjEnab, 0);
    SetCtrlVal(hPr6Panel, TBgearEWshiftByCutOff, 1);
    SetCtrlVal(hPr6Panel, TBfrontGearWheel, 0);
    ASSERT_TRUE(GatherPr6Panel());
    EXPECT_EQ(MapByte(0x29997), 0x45);
}

TEST_F(ParamsTest, BlippingShowsAndStoresEveryField) {
    using namespace PARM7;
    ParByte(0x7B3) = 1;
    ParByte(0x7C5) = 1;
    std::vector<BindingCase> cases = {
        Field(NUMblipMinVel, M, 0x2A13A, I16, 1, 0, 499, 1),
        Field(NUMblipMinRpm, M, 0x2A13C, U16, 1, 0, 19999, 2),
        Field(NUMblipMaxGas, M, 0x2A13E, U16, 10, 1, 999, 3),
        Field(NUMblipInhibTime, M, 0x2A140, U16, 1, 0, 32001, 4),
        Field(NUMblipConfirmTime, M, 0x2A142, U16, 1, 0, 32002, 5),
        Field(TBblipShiftReverse, M, 0x2A300, U8, 1, -1, 0, 1),
    };
    AddCellRow(cases, TABblipUshiftThr, MakePoint(1, 1), 5, M, 0x2A144, U16, 1, 0, {1020, -10}, {513, 10});
    AddCellRow(cases, TABblipDshiftThr, MakePoint(1, 1), 5, M, 0x2A14E, U16, 1, 0, {1, 10}, {511, -10});
    for (int r = 0; r < 3; ++r)
        AddCellRow(cases, TABblipCommand, MakePoint(1, r + 1), 5, M,
                   0x2A158 + 10 * static_cast<std::size_t>(r), U16, 1, 0, {32000 - 100 * r, -1}, {10 * r, 1});
    for (int r = 0; r < 2; ++r)
        AddCellRow(cases, TABblipEnable, MakePoint(1, r + 1), 5, M, 0x2A2F6 + 5 * static_cast<std::size_t>(r),
                   U8, 1, 0, {r, 0}, {1 - r, 0});
    // The target tables: breakpoints in row 1, target row k in row k + 1; the targets lie first in memory.
    const std::size_t targets[] = {0x2A176, 0x2A236};
    const int tables[] = {TABblipTargetDbw1, TABblipTargetDbw2};
    for (std::size_t t = 0; t < 2; ++t) {
        const auto tag = static_cast<std::int64_t>(t);
        AddCellRow(cases, tables[t], MakePoint(1, 1), 16, M, targets[t] + 160, I16, 1, 0, {100 + tag, 1000},
                   {200 + tag, 1000});
        for (int k = 0; k < 5; ++k)
            AddCellRow(cases, tables[t], MakePoint(1, k + 2), 16, M,
                       targets[t] + 32 * static_cast<std::size_t>(k), I16, 10, 1, {900 - 10 * k - tag, -20},
                       {100 + 10 * k + tag, 20});
    }
    Show(hPr7Panel, ScatterPr7Panel);
    CheckFieldBindings(hPr7Panel, ScatterPr7Panel, GatherPr7Panel, cases);
}

// The relay curve's breakpoints are engine speeds, or water temperatures in tenths when the relay follows
// the water temperature.
TEST_F(ParamsTest, Misc2ShowsAndStoresEveryFieldOnEitherRelayAxis) {
    using namespace PARM2;
    struct Relay {
        std::uint8_t byRpm;
        double divisor;
        int decimals;
        Line axis;
    };
    for (const Relay relay : {Relay{1, 1, 0, {100, 1000}}, Relay{0, 10, 1, {-300, 150}}}) {
        SCOPED_TRACE(int{relay.byRpm});
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
        ParByte(0x7AF) = 4;
        ParByte(0x7B5) = 1;
        ParByte(0x7B6) = relay.byRpm;
        std::vector<BindingCase> cases = {
            Field(NUMbpsAirRpm, M, 0x29B48, U16, 1, 0, 19999, 1),
            Field(NUMbpsAirGasInf, M, 0x29B4A, U16, 10, 1, 321, 432),
            Field(NUMbpsAirGasSup, M, 0x29B4C, U16, 10, 1, 987, 876),
            Field(NUMbpsAirMaxStep, M, 0x29B4E, U16, 1, 0, 499, 2),
        };
        AddCellRow(cases, TABbpsAirStep, MakePoint(1, 1), 32, M, 0x28A08, I16, 1, 0, {100, 600}, {150, 600});
        for (int r = 0; r < 7; ++r)
            AddCellRow(cases, TABbpsAirStep, MakePoint(1, r + 2), 32, M,
                       0x28848 + 0x40 * static_cast<std::size_t>(r), I16, 10, 1, {990 - r, -30},
                       {10 + r, 30});
        AddCellRow(cases, TABbpsAirCtrlByGear, MakePoint(1, 1), 7, M, 0x29B50, U16, 1, 0, {32000, -1000},
                   {1, 1000});
        AddCellRow(cases, TABbpsAirCtrlByGear, MakePoint(1, 2), 7, M, 0x29B5E, U16, 10, 1, {999, -100},
                   {1, 100});
        AddCellRow(cases, TABrelaisOut, MakePoint(1, 1), 16, M, 0x28CA8, I16, relay.divisor, relay.decimals,
                   relay.axis, {relay.axis.first + 5, relay.axis.step});
        for (int k = 0; k < 16; ++k)
            cases.push_back(CellField(TABrelaisOut, MakePoint(k + 1, 2), M,
                                      0x28C88 + 2 * static_cast<std::size_t>(k), I16, 1, 0, k % 2,
                                      1 - k % 2));
        Show(hPr2Panel, ScatterPr2Panel);
        CheckFieldBindings(hPr2Panel, ScatterPr2Panel, GatherPr2Panel, cases);
    }
}

// While a transfer pumps events, the CO-Corr. buttons that talk to the ECU do nothing.
TEST_F(ParamsTest, CoCorrTransferButtonsWaitWhileATransferPumpsEvents) {
    SimLink& link = ConnectSimulator();
    SetCocEditMode(1);
    Show(hPr9Panel, ScatterPr9Panel);
    ASSERT_TRUE(Pr9Timer()); // Receive and Send enabled: edit mode with the link open
    link.requests.clear();
    bool ran = false;
    uitest::Later([&] {
        ran = true;
        for (int button : {PARM9::CBcocReset, PARM9::CBcocReceive, PARM9::CBcocSend})
            EXPECT_EQ(uitest::Click(hPr9Panel, button), 0) << button;
    });
    ProcessMyEvents(1);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(link.requests.empty());
    EXPECT_TRUE(popups.Records().empty());
}
