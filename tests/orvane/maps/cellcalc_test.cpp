#include "orvane/maps/cellcalc.h"

#include <gtest/gtest.h>

namespace {

TEST(CellCalc, EditMapOperations) {
    struct Case {
        MapValOp op;
        double typed;
        std::int16_t raw;
        double scale, lo, hi;
        std::int16_t after;
    };
    const Case cases[] = {
        {MapValOp::Add, 0.05, 2345, 1000, 0, 32, 2395},    // map 1
        {MapValOp::Percent, -10, 2340, 1000, 0, 32, 2106}, // map 1
        {MapValOp::Add, -1.5, -35, 10, -720, 720, -50},    // map 3
        {MapValOp::Percent, -100, 1234, 1000, 0, 2, 0},    // every map's limits hold 0
        {MapValOp::Percent, -100, -350, 10, -720, 720, 0},
        {MapValOp::Add, 5, 30000, 1000, 0, 32, 32000}, // held at the upper limit
        {MapValOp::Set, 10, 0, 1000, 0, 32, 10000},
        {MapValOp::Set, 0.0004, 0, 1000, 0, 32, 0},        // the control steps in whole raw units
        {MapValOp::Add, 0.0005, 100, 1000, 0, 32, 101},    // half a step goes away from zero
        {MapValOp::Percent, 0.05, 1000, 1000, 0, 2, 1001}, // the percentage steps by 0.1
        {MapValOp::Percent, 50, 999, 1000, 0, 2, 1499},    // 1498.5 rounds away from zero
        {MapValOp::Add, -100, 10, 10, 0, 100, 0},          // held at the lower limit
    };
    for (const Case& c : cases) {
        const MapValOperand o = MakeMapValOperand(c.op, c.typed, c.scale);
        EXPECT_EQ(ApplyCell(o, c.raw, c.scale, c.lo, c.hi), c.after)
            << "op " << static_cast<int>(c.op) << " typed " << c.typed << " on " << c.raw;
    }
}

TEST(CellCalc, PreviewShowsWhatApplyStores) {
    const MapValOperand add = MakeMapValOperand(MapValOp::Add, 0.05, 1000);
    EXPECT_DOUBLE_EQ(PreviewCell(add, 2345, 1000, 0, 32), 2.395);
    const MapValOperand pct = MakeMapValOperand(MapValOp::Percent, -10, 1000);
    EXPECT_DOUBLE_EQ(PreviewCell(pct, 2340, 1000, 0, 32), 2.106);
    const MapValOperand set = MakeMapValOperand(MapValOp::Set, 900, 10);
    EXPECT_DOUBLE_EQ(PreviewCell(set, 0, 10, -720, 720), 720); // held within the limits
}

TEST(CellCalc, DisplayToRaw) {
    struct Case {
        double display, scale;
        std::int16_t raw;
    };
    const Case cases[] = {{12.3456, 1000, 12346}, {-0.05, 10, -1},   {-0.04, 10, 0},  {2.445, 1000, 2445},
                          {0.0005, 1000, 1},      {-720, 10, -7200}, {1e9, 1, 32767}, {-1e9, 1, -32768}};
    for (const Case& c : cases)
        EXPECT_EQ(RawFromDisplay(c.display, c.scale), c.raw) << c.display;
}

} // namespace
