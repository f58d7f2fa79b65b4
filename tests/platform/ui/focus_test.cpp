// Where the keyboard is: back on the control that had it once a popup closes, on a popup's first choice,
// drawn as focused, every time it opens, only ever on controls that show, and a page's function keys reach
// the page whichever of its window's own controls has it.
#include "keyboardfocus.h"
#include "platform/ui/popup.h"
#include "platform/ui/uitest.h"
#include "tests/platform/ui/fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOption>
#include <array>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// A panel shown as a popup and waited on as the programs do, answered with the key.
void RunPanelPopup(int panel, int key) {
    uitest::TypeKeyInPopup(key);
    ASSERT_EQ(InstallPopup(panel), 0);
    while (uitest::IsPopupInstalled(panel))
        WaitSystemEvents();
}

struct FocusTest : UiTest {
    void SetUp() override {
        UiTest::SetUp();
        none = SetPopupHook({}); // the run-time's own dialogs
        page = LoadPanel(main, "sample.uir", CHILD::id);
        dlg = LoadPanel(0, "sample.uir", DLG::id);
        ASSERT_GT(page, 0);
        ASSERT_GT(dlg, 0);
        InstallPanelCallback(page, MainPanelCb, nullptr);
    }
    void TearDown() override {
        DiscardPanel(dlg);
        DiscardPanel(page);
        SetPopupHook(none);
        UiTest::TearDown();
    }
    PopupHook none;
    int page = 0, dlg = 0;
};

TEST_F(FocusTest, FocusGoesBackToTheControlThatHadItWhenAPopupCloses) {
    // Enter in a panel popup (a button pressed, or the panel's own key) closes it, as its OK would; a
    // message may come over it first, or at once after it closed (before the display has made the window
    // under it active again).
    enum class Message { None, Over, After } message = Message::None;
    Place overPopup{};
    const auto showMessage = [] {
        uitest::TypeKeyInPopup(VAL_ENTER_VKEY);
        MessagePopup("Protection", "Invalid password!");
    };
    reaction = [&](const EventRecord& e) {
        const bool popupKey = e.event == EVENT_COMMIT || (e.event == EVENT_KEYPRESS && e.control == 0);
        if ((e.panel != dlg && e.panel != page) || !popupKey || !uitest::IsPopupInstalled(e.panel)) return 0;
        if (message == Message::Over) {
            showMessage();
            overPopup = Focused();
        }
        RemovePopup(0);
        if (message == Message::After) showMessage();
        return 0;
    };
    const auto withMessage = [&](Message m) {
        return [&, m] {
            message = m;
            RunPanelPopup(dlg, VAL_ENTER_VKEY);
            message = Message::None;
        };
    };
    struct Case {
        const char* what;
        std::function<void()> open; // returns once the popup is closed
    };
    const Case cases[] = {
        {"message",
         [] {
             uitest::TypeKeyInPopup(VAL_ENTER_VKEY);
             MessagePopup("Receive", "Done!");
         }},
        {"question",
         [] {
             uitest::TypeKeyInPopup(VAL_ESC_VKEY);
             ConfirmPopup("Exit", "Exit without saving changes?", ConfirmDefault::No);
         }},
        {"file dialog",
         [] {
             uitest::TypeKeyInPopup(VAL_ESC_VKEY);
             std::array<char, 260> path{};
             FileSelectPopup("/tmp", "*.ecd", "*.ecd", "Load", VAL_LOAD_BUTTON, 0, 1, 1, 0, path);
         }},
        {"a page shown as a popup", [this] { RunPanelPopup(page, VAL_ENTER_VKEY); }},
        {"a window shown as a popup", [this] { RunPanelPopup(dlg, VAL_ENTER_VKEY); }},
        {"a message over a popup",
         [&] {
             withMessage(Message::Over)();
             EXPECT_EQ(overPopup, Place(dlg, DLG::CBok)) << "the popup's control, under the message";
         }},
        {"a message as a popup closes", withMessage(Message::After)},
    };
    ASSERT_EQ(uitest::FocusWindow(main), 0);
    for (const int control : {MAINP::NUMval, MAINP::TABgrid})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", from control " + std::to_string(control));
            ASSERT_EQ(uitest::TabTo(main, control), 0);
            c.open();
            EXPECT_EQ(Focused(), Place(main, control));
        }
}

// Whatever the user or the program did with it the last time, a popup opens on its first choice, drawn as
// focused: the program may show or dim its choices between installing it and waiting for the user; a
// control the program chose itself keeps the focus.
TEST_F(FocusTest, PopupOpensWithTheFocusOnItsFirstChoiceDrawnAsFocused) {
    // The program sets the popup's first choice (OK) up before installing it and between installing it and
    // waiting on it.
    struct Case {
        const char* what;
        int visible, dimmed; // before
        int visibleNow, dimmedNow;
        bool chooseNo; // the program puts the focus on No itself
        Place expected;
    };
    const Case cases[] = {
        {"first opening", 1, 0, 1, 0, false, {dlg, DLG::CBok}},
        {"again, the user left it on the last choice", 1, 0, 1, 0, false, {dlg, DLG::CBok}},
        {"its first choice hidden at the last closing, shown once installed",
         0,
         0,
         1,
         0,
         false,
         {dlg, DLG::CBok}},
        {"its first choice dimmed once installed", 1, 0, 1, 1, false, {dlg, DLG::CBno}},
        {"the program chose the control", 1, 0, 1, 0, true, {dlg, DLG::CBno}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Place at{};
        bool shows = false;
        SetCtrlAttribute(dlg, DLG::CBok, ATTR_VISIBLE, c.visible);
        SetCtrlAttribute(dlg, DLG::CBok, ATTR_DIMMED, c.dimmed);
        ASSERT_EQ(InstallPopup(dlg), 0);
        SetCtrlAttribute(dlg, DLG::CBok, ATTR_VISIBLE, c.visibleNow);
        SetCtrlAttribute(dlg, DLG::CBok, ATTR_DIMMED, c.dimmedNow);
        if (c.chooseNo) SetActiveCtrl(dlg, DLG::CBno);
        uitest::Later([&] {
            EXPECT_EQ(uitest::FocusWindow(dlg), 0);
            at = Focused();
            shows = uitest::ShowsFocus(at.first, at.second);
            EXPECT_EQ(uitest::TabTo(dlg, DLG::CBno), 0);
            RemovePopup(0);
        });
        while (uitest::IsPopupInstalled(dlg))
            WaitSystemEvents();
        EXPECT_EQ(at, c.expected);
        EXPECT_TRUE(shows) << "no focus frame";
    }

    // A message and a question: on the button Enter presses, drawn as focused, at every opening.
    for (const bool question : {false, true, false, true}) {
        SCOPED_TRACE(question ? "question" : "message");
        bool onDefault = false, shows = false;
        std::function<void()> look = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || QApplication::activeWindow() != box) return uitest::Later(look);
            QWidget* focus = QApplication::focusWidget();
            const auto* button = qobject_cast<QPushButton*>(focus);
            onDefault = button != nullptr && button->isDefault();
            QStyleOption o;
            if (focus != nullptr) o.initFrom(focus);
            shows = (o.state & QStyle::State_HasFocus) && (o.state & QStyle::State_KeyboardFocusChange);
            uitest::TypeKey(VAL_TAB_VKEY); // the user moves on, then leaves
            uitest::TypeKey(VAL_ESC_VKEY);
        };
        uitest::Later(look);
        if (question)
            ConfirmPopup("Map Tuning", "Abort?", ConfirmDefault::No);
        else
            MessagePopup("Map Tuning", "Done!");
        EXPECT_TRUE(onDefault);
        EXPECT_TRUE(shows) << "no focus frame";
    }
}

// Tab stops only at controls that show and take input: never at a panel itself (the window, a page inside
// it), a hidden control (one on the spot of a shown one too), a dimmed one or an indicator.
TEST_F(FocusTest, EveryTabStopIsAControlThatShows) {
    DisplayPanel(page);
    SetCtrlAttribute(main, MAINP::TABgrid, ATTR_VISIBLE, 0); // a table keeps Tab, to go from cell to cell
    // Where Tab stops, once round the window and more.
    const auto stops = [](int panel) {
        std::set<Place> seen;
        EXPECT_EQ(uitest::FocusWindow(panel), 0);
        for (int i = 0; i < 30; ++i) {
            EXPECT_EQ(uitest::TypeKey(VAL_TAB_VKEY), 0);
            seen.insert(Focused());
        }
        return seen;
    };
    const std::set<Place> window{{main, MAINP::CBgo},    {main, MAINP::TBon},    {main, MAINP::NUMval},
                                 {main, MAINP::RINGsel}, {main, MAINP::STRname}, {main, MAINP::TPpages},
                                 {main, MAINP::NSlevel}, {page, CHILD::NUMc}};
    EXPECT_EQ(stops(main), window);

    SetCtrlAttribute(main, MAINP::CBgo, ATTR_VISIBLE, 0);
    SetCtrlAttribute(main, MAINP::TMhid, ATTR_VISIBLE, 1);
    SetCtrlAttribute(main, MAINP::TMhid, ATTR_LEFT, 10); // a text where the hidden button is
    SetCtrlAttribute(main, MAINP::TMhid, ATTR_TOP, 10);
    SetCtrlAttribute(main, MAINP::NUMval, ATTR_CTRL_MODE, VAL_INDICATOR);
    std::set<Place> fewer = window;
    fewer.erase({main, MAINP::CBgo});
    fewer.erase({main, MAINP::NUMval});
    EXPECT_EQ(stops(main), fewer);

    ASSERT_EQ(InstallPopup(dlg), 0);
    EXPECT_EQ(stops(dlg), (std::set<Place>{{dlg, DLG::CBok}, {dlg, DLG::CBno}}));
    RemovePopup(0);
}

// A page's function keys are its commands: they reach it while the focus is on one of its window's own
// controls (a button the user clicked), before the window and the control hear them; other keys do not.
TEST_F(FocusTest, FunctionKeysOfAPageReachItWhicheverOfTheWindowsControlsHasTheFocus) {
    const int f5 = VAL_F1_VKEY + 0x400;
    DisplayPanel(page);
    ASSERT_EQ(uitest::FocusWindow(main), 0);
    ASSERT_EQ(uitest::MouseClick(main, MAINP::CBgo), 0);
    ASSERT_EQ(Focused(), Place(main, MAINP::CBgo)) << "the click gave the button the focus";
    bool pageTakes = false;
    reaction = [&](const EventRecord& e) { return e.panel == page && pageTakes ? 1 : 0; };
    struct Case {
        const char* what;
        int key;
        bool pageShown, pageTakes;
        std::vector<EventRecord> heard;
    };
    const Case cases[] = {
        {"taken by the page", f5, true, true, {{page, 0, EVENT_KEYPRESS, f5, 0}}},
        {"left by the page",
         f5 | VAL_SHIFT_MODIFIER,
         true,
         false,
         {{page, 0, EVENT_KEYPRESS, f5 | VAL_SHIFT_MODIFIER, 0},
          {main, 0, EVENT_KEYPRESS, f5 | VAL_SHIFT_MODIFIER, 0},
          {main, MAINP::CBgo, EVENT_KEYPRESS, f5 | VAL_SHIFT_MODIFIER, 0}}},
        {"a key that is no function key",
         'x',
         true,
         true,
         {{main, MAINP::CBgo, EVENT_KEYPRESS, 'x', 0}, {main, 0, EVENT_KEYPRESS, 'x', 0}}},
        {"the page hidden",
         f5,
         false,
         true,
         {{main, 0, EVENT_KEYPRESS, f5, 0}, {main, MAINP::CBgo, EVENT_KEYPRESS, f5, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.pageShown)
            DisplayPanel(page);
        else
            HidePanel(page);
        pageTakes = c.pageTakes;
        events.clear();
        ASSERT_EQ(uitest::TypeKey(c.key), 0);
        EXPECT_EQ(events, c.heard);
    }
}

} // namespace
