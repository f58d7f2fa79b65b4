// The map page with map 1 holding a real-looking map (rising breakpoints, a surface that climbs with
// speed and throttle, the reference lower in one row) and the graph windows up.
#pragma once

#include "orvane/maps/graph2d.h"
#include "orvane/maps/graphedit.h"
#include "orvane/maps/plot.h"
#include "pagefixture.h"

#include <string>

struct GraphWindows : MapPage {
    static constexpr int kRefRow = 6; // the row whose reference differs

    void SetUp() override {
        MapPage::SetUp();
        FillMap1(ecuMapData);
        FillMap1(ecuMapRefData);
        for (int c = 0; c < kMapCols; ++c)
            RefBlock(1).cells[0][kRefRow][c] = static_cast<std::int16_t>(RawValue(kRefRow, c) - 150);
        ShowMap(1);
        // Row mode and auto-scale, as a fresh window starts.
        ASSERT_TRUE(ShowGrpPanel(true));
        ASSERT_TRUE(ShowPltPanel(true));
        for (const int toggle : {GRAPH::TBselectAxis, GRAPH::CBautoScale}) {
            int on = 0;
            ASSERT_GE(GetCtrlVal(hGrpPanel, toggle, &on), 0);
            if (!on) {
                ASSERT_EQ(uitest::Click(hGrpPanel, toggle), 0);
            }
        }
        // The cursor cell moves away and back: only the cursor point is selected.
        ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(1, 1)), 0);
        ASSERT_GE(uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, At(0, 0)), 0);
    }
    void TearDown() override {
        ShowGrpPanel(false);
        ShowPltPanel(false);
        MapPage::TearDown();
    }

    // 1.000 ms at the origin, rising by 60 us per speed point and 80 us per throttle row.
    static int RawValue(int row, int col) { return 1000 + 60 * col + 80 * row; }
    static void FillMap1(EcuMapData& image) {
        const MapBlock b = FindMapDesc(1)->block(image);
        for (int c = 0; c < kMapCols; ++c)
            b.x[c] = static_cast<std::int16_t>(500 * (c + 1)); // 500 .. 16000 rpm
        for (int r = 0; r < kMapRows; ++r)
            b.y[r] = static_cast<std::int16_t>(50 * r); // 0.0 .. 95.0 degrees
        for (int m = 0; m < b.matrices; ++m)
            for (int r = 0; r < kMapRows; ++r)
                for (int c = 0; c < kMapCols; ++c)
                    b.cells[m][r][c] = static_cast<std::int16_t>(RawValue(r, c));
    }

    // The panel pixel of point i of the current line.
    static Point PixelOf(int i) {
        Point p;
        EXPECT_GE(GetGraphPointFromCoords(hGrpPanel, GRAPH::Graph2D, lineX[i], lineY[i], &p), 0);
        return p;
    }
    static int Mouse(int event, Point at) {
        return uitest::SendMouse(hGrpPanel, GRAPH::Graph2D, event, at.x, at.y);
    }
    static int GraphKey(int key) { return uitest::SendKey(hGrpPanel, GRAPH::Graph2D, key); }
    static Point ActiveCell() {
        Point cell;
        EXPECT_GE(GetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, &cell), 0);
        return cell;
    }
    static Point PlotCursor() {
        Point p;
        EXPECT_GE(GetGraph3DCursor(hPltPanel, PLOT::Graph3D, &p.x, &p.y), 0);
        return p;
    }
    static std::string TextAttr(int panel, int control, int attribute) {
        char text[64] = {};
        EXPECT_GE(GetCtrlAttribute(panel, control, attribute, text), 0);
        return text;
    }
    static double Value(int control) {
        double v = 0;
        EXPECT_GE(GetCtrlVal(hGrpPanel, control, &v), 0);
        return v;
    }
};
