// The keyboard reaches the page being worked on: after a popup (a question, a message, a dialog) the keys
// go where they went before it, a page's function keys reach it while a main-window button has the focus,
// and every popup opens on its first choice, drawn as focused, however often it opens.
#include "keyboardfocus.h"
#include "orvanefixture.h"

#include "orvane/core/logic/ecucmds.h"
#include "orvane/core/ui/protect.h"
#include "orvane/live/live.h"
#include "orvane/maps/map1.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtrecords.h"
#include "orvane/tuning/mtstate.h"
#include "platform/ui/popup.h"

#include <QTimer>
#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <utility>

namespace {

// While it lives the program's popups are the run-time's own dialogs, answered from the keyboard.
struct RealPopups {
    RealPopups() : script(SetPopupHook({})) {}
    ~RealPopups() { SetPopupHook(std::move(script)); }
    RealPopups(const RealPopups&) = delete;
    RealPopups& operator=(const RealPopups&) = delete;
    PopupHook script;
};

constexpr int F3 = VAL_F1_VKEY + 0x200;
constexpr int F4 = VAL_F1_VKEY + 0x300;

struct KeyboardTest : OrvaneTest {
    // Back to the main window alone with the link closed, tuning over, as the next case expects.
    void TidyUp() {
        ecu.model.tuning = false;
        if (isComOpen) {
            CloseComPort();
            if (hCurPanel == hMp2Panel) Mp2Timer();
        }
        uitest::Click(hMainPanel, MAIN::CBmaps);
        if (hCurPanel == hMp2Panel) uitest::Click(hMp2Panel, MAPS2::CBexitAutoMaps);
        uitest::Click(hMainPanel, MAIN::CBinfo);
    }

    // The tuning page in manual mode with the ECU tuning cylinder 1, its table under the keyboard.
    void StartManualTuning() {
        uitest::Click(hMainPanel, MAIN::CBmaps);
        if (hCurPanel == hMp2Panel) uitest::Click(hMp2Panel, MAPS2::CBexitAutoMaps); // the editor first
        uitest::Click(hMp1Panel, MAPS1::CBmanualMap);
        ASSERT_EQ(hCurPanel, hMp2Panel);
        Mp2Timer();                  // the page sees the link closed
        popups.AnswerConfirm(false); // the first tick that sees the link asks about loading its data
        ConnectSimulator();
        SetCtrlVal(hMp2Panel, MAPS2::TBcyl1, 1);
        RaiseMtRequest(kReqManual);
        Mp2Timer();
        Mp2Timer();
        ASSERT_TRUE(IsMapTuning());
        ASSERT_EQ(SetActiveCtrl(hMp2Panel, MAPS2::TABmatrix), 0); // the keyboard's focus, as a click gives it
    }

    // F3 raises the manual injection correction in the ECU, F4 freezes it into the running cell.
    void ExpectManualKeysReachTheEcu() {
        SimLink& link = *static_cast<SimLink*>(ComLink());
        const std::uint16_t before = ecu.model.tune.ratio;
        ASSERT_EQ(uitest::TypeKey(F3), 0);
        for (int t = 0; t < 4 && ecu.model.tune.ratio == before; ++t)
            Tick();
        EXPECT_GT(ecu.model.tune.ratio, before) << "F3 sent nothing";
        link.requests.clear();
        ASSERT_EQ(uitest::TypeKey(F4), 0);
        Tick();
        EXPECT_TRUE(std::ranges::any_of(link.requests, [](const auto& f) {
            return f[2] == CMD_MAP_TUNING && f[1] == kMtFreezeSize;
        })) << "F4 sent no freeze";
    }
};

// Wherever the keyboard was when a popup opened, the page's keys work once it is closed, without a click
// into the page: the tuning page's function keys after its question (answered No, after a click on Maps),
// after the Protection dialog (opened by a click on its button) and after its help; the bench page's
// button pressed from the keyboard again after its message; the map editor's table stepped with "+" after
// its value dialog.
TEST_F(KeyboardTest, PageKeysWorkAfterAPopupWithoutAClickIntoThePage) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::function<void()> openAndAnswer; // from the keyboard or the mouse, as the user does
        Place after;                         // where the keyboard is afterwards
        std::function<void()> keysWork;
    };
    const std::function<void()> tuning = [this] { StartManualTuning(); };
    const std::function<void()> manualKeys = [this] { ExpectManualKeysReachTheEcu(); };
    const Case cases[] = {
        {"tuning page, Abort? answered No after a click on Maps",
         tuning,
         [] {
             uitest::TypeKeyInPopup(VAL_ENTER_VKEY); // its default: No
             ASSERT_EQ(uitest::MouseClick(hMainPanel, MAIN::CBmaps), 0);
             ASSERT_EQ(hCurPanel, hMp2Panel);
         },
         {hMainPanel, MAIN::CBmaps},
         manualKeys},
        {"tuning page, Protection opened by a click and left with Escape",
         tuning,
         [] {
             uitest::TypeKeyInPopup(VAL_ESC_VKEY);
             ASSERT_EQ(uitest::MouseClick(hMainPanel, MAIN::CBprotect), 0);
             while (uitest::IsPopupInstalled(hPwdPanel))
                 WaitSystemEvents();
         },
         {hMainPanel, MAIN::CBprotect},
         manualKeys},
        {"tuning page, its help closed with Enter",
         tuning,
         [] {
             uitest::TypeKeyInPopup(VAL_ENTER_VKEY);
             ASSERT_EQ(uitest::TypeKey(VAL_F1_VKEY), 0);
         },
         {hMp2Panel, MAPS2::TABmatrix},
         manualKeys},
        {"bench page, a test pressed from the keyboard with the link closed",
         [] {
             uitest::Click(hMainPanel, MAIN::CBlive);
             if (hCurPanel != hLv2Panel) uitest::SelectTab(hCurPanel, LIVE1::TPselectLive, 1);
             ASSERT_EQ(hCurPanel, hLv2Panel);
             ASSERT_EQ(CtrlAttr(hLv2Panel, LIVE2::CBtestInj1, ATTR_DIMMED), 0)
                 << "cylinder 1 has no injector";
             ASSERT_EQ(SetActiveCtrl(hLv2Panel, LIVE2::CBtestInj1), 0);
         },
         [] {
             uitest::TypeKeyInPopup(VAL_ENTER_VKEY); // "COMM error..."
             ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
         },
         {hLv2Panel, LIVE2::CBtestInj1},
         [this] {
             popups.ExpectMessage();
             ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
             ASSERT_FALSE(popups.Records().empty()) << "the button was not pressed again";
             EXPECT_EQ(popups.Records().back().text, "COMM error...");
             uitest::SelectTab(hLv2Panel, LIVE2::TPselectLive, 0); // the live pages open on page 1 again
         }},
        {"map editor, its value dialog opened with Ctrl+Enter and left with Escape",
         [] {
             uitest::Click(hMainPanel, MAIN::CBmaps);
             if (hCurPanel == hMp2Panel) uitest::Click(hMp2Panel, MAPS2::CBexitAutoMaps);
             ASSERT_EQ(hCurPanel, hMp1Panel);
             ASSERT_EQ(SetActiveCtrl(hMp1Panel, MAPS1::TABmatrix), 0);
             ASSERT_EQ(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, Point{3, 4}), 0);
         },
         [] {
             uitest::TypeKeyInPopup(VAL_ESC_VKEY);
             ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY | VAL_MENUKEY_MODIFIER), 0);
         },
         {hMp1Panel, MAPS1::TABmatrix},
         [] {
             double before = 0, after = 0;
             GetTableCellVal(hMp1Panel, MAPS1::TABmatrix, Point{3, 4}, &before);
             ASSERT_EQ(uitest::TypeKey('+'), 0);
             GetTableCellVal(hMp1Panel, MAPS1::TABmatrix, Point{3, 4}, &after);
             EXPECT_GT(after, before) << "'+' did not step the cell";
             ASSERT_EQ(uitest::TypeKey('-'), 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0);
        {
            const RealPopups real;
            c.openAndAnswer();
        }
        EXPECT_EQ(Focused(), c.after);
        c.keysWork();
        TidyUp();
    }
}

// "Select ECU Data" opens on "Configuration Data", drawn as focused, every time: Receive clicked and Enter
// read the configuration each time.
TEST_F(KeyboardTest, ReceiveAndEnterReadTheConfigurationEveryTime) {
    SimLink& link = ConnectSimulator();
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("opening " + std::to_string(round));
        link.requests.clear();
        bool shows = false, stuck = false;
        QTimer rescue; // only where Enter fails: Cancel ends the popup's wait
        rescue.setSingleShot(true);
        rescue.callOnTimeout([&] {
            stuck = true;
            uitest::Click(hEcuPanel, ECUSELZ::CBcancel);
        });
        uitest::Later([&] {
            EXPECT_EQ(uitest::FocusWindow(hEcuPanel), 0);
            shows = uitest::ShowsFocus(hEcuPanel, ECUSELZ::CBparData);
            EXPECT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
            rescue.start(5000);
        });
        popups.ExpectMessage();
        ASSERT_EQ(uitest::MouseClick(hMainPanel, MAIN::CBreceive), 0);
        rescue.stop();
        EXPECT_FALSE(stuck);
        EXPECT_TRUE(shows) << "not on Configuration Data, or no focus frame";
        ASSERT_FALSE(popups.Records().empty());
        EXPECT_EQ(popups.Records().back().text, "Done!");
        const bool configurationRead = std::ranges::any_of(link.requests, [](const auto& f) {
            return f[2] == CMD_READ_BLOCK && f[7] == 0 && f[8] == AREA_PAR;
        });
        EXPECT_TRUE(configurationRead);
        Tick(); // Receive is enabled again
    }
}

// Tab stops only at the main window's controls that show.
TEST_F(KeyboardTest, EveryTabStopOfTheMainWindowIsAControlThatShows) {
    ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0);
    std::set<Place> stops;
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(uitest::TypeKey(VAL_TAB_VKEY), 0);
        stops.insert(Focused());
    }
    for (const auto& [panel, control] : stops) {
        SCOPED_TRACE("control " + std::to_string(control));
        EXPECT_EQ(panel, hMainPanel);
        EXPECT_NE(control, 0) << "a stop that shows nothing";
        EXPECT_EQ(CtrlAttr(panel, control, ATTR_VISIBLE), 1);
        EXPECT_EQ(CtrlAttr(panel, control, ATTR_DIMMED), 0);
    }
    EXPECT_TRUE(stops.contains({hMainPanel, MAIN::CBexit}));
}

} // namespace
