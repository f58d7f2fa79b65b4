// A tuning start from off reads the ECU's configuration and mapping data over the images. Pressed over
// edits not saved, Manual and Auto ask first: No starts nothing and keeps the edits, Yes starts and
// synchronises; with nothing unsaved they start without a question.
#include "orvane/core/logic/ecucmds.h"
#include "orvane/core/logic/images.h"
#include "tuningfixture.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <vector>

namespace {

struct StartButton {
    const char* what;
    int button;
    void (*show)();         // the tuning page in the mode that shows the button
    std::size_t frameBytes; // the start frame's data: Manual or Auto
};

const StartButton kStartButtons[] = {
    {"Manual", MAPS2::CBtuneManual, TuningTest::ShowManualPage, kMtManualSize},
    {"Auto", MAPS2::CBtuneAuto, TuningTest::ShowAutomaticPage, kMtAutoSize},
};

struct StartQuestionTest : TuningTest {
    // The start frames written since the mark.
    static std::size_t StartFrames(const SimLink& link, std::size_t mark, std::size_t frameBytes) {
        const auto frames = TuningFrames(link, mark);
        return static_cast<std::size_t>(
            std::ranges::count_if(frames, [&](const auto& f) { return f[1] == frameBytes; }));
    }

    // The data areas read since the mark.
    static std::set<int> AreasRead(const SimLink& link, std::size_t mark) {
        std::set<int> areas;
        for (std::size_t i = mark; i < link.requests.size(); ++i)
            if (link.requests[i][2] == CMD_READ_BLOCK) areas.insert(GetBE16(link.requests[i], 7));
        return areas;
    }

    // The page of the button on screen, the link open (the load question answered No) and cylinder 1
    // chosen, so that the start buttons can be pressed.
    SimLink& Ready(const StartButton& b) {
        b.show();
        SimLink& link = Open();
        EXPECT_EQ(uitest::SetValueAsUser(hMp2Panel, MAPS2::TBcyl1, 1.0), 0);
        Tick();
        return link;
    }

    // Off pressed, and the ticks until the ECU has stopped and the maps are read back; then the link
    // closed, which the page sees.
    static void StopAndClose() {
        EXPECT_EQ(uitest::Click(hMp2Panel, MAPS2::CBtuneOff), 0);
        for (int t = 0; t < 5 && IsMapTuning(); ++t)
            Tick();
        Tick();
        CloseComPort();
        Mp2Timer();
    }
};

} // namespace

TEST_F(StartQuestionTest, EditsNotSavedAreAskedAboutAndNoStartsNothing) {
    for (const StartButton& b : kStartButtons) {
        SCOPED_TRACE(b.what);
        SimLink& link = Ready(b);
        InitEcuRefData();                      // as a file loaded
        ecuMapData.map1.cells[0][2][4] = 1234; // then a cell of the map under tuning edited
        const EcuMapData edited = ecuMapData;

        std::size_t mark = link.requests.size();
        popups.PressEnter();
        ASSERT_EQ(uitest::Click(hMp2Panel, b.button), 0);
        ASSERT_FALSE(popups.Records().empty());
        const ScriptedPopups::Record& asked = popups.Records().back();
        EXPECT_EQ(asked.title, "Map Tuning");
        EXPECT_EQ(asked.text, "Updated ECU file data:\n- Mapping data\n\n"
                              "Start tuning and replace them with the ECU's data?");
        EXPECT_EQ(asked.enter, ConfirmDefault::No) << "Enter keeps the edits";
        Tick();
        Tick();
        for (const auto& f : TuningFrames(link, mark))
            EXPECT_EQ(DataOf(f), std::vector<std::uint8_t>{1}) << "only the idle poll: nothing started";
        EXPECT_FALSE(IsMapTuning());
        EXPECT_TRUE(AreasRead(link, mark).empty());
        EXPECT_EQ(std::memcmp(&ecuMapData, &edited, sizeof edited), 0) << "the edits stay";
        EXPECT_EQ(CtrlAttr(hMp2Panel, b.button, ATTR_DIMMED), 0) << "and the button can be pressed again";

        mark = link.requests.size();
        popups.AnswerConfirm(true);
        ASSERT_EQ(uitest::Click(hMp2Panel, b.button), 0);
        for (int t = 0; t < 3; ++t)
            Tick();
        EXPECT_EQ(StartFrames(link, mark, b.frameBytes), 1U);
        EXPECT_TRUE(IsMapTuning());
        EXPECT_EQ(AreasRead(link, mark),
                  (std::set<int>{AREA_PAR, AREA_MAP_TUNING, AREA_TUNING_4X_BLOCK, AREA_TUNING_1X_BLOCK}))
            << "the whole synchronisation of a start";
        EXPECT_EQ(ecuMapData.map1.cells[0][2][4], 0) << "the ECU's cell";
        StopAndClose();
    }
}

TEST_F(StartQuestionTest, NothingUnsavedStartsWithoutAQuestion) {
    for (const StartButton& b : kStartButtons) {
        SCOPED_TRACE(b.what);
        SimLink& link = Ready(b);
        InitEcuRefData();
        const std::size_t mark = link.requests.size();
        const std::size_t shown = popups.Records().size();
        ASSERT_EQ(uitest::Click(hMp2Panel, b.button), 0);
        EXPECT_EQ(popups.Records().size(), shown) << popups.Report();
        for (int t = 0; t < 3; ++t)
            Tick();
        EXPECT_EQ(StartFrames(link, mark, b.frameBytes), 1U);
        EXPECT_TRUE(IsMapTuning());
        StopAndClose();
    }
}
