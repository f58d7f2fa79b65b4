// The main timer: watchdog, connection light, transfer buttons, busy guard; the progress bar.
#include "orvanefixture.h"

#include "orvane/core/connect.h"

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
