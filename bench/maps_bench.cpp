// The map editor's table: a full redraw of the page (layout, 21 x 32 values, and the colour and weight of
// every cell against the reference), and one key step of the active cell (read back, redraw, repaint).
// Run headless; the window is painted into the offscreen platform's buffer as on a screen.
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/map1.h"
#include "orvane/ui/screen.h"
#include "platform/ui/uitest.h"
#include "platform/ui/userint.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

namespace {

bool LoadMapPage() {
    static const bool loaded = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        RegisterResource("screen.uir", kScreenUir);
        RegisterScreenCallbacks();
        hMainPanel = LoadPanel(0, "screen.uir", MAIN::id);
        if (hMainPanel < 0 || !InitMp1Panel(hMainPanel)) return false;
        hCurPanel = hMp1Panel;
        if (DisplayPanel(hMainPanel) < 0 || DisplayPanel(hMp1Panel) < 0) return false;
        ProcessSystemEvents(); // the window is exposed: from now on a repaint paints
        return true;
    }();
    return loaded;
}

// Map 1 shown with its cells counting up; with changed set, every cell differs from the reference.
bool ShowMap1(bool changed) {
    std::memcpy(&ecuMapRefData, &ecuMapData, sizeof ecuMapData);
    for (int r = 0; r < kMapRows; ++r)
        for (int c = 0; c < kMapCols; ++c) {
            ecuMapData.map1.cells[0][r][c] = static_cast<std::int16_t>(1000 + r * kMapCols + c);
            ecuMapRefData.map1.cells[0][r][c] =
                static_cast<std::int16_t>(ecuMapData.map1.cells[0][r][c] + changed);
        }
    idCurMap = 1;
    return ScatterMp1Panel();
}

void BM_ScatterMp1Panel(benchmark::State& state) {
    if (!LoadMapPage() || !ShowMap1(state.range(0) != 0)) {
        state.SkipWithError("the map page did not load");
        return;
    }
    for (auto _ : state)
        if (!ScatterMp1Panel()) state.SkipWithError("redraw failed");
}
BENCHMARK(BM_ScatterMp1Panel)->ArgName("allChanged")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// With single-matrix editing on, every step also copies the first matrix over the others with the
// main window's progress bar running.
void BM_StepCellWithKey(benchmark::State& state) {
    ecuParData.b6E0[0x6E2 - 0x6E0] = 4; // cylinders
    ecuMapData.singleMatFlags[0] = state.range(0) != 0 ? 0x80 : 0;
    if (!LoadMapPage() || !ShowMap1(false) ||
        uitest::SelectTableCell(hMp1Panel, MAPS1::TABmatrix, Point{10, 10}) < 0) {
        state.SkipWithError("the map page did not load");
        return;
    }
    int key = '+';
    for (auto _ : state) {
        if (uitest::SendKey(hMp1Panel, MAPS1::TABmatrix, key) != 1) state.SkipWithError("key not taken");
        ProcessDrawEvents(); // the repaint the user sees
        key = key == '+' ? '-' : '+';
    }
}
BENCHMARK(BM_StepCellWithKey)->ArgName("single")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
