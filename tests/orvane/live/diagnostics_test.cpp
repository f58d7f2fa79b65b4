// The diagnostics page against the simulated ECU's log: the status poll with its reset actions and
// absorbed failures, the parameter exchange, the default sequence, the password, and the time texts.
#include "bytes.h"
#include "orvanefixture.h"

#include "ecusim/commands.h"
#include "orvane/live/diagnost.h"

#include <cstring>
#include <string>

using namespace uitest;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The data bytes of every request of command cmd sent so far.
std::vector<Bytes> RequestsOf(const SimLink& link, std::uint8_t cmd) {
    std::vector<Bytes> out;
    for (const Bytes& frame : link.requests)
        if (frame.size() >= 4 && frame[2] == cmd) out.emplace_back(frame.begin() + 3, frame.end() - 1);
    return out;
}

// Makes replies to cmd arrive as another command's frame (read as no good frame) or one byte short
// (a well-formed frame of the wrong length).
void Spoil(SimLink& link, std::uint8_t cmd, bool wellFormed) {
    link.tamper = [cmd, wellFormed](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == cmd && reply) {
            if (wellFormed)
                reply->data.pop_back();
            else
                reply->cmd = 0x7F;
        }
        return reply;
    };
}

struct DiagnosticsTest : OrvaneTest {
    void SetUp() override {
        OrvaneTest::SetUp();
        DisplayPanel(hDgnPanel);
        DgnTimer(); // with the link closed: back to the state before any connection
        ecusim::AdvanceEngine(ecu.model, 30.0); // warm, running, with a log to show
    }

    // Connects to an ECU with the given diagnostics password (its log as the engine counted it) and runs
    // the first tick: parameters, password probe, status.
    SimLink& ConnectDiagnostics(const char* password = "service") {
        const ecusim::DiagLog fresh = ecusim::MakeDiagLog(password);
        ecu.model.diag.password = fresh.password;
        ecu.model.diag.access = fresh.access;
        SimLink& link = ConnectSimulator();
        EXPECT_TRUE(DgnTimer());
        link.requests.clear();
        return link;
    }

    static double Shown(int control) {
        double v = -1;
        GetCtrlVal(hDgnPanel, control, &v);
        return v;
    }

    static void TypePassword(const char* text) {
        PasswordCtrl_SetAttribute(hDgnPanel, DIAGN::STRdgnPwd, ATTR_PASSWORD_VAL, text);
    }
};

} // namespace

TEST(ConvertTime, DaysHoursMinutesSeconds) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0, "   0d  0h  0m  0s"},
        {90061, "   1d  1h  1m  1s"},
        {86399, "   0d 23h 59m 59s"},
        {4294967295u, "49710d  6h 28m 15s"},
    };
    for (const auto& [seconds, text] : cases) {
        char buf[32];
        ConvertTime(buf, seconds);
        EXPECT_STREQ(buf, text) << seconds;
    }
    char small[8];
    std::memset(small, 'x', sizeof small);
    ConvertTime(small, 90061);
    EXPECT_STREQ(small, "   1d  ") << "cut to the buffer";
}

TEST_F(DiagnosticsTest, ClosedLinkClearsAndReportsFailure) {
    EXPECT_FALSE(DgnTimer());
    EXPECT_EQ(diagParam.chanOffA, 0x1F);
    EXPECT_EQ(diagParam.chanOffB, 0xF0);
    EXPECT_EQ(diagStatus.onTime, 0u);
    EXPECT_EQ(dgnAccess, 0);
}

TEST_F(DiagnosticsTest, StatusShowsTheLogAndAResetGoesOutOnce) {
    SimLink& link = ConnectDiagnostics();
    EXPECT_GE(diagStatus.onTime, 25u) << "the engine ran for half a minute";
    EXPECT_GT(diagStatus.cntStarterIn, 0);
    EXPECT_EQ(CtrlText(hDgnPanel, DIAGN::STRonTime).substr(0, 8), "   0d  0");
    Click(hDgnPanel, DIAGN::CBstopCntReset);
    DgnTimer();
    DgnTimer();
    EXPECT_EQ(RequestsOf(link, 0x10), (std::vector<Bytes>{{19}, {0}}));
    // a reset chosen with the link closed never reaches the next ECU
    CloseComPort();
    Click(hDgnPanel, DIAGN::CBstarterInCntReset);
    DgnTimer();
    SimLink& again = ConnectSimulator();
    DgnTimer();
    EXPECT_EQ(RequestsOf(again, 0x10), (std::vector<Bytes>{{0}}));
    EXPECT_GT(ecu.model.diag.cntStarterIn, 0);
}

TEST_F(DiagnosticsTest, AResetNotYetSentStaysWithItsPageAndConnection) {
    for (const OneShotLoss& c : kOneShotLosses) {
        ConnectDiagnostics();
        Click(hMainPanel, MAIN::CBdiag);
        ASSERT_EQ(hCurPanel, hDgnPanel);
        Click(hDgnPanel, DIAGN::CBstopCntReset);
        c.act(*this);
        Click(hMainPanel, MAIN::CBdiag);
        SimLink& link = *static_cast<SimLink*>(ComLink());
        link.requests.clear();
        DgnTimer();
        EXPECT_EQ(RequestsOf(link, 0x10).front(), Bytes{0}) << c.what;
        CloseComPort();
        DgnTimer();
    }
}

TEST_F(DiagnosticsTest, ALostLinkShowsTheClearedParameters) {
    struct Case {
        const char* what;
        void (*lose)(SimLink&);
    };
    const Case cases[] = {
        {"the link closed", [](SimLink&) { CloseComPort(); }},
        {"two failed polls", [](SimLink& link) { Spoil(link, 0x10, false); }},
    };
    for (const Case& c : cases) {
        SimLink& link = ConnectDiagnostics();
        ASSERT_EQ(Shown(DIAGN::TOGBfarf), 1) << "the ECU's channel is on";
        ASSERT_NE(Shown(DIAGN::NUMrpmLimit), 0);
        c.lose(link);
        DgnTimer();
        DgnTimer();
        EXPECT_EQ(Shown(DIAGN::TOGBfarf), 0) << c.what;
        EXPECT_EQ(Shown(DIAGN::NUMrpmLimit), 0) << c.what;
        CloseComPort();
        DgnTimer();
    }
}

TEST_F(DiagnosticsTest, StatusFailuresAreToleratedOnceThenClear) {
    struct Case {
        const char* what;
        bool wellFormed;
        bool verdict;
    };
    const Case cases[] = {{"a 91-byte reply", true, true}, {"no good frame", false, false}};
    for (const Case& c : cases) {
        SimLink& link = ConnectDiagnostics();
        const std::uint32_t onTime = diagStatus.onTime;
        Spoil(link, 0x10, c.wellFormed);
        EXPECT_TRUE(DgnTimer()) << c.what;
        EXPECT_EQ(diagStatus.onTime, onTime) << c.what << ": the old data stays";
        EXPECT_EQ(DgnTimer(), c.verdict) << c.what;
        EXPECT_EQ(diagStatus.onTime, 0u) << c.what << ": then the page shows zeros";
        EXPECT_EQ(DgnTimer(), c.verdict) << c.what;
        CloseComPort();
        DgnTimer();
    }
}

TEST_F(DiagnosticsTest, AParameterCommandWithoutGoodFramesLetsTheWatchdogClose) {
    SimLink& link = ConnectSimulator();
    Spoil(link, 0x11, false);
    EXPECT_TRUE(DgnTimer()) << "one failure is tolerated";
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(DgnTimer()) << "then every failed tick is reported";
    EXPECT_TRUE(RequestsOf(link, 0x10).empty()) << "no status poll before the parameters are read";
    Spoil(link, 0x11, true);
    EXPECT_TRUE(DgnTimer()) << "a frame of the wrong length shows the link works";
    link.tamper = nullptr;
    EXPECT_TRUE(DgnTimer());
    EXPECT_EQ(diagParam.rpmLimit, 9000);
}

TEST_F(DiagnosticsTest, PasswordUnlocksTheGuardedControls) {
    ConnectDiagnostics();
    EXPECT_EQ(dgnAccess, 0) << "the empty password is refused";
    EXPECT_EQ(CtrlAttr(hDgnPanel, DIAGN::NUMrpmLimit, ATTR_DIMMED), 1);

    popups.ExpectMessage();
    TypePassword("wrong");
    Click(hDgnPanel, DIAGN::CBdgnPwdConfirm);
    EXPECT_EQ(popups.Records().back().text, "Invalid passwords...");
    EXPECT_EQ(dgnAccess, 0);

    TypePassword("service");
    Click(hDgnPanel, DIAGN::CBdgnPwdConfirm);
    EXPECT_EQ(dgnAccess, 1);
    DgnTimer();
    EXPECT_EQ(CtrlAttr(hDgnPanel, DIAGN::NUMrpmLimit, ATTR_DIMMED), 0);
    EXPECT_EQ(CtrlAttr(hDgnPanel, DIAGN::STRdgnPwd, ATTR_DIMMED), 1);
    CloseComPort();
    DgnTimer();
    EXPECT_EQ(dgnAccess, 0) << "access ends with the link";
}

TEST_F(DiagnosticsTest, EmptyPasswordOpensAtOnceButAnEmptyReplyNever) {
    ConnectDiagnostics("");
    EXPECT_EQ(dgnAccess, 1) << "the probe unlocks without typing";
    CloseComPort();
    DgnTimer();

    ecu.model.diag = ecusim::MakeDiagLog("");
    SimLink& link = ConnectSimulator();
    link.tamper = [](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x13 && reply) reply->data.clear(); // the frame lacks its byte
        return reply;
    };
    DgnTimer();
    EXPECT_EQ(dgnAccess, 0);
    popups.ExpectMessage();
    Click(hDgnPanel, DIAGN::CBdgnPwdConfirm);
    EXPECT_EQ(dgnAccess, 0);
    EXPECT_EQ(popups.Records().back().text, "Invalid passwords...");
}

TEST_F(DiagnosticsTest, PasswordChangeTakesTwoEqualTypings) {
    SimLink& link = ConnectDiagnostics("");
    DgnTimer();
    popups.ExpectMessage();
    Click(hDgnPanel, DIAGN::CBdgnPwdSet); // "Enter"
    TypePassword("abc");
    Click(hDgnPanel, DIAGN::CBdgnPwdSet); // "Re-enter"
    TypePassword("abd");
    Click(hDgnPanel, DIAGN::CBdgnPwdSet);
    EXPECT_EQ(popups.Records().back().text, "Typed passwords do not match...");
    EXPECT_EQ(RequestsOf(link, 0x13).size(), 0u);

    Click(hDgnPanel, DIAGN::CBdgnPwdSet);
    TypePassword("abc");
    Click(hDgnPanel, DIAGN::CBdgnPwdSet);
    TypePassword("abc");
    Click(hDgnPanel, DIAGN::CBdgnPwdSet);
    ASSERT_EQ(RequestsOf(link, 0x13).size(), 1u);
    EXPECT_EQ(RequestsOf(link, 0x13)[0], (Bytes{0, 'a', 'b', 'c', 0, 0, 0, 0, 0}));
    EXPECT_EQ(dgnAccess, 1);
    EXPECT_EQ(ecu.model.diag.password[2], 'c');
}

// The password typed into its field and Enter, as the user confirms it: Enter presses "Confirm"; during a
// change, the change button at its step ("Enter", then "Re-enter", which sets the new password). With the
// link closed "Confirm" is dimmed, and Enter presses nothing.
TEST_F(DiagnosticsTest, EnterInThePasswordFieldPressesTheButtonOfItsStep) {
    SimLink& link = ConnectDiagnostics();
    ASSERT_EQ(FocusWindow(hMainPanel), 0);
    const auto typeAndEnter = [](const char* text) {
        ASSERT_EQ(SetActiveCtrl(hDgnPanel, DIAGN::STRdgnPwd), 0); // the user clicks into the field
        for (const char* k = text; *k != '\0'; ++k)
            ASSERT_EQ(TypeKey(*k), 0);
        ASSERT_EQ(TypeKey(VAL_ENTER_VKEY), 0);
    };
    const auto label = [] {
        char text[32] = "";
        GetCtrlAttribute(hDgnPanel, DIAGN::CBdgnPwdSet, ATTR_LABEL_TEXT, text);
        return std::string(text);
    };
    popups.ExpectMessage();
    typeAndEnter("wrong");
    ASSERT_EQ(popups.Records().size(), 1u) << "Confirm pressed";
    EXPECT_EQ(popups.Records()[0].text, "Invalid passwords...");
    typeAndEnter("service");
    ASSERT_EQ(dgnAccess, 1) << "confirmed";
    DgnTimer(); // the change button follows the access
    ASSERT_EQ(Click(hDgnPanel, DIAGN::CBdgnPwdSet), 0);
    EXPECT_EQ(label(), "Enter");
    typeAndEnter("abc");
    EXPECT_EQ(label(), "Re-enter");
    typeAndEnter("abc");
    EXPECT_EQ(label(), "Change");
    ASSERT_FALSE(RequestsOf(link, 0x13).empty());
    EXPECT_EQ(RequestsOf(link, 0x13).back(), (Bytes{0, 'a', 'b', 'c', 0, 0, 0, 0, 0})) << "the new password";
    EXPECT_EQ(ecu.model.diag.password[2], 'c');

    CloseComPort();
    DgnTimer();
    ASSERT_EQ(CtrlAttr(hDgnPanel, DIAGN::CBdgnPwdConfirm, ATTR_DIMMED), 1);
    typeAndEnter("abc");
    EXPECT_EQ(popups.Records().size(), 1u) << "nothing pressed";
}

TEST_F(DiagnosticsTest, WritesAreScaledAndRoundedAsTheEcuStoresThem) {
    SimLink& link = ConnectDiagnostics("");
    DgnTimer(); // access granted: the limits are open
    struct Case {
        int control;
        double value;
        Bytes request; // value (big-endian), code, sub
    };
    const Case cases[] = {
        {DIAGN::NUMthrottleLimit, 70.0, {0, 0, 0x02, 0xBC, 6, 0}},
        {DIAGN::NUMdistLimit, 12340, {0, 0, 0x04, 0xD2, 7, 0}},
        {DIAGN::NUMkFlowCorrH, 1.25, {0x03, 0xE8, 0x04, 0xE2, 2, 0}},
        {DIAGN::NUMth2oADmax, 900, {0, 0, 0x03, 0x84, 28, 4}},
    };
    for (const Case& c : cases) {
        link.requests.clear();
        ASSERT_EQ(SetValueAsUser(hDgnPanel, c.control, c.value), 0) << c.control;
        const auto sent = RequestsOf(link, 0x11);
        ASSERT_EQ(sent.size(), 1u) << c.control;
        EXPECT_EQ(sent[0], c.request) << c.control;
    }
    EXPECT_EQ(ecu.model.diag.throttleLimit, 700);
    EXPECT_EQ(diagParam.adMax[1], 900) << "the reply is the whole record with the write applied";
    EXPECT_LT(diagParam.physMax[1], diagParam.physMin[1]) << "the ECU computed the water temperature bound";
}

TEST_F(DiagnosticsTest, DefaultsWriteOnlyWhatDiffers) {
    SimLink& link = ConnectDiagnostics("");
    popups.AnswerConfirm(true).ExpectMessage();
    Click(hDgnPanel, DIAGN::CBdefaultParms);
    EXPECT_EQ(popups.Records().back().text, " Done!");
    EXPECT_FALSE(RequestsOf(link, 0x11).empty());
    const ecusim::DiagLog& d = ecu.model.diag;
    EXPECT_EQ(d.chanOffMask, 0x1FF) << "every channel ends switched off";
    EXPECT_FALSE(d.autoReset);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(d.maxErr[i], 65535);
        EXPECT_EQ(d.adMin[i], 0);
        EXPECT_EQ(d.adMax[i], 1023);
        EXPECT_EQ(d.adRecov[i], 512);
    }

    link.requests.clear();
    popups.AnswerConfirm(true).ExpectMessage();
    Click(hDgnPanel, DIAGN::CBdefaultParms);
    EXPECT_TRUE(RequestsOf(link, 0x11).empty()) << "already the defaults: nothing is sent";
}

TEST_F(DiagnosticsTest, ChannelResetButtonIsRedOnlyWhileInErrorAndOn) {
    ecu.model.engine.openChannels = 1u << 6; // aux2's sensor disconnected: in error while its diagnosis is on
    ecusim::AdvanceEngine(ecu.model, 1.0);
    ConnectDiagnostics("");
    DgnTimer();
    const int normal = CtrlAttr(hDgnPanel, DIAGN::CBfarfErrReset, ATTR_TEXT_BGCOLOR);
    EXPECT_EQ(CtrlAttr(hDgnPanel, DIAGN::CBaux2ErrReset, ATTR_TEXT_BGCOLOR), 0xFF0000);
    Click(hDgnPanel, DIAGN::TOGBaux2); // switch its diagnosis off
    DgnTimer();
    EXPECT_EQ(CtrlAttr(hDgnPanel, DIAGN::CBaux2ErrReset, ATTR_TEXT_BGCOLOR), normal);
    EXPECT_EQ(CtrlAttr(hDgnPanel, DIAGN::NUMaux2ADmin, ATTR_DIMMED), 1);
}

TEST_F(DiagnosticsTest, ParametersAreReadAgainWheneverThePageGetsTheFocus) {
    ConnectDiagnostics();
    HidePanel(hDgnPanel);
    ecu.model.diag.rpmLimit = 7777; // changed by another tool meanwhile
    Click(hMainPanel, MAIN::CBdiag);
    ASSERT_EQ(hCurPanel, hDgnPanel);
    EXPECT_EQ(diagParam.rpmLimit, 7777) << "read as the page came on screen";
    ecu.model.diag.rpmLimit = 6666;
    EXPECT_EQ(ActivateWindow(hMainPanel), 0); // back from another window
    EXPECT_EQ(diagParam.rpmLimit, 6666);
}

TEST_F(DiagnosticsTest, PhysicalBoundsAreShownOverTheirChannelsScale) {
    SimLink& link = ConnectDiagnostics("");
    // Each channel's bounds in physical units, as the ECU computed them: distinct and below zero.
    const auto physical = [](int i, int which) { return -(100 + 10 * i + which); };
    link.tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x11 && reply && reply->data.size() == 148) {
            for (int i = 0; i < 9; ++i) {
                for (int which = 0; which < 3; ++which) {
                    const auto word = static_cast<std::uint16_t>(physical(i, which));
                    const std::size_t at = std::size_t{54} + 36 * static_cast<std::size_t>(which) + 2 * i;
                    PutBE16(reply->data, at, word);
                }
            }
        }
        return reply;
    };
    ASSERT_TRUE(DiagParamExchange(0, 0, 0));
    ASSERT_TRUE(DgnTimer());
    struct Channel {
        const char* key;
        int min, max, recov;
        double scale;
    };
    const Channel channels[] = {
        {"farf", DIAGN::NUMfarfMin, DIAGN::NUMfarfMax, DIAGN::NUMfarfRecov, 10},
        {"th2o", DIAGN::NUMth2oMin, DIAGN::NUMth2oMax, DIAGN::NUMth2oRecov, 10},
        {"tair", DIAGN::NUMtairMin, DIAGN::NUMtairMax, DIAGN::NUMtairRecov, 10},
        {"pBaro", DIAGN::NUMpBaroMin, DIAGN::NUMpBaroMax, DIAGN::NUMpBaroRecov, 1},
        {"pVacu", DIAGN::NUMpVacuMin, DIAGN::NUMpVacuMax, DIAGN::NUMpVacuRecov, 1},
        {"aux1", DIAGN::NUMaux1Min, DIAGN::NUMaux1Max, DIAGN::NUMaux1Recov, 10},
        {"aux2", DIAGN::NUMaux2Min, DIAGN::NUMaux2Max, DIAGN::NUMaux2Recov, 10},
        {"step", DIAGN::NUMstepMin, DIAGN::NUMstepMax, DIAGN::NUMstepRecov, 10},
        {"vBat", DIAGN::NUMvBatMin, DIAGN::NUMvBatMax, DIAGN::NUMvBatRecov, 10},
    };
    for (int i = 0; i < 9; ++i) {
        const Channel& c = channels[i];
        const int controls[] = {c.min, c.max, c.recov};
        for (int which = 0; which < 3; ++which) {
            double shown = 0;
            GetCtrlVal(hDgnPanel, controls[which], &shown);
            EXPECT_NEAR(shown, physical(i, which) / c.scale, 1e-9) << c.key << " value " << which;
        }
    }
}

// The user's on-time and distance and the two fuel counters are whole 32-bit words, the fuel counters
// signed: values whose two halves differ, past 16 bits and with the top bit set, show whole, so that a
// swapped half, a 16-bit read or a sign taken or lost would show.
TEST_F(DiagnosticsTest, UserAndFuelCountersShowTheirWholeWords) {
    SimLink& link = ConnectDiagnostics("");
    struct Case {
        std::uint32_t onTimeUser, distWheelUser, fuelConsMl, fuelRestMl; // as the ECU sends them
        const char* onTime;
        double distance, consumed, remaining; // as the page shows them
    };
    const Case cases[] = {
        {100001, 1193046, 100000, 70001, "   1d  3h 46m 41s", 1193.046, 100000, 70001},
        {3000000000u, 0xFFFE7961u, 0xFFFE7960u, 0xFFFEEE8Fu, "34722d  5h 20m  0s", 4294867.297, -100000,
         -70001},
    };
    for (const Case& c : cases) {
        link.tamper = [&c](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
            if (request.cmd == 0x10 && reply && reply->data.size() == 92) {
                ecusim::PutBE32(&reply->data[24], c.onTimeUser);
                ecusim::PutBE32(&reply->data[28], c.distWheelUser);
                ecusim::PutBE32(&reply->data[32], c.fuelConsMl);
                ecusim::PutBE32(&reply->data[36], c.fuelRestMl);
            }
            return reply;
        };
        ASSERT_TRUE(DgnTimer());
        EXPECT_EQ(CtrlText(hDgnPanel, DIAGN::STRonTimeUser), c.onTime);
        EXPECT_NEAR(Shown(DIAGN::NUMdistWheelUser), c.distance, 1e-6) << c.onTime;
        EXPECT_EQ(Shown(DIAGN::NUMfuelConsMl), c.consumed) << c.onTime;
        EXPECT_EQ(Shown(DIAGN::NUMfuelRestMl), c.remaining) << c.onTime;
    }
    link.tamper = nullptr;
}

TEST_F(DiagnosticsTest, ParameterExchangeWaitsFiveSecondsForItsReply) {
    SimLink& link = ConnectDiagnostics("");
    struct Case {
        double late; // seconds before the reply can be read
        bool ok;
    };
    const Case cases[] = {{4.0, true}, {6.0, false}};
    for (const Case& c : cases) {
        link.replyDelay = c.late;
        EXPECT_EQ(DiagParamExchange(0, 0, 0), c.ok) << "a reply " << c.late << " s late";
    }
    link.replyDelay = 0;
}

TEST_F(DiagnosticsTest, DefaultSequenceRunsTheProgressFromNoneOf52To52) {
    SimLink& link = ConnectDiagnostics("");
    // Parameters of which every one differs from its default: each of the 52 steps writes.
    ecusim::DiagLog& d = ecu.model.diag;
    d.kFlowCorrL = d.kFlowCorrH = 900;
    d.fuelLoadMl = 5;
    d.rpmLimit = d.throttleLimit = d.velWheelLimit = 1;
    d.distLimit = 1;
    d.maxErr.fill(1);
    d.adMin.fill(1);
    d.adMax.fill(1000);
    d.adRecov.fill(100);
    d.chanOffMask = 0;
    d.autoReset = true;
    ASSERT_TRUE(DiagParamExchange(0, 0, 0));
    std::vector<int> shownAtWrite; // the progress bar as each write goes out
    link.tamper = [&](const ecusim::Frame& request, std::optional<ecusim::Frame> reply) {
        if (request.cmd == 0x11) {
            int percent = -1;
            GetCtrlVal(hMainPanel, MAIN::NSprogressBar, &percent);
            shownAtWrite.push_back(percent);
        }
        return reply;
    };
    ASSERT_TRUE(SetDiagDefaults());
    ASSERT_EQ(shownAtWrite.size(), 52u);
    for (int n = 1; n <= 52; ++n)
        EXPECT_EQ(shownAtWrite[n - 1], 100 * (n - 1) / 52) << "before step " << n;
    int percent = -1;
    GetCtrlVal(hMainPanel, MAIN::NSprogressBar, &percent);
    EXPECT_EQ(percent, 100) << "52 of 52 after the last step";

    // Already the defaults: nothing is written, and the bar still ends at 52 of 52.
    SetProgressBar(0, 0);
    shownAtWrite.clear();
    ASSERT_TRUE(SetDiagDefaults());
    EXPECT_TRUE(shownAtWrite.empty());
    GetCtrlVal(hMainPanel, MAIN::NSprogressBar, &percent);
    EXPECT_EQ(percent, 100);
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::NSprogressBar, ATTR_VISIBLE), 1);
    SetProgressBar(0, 0);
}
