// Page switches: group memories, tabs, the map editor's graphs, scrolling.
#include "orvanefixture.h"

#include "orvane/config/config.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/navigation.h"
#include "orvane/live/diagnost.h"
#include "orvane/live/live.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/plot.h"
#include "orvane/params/params.h"
#include "orvane/tuning/map2.h"

TEST_F(OrvaneTest, ParametersButtonWalksThroughItsPages) {
    uitest::Click(hMainPanel, MAIN::CBparms);
    EXPECT_EQ(hCurPanel, hPr1Panel) << "first press: page 1";
    EXPECT_TRUE(uitest::IsPanelVisible(hPr1Panel));
    uitest::Click(hMainPanel, MAIN::CBparms);
    EXPECT_EQ(hCurPanel, hPr2Panel) << "again on page 1: page 2";
    EXPECT_FALSE(uitest::IsPanelVisible(hPr1Panel));
    uitest::SelectTab(hPr2Panel, PARM2::TPselectParm, 9);
    EXPECT_EQ(hCurPanel, hPr10Panel);
    int tab = -1;
    GetActiveTabPage(hPr10Panel, PARM10::TPselectParm, &tab);
    EXPECT_EQ(tab, 9) << "the target shows its own tab";
    uitest::Click(hMainPanel, MAIN::CBparms);
    EXPECT_EQ(hCurPanel, hPr1Panel) << "after the last comes the first";
}

// The keyboard alone switches pages: the user tabs to a main-window button and presses Enter.
TEST_F(OrvaneTest, TabAndEnterOnAPageButtonShowItsPage) {
    ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0);
    ASSERT_EQ(uitest::TabTo(hMainPanel, MAIN::CBdiag), 0);
    ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
    EXPECT_EQ(hCurPanel, hDgnPanel);
    ASSERT_EQ(uitest::TabTo(hMainPanel, MAIN::CBinfo), 0);
    ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
    EXPECT_EQ(hCurPanel, hMainPanel);
}

TEST_F(OrvaneTest, GroupRemembersThePageLastSelected) {
    uitest::Click(hMainPanel, MAIN::CBconfig); // whichever page an earlier visit left selected
    uitest::SelectTab(hCurPanel, CONFIG1::TPselectConfig, 2);
    ASSERT_EQ(hCurPanel, hCg3Panel);
    uitest::Click(hMainPanel, MAIN::CBinfo);
    EXPECT_EQ(hCurPanel, hMainPanel);
    EXPECT_FALSE(uitest::IsPanelVisible(hCg3Panel));
    uitest::Click(hMainPanel, MAIN::CBadv);
    uitest::Click(hMainPanel, MAIN::CBconfig);
    EXPECT_EQ(hCurPanel, hCg3Panel);
    EXPECT_TRUE(popups.Records().empty()) << popups.Report();
}

TEST_F(OrvaneTest, CanWarningCanKeepTheCanPage) {
    uitest::Click(hMainPanel, MAIN::CBconfig);
    uitest::SelectTab(hCurPanel, CONFIG1::TPselectConfig, 4);
    ASSERT_EQ(hCurPanel, hCaqPanel);
    const std::uint16_t active = 1 << 11 | 0x300;
    ecuParData.canFrames[0] = ecuParData.canFrames[1] = active;
    ScatterCaqPanel(); // the page shows what the switch reads back
    popups.AnswerConfirm(false);
    uitest::Click(hMainPanel, MAIN::CBlive);
    EXPECT_EQ(hCurPanel, hCaqPanel) << "refused: the CAN page stays";
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].text, "Active CAN-frames with duplicate IDs.\nIgnore?");
    popups.AnswerConfirm(true);
    uitest::Click(hMainPanel, MAIN::CBlive);
    EXPECT_TRUE(hCurPanel == hLv1Panel || hCurPanel == hLv2Panel)
        << "accepted: the live page the group keeps";
    InitCaqData();
    ScatterCaqPanel();
}

TEST_F(OrvaneTest, RefusedTabChangeLeavesTheTabLineOnThePageShown) {
    uitest::Click(hMainPanel, MAIN::CBconfig);
    uitest::SelectTab(hCurPanel, CONFIG1::TPselectConfig, 4);
    ASSERT_EQ(hCurPanel, hCaqPanel);
    ecuParData.canFrames[0] = ecuParData.canFrames[1] = 1 << 11 | 0x300; // duplicates: the warning comes
    ScatterCaqPanel();
    popups.AnswerConfirm(false);
    uitest::SelectTab(hCaqPanel, CANACQ::TPselectConfig, 0);
    ASSERT_EQ(hCurPanel, hCaqPanel) << "refused: the CAN page stays";
    int tab = -1;
    GetActiveTabPage(hCaqPanel, CANACQ::TPselectConfig, &tab);
    EXPECT_EQ(tab, 4) << "the tab line shows the page on screen";
    popups.AnswerConfirm(true);
    uitest::SelectTab(hCaqPanel, CANACQ::TPselectConfig, 0); // the same tab again is a change
    EXPECT_EQ(hCurPanel, hCg1Panel);
    InitCaqData();
    ScatterCaqPanel();
}

TEST_F(OrvaneTest, LeavingTheMapEditorHidesItsGraphs) {
    uitest::Click(hMainPanel, MAIN::CBmaps);
    ASSERT_EQ(hCurPanel, hMp1Panel);
    ASSERT_TRUE(ShowGrpPanel(true));
    ASSERT_TRUE(ShowPltPanel(true));
    uitest::Click(hMainPanel, MAIN::CBdiag);
    EXPECT_EQ(hCurPanel, hDgnPanel);
    EXPECT_FALSE(uitest::IsPanelVisible(hGrpPanel));
    EXPECT_FALSE(uitest::IsPanelVisible(hPltPanel));
}

TEST_F(OrvaneTest, ScrollToShowCtrlMovesOnlyWhatIsNeeded) {
    // The CAN page's tab control sits at the top: already visible, nothing moves.
    SetPanelAttribute(hCaqPanel, ATTR_VSCROLL_OFFSET, 0);
    EXPECT_TRUE(ScrollToShowCtrl(hCaqPanel, CANACQ::TPselectConfig));
    int offset = -1;
    GetPanelAttribute(hCaqPanel, ATTR_VSCROLL_OFFSET, &offset);
    EXPECT_EQ(offset, 0);
    EXPECT_FALSE(ScrollToShowCtrl(hCaqPanel, 999)) << "no such control";
}

TEST_F(OrvaneTest, ScrollToShowCtrlScrollsUpOrDownJustEnough) {
    // The CAN page is 700 pixels high; row 1's identifier lies at 58..75, and row 30's is moved below
    // the page's bottom, to 800..817.
    int top = 0;
    GetCtrlAttribute(hCaqPanel, CANACQ::NUMcanId30, ATTR_TOP, &top);
    SetCtrlAttribute(hCaqPanel, CANACQ::NUMcanId30, ATTR_TOP, 800);
    struct Case {
        const char* what;
        int control;
        int offset;
        int expected;
    };
    const Case cases[] = {
        {"above: its top comes to the top", CANACQ::NUMcanId1, 100, 58},
        {"partly above", CANACQ::NUMcanId1, 60, 58},
        {"below: its bottom comes to the bottom", CANACQ::NUMcanId30, 0, 117},
        {"partly below", CANACQ::NUMcanId30, 110, 117},
        {"just inside at the bottom", CANACQ::NUMcanId30, 117, 117},
        {"just inside at the top", CANACQ::NUMcanId30, 800, 800},
    };
    for (const Case& c : cases) {
        SetPanelAttribute(hCaqPanel, ATTR_VSCROLL_OFFSET, c.offset);
        EXPECT_TRUE(ScrollToShowCtrl(hCaqPanel, c.control)) << c.what;
        int offset = -1;
        GetPanelAttribute(hCaqPanel, ATTR_VSCROLL_OFFSET, &offset);
        EXPECT_EQ(offset, c.expected) << c.what;
    }
    SetCtrlAttribute(hCaqPanel, CANACQ::NUMcanId30, ATTR_TOP, top);
    SetPanelAttribute(hCaqPanel, ATTR_VSCROLL_OFFSET, 0);
}

TEST_F(OrvaneTest, FailedFillIsReportedAndStillSwitches) {
    const auto shownMap = idCurMap; // the map the editor holds, given back at the end
    idCurMap = 0;                   // no such map: the map editor can be neither read back nor filled
    popups.ExpectMessage();
    uitest::Click(hMainPanel, MAIN::CBmaps);
    EXPECT_EQ(hCurPanel, hMp1Panel);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Panel Change");
    EXPECT_EQ(popups.Records()[0].text, "Some error occurred...");
    idCurMap = shownMap;
}

// The map pages: the editor, the tuning page in either mode, and back; the modes the tuning page runs in
// and the editor filled again from the image when the tuning page is left.
TEST_F(OrvaneTest, MapButtonsChooseThePageAndTheTuningMode) {
    struct Step {
        const char* what;
        CtrlCallbackPtr command;
        const int* page;
        std::uint8_t autoMode;
        std::uint8_t manualMode;
    };
    const Step steps[] = {
        {"Maps", Maps, &hMp1Panel, 0, 0},
        {"Auto Tuning", MapsTuneAuto, &hMp2Panel, 1, 0},
        {"Manual Tuning", MapsTuneManual, &hMp2Panel, 0, 1},
        {"Auto Tuning again", MapsTuneAuto, &hMp2Panel, 1, 0},
        {"Maps from the tuning page", Maps, &hMp1Panel, 0, 0},
    };
    idCurMap = 1;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.page == &hMp1Panel && hCurPanel == hMp2Panel) ecuMapData.map1.cells[0][0][1] = 1234;
        s.command(hCurPanel, 0, EVENT_COMMIT, nullptr, 0, 0);
        EXPECT_EQ(hCurPanel, *s.page);
        EXPECT_EQ(isTuningAuto, s.autoMode);
        EXPECT_EQ(isTuningManual, s.manualMode);
    }
    double shown = 0;
    GetTableCellVal(hMp1Panel, MAPS1::TABmatrix, MakePoint(2, 2), &shown);
    EXPECT_DOUBLE_EQ(shown, 1.234) << "the editor was filled again on the way back";
    EXPECT_TRUE(popups.Records().empty()) << popups.Report();
}
