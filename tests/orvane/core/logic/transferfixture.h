// The transfers of blocks and data sets against the in-process simulated ECU, with every progress report
// recorded. No user interface.
#pragma once

#include "orvane/core/logic/datasets.h"
#include "orvane/core/logic/images.h"
#include "simecu.h"
#include "soundimage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

struct TransferLogic : testing::Test, SimEcu {
    static inline std::vector<std::pair<unsigned, unsigned>> progress;
    static void Record(unsigned done, unsigned total) { progress.emplace_back(done, total); }

    void SetUp() override {
        progress.clear();
        std::memset(&ecuParData, 0, sizeof ecuParData);
        std::memset(&ecuMapData, 0, sizeof ecuMapData);
        Attach();
    }
    void TearDown() override { CloseComPort(); }

    // The reports of one transfer of total bytes: all of that total, starting at 0, never going back, one
    // before each block of at most 255 bytes; (total, total) last exactly when the transfer was Done.
    static void ExpectProgress(std::size_t total, bool done) {
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.front().first, 0u);
        for (std::size_t i = 0; i < progress.size(); ++i) {
            EXPECT_EQ(progress[i].second, total) << "report " << i;
            if (i == 0) continue;
            EXPECT_GE(progress[i].first, progress[i - 1].first) << "report " << i;
            EXPECT_LE(progress[i].first - progress[i - 1].first, 255u) << "report " << i;
        }
        const bool reached = progress.back().first == total;
        EXPECT_EQ(reached, done);
        if (done && progress.size() > 1) {
            EXPECT_LT(progress[progress.size() - 2].first, total) << "total is reported once";
        }
    }
};
