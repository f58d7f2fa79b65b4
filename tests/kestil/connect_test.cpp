// The connection state machine tick by tick against the simulated boot loader on the adapter's socket,
// and what it shows.
#include "kestilfixture.h"

namespace {

struct ConnectTest : KestilFixture {
    ecusim::EcuSim sim;
};

TEST_F(ConnectTest, FindsIdentifiesLosesAndFindsAgain) {
    SocketBootSim server(sim);
    Tick(); // the attempt comes at once: the old ping goes unanswered by a new boot loader
    EXPECT_FALSE(isComOpen);
    EXPECT_EQ(Title(), "Kestil v3.0    <disconnected>");
    Tick();
    Tick();
    EXPECT_FALSE(isComOpen) << "the next attempt comes on the third tick";
    Tick(); // the new ping is answered
    ASSERT_TRUE(isComOpen);
    EXPECT_FALSE(fOldBload);
    Tick();
    EXPECT_EQ(sysType, 0x5600);
    Tick();
    EXPECT_EQ(Title(), "Kestil v3.0    <ECUSIM BOOT v2.4-0A1C>");
    EXPECT_EQ(Text(KESTIL::TBOXfirmware), "");
    Tick();
    EXPECT_EQ(Text(KESTIL::TBOXfirmware), "T484 v1.13\n(ecusim - factory image)");
    Tick(); // keep-alive ping
    EXPECT_TRUE(isComOpen);

    server.Stop();
    Tick();
    Tick();
    EXPECT_TRUE(isComOpen) << "two failures in a row are tolerated";
    Tick();
    EXPECT_FALSE(isComOpen) << "the third closes the link";
    EXPECT_EQ(Title(), "Kestil v3.0    <disconnected>");
    EXPECT_EQ(Text(KESTIL::TBOXfirmware), "");

    server.Start();
    for (int i = 0; i < 6 && !isComOpen; ++i)
        Tick();
    ASSERT_TRUE(isComOpen) << "found again";
    EXPECT_FALSE(fBloadKnown);
    Tick();
    EXPECT_TRUE(fBloadKnown) << "and identified again";
}

// Every reply of the in-process boot loader lost, as when the adapter is unplugged.
SimLink& AttachSilentBootSim(ecusim::EcuSim& sim) {
    SimLink& link = AttachBootSim(sim);
    link.tamper = [](const ecusim::Frame&, std::optional<ecusim::Frame>) { return std::nullopt; };
    return link;
}

TEST_F(ConnectTest, ThirdFailedTickClosesAndTheNextAttemptComesThreeTicksLater) {
    const RuntimeDir noAdapter; // no boot loader listens where the attempt looks
    AttachSilentBootSim(sim);
    fBloadKnown = true;
    Tick();
    Tick();
    ASSERT_TRUE(isComOpen);
    EXPECT_EQ(linkCount, 2);
    Tick();
    ASSERT_FALSE(isComOpen);
    EXPECT_EQ(linkCount, 2) << "the count of failures becomes the ticks to wait";
    SetMainTitle("waiting");
    Tick();
    Tick();
    EXPECT_EQ(Title(), "Kestil v3.0    <waiting>") << "no attempt on the first two ticks after";
    EXPECT_EQ(linkCount, 0);
    Tick();
    EXPECT_EQ(Title(), "Kestil v3.0    <disconnected>") << "the attempt on the third";
    EXPECT_EQ(linkCount, 2);
}

TEST_F(ConnectTest, PortRingColourShowsTheLinkAtTheStartOfTheTick) {
    const RuntimeDir noAdapter;
    struct Case {
        const char* what;
        bool open;
        bool oldLoader;
        std::uint8_t failures; // failed actions in a row before the tick; the tick's own one fails too
        int colour;
    };
    const Case cases[] = {
        {"closed", false, false, 0, 0xA0A0A0},
        {"old boot loader", true, true, 0, 0x00FF00},
        {"new boot loader", true, false, 0, 0x00FFFF},
        {"closed by this tick's failure", true, false, 2, 0x00FFFF},
    };
    for (const Case& c : cases) {
        ResetState();
        if (c.open) AttachSilentBootSim(sim);
        fOldBload = c.oldLoader;
        fBloadKnown = true;
        linkCount = c.failures;
        SetCtrlAttribute(hMainPanel, KESTIL::RINGport, ATTR_TEXT_BGCOLOR, 0x123456);
        Tick();
        int colour = 0;
        GetCtrlAttribute(hMainPanel, KESTIL::RINGport, ATTR_TEXT_BGCOLOR, &colour);
        EXPECT_EQ(colour, c.colour) << c.what;
    }
}

TEST_F(ConnectTest, DoneStaysTenSeconds) {
    AttachBootSim(sim);
    lastResult = RESULT_DONE;
    const double shown = Timer();
    MainTimer(hMainPanel, KESTIL::TIMtick, EVENT_NONE, nullptr, 0, 0);
    const double cleared = tClearStatus;
    EXPECT_GE(cleared, shown + 10.0);
    EXPECT_LE(cleared, Timer() + 10.0);
    MainTimer(hMainPanel, KESTIL::TIMtick, EVENT_NONE, nullptr, 0, 0);
    EXPECT_EQ(Text(KESTIL::TMstatus), "Done!") << "still shown before its time";
    EXPECT_EQ(tClearStatus, cleared);
}

TEST_F(ConnectTest, UnknownSystemTypeClosesAndRetriesAtOnce) {
    AttachBootSim(sim).tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 2) return std::optional<ecusim::Frame>({2, {0x12, 0x34}, true});
        return reply;
    };
    Tick();
    EXPECT_FALSE(isComOpen);
    EXPECT_EQ(sysType, 0);
    EXPECT_EQ(linkCount, 0) << "the next tick tries again";
    EXPECT_EQ(Title(), "Kestil v3.0    <disconnected>");
}

TEST_F(ConnectTest, FirmwareBoxShowsNoApplicationAndLongRepliesWhole) {
    AttachBootSim(sim);
    sim.boot.app.reset();
    EXPECT_TRUE(ShowFirmwareInfo());
    EXPECT_EQ(Text(KESTIL::TBOXfirmware), "_  _  _");

    // Replies of 255 bytes each: more than the 1024 characters the box text was once limited to.
    sim.boot.app = ecusim::AppInfo{std::string(255, 'N'), 9, 99, std::string(251, 'S'), std::string(255, 'A'),
                                   std::string(255, 'B')};
    sim.boot.name = std::string(255, 'L');
    EXPECT_TRUE(ShowFirmwareInfo());
    const std::string expected = std::string(255, 'N') + " v9.99" + std::string(251, 'S') + "\n(" +
                                 std::string(255, 'A') + " - " + std::string(255, 'B') + ")";
    EXPECT_EQ(Text(KESTIL::TBOXfirmware), expected);
    EXPECT_TRUE(ShowBloadInfo());
    EXPECT_EQ(Title().size(), 200u);
}

TEST_F(ConnectTest, EachReplyTextEndsAtItsOwnNul) {
    using namespace std::string_literals;
    AttachBootSim(sim);
    sim.boot.app = ecusim::AppInfo{"T484\0"s, 1, 13, "b\0x"s, "ecu\0sim"s, "\0factory"s};
    sim.boot.name = "BOOT\0"s;
    ASSERT_TRUE(ShowFirmwareInfo());
    EXPECT_EQ(Text(KESTIL::TBOXfirmware), "T484 v1.13b\n(ecu - )");
    ASSERT_TRUE(ShowBloadInfo());
    EXPECT_EQ(Title(), "Kestil v3.0    <BOOT v2.4-0A1C>");
}

TEST_F(ConnectTest, FailedInformationLeavesWhatIsShown) {
    SimLink& link = AttachBootSim(sim);
    ASSERT_TRUE(ShowFirmwareInfo());
    SetMainTitle("before");
    link.tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        return request.cmd == 3 && request.data == std::vector<std::uint8_t>{4} ? std::nullopt : reply;
    };
    sim.boot.app->name = "OTHER";
    EXPECT_FALSE(ShowFirmwareInfo());
    EXPECT_EQ(Text(KESTIL::TBOXfirmware), "T484 v1.13\n(ecusim - factory image)");
    link.tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        return request.cmd == 15 ? std::optional<ecusim::Frame>({15, {0x0A}, true}) : reply;
    };
    EXPECT_FALSE(ShowBloadInfo()) << "a customer id of one byte";
    EXPECT_EQ(Title(), "Kestil v3.0    <before>");
}

TEST_F(ConnectTest, StatusLineShowsResultsWhileTheLinkIsOpen) {
    struct Case {
        int result;
        const char* text;
        bool timed;
    };
    const Case cases[] = {
        {RESULT_DONE, "Done!", true},
        {RESULT_INVALID_FILE, "Invalid firmware file...", false},
        {RESULT_ERROR, "Programming error...", false},
    };
    for (const Case& c : cases) {
        AttachBootSim(sim);
        lastResult = c.result;
        MainTimer(hMainPanel, KESTIL::TIMtick, EVENT_NONE, nullptr, 0, 0);
        EXPECT_EQ(Text(KESTIL::TMstatus), c.text);
        EXPECT_EQ(lastResult, RESULT_NONE);
        EXPECT_EQ(tClearStatus > 0, c.timed) << c.text;
        if (c.timed) {
            tClearStatus = 1e-6; // a time the clock has passed
            MainTimer(hMainPanel, KESTIL::TIMtick, EVENT_NONE, nullptr, 0, 0);
            EXPECT_EQ(Text(KESTIL::TMstatus), "");
        }
        CloseComPort();
        MainTimer(hMainPanel, KESTIL::TIMtick, EVENT_NONE, nullptr, 0, 0);
        EXPECT_EQ(Text(KESTIL::TMstatus), "") << "the link closed empties the status line";
    }
    lastResult = RESULT_DONE;
    MainTimer(hMainPanel, KESTIL::TIMtick, EVENT_NONE, nullptr, 0, 0);
    EXPECT_EQ(lastResult, RESULT_NONE) << "a result that arrives while the link is closed is dropped";
    EXPECT_EQ(Text(KESTIL::TMstatus), "");
}

} // namespace
