// The graph windows as the user meets them: the first time in a run beside the main window, hiding as
// little of the map table as the screen allows, and reopened where he left them.
#include "desktop.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/plot.h"
#include "pagefixture.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using GraphWindowPlace = MapPage;

struct GraphWindow {
    const char* title;
    const int* panel;
    int button;                   // on the map page
    std::function<bool()> reload; // as start-up loads it: never shown yet
};

std::vector<GraphWindow> Windows() {
    return {
        {"2D Graph", &hGrpPanel, MAPS1::CBgraph2D,
         [] { return DiscardPanel(hGrpPanel) >= 0 && InitGrpPanel(); }},
        {"3D Map Plot", &hPltPanel, MAPS1::CBgraph3D,
         [] {
             ReleasePltPanel();
             return InitPltPanel();
         }},
    };
}

// The user, at work on the map page, opens the window with its button.
void Open(const GraphWindow& w) {
    ASSERT_EQ(SetActivePanel(hMp1Panel), 0);
    ASSERT_EQ(uitest::Click(hMp1Panel, w.button), 0);
    ASSERT_TRUE(uitest::IsPanelVisible(*w.panel));
}

// The main window's frame to (left, top), wherever its size puts its right edge.
void MoveMainWindow(int left, int top) {
    ASSERT_EQ(uitest::MoveWindow(hMainPanel, left, top), 0);
}

// Opened the first time, each window stands beside the main window, top to top, inside the screen, and
// hides no more of the main window than the screen makes it: all that the room beside the main window
// lacks on its roomier side. The main window stands at the screen's left and at its right (larger than
// the screen, it hangs over the other side).
TEST_F(GraphWindowPlace, OpenFirstBesideTheMainWindow) {
    const QRect area = ScreenArea();
    const int mainWidth = FrameOf(hMainPanel).width();
    for (const GraphWindow& w : Windows())
        for (const int left : {area.left(), area.right() + 1 - mainWidth}) {
            SCOPED_TRACE(testing::Message() << w.title << ", the main window at " << left);
            ASSERT_TRUE(w.reload());
            MoveMainWindow(left, area.top() + 40);
            Open(w);
            const QRect main = FrameOf(hMainPanel);
            const QRect shown = FrameOf(*w.panel);
            EXPECT_TRUE(area.contains(shown)) << "off the screen";
            EXPECT_EQ(shown.top(), main.top());
            const int room = std::max({main.left() - area.left(), area.right() - main.right(), 0});
            EXPECT_EQ(shown.intersected(main).width(), std::max(shown.width() - room, 0))
                << "hides more of the main window than it must";
            ASSERT_EQ(uitest::ClosePanel(*w.panel), 0);
        }
}

// Closed and opened again, each window stands where the user dragged it, wherever the main window went
// meanwhile.
TEST_F(GraphWindowPlace, ReopenWhereTheUserLeftThem) {
    const QRect area = ScreenArea();
    for (const GraphWindow& w : Windows()) {
        SCOPED_TRACE(w.title);
        ASSERT_TRUE(w.reload());
        MoveMainWindow(area.left(), area.top());
        Open(w);
        for (const QPoint& to :
             {QPoint(area.left() + 30, area.top() + 90), QPoint(area.left() + 12, area.top() + 20)}) {
            ASSERT_EQ(uitest::MoveWindow(*w.panel, to.x(), to.y()), 0);
            ASSERT_EQ(uitest::ClosePanel(*w.panel), 0);
            EXPECT_FALSE(uitest::IsPanelVisible(*w.panel));
            MoveMainWindow(to.y(), to.x());
            Open(w);
            EXPECT_EQ(FrameOf(*w.panel).topLeft(), to);
        }
        ASSERT_EQ(uitest::ClosePanel(*w.panel), 0);
    }
}

} // namespace
