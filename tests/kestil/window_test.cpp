// The window: title, port selector and the requests to end, which wait while a run is under way.
#include "desktop.h"
#include "kestil/program.h"
#include "kestilfixture.h"
#include "platform/sys/utility.h"
#include "platform/ui/popup.h"
#include "platform/ui/uitest.h"
#include "shared/settingsfile.h"

#include <QApplication>
#include <QDialog>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

namespace {

using WindowTest = KestilFixture;

TEST_F(WindowTest, TitleIsBoundedWithItsClosingMarkKept) {
    EXPECT_TRUE(SetMainTitle(nullptr));
    EXPECT_EQ(Title(), "Kestil v3.0");
    EXPECT_TRUE(SetMainTitle("disconnected"));
    EXPECT_EQ(Title(), "Kestil v3.0    <disconnected>");
    const std::string longText(300, 'n');
    EXPECT_TRUE(SetMainTitle(longText.c_str()));
    const std::string title = Title();
    EXPECT_EQ(title.size(), 200u);
    EXPECT_EQ(title, "Kestil v3.0    <" + std::string(183, 'n') + ">");
}

TEST_F(WindowTest, PortRingOffersTheAdapterFirst) {
    int count = 0;
    GetNumListItems(hMainPanel, KESTIL::RINGport, &count);
    ASSERT_GE(count, 1);
    std::array<char, 16> label{};
    GetLabelFromIndex(hMainPanel, KESTIL::RINGport, 0, std::span(label));
    short value = 0;
    GetValueFromIndex(hMainPanel, KESTIL::RINGport, 0, &value);
    EXPECT_STREQ(label.data(), "USB");
    EXPECT_EQ(value, -1);
    int index = -1;
    GetCtrlIndex(hMainPanel, KESTIL::RINGport, &index);
    EXPECT_EQ(index, 0) << "port 0 (nothing chosen) selects the adapter";
}

TEST_F(WindowTest, EndRequestsWaitWhileARunIsUnderWay) {
    using Request = std::function<void()>;
    const std::pair<const char*, Request> requests[] = {
        {"Exit", [] { Exit(hMainPanel, KESTIL::CBexit, EVENT_COMMIT, nullptr, 0, 0); }},
        {"close box", [] { uitest::ClosePanel(hMainPanel); }},
        {"end of task", [] { EXPECT_EQ(KestilMainCallback(0, 0, EVENT_END_TASK, nullptr, 0, 0), 1); }},
    };
    for (const auto& [what, request] : requests) {
        fQuit = false;
        SetProgramming(true);
        request();
        EXPECT_FALSE(fQuit) << what << " while programming";
        SetProgramming(false);
        request();
        EXPECT_TRUE(fQuit) << what;
    }
}

// The keyboard alone reaches the window's buttons: the user tabs to one and presses Enter, "Program..."
// (here without a link: its connection error) and "Exit".
TEST_F(WindowTest, TabAndEnterPressTheButtonReached) {
    ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0);
    popups.ExpectMessage();
    ASSERT_EQ(uitest::TabTo(hMainPanel, KESTIL::CBprogram), 0);
    ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
    ASSERT_EQ(popups.Records().size(), 1u) << "Program... pressed";
    EXPECT_EQ(popups.Records()[0].text, "Connection error...");
    ASSERT_EQ(uitest::TabTo(hMainPanel, KESTIL::CBexit), 0);
    ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
    EXPECT_TRUE(fQuit);
}

// After a popup the keyboard is back on the button that opened it: Enter presses "Program..." again, after
// its connection error (closed with Enter) and after its firmware file dialog (left with Escape).
TEST_F(WindowTest, KeyboardIsBackOnTheButtonAfterItsPopup) {
    ecusim::EcuSim sim;
    struct Case {
        const char* what;
        bool linked;
        int answer; // the key that closes the popup
        PopupKind kind;
    };
    const Case cases[] = {
        {"connection error", false, VAL_ENTER_VKEY, PopupKind::Message},
        {"firmware file", true, VAL_ESC_VKEY, PopupKind::FileSelect},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.linked) {
            ASSERT_NE(ConnectBootSim(sim), nullptr);
        }
        ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0);
        ASSERT_EQ(uitest::TabTo(hMainPanel, KESTIL::CBprogram), 0);
        {
            const PopupHook script = SetPopupHook({}); // the run-time's own dialog
            uitest::TypeKeyInPopup(c.answer);
            ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
            SetPopupHook(script);
        }
        int panel = 0, control = 0;
        ASSERT_EQ(uitest::GetFocusedControl(&panel, &control), 0);
        EXPECT_EQ(panel, hMainPanel);
        EXPECT_EQ(control, KESTIL::CBprogram);
        if (c.kind == PopupKind::Message)
            popups.ExpectMessage();
        else
            popups.CancelFile();
        ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
        EXPECT_TRUE(popups.AllExpected()) << "not pressed again: " << popups.Report();
        ResetState();
    }
}

TEST_F(WindowTest, PortChoiceDuringARunStaysOnThePortInUse) {
    SetSettingsPort(-1);
    SetProgramming(true);
    InsertListItem(hMainPanel, KESTIL::RINGport, -1, "COM9", 9);
    SetCtrlVal(hMainPanel, KESTIL::RINGport, 9);
    SetComPort(hMainPanel, KESTIL::RINGport, EVENT_COMMIT, nullptr, 0, 0);
    short port = 0;
    GetCtrlVal(hMainPanel, KESTIL::RINGport, &port);
    EXPECT_EQ(port, -1);
    EXPECT_EQ(cfg.port, -1);
}

// The port field of the settings file as it lies on disk.
std::int16_t PortInSettingsFile() {
    char path[1100];
    SettingsPath(path);
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    if (bytes.size() != sizeof(ProgrammerCfg)) return 99;
    ProgrammerCfg stored{};
    std::memcpy(&stored, bytes.data(), sizeof stored);
    return stored.port;
}

TEST_F(WindowTest, PortChoiceReopensTheLinkAndWritesThePortInUse) {
    ecusim::EcuSim sim;
    std::optional<SocketBootSim> server;
    server.emplace(sim);
    ASSERT_NE(ConnectBootSim(sim), nullptr); // an open link that the choice must close first
    fBloadKnown = true;
    SetSettingsPort(5);
    ASSERT_EQ(uitest::SetValueAsUser(hMainPanel, KESTIL::RINGport, -1), 0);
    EXPECT_TRUE(isComOpen) << "reopened on the adapter's socket";
    EXPECT_EQ(cfg.port, -1);
    EXPECT_EQ(PortInSettingsFile(), -1);
    EXPECT_TRUE(fBloadKnown) << "the boot loader stays known";

    server.reset();
    ASSERT_EQ(uitest::SetValueAsUser(hMainPanel, KESTIL::RINGport, -1), 0);
    EXPECT_FALSE(isComOpen);
    EXPECT_EQ(cfg.port, 0) << "a failed open leaves no port";
    EXPECT_EQ(PortInSettingsFile(), 0);
}

// Kestil's own popups, as the run-time shows them, open over its window and centred on it wherever the
// user has moved it, as far as the screen allows: the message of the Program button without a link and the
// firmware file dialog, which is larger than the window and stays whole on the screen with the window at
// the screen's top left.
TEST_F(WindowTest, PopupsOpenCentredOnTheWindowWhereverItIs) {
    const PopupHook script = SetPopupHook({}); // the run-time's own dialogs
    const std::pair<const char*, std::function<void()>> kPopups[] = {
        {"message", [] { uitest::Click(hMainPanel, KESTIL::CBprogram); }},
        {"file dialog",
         [] {
             std::array<char, 1024> path{};
             SelzFirmwareFile("Firmware File", path);
         }},
    };
    const QRect area = ScreenArea();
    for (const auto& [what, open] : kPopups)
        for (const QPoint& at : {area.topLeft(), QPoint(30, 20), QPoint(400, 260)}) {
            SCOPED_TRACE(testing::Message() << what << " over the window at " << at.x() << "," << at.y());
            ASSERT_EQ(uitest::MoveWindow(hMainPanel, at.x(), at.y()), 0);
            const QRect window = FrameOf(hMainPanel);
            std::optional<QRect> shown;
            bool owned = false;
            std::function<void()> look = [&] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (dialog == nullptr) return uitest::Later(look); // not up yet
                shown = dialog->frameGeometry();
                owned =
                    dialog->parentWidget() != nullptr && dialog->parentWidget()->frameGeometry() == window;
                dialog->reject();
            };
            uitest::Later(look);
            open();
            ASSERT_TRUE(shown.has_value());
            EXPECT_TRUE(owned);
            ExpectCentredOnScreen(*shown, window);
        }
    SetPopupHook(script);
}

// The desktop groups and names Kestil's window as Kestil's, not as another program's: its start-up names
// the program.
TEST(KestilStart, NamesTheProgramKestil) {
    RegisterResource("screen.uir", kScreenUir);
    RegisterScreenCallbacks();
    ASSERT_TRUE(StartKestil()) << GetLastLoadError();
    ExpectDesktopNames("kestil", "Kestil");
    DiscardPanel(hMainPanel);
    hMainPanel = 0;
}

} // namespace
