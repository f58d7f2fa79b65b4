#include "graphfixture.h"
#include "orvane/maps/mapval.h"
#include "platform/ui/uitest.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Graph2D = GraphWindows;

std::vector<int> Selection() {
    return {selected.begin(), selected.begin() + nSelected};
}

int CellBg(Point cell) {
    return MapPage::CellAttr(MAPS1::TABmatrix, cell, ATTR_TEXT_BGCOLOR);
}

TEST_F(Graph2D, CursorCellIsSharedByTableGraphAndPlot) {
    // Table -> graph and plot.
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(4, 9)), 0);
    EXPECT_EQ(curCol, 9);
    EXPECT_EQ(curRow, 4);
    EXPECT_EQ(PlotCursor(), (Point{9, 4}));
    int plot = 0, index = 0;
    ASSERT_GE(GetGraphCursorIndex(hGrpPanel, GRAPH::Graph2D, 1, &plot, &index), 0);
    EXPECT_EQ(index, 9);
    // Graph -> table and plot: arrows move along the line and across lines.
    EXPECT_EQ(GraphKey(VAL_RIGHT_ARROW_VKEY), 1);
    EXPECT_EQ(GraphKey(VAL_UP_ARROW_VKEY), 1);
    EXPECT_EQ(ActiveCell(), At(5, 10));
    EXPECT_EQ(PlotCursor(), (Point{10, 5}));
    // Plot -> table and graph.
    EXPECT_EQ(uitest::SendKey(hPltPanel, PLOT::Graph3D, VAL_DOWN_ARROW_VKEY), 1);
    EXPECT_EQ(uitest::SendKey(hPltPanel, PLOT::Graph3D, VAL_LEFT_ARROW_VKEY), 1);
    EXPECT_EQ(ActiveCell(), At(4, 9));
    EXPECT_EQ(curCol, 9);
    EXPECT_EQ(curRow, 4);
    // '+' in the plot steps the cell under its cursor.
    EXPECT_EQ(uitest::SendKey(hPltPanel, PLOT::Graph3D, '+'), 1);
    EXPECT_EQ(Shown()[4][9], RawValue(4, 9) + 1);
}

// Whatever moves the table to another cell (a map, a matrix or a level chosen), the 3-D cursor goes
// with it, also while the 2-D graph is closed: its keys act on the cell the user sees.
TEST_F(Graph2D, PlotCursorFollowsEveryChangeOfTheCurrentCell) {
    struct Case {
        const char* what;
        int map;
        std::function<int()> change;
    };
    const Case cases[] = {
        {"tab", 1, [] { return uitest::SelectTab(hMp1Panel, MAPS1::TPselectMap, 4); }},
        {"gear", 5, [] { return uitest::SetValueAsUser(hMp1Panel, MAPS1::NUMcylGear, 3); }},
        {"level", 9, [] { return uitest::SetValueAsUser(hMp1Panel, MAPS1::RBbpz, 2); }},
    };
    for (const bool graphUp : {true, false}) {
        ASSERT_TRUE(ShowGrpPanel(graphUp));
        for (const Case& c : cases) {
            ShowMap(c.map);
            ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(4, 9)), 0) << c.what;
            ASSERT_EQ(PlotCursor(), (Point{9, 4})) << c.what;
            ASSERT_GE(c.change(), 0) << c.what;
            ASSERT_EQ(ActiveCell(), At(0, 0)) << c.what;
            EXPECT_EQ(PlotCursor(), (Point{0, 0})) << c.what << (graphUp ? "" : ", 2-D graph closed");
        }
    }
    // '+' in the 3-D window then steps the cell the table shows.
    const std::int16_t before = Shown()[0][0];
    EXPECT_EQ(uitest::SendKey(hPltPanel, PLOT::Graph3D, '+'), 1);
    EXPECT_EQ(Shown()[0][0], before + 1);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

TEST_F(Graph2D, ArrowsStopAtTheEdgesOfTheMatrix) {
    struct Case {
        Point from; // matrix column, row
        int key;
        Point to;
    };
    const Case cases[] = {
        {{0, 3}, VAL_LEFT_ARROW_VKEY, {0, 3}},    {{31, 3}, VAL_RIGHT_ARROW_VKEY, {31, 3}},
        {{5, 0}, VAL_DOWN_ARROW_VKEY, {5, 0}},    {{5, 19}, VAL_UP_ARROW_VKEY, {5, 19}},
        {{30, 3}, VAL_RIGHT_ARROW_VKEY, {31, 3}},
    };
    for (const Case& c : cases) {
        ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(c.from.y, c.from.x)), 0);
        EXPECT_EQ(GraphKey(c.key), 1);
        EXPECT_EQ(ActiveCell(), At(c.to.y, c.to.x)) << c.from.x << "," << c.from.y;
        // The plot refuses nothing either: its cursor stays inside the matrix, no popup.
        ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(c.from.y, c.from.x)), 0);
        EXPECT_EQ(uitest::SendKey(hPltPanel, PLOT::Graph3D, c.key), 1);
        EXPECT_EQ(ActiveCell(), At(c.to.y, c.to.x)) << c.from.x << "," << c.from.y;
    }
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

// The graphs move the table's cursor cell: the cell the table shows selected goes with it and is the one
// '+' changes. A block the user selected stays, and the Edit-Map dialog works on it.
TEST_F(Graph2D, SelectedCellIsTheCursorCellWhicheverWindowMovesIt) {
    struct Case {
        const char* what;
        Point from; // matrix column, row clicked first
        std::function<void()> move;
        Point to;
    };
    const Case cases[] = {
        {"3-D arrows",
         {9, 4},
         [] {
             uitest::SendKey(hPltPanel, PLOT::Graph3D, VAL_RIGHT_ARROW_VKEY);
             uitest::SendKey(hPltPanel, PLOT::Graph3D, VAL_UP_ARROW_VKEY);
         },
         {10, 5}},
        {"2-D arrows",
         {9, 4},
         [] {
             GraphKey(VAL_LEFT_ARROW_VKEY);
             GraphKey(VAL_DOWN_ARROW_VKEY);
         },
         {8, 3}},
        {"2-D click on another point", {9, 4}, [] { Mouse(EVENT_LEFT_CLICK, PixelOf(14)); }, {14, 4}},
        {"2-D box",
         {9, 4},
         [] {
             Mouse(EVENT_RIGHT_CLICK, {PixelOf(11).x - 2, PixelOf(11).y + 30});
             Mouse(EVENT_RIGHT_CLICK_UP, {PixelOf(13).x + 2, PixelOf(13).y - 30});
         },
         {11, 4}},
        {"graph tick off the breakpoint row", {9, -1}, [] { GrpTimer(); }, {9, 0}},
    };
    for (const Case& c : cases) {
        ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(c.from.y, c.from.x)), 0) << c.what;
        c.move();
        const Point cell = At(c.to.y, c.to.x);
        ASSERT_EQ(ActiveCell(), cell) << c.what;
        Rect selected;
        ASSERT_GE(GetTableSelection(hMp1Panel, MAPS1::TABmatrix, &selected), 0);
        EXPECT_EQ(selected, (Rect{cell.y, cell.x, 1, 1})) << c.what;
        const std::int16_t before = Shown()[c.to.y][c.to.x];
        EXPECT_EQ(uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, '+'), 1) << c.what;
        EXPECT_EQ(Shown()[c.to.y][c.to.x], before + 1) << c.what;
    }
    const Rect block{At(2, 3).y, At(2, 3).x, 4, 5};
    ASSERT_GE(uitest::DragTableSelection(hMp1Panel, MAPS1::TABmatrix, At(2, 3), At(5, 7)), 0);
    EXPECT_EQ(GraphKey(VAL_RIGHT_ARROW_VKEY), 1); // the graph redraws and makes its cursor cell active
    EXPECT_EQ(ActiveCell(), At(5, 8));
    ASSERT_TRUE(TakeMapValSelection());
    EXPECT_EQ(mapValContext.selection, block);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

TEST_F(Graph2D, RowAndColumnLinesComeFromTheMatrixAndItsReference) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(kRefRow, 3)), 0);
    EXPECT_EQ(nPoints, kMapCols);
    for (int i : {0, 3, 31}) {
        EXPECT_DOUBLE_EQ(lineX[i], 500.0 * (i + 1));
        EXPECT_DOUBLE_EQ(lineY[i], RawValue(kRefRow, i) / 1000.0);
        EXPECT_DOUBLE_EQ(refY[i], (RawValue(kRefRow, i) - 150) / 1000.0);
    }
    EXPECT_DOUBLE_EQ(Value(GRAPH::NUMvalX), 2000);
    EXPECT_DOUBLE_EQ(Value(GRAPH::NUMvalY), 30.0);
    EXPECT_DOUBLE_EQ(Value(GRAPH::NUMvalZ), RawValue(kRefRow, 3) / 1000.0);
    EXPECT_NEAR(Value(GRAPH::NUMdeltaVar), 0.150, 1e-12);
    EXPECT_NEAR(Value(GRAPH::NUMpercVar), 100.0 * 150 / (RawValue(kRefRow, 3) - 150), 1e-9);

    ASSERT_EQ(uitest::Click(hGrpPanel, GRAPH::TBselectAxis), 0); // column mode
    EXPECT_EQ(nPoints, kMapRows);
    EXPECT_EQ(Selection(), std::vector<int>{kRefRow});
    for (int i : {0, kRefRow, 19}) {
        EXPECT_DOUBLE_EQ(lineX[i], 5.0 * i);
        EXPECT_DOUBLE_EQ(lineY[i], RawValue(i, 3) / 1000.0);
        EXPECT_DOUBLE_EQ(refY[i], (RawValue(i, 3) - (i == kRefRow ? 150 : 0)) / 1000.0);
    }
    EXPECT_EQ(TextAttr(hGrpPanel, GRAPH::Graph2D, ATTR_XNAME), "Throttle [°]");
    EXPECT_EQ(TextAttr(hGrpPanel, GRAPH::Graph2D, ATTR_YNAME), GetCurMapValLabel());
}

TEST_F(Graph2D, PercentAgainstAZeroReferenceIsBlank) {
    RefBlock(1).cells[0][2][2] = 0;
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(2, 2)), 0);
    int visible = 1;
    ASSERT_GE(GetCtrlAttribute(hGrpPanel, GRAPH::NUMpercVar, ATTR_VISIBLE, &visible), 0);
    EXPECT_EQ(visible, 0);
    EXPECT_DOUBLE_EQ(Value(GRAPH::NUMdeltaVar), RawValue(2, 2) / 1000.0);
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(2, 3)), 0);
    ASSERT_GE(GetCtrlAttribute(hGrpPanel, GRAPH::NUMpercVar, ATTR_VISIBLE, &visible), 0);
    EXPECT_EQ(visible, 1);
    EXPECT_DOUBLE_EQ(Value(GRAPH::NUMpercVar), 0);
}

TEST_F(Graph2D, RubberBandSelectsThePointsInsideItWhicheverWayDrawn) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(2, 0)), 0);
    // A box around points 4 .. 7, cornered half-way to their neighbours.
    const Point a = PixelOf(3), b = PixelOf(4), c = PixelOf(7), d = PixelOf(8);
    const Point low{(a.x + b.x) / 2, b.y + 20};
    const Point high{(c.x + d.x) / 2, c.y - 20};
    for (const auto& [from, to] : {std::pair{low, high}, std::pair{high, low}}) {
        EXPECT_EQ(Mouse(EVENT_RIGHT_CLICK, from), 1);
        EXPECT_EQ(Mouse(EVENT_MOUSE_POINTER_MOVE, to), 1);
        EXPECT_EQ(Mouse(EVENT_RIGHT_CLICK_UP, to), 1);
        EXPECT_EQ(Selection(), (std::vector<int>{4, 5, 6, 7}));
        EXPECT_EQ(curCol, 4); // the first selected point is the cursor
        EXPECT_EQ(ActiveCell(), At(2, 4));
        EXPECT_EQ(CellBg(At(2, 6)), 0xC0C0C0);
        EXPECT_EQ(CellBg(At(2, 8)), VAL_WHITE);
        ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(2, 0)), 0);
        EXPECT_EQ(Selection(), std::vector<int>{0});
    }
    // An empty box keeps the cursor point alone.
    const Point empty{PixelOf(10).x, PixelOf(10).y - 60};
    Mouse(EVENT_RIGHT_CLICK, empty);
    Mouse(EVENT_RIGHT_CLICK_UP, {empty.x + 3, empty.y - 3});
    EXPECT_EQ(Selection(), std::vector<int>{0});
    // Hiding the window clears the table's marks.
    ASSERT_TRUE(ShowGrpPanel(false));
    EXPECT_EQ(CellBg(At(2, 0)), VAL_WHITE);
}

TEST_F(Graph2D, ClickOnAnotherPointMakesItTheOnlyCursorPoint) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(3, 0)), 0);
    EXPECT_EQ(Mouse(EVENT_LEFT_CLICK, PixelOf(12)), 1);
    EXPECT_EQ(curCol, 12);
    EXPECT_EQ(Selection(), std::vector<int>{12});
    EXPECT_EQ(ActiveCell(), At(3, 12));
    EXPECT_EQ(PlotCursor(), (Point{12, 3}));
    // A click that hits no point changes nothing.
    EXPECT_EQ(Mouse(EVENT_LEFT_CLICK, {PixelOf(20).x, PixelOf(20).y - 80}), 1);
    EXPECT_EQ(curCol, 12);
}

TEST_F(Graph2D, DragOnOnePointSetsItToTheMouseValue) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(3, 5)), 0);
    const Point start = PixelOf(5);
    EXPECT_EQ(Mouse(EVENT_LEFT_CLICK, start), 1);
    int color = 0;
    ASSERT_GE(GetCursorAttribute(hGrpPanel, GRAPH::Graph2D, 1, ATTR_CURSOR_COLOR, &color), 0);
    EXPECT_EQ(color, VAL_CYAN);
    const Point to{start.x, start.y - 40};
    double x = 0, y = 0;
    ASSERT_EQ(GetGraphCoordsFromPoint(hGrpPanel, GRAPH::Graph2D, to, &x, &y), 1);
    EXPECT_EQ(Mouse(EVENT_MOUSE_POINTER_MOVE, to), 1);
    EXPECT_NEAR(Shown()[3][5], y * 1000, 1.0);
    EXPECT_EQ(Shown()[3][6], RawValue(3, 6));
    EXPECT_EQ(Mouse(EVENT_LEFT_CLICK_UP, to), 1);
    ASSERT_GE(GetCursorAttribute(hGrpPanel, GRAPH::Graph2D, 1, ATTR_CURSOR_COLOR, &color), 0);
    EXPECT_EQ(color, VAL_YELLOW);
    EXPECT_EQ(Mouse(EVENT_MOUSE_POINTER_MOVE, {to.x, to.y - 40}), 0); // the drag is over
}

TEST_F(Graph2D, DragOfSeveralPointsScalesThemByTheCursorRatio) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(3, 5)), 0);
    const Point a = PixelOf(4), c = PixelOf(8);
    Mouse(EVENT_RIGHT_CLICK, {a.x + 2, a.y + 30});
    Mouse(EVENT_RIGHT_CLICK_UP, {c.x - 2, c.y - 30});
    ASSERT_EQ(Selection(), (std::vector<int>{5, 6, 7}));
    const Point start = PixelOf(5);
    EXPECT_EQ(Mouse(EVENT_LEFT_CLICK, start), 1); // on the cursor point: the selection stays
    ASSERT_EQ(Selection(), (std::vector<int>{5, 6, 7}));
    const Point to{start.x, start.y - 60};
    Mouse(EVENT_MOUSE_POINTER_MOVE, to);
    Mouse(EVENT_LEFT_CLICK_UP, to);
    const double ratio = Shown()[3][5] / static_cast<double>(RawValue(3, 5));
    EXPECT_GT(ratio, 1.05);
    for (int col : {6, 7})
        EXPECT_NEAR(Shown()[3][col], RawValue(3, col) * ratio, 1.5) << col;
    EXPECT_EQ(Shown()[3][8], RawValue(3, 8));
}

TEST_F(Graph2D, StepKeysReachTheNextWholeValue) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(0, 0)), 0);
    // 47 * (48 / 47) is 47.99999999999999 in double precision; many raw values behave so.
    for (const int v : {47, 94, 1000, 12345, 31999}) {
        Shown()[0][0] = static_cast<std::int16_t>(v);
        ASSERT_TRUE(ScatterMp1Panel());
        EXPECT_EQ(GraphKey('+'), 1);
        EXPECT_EQ(Shown()[0][0], v + 1) << v;
        EXPECT_EQ(GraphKey('-' | VAL_MENUKEY_MODIFIER), 1);
        EXPECT_EQ(Shown()[0][0], v - 9) << v;
    }
}

TEST_F(Graph2D, StepWithSeveralPointsScalesOrAdds) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(0, 0)), 0);
    struct Case {
        int cursor; // raw value of the cursor point
        int other;  // raw value of the second selected point
        int key;
        int cursorAfter, otherAfter;
    };
    const Case cases[] = {
        {100, 250, '+', 101, 252},                           // 250 x 101/100 = 252.5, cut
        {0, 250, '+', 1, 251},                               // cursor at 0: the difference is added
        {200, 0, '+' | VAL_ALT_MODIFIER, 300, 0},            // 0 x 1.5 stays 0
        {1000, 3000, '-' | VAL_MENUKEY_MODIFIER, 990, 2970}, // exact: 2970, not 2969
    };
    for (const Case& c : cases) {
        Shown()[0][0] = static_cast<std::int16_t>(c.cursor);
        Shown()[0][1] = static_cast<std::int16_t>(c.other);
        ASSERT_TRUE(ScatterMp1Panel());
        ASSERT_EQ(SetMultipleCursor(lineX[0], -1e9, lineX[1], 1e9), 0);
        ASSERT_EQ(nSelected, 2);
        EXPECT_EQ(GraphKey(c.key), 1);
        EXPECT_EQ(Shown()[0][0], c.cursorAfter) << c.cursor << " " << c.other;
        EXPECT_EQ(Shown()[0][1], c.otherAfter) << c.cursor << " " << c.other;
    }
}

TEST_F(Graph2D, UnchangedValueChangesNothing) {
    // A drag of several points to an axis that starts at 0: old and new both 0.
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(0, 0)), 0);
    Shown()[0][0] = 0;
    ASSERT_TRUE(ScatterMp1Panel());
    ASSERT_EQ(SetMultipleCursor(lineX[0], -1e9, lineX[5], 1e9), 0);
    EXPECT_EQ(MoveCursor(0, 0), 0);
    EXPECT_EQ(MoveCursor(1000, 1000), 0);
    for (int col = 1; col <= 5; ++col)
        EXPECT_EQ(Shown()[0][col], RawValue(0, col)) << col;
    // The same through the mouse: the cursor point dragged below the axis, which starts at 0.
    const Point start = PixelOf(0);
    Mouse(EVENT_LEFT_CLICK, start);
    Mouse(EVENT_MOUSE_POINTER_MOVE, {start.x, start.y + 300});
    Mouse(EVENT_LEFT_CLICK_UP, {start.x, start.y + 300});
    for (int col = 1; col <= 5; ++col)
        EXPECT_EQ(Shown()[0][col], RawValue(0, col)) << col;
}

TEST_F(Graph2D, NoEditWhileTheTableIsOnTheBreakpointRow) {
    Shown()[2][4] = 1; // differs from the reference: a reset would show
    ASSERT_TRUE(ScatterMp1Panel());
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, {5, 1}), 0);
    EXPECT_EQ(curRow, -1);
    EXPECT_DOUBLE_EQ(Value(GRAPH::NUMvalZ), 0);
    std::vector<std::int16_t> before(&Shown()[0][0], &Shown()[0][0] + kMapRows * kMapCols);
    const auto x = ecuMapData.map1.x[4];
    for (const int key : {int{'+'}, int{'-'}, '+' | VAL_ALT_MODIFIER, 'Z' | VAL_MENUKEY_MODIFIER})
        GraphKey(key);
    uitest::Click(hGrpPanel, GRAPH::CBresetSingle);
    uitest::Click(hGrpPanel, GRAPH::CBresetAll);
    ASSERT_EQ(uitest::Click(hGrpPanel, GRAPH::TBselectAxis), 0);
    uitest::Click(hGrpPanel, GRAPH::CBresetAll);
    EXPECT_EQ(std::vector<std::int16_t>(&Shown()[0][0], &Shown()[0][0] + kMapRows * kMapCols), before);
    EXPECT_EQ(ecuMapData.map1.x[4], x);
    // One tick later the cursor is back on the first matrix row.
    EXPECT_TRUE(GrpTimer());
    EXPECT_EQ(ActiveCell(), At(0, 4));
    EXPECT_EQ(curRow, 0);
}

TEST_F(Graph2D, ResetsTakeTheReferenceValues) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(kRefRow, 2)), 0);
    ASSERT_EQ(SetMultipleCursor(lineX[2], -1e9, lineX[4], 1e9), 0);
    EXPECT_EQ(GraphKey('Z' | VAL_MENUKEY_MODIFIER), 1); // the cursor cell alone
    EXPECT_EQ(Shown()[kRefRow][2], RawValue(kRefRow, 2) - 150);
    EXPECT_EQ(Shown()[kRefRow][3], RawValue(kRefRow, 3));
    ASSERT_EQ(uitest::Click(hGrpPanel, GRAPH::CBresetAll), 0); // the whole line
    for (int col = 0; col < kMapCols; ++col)
        EXPECT_EQ(Shown()[kRefRow][col], RawValue(kRefRow, col) - 150) << col;
    EXPECT_EQ(Shown()[kRefRow + 1][2], RawValue(kRefRow + 1, 2));
}

TEST_F(Graph2D, AutoScaleKeepsTheLineAndCursorInsideWholeUnits) {
    struct Case {
        int low, high; // raw extremes of the matrix
        int cursor;    // raw value at the cursor
        double min, max;
    };
    const Case cases[] = {
        {2345, 12345, 5000, 2, 13},  // value divisor 1000: whole milliseconds around the data
        {2345, 13000, 13000, 2, 14}, // the cursor on the top gets one more unit above it
        {2000, 12345, 2000, 1, 13},  // and at the bottom one below
        {0, 12345, 0, 0, 13},        // never below the map's minimum
        {5000, 5000, 5000, 4, 6},    // a flat matrix, cursor on both limits
    };
    for (const Case& c : cases) {
        std::fill_n(&Shown()[0][0], kMapRows * kMapCols, static_cast<std::int16_t>(c.low));
        Shown()[19][31] = static_cast<std::int16_t>(c.high);
        Shown()[0][0] = static_cast<std::int16_t>(c.cursor);
        ASSERT_TRUE(ScatterMp1Panel());
        int mode = 0;
        double min = 0, max = 0;
        ASSERT_GE(GetAxisScalingMode(hGrpPanel, GRAPH::Graph2D, VAL_LEFT_YAXIS, &mode, &min, &max), 0);
        EXPECT_EQ(min, c.min) << c.low << " " << c.high << " " << c.cursor;
        EXPECT_EQ(max, c.max) << c.low << " " << c.high << " " << c.cursor;
        EXPECT_EQ(Value(GRAPH::NUMmaxScaleY), c.max);
    }
    // The advance map reaches below zero: the axis still holds its lowest value.
    ShowMap(3);
    Shown()[0][0] = -125;
    ASSERT_TRUE(ScatterMp1Panel());
    int mode = 0;
    double min = 0, max = 0;
    ASSERT_GE(GetAxisScalingMode(hGrpPanel, GRAPH::Graph2D, VAL_LEFT_YAXIS, &mode, &min, &max), 0);
    EXPECT_LE(min, -12.5);
}

TEST_F(Graph2D, ScaleLimitsAreTheUsersOnlyWithoutAutoScale) {
    ASSERT_EQ(uitest::SetValueAsUser(hGrpPanel, GRAPH::NUMmaxScaleY, 20.0), 0);
    EXPECT_EQ(Value(GRAPH::NUMmaxScaleY), valAxisMax); // auto-scale on: the old limit comes back
    ASSERT_EQ(uitest::Click(hGrpPanel, GRAPH::CBautoScale), 0);
    ASSERT_EQ(uitest::SetValueAsUser(hGrpPanel, GRAPH::NUMmaxScaleY, 20.0), 0);
    int mode = 0;
    double min = 0, max = 0;
    ASSERT_GE(GetAxisScalingMode(hGrpPanel, GRAPH::Graph2D, VAL_LEFT_YAXIS, &mode, &min, &max), 0);
    EXPECT_EQ(max, 20.0);
    // A maximum below the minimum is raised to it and the empty range widened by one raw unit.
    ASSERT_EQ(uitest::SetValueAsUser(hGrpPanel, GRAPH::NUMminScaleY, 5.0), 0);
    ASSERT_EQ(uitest::SetValueAsUser(hGrpPanel, GRAPH::NUMmaxScaleY, 3.0), 0);
    ASSERT_GE(GetAxisScalingMode(hGrpPanel, GRAPH::Graph2D, VAL_LEFT_YAXIS, &mode, &min, &max), 0);
    EXPECT_DOUBLE_EQ(min, 4.999);
    EXPECT_DOUBLE_EQ(max, 5.001);
    ASSERT_EQ(uitest::SetValueAsUser(hGrpPanel, GRAPH::NUMminScaleX, 1000.0), 0);
    ASSERT_GE(GetAxisScalingMode(hGrpPanel, GRAPH::Graph2D, VAL_XAXIS, &mode, &min, &max), 0);
    EXPECT_EQ(min, 1000.0);
    EXPECT_EQ(max, 16000.0);
}

std::pair<double, double> AxisRange(int axis) {
    int mode = 0;
    std::pair<double, double> r;
    EXPECT_GE(GetAxisScalingMode(hGrpPanel, GRAPH::Graph2D, axis, &mode, &r.first, &r.second), 0);
    return r;
}

// In column mode the line runs over the Y breakpoints: the cursor's own value at either limit of the
// matrix still gets one more display unit of axis, wherever the cursor is.
TEST_F(Graph2D, AutoScaleInColumnModeAroundACursorOnALimit) {
    struct Case {
        int cursor; // raw value at the cursor cell (row 7, column 11); the matrix spans 2345 .. 12345
        double min, max;
    };
    const Case cases[] = {{5000, 2, 13}, {12345, 2, 13}, {13000, 2, 14}, {2000, 1, 13}, {2345, 2, 13}};
    ASSERT_EQ(uitest::Click(hGrpPanel, GRAPH::TBselectAxis), 0);
    ASSERT_EQ(isRowMode, 0);
    for (const Case& c : cases) {
        std::fill_n(&Shown()[0][0], kMapRows * kMapCols, std::int16_t{2345});
        Shown()[19][0] = 12345;
        Shown()[7][11] = static_cast<std::int16_t>(c.cursor);
        ASSERT_TRUE(ScatterMp1Panel());
        ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(7, 11)), 0);
        ASSERT_EQ(CursorIndex(), 7);
        EXPECT_EQ(AxisRange(VAL_LEFT_YAXIS), std::make_pair(c.min, c.max)) << c.cursor;
        EXPECT_EQ(AxisRange(VAL_XAXIS), std::make_pair(0.0, 95.0)) << c.cursor; // the Y breakpoints
        EXPECT_EQ(Value(GRAPH::NUMminScaleX), 0.0);
        EXPECT_EQ(Value(GRAPH::NUMmaxScaleX), 95.0);
    }
}

// In column mode the X-axis limits are the Y breakpoints' range: auto-scale puts that limit back, and
// without auto-scale an edit changes it and leaves the speed range alone.
TEST_F(Graph2D, ScaleLimitsInColumnModeAreTheYBreakpoints) {
    ASSERT_EQ(uitest::Click(hGrpPanel, GRAPH::TBselectAxis), 0);
    ASSERT_EQ(uitest::SetValueAsUser(hGrpPanel, GRAPH::NUMminScaleX, 20.0), 0);
    EXPECT_EQ(Value(GRAPH::NUMminScaleX), 0.0);
    EXPECT_EQ(AxisRange(VAL_XAXIS), std::make_pair(0.0, 95.0));
    ASSERT_EQ(uitest::Click(hGrpPanel, GRAPH::CBautoScale), 0);
    ASSERT_EQ(uitest::SetValueAsUser(hGrpPanel, GRAPH::NUMminScaleX, 20.0), 0);
    ASSERT_EQ(uitest::SetValueAsUser(hGrpPanel, GRAPH::NUMmaxScaleX, 60.0), 0);
    EXPECT_EQ(AxisRange(VAL_XAXIS), std::make_pair(20.0, 60.0));
    EXPECT_EQ(yAxisMin, 20.0);
    EXPECT_EQ(yAxisMax, 60.0);
    EXPECT_EQ(xAxisMin, 500.0);
    EXPECT_EQ(xAxisMax, 16000.0);
    // An edited value axis holds in column mode too, and a redraw keeps the user's limits.
    ASSERT_EQ(uitest::SetValueAsUser(hGrpPanel, GRAPH::NUMmaxScaleY, 9.0), 0);
    ASSERT_TRUE(ScatterMp1Panel());
    EXPECT_EQ(AxisRange(VAL_LEFT_YAXIS).second, 9.0);
    EXPECT_EQ(AxisRange(VAL_XAXIS), std::make_pair(20.0, 60.0));
}

TEST_F(Graph2D, HelpKeyShowsTheHelpText) {
    popups.ExpectMessage();
    EXPECT_EQ(GraphKey(VAL_F1_VKEY), 1);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Graph 2D - Help");
    EXPECT_EQ(GraphKey('a'), 0);
}

} // namespace

namespace {

// Headless there is no OpenGL: the 3-D window shows a notice in place of the view, and the map editor,
// the 2-D graph and the plot's cursor and keys work on.
TEST_F(GraphWindows, PlotWithoutOpenGLLeavesTheEditorWorking) {
    EXPECT_EQ(Graph3DViewAvailable(), 0);
    EXPECT_TRUE(uitest::IsPanelVisible(hPltPanel));
    EXPECT_EQ(uitest::PressKeyInView(hPltPanel, PLOT::Graph3D, '+'), UIE_BadControl); // no view
    EXPECT_TRUE(ScatterPltPanel());
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(3, 3)), 0);
    EXPECT_EQ(PlotCursor(), (Point{3, 3}));
    EXPECT_EQ(uitest::SendKey(hPltPanel, PLOT::Graph3D, '+'), 1);
    EXPECT_EQ(Shown()[3][3], RawValue(3, 3) + 1);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

// On a single-matrix map every change of the drag is aligned over the other matrices, with the progress
// bar; the button let go meanwhile still ends the drag.
TEST_F(Graph2D, ReleaseDuringTheAlignmentOfADragStepEndsTheDrag) {
    SetSingle(1, true);
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(3, 5)), 0);
    const Point start = PixelOf(5);
    const Point to{start.x, start.y - 40};
    EXPECT_EQ(Mouse(EVENT_LEFT_CLICK, start), 1);
    uitest::Later([&] { Mouse(EVENT_LEFT_CLICK_UP, to); });
    EXPECT_EQ(Mouse(EVENT_MOUSE_POINTER_MOVE, to), 1);
    ProcessSystemEvents();
    const std::int16_t dragged = Shown()[3][5];
    EXPECT_NE(dragged, RawValue(3, 5));
    int color = 0;
    ASSERT_GE(GetCursorAttribute(hGrpPanel, GRAPH::Graph2D, 1, ATTR_CURSOR_COLOR, &color), 0);
    EXPECT_EQ(color, VAL_YELLOW) << "the drag is over";
    EXPECT_EQ(Mouse(EVENT_MOUSE_POINTER_MOVE, {to.x, to.y - 40}), 0); // no button held: a plain move
    EXPECT_EQ(Shown()[3][5], dragged);
    SetSingle(1, false);
}

} // namespace

namespace {

using Plot3DData = GraphWindows;

double PairOf(int axis, int pair) {
    double v = 0;
    EXPECT_GE(GetGraph3DValuePair(hPltPanel, PLOT::Graph3D, axis, pair, &v), 0);
    return v;
}

std::pair<double, double> RangeOf(int axis) {
    std::pair<double, double> r;
    EXPECT_GE(GetGraph3DAxisRange(hPltPanel, PLOT::Graph3D, axis, &r.first, &r.second), 0);
    return r;
}

// The surface over X (speed) and Y (throttle), each grid point the cell of its column and row; the axes
// carry the breakpoints at their value pairs and run from the first breakpoint to the last.
TEST_F(Plot3DData, PlotGetsTheCurrentMatrixAndItsBreakpoints) {
    ecuMapData.map1.cells[2][7][11] = 4321; // cylinder 3
    ASSERT_EQ(uitest::SetValueAsUser(hMp1Panel, MAPS1::NUMcylGear, 3), 0);
    for (int i = 0; i < kMapCols; ++i)
        for (int j = 0; j < kMapRows; ++j) {
            double x = 0, y = 0, z = 0;
            ASSERT_GE(GetGraph3DPoint(hPltPanel, PLOT::Graph3D, i, j, &x, &y, &z), 0);
            EXPECT_DOUBLE_EQ(x, 500.0 * (i + 1));
            EXPECT_DOUBLE_EQ(y, 5.0 * j);
            EXPECT_DOUBLE_EQ(z, (i == 11 && j == 7 ? 4321 : RawValue(j, i)) / 1000.0) << i << "," << j;
        }
    for (int k = 1; k <= kMapCols; ++k)
        EXPECT_DOUBLE_EQ(PairOf(1, k), 500.0 * k);
    for (int k = 1; k <= kMapRows; ++k)
        EXPECT_DOUBLE_EQ(PairOf(2, k), 5.0 * (k - 1));
    EXPECT_EQ(RangeOf(1), std::make_pair(500.0, 16000.0));
    EXPECT_EQ(RangeOf(2), std::make_pair(0.0, 95.0));
    EXPECT_EQ(TextAttr(hPltPanel, PLOT::Graph3D, ATTR_XNAME), " EngineSpeed [rpm]");
    EXPECT_EQ(TextAttr(hPltPanel, PLOT::Graph3D, ATTR_YNAME), "Throttle [°]");
    EXPECT_EQ(TextAttr(hPltPanel, PLOT::Graph3D, ATTR_ZNAME), "TerogBase(3) [ms]");
    // Breakpoints that fall, or that are all equal, still give the range from the first to the last.
    for (int i = 0; i < kMapCols; ++i)
        ecuMapData.map1.x[i] = static_cast<std::int16_t>(16000 - 500 * i);
    std::fill_n(ecuMapData.map1.y, kMapRows, std::int16_t{300});
    ASSERT_TRUE(ScatterPltPanel());
    EXPECT_EQ(RangeOf(1), std::make_pair(16000.0, 500.0));
    EXPECT_EQ(RangeOf(2), std::make_pair(30.0, 30.0));
    EXPECT_DOUBLE_EQ(PairOf(1, 2), 15500);
    EXPECT_DOUBLE_EQ(PairOf(2, 20), 30);
}

// The plot starts only on a graph of three axes, 32 value pairs on X and 20 on Y; before its first
// redraw the axes are captioned "bp_X", "bp_Y", "bp_Z".
TEST_F(Plot3DData, SetUpChecksTheGraphsAxes) {
    const std::string screen(kScreenUir);
    const std::string good = "pairs=32|20|0";
    ASSERT_NE(screen.find(good), std::string::npos);
    for (const char* bad : {"pairs=31|20|0", "pairs=33|20|0", "pairs=32|19|0", "pairs=32|20"}) {
        std::string text = screen;
        text.replace(text.find(good), good.size(), bad);
        RegisterResource("screen.uir", text);
        ScriptedPopups refusal;
        refusal.ExpectMessage();
        ReleasePltPanel();
        EXPECT_FALSE(InitPltPanel()) << bad;
        EXPECT_EQ(hPltPanel, -1) << bad;
        ASSERT_EQ(refusal.Records().size(), 1u) << bad;
        EXPECT_EQ(refusal.Records()[0].title, "3D Plot Panel");
        EXPECT_EQ(refusal.Records()[0].text, "Some error occurred...");
    }
    RegisterResource("screen.uir", kScreenUir);
    ASSERT_TRUE(InitPltPanel());
    EXPECT_EQ(TextAttr(hPltPanel, PLOT::Graph3D, ATTR_XNAME), "bp_X");
    EXPECT_EQ(TextAttr(hPltPanel, PLOT::Graph3D, ATTR_YNAME), "bp_Y");
    EXPECT_EQ(TextAttr(hPltPanel, PLOT::Graph3D, ATTR_ZNAME), "bp_Z");
    ASSERT_TRUE(ScatterPltPanel()); // for the tests after this one
    ASSERT_TRUE(ShowPltPanel(true));
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
}

} // namespace
