#include "orvane/maps/interp.h"
#include "pagefixture.h"

#include <vector>

namespace {

using BlockOps = MapPage;

// Map 1 with X breakpoints 1000, 2000, 4000 from column 2 on and Y breakpoints 0, 50, 100 from row 3 on.
void SetAxes() {
    const std::int16_t x[] = {1000, 2000, 4000};
    const std::int16_t y[] = {0, 50, 100};
    for (int i = 0; i < 3; ++i) {
        ecuMapData.map1.x[1 + i] = x[i];
        ecuMapData.map1.y[2 + i] = y[i];
    }
}

std::vector<std::int16_t> Cells1(int row, int col, int height, int width) {
    std::vector<std::int16_t> out;
    for (int r = row; r < row + height; ++r)
        for (int c = col; c < col + width; ++c)
            out.push_back(ecuMapData.map1.cells[0][r][c]);
    return out;
}

TEST_F(BlockOps, InterpolationFromTheCornersOverTheBreakpoints) {
    SetAxes();
    auto& m = ecuMapData.map1.cells[0];
    m[2][1] = 1000;
    m[2][3] = 3000;
    m[4][1] = 2000;
    m[4][3] = 5000;
    ASSERT_TRUE(ScatterMp1Panel());
    const Point corner = At(2, 1);
    ASSERT_TRUE(InterpMapSelection(MAPVAL::RBinterp, corner.y, corner.x, 3, 3));
    EXPECT_EQ(Cells1(2, 1, 3, 3),
              (std::vector<std::int16_t>{1000, 1667, 3000, 1500, 2333, 4000, 2000, 3000, 5000}));
    EXPECT_EQ(m[1][1], 0); // outside the block
}

TEST_F(BlockOps, SmallBlocksInterpolateWhatTheyCan) {
    SetAxes();
    struct Case {
        int op, height, width;
        std::vector<std::int16_t> after; // the block, row by row
    };
    // Block at matrix [2][1]; row 2 holds 1000 ? 3000, row 3 holds 2000 ? 5000 (the ? cells 0).
    const Case cases[] = {
        {MAPVAL::RBinterp, 2, 2, {1000, 0, 2000, 0}},                   // nothing to do
        {MAPVAL::RBinterp, 2, 3, {1000, 1667, 3000, 2000, 3000, 5000}}, // rows only
        {MAPVAL::RBinterpCol, 2, 3, {1000, 0, 3000, 2000, 0, 5000}},    // too low for columns
    };
    for (const Case& c : cases) {
        auto& m = ecuMapData.map1.cells[0];
        const std::int16_t start[2][3] = {{1000, 0, 3000}, {2000, 0, 5000}};
        for (int r = 0; r < 2; ++r)
            for (int col = 0; col < 3; ++col)
                m[2 + r][1 + col] = start[r][col];
        ASSERT_TRUE(ScatterMp1Panel());
        const Point corner = At(2, 1);
        EXPECT_TRUE(InterpMapSelection(c.op, corner.y, corner.x, c.height, c.width));
        EXPECT_EQ(Cells1(2, 1, c.height, c.width), c.after) << c.op << " " << c.height << "x" << c.width;
    }
    EXPECT_FALSE(InterpMapSelection(MAPVAL::RBinterp, 4, 2, 0, 3));
    EXPECT_FALSE(InterpMapSelection(MAPVAL::RBset, 4, 2, 3, 3));
}

TEST_F(BlockOps, EqualEndBreakpointsMakeTheRowItsMean) {
    auto& m = ecuMapData.map1.cells[0];
    m[0][0] = 1000;
    m[0][1] = 7777;
    m[0][2] = 2000; // all X breakpoints are 0
    ASSERT_TRUE(ScatterMp1Panel());
    ASSERT_TRUE(InterpMapSelection(MAPVAL::RBinterpRow, 2, 1, 1, 3));
    EXPECT_EQ(Cells1(0, 0, 1, 3), (std::vector<std::int16_t>{1500, 1500, 1500}));
}

TEST_F(BlockOps, ResetRestoresOnlyTheBlock) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            ecuMapData.map1.cells[0][r][c] = static_cast<std::int16_t>(9000 + r * 10 + c);
    ecuMapData.map1.x[0] = 77;
    ecuMapData.map2.cells[0][0][0] = 4444;
    ASSERT_TRUE(ScatterMp1Panel());
    ASSERT_TRUE(ResetMapSelection(At(1, 1).y, At(1, 1).x, 2, 2));
    EXPECT_EQ(Cells1(1, 1, 2, 2), (std::vector<std::int16_t>{0, 0, 0, 0}));
    EXPECT_EQ(Cells1(0, 0, 1, 2), (std::vector<std::int16_t>{9000, 9001}));
    EXPECT_EQ(ecuMapData.map1.cells[0][3][3], 9033);
    EXPECT_EQ(ecuMapData.map1.x[0], 77);
    EXPECT_EQ(ecuMapData.map2.cells[0][0][0], 4444);
    EXPECT_FALSE(ResetMapSelection(2, 1, 0, 1));
}

TEST_F(BlockOps, ResetInSingleMatrixModeKeepsTheMatricesAligned) {
    SetSingle(1, true);
    for (int k = 0; k < 4; ++k)
        ecuMapData.map1.cells[k][0][0] = 1234;
    ASSERT_TRUE(ScatterMp1Panel());
    ASSERT_TRUE(ResetMapSelection(2, 1, 1, 1));
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(ecuMapData.map1.cells[k][0][0], 0) << k;
}

} // namespace
