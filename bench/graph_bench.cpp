// A cell change with the 2-D graph and the 3-D plot up: the map table, the graph's line and the 32 x 20
// surface are redrawn and painted. Needs a display with OpenGL (run under Xvfb: Mesa's software renderer).
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/plot.h"
#include "orvane/ui/screen.h"
#include "platform/ui/uitest.h"
#include "platform/ui/userint.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

// The map page with map 1 (a sloped surface over rising breakpoints) and both graph windows shown.
bool ShowGraphs() {
    static const bool shown = [] {
        RegisterResource("screen.uir", kScreenUir);
        RegisterScreenCallbacks();
        hMainPanel = LoadPanel(0, "screen.uir", MAIN::id);
        if (hMainPanel < 0 || !InitMp1Panel(hMainPanel)) return false;
        hCurPanel = hMp1Panel;
        for (int c = 0; c < kMapCols; ++c)
            ecuMapData.map1.x[c] = static_cast<std::int16_t>(500 * (c + 1));
        for (int r = 0; r < kMapRows; ++r) {
            ecuMapData.map1.y[r] = static_cast<std::int16_t>(50 * r);
            for (int c = 0; c < kMapCols; ++c)
                ecuMapData.map1.cells[0][r][c] = static_cast<std::int16_t>(1000 + 60 * c + 80 * r);
        }
        std::memcpy(&ecuMapRefData, &ecuMapData, sizeof ecuMapData);
        idCurMap = 1;
        if (DisplayPanel(hMainPanel) < 0 || DisplayPanel(hMp1Panel) < 0 || !ScatterMp1Panel() ||
            !ShowGrpPanel(true) || !ShowPltPanel(true) ||
            SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, {10, 8}) < 0)
            return false;
        ProcessSystemEvents(); // the windows are exposed: from now on a repaint paints
        return Graph3DViewAvailable() == 1;
    }();
    return shown;
}

// '+' on the map table's active cell, then every pending repaint: the cell is stepped, the page, the
// 2-D graph and the surface data redrawn and the windows painted. With plot 0 the 3-D window is hidden
// (its surface is still updated), so that the figure is that of the table and the 2-D graph.
void BM_CellStep(benchmark::State& state) {
    if (!ShowGraphs() || !ShowPltPanel(state.range(0) != 0)) {
        state.SkipWithError("the graph windows did not come up (no display with OpenGL?)");
        return;
    }
    ProcessSystemEvents();
    int key = '+';
    for (auto _ : state) {
        if (uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, key) != 1) state.SkipWithError("step failed");
        ProcessDrawEvents();
        key = key == '+' ? '-' : '+';
    }
    ShowPltPanel(true);
}
BENCHMARK(BM_CellStep)->ArgName("plot")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The 32 x 20 surface handed to the 3-D view and one frame of it drawn with the display's OpenGL.
void BM_SurfaceUpdate(benchmark::State& state) {
    if (!ShowGraphs()) {
        state.SkipWithError("the graph windows did not come up (no display with OpenGL?)");
        return;
    }
    for (auto _ : state) {
        ecuMapData.map1.cells[0][8][9] ^= 1; // a changed surface each time
        if (!ScatterPltPanel() || uitest::DrawViewNow(hPltPanel, PLOT::Graph3D) != 0)
            state.SkipWithError("redraw failed");
    }
}
BENCHMARK(BM_SurfaceUpdate)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
