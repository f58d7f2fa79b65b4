// The linearization pages and the injection phase page: what they store, their repairs and dimming.
#include "bindingcheck.h"
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"
#include "pagefixture.h"
#include "platform/ui/uitest.h"

namespace {

TEST_F(TablePages, TypedValuesAreStoredHalfAwayFromZero) {
    struct Case {
        int panel, control;
        Point cell;
        double typed;
        int (*field)();
        int stored;
    };
    const Case cases[] = {
        {hLn1Panel, LNR1::TABfarf, {3, 3}, 12.25, [] { return int{ecuParData.linThrottle.values[2]}; }, 123},
        {hLn1Panel,
         LNR1::TABth2o,
         {4, 2},
         -12.25,
         [] { return int{ecuParData.linWaterTemp.values[3]}; },
         -123},
        {hLn1Panel,
         LNR1::TABeGas,
         {2, 3},
         1022.5,
         [] { return int{ecuParData.w6F4[(0x712 - 0x6F4) / 2]}; },
         1023},
        {hLn1Panel, LNR1::TABfaux, {1, 2}, 17, [] { return int{ecuParData.w6B0[1]}; }, 17},
        {hLn2Panel,
         LNR2::TABrtc,
         {1, 2},
         0.0625,
         [] { return int{ecuParData.linTractionSelector.values[0]}; },
         63},
        {hLn2Panel, LNR2::TABsospAn, {1, 2}, -0.25, [] { return int{ecuParData.linFork.values[0]}; }, -3},
        {hIj2Panel,
         INJ2::TABmapPhaseH,
         {17, 9},
         720,
         [] { return int{ecuMapData.mapPhaseH.cells[7][15]}; },
         720},
    };
    for (int i = 0; i < 16; ++i) { // rising axes: equal breakpoints would level the values
        ecuParData.linThrottle.x[i] = static_cast<std::int16_t>(60 * i);
        ecuParData.linWaterTemp.x[i] = static_cast<std::int16_t>(60 * i);
    }
    ASSERT_TRUE(ScatterLn1Panel());
    for (const Case& c : cases) {
        SetCell(c.panel, c.control, c.cell, c.typed);
        ASSERT_TRUE(GatherLn1Panel() && GatherLn2Panel() && GatherIj2Panel());
        EXPECT_EQ(c.field(), c.stored) << c.typed;
    }
}

TEST_F(TablePages, LinearizationsLevelEqualBreakpoints) {
    for (int i = 0; i < 16; ++i) {
        ecuParData.linThrottle.x[i] = static_cast<std::int16_t>(100 * (i + 1));
        ecuParData.linThrottle.values[i] = static_cast<std::int16_t>(10 * i);
        ecuParData.linWaterTemp.x[i] = static_cast<std::int16_t>(50 * (i + 1));
    }
    ASSERT_TRUE(ScatterLn1Panel());
    SetCell(hLn1Panel, LNR1::TABfarf, {3, 2}, 150); // below column 2's 200
    SetCell(hLn1Panel, LNR1::TABth2o, {6, 1}, 250); // equal to column 5
    SetCell(hLn1Panel, LNR1::TABth2o, {6, 2}, 80.0);
    SetCell(hLn2Panel, LNR2::TABsospAn, {1, 1}, 500);
    SetCell(hLn2Panel, LNR2::TABsospAn, {2, 1}, 400);
    SetCell(hLn2Panel, LNR2::TABsospAn, {1, 2}, 12.5);
    ASSERT_TRUE(GatherLn1Panel());
    ASSERT_TRUE(GatherLn2Panel());

    EXPECT_EQ(ecuParData.linThrottle.x[2], 200);
    EXPECT_EQ(ecuParData.linThrottle.values[2], 10) << "column 3 takes column 2's opening";
    EXPECT_EQ(ecuParData.linWaterTemp.values[5], ecuParData.linWaterTemp.values[4]);
    EXPECT_DOUBLE_EQ(Cell(hLn1Panel, LNR1::TABth2o, {6, 2}), 0.0) << "the page is filled again";
    EXPECT_EQ(ecuParData.linFork.x[1], 500);
    EXPECT_EQ(ecuParData.linFork.values[1], 125);
    EXPECT_FALSE(FixLn1Curves());
    EXPECT_FALSE(FixLn2Curves());
}

// On every sensor curve of linearization page 2 one reading means one value: a breakpoint typed equal to
// its left neighbour gives its point the neighbour's value, shown at once; the rising point after it keeps
// the value typed.
TEST_F(TablePages, Linearization2EqualBreakpointsTakeTheLeftValue) {
    struct Case {
        int table;
        std::uint8_t analogType; // the inputs' use that enables the table
        Curve16 EcuParData::*curve;
        const char *left, *typed, *after; // the values typed in columns 4, 5 and 6
        double leftShown;
        std::int16_t leftRaw, afterRaw;
    };
    const Case cases[] = {
        {LNR2::TABrtc, 1, &EcuParData::linTractionSelector, "1.25", "2.5", "3", 1.25, 1250, 3000},
        {LNR2::TABuego1, 3, &EcuParData::linLambda1, "80.5", "95", "99.9", 80.5, 805, 999},
        {LNR2::TABuego2, 3, &EcuParData::linLambda2, "70", "110.5", "120", 70, 700, 1200},
        {LNR2::TABsospAn, 4, &EcuParData::linFork, "-12.5", "40", "60.2", -12.5, -125, 602},
        {LNR2::TABsosPos, 4, &EcuParData::linShock, "3.5", "-7", "8", 3.5, 35, 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        Curve16& curve = ecuParData.*c.curve;
        for (int i = 0; i < 16; ++i)
            curve.x[i] = static_cast<std::int16_t>(50 * (i + 1));
        AnalogType() = c.analogType;
        ASSERT_TRUE(ScatterLn2Panel());
        Show(hLn2Panel);
        ASSERT_EQ(uitest::EditTableCell(hLn2Panel, c.table, {5, 1}, "200"), 0); // equal to column 4
        ASSERT_EQ(uitest::EditTableCell(hLn2Panel, c.table, {4, 2}, c.left), 0);
        ASSERT_EQ(uitest::EditTableCell(hLn2Panel, c.table, {5, 2}, c.typed), 0);
        ASSERT_EQ(uitest::EditTableCell(hLn2Panel, c.table, {6, 2}, c.after), 0);
        ASSERT_TRUE(GatherLn2Panel());
        EXPECT_EQ(curve.x[4], 200);
        EXPECT_EQ(curve.values[4], c.leftRaw);
        EXPECT_DOUBLE_EQ(Cell(hLn2Panel, c.table, {5, 2}), c.leftShown) << "the page is filled again";
        EXPECT_EQ(curve.values[3], c.leftRaw);
        EXPECT_EQ(curve.values[5], c.afterRaw);
    }
}

TEST_F(TablePages, PhaseMapsRepairTheirAxesAndKeepEqualBreakpoints) {
    ecuMapData.mapPhaseL.x[0] = 1000;
    ecuMapData.mapPhaseL.x[1] = 3000;
    ecuMapData.mapPhaseL.x[2] = 2000;
    for (int c = 3; c < 16; ++c)
        ecuMapData.mapPhaseL.x[c] = 3000;
    for (int r = 0; r < 8; ++r)
        ecuMapData.mapPhaseL.cells[r][1] = static_cast<std::int16_t>(200 + r);
    InjectionKind() = 0; // "Single": the second map is dimmed, still read back and repaired
    ASSERT_TRUE(ScatterIj2Panel());
    EXPECT_EQ(CtrlAttr(hIj2Panel, INJ2::TABmapPhaseH, ATTR_DIMMED), 1);
    EXPECT_EQ(CtrlAttr(hIj2Panel, INJ2::TABmapPhaseL, ATTR_DIMMED), 0);
    SetCell(hIj2Panel, INJ2::TABmapPhaseH, {1, 3}, -5); // throttle row 2 below row 1
    SetCell(hIj2Panel, INJ2::TABmapPhaseH, {5, 3}, 90);
    ASSERT_TRUE(GatherIj2Panel());
    EXPECT_EQ(ecuMapData.mapPhaseL.x[2], 3000);
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(ecuMapData.mapPhaseL.cells[r][2], 200 + r);
    EXPECT_EQ(ecuMapData.mapPhaseL.cells[0][3], 180) << "equal breakpoints keep their cells";
    EXPECT_EQ(ecuMapData.mapPhaseH.y[1], 0);
    EXPECT_EQ(ecuMapData.mapPhaseH.cells[1][3], 180) << "the row above was copied over the typed cell";
    for (std::uint8_t kind : {1, 2}) {
        InjectionKind() = kind;
        ASSERT_TRUE(ScatterIj2Panel());
        EXPECT_EQ(CtrlAttr(hIj2Panel, INJ2::TABmapPhaseH, ATTR_DIMMED), 0);
    }
}

TEST_F(TablePages, DimmingFollowsTheConfiguration) {
    struct Case {
        std::uint8_t analogType, steps, extDbw, stepper;
        bool rtc, uego, susp, gas, aux;
    };
    const Case cases[] = {
        {0, 255, 0, 0, false, false, false, false, false}, {1, 9, 1, 1, false, false, false, true, true},
        {1, 255, 1, 2, true, false, false, true, false},   {2, 255, 0, 1, true, false, false, false, true},
        {3, 255, 1, 1, false, true, false, true, true},    {4, 255, 1, 1, false, false, true, true, true},
    };
    for (const Case& c : cases) {
        AnalogType() = c.analogType;
        MaxRtcSteps() = c.steps;
        ExtDbw() = c.extDbw;
        StepperType() = c.stepper;
        ASSERT_TRUE(ScatterLn1Panel() && ScatterLn2Panel());
        const int type = c.analogType;
        EXPECT_EQ(CtrlAttr(hLn2Panel, LNR2::TABrtc, ATTR_DIMMED), c.rtc ? 0 : 1) << type;
        EXPECT_EQ(CtrlAttr(hLn2Panel, LNR2::TABuego2, ATTR_DIMMED), c.uego ? 0 : 1) << type;
        EXPECT_EQ(CtrlAttr(hLn2Panel, LNR2::TABsosPos, ATTR_DIMMED), c.susp ? 0 : 1) << type;
        for (int table : {LNR1::TABgas, LNR1::TABeGas, LNR1::TABeDbw1, LNR1::TABeDbw2})
            EXPECT_EQ(CtrlAttr(hLn1Panel, table, ATTR_DIMMED), c.gas ? 0 : 1) << type;
        EXPECT_EQ(CtrlAttr(hLn1Panel, LNR1::TABfaux, ATTR_DIMMED), c.aux ? 0 : 1) << type;
    }
    SetCell(hLn2Panel, LNR2::TABuego1, {1, 2}, 3.5); // dimmed tables are read back too
    ASSERT_TRUE(GatherLn2Panel());
    EXPECT_EQ(ecuParData.linLambda1.values[0], 35);
}

// A sensor curve: the A/D breakpoints in one row, the values in the row below; both rise, so that no
// repair moves a value.
struct SensorCurve {
    int table, bpRow;
    std::size_t values;
    double divisor;
    Line shown, typed;
};

void AddSensorCurve(std::vector<BindingCase>& cases, const SensorCurve& c, std::int64_t tag) {
    AddCellRow(cases, c.table, {1, c.bpRow}, 16, Image::Par, c.values + 32, Raw::I16, 1, 0, {10 + tag, 60},
               {20 + tag, 60});
    AddCellRow(cases, c.table, {1, c.bpRow + 1}, 16, Image::Par, c.values, Raw::I16, c.divisor,
               c.divisor == 1000 ? 3
               : c.divisor == 10 ? 1
                                 : 0,
               c.shown, c.typed);
}

TEST_F(TablePages, Linearization1ShowsAndStoresEveryField) {
    std::vector<BindingCase> cases;
    const SensorCurve curves[] = {
        {LNR1::TABfarf, 2, 0x3C4, 10, {10, 60}, {5, 61}},
        {LNR1::TABth2o, 1, 0x404, 10, {-290, 150}, {-280, 151}},
        {LNR1::TABtair, 1, 0x444, 10, {-270, 100}, {-260, 101}},
        {LNR1::TABpVacu, 1, 0x484, 1, {100, 600}, {200, 601}},
        {LNR1::TABgas, 1, 0x604, 10, {20, 60}, {30, 59}},
    };
    for (std::size_t i = 0; i < std::size(curves); ++i)
        AddSensorCurve(cases, curves[i], static_cast<std::int64_t>(i));
    // End points: one row of two for the auxiliary throttle; sensor A, then sensor B, of the pedal and the
    // two throttle bodies.
    AddCellRow(cases, LNR1::TABfaux, {1, 2}, 2, Image::Par, 0x6B2, Raw::I16, 1, 0, {101, 800}, {11, 900});
    const std::pair<int, std::size_t> pairs[] = {
        {LNR1::TABeGas, 0x70C}, {LNR1::TABeDbw1, 0x714}, {LNR1::TABeDbw2, 0x71C}};
    for (const auto& [table, at] : pairs) {
        const auto tag = static_cast<std::int64_t>(at - 0x70C);
        AddCellRow(cases, table, {1, 2}, 2, Image::Par, at, Raw::I16, 1, 0, {100 + tag, 700},
                   {120 + tag, 600});
        AddCellRow(cases, table, {1, 3}, 2, Image::Par, at + 4, Raw::I16, 1, 0, {900 - tag, -700},
                   {880 - tag, -600});
    }
    CheckFieldBindings(hLn1Panel, ScatterLn1Panel, GatherLn1Panel, cases);
}

TEST_F(TablePages, Linearization2ShowsAndStoresEveryField) {
    std::vector<BindingCase> cases;
    const SensorCurve curves[] = {
        {LNR2::TABrtc, 1, 0x4C4, 1000, {100, 300}, {150, 301}},
        {LNR2::TABuego1, 1, 0x504, 10, {500, 800}, {600, 790}},
        {LNR2::TABuego2, 1, 0x544, 10, {400, 800}, {700, 780}},
        {LNR2::TABsospAn, 1, 0x584, 10, {-32000, 4000}, {-31000, 4100}},
        {LNR2::TABsosPos, 1, 0x5C4, 10, {-30000, 3900}, {-29000, 4000}},
    };
    for (std::size_t i = 0; i < std::size(curves); ++i)
        AddSensorCurve(cases, curves[i], static_cast<std::int64_t>(i));
    CheckFieldBindings(hLn2Panel, ScatterLn2Panel, GatherLn2Panel, cases);
}

TEST_F(TablePages, PhasePageShowsAndStoresEveryField) {
    std::vector<BindingCase> cases;
    const MapTable phase{8, 16, 0x100, 0x120, Raw::I16, 1, 10, 1, 1000, 100, 0, 720};
    AddMapTable(cases, INJ2::TABmapPhaseL, Image::Map, 0x28468, phase, 0);
    AddMapTable(cases, INJ2::TABmapPhaseH, Image::Map, 0x28598, phase, 1);
    CheckFieldBindings(hIj2Panel, ScatterIj2Panel, GatherIj2Panel, cases);
}

} // namespace
