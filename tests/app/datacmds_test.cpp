// Load, Store, Send and Receive as the user drives them from the main window.
#include "orvanefixture.h"

#include "orvane/config/config.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/ecuselect.h"

namespace {

// Chooses a data set in the popup that the command is about to show.
void Choose(int control) {
    uitest::Later([control] { uitest::Click(hEcuPanel, control); });
}

} // namespace

TEST_F(OrvaneTest, SendWithTheLinkClosedFailsAfterTheChoice) {
    Choose(ECUSELZ::CBmapData1);
    popups.ExpectMessage();
    uitest::Click(hMainPanel, MAIN::CBsend);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Send");
    EXPECT_EQ(popups.Records()[0].text, "Some error occurred...");
    EXPECT_EQ(fSending, 0);
}

TEST_F(OrvaneTest, CancelledChoiceShowsNothing) {
    ConnectSimulator();
    for (int button : {MAIN::CBsend, MAIN::CBreceive, MAIN::CBload, MAIN::CBstore}) {
        Choose(ECUSELZ::CBcancel);
        uitest::Click(hMainPanel, button);
    }
    EXPECT_TRUE(popups.Records().empty()) << popups.Report();
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::CBsend, ATTR_DIMMED), 1) << "enabled again by the next tick";
    Tick();
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::CBsend, ATTR_DIMMED), 0);
}

TEST_F(OrvaneTest, SendThenReceiveThroughTheEcu) {
    ConnectSimulator();
    ecuMapData.unused2A304[0] = 'N';
    const EcuMapData sent = ecuMapData;
    fRefreshLive = 0;
    Choose(ECUSELZ::CBmapData2);
    popups.ExpectMessage();
    uitest::Click(hMainPanel, MAIN::CBsend);
    EXPECT_EQ(popups.Records().back().text, "Done!");
    EXPECT_EQ(fRefreshLive, 1);

    ecuMapData.unused2A304[0] = 'X';
    Choose(ECUSELZ::CBmapData2);
    popups.ExpectMessage();
    uitest::Click(hMainPanel, MAIN::CBreceive);
    EXPECT_EQ(popups.Records().back().title, "Receive");
    EXPECT_EQ(popups.Records().back().text, "Done!");
    EXPECT_EQ(ecuMapData.unused2A304[0], 'N');
    EXPECT_EQ(std::memcmp(&ecuMapData.map1, &sent.map1, sizeof sent.map1), 0);
    EXPECT_TRUE(IsEcuDataChanged(2)) << "a transfer leaves the reference copy alone";
    ecuMapData.unused2A304[0] = 0;
}

TEST_F(OrvaneTest, StoreRefusedByTheCanWarningStoresNothing) {
    ecuParData.canFrames[0] = ecuParData.canFrames[1] = 1 << 11 | 0x300;
    ScatterCaqPanel(); // the page shows what the Store reads back
    Choose(ECUSELZ::CBparData);
    popups.AnswerConfirm(false);
    uitest::Click(hMainPanel, MAIN::CBstore);
    ASSERT_EQ(popups.Records().size(), 1u) << "no file dialog, no message";
    EXPECT_EQ(popups.Records()[0].title, "Warning!");
    InitCaqData();
    ScatterCaqPanel();
}

TEST_F(OrvaneTest, AcknowledgementBeyondWhatWasSentFailsTheSend) {
    SimLink& link = ConnectSimulator();
    link.tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x05 && reply) reply->data = {0, 0, 0x01, 0x2C}; // 300 after a 255-byte block
        return reply;
    };
    Choose(ECUSELZ::CBparData);
    popups.ExpectMessage();
    uitest::Click(hMainPanel, MAIN::CBsend);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Send");
    EXPECT_EQ(popups.Records()[0].text, "Some error occurred...");
    std::size_t blocks = 0;
    for (const auto& frame : link.requests)
        blocks += frame[2] == 0x05;
    EXPECT_EQ(blocks, 1u);
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE), 0) << "the bar is hidden again";
}
