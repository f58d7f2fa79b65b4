// Where a window of the program's own opens: beside the window at work the first time it shows, so that it
// hides none of it where the screen has room, and from then on where it was left.
#include "desktop.h"
#include "platform/ui/uitest.h"
#include "tests/platform/ui/fixture.h"

#include <functional>

namespace {

struct WindowPlace : UiTest {
    // A window of its own, not yet shown, and the user at work in the main window at (left, top).
    int NewWindowWithMainAt(int left, int top) {
        const int window = LoadPanel(0, "sample.uir", DLG::id);
        EXPECT_GT(window, 0);
        EXPECT_EQ(uitest::MoveWindow(main, left, top), 0);
        EXPECT_EQ(SetActivePanel(main), 0);
        return window;
    }
};

TEST_F(WindowPlace, OpensFirstBesideTheWindowAtWorkOnTheScreen) {
    const QRect area = ScreenArea();
    const int mainWidth = FrameOf(main).width();
    const int windowWidth = [this] {
        const int probe = LoadPanel(0, "sample.uir", DLG::id);
        const int width = FrameOf(probe).width();
        DiscardPanel(probe);
        return width;
    }();
    struct Case {
        const char* what;
        int width;     // of the main window's panel; 0: as designed
        int left, top; // the main window's frame
        std::function<void(const QRect& window, const QRect& main)> expect;
    };
    const Case cases[] = {
        {"room on the right", 0, area.left(), area.top() + 40,
         [](const QRect& w, const QRect& m) {
             EXPECT_EQ(w.left(), m.right() + 1);
             EXPECT_EQ(w.top(), m.top());
         }},
        {"room on the left only", 0, area.right() + 1 - mainWidth, area.top() + 40,
         [](const QRect& w, const QRect& m) {
             EXPECT_EQ(w.right(), m.left() - 1);
             EXPECT_EQ(w.top(), m.top());
         }},
        {"main window hanging below the screen", 0, area.left(), area.bottom() - 30,
         [area](const QRect& w, const QRect& m) {
             EXPECT_EQ(w.left(), m.right() + 1);
             EXPECT_EQ(w.bottom(), area.bottom());
         }},
        // Less room than the window on both sides: on the side with more, at the screen's edge.
        {"no room on either side", area.width() - windowWidth * 3 / 2, area.left() + windowWidth * 3 / 4 + 10,
         area.top() + 40,
         [area](const QRect& w, const QRect& m) {
             EXPECT_EQ(w.left(), area.left());
             EXPECT_EQ(w.top(), m.top());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.width > 0) SetPanelAttribute(main, ATTR_WIDTH, c.width);
        const int window = NewWindowWithMainAt(c.left, c.top);
        ASSERT_EQ(DisplayPanel(window), 0);
        c.expect(FrameOf(window), FrameOf(main));
        int left = 0, top = 0;
        GetPanelAttribute(window, ATTR_LEFT, &left);
        GetPanelAttribute(window, ATTR_TOP, &top);
        EXPECT_EQ(QPoint(left, top), FrameOf(window).topLeft()) << "the program reads another place";
        EXPECT_TRUE(area.contains(FrameOf(window))) << "off the screen";
        DiscardPanel(window);
    }
}

// Reopened, a window stands where the user left it, wherever the main window went meanwhile; one that the
// program placed opens at its place the first time.
TEST_F(WindowPlace, ReopensWhereTheUserLeftIt) {
    const int window = NewWindowWithMainAt(ScreenArea().left(), ScreenArea().top());
    ASSERT_EQ(DisplayPanel(window), 0);
    for (const QPoint& to : {QPoint(150, 120), QPoint(60, 210)}) {
        ASSERT_EQ(uitest::MoveWindow(window, to.x(), to.y()), 0);
        ASSERT_EQ(HidePanel(window), 0);
        ASSERT_EQ(uitest::MoveWindow(main, to.y(), to.x()), 0);
        ASSERT_EQ(SetActivePanel(main), 0); // the user at work there when the window opens again
        ASSERT_EQ(DisplayPanel(window), 0);
        EXPECT_EQ(FrameOf(window).topLeft(), to);
    }
    DiscardPanel(window);

    const int placed = NewWindowWithMainAt(ScreenArea().left(), ScreenArea().top());
    SetPanelAttribute(placed, ATTR_LEFT, 90);
    SetPanelAttribute(placed, ATTR_TOP, 70);
    ASSERT_EQ(DisplayPanel(placed), 0);
    EXPECT_EQ(FrameOf(placed).topLeft(), QPoint(90, 70));
    DiscardPanel(placed);
}

} // namespace
