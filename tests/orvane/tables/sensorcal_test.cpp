// Calibration arithmetic: the plausibility window, the throttle axis between idle and full open, and the
// line through the inner points of a curve.
#include "orvane/tables/sensorcal.h"

#include <gtest/gtest.h>

#include <array>

TEST(SensorCal, PlausibleWindow) {
    struct Case {
        std::int16_t stored;
        int lo, hi;
    };
    for (const Case& c :
         {Case{0, 0, 150}, Case{1000, 850, 1023}, Case{500, 350, 650}, Case{1023, 873, 1023}}) {
        const AdWindow w = PlausibleWindow(c.stored);
        EXPECT_EQ(w.lo, c.lo) << c.stored;
        EXPECT_EQ(w.hi, c.hi) << c.stored;
    }
    EXPECT_TRUE(PlausibleWindow(0).Holds(150));
    EXPECT_FALSE(PlausibleWindow(0).Holds(151));
    EXPECT_FALSE(PlausibleWindow(1000).Holds(849));
}

TEST(SensorCal, SpreadBetweenIdleAndFullOpen) {
    std::array<std::int16_t, 16> axis{};
    SpreadBreakpoints(100, 850, axis);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(axis[k], 100 + 50 * k) << k;

    SpreadBreakpoints(100, 900, axis);
    const std::array<std::int16_t, 5> first{100, 153, 206, 260, 313};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(axis[k], first[k]) << "truncated, point " << k;
    EXPECT_EQ(axis[14], 846);
    EXPECT_EQ(axis[15], 900);

    SpreadBreakpoints(900, 100, axis); // a reversed sensor: falling, truncated toward zero
    EXPECT_EQ(axis[0], 900);
    EXPECT_EQ(axis[1], 846) << "846.7";
    EXPECT_EQ(axis[2], 793) << "793.3";
    EXPECT_EQ(axis[15], 100);
}

TEST(SensorCal, LinePoints) {
    EXPECT_DOUBLE_EQ(LinePoint(0.0, 15.0, 0, 16), 0.0);
    EXPECT_DOUBLE_EQ(LinePoint(0.0, 15.0, 7, 16), 7.0);
    EXPECT_DOUBLE_EQ(LinePoint(100.0, 850.0, 15, 16), 850.0);
    EXPECT_DOUBLE_EQ(LinePoint(0.0, 100.0, 1, 16), 100.0 / 15);
}
