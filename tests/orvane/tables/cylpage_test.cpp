// The injection correction page and the advance page: the shared cylinder axes, the cylinder ring, the
// traction-control selector's layout and the "Edit Injection" / "Edit Advance" dialogs.
#include "bindingcheck.h"
#include "orvane/tables/tables.h"
#include "orvane/ui/screen.h"
#include "pagefixture.h"
#include "platform/ui/uitest.h"

#include <string>

namespace {

// Table cell of matrix cell [row][col].
Point At(int row, int col) {
    return {col + 2, row + 2};
}

struct CylPages : TablePages {
    void SetUp() override {
        TablePages::SetUp();
        Show(hIj1Panel);
    }
    static int RingValue() {
        int v = -1;
        EXPECT_GE(GetCtrlVal(hIj1Panel, INJ1::RINGcylUser, &v), 0);
        return v;
    }
    static std::string RingLabels() {
        int count = 0;
        EXPECT_GE(GetNumListItems(hIj1Panel, INJ1::RINGcylUser, &count), 0);
        std::string labels;
        for (int i = 0; i < count; ++i) {
            char label[32] = {};
            EXPECT_GE(GetLabelFromIndex(hIj1Panel, INJ1::RINGcylUser, i, label), 0);
            labels += std::string(label) + ";";
        }
        return labels;
    }
};

TEST_F(CylPages, ABreakpointDipCopiesTheColumnInEveryCylinder) {
    for (int m = 0; m < 4; ++m)
        for (int c = 0; c < 16; ++c)
            ecuMapData.injTrims.cells[m][3][c] = static_cast<std::int16_t>(1000 + 100 * m + c);
    for (int c = 0; c < 16; ++c)
        ecuMapData.injTrims.x[c] = static_cast<std::int16_t>(1000 * (c + 1));
    ASSERT_TRUE(ScatterIj1Panel());
    ASSERT_EQ(uitest::EditTableCell(hIj1Panel, INJ1::TABmapKjUserCyl, {7, 1}, "2500"), 0); // below 5000

    EXPECT_EQ(ecuMapData.injTrims.x[5], 5000);
    for (int m = 0; m < 4; ++m)
        EXPECT_EQ(ecuMapData.injTrims.cells[m][3][5], 1000 + 100 * m + 4) << "cylinder " << m + 1;
    EXPECT_EQ(Cell(hIj1Panel, INJ1::TABmapKjUserCyl, {7, 1}), 5000) << "the repair shows at once";
    EXPECT_DOUBLE_EQ(Cell(hIj1Panel, INJ1::TABmapKjUserCyl, At(3, 5)), 1.004);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

TEST_F(CylPages, ARowDipOnTheAdvancePageCopiesTheRow) {
    Show(hAdvPanel);
    for (int r = 0; r < 8; ++r)
        ecuMapData.advOffsets.y[r] = static_cast<std::int16_t>(100 * r);
    for (int c = 0; c < 16; ++c)
        ecuMapData.advOffsets.cells[2][1][c] = static_cast<std::int16_t>(-50 - c);
    ASSERT_TRUE(ScatterAdvPanel());
    ASSERT_EQ(uitest::EditTableCell(hAdvPanel, ADV::TABmapKaUserCyl, {1, 4}, "5"), 0); // row 2 below row 1
    EXPECT_EQ(ecuMapData.advOffsets.y[2], 100);
    for (int c = 0; c < 16; ++c)
        EXPECT_EQ(ecuMapData.advOffsets.cells[2][2][c], -50 - c);
}

TEST_F(CylPages, TheRingOffersTheConfiguredCylindersAndSwitchingStoresTheShownOne) {
    Cylinders() = 2;
    ASSERT_TRUE(ScatterIj1Panel());
    EXPECT_EQ(RingLabels(), "Cyl. 1;Cyl. 2;");

    ASSERT_EQ(uitest::EditTableCell(hIj1Panel, INJ1::TABmapKjUserCyl, At(0, 0), "1.25"), 0);
    SetCell(hIj1Panel, INJ1::TABmapKjUserCyl, At(7, 15), 0.5); // typed, not yet read back
    ecuMapData.injTrims.cells[1][0][0] = 700;
    ASSERT_EQ(uitest::SetValueAsUser(hIj1Panel, INJ1::RINGcylUser, 1), 0);
    EXPECT_EQ(ecuMapData.injTrims.cells[0][0][0], 1250);
    EXPECT_EQ(ecuMapData.injTrims.cells[0][7][15], 500) << "edits of the cylinder left are stored";
    EXPECT_EQ(ecuMapData.injTrims.cells[1][7][15], 1000);
    EXPECT_DOUBLE_EQ(Cell(hIj1Panel, INJ1::TABmapKjUserCyl, At(0, 0)), 0.7);
}

TEST_F(CylPages, ASwitchWhoseReadBackRepairsStillShowsTheChosenCylinder) {
    for (int c = 0; c < 16; ++c)
        ecuMapData.injTrims.x[c] = static_cast<std::int16_t>(1000 * (c + 1));
    ecuMapData.injTrims.cells[2][0][0] = 1300;
    ASSERT_TRUE(ScatterIj1Panel());
    SetCell(hIj1Panel, INJ1::TABmapKjUserCyl, {4, 1}, 1500);   // a breakpoint below its left neighbour
    SetCell(hIj1Panel, INJ1::TABmapKjUserCyl, At(0, 0), 1.25); // typed into cylinder 1's matrix
    ASSERT_EQ(uitest::SetValueAsUser(hIj1Panel, INJ1::RINGcylUser, 2), 0);
    EXPECT_EQ(ecuMapData.injTrims.x[2], 2000) << "the repair was made";
    EXPECT_EQ(ecuMapData.injTrims.cells[0][0][0], 1250) << "cylinder 1 kept its edit";
    EXPECT_EQ(ecuMapData.injTrims.cells[2][0][0], 1300);
    EXPECT_EQ(RingValue(), 2);
    EXPECT_DOUBLE_EQ(Cell(hIj1Panel, INJ1::TABmapKjUserCyl, At(0, 0)), 1.3) << "cylinder 3 is shown";
}

TEST_F(CylPages, TheCylinderShownStaysOneThatIsConfigured) {
    ecuMapData.injTrims.cells[3][0][0] = 1400;
    ecuMapData.injTrims.cells[1][0][0] = 1200;
    ASSERT_EQ(uitest::SetValueAsUser(hIj1Panel, INJ1::RINGcylUser, 3), 0);
    SetCell(hIj1Panel, INJ1::TABmapKjUserCyl, At(0, 1), 1.9); // typed into cylinder 4's matrix

    Cylinders() = 2; // the configuration changes; the read-back still belongs to cylinder 4
    ASSERT_TRUE(GatherIj1Panel());
    EXPECT_EQ(ecuMapData.injTrims.cells[3][0][1], 1900);
    EXPECT_EQ(ecuMapData.injTrims.cells[1][0][1], 1000);

    ASSERT_TRUE(ScatterIj1Panel());
    EXPECT_EQ(RingValue(), 1) << "back to the last present cylinder";
    EXPECT_DOUBLE_EQ(Cell(hIj1Panel, INJ1::TABmapKjUserCyl, At(0, 0)), 1.2);

    Cylinders() = 0;
    ASSERT_TRUE(ScatterIj1Panel());
    EXPECT_EQ(RingLabels(), "");
    EXPECT_DOUBLE_EQ(Cell(hIj1Panel, INJ1::TABmapKjUserCyl, At(0, 0)), 1.0) << "matrix 1 without failing";
    Cylinders() = 9; // more than the block holds
    ASSERT_TRUE(ScatterIj1Panel());
    EXPECT_EQ(RingLabels(), "Cyl. 1;Cyl. 2;Cyl. 3;Cyl. 4;");
}

TEST_F(CylPages, AFailedReadBackKeepsTheCylinder) {
    // A cell that holds no number cannot be read back: the page cannot store what it shows.
    ASSERT_GE(
        SetTableCellAttribute(hIj1Panel, INJ1::TABmapKjUserCyl, At(7, 15), ATTR_CELL_TYPE, VAL_CELL_STRING),
        0);
    popups.ExpectMessage();
    ASSERT_EQ(uitest::SetValueAsUser(hIj1Panel, INJ1::RINGcylUser, 2), 0);
    EXPECT_EQ(RingValue(), 0);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Injection");
    EXPECT_EQ(popups.Records()[0].text, "Some error occurred...");
    ASSERT_GE(
        SetTableCellAttribute(hIj1Panel, INJ1::TABmapKjUserCyl, At(7, 15), ATTR_CELL_TYPE, VAL_CELL_NUMERIC),
        0);
}

TEST_F(CylPages, SelectorCurveFollowsTheSelectorMode) {
    struct Case {
        std::uint8_t steps;
        bool dimmed;
        bool volts; // a numeric breakpoint row; in steps a row without values
        int enabledColumns;
    };
    for (const Case& c : {Case{0, true, false, 0}, Case{4, false, false, 4}, Case{9, false, false, 9},
                          Case{255, false, true, 16}}) {
        MaxRtcSteps() = c.steps;
        for (int page : {hIj1Panel, hAdvPanel}) {
            const int table = page == hIj1Panel ? INJ1::TABkjRtc : ADV::TABkaRtc;
            ASSERT_TRUE(page == hIj1Panel ? ScatterIj1Panel() : ScatterAdvPanel());
            EXPECT_EQ(CtrlAttr(page, table, ATTR_DIMMED), c.dimmed ? 1 : 0) << int(c.steps);
            EXPECT_EQ(CellAttr(page, table, {1, 1}, ATTR_CELL_TYPE),
                      c.volts ? VAL_CELL_NUMERIC : VAL_CELL_STRING);
            for (int col = 1; col <= 16; ++col)
                EXPECT_EQ(CellAttr(page, table, {col, 2}, ATTR_CELL_DIMMED), col > c.enabledColumns ? 1 : 0)
                    << int(c.steps) << " column " << col;
        }
    }
    ecuMapData.injCorr[3].x[1] = 2500;
    ASSERT_TRUE(ScatterIj1Panel());
    EXPECT_DOUBLE_EQ(Cell(hIj1Panel, INJ1::TABkjRtc, {2, 1}), 2.5);
}

TEST_F(CylPages, StepModeLeavesTheSelectorBreakpointsAndTheirValues) {
    // Step values under breakpoints that fall: no axis in step mode, so nothing may be repaired.
    const std::int16_t x[4] = {900, 100, 50, 0};
    for (int i = 0; i < 4; ++i) {
        ecuMapData.injCorr[3].x[i] = x[i];
        ecuMapData.injCorr[3].values[i] = static_cast<std::int16_t>(100 * (i + 1));
    }
    MaxRtcSteps() = 4;
    ASSERT_TRUE(ScatterIj1Panel());
    ASSERT_TRUE(GatherIj1Panel());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ecuMapData.injCorr[3].x[i], x[i]);
        EXPECT_EQ(ecuMapData.injCorr[3].values[i], 100 * (i + 1));
    }
    MaxRtcSteps() = 255; // in volts the same curve is an axis and is repaired
    ASSERT_TRUE(ScatterIj1Panel());
    ASSERT_TRUE(GatherIj1Panel());
    EXPECT_EQ(ecuMapData.injCorr[3].x[1], 900);
    EXPECT_EQ(ecuMapData.injCorr[3].values[1], 100);
}

TEST_F(CylPages, SelectorBreakpointsReadBackAsTheyWereShown) {
    for (int page : {hIj1Panel, hAdvPanel}) {
        Curve16& selector = page == hIj1Panel ? ecuMapData.injCorr[3] : ecuMapData.advCorr[3];
        bool (*scatter)() = page == hIj1Panel ? ScatterIj1Panel : ScatterAdvPanel;
        bool (*gather)() = page == hIj1Panel ? GatherIj1Panel : GatherAdvPanel;
        for (int i = 0; i < 16; ++i)
            selector.x[i] = static_cast<std::int16_t>(100 * i);
        MaxRtcSteps() = 4; // in steps: the breakpoints are not on screen ...
        ASSERT_TRUE(scatter());
        MaxRtcSteps() = 255; // ... and the configuration turns to volts before the read-back
        EXPECT_TRUE(gather());
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(selector.x[i], 100 * i) << i;
    }
}

TEST_F(CylPages, FreshImagesShowTheDefaults) {
    ASSERT_TRUE(ScatterAdvPanel());
    EXPECT_DOUBLE_EQ(Cell(hAdvPanel, ADV::TABkaRtc, {1, 2}), 100.0);
    EXPECT_DOUBLE_EQ(Cell(hAdvPanel, ADV::TABkaPbaro, {16, 1}), 1000);
    EXPECT_DOUBLE_EQ(Cell(hAdvPanel, ADV::TABkaTair, {16, 2}), 0.0);
    EXPECT_DOUBLE_EQ(Cell(hIj1Panel, INJ1::TABkjTh2o, {16, 2}), 1.0);
    EXPECT_EQ(ecuMapData.injTrims.cells[3][7][15], 1000);
    EXPECT_FALSE(FixInjData());
    EXPECT_FALSE(FixAdvData());
}

// A curve breakpoint typed below its left neighbour is raised at the gather, with the neighbour's value,
// and the page shows the repair at once.
TEST_F(CylPages, ACurveRepairRefillsThePage) {
    struct Case {
        int panel, table;
        bool (*scatter)(), (*gather)();
        double left, low, leftValue, value; // shown units
    };
    const Case cases[] = {
        {hIj1Panel, INJ1::TABkjTair, ScatterIj1Panel, GatherIj1Panel, 20.0, 10.0, 1.5, 0.5},
        {hAdvPanel, ADV::TABkaTh2o, ScatterAdvPanel, GatherAdvPanel, 80.0, 60.0, 2.5, -1.5},
    };
    for (const Case& c : cases) {
        Show(c.panel);
        ASSERT_TRUE(c.scatter());
        for (int col = 1; col <= 16; ++col)
            SetCell(c.panel, c.table, {col, 1}, col <= 2 ? 0.0 : 100.0 + col);
        SetCell(c.panel, c.table, {1, 1}, c.left);
        SetCell(c.panel, c.table, {2, 1}, c.low);
        SetCell(c.panel, c.table, {1, 2}, c.leftValue);
        SetCell(c.panel, c.table, {2, 2}, c.value);
        ASSERT_TRUE(c.gather());
        EXPECT_DOUBLE_EQ(Cell(c.panel, c.table, {2, 1}), c.left);
        EXPECT_DOUBLE_EQ(Cell(c.panel, c.table, {2, 2}), c.leftValue);
    }
}

// Every field of both pages, the matrix of the third cylinder shown: four curves (breakpoints in row 1,
// values in row 2) and the matrix table with its shared axes.
TEST_F(CylPages, BothPagesShowAndStoreEveryField) {
    using enum Raw;
    constexpr Image M = Image::Map;
    struct Curve {
        int table;
        std::size_t values, breakpoints;
        double bpDivisor, valueDivisor;
        Line bpShown, bpTyped, valueShown, valueTyped;
    };
    struct Page {
        int panel, ring, table;
        bool (*scatter)(), (*gather)();
        Curve curves[4];
        std::size_t matrices;
        double cellDivisor;
        std::int64_t lo, hi;
    };
    const Page pages[] = {
        {hIj1Panel,
         INJ1::RINGcylUser,
         INJ1::TABmapKjUserCyl,
         ScatterIj1Panel,
         GatherIj1Panel,
         {{INJ1::TABkjTair, 0x28A48, 0x28A68, 10, 1000, {-250, 100}, {-240, 100}, {1999, -100}, {1, 100}},
          {INJ1::TABkjTh2o, 0x28A88, 0x28AA8, 10, 1000, {-200, 150}, {-190, 150}, {1998, -100}, {2, 100}},
          {INJ1::TABkjPbaro, 0x28AC8, 0x28AE8, 1, 1000, {500, 600}, {510, 600}, {1997, -100}, {3, 100}},
          {INJ1::TABkjRtc, 0x28B08, 0x28B28, 1000, 10, {100, 300}, {150, 300}, {999, -50}, {5, 50}}},
         0x27048,
         1000,
         0,
         2000},
        {hAdvPanel,
         ADV::RINGcylUser,
         ADV::TABmapKaUserCyl,
         ScatterAdvPanel,
         GatherAdvPanel,
         {{ADV::TABkaTair, 0x28B48, 0x28B68, 10, 10, {-250, 100}, {-240, 100}, {-7100, 900}, {7000, -900}},
          {ADV::TABkaTh2o, 0x28B88, 0x28BA8, 10, 10, {-200, 150}, {-190, 150}, {-7000, 900}, {6900, -900}},
          {ADV::TABkaPbaro, 0x28BC8, 0x28BE8, 1, 10, {500, 600}, {510, 600}, {-6900, 900}, {6800, -900}},
          {ADV::TABkaRtc, 0x28C08, 0x28C28, 1000, 10, {100, 300}, {150, 300}, {999, -50}, {5, 50}}},
         0x27478,
         10,
         -7200,
         7200},
    };
    const auto decimals = [](double divisor) { return divisor == 1000 ? 3 : divisor == 10 ? 1 : 0; };
    constexpr std::size_t kMatrix = 0x100; // one cylinder's cells
    for (const Page& p : pages) {
        Show(p.panel);
        ASSERT_EQ(uitest::SetValueAsUser(p.panel, p.ring, 2), 0); // "Cyl. 3"
        std::vector<BindingCase> cases;
        for (const Curve& c : p.curves) {
            AddCellRow(cases, c.table, {1, 1}, 16, M, c.breakpoints, I16, c.bpDivisor, decimals(c.bpDivisor),
                       c.bpShown, c.bpTyped);
            AddCellRow(cases, c.table, {1, 2}, 16, M, c.values, I16, c.valueDivisor, decimals(c.valueDivisor),
                       c.valueShown, c.valueTyped);
        }
        // From the third matrix, the shared axes lie 0x200 and 0x220 bytes on.
        AddMapTable(
            cases, p.table, M, p.matrices + 2 * kMatrix,
            {8, 16, 2 * kMatrix, 2 * kMatrix + 0x20, I16, 1, 10, p.cellDivisor, 1000, 100, p.lo, p.hi}, 0);
        CheckFieldBindings(p.panel, p.scatter, p.gather, cases);
        ASSERT_EQ(uitest::SetValueAsUser(p.panel, p.ring, 0.0), 0); // the next test sees "Cyl. 1"
    }
}

// ---- the value dialogs ----

struct ValueDialog : CylPages {
    struct Page {
        int panel, table, dialog, number, radio, apply, cancel;
        const char* title;
    };
    static Page Inj() {
        return {hIj1Panel,        INJ1::TABmapKjUserCyl, hIj1Vpanel,       INJVAL::NSval,
                INJVAL::RBinjVal, INJVAL::CBapply,       INJVAL::CBcancel, "Edit Injection"};
    }
    static Page Adv() {
        return {hAdvPanel,        ADV::TABmapKaUserCyl, hAdvVpanel,       ADVVAL::NSval,
                ADVVAL::RBadvVal, ADVVAL::CBapply,      ADVVAL::CBcancel, "Edit Advance"};
    }

    // Selects block, then right-clicks the table; while the dialog waits, act runs.
    static void OpenOn(const Page& p, Rect block, std::function<void()> act) {
        Show(p.panel);
        ASSERT_GE(SetActiveTableCell(p.panel, p.table, {block.left, block.top}), 0);
        ASSERT_GE(SetTableSelection(p.panel, p.table, block), 0);
        Point pixel;
        ASSERT_EQ(uitest::GetTableCellPoint(p.panel, p.table, {block.left, block.top}, &pixel), 0);
        uitest::Later(std::move(act));
        EXPECT_EQ(uitest::SendMouse(p.panel, p.table, EVENT_RIGHT_CLICK, pixel.x, pixel.y), 1);
    }
};

TEST_F(ValueDialog, SetAddAndPercentOverABlock) {
    struct Case {
        bool advance;
        int option;
        double typed;
        std::int16_t before, after;
    };
    const Case cases[] = {
        {false, 1, 1.5, 1000, 2000},   {false, 2, -100, 1000, 0},   {false, 2, 10, 1000, 1100},
        {false, 0, 0.9996, 500, 1000}, {true, 1, 10.0, 7150, 7200}, {true, 1, -1440, 0, -7200},
        {true, 2, 50, -100, -150},     {true, 2, -100, 300, 0},     {true, 0, 12.34, 0, 123},
        {true, 0, -0.06, 0, -1},
    };
    for (const Case& c : cases) {
        const Page p = c.advance ? Adv() : Inj();
        CylMiniMaps& maps = c.advance ? ecuMapData.advOffsets : ecuMapData.injTrims;
        for (int r = 0; r < 8; ++r)
            for (int col = 0; col < 16; ++col)
                maps.cells[0][r][col] = c.before;
        ASSERT_TRUE(c.advance ? ScatterAdvPanel() : ScatterIj1Panel());
        const Rect block = {3, 4, 2, 3}; // matrix rows 1..2, columns 2..4
        OpenOn(p, block, [&] {
            EXPECT_EQ(uitest::SetValueAsUser(p.dialog, p.radio, c.option), 0);
            EXPECT_EQ(uitest::SetValueAsUser(p.dialog, p.number, c.typed), 0);
            EXPECT_EQ(uitest::Click(p.dialog, p.apply), 0);
        });
        for (int r = 0; r < 8; ++r)
            for (int col = 0; col < 16; ++col) {
                const bool in = r >= 1 && r <= 2 && col >= 2 && col <= 4;
                EXPECT_EQ(maps.cells[0][r][col], in ? c.after : c.before)
                    << p.title << " option " << c.option << " " << c.typed << " at " << r << "," << col;
            }
        EXPECT_FALSE(uitest::IsPopupInstalled(p.dialog));
    }
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

TEST_F(ValueDialog, PreviewShowsInTheTableOnlyAndCancelRedrawsTheImage) {
    const Page p = Inj();
    ecuMapData.injTrims.cells[0][0][0] = 1500;
    ASSERT_TRUE(ScatterIj1Panel());
    OpenOn(p, {2, 2, 1, 2}, [&] {
        double start = 0;
        EXPECT_GE(GetCtrlVal(p.dialog, p.number, &start), 0);
        EXPECT_DOUBLE_EQ(start, 1.5) << "\"Set\" starts at the corner cell";
        EXPECT_EQ(uitest::SetValueAsUser(p.dialog, p.radio, 2), 0);
        EXPECT_EQ(uitest::SetValueAsUser(p.dialog, p.number, 50), 0);
        EXPECT_DOUBLE_EQ(Cell(p.panel, p.table, At(0, 0)), 2.0) << "1.5 x 1.5 held at 2.000";
        EXPECT_DOUBLE_EQ(Cell(p.panel, p.table, At(0, 1)), 1.5);
        EXPECT_EQ(ecuMapData.injTrims.cells[0][0][0], 1500) << "the image is untouched";
        EXPECT_EQ(uitest::Click(p.dialog, p.cancel), 0);
    });
    EXPECT_EQ(ecuMapData.injTrims.cells[0][0][0], 1500);
    EXPECT_DOUBLE_EQ(Cell(p.panel, p.table, At(0, 0)), 1.5);
    EXPECT_DOUBLE_EQ(Cell(p.panel, p.table, At(0, 1)), 1.0);
}

TEST_F(ValueDialog, OnlyBreakpointsSelectedSaysNoSelection) {
    for (const Page& p : {Inj(), Adv()}) {
        Show(p.panel);
        for (const Rect block : {Rect{1, 2, 1, 5}, Rect{2, 1, 4, 1}}) {
            ASSERT_GE(SetActiveTableCell(p.panel, p.table, {block.left, block.top}), 0);
            ASSERT_GE(SetTableSelection(p.panel, p.table, block), 0);
            popups.ExpectMessage();
            EXPECT_EQ(uitest::SendKey(p.panel, p.table, VAL_ENTER_VKEY | VAL_MENUKEY_MODIFIER), 1);
            EXPECT_FALSE(uitest::IsPopupInstalled(p.dialog));
            EXPECT_EQ(popups.Records().back().title, p.title);
            EXPECT_EQ(popups.Records().back().text, "No selection...");
        }
    }
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

// The preview covers every cell of a block of several rows and columns, each from its own stored cell;
// choosing another option redraws the stored cells.
TEST_F(ValueDialog, PreviewOverSeveralRowsAndItsRemovalByAnOptionChange) {
    struct Case {
        bool advance;
        int option;
        double typed;
        double scale;                      // raw per shown unit
        double (*preview)(double, double); // typed, stored value shown
    };
    const Case cases[] = {
        {false, 1, 0.25, 1000, [](double v, double c) { return v + c; }},
        {true, 2, 50, 10, [](double v, double c) { return (v / 100 + 1) * c; }},
    };
    for (const Case& c : cases) {
        const Page p = c.advance ? Adv() : Inj();
        CylMiniMaps& maps = c.advance ? ecuMapData.advOffsets : ecuMapData.injTrims;
        const auto stored = [&](int r, int col) {
            return static_cast<std::int16_t>((c.advance ? -100 : 900) + 7 * r + 3 * col);
        };
        for (int r = 0; r < 8; ++r)
            for (int col = 0; col < 16; ++col)
                maps.cells[0][r][col] = stored(r, col);
        ASSERT_TRUE(c.advance ? ScatterAdvPanel() : ScatterIj1Panel());
        const auto shown = [&](int r, int col) { return stored(r, col) / c.scale; };
        OpenOn(p, {3, 4, 3, 2}, [&] { // matrix rows 1..3, columns 2..3
            EXPECT_EQ(uitest::SetValueAsUser(p.dialog, p.radio, c.option), 0);
            EXPECT_EQ(uitest::SetValueAsUser(p.dialog, p.number, c.typed), 0);
            for (int r = 0; r < 8; ++r)
                for (int col = 0; col < 16; ++col) {
                    const bool in = r >= 1 && r <= 3 && col >= 2 && col <= 3;
                    EXPECT_NEAR(Cell(p.panel, p.table, At(r, col)),
                                in ? c.preview(c.typed, shown(r, col)) : shown(r, col), 1e-9)
                        << p.title << " at " << r << "," << col;
                }
            EXPECT_EQ(maps.cells[0][2][3], stored(2, 3)) << "the image is untouched";
            EXPECT_EQ(uitest::SetValueAsUser(p.dialog, p.radio, 0.0), 0);
            for (int r = 1; r <= 3; ++r)
                for (int col = 2; col <= 3; ++col)
                    EXPECT_DOUBLE_EQ(Cell(p.panel, p.table, At(r, col)), shown(r, col))
                        << "redrawn at " << r << "," << col;
            EXPECT_EQ(uitest::Click(p.dialog, p.cancel), 0);
        });
    }
}

TEST_F(ValueDialog, CtrlEnterOpensTheDialogOnTheSelection) {
    for (const Page& p : {Inj(), Adv()}) {
        Show(p.panel);
        ASSERT_GE(SetActiveTableCell(p.panel, p.table, {5, 3}), 0);
        ASSERT_GE(SetTableSelection(p.panel, p.table, Rect{3, 5, 2, 2}), 0);
        bool opened = false;
        uitest::Later([&] {
            opened = uitest::IsPopupInstalled(p.dialog);
            EXPECT_EQ(uitest::Click(p.dialog, p.cancel), 0);
        });
        EXPECT_EQ(uitest::SendKey(p.panel, p.table, VAL_ENTER_VKEY | VAL_MENUKEY_MODIFIER), 1) << p.title;
        EXPECT_TRUE(opened) << p.title;
        EXPECT_FALSE(uitest::IsPopupInstalled(p.dialog));
    }
}

} // namespace
