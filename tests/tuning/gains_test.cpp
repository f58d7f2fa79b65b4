// The gains file's lines and the slider <-> gains mapping.
#include "orvane/tuning/gains.h"

#include <gtest/gtest.h>

TEST(GainsFile, LinesFillTheirRanges) {
    MtInternLimits l = kDefaultMtIntern;
    EXPECT_TRUE(ParseMtInternLine("7.0;", 0, l));
    EXPECT_EQ(l.kpFrom, 70000);
    EXPECT_EQ(l.kpTo, 0);
    EXPECT_FALSE(ParseMtInternLine("7,0;2", 0, l)) << "a malformed first value skips the line";
    EXPECT_FALSE(ParseMtInternLine("no separator", 1, l));
    EXPECT_TRUE(ParseMtInternLine("0.0524;0.0033", 1, l));
    EXPECT_EQ(l.kiFrom, 524);
    EXPECT_EQ(l.kiTo, 33);
    EXPECT_TRUE(ParseMtInternLine("0.1;0.2", 2, l));
    EXPECT_EQ(l.stepFrom, 100);
    EXPECT_EQ(l.stepTo, 200);
    const struct {
        const char* line;
        int modes;
    } modes[] = {{"0", 1}, {"-3", 1}, {"3.5", 4}, {"6", 6}, {"99999", 65535}};
    for (const auto& m : modes) {
        EXPECT_TRUE(ParseMtInternLine(m.line, 3, l));
        EXPECT_EQ(l.lambdaModes, m.modes) << m.line;
    }
}

TEST(GainsSlider, PositionsAndGainsBothWays) {
    const MtInternLimits& d = kDefaultMtIntern;
    const LambdaGains mid = LambdaGainsAt(d, 3);
    EXPECT_EQ(mid.kp, 42599);
    EXPECT_EQ(mid.ki, 279);
    EXPECT_EQ(mid.step, 150);
    EXPECT_EQ(LambdaModeOfGains(d, mid), 3);
    const LambdaGains from = LambdaGainsAt(d, 0);
    EXPECT_EQ(from.kp, d.kpFrom);
    EXPECT_EQ(LambdaModeOfGains(d, from), 0);
    const LambdaGains to = LambdaGainsAt(d, 6);
    EXPECT_EQ(to.ki, d.kiTo);
    EXPECT_EQ(LambdaModeOfGains(d, to), 6);
    EXPECT_EQ(LambdaGainsAt(d, 40).kp, d.kpTo) << "a position beyond N is held at N";
}

TEST(GainsSlider, DegenerateRangesNeverDivideByZero) {
    MtInternLimits flat{100, 100, 5, 5, 10, 10, 0};
    EXPECT_EQ(LambdaGainsAt(flat, 3).kp, 100);
    EXPECT_EQ(LambdaModeOfGains(flat, {100, 5, 10}), 0);
    flat.kpTo = 200;
    EXPECT_EQ(LambdaModeOfGains(flat, {200, 5, 10}), 1) << "only the pair with distinct ends counts";
    EXPECT_EQ(LambdaModeOfGains(kDefaultMtIntern, {-2000000000, 0, 0}), 6) << "held within 0..N";
}
