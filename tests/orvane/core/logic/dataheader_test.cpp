#include "orvane/core/logic/dataheader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(DataHeader, MakeDataHeaderBytes) {
    DataHeader header;
    std::memset(&header, 0xEE, sizeof header);
    MakeDataHeader(header);
    const auto* b = reinterpret_cast<const std::uint8_t*>(&header);
    const std::string name(reinterpret_cast<const char*>(b), 6);
    EXPECT_EQ(name, "Orvane");
    for (int i = 6; i < 30; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(b[30], 1);
    EXPECT_EQ(b[31], 13);
    EXPECT_EQ(b[32], 'a');
    for (int i = 33; i < 64; ++i)
        EXPECT_EQ(b[i], 0) << i;
}

TEST(DataHeader, CheckDataHeaderCases) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::size_t, std::uint8_t>> changes;
        int result;
    };
    const Case cases[] = {
        {"own", {}, 0},
        {"suffix only", {{32, 'b'}}, -3},
        {"suffix grows", {{33, 'x'}}, -3},
        {"sub-version", {{31, 12}}, -2},
        {"version", {{30, 2}}, -2},
        {"version and suffix", {{30, 2}, {32, 'b'}}, -2},
        {"name and version", {{0, 'X'}, {30, 2}}, -1},
        {"byte after the name", {{6, 'x'}}, -1},
        {"last name byte", {{29, 1}}, -1},
        {"last 16 bytes", {{48, 1}, {63, 0xFF}}, 0},
    };
    for (const Case& c : cases) {
        DataHeader header;
        MakeDataHeader(header);
        for (const auto& [at, value] : c.changes)
            reinterpret_cast<std::uint8_t*>(&header)[at] = value;
        EXPECT_EQ(CheckDataHeader(header), c.result) << c.what;
    }
}

} // namespace
