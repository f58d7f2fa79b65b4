#include "appfixture.h"
#include "orvane/core/ui/ecudata.h"

namespace {

using EcuDataTest = AppFixture;

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
