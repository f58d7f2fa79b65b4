// The map editor in a main window the user enlarges: the map table takes the room.
#include "pagefixture.h"
#include "platform/ui/layoutcheck.h"

#include <cstdlib>
#include <string>

namespace {

using MapRoom = MapPage;

constexpr int kDesignW = 1100, kDesignH = 760;        // the main window as designed
constexpr int kMaximisedW = 1920, kMaximisedH = 1040; // maximised on a 1920x1080 screen

// Puts the main window back to its design size when a test ends, however it ends.
struct DesignSizeAfter {
    ~DesignSizeAfter() {
        SetPanelAttribute(hMainPanel, ATTR_WIDTH, kDesignW);
        SetPanelAttribute(hMainPanel, ATTR_HEIGHT, kDesignH);
    }
};

// How far the map table can scroll sideways: 0 when every column shows.
int HorizontalScrollRange() {
    EXPECT_EQ(SetCtrlAttribute(hMp1Panel, MAPS1::TABmatrix, ATTR_HSCROLL_OFFSET, 1 << 20), 0);
    int offset = -1;
    EXPECT_EQ(GetCtrlAttribute(hMp1Panel, MAPS1::TABmatrix, ATTR_HSCROLL_OFFSET, &offset), 0);
    SetCtrlAttribute(hMp1Panel, MAPS1::TABmatrix, ATTR_HSCROLL_OFFSET, 0);
    return offset;
}

int Width(int panel, int control = 0) {
    int w = 0;
    EXPECT_EQ(control == 0 ? GetPanelAttribute(panel, ATTR_WIDTH, &w)
                           : GetCtrlAttribute(panel, control, ATTR_WIDTH, &w),
              0);
    return w;
}

TEST_F(MapRoom, MaximisedWindowShowsAllThirtyTwoColumns) {
    const DesignSizeAfter restore;
    EXPECT_GT(HorizontalScrollRange(), 0) << "at its design size the table scrolls over some columns";
    ASSERT_EQ(uitest::ResizeWindow(hMainPanel, kMaximisedW, kMaximisedH), 0);
    EXPECT_EQ(Width(hMainPanel), kMaximisedW);
    EXPECT_EQ(Width(hMp1Panel), kMaximisedW);
    EXPECT_EQ(Width(hMp1Panel, MAPS1::TABmatrix), 930 + kMaximisedW - kDesignW);
    EXPECT_EQ(HorizontalScrollRange(), 0);
    // The buttons on the right stay beside the right edge, the page's other controls where they were.
    int left = 0;
    ASSERT_EQ(GetCtrlAttribute(hMp1Panel, MAPS1::CBautoMap, ATTR_LEFT, &left), 0);
    EXPECT_EQ(left, 986 + kMaximisedW - kDesignW);
    ASSERT_EQ(GetCtrlAttribute(hMp1Panel, MAPS1::TBOXnotes, ATTR_LEFT, &left), 0);
    EXPECT_EQ(left, 8);
    // Back to the design size, the table is as it was.
    ASSERT_EQ(uitest::ResizeWindow(hMainPanel, kDesignW, kDesignH), 0);
    EXPECT_EQ(Width(hMp1Panel, MAPS1::TABmatrix), 930);
}

// The map editor holding an injection map as an engine would have it shows every value whole, at its
// design size and maximised (the layout check on the page as drawn); with ORVANE_SHOT_DIR set, the main
// window is also written there as a PNG at each size.
TEST_F(MapRoom, PageFitsWithDataAtBothSizes) {
    const char* dir = std::getenv("ORVANE_SHOT_DIR");
    const DesignSizeAfter restore;
    Map4x20x32& map = ecuMapData.map1;
    for (int col = 0; col < 32; ++col)
        map.x[col] = static_cast<std::int16_t>(800 + col * 500); // rpm
    for (int row = 0; row < 20; ++row) {
        map.y[row] = static_cast<std::int16_t>(row * 45); // tenths of a degree of throttle
        for (int col = 0; col < 32; ++col)
            for (auto& cylinder : map.cells)
                cylinder[row][col] =
                    static_cast<std::int16_t>(1500 + row * 350 + col * 60 - (col - 16) * (col - 16) * 4);
    }
    ecuMapRefData = ecuMapData;
    ShowMap(1);
    for (const auto& [w, h] : {std::pair{kDesignW, kDesignH}, std::pair{kMaximisedW, kMaximisedH}}) {
        ASSERT_EQ(uitest::ResizeWindow(hMainPanel, w, h), 0);
        ProcessSystemEvents();
        for (const std::string& fault : uitest::LayoutFaults(hMp1Panel))
            ADD_FAILURE() << w << "x" << h << ": " << fault;
        if (dir == nullptr) continue;
        const std::string path =
            std::string(dir) + "/maps1-" + std::to_string(w) + "x" + std::to_string(h) + ".png";
        EXPECT_EQ(uitest::GrabPanelToPng(hMainPanel, path.c_str()), 0);
    }
}

} // namespace
