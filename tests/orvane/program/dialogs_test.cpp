// Every dialog of the resource that the program shows as a popup leaves by its close box, by Escape and by
// Enter on its Cancel button, reached with Tab, as by a click on Cancel.
#include "desktop.h"
#include "keyboardfocus.h"
#include "orvanefixture.h"

#include "orvane/core/ui/ecuselect.h"
#include "orvane/core/ui/protect.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/mapval.h"
#include "orvane/tables/tables.h"
#include "orvane/tuning/map2.h"
#include "orvane/tuning/mtstate.h"

#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <utility>

namespace {

// The panels whose callback is the generic one: every popup of the program and the windows that keep
// their own rules (the main window, the two graphs).
std::set<std::string> GenericPanelsOfTheResource() {
    std::set<std::string> names;
    std::istringstream lines(kScreenUir);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string word, name, id, callback;
        if (!(words >> word >> name >> id) || word != "panel") continue;
        std::getline(words, callback, '"');
        std::getline(words, callback, '"'); // the title
        words >> callback;
        if (callback == "DlgGenericPanel") names.insert(name);
    }
    return names;
}

// Right-clicks a table cell with a one-cell selection on it: the page opens its value dialog.
void RightClickCell(int panel, int control, Point cell) {
    SetActiveTableCell(panel, control, cell);
    SetTableSelection(panel, control, Rect{cell.y, cell.x, 1, 1});
    Point pixel{};
    ASSERT_EQ(uitest::GetTableCellPoint(panel, control, cell, &pixel), 0);
    uitest::SendMouse(panel, control, EVENT_RIGHT_CLICK, pixel.x, pixel.y);
}

struct Dialog {
    const char* name;
    const int* panel;
    int cancel;
    std::function<void()> prepare; // brings the program to where the user opens the dialog
    std::function<void()> open;    // returns once the dialog is closed (the password dialog: at once)
};

void NoPreparation() {}

struct PopupsTest : OrvaneTest {
    bool synchronisationAsked = false;

    // The tuning dialog's case leaves the Maps button on the tuning page: back to the editor, as a user
    // would, so that the next test finds the Maps button as start-up left it.
    void TearDown() override {
        uitest::Click(hMainPanel, MAIN::CBmaps);
        if (hCurPanel == hMp2Panel) uitest::Click(hMp2Panel, MAPS2::CBexitAutoMaps);
        uitest::Click(hMainPanel, MAIN::CBinfo);
        OrvaneTest::TearDown();
    }

    // The popups with the way the program opens each.
    std::vector<Dialog> Dialogs() {
        return {
            {"PWD", &hPwdPanel, PWD::CBcancel, NoPreparation, [] { DlgProtection(1); }},
            {"ECUSELZ", &hEcuPanel, ECUSELZ::CBcancel, NoPreparation, [] { SelectEcuData(1); }},
            {"INJVAL", &hIj1Vpanel, INJVAL::CBcancel,
             [] {
                 uitest::Click(hMainPanel, MAIN::CBinj);
                 if (hCurPanel != hIj1Panel) uitest::SelectTab(hCurPanel, INJ2::TPselectInj, 0);
             },
             [] {
                 RightClickCell(hIj1Panel, INJ1::TABmapKjUserCyl, {2, 2});
             }},
            {"ADVVAL", &hAdvVpanel, ADVVAL::CBcancel, [] { uitest::Click(hMainPanel, MAIN::CBadv); },
             [] {
                 RightClickCell(hAdvPanel, ADV::TABmapKaUserCyl, {2, 2});
             }},
            {"LNRGAS", &hLrtPanel, LNRGAS::CBcancel,
             [this] {
                 ConnectSimulator(); // the calibration needs the ECU
                 uitest::Click(hMainPanel, MAIN::CBlineariz);
                 if (hCurPanel != hLn1Panel) uitest::SelectTab(hCurPanel, LNR2::TPselectLnr, 0);
             },
             [] { uitest::Click(hLn1Panel, LNR1::CBcalibrationFarf); }},
            {"MAPVAL", &hMpvPanel, MAPVAL::CBcancel,
             [] {
                 uitest::Click(hMainPanel, MAIN::CBmaps);
                 if (hCurPanel == hMp2Panel) uitest::Click(hMp2Panel, MAPS2::CBexitAutoMaps); // the editor
             },
             [] {
                 RightClickCell(hMp1Panel, MAPS1::TABmatrix, {3, 3});
             }},
            {"TUNEMAPVAL", &hMtvPanel, TUNEMAPVAL::CBcancel,
             [this] {
                 uitest::Click(hMainPanel, MAIN::CBmaps);
                 uitest::Click(hMp1Panel, MAPS1::CBmanualMap);
                 Mp2Timer(); // the page sees the link closed, whatever an earlier test left it seeing
                 if (!synchronisationAsked) popups.AnswerConfirm(false); // the first tuning tick asks
                 synchronisationAsked = true;
                 ConnectSimulator(); // the dialog changes cells in the ECU while it tunes
                 SetCtrlVal(hMp2Panel, MAPS2::TBcyl1, 1);
                 RaiseMtRequest(kReqManual);
                 Mp2Timer();
                 Mp2Timer();
                 ASSERT_TRUE(IsMapTuning());
             },
             [] {
                 RightClickCell(hMp2Panel, MAPS2::TABmatrix, {3, 4});
             }},
        };
    }
};

// Back where the next visit of a dialog starts: a tuning run ends with the link, and the main window goes
// back to its info page.
void LeaveTheDialogsPage() {
    if (isComOpen) {
        CloseComPort();
        Mp2Timer();
    }
    uitest::Click(hMainPanel, MAIN::CBinfo);
}

// Opens the dialog as the user does, lets whileShown act on it, cancels it, and leaves its page.
void VisitAndCancel(const Dialog& d, const std::function<void()>& whileShown) {
    d.prepare();
    uitest::Later([&] {
        whileShown();
        uitest::Click(*d.panel, d.cancel);
    });
    d.open();
    EXPECT_FALSE(uitest::IsPopupInstalled(*d.panel));
    LeaveTheDialogsPage();
}

TEST_F(PopupsTest, EveryPopupLeavesByItsCloseBoxEscapeOrEnterOnCancelAsByCancel) {
    const std::vector<Dialog> dialogs = Dialogs();
    std::set<std::string> covered{"MAIN", "GRAPH", "PLOT"}; // Escape does nothing there; tested elsewhere
    for (const Dialog& d : dialogs)
        covered.insert(d.name);
    ASSERT_EQ(covered, GenericPanelsOfTheResource()) << "a popup without a case here";

    const std::pair<const char*, std::function<void(const Dialog&)>> ways[] = {
        {"close box", [](const Dialog& d) { EXPECT_EQ(uitest::ClosePanel(*d.panel), 0); }},
        {"Escape",
         [](const Dialog& d) { EXPECT_EQ(uitest::SendKey(*d.panel, 0, VAL_ESC_VKEY), 1) << "consumed"; }},
        {"Enter on Cancel, reached by Tab",
         [](const Dialog& d) {
             ASSERT_EQ(uitest::FocusWindow(*d.panel), 0);
             ASSERT_EQ(uitest::TabTo(*d.panel, d.cancel), 0);
             EXPECT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
         }},
    };
    for (const Dialog& d : dialogs)
        for (const auto& [way, act] : ways) {
            SCOPED_TRACE(std::string(d.name) + ", " + way);
            bool shown = false, stuck = false;
            // Only where the way fails: Cancel ends the dialog's wait, so that the next case can run.
            QTimer rescue;
            rescue.setSingleShot(true);
            rescue.callOnTimeout([&] {
                stuck = true;
                uitest::Click(*d.panel, d.cancel);
            });
            d.prepare();
            uitest::Later([&, act = act] {
                shown = uitest::IsPopupInstalled(*d.panel);
                act(d);
                rescue.start(5000);
            });
            d.open();
            for (int i = 0; i < 3 && uitest::IsPopupInstalled(*d.panel); ++i)
                ProcessSystemEvents();
            rescue.stop();
            EXPECT_TRUE(shown);
            EXPECT_FALSE(stuck);
            EXPECT_FALSE(uitest::IsPopupInstalled(*d.panel));
            LeaveTheDialogsPage();
        }
}

} // namespace

// A number typed into a value dialog's field and Enter: the field takes the number (held to its range), and
// the dialog's first button, Apply, runs with it and ends the dialog. Each dialog opens on its default
// operation (set, or a percentage), where "-100" leaves the cell at its lowest; Apply afterwards, with the
// same number, finds nothing more to change.
TEST_F(PopupsTest, EnterInAValueDialogsFieldAppliesTheNumberTyped) {
    const std::map<std::string, int> fields = {{"INJVAL", INJVAL::NSval},
                                               {"ADVVAL", ADVVAL::NSval},
                                               {"MAPVAL", MAPVAL::NSval},
                                               {"TUNEMAPVAL", TUNEMAPVAL::NSval}};
    const std::map<std::string, int> applies = {{"INJVAL", INJVAL::CBapply},
                                                {"ADVVAL", ADVVAL::CBapply},
                                                {"MAPVAL", MAPVAL::CBapply},
                                                {"TUNEMAPVAL", TUNEMAPVAL::CBapply}};
    const auto saved = ecuMapData;
    std::fill_n(&ecuMapData.map1.cells[0][0][0], sizeof ecuMapData.map1.cells / 2, std::int16_t{1000});
    ASSERT_TRUE(ScatterAllPanels()); // shown, so that the page switches read the cells back as they are
    for (const Dialog& d : Dialogs()) {
        if (!fields.contains(d.name)) continue;
        SCOPED_TRACE(d.name);
        const int field = fields.at(d.name);
        // Opens the dialog, types "-100" into the field, ends it with end; the mapping data before and
        // after.
        const auto visit = [&](const std::function<void()>& end) {
            d.prepare();
            const auto before = ecuMapData;
            bool stuck = false;
            QTimer rescue; // only where Enter fails: Cancel ends the dialog's wait
            rescue.setSingleShot(true);
            rescue.callOnTimeout([&] {
                stuck = true;
                uitest::Click(*d.panel, d.cancel);
            });
            uitest::Later([&] {
                ASSERT_EQ(SetActiveCtrl(*d.panel, field), 0); // the user clicks into the field
                for (const int key : {'a' | VAL_MENUKEY_MODIFIER, int{'-'}, int{'1'}, int{'0'}, int{'0'}})
                    ASSERT_GE(uitest::PressKey(*d.panel, field, key), 0);
                end();
                rescue.start(5000);
            });
            d.open();
            rescue.stop();
            EXPECT_FALSE(stuck);
            EXPECT_FALSE(uitest::IsPopupInstalled(*d.panel));
            if (isComOpen) Mp2Timer(); // the tuning ECU reports the cells it changed
            const auto after = ecuMapData;
            LeaveTheDialogsPage();
            return std::pair{before, after};
        };
        const auto [before, byEnter] =
            visit([&] { EXPECT_EQ(uitest::PressKey(*d.panel, field, VAL_ENTER_VKEY), 1) << "consumed"; });
        EXPECT_NE(std::memcmp(&before, &byEnter, sizeof before), 0) << "Enter applied the number typed";
        const auto [again, byApply] = visit([&] { uitest::Click(*d.panel, applies.at(d.name)); });
        EXPECT_EQ(std::memcmp(&byEnter, &byApply, sizeof byEnter), 0) << "as Apply does";
    }
    ecuMapData = saved;
    EXPECT_TRUE(ScatterAllPanels());
}

TEST_F(PopupsTest, ValueDialogsReopenAsZoomedAsTheUserLeftThem) {
    for (const Dialog& d : Dialogs()) {
        if (!std::set<std::string>{"INJVAL", "ADVVAL", "MAPVAL", "TUNEMAPVAL"}.contains(d.name)) continue;
        SCOPED_TRACE(d.name);
        // Opens the dialog, notes its zoom state as it shows, lets the user zoom it (or not), cancels.
        const auto visit = [&](int leaveAs) {
            int shownAs = -1;
            VisitAndCancel(d, [&] {
                GetPanelAttribute(*d.panel, ATTR_WINDOW_ZOOM, &shownAs);
                EXPECT_EQ(uitest::ZoomWindow(*d.panel, leaveAs), 0);
            });
            return shownAs;
        };
        EXPECT_EQ(visit(VAL_MAXIMIZE), VAL_NO_ZOOM);
        EXPECT_EQ(visit(VAL_NO_ZOOM), VAL_MAXIMIZE) << "left maximised: opens maximised";
        EXPECT_EQ(visit(VAL_MAXIMIZE), VAL_NO_ZOOM); // the place of the normal window is known now
        EXPECT_EQ(visit(VAL_NO_ZOOM), VAL_MAXIMIZE) << "placed, and still maximised";
    }
}

// A value dialog that the user moves reopens where he left it, for the run.
TEST_F(PopupsTest, ValueDialogsReopenWhereTheUserLeftThem) {
    const std::set<std::string> keepTheirPlace{"INJVAL", "ADVVAL", "MAPVAL", "TUNEMAPVAL"};
    for (const Dialog& d : Dialogs()) {
        if (!keepTheirPlace.contains(d.name)) continue;
        SCOPED_TRACE(d.name);
        const auto visit = [&](std::optional<Point> moveTo) {
            Rect shown{};
            VisitAndCancel(d, [&] {
                uitest::GetWindowFrame(*d.panel, &shown);
                if (moveTo) {
                    EXPECT_EQ(uitest::MoveWindow(*d.panel, moveTo->x, moveTo->y), 0);
                }
            });
            return Point{shown.left, shown.top};
        };
        for (const Point& at : {Point{150, 120}, Point{60, 210}}) {
            visit(at);
            EXPECT_EQ(visit(std::nullopt), at);
        }
    }
}

// A dialog opens centred on the main window every time, as far as the screen allows, wherever the user has
// moved the main window and wherever he left the dialog; the value dialogs keep their place for the run
// instead.
TEST_F(PopupsTest, DialogsOpenCentredOnTheMainWindowWhereverItIs) {
    const std::set<std::string> keepTheirPlace{"INJVAL", "ADVVAL", "MAPVAL", "TUNEMAPVAL"};
    for (const Dialog& d : Dialogs()) {
        SCOPED_TRACE(d.name);
        std::optional<Rect> before;
        for (const Point& at : {Point{40, 30}, Point{260, 170}}) {
            ASSERT_EQ(uitest::MoveWindow(hMainPanel, at.x, at.y), 0);
            Rect shown{};
            bool looked = false;
            d.prepare();
            uitest::Later([&] {
                looked = uitest::GetWindowFrame(*d.panel, &shown) == 0;
                if (!keepTheirPlace.contains(d.name)) uitest::MoveWindow(*d.panel, 5, 5); // out of the way
                uitest::Click(*d.panel, d.cancel);
            });
            d.open();
            for (int i = 0; i < 3 && uitest::IsPopupInstalled(*d.panel); ++i)
                ProcessSystemEvents();
            ASSERT_TRUE(looked);
            EXPECT_FALSE(uitest::IsPopupInstalled(*d.panel));
            LeaveTheDialogsPage();
            if (keepTheirPlace.contains(d.name)) {
                if (before) {
                    EXPECT_EQ(shown, *before) << "moved with the main window";
                }
                before = shown;
                continue;
            }
            ExpectCentredOnScreen({shown.left, shown.top, shown.width, shown.height}, FrameOf(hMainPanel));
        }
    }
}

// Every popup opens with the focus on its first choice, drawn as focused, however often it opens and
// wherever the user left the focus the time before; and Tab stops only at its controls that show.
TEST_F(PopupsTest, EveryPopupOpensOnItsFirstChoiceEveryTime) {
    const std::map<std::string, int> firstChoices = {
        {"PWD", PWD::STRpasswd},          {"ECUSELZ", ECUSELZ::CBparData}, {"INJVAL", INJVAL::NSval},
        {"ADVVAL", ADVVAL::NSval},        {"LNRGAS", LNRGAS::CBset},       {"MAPVAL", MAPVAL::NSval},
        {"TUNEMAPVAL", TUNEMAPVAL::NSval}};
    for (const Dialog& d : Dialogs()) {
        ASSERT_TRUE(firstChoices.contains(d.name)) << d.name << " without its first choice here";
        for (int opening = 1; opening <= 3; ++opening) {
            SCOPED_TRACE(std::string(d.name) + ", opening " + std::to_string(opening));
            Place first{}, cancel{};
            bool shows = false;
            std::set<Place> stops, hiddenStops;
            d.prepare();
            uitest::Later([&] {
                EXPECT_EQ(uitest::FocusWindow(*d.panel), 0);
                first = Focused();
                shows = uitest::ShowsFocus(first.first, first.second);
                for (int press = 0; press < 12; ++press) { // round the popup
                    EXPECT_EQ(uitest::TypeKey(VAL_TAB_VKEY), 0);
                    const Place stop = Focused();
                    stops.insert(stop);
                    if (CtrlAttr(stop.first, stop.second, ATTR_VISIBLE) != 1) hiddenStops.insert(stop);
                }
                EXPECT_EQ(uitest::TabTo(*d.panel, d.cancel), 0); // where the next opening must not start
                cancel = Focused();
                uitest::Click(*d.panel, d.cancel);
            });
            d.open();
            for (int i = 0; i < 3 && uitest::IsPopupInstalled(*d.panel); ++i)
                ProcessSystemEvents();
            EXPECT_FALSE(uitest::IsPopupInstalled(*d.panel));
            LeaveTheDialogsPage();
            EXPECT_EQ(first, Place(*d.panel, firstChoices.at(d.name)));
            EXPECT_TRUE(shows) << "no focus frame";
            EXPECT_EQ(cancel, Place(*d.panel, d.cancel));
            for (const auto& [panel, control] : stops) {
                SCOPED_TRACE("Tab stop at control " + std::to_string(control));
                EXPECT_EQ(panel, *d.panel);
                EXPECT_NE(control, 0) << "it shows nothing";
            }
            EXPECT_TRUE(hiddenStops.empty()) << "a Tab stop on a hidden control";
        }
    }
}
