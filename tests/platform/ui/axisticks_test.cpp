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

TEST(SurfaceAxes, GridAxisLabelsSpreadEvenlyFromFirstToLastPoint) {
    struct Case {
        std::size_t count, most;
    };
    for (const Case c : {Case{20, 8}, Case{32, 8}, Case{16, 8}, Case{10, 8}, Case{8, 8}, Case{3, 8}}) {
        SCOPED_TRACE(testing::Message() << c.count << " points");
        const std::vector<std::size_t> at = ui::LabelledPoints(c.count, c.most);
        ASSERT_FALSE(at.empty());
        EXPECT_EQ(at.front(), 0u);
        EXPECT_EQ(at.back(), c.count - 1);
        EXPECT_LE(at.size(), c.most);
        EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
        // No gap between labels, those at the ends too, narrower than labelling every so many points that
        // at most most labels fit would leave.
        const std::size_t spacing = (c.count + c.most - 1) / c.most;
        for (std::size_t k = 1; k < at.size(); ++k)
            EXPECT_GE(at[k] - at[k - 1], spacing) << "labels " << at[k - 1] << " and " << at[k];
    }
}

} // namespace
