// The sub-frames byte for byte and the Info reply taken apart.
#include "bytes.h"
#include "orvane/tuning/mtrecords.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

TEST(TuningRecords, SettingsTravelBigEndianAndComeBack) {
    MTSETTINGS s{};
    s.trackA[0] = 0x80000001;
    s.rpmMargin = 150;
    s.minTh2o = -53;
    s.flags = 0x81;
    s.cylMask = 0x80;
    s.kp = 65536;
    s.step = 100;
    s.singleMul = 1;
    s.msCellHold = 0x1234;
    std::array<std::uint8_t, kMtAutoSize> b{};
    EncodeMtSettings(s, b);
    EXPECT_EQ((std::array<int, 4>{b[0], b[1], b[2], b[3]}), (std::array<int, 4>{0x80, 0, 0, 1}));
    EXPECT_EQ(b[160], 0);
    EXPECT_EQ(b[161], 150);
    EXPECT_EQ(b[162], 0xFF);
    EXPECT_EQ(b[163], 0xCB);
    EXPECT_EQ(b[178], 0x81);
    EXPECT_EQ(b[179], 0x80);
    EXPECT_EQ((std::array<int, 4>{b[180], b[181], b[182], b[183]}), (std::array<int, 4>{0, 1, 0, 0}));
    EXPECT_EQ(b[190], 1);
    EXPECT_EQ(b[198], 0x12);
    const MTSETTINGS back = DecodeMtSettings(b);
    EXPECT_EQ(std::memcmp(&back, &s, sizeof s), 0);
}

TEST(TuningRecords, SmallFramesAndTrackModes) {
    std::array<std::uint8_t, kMtAdjustSize> adjust{};
    EncodeMtAdjust({static_cast<std::uint16_t>(-300), 0, 1}, adjust);
    EXPECT_EQ(adjust, (std::array<std::uint8_t, 4>{0xFE, 0xD4, 0, 1}));
    std::array<std::uint8_t, kMtFreezeSize> freeze{};
    EncodeMtFreeze({1050, 0xC0, {0, 0, 0}}, freeze);
    EXPECT_EQ(freeze, (std::array<std::uint8_t, 6>{0x04, 0x1A, 0xC0, 0, 0, 0}));
    MTSETTINGS s{};
    for (int mode : {3, 1, 2, 0}) {
        SetTrackMode(s, 19, 31, mode);
        EXPECT_EQ(TrackModeOf(s, 19, 31), mode);
    }
    SetTrackMode(s, 0, 1, 2);
    EXPECT_EQ(s.trackA[0], 2U);
    EXPECT_EQ(s.trackB[0], 0U);
    EXPECT_EQ(TrackModeOf(s, 20, 0), 0) << "outside the table";
}

TEST(TuningRecords, InfoCellWordsTakenApart) {
    std::array<std::uint8_t, kMtInfoSize> b{};
    b[0] = 0x0B;
    b[1] = 0xB8; // 3000 rpm
    b[10] = 0xFF;
    b[11] = 0xFF; // no setpoint
    b[30] = 0x3B;
    const std::uint16_t word = 3 << 12 | 31 << 6 | 19;
    PutBE16(b, 34 + 4 * 31, word);
    b[36 + 4 * 31] = 0x30;
    b[37 + 4 * 31] = 0x39;
    const MtInfoFrame f = DecodeMtInfo(b);
    EXPECT_EQ(f.rpm, 3000);
    EXPECT_EQ(f.setpoint, -1);
    EXPECT_EQ(f.state, 0x3B);
    EXPECT_EQ(f.cells[31].kind, 3);
    EXPECT_EQ(f.cells[31].col, 31);
    EXPECT_EQ(f.cells[31].row, 19);
    EXPECT_EQ(f.cells[31].value, 12345);
    EXPECT_EQ(f.cells[0].kind, 0);
}
