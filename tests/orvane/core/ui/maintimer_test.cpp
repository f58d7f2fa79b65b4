// The main timer: watchdog, connection light, transfer buttons, busy guard; the progress bar.
#include "orvanefixture.h"

#include "orvane/core/ui/connect.h"
#include "orvane/core/ui/ecuselect.h"
#include "orvane/live/live.h"

#include <algorithm>
#include <memory>

namespace {

// Makes every Ping reply one byte short, so that each tick fails at once.
void BreakPings(SimLink& link, bool broken) {
    if (!broken) {
        link.tamper = nullptr;
        return;
    }
    link.tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x03 && reply) reply->data.pop_back();
        return reply;
    };
}

} // namespace

TEST_F(OrvaneTest, SixthFailedTickInARowClosesTheLink) {
    SimLink& link = ConnectSimulator();
    BreakPings(link, true);
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_TRUE(isComOpen) << "five failed ticks keep the link";
    BreakPings(link, false);
    Tick();
    EXPECT_EQ(linkErrCount, 0);
    BreakPings(link, true);
    for (int i = 0; i < 5; ++i)
        Tick();
    EXPECT_TRUE(isComOpen);
    Tick();
    EXPECT_FALSE(isComOpen) << "the sixth closes it";
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::TBcom, ATTR_ON_COLOR), 0);
    Tick();
    EXPECT_EQ(linkErrCount, 0) << "a closed link pings without traffic";
}

TEST_F(OrvaneTest, LightAndButtonsFollowTheLink) {
    struct Case {
        const char* what;
        bool open;
        bool locked;
        int light;
        int sendDimmed;
    };
    const Case cases[] = {
        {"closed", false, false, 0, 1},
        {"open", true, false, VAL_GREEN, 0},
        {"open, ECU protected", true, true, VAL_RED, 0},
    };
    for (const Case& c : cases) {
        ecu.model = ecusim::MakeEcuModel(c.locked ? "secret" : "");
        if (c.open) ConnectSimulator();
        Tick();
        EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::TBcom, ATTR_ON_COLOR), c.light) << c.what;
        EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::RINGport, ATTR_DIMMED), c.open ? 1 : 0) << c.what;
        EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::CBsend, ATTR_DIMMED), c.sendDimmed) << c.what;
        EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::CBreceive, ATTR_DIMMED), c.sendDimmed) << c.what;
        if (isComOpen) CloseComPort();
    }
}

TEST_F(OrvaneTest, TickWhileBusyDoesNothing) {
    SimLink& link = ConnectSimulator();
    fBusy = 1;
    Tick();
    fBusy = 0;
    EXPECT_TRUE(link.requests.empty());
    Tick();
    EXPECT_EQ(link.requests.size(), 1u);
}

TEST_F(OrvaneTest, ProgressBarShowsPercentAndHidesAtTotalZero) {
    SetProgressBar(1, 3);
    double value = 0;
    GetCtrlVal(hMainPanel, MAIN::NSprogressBar, &value);
    EXPECT_EQ(value, 33);
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE), 1);
    SetProgressBar(0, 0);
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE), 0);
}

TEST_F(OrvaneTest, ClickAndTickFromInsideATransferPumpDoNothing) {
    SimLink& link = ConnectSimulator();
    bool queued = false;
    bool reached = false;
    int ticked = 0;
    std::size_t requestsBefore = 0;
    std::size_t requestsAfter = 0;
    int pageAfterClick = 0;
    link.tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x08 && !queued) {
            // The user clicks a page button and the timer ticks while the transfer keeps the window
            // painted; whatever pump of the transfer delivers them.
            queued = true;
            uitest::Later([&] {
                reached = true;
                requestsBefore = link.requests.size();
                uitest::Click(hMainPanel, MAIN::CBdiag);
                pageAfterClick = hCurPanel;
                ResumeTimerCallbacks();
                ticked = uitest::FireTimer(hMainPanel, MAIN::TIMglobal);
                SuspendTimerCallbacks();
                requestsAfter = link.requests.size();
            });
        }
        return reply;
    };
    const auto before = std::make_unique<EcuParData>(ecuParData);
    uitest::Later([] { uitest::Click(hEcuPanel, ECUSELZ::CBparData); });
    popups.ExpectMessage();
    uitest::Click(hMainPanel, MAIN::CBreceive);
    ecuParData = *before; // what the next test starts from, shown again on every page
    ASSERT_TRUE(ScatterAllPanels());
    ASSERT_TRUE(reached) << "the transfer pumped events";
    EXPECT_EQ(ticked, 1) << "the tick reached the timer's callback";
    EXPECT_EQ(requestsAfter, requestsBefore) << "the tick sent nothing";
    EXPECT_EQ(pageAfterClick, hMainPanel) << "the click switched no page";
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].text, "Done!");
}

TEST_F(OrvaneTest, DataSetCommandsAreDimmedWhileMapTuningRuns) {
    struct Case {
        const char* what;
        bool tuning;
        bool automatic;
        int dimmed;
    };
    const Case cases[] = {
        {"manual tuning", true, false, 1},
        {"automatic tuning", true, true, 1},
        {"tuning stopped", false, false, 0},
    };
    ConnectSimulator();
    for (const Case& c : cases) {
        ecu.model.tuning = c.tuning; // the ECU's state as its ping reply reports it
        ecu.model.tuningAuto = c.automatic;
        Tick();
        for (int button : {MAIN::CBload, MAIN::CBstore, MAIN::CBsend, MAIN::CBreceive})
            EXPECT_EQ(CtrlAttr(hMainPanel, button, ATTR_DIMMED), c.dimmed) << c.what << ", button " << button;
    }
}

TEST_F(OrvaneTest, LivePagesRefreshOnEntryAndOnAProtectionChangeOnly) {
    SimLink& link = ConnectSimulator();
    // One tick; whether it read the ECU's names and information records rather than only live records.
    const auto refreshed = [&link] {
        link.requests.clear();
        Tick();
        return std::ranges::any_of(link.requests, [](const auto& frame) { return frame[2] != 0x06; });
    };
    uitest::Click(hMainPanel, MAIN::CBlive);
    if (hCurPanel == hLv2Panel) uitest::SelectTab(hLv2Panel, LIVE2::TPselectLive, 0);
    ASSERT_EQ(hCurPanel, hLv1Panel);
    EXPECT_TRUE(refreshed()) << "entering a live page from elsewhere";
    // Live records left cleared by an earlier link read as protected until fresh ones come, and that
    // change refreshes once more: a few ticks settle it.
    for (int i = 0; i < 3; ++i)
        Tick();
    ASSERT_FALSE(fEcuProtected);
    EXPECT_FALSE(refreshed());
    uitest::SelectTab(hLv1Panel, LIVE1::TPselectLive, 1);
    ASSERT_EQ(hCurPanel, hLv2Panel);
    EXPECT_FALSE(refreshed()) << "live 1 to live 2";
    uitest::SelectTab(hLv2Panel, LIVE2::TPselectLive, 0);
    EXPECT_FALSE(refreshed()) << "live 2 to live 1";

    // The ECU starts reporting its password protection (bit 7 of status byte 134 clear).
    link.tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x06 && request.data[0] == 1 && reply) reply->data[134] &= 0x7F;
        return reply;
    };
    for (int i = 0; i < 3 && !fEcuProtected; ++i)
        EXPECT_FALSE(refreshed()) << "before the change is seen";
    ASSERT_TRUE(fEcuProtected);
    EXPECT_TRUE(refreshed()) << "the tick after the change";
    EXPECT_FALSE(refreshed());
    link.tamper = nullptr;
    uitest::Click(hMainPanel, MAIN::CBinfo);
}
