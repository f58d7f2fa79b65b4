#include "orvane/core/logic/repairs.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using Axis = std::vector<std::int16_t>;

struct AxisCase {
    const char* name;
    Axis axis;
    Axis repaired;
    bool changed;
};

// The running maximum, compared signed; equal neighbours stay.
const AxisCase kAxisCases[] = {
    {"rising", {0, 10, 20, 30}, {0, 10, 20, 30}, false},
    {"all equal", {0, 0, 0, 0}, {0, 0, 0, 0}, false},
    {"dip in the middle", {120, 100, 140, 150}, {120, 120, 140, 150}, true},
    {"dip pulls what follows", {50, 10, 20, 60}, {50, 50, 50, 60}, true},
    {"signed compare", {-5, -10, 0, -1}, {-5, -5, 0, 0}, true},
};

TEST(Repairs, AxisBecomesItsRunningMaximum) {
    for (const AxisCase& c : kAxisCases) {
        Axis axis = c.axis;
        EXPECT_EQ(RepairAxis(axis, {}), c.changed) << c.name;
        EXPECT_EQ(axis, c.repaired) << c.name;
    }
}

// A 3 x 4 matrix (rows x columns) and a second one sharing its column axis: a column breakpoint below
// its predecessor copies the predecessor's column in both.
TEST(Repairs, LowColumnBreakpointCopiesTheColumnInEveryMatrixSharingTheAxis) {
    std::array<std::int16_t, 4> x{10, 30, 20, 40};
    std::array<std::int16_t, 12> a{}, b{};
    for (std::size_t i = 0; i < 12; ++i) {
        a[i] = static_cast<std::int16_t>(i);
        b[i] = static_cast<std::int16_t>(100 + i);
    }
    EXPECT_TRUE(RepairAxis(x, {{a, 1, 3, 4}, {b, 1, 3, 4}}));
    EXPECT_EQ(x, (std::array<std::int16_t, 4>{10, 30, 30, 40}));
    for (std::size_t r = 0; r < 3; ++r) {
        EXPECT_EQ(a[r * 4 + 2], a[r * 4 + 1]) << r;
        EXPECT_EQ(b[r * 4 + 2], b[r * 4 + 1]) << r;
        EXPECT_EQ(a[r * 4 + 3], static_cast<std::int16_t>(r * 4 + 3)) << "untouched column";
    }
}

TEST(Repairs, LowRowBreakpointCopiesTheWholeRow) {
    std::array<std::int16_t, 3> y{0, 500, 400};
    std::array<std::int16_t, 6> cells{1, 2, 3, 4, 5, 6}; // 3 rows x 2 columns
    EXPECT_TRUE(RepairAxis(y, {{cells, 2, 2, 1}}));
    EXPECT_EQ(cells, (std::array<std::int16_t, 6>{1, 2, 3, 4, 3, 4}));
}

// Curves whose equal breakpoints must carry equal values: the later point takes the earlier's value.
TEST(Repairs, EqualBreakpointsTakeEqualValuesWhereAsked) {
    std::array<std::int16_t, 4> x{0, 100, 100, 200};
    std::array<std::int16_t, 4> v{5, 6, 7, 8};
    auto kept = v;
    auto xKept = x;
    EXPECT_FALSE(RepairAxis(xKept, {{kept}}));
    EXPECT_EQ(kept, v) << "equal breakpoints may differ by default";
    EXPECT_TRUE(RepairAxis(x, {{v}}, EqualPoints::SameValues));
    EXPECT_EQ(v, (std::array<std::int16_t, 4>{5, 6, 6, 8}));
    EXPECT_FALSE(RepairAxis(x, {{v}}, EqualPoints::SameValues)) << "a repaired curve stays";
}

TEST(Repairs, LimitsAndCodes) {
    std::int16_t upper = 300, lower = 500;
    EXPECT_TRUE(RaiseToLower(upper, lower));
    EXPECT_EQ(upper, 500);
    EXPECT_FALSE(RaiseToLower(upper, lower));

    std::uint16_t cog = 20;
    EXPECT_TRUE(LowerToUpper(cog, std::uint16_t{7}));
    EXPECT_EQ(cog, 7);

    std::uint8_t code = 5;
    EXPECT_TRUE(ResetOutside<std::uint8_t>(code, 0, 2, 0));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(ResetOutside<std::uint8_t>(code, 0, 2, 0));

    std::uint16_t gain = 15;
    EXPECT_TRUE(ResetUnlessOneOf<std::uint16_t>(gain, {5, 10, 20}, 10));
    EXPECT_EQ(gain, 10);
    EXPECT_FALSE(ResetUnlessOneOf<std::uint16_t>(gain, {5, 10, 20}, 10));
}

} // namespace
