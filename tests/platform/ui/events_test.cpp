// Events: close box, keys, timers, drawing-only pumps, end of task, modal popups.
#include "platform/ui/events.h"
#include "platform/ui/layer.h"
#include "platform/ui/uitest.h"
#include "tests/platform/ui/fixture.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTimer>
#include <csignal>

namespace {

// Counts the events of one type that reach the objects it is installed on.
struct EventCounter : QObject {
    explicit EventCounter(QEvent::Type t) : type(t) {}
    QEvent::Type type;
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == type) ++count;
        return false;
    }
};

TEST_F(UiTest, CloseBoxAsksThePanelAndNeverClosesByItself) {
    EXPECT_EQ(uitest::ClosePanel(main), 0);
    ui::FindPanel(main)->frame->close(); // the window system's close
    EXPECT_EQ(events, (std::vector<EventRecord>{{main, 0, EVENT_CLOSE, 0, 0}, {main, 0, EVENT_CLOSE, 0, 0}}));
    EXPECT_TRUE(ui::FindPanel(main)->frame->isVisible());
    EXPECT_TRUE(uitest::IsPanelVisible(main));
}

TEST_F(UiTest, KeysGoToTheControlThenThePanelUnlessConsumed) {
    reaction = [](const EventRecord& e) { return e.control != 0 && e.data1 == VAL_ESC_VKEY ? 1 : 0; };
    EXPECT_EQ(uitest::SendKey(main, MAINP::NUMval, VAL_ESC_VKEY), 1);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(uitest::SendKey(main, MAINP::NUMval, 'a' | VAL_MENUKEY_MODIFIER), 0);
    EXPECT_EQ(Of(0, EVENT_KEYPRESS).size(), 1u);
}

TEST_F(UiTest, FunctionKeysReachThePanelFirstWhicheverControlHasTheFocus) {
    const int f5 = VAL_F1_VKEY + 0x400;
    bool panelTakes = true;
    reaction = [&](const EventRecord& e) {
        return e.control != 0 || panelTakes ? 1 : 0;
    }; // the control eats all
    EXPECT_EQ(uitest::SendKey(main, MAINP::TABgrid, f5 | VAL_SHIFT_MODIFIER), 1);
    EXPECT_EQ(events, (std::vector<EventRecord>{{main, 0, EVENT_KEYPRESS, f5 | VAL_SHIFT_MODIFIER, 0}}));
    events.clear();
    panelTakes = false;
    EXPECT_EQ(uitest::SendKey(main, MAINP::TABgrid, f5), 1);
    EXPECT_EQ(events, (std::vector<EventRecord>{{main, 0, EVENT_KEYPRESS, f5, 0},
                                                {main, MAINP::TABgrid, EVENT_KEYPRESS, f5, 0}}))
        << "left by the panel: the control's";
    events.clear();
    EXPECT_EQ(uitest::SendKey(main, MAINP::TABgrid, 'x'), 1);
    EXPECT_EQ(events, (std::vector<EventRecord>{{main, MAINP::TABgrid, EVENT_KEYPRESS, 'x', 0}}))
        << "any other key: the control's alone";
}

// A key the callbacks leave is the focused widget's own: a slide steps by its increment (Page Up and Page
// Down by ten), a numeric counts the same way; each step reaches the callbacks as the user's value.
TEST_F(UiTest, KeysTheCallbacksLeaveMoveTheFocusedControl) {
    struct Case {
        int control;
        double from;
        int key;
        double to;
    };
    const Case cases[] = {
        {MAINP::NSlevel, 1.0, VAL_RIGHT_ARROW_VKEY, 1.001}, {MAINP::NSlevel, 1.0, VAL_LEFT_ARROW_VKEY, 0.999},
        {MAINP::NSlevel, 1.0, VAL_PAGE_UP_VKEY, 1.01},      {MAINP::NSlevel, 1.0, VAL_PAGE_DOWN_VKEY, 0.99},
        {MAINP::NSlevel, 2.0, VAL_RIGHT_ARROW_VKEY, 2.0},   {MAINP::NUMval, 5.0, VAL_UP_ARROW_VKEY, 6.0},
        {MAINP::NUMval, 50.0, VAL_PAGE_DOWN_VKEY, 40.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "control " << c.control << ", key " << std::hex << c.key);
        SetCtrlVal(main, c.control, c.from);
        events.clear();
        EXPECT_EQ(uitest::PressKey(main, c.control, c.key), 0);
        double v = 0;
        GetCtrlVal(main, c.control, &v);
        EXPECT_NEAR(v, c.to, 1e-9);
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.front(), (EventRecord{main, c.control, EVENT_KEYPRESS, c.key, 0})) << "heard first";
        EXPECT_EQ(Of(c.control, EVENT_COMMIT).size(), c.to != c.from ? 1u : 0u);
    }
    reaction = [](const EventRecord& e) { return e.event == EVENT_KEYPRESS ? 1 : 0; };
    SetCtrlVal(main, MAINP::NSlevel, 1.0);
    EXPECT_EQ(uitest::PressKey(main, MAINP::NSlevel, VAL_RIGHT_ARROW_VKEY), 1);
    double v = 0;
    GetCtrlVal(main, MAINP::NSlevel, &v);
    EXPECT_EQ(v, 1.0) << "a key the callback consumed never reaches the widget";
    SetCtrlAttribute(main, MAINP::NSlevel, ATTR_DIMMED, 1);
    EXPECT_EQ(uitest::PressKey(main, MAINP::NSlevel, VAL_RIGHT_ARROW_VKEY), uitest::kUnreachable);
}

// Enter ends what is being typed: a numeric or string commits its entry before any callback hears the key,
// so that a callback acting on Enter (a dialog's button) works on the value typed, even when it consumes
// the key.
TEST_F(UiTest, EnterCommitsTheEntryBeforeTheCallbacksHearIt) {
    ASSERT_EQ(uitest::FocusWindow(main), 0);
    double heard = -1;
    reaction = [&](const EventRecord& e) {
        const bool panelEnter = e.event == EVENT_KEYPRESS && e.control == 0 && e.data1 == VAL_ENTER_VKEY;
        if (panelEnter) GetCtrlVal(main, MAINP::NUMval, &heard);
        return panelEnter ? 1 : 0;
    };
    const auto type = [this](int control, const char* text) {
        ASSERT_EQ(SetActiveCtrl(main, control), 0);
        if (auto* box =
                qobject_cast<QAbstractSpinBox*>(ui::FindControl(main, control, nullptr)->widget.data()))
            box->selectAll();
        for (const char* k = text; *k != '\0'; ++k)
            ASSERT_EQ(uitest::TypeKey(*k), 0);
        events.clear();
        ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
    };
    type(MAINP::NUMval, "999");
    EXPECT_EQ(heard, 100);
    EXPECT_EQ(events, (std::vector<EventRecord>{{main, MAINP::NUMval, EVENT_VAL_CHANGED, 0, 0},
                                                {main, MAINP::NUMval, EVENT_COMMIT, 0, 0},
                                                {main, MAINP::NUMval, EVENT_KEYPRESS, VAL_ENTER_VKEY, 0},
                                                {main, 0, EVENT_KEYPRESS, VAL_ENTER_VKEY, 0}}));
    type(MAINP::STRname, "ab");
    EXPECT_EQ(events, (std::vector<EventRecord>{{main, MAINP::STRname, EVENT_COMMIT, 0, 0},
                                                {main, MAINP::STRname, EVENT_KEYPRESS, VAL_ENTER_VKEY, 0},
                                                {main, 0, EVENT_KEYPRESS, VAL_ENTER_VKEY, 0}}));
}

// A number being typed is the user's: a value the program sets meanwhile (a periodic page's) goes into the
// record but not over the typing, and the entry, ended by Enter or by leaving the box, commits what was
// typed, the number the box held before and the program's own included.
TEST_F(UiTest, NumberTypedWhileTheProgramSetsValuesIsTheUsers) {
    struct Case {
        const char* what;
        const char* typed;
        bool leave; // ends the entry by leaving the box, else by Enter
        double end;
    };
    const Case cases[] = {
        {"typed, Enter", "42", false, 42},
        {"typed, the box left", "42", true, 42},
        {"the number the box held before", "5", false, 5},
        {"the program's number", "7", false, 7},
    };
    ASSERT_EQ(uitest::FocusWindow(main), 0);
    auto* box = qobject_cast<QAbstractSpinBox*>(ui::FindControl(main, MAINP::NUMval, nullptr)->widget.data());
    const auto value = [this] {
        double v = -1;
        GetCtrlVal(main, MAINP::NUMval, &v);
        return v;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetCtrlVal(main, MAINP::NUMval, 5.0);
        ASSERT_EQ(SetActiveCtrl(main, MAINP::NUMval), 0);
        box->selectAll();
        events.clear();
        for (const char* k = c.typed; *k != '\0'; ++k) {
            ASSERT_EQ(uitest::TypeKey(*k), 0);
            SetCtrlVal(main, MAINP::NUMval, 7.0); // a tick after every key
        }
        EXPECT_EQ(box->text().toStdString(), c.typed) << "the typing stays";
        EXPECT_EQ(value(), 7) << "the record holds the program's value meanwhile";
        if (c.leave)
            ASSERT_EQ(SetActiveCtrl(main, MAINP::STRname), 0);
        else
            ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
        EXPECT_EQ(value(), c.end);
        EXPECT_EQ(box->text(), QString::number(c.end, 'f', 2));
        EXPECT_EQ(Of(MAINP::NUMval, EVENT_COMMIT).size(), 1u);
    }
    SetCtrlVal(main, MAINP::NUMval, 9.0); // nothing typed: shown at once, focus or not
    EXPECT_EQ(box->text(), "9.00");
}

// A slide's handle held with the mouse: a value the program sets meanwhile waits for the release, and the
// place the handle is let go at is the user's value (EVENT_VAL_CHANGED, EVENT_COMMIT), as after a quick
// drag. Let go where it was taken, or dimmed in the user's hand, the slide sends nothing and shows the value
// it holds: a key then steps from that.
TEST_F(UiTest, HeldSlideKeepsTheUsersPlaceUntilItIsLetGo) {
    struct Case {
        const char* what;
        bool moved;       // dragged to 1.5
        bool programSets; // the program sets 0.25 while the handle is held
        bool dimmed;      // the program dims the slide while the handle is held
        double held;      // the value the slide holds after the release
    };
    const Case cases[] = {
        {"quick drag", true, false, false, 1.5},
        {"held while the program sets a value", true, true, false, 1.5},
        {"let go where it was taken", false, true, false, 0.25},
        {"dimmed in the user's hand", true, false, true, 1.0},
    };
    const auto value = [this] {
        double v = 0;
        GetCtrlVal(main, MAINP::NSlevel, &v);
        return v;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetCtrlAttribute(main, MAINP::NSlevel, ATTR_DIMMED, 0);
        SetCtrlVal(main, MAINP::NSlevel, 1.0);
        events.clear();
        ASSERT_EQ(uitest::GrabSlide(main, MAINP::NSlevel), 0);
        if (c.moved) {
            ASSERT_EQ(uitest::MoveSlide(main, MAINP::NSlevel, 1.5), 0);
        }
        if (c.programSets) SetCtrlVal(main, MAINP::NSlevel, 0.25);
        if (c.dimmed) SetCtrlAttribute(main, MAINP::NSlevel, ATTR_DIMMED, 1);
        ASSERT_EQ(uitest::ReleaseSlide(main, MAINP::NSlevel), 0);
        const bool sent = c.moved && !c.dimmed;
        EXPECT_EQ(Of(MAINP::NSlevel, EVENT_VAL_CHANGED).size(), sent ? 1u : 0u);
        EXPECT_EQ(Of(MAINP::NSlevel, EVENT_COMMIT).size(), sent ? 1u : 0u);
        EXPECT_NEAR(value(), c.held, 0.02) << "a pixel of the track is worth 0.015";
        const double held = value();
        SetCtrlAttribute(main, MAINP::NSlevel, ATTR_DIMMED, 0);
        ASSERT_EQ(uitest::PressKey(main, MAINP::NSlevel, VAL_RIGHT_ARROW_VKEY), 0);
        EXPECT_NEAR(value(), held + 0.001, 1e-9) << "the slide shows the value it holds";
    }
}

// Enter on a command button that has the focus presses it: the button's callback hears the key, then the
// commit, and the key goes no further. A callback that consumes the key keeps the button unpressed; a
// toggle button is no button that Enter presses.
TEST_F(UiTest, EnterPressesTheFocusedButton) {
    ASSERT_EQ(uitest::FocusWindow(main), 0);
    ASSERT_EQ(SetActiveCtrl(main, MAINP::CBgo), 0);
    events.clear();
    ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
    EXPECT_EQ(events, (std::vector<EventRecord>{{main, MAINP::CBgo, EVENT_KEYPRESS, VAL_ENTER_VKEY, 0},
                                                {main, MAINP::CBgo, EVENT_COMMIT, 0, 0}}));
    reaction = [](const EventRecord& e) { return e.event == EVENT_KEYPRESS ? 1 : 0; };
    events.clear();
    ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
    EXPECT_TRUE(Of(MAINP::CBgo, EVENT_COMMIT).empty()) << "consumed by the button's callback";
    reaction = nullptr;
    ASSERT_EQ(SetActiveCtrl(main, MAINP::TBon), 0);
    ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
    double on = -1;
    GetCtrlVal(main, MAINP::TBon, &on);
    EXPECT_EQ(on, 0);
}

struct KeyCase {
    int qtKey;
    Qt::KeyboardModifiers mods;
    const char* text;
    int code;
};

TEST(UiKeys, QtKeysMapToCodesWithModifiers) {
    ui::EnsureApp(); // key events belong to the application's keyboard
    const KeyCase cases[] = {
        {Qt::Key_Escape, Qt::NoModifier, "\x1b", VAL_ESC_VKEY},
        {Qt::Key_Up, Qt::ShiftModifier, "", VAL_UP_ARROW_VKEY | VAL_SHIFT_MODIFIER},
        {Qt::Key_F3, Qt::AltModifier, "", (VAL_F1_VKEY + 0x200) | VAL_ALT_MODIFIER},
        {Qt::Key_C, Qt::ControlModifier, "\x03", 'C' | VAL_MENUKEY_MODIFIER},
        {Qt::Key_A, Qt::NoModifier, "a", 'a'},
        {Qt::Key_Plus, Qt::ShiftModifier, "+", '+' | VAL_SHIFT_MODIFIER},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", VAL_ENTER_VKEY},
    };
    for (const KeyCase& k : cases) {
        const QKeyEvent e(QEvent::KeyPress, k.qtKey, k.mods, QString::fromLatin1(k.text));
        EXPECT_EQ(ui::KeyCodeOf(e), k.code) << k.qtKey;
    }
}

TEST_F(UiTest, TimerIsNotReenteredWhileItsCallbackRuns) {
    int inner = -1;
    reaction = [&](const EventRecord& e) {
        if (e.event == EVENT_TIMER_TICK && inner < 0) inner = uitest::FireTimer(main, MAINP::TIMtick);
        return 0;
    };
    EXPECT_EQ(uitest::FireTimer(main, MAINP::TIMtick), 1);
    EXPECT_EQ(inner, 0); // dropped: the first tick still ran
    EXPECT_EQ(Of(MAINP::TIMtick, EVENT_TIMER_TICK).size(), 1u);
    SuspendTimerCallbacks();
    EXPECT_EQ(uitest::FireTimer(main, MAINP::TIMtick), 0);
    ResumeTimerCallbacks();
    EXPECT_EQ(uitest::FireTimer(main, MAINP::TIMtick), 1);
    SetCtrlAttribute(main, MAINP::TIMtick, ATTR_ENABLED, 0);
    EXPECT_EQ(uitest::FireTimer(main, MAINP::TIMtick), 0);
}

TEST_F(UiTest, DrawingPumpRunsNoCallbackButTheFullPumpDoes) {
    ProcessSystemEvents(); // nothing pending from the set-up
    events.clear();
    QWidget* target =
        QApplication::focusWidget() ? QApplication::focusWidget() : ui::FindPanel(main)->frame.data();
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    bool posted = false;
    QTimer::singleShot(0, [&] { posted = true; });
    ProcessDrawEvents();
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(posted);
    ProcessSystemEvents();
    EXPECT_TRUE(posted);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().event, EVENT_KEYPRESS);
    EXPECT_EQ(events.back().data1, VAL_ESC_VKEY);
}

int endTaskAnswer = 0;
int endTaskCalls = 0;
int EndTaskCallback(int, int, int event, void*, int, int) {
    if (event == EVENT_END_TASK) ++endTaskCalls;
    if (endTaskAnswer == 1) QuitUserInterface(7); // refuses the end, ends the loop its own way
    return endTaskAnswer;
}

// The mouse on an indicator button: its callback hears the clicks and the double click where the display
// finds the button under the pointer, and the button is not pressed by them.
TEST_F(UiTest, IndicatorButtonHearsItsClicksButIsNotPressed) {
    SetCtrlAttribute(main, MAINP::TBon, ATTR_CTRL_MODE, VAL_INDICATOR);
    QWidget* toggle = ui::FindControl(main, MAINP::TBon, nullptr)->widget;
    const QPointF global = toggle->mapToGlobal(QPointF(toggle->rect().center()));
    events.clear();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QWidget* under = QApplication::widgetAt(global.toPoint()); // where the display delivers it
        ASSERT_NE(under, nullptr);
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent e(type, under->mapFromGlobal(global), global, Qt::LeftButton,
                      down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(under, &e);
    }
    EXPECT_EQ(Of(MAINP::TBon, EVENT_LEFT_CLICK).size(), 1u);
    EXPECT_EQ(Of(MAINP::TBon, EVENT_LEFT_DOUBLE_CLICK).size(), 1u);
    EXPECT_TRUE(Of(MAINP::TBon, EVENT_COMMIT).empty());
    int on = -1;
    GetCtrlVal(main, MAINP::TBon, &on);
    EXPECT_EQ(on, 0);
}

TEST_F(UiTest, InputWhileAnOperationPumpsIsDroppedWholeButAReleaseArrivesAfterIt) {
    ProcessSystemEvents(); // nothing pending from the set-up
    events.clear();
    // The user types into the name field and, while the operation below runs, presses a key on the
    // numeric and lets go of the mouse button over the table (the end of a drag).
    QWidget* name = ui::FindControl(main, MAINP::STRname, nullptr)->widget;
    QCoreApplication::postEvent(name, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    QWidget* toggle = ui::FindControl(main, MAINP::TBon, nullptr)->widget;
    EventCounter spy(QEvent::MouseButtonRelease);
    toggle->installEventFilter(&spy);
    QCoreApplication::postEvent(toggle, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(5, 5),
                                                        toggle->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                                                        Qt::NoButton, Qt::NoModifier));
    int keyResult = -1;
    int releasesInOperation = -1;
    std::size_t seenInOperation = 0;
    uitest::Later([&] {
        keyResult = uitest::SendKey(main, MAINP::NUMval, '+');
        uitest::SendMouse(main, MAINP::TABgrid, EVENT_LEFT_CLICK_UP, 40, 150);
    });
    reaction = [&](const EventRecord& e) {
        if (e.control == MAINP::CBgo && e.event == EVENT_COMMIT) {
            ProcessSystemEvents(); // the operation lets the window repaint
            seenInOperation = events.size();
            releasesInOperation = spy.count;
        }
        return 0;
    };
    ASSERT_EQ(uitest::Click(main, MAINP::CBgo), 0);
    EXPECT_EQ(keyResult, 1) << "the key is gone: nothing else may take it";
    EXPECT_EQ(seenInOperation, 2u) << "no callback ran inside the operation";
    EXPECT_EQ(events.back(), (EventRecord{main, MAINP::TABgrid, EVENT_LEFT_CLICK_UP, 150, 40}))
        << "the release, once the operation was over";
    EXPECT_EQ(Of(MAINP::NUMval, EVENT_KEYPRESS).size(), 0u);
    EXPECT_EQ(Of(MAINP::STRname, EVENT_VAL_CHANGED).size(), 0u);
    char text[16] = "?";
    GetCtrlVal(main, MAINP::STRname, text);
    EXPECT_STREQ(text, "") << "the widget did not take the key either";
    EXPECT_EQ(releasesInOperation, 0);
    EXPECT_EQ(spy.count, 1) << "the widget's release, once the operation was over";
    ProcessSystemEvents(); // outside an operation, input flows again
    EXPECT_EQ(uitest::SendKey(main, MAINP::NUMval, '+'), 0);
    EXPECT_EQ(Of(MAINP::NUMval, EVENT_KEYPRESS).size(), 1u);
}

TEST_F(UiTest, SigtermBecomesEndTaskWhileTheLoopRuns) {
    InstallMainCallback(EndTaskCallback, nullptr, 0);
    endTaskCalls = 0;
    endTaskAnswer = 1;
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    EXPECT_EQ(RunUserInterface(), 7);
    EXPECT_EQ(endTaskCalls, 1);
    endTaskAnswer = 0; // accepted: the loop ends with 0
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    EXPECT_EQ(RunUserInterface(), 0);
    EXPECT_EQ(endTaskCalls, 2);
    InstallMainCallback(nullptr, nullptr, 0);
}

TEST_F(UiTest, ModalPopupBlocksTheOtherPanels) {
    const int dlg = LoadPanel(0, "sample.uir", DLG::id);
    ASSERT_EQ(InstallPopup(dlg), 0);
    EXPECT_TRUE(uitest::IsPopupInstalled(dlg));
    EXPECT_EQ(uitest::Click(main, MAINP::CBgo), uitest::kUnreachable);
    EXPECT_EQ(uitest::Click(dlg, DLG::CBok), 0);
    EXPECT_EQ(RemovePopup(0), 0);
    EXPECT_FALSE(uitest::IsPanelVisible(dlg));
    EXPECT_EQ(RemovePopup(0), UIE_NotPopup);
    EXPECT_EQ(uitest::Click(main, MAINP::CBgo), 0);
    EXPECT_EQ(events.front(), (EventRecord{dlg, DLG::CBok, EVENT_LEFT_CLICK, 22, 50}));
    EXPECT_EQ(events.back(), (EventRecord{main, MAINP::CBgo, EVENT_COMMIT, 0, 0}));
    DiscardPanel(dlg);
}

TEST_F(UiTest, PageComingOnScreenAndItsActivatedWindowGetTheFocus) {
    const int page = LoadPanel(main, "sample.uir", CHILD::id);
    ASSERT_GT(page, 0);
    InstallPanelCallback(page, MainPanelCb, nullptr);
    const std::vector<EventRecord> focusOfPage{{page, 0, EVENT_GOT_FOCUS, 0, 0}};
    DisplayPanel(page);
    EXPECT_EQ(events, focusOfPage);
    DisplayPanel(page); // already on screen: nothing new
    EXPECT_EQ(events, focusOfPage);

    events.clear();
    EXPECT_EQ(uitest::ActivateWindow(main), 0);
    EXPECT_EQ(events, (std::vector<EventRecord>{{main, 0, EVENT_GOT_FOCUS, 0, 0}, focusOfPage[0]}));
    events.clear();
    QEvent activate(QEvent::WindowActivate); // as the window system reports it
    QCoreApplication::sendEvent(ui::FindPanel(main)->frame, &activate);
    EXPECT_EQ(events, (std::vector<EventRecord>{{main, 0, EVENT_GOT_FOCUS, 0, 0}, focusOfPage[0]}));

    events.clear();
    HidePanel(page);
    EXPECT_EQ(uitest::ActivateWindow(main), 0);
    EXPECT_EQ(events, (std::vector<EventRecord>{{main, 0, EVENT_GOT_FOCUS, 0, 0}})) << "a hidden page";
    DiscardPanel(page);
}

TEST_F(UiTest, WindowZoomIsKeptInTheRecordAndShownWhenTheWindowShows) {
    const int dlg = LoadPanel(0, "sample.uir", DLG::id);
    int zoom = -1;
    GetPanelAttribute(dlg, ATTR_WINDOW_ZOOM, &zoom);
    EXPECT_EQ(zoom, VAL_NO_ZOOM);
    ASSERT_EQ(SetPanelAttribute(dlg, ATTR_WINDOW_ZOOM, VAL_MAXIMIZE), 0); // set while hidden
    ASSERT_EQ(InstallPopup(dlg), 0);
    EXPECT_TRUE(ui::FindPanel(dlg)->frame->isMaximized());
    EXPECT_EQ(uitest::ZoomWindow(dlg, VAL_NO_ZOOM), 0); // the user puts it back
    GetPanelAttribute(dlg, ATTR_WINDOW_ZOOM, &zoom);
    EXPECT_EQ(zoom, VAL_NO_ZOOM);
    EXPECT_FALSE(ui::FindPanel(dlg)->frame->isMaximized());
    EXPECT_EQ(uitest::ZoomWindow(dlg, VAL_MAXIMIZE), 0);
    GetPanelAttribute(dlg, ATTR_WINDOW_ZOOM, &zoom);
    EXPECT_EQ(zoom, VAL_MAXIMIZE);
    EXPECT_EQ(SetPanelAttribute(dlg, ATTR_WINDOW_ZOOM, 7), UIE_BadValue);
    RemovePopup(0);
    DiscardPanel(dlg);
}

TEST_F(UiTest, TabChangeReportsOldAndNewIndex) {
    ASSERT_EQ(uitest::SelectTab(main, MAINP::TPpages, 2), 0);
    EXPECT_EQ(Of(MAINP::TPpages, EVENT_ACTIVE_TAB_CHANGE),
              (std::vector<EventRecord>{{main, MAINP::TPpages, EVENT_ACTIVE_TAB_CHANGE, 0, 2}}));
    int page = 0;
    GetActiveTabPage(main, MAINP::TPpages, &page);
    EXPECT_EQ(page, 2);
    EXPECT_EQ(SetActiveTabPage(main, MAINP::TPpages, 3), UIE_BadIndex);
}

TEST_F(UiTest, GrabWritesAPicture) {
    const std::string path = testing::TempDir() + "main.png";
    ASSERT_EQ(uitest::GrabPanelToPng(main, path.c_str()), 0);
    EXPECT_FALSE(QPixmap(QString::fromStdString(path)).isNull());
}

} // namespace

namespace {

TEST_F(UiTest, ControlHiddenInTheResourceStaysHiddenWhenItsPanelShows) {
    const ui::Control* hidden = ui::FindControl(main, MAINP::TMhid, nullptr);
    ASSERT_NE(hidden, nullptr);
    EXPECT_TRUE(ui::FindPanel(main)->frame->isVisible());
    EXPECT_FALSE(hidden->widget->isVisible());
    SetCtrlAttribute(main, MAINP::TMhid, ATTR_VISIBLE, 1);
    EXPECT_TRUE(hidden->widget->isVisible());
}

} // namespace

namespace {

TEST_F(UiTest, DrawingPumpPaintsWhatChanged) {
    ProcessSystemEvents(); // the window is painted once
    EventCounter counter(QEvent::Paint);
    QWidget* numeric = ui::FindControl(main, MAINP::NUMval, nullptr)->widget;
    numeric->installEventFilter(&counter);
    ProcessDrawEvents();
    EXPECT_EQ(counter.count, 0) << "nothing changed, nothing painted";
    SetCtrlVal(main, MAINP::NUMval, 42.0);
    ProcessDrawEvents();
    EXPECT_GT(counter.count, 0);
    numeric->removeEventFilter(&counter);
}

} // namespace
