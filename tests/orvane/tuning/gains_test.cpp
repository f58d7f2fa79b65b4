// The gains file's lines and the slider <-> gains mapping.
#include "orvane/tuning/gains.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

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

// The file is read from the working directory: each case runs in a directory of its own.
TEST(GainsFile, WhatTheFileLacksKeepsTheBuiltInRange) {
    const auto home = std::filesystem::current_path();
    const auto dir = std::filesystem::temp_directory_path() / ("mtintern-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    std::filesystem::remove(kMtInternFile);
    EXPECT_FALSE(ReadMtInternFile()) << "no file";
    EXPECT_EQ(mtInternLimits.kpFrom, kDefaultMtIntern.kpFrom);
    std::ofstream(kMtInternFile) << "# gains\n\n6.5536;1.9661\n0.0524;0.0033\n0.1;0.2\n6\n";
    EXPECT_TRUE(ReadMtInternFile());
    const MtInternLimits read = mtInternLimits;
    EXPECT_EQ(std::memcmp(&read, &kDefaultMtIntern, sizeof read), 0) << "the defaults written out";
    std::ofstream(kMtInternFile) << "1;2\n";
    EXPECT_TRUE(ReadMtInternFile());
    EXPECT_EQ(mtInternLimits.kpFrom, 10000);
    EXPECT_EQ(mtInternLimits.kiFrom, kDefaultMtIntern.kiFrom);
    EXPECT_EQ(mtInternLimits.lambdaModes, kDefaultMtIntern.lambdaModes);
    std::filesystem::current_path(home);
    std::filesystem::remove_all(dir);
    mtInternLimits = kDefaultMtIntern;
}
