// The simulator's default data sets as a tuner reads them.
#include "ecusim/model.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

std::int16_t MapWord(const ecusim::EcuModel& model, ecusim::Store slot, std::size_t offset) {
    return static_cast<std::int16_t>(
        ecusim::GetBE16(&model.StoreBytes(slot).at(ecusim::kPrefixSize + offset)));
}

} // namespace

// The auxiliary output is configured as switched by engine speed: its relay curve rises over engine
// speeds and closes once, at a speed the engine reaches.
TEST(SimDataSets, RelayCurveRisesOverEngineSpeedAndSwitchesOnce) {
    const ecusim::EcuModel model = ecusim::MakeEcuModel("");
    ASSERT_NE(model.ParByte(0x7B6), 0) << "by engine speed";
    constexpr std::size_t kValues = 0x28C88, kBreakpoints = 0x28CA8;
    for (const ecusim::Store slot : {ecusim::Store::Slot1, ecusim::Store::Slot2}) {
        int switches = 0;
        for (std::size_t k = 0; k < 16; ++k) {
            const std::int16_t rpm = MapWord(model, slot, kBreakpoints + 2 * k);
            const std::int16_t state = MapWord(model, slot, kValues + 2 * k);
            EXPECT_TRUE(rpm >= 0 && rpm <= 12000) << k;
            EXPECT_TRUE(state == 0 || state == 1) << k;
            if (k == 0) continue;
            EXPECT_GT(rpm, MapWord(model, slot, kBreakpoints + 2 * k - 2)) << k;
            switches += state != MapWord(model, slot, kValues + 2 * k - 2);
        }
        EXPECT_EQ(MapWord(model, slot, kValues), 0) << "open at low speed";
        EXPECT_EQ(switches, 1);
    }
}
