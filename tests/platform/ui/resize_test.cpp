// Resizable panels: a window the user enlarges, its controls following their anchors, and the pages
// inside it growing with it.
#include "platform/ui/layer.h"
#include "platform/ui/uitest.h"
#include "platform/ui/userint.h"

#include <QScrollArea>
#include <QWidget>
#include <array>
#include <gtest/gtest.h>
#include <string>

namespace {

// A 400x300 window with one control of each way of taking the room, a page that grows with it and one that
// keeps its size.
constexpr const char* kResizeUir = R"(
panel WIN 1 "Window" - 400x300 resizable
 2 FIXED   numeric "Fixed"   - 10,30,80,24
 3 WIDE    table   "Wide"    - 10,80,200,100 anchor=left|right|top rows=2 cols=40
 4 BIG     textbox "Big"     - 220,80,100,100 anchor=left|right|top|bottom
 5 CORNER  command "Corner"  - 330,270,60,24 anchor=right|bottom
 6 MIDDLE  command "Middle"  - 150,200,101,20 anchor=center
 7 TALL    command "Tall"    - 330,30,60,150 anchor=right|top|bottom
panel PAGE 2 "Page" - 400x100 at=0,200 resizable
 2 ROW     command "Row"     - 0,0,400,24 anchor=left|right|top
panel STILL 3 "Still" - 100x50 at=0,250
 2 KEEP    command "Keep"    - 0,0,100,24 anchor=left|right|top
panel FIX 4 "Fixed window" - 200x100
 2 OK      command "OK"      - 10,10,80,24 anchor=right|bottom
)";

struct Box {
    int x, y, w, h;
    friend bool operator==(const Box&, const Box&) = default;
};

std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << b.x << "," << b.y << " " << b.w << "x" << b.h;
}

Box CtrlBox(int panel, int control) {
    Box b{};
    EXPECT_EQ(GetCtrlAttribute(panel, control, ATTR_LEFT, &b.x), 0);
    EXPECT_EQ(GetCtrlAttribute(panel, control, ATTR_TOP, &b.y), 0);
    EXPECT_EQ(GetCtrlAttribute(panel, control, ATTR_WIDTH, &b.w), 0);
    EXPECT_EQ(GetCtrlAttribute(panel, control, ATTR_HEIGHT, &b.h), 0);
    // What the record says is where the widget is.
    const QWidget* w = ui::FindControl(panel, control, nullptr)->widget;
    EXPECT_EQ((Box{w->x(), w->y(), w->width(), w->height()}), b) << "widget of control " << control;
    return b;
}

Box PanelBox(int panel) {
    Box b{};
    EXPECT_EQ(GetPanelAttribute(panel, ATTR_LEFT, &b.x), 0);
    EXPECT_EQ(GetPanelAttribute(panel, ATTR_TOP, &b.y), 0);
    EXPECT_EQ(GetPanelAttribute(panel, ATTR_WIDTH, &b.w), 0);
    EXPECT_EQ(GetPanelAttribute(panel, ATTR_HEIGHT, &b.h), 0);
    return b;
}

class UiResize : public testing::Test {
  protected:
    void SetUp() override {
        RegisterResource("resize.uir", kResizeUir);
        win = LoadPanel(0, "resize.uir", 1);
        ASSERT_GT(win, 0) << GetLastLoadError();
        page = LoadPanel(win, "resize.uir", 2);
        still = LoadPanel(win, "resize.uir", 3);
        ASSERT_GT(page, 0);
        ASSERT_GT(still, 0);
        for (const int p : {win, page, still})
            ASSERT_EQ(DisplayPanel(p), 0);
    }
    void TearDown() override { DiscardPanel(win); }

    int win = 0, page = 0, still = 0;
};

struct Expected {
    int control;
    Box atDesign, grown; // grown: the window at 601x451 (by 201x151)
};

const std::array kExpected{
    Expected{2, {10, 30, 80, 24}, {10, 30, 80, 24}},       // fixed
    Expected{3, {10, 80, 200, 100}, {10, 80, 401, 100}},   // stretches right
    Expected{4, {220, 80, 100, 100}, {220, 80, 301, 251}}, // stretches right and down
    Expected{5, {330, 270, 60, 24}, {531, 421, 60, 24}},   // keeps to the bottom right corner
    Expected{6, {150, 200, 101, 20}, {250, 275, 101, 20}}, // stays centred
    Expected{7, {330, 30, 60, 150}, {531, 30, 60, 301}},   // keeps right, stretches down
};

void ExpectPlaces(int win, bool grown) {
    for (const Expected& e : kExpected)
        EXPECT_EQ(CtrlBox(win, e.control), grown ? e.grown : e.atDesign) << "control " << e.control;
}

TEST_F(UiResize, ControlsFollowTheWindowTheUserSizesAndComeBack) {
    ASSERT_EQ(uitest::ResizeWindow(win, 601, 451), 0);
    EXPECT_EQ(PanelBox(win).w, 601);
    EXPECT_EQ(PanelBox(win).h, 451);
    ExpectPlaces(win, true);
    // Back by other steps: every control returns exactly (the centred one moved by halves).
    ASSERT_EQ(uitest::ResizeWindow(win, 777, 333), 0);
    ASSERT_EQ(uitest::ResizeWindow(win, 400, 300), 0);
    ExpectPlaces(win, false);
    // The program sets the size the same way.
    ASSERT_EQ(SetPanelAttribute(win, ATTR_WIDTH, 601), 0);
    ASSERT_EQ(SetPanelAttribute(win, ATTR_HEIGHT, 451), 0);
    ExpectPlaces(win, true);
    EXPECT_EQ(ui::FindPanel(win)->frame->size(), QSize(601, 451));
}

TEST_F(UiResize, NeverSmallerThanTheDesignAndAFixedWindowKeepsItsSize) {
    ASSERT_EQ(uitest::ResizeWindow(win, 200, 100), 0);
    EXPECT_EQ(PanelBox(win), (Box{0, 0, 400, 300}));
    ExpectPlaces(win, false);
    EXPECT_EQ(SetPanelAttribute(win, ATTR_WIDTH, 10), 0);
    EXPECT_EQ(PanelBox(win).w, 400);

    const int fixed = LoadPanel(0, "resize.uir", 4);
    ASSERT_GT(fixed, 0);
    ASSERT_EQ(DisplayPanel(fixed), 0);
    ASSERT_EQ(uitest::ResizeWindow(fixed, 500, 500), 0);
    EXPECT_EQ(PanelBox(fixed).w, 200);
    EXPECT_EQ(ui::FindPanel(fixed)->frame->size(), QSize(200, 100));
    EXPECT_EQ(CtrlBox(fixed, 2), (Box{10, 10, 80, 24}));
    DiscardPanel(fixed);
    EXPECT_EQ(uitest::ResizeWindow(page, 500, 500), uitest::kUnreachable) << "a page is no window";
}

TEST_F(UiResize, ResizablePagesGrowWithTheWindowOthersKeepTheirSize) {
    ASSERT_EQ(uitest::ResizeWindow(win, 601, 451), 0);
    EXPECT_EQ(PanelBox(page), (Box{0, 200, 601, 251}));
    EXPECT_EQ(CtrlBox(page, 2), (Box{0, 0, 601, 24}));
    EXPECT_EQ(ui::FindPanel(page)->frame->size(), QSize(601, 251));
    EXPECT_EQ(PanelBox(still), (Box{0, 250, 100, 50}));
    EXPECT_EQ(CtrlBox(still, 2), (Box{0, 0, 100, 24}));
    // A page loaded after the window grew takes the room as its siblings did.
    const int late = LoadPanel(win, "resize.uir", 2);
    ASSERT_GT(late, 0);
    EXPECT_EQ(PanelBox(late), (Box{0, 200, 601, 251}));
    EXPECT_EQ(CtrlBox(late, 2).w, 601);
}

// A place the program gives a control is kept, and the control follows its anchors from there.
TEST_F(UiResize, APlaceSetByTheProgramFollowsTheAnchorsFromThere) {
    ASSERT_EQ(uitest::ResizeWindow(win, 500, 300), 0);
    ASSERT_EQ(SetCtrlAttribute(win, 5, ATTR_LEFT, 300), 0);
    ASSERT_EQ(uitest::ResizeWindow(win, 400, 300), 0);
    EXPECT_EQ(CtrlBox(win, 5).x, 200);
}

// The table that stretches shows more of its columns: its horizontal scroll range shrinks.
TEST_F(UiResize, AStretchedTableScrollsLess) {
    const auto range = [&] {
        SetCtrlAttribute(win, 3, ATTR_HSCROLL_OFFSET, 1 << 20);
        int offset = -1;
        GetCtrlAttribute(win, 3, ATTR_HSCROLL_OFFSET, &offset);
        return offset;
    };
    const int atDesign = range();
    ASSERT_EQ(uitest::ResizeWindow(win, 601, 300), 0);
    EXPECT_EQ(range(), atDesign - 201);
}

} // namespace
