// Load, Store, Send and Receive as the user drives them from the main window.
#include "orvanefixture.h"

#include "orvane/config/config.h"
#include "orvane/core/logic/byteorder.h"
#include "orvane/core/logic/ecucmds.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/ecuselect.h"
#include "orvane/params/cocedit.h"

namespace {

// Chooses a data set in the popup that the command is about to show.
void Choose(int control) {
    uitest::Later([control] { uitest::Click(hEcuPanel, control); });
}

// A transfer as the user starts it, and the title of the message that reports it.
struct TransferCommand {
    const char* what;
    void (*run)();
    const char* title;
};
template <int kButton, int kChoice> void ClickWithChoice() {
    Choose(kChoice);
    uitest::Click(hMainPanel, kButton);
}

// What a failed transfer must leave as it was: both images, the CO-correction edit data, the shown names.
struct HeldData {
    HeldData() {
        GatherAllPanels(); // what a command reads back from the pages first
        ShowConfigName("bench", 1);
        ShowConfigName("track", 2);
    }
    void ExpectUnchanged() const {
        EXPECT_EQ(std::memcmp(&ecuParData, par.get(), sizeof ecuParData), 0);
        EXPECT_EQ(std::memcmp(&ecuMapData, map.get(), sizeof ecuMapData), 0);
        EXPECT_EQ(std::memcmp(&cocEditData, &coc, sizeof coc), 0);
        EXPECT_EQ(OrvaneTest::CtrlText(hMainPanel, MAIN::TMecuParName), "bench");
        EXPECT_EQ(OrvaneTest::CtrlText(hMainPanel, MAIN::TMecuMapName), "track");
        EXPECT_EQ(OrvaneTest::CtrlAttr(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE), 0);
    }
    const std::unique_ptr<EcuParData> par = std::make_unique<EcuParData>(ecuParData);
    const std::unique_ptr<EcuMapData> map = std::make_unique<EcuMapData>(ecuMapData);
    const CocEditRecord coc = cocEditData;
};

// Runs the command; its one message reports the failure.
void ExpectFailure(const TransferCommand& c) {
    ScriptedPopups script;
    script.ExpectMessage();
    c.run();
    ASSERT_TRUE(script.AllExpected()) << script.Report();
    EXPECT_EQ(script.Records()[0].title, c.title);
    EXPECT_EQ(script.Records()[0].text, "Some error occurred...");
}

// The simulator's CO-correction maps on the edit data's default axes, so that a send asks nothing.
void ZeroCocAxes(ecusim::EcuSim& sim) {
    for (const ecusim::Store map : {ecusim::Store::CocA, ecusim::Store::CocB})
        sim.model.StoreBytes(map).assign(ecusim::kExtMiniMapSize, 0);
}

// The data set as the ECU holds it, in host order, against the program's (the header and the end marker
// aside: a send writes this program's own).
template <class Data, void (*Convert)(EcuImage<Data>&)>
bool EcuHolds(const ecusim::EcuSim& sim, ecusim::Store store, const Data& held) {
    const std::vector<std::uint8_t>& bytes = sim.model.StoreBytes(store);
    const auto image = std::make_unique<EcuImage<Data>>();
    if (bytes.size() != sizeof *image) return false;
    std::memcpy(image.get(), bytes.data(), sizeof *image);
    Convert(*image);
    constexpr std::size_t kHeader = sizeof(DataHeader);
    return std::memcmp(reinterpret_cast<const std::byte*>(&image->data) + kHeader,
                       reinterpret_cast<const std::byte*>(&held) + kHeader,
                       offsetof(Data, endMarker) - kHeader) == 0;
}

bool EcuHoldsConfiguration(const ecusim::EcuSim& sim, ecusim::Store store) {
    return EcuHolds<EcuParData, ConvertParImage>(sim, store, ecuParData);
}
bool EcuHoldsMapping(const ecusim::EcuSim& sim, ecusim::Store store) {
    return EcuHolds<EcuMapData, ConvertMapImage>(sim, store, ecuMapData);
}

// Contents that no other send had: a byte that the pages keep as it is.
void MarkConfiguration(char mark) {
    ecuParData.notes[0] = mark;
}
void MarkMapping(char mark) {
    ecuMapData.unused2A304[0] = mark;
}

// What the ECU acknowledged of the blocks written to it: how often it took less than it was sent, and
// whether that happened to the block that reached the end of the area.
struct AckWatch {
    std::size_t total = 0, acknowledged = 0;
    int shortAcks = 0;
    bool tailCut = false;

    void See(const ecusim::Frame& request, const std::optional<ecusim::Frame>& reply) {
        if (request.cmd == CMD_WRITE_BEGIN && request.data.size() == 6) {
            total = ecusim::GetBE32(request.data.data());
            acknowledged = 0;
        }
        if (request.cmd != CMD_WRITE_BLOCK || !reply || reply->data.size() != kWriteAckSize) return;
        const std::size_t sentTo = acknowledged + request.data.size();
        acknowledged = ecusim::GetBE32(reply->data.data());
        if (acknowledged >= sentTo) return;
        ++shortAcks;
        tailCut = tailCut || sentTo == total;
    }
};

} // namespace

TEST_F(OrvaneTest, SendWithTheLinkClosedFailsAfterTheChoice) {
    ConnectSimulator();
    CloseComPort(); // the link drops after the last tick enabled Send
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

// The link dies part way through a transfer: the command reports it under its own title, and the image
// in memory and the data set's shown name stay as they were.
TEST_F(OrvaneTest, LinkDyingMidTransferChangesNothing) {
    struct Case {
        const char* what;
        int button;
        int choice;
        const char* title;
    };
    const Case cases[] = {
        {"Send mapping", MAIN::CBsend, ECUSELZ::CBmapData1, "Send"},
        {"Send configuration", MAIN::CBsend, ECUSELZ::CBparData, "Send"},
        {"Receive mapping", MAIN::CBreceive, ECUSELZ::CBmapData1, "Receive"},
        {"Receive configuration", MAIN::CBreceive, ECUSELZ::CBparData, "Receive"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecuParData.notes[0] = 'p';
        ecuMapData.unused2A304[0] = 'm';
        GatherAllPanels(); // what the command reads back from the pages first
        ShowConfigName("bench", 1);
        ShowConfigName("track", 2);
        const auto par = std::make_unique<EcuParData>(ecuParData);
        const auto map = std::make_unique<EcuMapData>(ecuMapData);
        SimLink& link = ConnectSimulator();
        link.writesLeft = 3; // a few blocks go through, then the line is dead
        Choose(c.choice);
        ScriptedPopups script;
        script.ExpectMessage();
        uitest::Click(hMainPanel, c.button);
        ASSERT_TRUE(script.AllExpected()) << script.Report();
        EXPECT_EQ(script.Records()[0].title, c.title);
        EXPECT_EQ(script.Records()[0].text, "Some error occurred...");
        EXPECT_EQ(std::memcmp(&ecuParData, par.get(), sizeof ecuParData), 0);
        EXPECT_EQ(std::memcmp(&ecuMapData, map.get(), sizeof ecuMapData), 0);
        EXPECT_EQ(CtrlText(hMainPanel, MAIN::TMecuParName), "bench");
        EXPECT_EQ(CtrlText(hMainPanel, MAIN::TMecuMapName), "track");
        EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE), 0);
        if (isComOpen) CloseComPort();
    }
    ShowConfigName("", 1);
    ShowConfigName("", 2);
}

// An ECU that now and then acknowledges only part of a block: Send resends from what it acknowledged, and
// says "Done!" only once the ECU holds the whole data set as sent. Each data set is sent again, with new
// contents, until the short acknowledgement has fallen on the block that reaches the end of the area.
TEST_F(OrvaneTest, SendResendsWhatTheEcuDidNotAcknowledge) {
    struct Case {
        const char* what;
        int choice;
        ecusim::Store store;
        void (*mark)(char);
        bool (*held)(const ecusim::EcuSim&, ecusim::Store);
    };
    const Case cases[] = {
        {"configuration", ECUSELZ::CBparData, ecusim::Store::Par, MarkConfiguration, EcuHoldsConfiguration},
        {"mapping slot 1", ECUSELZ::CBmapData1, ecusim::Store::Slot1, MarkMapping, EcuHoldsMapping},
        {"mapping slot 2", ECUSELZ::CBmapData2, ecusim::Store::Slot2, MarkMapping, EcuHoldsMapping},
    };
    const char savedNote = ecuParData.notes[0];
    ecusim::EcuSim shortAcking({.shortAcks = true});
    SimLink& link = AttachSimLink(shortAcking);
    AckWatch acks;
    link.tamper = [&acks](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        acks.See(request, reply);
        return reply;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        acks.shortAcks = 0;
        acks.tailCut = false;
        for (char mark = 'a'; mark <= 'j' && !acks.tailCut; ++mark) {
            SCOPED_TRACE(mark);
            c.mark(mark);
            ASSERT_TRUE(ScatterAllPanels()); // the pages show the contents the send reads back
            Tick();                          // enables Send again
            bool heldAtMessage = false;
            PopupHook answer;
            answer = SetPopupHook([&](const PopupRequest& r) {
                heldAtMessage = c.held(shortAcking, c.store);
                return answer(r);
            });
            Choose(c.choice);
            popups.ExpectMessage();
            uitest::Click(hMainPanel, MAIN::CBsend);
            SetPopupHook(answer);
            ASSERT_EQ(popups.Records().back().title, "Send");
            ASSERT_EQ(popups.Records().back().text, "Done!");
            EXPECT_TRUE(heldAtMessage) << "the ECU holds every byte when the message says so";
        }
        EXPECT_GT(acks.shortAcks, 0);
        EXPECT_TRUE(acks.tailCut) << "the last block of the area was acknowledged short at least once";
    }
    CloseComPort();
    ecuParData.notes[0] = savedNote;
    ecuMapData.unused2A304[0] = 0;
    ASSERT_TRUE(ScatterAllPanels());
}

// The simulator spoils every third reply of a block transfer, the first such one broken and the next one
// lost: each receive fails with its message, never "Done!", and leaves the images, the CO-correction edit
// data and the shown names as they were.
TEST_F(OrvaneTest, SpoiledTransferRepliesFailTheReceiveAndChangeNothing) {
    const TransferCommand commands[] = {
        {"configuration", ClickWithChoice<MAIN::CBreceive, ECUSELZ::CBparData>, "Receive"},
        {"mapping slot 1", ClickWithChoice<MAIN::CBreceive, ECUSELZ::CBmapData1>, "Receive"},
        {"CO-correction maps", [] { ReceiveCocEditMap(); }, "Receive CO-Correction Edit Data"},
    };
    for (const TransferCommand& c : commands) {
        SCOPED_TRACE(c.what);
        InitCocEditData();
        cocEditData.mapA.cells[0][0] = 1234;
        const HeldData held;
        ecusim::EcuSim flaky({.flakyTransfers = 3});
        AttachSimLink(flaky);
        Tick();
        for (const char* spoiled : {"broken", "lost"}) {
            SCOPED_TRACE(spoiled);
            Tick(); // enables the button the last receive dimmed
            ExpectFailure(c);
            held.ExpectUnchanged();
        }
        CloseComPort();
    }
    InitCocEditData();
}

// The simulator breaks the checksum of the fifth reply of a block transfer: an acknowledgement of a data
// set's block, or of the first CO-correction map's begin (after the reads of the ECU's copies). The send
// fails with its message, never "Done!".
TEST_F(OrvaneTest, ASpoiledTransferReplyFailsTheSend) {
    const TransferCommand commands[] = {
        {"configuration", ClickWithChoice<MAIN::CBsend, ECUSELZ::CBparData>, "Send"},
        {"mapping slot 1", ClickWithChoice<MAIN::CBsend, ECUSELZ::CBmapData1>, "Send"},
        {"CO-correction maps", [] { SendCocEditMap(); }, "Send CO-Correction Edit Data"},
    };
    for (const TransferCommand& c : commands) {
        SCOPED_TRACE(c.what);
        InitCocEditData();
        const HeldData held;
        ecusim::EcuSim flaky({.flakyTransfers = 5});
        ZeroCocAxes(flaky);
        AttachSimLink(flaky);
        Tick();
        fRefreshLive = 0;
        ExpectFailure(c);
        EXPECT_EQ(fRefreshLive, 0) << "the live pages are not refreshed for a failed send";
        held.ExpectUnchanged();
        CloseComPort();
    }
}
