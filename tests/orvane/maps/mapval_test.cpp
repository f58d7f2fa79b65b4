#include "orvane/maps/mapval.h"

#include "pagefixture.h"
#include "platform/ui/popup_script.h"

namespace {

struct EditMap : MapPage {
    // The dialog opened on a block of the map table (its first cell active), as OpenMapValDialog does
    // before its modal loop.
    void Open(Rect block) {
        ASSERT_GE(SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, {block.left, block.top}), 0);
        ASSERT_GE(SetTableSelection(hMp1Panel, MAPS1::TABmatrix, block), 0);
        ASSERT_TRUE(TakeMapValSelection());
        ASSERT_TRUE(SetupMapValDialog(true));
        ASSERT_GE(InstallPopup(hMpvPanel), 0);
        mapValContext.done = false;
    }
    static int Attr(int control, int attribute) {
        int v = 0;
        EXPECT_GE(GetCtrlAttribute(hMpvPanel, control, attribute, &v), 0);
        return v;
    }
    static double Value() {
        double v = 0;
        EXPECT_GE(GetCtrlVal(hMpvPanel, MAPVAL::NSval, &v), 0);
        return v;
    }
    // Chooses an operation, types a value and applies it.
    void Apply(int op, double value) {
        if (op != GetMapValMode()) {
            ASSERT_EQ(uitest::Click(hMpvPanel, op), 0);
        }
        ASSERT_EQ(uitest::SetValueAsUser(hMpvPanel, MAPVAL::NSval, value), 0);
        ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::CBapply), 0);
        EXPECT_TRUE(mapValContext.done);
    }
};

TEST_F(EditMap, TheBlockTaken) {
    struct Case {
        Rect selected;
        Point active;
        Rect block;
    };
    const Case cases[] = {
        {Rect{}, {3, 5}, {5, 3, 1, 1}},       // a clicked cell alone
        {{4, 2, 1, 1}, {3, 5}, {5, 3, 1, 1}}, // a one-cell selection counts as none
        {{6, 2, 1, 5}, {2, 6}, {6, 2, 1, 5}}, // one row of five
        {{1, 2, 3, 4}, {2, 1}, {2, 2, 2, 4}}, // loses the X breakpoint row
        {Rect{}, {4, 1}, Rect{}},             // the X breakpoint row alone: nothing
        {{1, 3, 1, 6}, {3, 1}, Rect{}},
    };
    for (const Case& c : cases) {
        ASSERT_GE(SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, c.active), 0);
        ASSERT_GE(SetTableSelection(hMp1Panel, MAPS1::TABmatrix, c.selected), 0);
        ASSERT_TRUE(TakeMapValSelection());
        EXPECT_EQ(mapValContext.selection, c.block);
        Rect shown;
        ASSERT_GE(GetTableSelection(hMp1Panel, MAPS1::TABmatrix, &shown), 0);
        EXPECT_EQ(shown, c.block);
    }
}

TEST_F(EditMap, NothingToEditIsSaidAndNothingOpens) {
    ASSERT_GE(SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, {5, 1}), 0);
    popups.ExpectMessage();
    EXPECT_TRUE(OpenMapValDialog());
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Edit Map");
    EXPECT_EQ(popups.Records()[0].text, "No selection...");
    EXPECT_FALSE(uitest::IsPopupInstalled(hMpvPanel));
}

TEST_F(EditMap, OpensOnTheMapsDefaultOperation) {
    struct Case {
        int map;
        int op;
        double min, max;
        const char* unit;
        bool all;
        const char* allLabel;
    };
    const Case cases[] = {
        {1, MAPVAL::RBpercAdd, -100, 100, "[%]", true, "All Cylinders"},
        {2, MAPVAL::RBpercAdd, -100, 100, "[%]", true, "All Cylinders"},
        {3, MAPVAL::RBadd, -30, 30, "[deg]", false, ""},
        {4, MAPVAL::RBpercAdd, -100, 100, "[%]", false, ""},
        {5, MAPVAL::RBpercAdd, -100, 100, "[%]", true, "All Gears"},
        {6, MAPVAL::RBadd, -30, 30, "[deg]", true, "All Gears"},
        {7, MAPVAL::RBpercAdd, -100, 100, "[%]", false, ""},
        {8, MAPVAL::RBadd, -30, 30, "[deg]", false, ""},
        {9, MAPVAL::RBpercAdd, -100, 100, "[%]", true, "All Gears"},
        {10, MAPVAL::RBadd, -30, 30, "[deg]", true, "All Gears"},
        {11, MAPVAL::RBpercAdd, -100, 100, "[%]", false, ""},
        {12, MAPVAL::RBpercAdd, -100, 100, "[%]", false, ""},
        {13, MAPVAL::RBpercAdd, -100, 100, "[%]", false, ""},
        {14, MAPVAL::RBadd, -100, 100, "[%]", true, "All Gears"},
        {15, MAPVAL::RBadd, -100, 100, "[%]", true, "All Gears"},
        {16, MAPVAL::RBadd, -100, 100, "[%]", true, "All Gears"},
        {17, MAPVAL::RBadd, -100, 100, "[%]", true, "All Gears"},
    };
    for (const Case& c : cases) {
        ShowMap(c.map);
        Open({3, 3, 1, 1});
        EXPECT_EQ(GetMapValMode(), c.op) << "map " << c.map;
        double min = 0, max = 0;
        ASSERT_GE(GetCtrlAttribute(hMpvPanel, MAPVAL::NSval, ATTR_MIN_VALUE, &min), 0);
        ASSERT_GE(GetCtrlAttribute(hMpvPanel, MAPVAL::NSval, ATTR_MAX_VALUE, &max), 0);
        EXPECT_EQ(min, c.min) << "map " << c.map;
        EXPECT_EQ(max, c.max) << "map " << c.map;
        char text[32];
        ASSERT_GE(GetCtrlAttribute(hMpvPanel, MAPVAL::NSval, ATTR_LABEL_TEXT, text), 0);
        EXPECT_STREQ(text, c.unit) << "map " << c.map;
        EXPECT_EQ(Attr(MAPVAL::TOGBall, ATTR_VISIBLE), c.all) << "map " << c.map;
        EXPECT_EQ(Attr(MAPVAL::RBcopy, ATTR_VISIBLE), c.all) << "map " << c.map;
        ASSERT_GE(GetCtrlAttribute(hMpvPanel, MAPVAL::TOGBall, ATTR_LABEL_TEXT, text), 0);
        EXPECT_STREQ(text, c.allLabel) << "map " << c.map;
        ASSERT_GE(RemovePopup(0), 0);
    }
}

TEST_F(EditMap, InterpolationNeedsThreeCellsAlongItsWay) {
    struct Case {
        int height, width;
        bool both, rows, cols;
    };
    const Case cases[] = {{3, 3, true, true, true}, {2, 5, false, true, false}, {5, 2, false, false, true}};
    for (const Case& c : cases) {
        Open({3, 3, c.height, c.width});
        EXPECT_NE(Attr(MAPVAL::RBinterp, ATTR_DIMMED), c.both) << c.height << "x" << c.width;
        EXPECT_NE(Attr(MAPVAL::RBinterpRow, ATTR_DIMMED), c.rows) << c.height << "x" << c.width;
        EXPECT_NE(Attr(MAPVAL::RBinterpCol, ATTR_DIMMED), c.cols) << c.height << "x" << c.width;
        ASSERT_GE(RemovePopup(0), 0);
    }
}

TEST_F(EditMap, ValueOperations) {
    struct Case {
        int map;
        int op;
        double value;
        std::int16_t before, after;
    };
    const Case cases[] = {
        {1, MAPVAL::RBadd, 0.05, 2345, 2395},
        {1, MAPVAL::RBpercAdd, -10, 2340, 2106},
        {3, MAPVAL::RBadd, -1.5, -35, -50},
        {1, MAPVAL::RBpercAdd, -100, 2340, 0},
        {3, MAPVAL::RBpercAdd, -100, -35, 0},
        {1, MAPVAL::RBadd, 5, 30000, 32000},
        {1, MAPVAL::RBset, 10, 0, 10000},
        {1, MAPVAL::RBset, 20, 0, 10000}, // the set range stops at 10 ms
        {13, MAPVAL::RBpercAdd, 10, 500, 550},
    };
    for (const Case& c : cases) {
        ShowMap(c.map);
        Shown()[1][1] = c.before;
        ASSERT_TRUE(ScatterMp1Panel());
        Open({3, 2, 1, 1});
        Apply(c.op, c.value);
        EXPECT_EQ(Shown()[1][1], c.after) << "map " << c.map << " op " << c.op << " " << c.value;
        EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(1, 1)), c.after / FindMapDesc(c.map)->valScale);
        ASSERT_GE(RemovePopup(0), 0);
    }
}

// The value typed is the number typed, held to the operation's range: "999" sets the advance map's cell to
// 90 degrees, the most that may be set, not to the 9 of the keys that would have fitted. The box shows what
// it holds, the preview and Apply use it.
TEST_F(EditMap, TypedValueIsHeldToTheRangeOfTheOperation) {
    struct Case {
        const char* typed;
        double value;
        std::int16_t raw;
    };
    const Case cases[] = {{"999", 90, 900}, {"-100", -90, -900}, {"1e1", 10, 100}, {"12.5", 12.5, 125}};
    ShowMap(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Shown()[1][1] = 0;
        ASSERT_TRUE(ScatterMp1Panel());
        Open({3, 2, 1, 1});
        ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::RBset), 0);
        ASSERT_EQ(uitest::SetValueAsUser(hMpvPanel, MAPVAL::NSval, c.typed), 0);
        EXPECT_EQ(Value(), c.value);
        EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(1, 1)), c.value) << "the preview";
        ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::CBapply), 0);
        EXPECT_EQ(Shown()[1][1], c.raw);
        EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(1, 1)), c.value);
        ASSERT_GE(RemovePopup(0), 0);
    }
}

TEST_F(EditMap, SetStartsFromTheBlocksFirstCell) {
    Shown()[2][4] = 4567;
    ASSERT_TRUE(ScatterMp1Panel());
    Open({4, 5, 2, 2});
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::RBset), 0);
    EXPECT_DOUBLE_EQ(Value(), 4.567);
    EXPECT_EQ(GetMapValMode(), MAPVAL::RBset);
    EXPECT_EQ(Attr(MAPVAL::RBadd, ATTR_DIMMED), 0);
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::RBreset), 0);
    EXPECT_EQ(Attr(MAPVAL::NSval, ATTR_DIMMED), 1);
}

TEST_F(EditMap, SetStartsWithinWhatMayBeSet) {
    double setMax = 0;
    Shown()[2][4] = 20000; // 20 ms: a cell value beyond what the dialog may set on map 1
    ASSERT_TRUE(ScatterMp1Panel());
    Open({4, 5, 2, 2});
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::RBset), 0);
    ASSERT_GE(GetCtrlAttribute(hMpvPanel, MAPVAL::NSval, ATTR_MAX_VALUE, &setMax), 0);
    ASSERT_LT(setMax, 20.0);
    EXPECT_DOUBLE_EQ(Value(), setMax);
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::CBapply), 0);
    EXPECT_LE(Shown()[2][4], setMax * 1000 + 0.5) << "Apply without a change stays within the set range";
}

TEST_F(EditMap, PreviewChangesTheTableOnlyAndCancelTakesItBack) {
    Shown()[0][0] = 2000;
    ASSERT_TRUE(ScatterMp1Panel());
    Open({2, 1, 1, 2});
    ASSERT_EQ(uitest::SetValueAsUser(hMpvPanel, MAPVAL::NSval, 50), 0); // percent
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(0, 0)), 3.0);
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(0, 1)), 0.0);
    EXPECT_EQ(Shown()[0][0], 2000);
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::CBcancel), 0);
    EXPECT_TRUE(mapValContext.done);
    EXPECT_DOUBLE_EQ(Cell(MAPS1::TABmatrix, At(0, 0)), 2.0);
    EXPECT_EQ(Shown()[0][0], 2000);
}

// A preview over a block of three rows and four columns: every cell of the block shows the result for its
// own value, in its own place; the cells around the block and the data image stay as they were.
TEST_F(EditMap, PreviewOfABlockShowsEachCellInItsPlace) {
    const auto raw = [](int r, int c) { return static_cast<std::int16_t>(1000 + 100 * r + 10 * c); };
    for (int r = 0; r < kMapRows; ++r)
        for (int c = 0; c < kMapCols; ++c)
            Shown()[r][c] = raw(r, c);
    ASSERT_TRUE(ScatterMp1Panel());
    struct Case {
        int op;
        double value;
        double (*shown)(std::int16_t raw); // display units
    };
    const Case cases[] = {
        {MAPVAL::RBadd, 0.25, [](std::int16_t v) { return v / 1000.0 + 0.25; }},
        {MAPVAL::RBpercAdd, 10, [](std::int16_t v) { return v * 1.1 / 1000.0; }},
        {MAPVAL::RBset, 2.5, [](std::int16_t) { return 2.5; }},
    };
    const Rect block{3, 2, 3, 4}; // matrix rows 1 .. 3, columns 1 .. 4
    for (const Case& c : cases) {
        Open(block);
        if (c.op != GetMapValMode()) {
            ASSERT_EQ(uitest::Click(hMpvPanel, c.op), 0);
        }
        ASSERT_EQ(uitest::SetValueAsUser(hMpvPanel, MAPVAL::NSval, c.value), 0);
        for (int r = 0; r <= 4; ++r)
            for (int col = 0; col <= 5; ++col) {
                const bool inside = r >= 1 && r <= 3 && col >= 1 && col <= 4;
                EXPECT_NEAR(Cell(MAPS1::TABmatrix, At(r, col)),
                            inside ? c.shown(raw(r, col)) : raw(r, col) / 1000.0, 1e-9)
                    << "op " << c.op << ", cell " << r << "," << col;
                EXPECT_EQ(Shown()[r][col], raw(r, col));
            }
        ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::CBcancel), 0);
        ASSERT_GE(RemovePopup(0), 0);
    }
}

// The page opens the dialog on a right click on the map table and on Ctrl+Enter in it: the table is
// gathered first (a typed cell counts, falling breakpoints are repaired), the dialog shows the selected
// block, and what the user applies there lands in the map.
TEST_F(EditMap, OpensFromTheMapTableByRightClickAndCtrlEnter) {
    struct Case {
        const char* what;
        int (*open)();
    };
    const Case cases[] = {
        {"right click",
         [] {
             Point at;
             EXPECT_GE(uitest::GetTableCellPoint(hMp1Panel, MAPS1::TABmatrix, At(2, 3), &at), 0);
             return uitest::SendMouse(hMp1Panel, MAPS1::TABmatrix, EVENT_RIGHT_CLICK, at.x, at.y);
         }},
        {"Ctrl+Enter",
         [] { return uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, VAL_ENTER_VKEY | VAL_MENUKEY_MODIFIER); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::fill_n(&Shown()[0][0], kMapRows * kMapCols, std::int16_t{1000});
        ecuMapData.map1.x[5] = 900;
        ecuMapData.map1.x[6] = 800; // falls: the gather before the dialog raises it
        ASSERT_TRUE(ScatterMp1Panel());
        ASSERT_GE(SetTableCellVal(hMp1Panel, MAPS1::TABmatrix, At(2, 3), 2.0), 0); // typed, not yet gathered
        ASSERT_GE(SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, At(2, 3)), 0);
        ASSERT_GE(SetTableSelection(hMp1Panel, MAPS1::TABmatrix, {At(2, 3).y, At(2, 3).x, 2, 3}), 0);
        bool shown = false;
        Rect block;
        uitest::Later([&] {
            shown = uitest::IsPopupInstalled(hMpvPanel);
            block = mapValContext.selection;
            if (shown && GetMapValMode() == MAPVAL::RBpercAdd &&
                uitest::SetValueAsUser(hMpvPanel, MAPVAL::NSval, 50) == 0)
                uitest::Click(hMpvPanel, MAPVAL::CBapply);
            mapValContext.done = true; // never leaves the dialog's loop waiting
        });
        EXPECT_EQ(c.open(), 1);
        ProcessSystemEvents(); // the user's turn, had no dialog waited for it
        EXPECT_TRUE(shown);
        EXPECT_FALSE(uitest::IsPopupInstalled(hMpvPanel));
        EXPECT_EQ(block, (Rect{At(2, 3).y, At(2, 3).x, 2, 3}));
        EXPECT_EQ(ecuMapData.map1.x[6], 900);
        for (int r = 1; r <= 4; ++r)
            for (int col = 2; col <= 6; ++col) {
                const bool inside = r >= 2 && r <= 3 && col >= 3 && col <= 5;
                const int before = r == 2 && col == 3 ? 2000 : 1000;
                EXPECT_EQ(Shown()[r][col], inside ? before * 3 / 2 : before) << r << "," << col;
            }
    }
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

TEST_F(EditMap, EscapeCancels) {
    Open({2, 1, 1, 1});
    ASSERT_EQ(uitest::SetValueAsUser(hMpvPanel, MAPVAL::NSval, 50), 0);
    EXPECT_EQ(uitest::SendKey(hMpvPanel, 0, VAL_ESC_VKEY), 1);
    EXPECT_TRUE(mapValContext.done);
    EXPECT_EQ(Shown()[0][0], 0);
}

TEST_F(EditMap, AllMatricesFollowTheToggleOrTheSingleMatrixBit) {
    const auto fill = [] {
        for (int k = 0; k < 4; ++k)
            ecuMapData.map1.cells[k][0][0] = 1000;
        ASSERT_TRUE(ScatterMp1Panel());
    };
    fill();
    Open({2, 1, 1, 1});
    Apply(MAPVAL::RBadd, 1);
    EXPECT_EQ(ecuMapData.map1.cells[0][0][0], 2000);
    EXPECT_EQ(ecuMapData.map1.cells[1][0][0], 1000);
    ASSERT_GE(RemovePopup(0), 0);

    Cylinders() = 3;
    fill();
    Open({2, 1, 1, 1});
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::TOGBall), 0);
    Apply(MAPVAL::RBadd, 1);
    EXPECT_EQ(ecuMapData.map1.cells[2][0][0], 2000);
    EXPECT_EQ(ecuMapData.map1.cells[3][0][0], 1000); // no fourth cylinder
    ASSERT_GE(RemovePopup(0), 0);

    SetSingle(1, true);
    fill();
    Open({2, 1, 1, 1});
    ASSERT_GE(SetCtrlVal(hMpvPanel, MAPVAL::TOGBall, 0), 0);
    Apply(MAPVAL::RBset, 2.5);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(ecuMapData.map1.cells[k][0][0], 2500) << k;
}

TEST_F(EditMap, CopyOfAnAccelerationMapWritesEveryGearOfTheLevel) {
    ShowMap(9);
    aCurMatSel[kSelMap9Gear] = 2;
    aCurMatSel[kSelMap9Level] = 3;
    ASSERT_TRUE(ScatterMp1Panel());
    ecuMapData.map9.cells[2][3][0][0] = 1800;
    ecuMapData.map9.cells[2][3][0][1] = 1900;
    ASSERT_TRUE(ScatterMp1Panel());
    Open({2, 1, 1, 2});
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::RBcopy), 0);
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::CBapply), 0);
    EXPECT_TRUE(mapValContext.done);
    for (int g = 0; g < kMapGears; ++g) {
        EXPECT_EQ(ecuMapData.map9.cells[g][3][0][0], 1800) << g;
        EXPECT_EQ(ecuMapData.map9.cells[g][3][0][1], 1900) << g;
        EXPECT_EQ(ecuMapData.map9.cells[g][3][0][2], 1000) << g; // outside the block
        EXPECT_EQ(ecuMapData.map9.cells[g][2][0][0], 1000) << g; // another level
    }
}

TEST_F(EditMap, InterpolateAndResetThroughTheDialog) {
    auto& m = ecuMapData.map1.cells[0];
    m[0][0] = 1000;
    m[0][2] = 3000;
    for (int i = 0; i < 3; ++i)
        ecuMapData.map1.x[i] = static_cast<std::int16_t>(1000 * (i + 1));
    ASSERT_TRUE(ScatterMp1Panel());
    Open({2, 1, 1, 3});
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::RBinterpRow), 0);
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::CBapply), 0);
    EXPECT_TRUE(mapValContext.done);
    EXPECT_EQ(m[0][1], 2000);
    ASSERT_GE(RemovePopup(0), 0);
    Open({2, 1, 1, 3});
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::RBreset), 0);
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::CBapply), 0);
    EXPECT_EQ(m[0][0], 0);
    EXPECT_EQ(m[0][1], 0);
}

} // namespace

namespace {

// Copy needs several matrices: a dialog left on Copy turns to percent-add once the map shows one matrix.
TEST_F(EditMap, CopyBecomesPercentAddOnASingleMatrixMap) {
    ShowMap(5);
    ASSERT_TRUE(ScatterMp1Panel());
    Open({2, 1, 1, 1});
    ASSERT_EQ(uitest::Click(hMpvPanel, MAPVAL::RBcopy), 0);
    ASSERT_EQ(GetMapValMode(), MAPVAL::RBcopy);
    SetSingle(5, true);
    ASSERT_TRUE(SetupMapValDialog(false));
    EXPECT_EQ(GetMapValMode(), MAPVAL::RBpercAdd);
    EXPECT_EQ(Attr(MAPVAL::RBcopy, ATTR_VISIBLE), 0);
    ASSERT_GE(RemovePopup(0), 0);
}

} // namespace
