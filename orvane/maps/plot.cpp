#include "orvane/maps/plot.h"

#include "orvane/core/loadpage.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/maps/cellkeys.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/mapcells.h"
#include "orvane/maps/maptable.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>
#include <cstdio>
#include <span>

int hPltPanel = -1;
std::uint8_t fPltShown = 0;

namespace {

void ReportFailure() {
    MessagePopup("3D Plot Panel", szGenericError);
}

// An arrow key moves the cursor one grid point; the plot keeps it inside the matrix.
bool StepCursor(int dCol, int dRow) {
    int col = 0, row = 0;
    return GetGraph3DCursor(hPltPanel, PLOT::Graph3D, &col, &row) >= 0 &&
           SetGraph3DCursor(hPltPanel, PLOT::Graph3D, col + dCol, row + dRow) >= 0 && CursorChange() == 0;
}

// 1 for a key the plot handles; a failure is reported and the key still counts as handled.
int PlotKey(int keyCode) {
    bool ok = false;
    switch (keyCode & ~VAL_SHIFT_MODIFIER) {
    case VAL_UP_ARROW_VKEY:
        ok = StepCursor(0, 1);
        break;
    case VAL_DOWN_ARROW_VKEY:
        ok = StepCursor(0, -1);
        break;
    case VAL_LEFT_ARROW_VKEY:
        ok = StepCursor(-1, 0);
        break;
    case VAL_RIGHT_ARROW_VKEY:
        ok = StepCursor(1, 0);
        break;
    default: {
        const double steps = CellStepOfKey(keyCode);
        if (steps == 0) return 0;
        ok = CellValChange(steps);
    }
    }
    if (!ok) ReportFailure();
    return 1;
}

constexpr int kXAxis = 1, kYAxis = 2, kPlotAxes = 3;

// The plot labels its X and Y axes at every breakpoint: its three axes, the X axis with a value pair per
// map column and the Y axis one per map row, captioned until the first redraw gives the map's captions.
bool SetUpGraph(int panel) {
    int axes = 0, xPairs = 0, yPairs = 0;
    return GetGraph3DAxisCount(panel, PLOT::Graph3D, &axes) >= 0 && axes == kPlotAxes &&
           SetCtrlAttribute(panel, PLOT::Graph3D, ATTR_XNAME, "bp_X") >= 0 &&
           GetGraph3DValuePairCount(panel, PLOT::Graph3D, kXAxis, &xPairs) >= 0 && xPairs == kMapCols &&
           SetCtrlAttribute(panel, PLOT::Graph3D, ATTR_YNAME, "bp_Y") >= 0 &&
           GetGraph3DValuePairCount(panel, PLOT::Graph3D, kYAxis, &yPairs) >= 0 && yPairs == kMapRows &&
           SetCtrlAttribute(panel, PLOT::Graph3D, ATTR_ZNAME, "bp_Z") >= 0;
}

// An axis carries the breakpoints at its value pairs and runs from the first to the last, risen or not.
bool ShowBreakpoints(int axis, std::span<const double> at) {
    for (std::size_t k = 0; k < at.size(); ++k)
        if (SetGraph3DValuePair(hPltPanel, PLOT::Graph3D, axis, static_cast<int>(k) + 1, at[k]) < 0)
            return false;
    return SetGraph3DAxisRange(hPltPanel, PLOT::Graph3D, axis, at.front(), at.back()) >= 0;
}

} // namespace

bool InitPltPanel() {
    int handle = -1;
    if (LoadPage(0, PLOT::id, handle)) {
        if (SetUpGraph(handle)) {
            hPltPanel = handle;
            return true;
        }
        DiscardPanel(handle);
    }
    ReportFailure();
    return false;
}

bool ShowPltPanel(bool show) {
    if ((show ? DisplayPanel(hPltPanel) : HidePanel(hPltPanel)) < 0) return false;
    fPltShown = show ? 1 : 0;
    return true;
}

// The surface runs along X first: point (i, j) stands over X breakpoint i and Y breakpoint j.
bool ScatterPltPanel() {
    CurMapInfo info;
    if (!GetCurMapInfo(&info)) return false;
    const char* x = GetCurMapXlabel();
    const char* y = GetCurMapYlabel();
    const char* val = GetCurMapValLabel();
    if (x == nullptr || y == nullptr || val == nullptr ||
        SetCtrlAttribute(hPltPanel, PLOT::Graph3D, ATTR_XNAME, x) < 0 ||
        SetCtrlAttribute(hPltPanel, PLOT::Graph3D, ATTR_YNAME, y) < 0 ||
        SetCtrlAttribute(hPltPanel, PLOT::Graph3D, ATTR_ZNAME, val) < 0)
        return false;
    std::array<double, kMapCols> xs;
    std::array<double, kMapRows> ys;
    std::array<double, kMapCols * kMapRows> zs;
    for (int i = 0; i < kMapCols; ++i)
        xs[i] = info.x[i] / info.xScale;
    for (int j = 0; j < kMapRows; ++j)
        ys[j] = info.y[j] / info.yScale;
    for (int i = 0; i < kMapCols; ++i)
        for (int j = 0; j < kMapRows; ++j)
            zs[i * kMapRows + j] = (*info.matrix)[j][i] / info.valScale;
    if (!ShowBreakpoints(kXAxis, xs) || !ShowBreakpoints(kYAxis, ys) ||
        PlotSurface3D(hPltPanel, PLOT::Graph3D, xs, ys, zs) < 0)
        return false;
    // The table, the 2-D graph and the plot share one cursor cell: a redraw after the table moved (another
    // map, matrix or level) brings the 3-D cursor to it, so that its keys act on the cell the user sees.
    Point cell;
    if (GetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, &cell) < 0) return false;
    return cell.y < kMatrixTopRow || SetPltCursor(cell.x - 1, cell.y - kMatrixTopRow);
}

bool SetPltCursor(int col, int row) {
    return SetGraph3DCursor(hPltPanel, PLOT::Graph3D, col, row) >= 0;
}

int CursorChange() {
    if (CheckfBusy()) return 0;
    int col = 0, row = 0;
    GetGraph3DCursor(hPltPanel, PLOT::Graph3D, &col, &row);
    SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, {col + 1, row + kMatrixTopRow});
    SetActiveCtrl(hMp1Panel, MAPS1::TABmatrix);
    return ScatterGrpPanel() ? 0 : 1;
}

int MapGraph(int panel, int, int event, void*, int eventData1, int) {
    if (CheckfBusy() || panel != hPltPanel) return 0;
    if (event == EVENT_CURSOR_CHANGE) CursorChange();
    return event == EVENT_KEYPRESS ? PlotKey(eventData1) : 0;
}

void ReleasePltPanel() {
    if (hPltPanel < 0) return;
    const int failures = DiscardPanel(hPltPanel) < 0 ? 1 : 0;
    hPltPanel = -1;
    if (failures == 0) return;
    char title[32];
    std::snprintf(title, sizeof title, "Release Plot (%d)", failures);
    MessagePopup(title, szGenericError);
}
