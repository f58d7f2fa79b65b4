// Blank images, every map at its defaults, and the current map and selectors at their start values.
#pragma once

#include "orvane/core/logic/images.h"
#include "orvane/maps/curmap.h"

#include <gtest/gtest.h>

#include <cstring>

struct MapImages : testing::Test {
    void SetUp() override {
        std::memset(&ecuParData, 0, sizeof ecuParData);
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
        for (int id = 1; id <= kMapCount; ++id)
            InitMp1Data(static_cast<std::uint8_t>(id));
        std::memcpy(&ecuMapRefData, &ecuMapData, sizeof ecuMapData);
        idCurMap = 1;
        std::memset(aCurMatSel, 0, sizeof aCurMatSel);
    }

    static std::uint8_t& Cylinders() { return ecuParData.b6E0[0x6E2 - 0x6E0]; }
    static std::uint8_t& Turbo() { return ecuParData.b772[0x77D - 0x772]; }
    static MapBlock Block(int id) { return FindMapDesc(id)->block(ecuMapData); }
    static MapBlock RefBlock(int id) { return FindMapDesc(id)->block(ecuMapRefData); }
    static void SetSingle(int id, bool on) { SetSingleMatBit(*FindMapDesc(id), on); }
};
