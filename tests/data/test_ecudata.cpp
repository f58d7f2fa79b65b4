#include "appfixture.h"

#include <vector>

namespace {

using EcuDataTest = AppFixture;

TEST_F(EcuDataTest, MakeDataHeaderBytes) {
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

TEST_F(EcuDataTest, CheckDataHeaderCases) {
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

TEST_F(EcuDataTest, ReferenceCopies) {
    EXPECT_FALSE(IsEcuDataChanged(1));
    EXPECT_FALSE(IsEcuDataChanged(2));
    ecuMapData.endMarker = 1; // the very last byte counts
    EXPECT_FALSE(IsEcuDataChanged(1));
    EXPECT_TRUE(IsEcuDataChanged(2));
    EXPECT_FALSE(IsEcuDataChanged(3));
    CopyEcuDataToRef(3);
    EXPECT_TRUE(IsEcuDataChanged(2));
    CopyEcuDataToRef(2);
    EXPECT_FALSE(IsEcuDataChanged(2));
}

TEST_F(EcuDataTest, NothingChangedExitsWithoutAsking) {
    EXPECT_TRUE(DiscardNewEcuData());
    EXPECT_TRUE(popups.Records().empty()) << popups.Report();
}

TEST_F(EcuDataTest, ExitListsWhatChanged) {
    struct Case {
        bool par, map, answer;
        const char* text;
    };
    const Case cases[] = {
        {true, true, false,
         "Updated ECU file data:\n- Configuration data\n- Mapping data\n\nExit without saving changes?"},
        {false, true, true, "Updated ECU file data:\n- Mapping data\n\nExit without saving changes?"},
        {true, false, true, "Updated ECU file data:\n- Configuration data\n\nExit without saving changes?"},
    };
    for (const Case& c : cases) {
        InitEcuRefData();
        if (c.par) ecuParData.notes[0] ^= 1;
        if (c.map) ecuMapData.map9.cells[5][5][19][31] ^= 1;
        ScriptedPopups script;
        script.AnswerConfirm(c.answer);
        EXPECT_EQ(DiscardNewEcuData(), c.answer);
        ASSERT_TRUE(script.AllExpected()) << script.Report();
        EXPECT_EQ(script.Records()[0].title, "Updated ECU file");
        EXPECT_EQ(script.Records()[0].text, c.text);
    }
}

} // namespace
