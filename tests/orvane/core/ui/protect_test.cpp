// The "Protection" dialog: login keys in both layouts, password change, and the messages.
#include "orvanefixture.h"

#include "orvane/core/logic/ecucmds.h"
#include "orvane/core/ui/protect.h"

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Key bytes at even (CBprotect) or odd (logo) positions, the rest zero.
Bytes Keys(const Bytes& keyBytes, bool odd) {
    Bytes keys(30, 0);
    for (std::size_t i = 0; i < keyBytes.size(); ++i)
        keys[2 * i + (odd ? 1 : 0)] = keyBytes[i];
    return keys;
}

Bytes CurrentKeys() {
    return Bytes(aProtectKeys, aProtectKeys + 30);
}

struct ProtectTest : OrvaneTest {
    void SetUp() override {
        OrvaneTest::SetUp();
        ecu.model = ecusim::MakeEcuModel("");
    }

    // Types text into the dialog and presses one of its buttons.
    static void Type(const char* text, int button) {
        ASSERT_EQ(uitest::SetValueAsUser(hPwdPanel, PWD::STRpasswd, text), 0);
        ASSERT_EQ(uitest::Click(hPwdPanel, button), 0);
    }

    static void LogIn(const char* password) {
        ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
        Type(password, PWD::CBsetPwdA);
    }

    // The logo's hot spot in panel pixels.
    static Point HotSpot() {
        const int left = CtrlAttr(hMainPanel, MAIN::PIClogo, ATTR_LEFT);
        const int top = CtrlAttr(hMainPanel, MAIN::PIClogo, ATTR_TOP);
        const int width = CtrlAttr(hMainPanel, MAIN::PIClogo, ATTR_WIDTH);
        const int height = CtrlAttr(hMainPanel, MAIN::PIClogo, ATTR_HEIGHT);
        return {left + static_cast<int>(width * 0.92 + 0.5), top + static_cast<int>(height * 0.85 + 0.5)};
    }
};

} // namespace

TEST_F(ProtectTest, LoginKeysInBothLayouts) {
    LogIn("abc");
    EXPECT_FALSE(uitest::IsPopupInstalled(hPwdPanel));
    EXPECT_EQ(CurrentKeys(), Keys({0xC2, 0xC4, 0xC6}, false));

    SimLink& link = ConnectSimulator();
    ASSERT_TRUE(Ping());
    ASSERT_FALSE(link.requests.empty());
    EXPECT_EQ(link.requests.back().back(), 0x6D) << "the Ping frame's sum";

    const Point spot = HotSpot();
    uitest::SendMouse(hMainPanel, MAIN::PIClogo, EVENT_RIGHT_DOUBLE_CLICK, spot.x + 10, spot.y);
    EXPECT_FALSE(uitest::IsPopupInstalled(hPwdPanel)) << "off the hot spot: nothing";
    uitest::SendMouse(hMainPanel, MAIN::PIClogo, EVENT_RIGHT_DOUBLE_CLICK, spot.x + 4, spot.y - 4);
    ASSERT_TRUE(uitest::IsPopupInstalled(hPwdPanel));
    EXPECT_EQ(CtrlAttr(hPwdPanel, PWD::CBsetPwdB, ATTR_VISIBLE), 0) << "login only from the logo";
    Type("abc", PWD::CBsetPwdA);
    EXPECT_EQ(CurrentKeys(), Keys({0xC2, 0xC4, 0xC6}, true));
}

TEST_F(ProtectTest, PasswordTakenByteForByte) {
    LogIn("\xC1"
          "23456789012345");
    Bytes expected = {0x83};
    for (char c : std::string("23456789012345"))
        expected.push_back(LoginKey(static_cast<std::uint8_t>(c)));
    EXPECT_EQ(CurrentKeys(), Keys(expected, false)) << "all fifteen pairs filled";
}

TEST_F(ProtectTest, MismatchedReEntrySendsNothing) {
    SimLink& link = ConnectSimulator();
    ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
    EXPECT_EQ(CtrlAttr(hPwdPanel, PWD::CBsetPwdB, ATTR_DIMMED), 0);
    Type("abc", PWD::CBsetPwdB);
    EXPECT_TRUE(uitest::IsPopupInstalled(hPwdPanel));
    EXPECT_EQ(CtrlAttr(hPwdPanel, PWD::CBsetPwdB, ATTR_VISIBLE), 0);
    popups.ExpectMessage();
    Type("abd", PWD::CBsetPwdA);
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Error!");
    EXPECT_EQ(popups.Records()[0].text, "Typed passwords do not match...");
    EXPECT_TRUE(link.requests.empty());
    EXPECT_EQ(CurrentKeys(), Bytes(30, 0)) << "keys unchanged";
    EXPECT_FALSE(uitest::IsPopupInstalled(hPwdPanel));
    EXPECT_EQ(fPwdConfirm, 0);
}

TEST_F(ProtectTest, ChangeSendsTheNewPasswordAfterTheWarning) {
    SimLink& link = ConnectSimulator();
    ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
    Type("ab", PWD::CBsetPwdB);
    popups.AnswerConfirm(true);
    Type("ab", PWD::CBsetPwdA);
    ASSERT_FALSE(link.requests.empty());
    Bytes expected = {0x55, 0x0F, 0x02, 0x61, 0x62};
    expected.resize(5 + 13, 0);
    expected.push_back(0xD4);
    EXPECT_EQ(link.requests.front(), expected);
    EXPECT_EQ(popups.Records().at(0).text, "All configurations will be erased...");
    EXPECT_EQ(fPwdConfirm, 0);
}

TEST_F(ProtectTest, OpeningAgainStartsAtTheLoginStep) {
    SimLink& link = ConnectSimulator();
    ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
    Type("ab", PWD::CBsetPwdB);
    ASSERT_EQ(fPwdConfirm, 1);
    RemovePopup(0); // the dialog went away by some other path, still confirming
    LogIn("ab");
    EXPECT_EQ(fPwdConfirm, 0);
    for (const Bytes& frame : link.requests)
        EXPECT_NE(frame[2], 0x02) << "a login never changes the password";
}

TEST_F(ProtectTest, EscapeCancelsTheDialog) {
    ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
    EXPECT_EQ(uitest::SendKey(hPwdPanel, 0, VAL_ESC_VKEY), 1);
    EXPECT_FALSE(uitest::IsPopupInstalled(hPwdPanel));
}

// The password typed and Enter, as the user logs in: Enter presses the dialog's first button, "Log in" at
// the login step and "Confirm" while a change is confirmed; with the focus moved to another button, that
// button.
TEST_F(ProtectTest, EnterPressesLogInOrConfirm) {
    const auto typeAndEnter = [](const char* text, int focused) {
        ASSERT_EQ(uitest::SetValueAsUser(hPwdPanel, PWD::STRpasswd, text), 0);
        ASSERT_EQ(SetActiveCtrl(hPwdPanel, focused), 0);
        EXPECT_EQ(uitest::PressKey(hPwdPanel, focused, VAL_ENTER_VKEY), 1) << "consumed";
    };
    ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
    typeAndEnter("abc", PWD::STRpasswd);
    EXPECT_FALSE(uitest::IsPopupInstalled(hPwdPanel)) << "logged in";
    EXPECT_EQ(CurrentKeys(), Keys({0xC2, 0xC4, 0xC6}, false));

    ConnectSimulator();
    ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
    Type("ab", PWD::CBsetPwdB);
    popups.AnswerConfirm(false);
    typeAndEnter("ab", PWD::STRpasswd);
    ASSERT_EQ(popups.Records().size(), 1u) << "Confirm pressed";
    EXPECT_EQ(popups.Records()[0].text, "All configurations will be erased...");
    EXPECT_FALSE(uitest::IsPopupInstalled(hPwdPanel));

    ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
    typeAndEnter("xyz", PWD::CBcancel); // the user tabbed to Cancel
    EXPECT_FALSE(uitest::IsPopupInstalled(hPwdPanel));
    EXPECT_EQ(CurrentKeys(), Keys({0xC2, 0xC4, 0xC6}, false)) << "cancelled: the keys of the last login";
}

TEST_F(ProtectTest, WrongPasswordKeepsTheLightRed) {
    ecu.model = ecusim::MakeEcuModel("secret");
    ConnectSimulator();
    Tick();
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::TBcom, ATTR_ON_COLOR), VAL_RED);
    popups.ExpectMessage();
    LogIn("wrong");
    ASSERT_EQ(popups.Records().size(), 1u);
    EXPECT_EQ(popups.Records()[0].title, "Protection");
    EXPECT_EQ(popups.Records()[0].text, "Invalid password!");
    Tick();
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::TBcom, ATTR_ON_COLOR), VAL_RED);
    LogIn("secret");
    Tick();
    EXPECT_EQ(CtrlAttr(hMainPanel, MAIN::TBcom, ATTR_ON_COLOR), VAL_GREEN);
}

// A password change as the user meets it when something goes wrong: the link closed before or during the
// change, the warning refused, the login Ping after the change unanswered, and a slow ECU (the erase
// takes seconds) whose reply still counts.
TEST_F(ProtectTest, ChangeWhenTheLinkOrTheUserSaysNo) {
    struct Case {
        const char* what;
        bool warningYes;
        bool closeBeforeConfirm;
        bool dropPings;
        double replyDelay;
        bool passwordSent;
        const char* message; // nullptr: none
    };
    const Case cases[] = {
        {"warning answered No", false, false, false, 0, false, nullptr},
        {"link closed before the confirmation", true, true, false, 0, false, "Some error occurred..."},
        {"Ping unanswered after the change", true, false, true, 0, true, "Some error occurred..."},
        {"ECU replies after 1.5 s", true, false, false, 1.5, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ecu.model = ecusim::MakeEcuModel("");
        SimLink& link = ConnectSimulator();
        ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
        Type("ab", PWD::CBsetPwdB);
        link.tamper = [&link, &c](const ecusim::Frame& request,
                                  std::optional<ecusim::Frame> reply) -> std::optional<ecusim::Frame> {
            link.replyDelay = request.cmd == CMD_SET_PASSWORD ? c.replyDelay : 0;
            return c.dropPings && request.cmd == CMD_PING ? std::nullopt : reply;
        };
        if (c.closeBeforeConfirm) CloseComPort();
        ScriptedPopups script;
        script.AnswerConfirm(c.warningYes);
        if (c.message != nullptr) script.ExpectMessage();
        Type("ab", PWD::CBsetPwdA);
        ASSERT_TRUE(script.AllExpected()) << script.Report();
        if (c.message != nullptr) {
            EXPECT_EQ(script.Records().back().title, "Protection");
            EXPECT_EQ(script.Records().back().text, c.message);
        }
        EXPECT_EQ(ecu.model.password[0] == 'a', c.passwordSent) << "the ECU took the new password";
        EXPECT_EQ(fPwdConfirm, 0);
        EXPECT_FALSE(uitest::IsPopupInstalled(hPwdPanel));
        if (isComOpen) CloseComPort();
    }
}

TEST_F(ProtectTest, ChangeIsDimmedWhileTheLinkIsClosedAndTheFieldHasTheFocus) {
    for (const bool open : {false, true, false}) {
        SCOPED_TRACE(open);
        if (open) ConnectSimulator();
        ASSERT_EQ(uitest::Click(hMainPanel, MAIN::CBprotect), 0);
        EXPECT_EQ(CtrlAttr(hPwdPanel, PWD::CBsetPwdB, ATTR_DIMMED), open ? 0 : 1);
        EXPECT_EQ(GetActiveCtrl(hPwdPanel), PWD::STRpasswd) << "typing goes to the password at once";
        SetActiveCtrl(hPwdPanel, PWD::CBcancel); // the user tabbed away before leaving
        uitest::Click(hPwdPanel, PWD::CBcancel);
        if (isComOpen) CloseComPort();
    }
}
