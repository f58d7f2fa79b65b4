#include "appfixture.h"
#include "orvane/core/ui/ecuselect.h"
#include "platform/ui/layoutcheck.h"
#include "platform/ui/uitest.h"

#include <string>
#include <vector>

namespace {

// The user's click arrives while the popup's own loop waits: the main window's timer delivers it.
int clickControl = 0;
int clickResult = 0;

int ClickOnTick(int, int, int event, void*, int, int) {
    if (event != EVENT_TIMER_TICK || clickControl == 0) return 0;
    const int control = clickControl;
    clickControl = 0;
    clickResult = uitest::Click(hEcuPanel, control);
    if (clickResult != 0) uitest::Click(hEcuPanel, ECUSELZ::CBcancel); // unreachable: the user gives up
    return 0;
}

struct EcuSelectTest : AppFixture {
    static void SetUpTestSuite() {
        AppFixture::SetUpTestSuite();
        if (hEcuPanel <= 0) {
            ASSERT_TRUE(InitEcuPanel(hMainPanel));
        }
    }
    void SetUp() override {
        AppFixture::SetUp();
        DisplayPanel(hMainPanel);
        InstallCtrlCallback(hMainPanel, MAIN::TIMglobal, ClickOnTick, nullptr);
        SetCtrlAttribute(hMainPanel, MAIN::TIMglobal, ATTR_INTERVAL, 0.01);
        SetCtrlAttribute(hMainPanel, MAIN::TIMglobal, ATTR_ENABLED, 1);
    }
    void TearDown() override { SetCtrlAttribute(hMainPanel, MAIN::TIMglobal, ATTR_ENABLED, 0); }

    // The choice when the user clicks control; clickable tells whether it was offered.
    static std::uint16_t Choose(std::uint8_t mode, int control, bool* clickable) {
        clickControl = control;
        const std::uint16_t choice = SelectEcuData(mode);
        *clickable = clickResult == 0;
        return choice;
    }
};

TEST_F(EcuSelectTest, EachModeOffersItsButtons) {
    struct Case {
        std::uint8_t mode;
        int control;
        bool offered;
        std::uint16_t choice;
    };
    const Case cases[] = {
        {1, ECUSELZ::CBparData, true, 1},   {1, ECUSELZ::CBmapData, true, 2},
        {1, ECUSELZ::CBmapData1, false, 0}, {1, ECUSELZ::CBmapData2, false, 0}, // never 3 for files
        {1, ECUSELZ::CBcancel, true, 0},    {2, ECUSELZ::CBparData, true, 1},
        {2, ECUSELZ::CBmapData1, true, 2},  {2, ECUSELZ::CBmapData2, true, 3},
        {2, ECUSELZ::CBmapData, false, 0},  {2, ECUSELZ::CBcancel, true, 0},
        {7, ECUSELZ::CBmapData2, true, 3}, // any other mode is the transfer mode
    };
    for (const Case& c : cases) {
        bool clickable = false;
        EXPECT_EQ(Choose(c.mode, c.control, &clickable), c.choice) << int(c.mode) << " " << c.control;
        EXPECT_EQ(clickable, c.offered) << int(c.mode) << " " << c.control;
        EXPECT_FALSE(uitest::IsPopupInstalled(hEcuPanel));
    }
}

// The keyboard alone chooses as the mouse does: the user tabs to a button and presses Enter ("Mapping Data
// (Slot 1)" of Receive among them).
TEST_F(EcuSelectTest, TabAndEnterChooseTheButtonReached) {
    const std::pair<int, std::uint16_t> cases[] = {
        {ECUSELZ::CBmapData1, 2}, {ECUSELZ::CBmapData2, 3}, {ECUSELZ::CBparData, 1}, {ECUSELZ::CBcancel, 0}};
    for (const auto& [control, choice] : cases) {
        SCOPED_TRACE(control);
        int reached = -1;
        uitest::Later([&reached, control] {
            reached = uitest::FocusWindow(hEcuPanel) == 0 ? uitest::TabTo(hEcuPanel, control) : -1;
            if (reached == 0) uitest::TypeKey(VAL_ENTER_VKEY);
            // Only where Enter chose nothing: Cancel ends the popup's wait.
            if (!ecuSelectionDone) uitest::Click(hEcuPanel, ECUSELZ::CBcancel);
        });
        EXPECT_EQ(SelectEcuData(kSelectForTransfer), choice);
        EXPECT_EQ(reached, 0);
    }
}

// Each mode shows its own buttons in the same places: those it shows lie clear of one another and fit.
TEST_F(EcuSelectTest, EachModeLaysOutItsButtons) {
    for (const std::uint8_t mode : {1, 2}) {
        std::vector<std::string> faults{"not shown"};
        uitest::Later([&faults] {
            faults = uitest::LayoutFaults(hEcuPanel);
            uitest::Click(hEcuPanel, ECUSELZ::CBcancel);
        });
        EXPECT_EQ(SelectEcuData(mode), 0);
        for (const std::string& f : faults)
            ADD_FAILURE() << "mode " << int{mode} << ": " << f;
    }
}

} // namespace
