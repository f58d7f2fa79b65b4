// The 3-D plot with its OpenGL view: these tests run on a display (Xvfb with Mesa's software renderer).
#include "ecusim/ecu.h"
#include "graphfixture.h"
#include "orvane/core/logic/byteorder.h"
#include "platform/ui/uitest.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Plot3D = GraphWindows;

std::string ShotPath(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return (std::filesystem::path(dir != nullptr ? dir : "/tmp") / name).string();
}

// The window drawn into a PNG; a drawn surface gives a file far larger than an empty frame.
std::uintmax_t ShotSize(int panel, const char* name) {
    const std::string path = ShotPath(name);
    EXPECT_EQ(uitest::GrabPanelToPng(panel, path.c_str()), 0);
    return std::filesystem::file_size(path);
}

TEST_F(Plot3D, SurfaceIsTheCurrentMatrixOverItsBreakpoints) {
    ASSERT_EQ(Graph3DViewAvailable(), 1) << "no OpenGL on this display";
    Shown()[4][9] = 9000;
    ASSERT_TRUE(ScatterMp1Panel());
    // The cursor on the row whose reference differs, with three more points selected.
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(kRefRow, 5)), 0);
    ASSERT_EQ(SetMultipleCursor(lineX[5], -1e9, lineX[8], 1e9), 0);
    EXPECT_GT(ShotSize(hPltPanel, "orvane-plot3d.png"), 20000u);
    EXPECT_GT(ShotSize(hGrpPanel, "orvane-graph2d.png"), 10000u);
    EXPECT_EQ(TextAttr(hPltPanel, PLOT::Graph3D, ATTR_XNAME), " EngineSpeed [rpm]");
    EXPECT_EQ(TextAttr(hPltPanel, PLOT::Graph3D, ATTR_ZNAME), GetCurMapValLabel());
}

TEST_F(Plot3D, KeysInTheViewReachTheMapAndCursor) {
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(4, 9)), 0);
    ASSERT_EQ(uitest::PressKeyInView(hPltPanel, PLOT::Graph3D, VAL_RIGHT_ARROW_VKEY), 0);
    ASSERT_EQ(uitest::PressKeyInView(hPltPanel, PLOT::Graph3D, VAL_UP_ARROW_VKEY), 0);
    EXPECT_EQ(ActiveCell(), At(5, 10));
    EXPECT_EQ(curCol, 10);
    EXPECT_EQ(curRow, 5);
    ASSERT_EQ(uitest::PressKeyInView(hPltPanel, PLOT::Graph3D, '+' | VAL_MENUKEY_MODIFIER), 0);
    EXPECT_EQ(Shown()[5][10], RawValue(5, 10) + 10);
}

TEST_F(Plot3D, PickingAPointMovesTableAndGraph) {
    ASSERT_EQ(uitest::PickSurfacePoint(hPltPanel, PLOT::Graph3D, 17, 12), 0);
    EXPECT_EQ(PlotCursor(), (Point{17, 12}));
    EXPECT_EQ(ActiveCell(), At(12, 17));
    Rect selected;
    ASSERT_GE(GetTableSelection(hMp1Panel, MAPS1::TABmatrix, &selected), 0);
    EXPECT_EQ(selected, (Rect{At(12, 17).y, At(12, 17).x, 1, 1})) << "the picked cell is the one shown";
    EXPECT_EQ(curCol, 17);
    EXPECT_EQ(curRow, 12);
    // The 2-D graph's moves put the 3-D cursor on the same cell.
    EXPECT_EQ(GraphKey(VAL_LEFT_ARROW_VKEY), 1);
    EXPECT_EQ(PlotCursor(), (Point{16, 12}));
}

// The keys typed go to the plot as soon as its window opens or is the active window again: no click into
// the plot first.
TEST_F(Plot3D, OpenedOrActivatedPlotHasTheKeyboard) {
    struct Case {
        const char* what;
        std::function<void()> bring; // the plot's window comes to the front
        int arrow;
        Point to; // matrix column, row
    };
    const Case cases[] = {
        {"opened by its button",
         [] {
             ASSERT_TRUE(ShowPltPanel(false));
             ASSERT_EQ(uitest::Click(hMp1Panel, MAPS1::CBgraph3D), 0);
         },
         VAL_RIGHT_ARROW_VKEY,
         {10, 4}},
        {"activated again after the map table had the keyboard",
         [] { ASSERT_EQ(uitest::FocusWindow(hMainPanel), 0); },
         VAL_UP_ARROW_VKEY,
         {10, 5}},
    };
    ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(4, 9)), 0);
    for (const Case& c : cases) {
        c.bring();
        ASSERT_EQ(uitest::FocusWindow(hPltPanel), 0) << c.what;
        ASSERT_EQ(uitest::TypeKey(c.arrow), 0) << c.what;
        ASSERT_EQ(uitest::TypeKey('+'), 0) << c.what;
        EXPECT_EQ(ActiveCell(), At(c.to.y, c.to.x)) << c.what;
        EXPECT_EQ(Shown()[c.to.y][c.to.x], RawValue(c.to.y, c.to.x) + 1) << c.what;
    }
}

TEST_F(Plot3D, AxesThatAreFlatOrOutOfOrderStillDraw) {
    struct Case {
        const char* what;
        int x0, xStep, y0, yStep; // breakpoint i = start + step * i
        int value;                // every cell
    };
    const Case cases[] = {
        {"all zero", 0, 0, 0, 0, 0},
        {"falling", 16000, -500, 950, -50, 1000},
        {"duplicates", 1000, 0, 0, 50, 2000},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < kMapCols; ++i)
            ecuMapData.map1.x[i] = static_cast<std::int16_t>(c.x0 + c.xStep * i);
        for (int j = 0; j < kMapRows; ++j)
            ecuMapData.map1.y[j] = static_cast<std::int16_t>(c.y0 + c.yStep * j);
        std::fill_n(&Shown()[0][0], kMapRows * kMapCols, static_cast<std::int16_t>(c.value));
        ASSERT_TRUE(ScatterPltPanel()) << c.what;
        EXPECT_GT(ShotSize(hPltPanel, "orvane-plot3d-axes.png"), 5000u) << c.what;
    }
    // Two unsorted breakpoints in a rising axis.
    FillMap1(ecuMapData);
    std::swap(ecuMapData.map1.x[3], ecuMapData.map1.x[4]);
    ASSERT_TRUE(ScatterPltPanel());
    EXPECT_GT(ShotSize(hPltPanel, "orvane-plot3d-axes.png"), 5000u);
}

// The labels of every axis stand apart on every map, with the maps' own axes and with the simulator's, at
// the window's design size. Drawn as the view draws them, no two come near each other: in the smallest
// font, where they do not touch, the labels make as many boxes of ink as in their own with a margin
// around each. Each grid axis still labels its first and last breakpoint.
TEST_F(Plot3D, AxisLabelsStandApartOnEveryMap) {
    ASSERT_EQ(Graph3DViewAvailable(), 1) << "no OpenGL on this display";
    constexpr int kMargin = 2; // labels with no more than four blank pixels between them read as one
    struct Data {
        const char* what;
        std::function<void()> fill;
    };
    const Data kData[] = {
        {"the maps' own",
         [] {
             for (int id = 1; id <= kMapCount; ++id)
                 InitMp1Data(static_cast<std::uint8_t>(id));
         }},
        {"the simulator's",
         [] {
             const ecusim::EcuSim ecu;
             auto image = std::make_unique<EcuMapImage>();
             const std::vector<std::uint8_t>& stored = ecu.model.StoreBytes(ecusim::Store::Slot1);
             ASSERT_EQ(stored.size(), sizeof *image);
             std::memcpy(image.get(), stored.data(), sizeof *image);
             ConvertMapImage(*image);
             ecuMapData = image->data;
         }},
    };
    // A configuration that uses every map: double injectors, a stepper as auxiliary throttle, an external
    // drive-by-wire, no turbo.
    auto* par = reinterpret_cast<std::uint8_t*>(&ecuParData);
    par[0x6E0] = 1;
    par[0x7AF] = 1;
    par[0x7B3] = 1;
    par[0x77D] = 0;
    for (const Data& data : kData) {
        data.fill();
        for (int id = 1; id <= kMapCount; ++id) {
            SCOPED_TRACE(testing::Message() << data.what << " axes, map " << id);
            ShowMap(id);
            int shown = 0;
            ASSERT_EQ(GetPanelAttribute(hPltPanel, ATTR_VISIBLE, &shown), 0);
            ASSERT_EQ(shown, 1);
            std::vector<Rect> own, smallest;
            ASSERT_EQ(uitest::GetSurfaceLabelBoxes(hPltPanel, PLOT::Graph3D, 0, kMargin, &own), 0);
            ASSERT_EQ(uitest::GetSurfaceLabelBoxes(hPltPanel, PLOT::Graph3D, 1, 0, &smallest), 0);
            std::string texts;
            std::size_t labelled = 0;
            for (const int axis : {1, 2, 3}) {
                std::vector<std::string> labels;
                ASSERT_EQ(uitest::GetSurfaceAxisLabels(hPltPanel, PLOT::Graph3D, axis, &labels), 0);
                labelled += labels.size();
                for (const std::string& l : labels)
                    texts += " " + l;
                texts += " |";
                if (axis == 3) continue;
                int pairs = 0;
                double first = 0, last = 0;
                ASSERT_EQ(GetGraph3DValuePairCount(hPltPanel, PLOT::Graph3D, axis, &pairs), 0);
                ASSERT_EQ(GetGraph3DValuePair(hPltPanel, PLOT::Graph3D, axis, 1, &first), 0);
                ASSERT_EQ(GetGraph3DValuePair(hPltPanel, PLOT::Graph3D, axis, pairs, &last), 0);
                ASSERT_GE(labels.size(), 2u) << "axis " << axis;
                EXPECT_NEAR(std::stod(labels.front()), first, 1e-6 * std::abs(first)) << "axis " << axis;
                EXPECT_NEAR(std::stod(labels.back()), last, 1e-6 * std::abs(last)) << "axis " << axis;
            }
            EXPECT_GE(smallest.size(), labelled) << "every label is drawn:" << texts;
            EXPECT_EQ(own.size(), smallest.size()) << "labels run into each other:" << texts;
        }
    }
}

TEST_F(Plot3D, ReleaseDiscardsThePlotQuietly) {
    ReleasePltPanel();
    EXPECT_EQ(hPltPanel, -1);
    EXPECT_TRUE(popups.AllExpected()) << popups.Report();
    ASSERT_TRUE(InitPltPanel()); // for the tests after this one
    ASSERT_TRUE(ScatterPltPanel());
}

} // namespace
