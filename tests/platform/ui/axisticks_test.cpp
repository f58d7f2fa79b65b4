// The marks of the 3-D view's axes: round values on the value axis, labels that stay apart at the ends.
#include "platform/ui/axisticks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(SurfaceAxes, ValueAxisIsTickedAtRoundValuesAndLeavesTheFloorUnlabelled) {
    struct Case {
        double min, max;
        std::vector<double> ticks;
        std::vector<std::string> labels;
    };
    const Case kCases[] = {
        {2.729, 8.775, {2, 4, 6, 8, 10}, {"", "4", "6", "8", "10"}}, // an injection time in ms
        {0.95, 1.07, {0.95, 1.0, 1.05, 1.1}, {"", "1.00", "1.05", "1.10"}},
        {-20.5, -10.3, {-25, -20, -15, -10}, {"", "-20", "-15", "-10"}},
        {-3.2, 4.1, {-4, -2, 0, 2, 4, 6}, {"", "-2", "0", "2", "4", "6"}},
        {5, 5, {4, 4.5, 5, 5.5, 6}, {"", "4.5", "5.0", "5.5", "6.0"}}, // a flat map
        {0, 9000, {0, 2000, 4000, 6000, 8000, 10000}, {"", "2000", "4000", "6000", "8000", "10000"}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.min << " .. " << c.max);
        const ui::ValueTicks t = ui::RoundValueTicks(c.min, c.max);
        ASSERT_EQ(t.at.size(), c.ticks.size());
        for (std::size_t k = 0; k < c.ticks.size(); ++k)
            EXPECT_NEAR(t.at[k], c.ticks[k], 1e-9) << k;
        EXPECT_DOUBLE_EQ(t.lo, c.ticks.front());
        EXPECT_DOUBLE_EQ(t.hi, c.ticks.back());
        std::vector<std::string> labels;
        for (const QString& l : t.labels)
            labels.push_back(l.toStdString());
        EXPECT_EQ(labels, c.labels);
    }
}

// Where the points lie along an axis, as the maps' breakpoints put them: evenly, or crowded at one end
// (the throttle's fine steps, once labelled "0", "6", "13" one upon the other). The labels go from the first
// point to the last, no two nearer each other than eight labels spread over the whole axis would be, and
// spread evenly: no gap twice another.
TEST(SurfaceAxes, GridAxisLabelsStayApartWhereverThePointsLie) {
    constexpr std::size_t kMost = 8;
    const auto spread = [](std::vector<double> at) {
        for (double& v : at)
            v = (v - at.front()) / (at.back() - at.front());
        return at;
    };
    const auto evenly = [&](std::size_t count) {
        std::vector<double> at;
        for (std::size_t i = 0; i < count; ++i)
            at.push_back(static_cast<double>(i));
        return spread(at);
    };
    std::vector<double> revolutions;
    for (int c = 0; c < 32; ++c)
        revolutions.push_back(2.0 * c * (c + 1));
    struct Case {
        const char* what;
        std::vector<double> at;
    };
    const Case kCases[] = {
        {"32 engine speeds evenly", evenly(32)},
        {"20 throttle openings evenly", evenly(20)},
        {"8 points evenly", evenly(8)},
        {"3 points", evenly(3)},
        {"throttle in fine steps at its start",
         spread({0, 2, 4, 6, 8, 10, 13, 16, 20, 25, 30, 36, 42, 50, 58, 66, 75, 84, 92, 100})},
        {"revolutions in fine steps at their start", spread(revolutions)},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::size_t> labelled = ui::LabelledPoints(c.at, kMost);
        ASSERT_GE(labelled.size(), 2u);
        EXPECT_LE(labelled.size(), kMost);
        EXPECT_EQ(labelled.front(), 0u);
        EXPECT_EQ(labelled.back(), c.at.size() - 1);
        double least = 1, most = 0;
        for (std::size_t k = 1; k < labelled.size(); ++k) {
            const double gap = c.at[labelled[k]] - c.at[labelled[k - 1]];
            EXPECT_GE(gap, (1 - 1e-9) / (kMost - 1))
                << "labels " << labelled[k - 1] << " and " << labelled[k];
            least = std::min(least, gap);
            most = std::max(most, gap);
        }
        EXPECT_LT(most, 2 * least);
    }
}

} // namespace
