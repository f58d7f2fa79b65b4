// Breakpoint repairs: a falling point is raised to its predecessor and takes what belongs to it; a
// linearization also levels the values of equal breakpoints.
#include "orvane/tables/axisfix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

Curve16 MakeCurve(std::vector<std::int16_t> x, std::vector<std::int16_t> values) {
    Curve16 curve{};
    // Points beyond those given continue the last one's breakpoint upward, one step each.
    for (int i = 0; i < 16; ++i) {
        const auto at = static_cast<std::size_t>(i);
        curve.x[i] = at < x.size() ? x[at] : static_cast<std::int16_t>(x.back() + (i - x.size() + 1));
        curve.values[i] = at < values.size() ? values[at] : static_cast<std::int16_t>(i);
    }
    return curve;
}

} // namespace

TEST(AxisFix, CurvesTable) {
    struct Case {
        const char* what;
        EqualPoints equal;
        std::vector<std::int16_t> x, values;    // as typed
        std::vector<std::int16_t> wantX, wantV; // repaired (first points)
        bool changed;
    };
    const Case cases[] = {
        {"rising axis stays",
         EqualPoints::SameValues,
         {100, 300, 400},
         {1, 2, 3},
         {100, 300, 400},
         {1, 2, 3},
         false},
        {"a dip takes the left point",
         EqualPoints::SameValues,
         {100, 300, 200},
         {1, 2, 3},
         {100, 300, 300},
         {1, 2, 2},
         true},
        {"a descending run flattens at the last good point",
         EqualPoints::Allowed,
         {500, 400, 300, 600},
         {7, 8, 9, 10},
         {500, 500, 500, 600},
         {7, 7, 7, 10},
         true},
        {"equal points keep their values on a correction curve",
         EqualPoints::Allowed,
         {10, 10, 20},
         {1, 2, 3},
         {10, 10, 20},
         {1, 2, 3},
         false},
        {"equal points take equal values on a linearization",
         EqualPoints::SameValues,
         {10, 10, 10, 20},
         {1, 2, 3, 4},
         {10, 10, 10, 20},
         {1, 1, 1, 4},
         true},
        {"signed comparison",
         EqualPoints::Allowed,
         {-300, -400, 0},
         {1, 2, 3},
         {-300, -300, 0},
         {1, 1, 3},
         true},
    };
    for (const Case& c : cases) {
        Curve16 curve = MakeCurve(c.x, c.values);
        EXPECT_EQ(FixCurve(curve, c.equal), c.changed) << c.what;
        EXPECT_TRUE(std::equal(c.wantX.begin(), c.wantX.end(), curve.x)) << c.what;
        EXPECT_TRUE(std::equal(c.wantV.begin(), c.wantV.end(), curve.values)) << c.what;
        EXPECT_FALSE(FixCurve(curve, c.equal)) << c.what << ": a repaired curve needs no more repair";
    }
}

TEST(AxisFix, SharedAxisDipCopiesTheColumnInEveryCylinder) {
    CylMiniMaps maps{};
    for (int m = 0; m < 4; ++m)
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 16; ++c)
                maps.cells[m][r][c] = static_cast<std::int16_t>(1000 * m + 20 * r + c);
    for (int c = 0; c < 16; ++c)
        maps.x[c] = static_cast<std::int16_t>(1000 * c);
    for (int r = 0; r < 8; ++r)
        maps.y[r] = static_cast<std::int16_t>(100 * r);
    maps.x[5] = 2000; // below column 4's 4000
    maps.y[3] = -1;   // below row 2's 200

    ASSERT_TRUE(FixCylMiniMaps(maps));
    EXPECT_EQ(maps.x[5], 4000);
    EXPECT_EQ(maps.x[6], 6000) << "a later rising point stays";
    EXPECT_EQ(maps.y[3], 200);
    for (int m = 0; m < 4; ++m) {
        for (int r = 0; r < 8; ++r) {
            const int sourceRow = r == 3 ? 2 : r;
            EXPECT_EQ(maps.cells[m][r][5], 1000 * m + 20 * sourceRow + 4) << m << "," << r;
            EXPECT_EQ(maps.cells[m][r][6], 1000 * m + 20 * sourceRow + 6) << m << "," << r;
        }
        for (int c = 0; c < 16; ++c)
            EXPECT_EQ(maps.cells[m][3][c], maps.cells[m][2][c]) << m << "," << c;
    }
    EXPECT_FALSE(FixCylMiniMaps(maps));
}

TEST(AxisFix, MiniMapEqualBreakpointsKeepTheirCells) {
    MiniMap map{};
    map.x[0] = 1000;
    map.x[1] = 3000;
    map.x[2] = 2000;
    for (int c = 3; c < 16; ++c)
        map.x[c] = 3000;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 16; ++c)
            map.cells[r][c] = static_cast<std::int16_t>(16 * r + c);
    ASSERT_TRUE(FixMiniMap(map));
    EXPECT_EQ(map.x[2], 3000);
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(map.cells[r][2], 16 * r + 1);
        EXPECT_EQ(map.cells[r][3], 16 * r + 3) << "equal breakpoints are allowed in a map";
    }
}
