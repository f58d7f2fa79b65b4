// The simulated ECU's map tuning: an automatic run converges the tracked cells and leaves the rest;
// row writes and manual freezes are reported back in Info.
#include "../ecusim/simclient.h"
#include "orvane/tuning/mtrecords.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

namespace {

constexpr std::size_t kMap1 = 40 + 0x16B30; // the four-matrix map by throttle in the mapping image

struct SimTuning : testing::Test {
    // The runs start from an empty map, so that every cell they touch shows.
    SimTuning() {
        ecu.sim.model.StoreBytes(ecu.sim.model.tuningSlot) =
            ecusim::MakeDefaultImage(ecusim::kMapImageSize, "empty");
    }

    SimClient ecu;
    std::map<int, std::int16_t> reported; // (kind << 16 | row << 8 | col) -> last value reported

    std::int16_t StoredCell(int matrix, int row, int col) {
        const auto& image = ecu.sim.model.StoreBytes(ecu.sim.model.tuningSlot);
        return static_cast<std::int16_t>(
            ecusim::GetBE16(image.data() + kMap1 + matrix * 1280 + row * 64 + col * 2));
    }

    MtInfoFrame Poll() {
        const std::uint8_t code = 1;
        const auto reply = ecu.Exchange(CMD_MAP_TUNING, std::span(&code, 1));
        EXPECT_TRUE(reply && reply->data.size() == kMtInfoSize);
        const MtInfoFrame f =
            DecodeMtInfo(std::span<const std::uint8_t, kMtInfoSize>(reply->data.data(), kMtInfoSize));
        for (const MtCellUpdate& c : f.cells)
            if (c.kind != 0) reported[c.kind << 16 | c.row << 8 | c.col] = static_cast<std::int16_t>(c.value);
        return f;
    }
};

} // namespace

TEST_F(SimTuning, AutomaticRunConvergesTrackedCellsOnly) {
    MTSETTINGS s{};
    SetTrackMode(s, 2, 4, 1);
    SetTrackMode(s, 7, 10, 2);
    s.sollLambda[0] = s.sollLambda[1] = s.sollLambda[2] = 125;
    s.tolLambda = 2;
    s.minTj = 1000;
    s.maxTj = 32000;
    s.kp = 65536;
    s.step = 100;
    s.cylMask = 0xC0; // cylinders 1 and 2
    std::array<std::uint8_t, kMtAutoSize> frame{};
    EncodeMtSettings(s, frame);
    ASSERT_TRUE(ecu.Exchange(CMD_MAP_TUNING, frame));
    MtInfoFrame last{};
    for (int i = 0; i < 300; ++i)
        last = Poll();
    EXPECT_EQ(last.state & kStateMask, 3);
    for (const auto& [row, col] : {std::pair{2, 4}, std::pair{7, 10}}) {
        const std::int16_t cell = StoredCell(0, row, col);
        EXPECT_NE(cell, 0) << "the tracked cell moved";
        EXPECT_EQ(StoredCell(1, row, col), cell) << "every selected cylinder's matrix";
        EXPECT_EQ(StoredCell(2, row, col), 0) << "cylinder 3 is not selected";
        EXPECT_EQ(reported[2 << 16 | row << 8 | col], cell) << "the workbench was told the last value";
    }
    // The engine at a converged cell reads its set-point within the tolerance.
    EXPECT_NEAR(ecu.sim.model.engine.lambda, ecu.sim.model.engine.lambdaTarget, 0.2 / 14.7);
    EXPECT_EQ(StoredCell(0, 0, 0), 0);
    EXPECT_EQ(reported.size(), 4U) << "only the tracked cells of the two cylinders were reported";
}

TEST_F(SimTuning, RowWritesAreReportedAtMostThirtyTwoAReply) {
    const std::uint8_t manual[12] = {0, 0x80, 0, 0, 0, 200, 0, 50, 0, 50, 0, 0};
    ASSERT_TRUE(ecu.Exchange(CMD_MAP_TUNING, manual));
    for (std::uint8_t row = 0; row < 2; ++row) {
        std::array<std::uint8_t, 68> request{3, 7, row, 0};
        for (int c = 0; c < 32; ++c)
            request[5 + 2 * c] = static_cast<std::uint8_t>(c + 1);
        ASSERT_TRUE(ecu.Exchange(0x1E, request));
    }
    int count = 0;
    for (const MtCellUpdate& c : Poll().cells)
        count += c.kind == 2;
    EXPECT_EQ(count, 32);
    Poll();
    EXPECT_EQ(reported.size(), 64U) << "the rest came with the next reply";
    EXPECT_EQ(reported[2 << 16 | 1 << 8 | 31], 32);
    EXPECT_EQ(StoredCell(0, 1, 31), 32);
}
