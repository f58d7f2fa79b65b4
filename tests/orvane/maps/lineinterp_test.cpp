#include "orvane/maps/lineinterp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(LineInterp, FitsTheKindToTheBlock) {
    struct Case {
        InterpKind kind;
        int height, width;
        bool any;
        InterpKind fitted;
    };
    const Case cases[] = {
        {InterpKind::Both, 3, 3, true, InterpKind::Both},  {InterpKind::Both, 2, 5, true, InterpKind::Rows},
        {InterpKind::Both, 5, 2, true, InterpKind::Cols},  {InterpKind::Both, 2, 2, false, InterpKind::Cols},
        {InterpKind::Rows, 9, 2, false, InterpKind::Rows}, {InterpKind::Cols, 2, 9, false, InterpKind::Cols},
    };
    for (const Case& c : cases) {
        InterpKind k = c.kind;
        EXPECT_EQ(FitInterpKind(&k, c.height, c.width), c.any) << c.height << "x" << c.width;
        if (c.any) {
            EXPECT_EQ(k, c.fitted) << c.height << "x" << c.width;
        }
    }
}

TEST(LineInterp, WeightsByBreakpointValues) {
    std::vector<double> row = {10, 0, 30};
    InterpolateBlock(InterpKind::Rows, row, 1, 3, std::vector<double>{1000, 1500, 3000},
                     std::vector<double>{0});
    EXPECT_DOUBLE_EQ(row[1], 15);
}

TEST(LineInterp, EqualEndBreakpointsGiveTheMean) {
    std::vector<double> row = {10, 99, 99, 30};
    InterpolateBlock(InterpKind::Rows, row, 1, 4, std::vector<double>{500, 600, 700, 500},
                     std::vector<double>{0});
    EXPECT_EQ(row, (std::vector<double>{20, 20, 20, 20}));
}

TEST(LineInterp, BothFromTheFourCorners) {
    // column order is row by row here: 3 rows of 3
    std::vector<double> cells = {1, 0, 3, 0, 0, 0, 2, 0, 5};
    InterpolateBlock(InterpKind::Both, cells, 3, 3, std::vector<double>{1000, 2000, 4000},
                     std::vector<double>{0, 5, 10});
    const std::vector<double> want = {1, 1 + 2.0 / 3, 3, 1.5, 1.5 + 2.5 / 3, 4, 2, 3, 5};
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_NEAR(cells[i], want[i], 1e-12) << i;
}

TEST(LineInterp, BothWithEqualEndRowsKeepsTheBottomCorners) {
    std::vector<double> cells = {2, 0, 0, 0, 0, 0, 4, 0, 8};
    // edge columns: first and inner cells take the mean, the bottom cell stays
    InterpolateBlock(InterpKind::Both, cells, 3, 3, std::vector<double>{0, 1, 2},
                     std::vector<double>{7, 8, 7});
    EXPECT_EQ(cells, (std::vector<double>{3, 3.5, 4, 3, 3.5, 4, 4, 6, 8}));
}

TEST(LineInterp, ColumnsInColumnOrder) {
    // two columns of three, each column's cells together
    std::vector<double> cells = {0, 9, 10, 100, 9, 300};
    InterpolateBlock(InterpKind::Cols, cells, 3, 2, std::vector<double>{0, 1}, std::vector<double>{0, 1, 4});
    EXPECT_EQ(cells, (std::vector<double>{0, 2.5, 10, 100, 150, 300}));
}

} // namespace
