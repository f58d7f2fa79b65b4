#include "orvane/maps/graph2d.h"

#include "orvane/core/loadpage.h"
#include "orvane/core/maintimer.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/mapcells.h"
#include "orvane/maps/plot.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <cmath>
#include <span>

int hGrpPanel = -1;
std::uint8_t fGrpShown = 0;
std::uint8_t isRowMode = 1;
std::uint8_t isAutoScale = 1;
int curCol = 0, curRow = 0;
int nPoints = kMapCols;
GrpLine lineX{}, lineY{}, refX{}, refY{};
std::array<int, kGrpMaxPoints> selected{};
int nSelected = 1;
double xScale = 1, yScale = 1, valScale = 1;
double xAxisMin = 0, xAxisMax = 1, yAxisMin = 0, yAxisMax = 1, valAxisMin = 0, valAxisMax = 1;

namespace {

std::uint8_t fAxesChanged = 1; // map or axis mode changed since the ranges were computed
std::uint8_t fScaleEdited = 0; // the user committed a scale limit since then
int lastMapId = -1;            // the map drawn last
Point activeCell{0, 0};        // the map table's active cell as last read
int hLinePlot = 0;             // the plot of the current line
CurMapAttr attr{};             // digits and limits of the current map

constexpr int kSelectedBg = 0xC0C0C0;
constexpr int kOtherCursor = 0xFFDC82; // light orange

// Digits after the point and range of the numerics, which follow the current map and axis mode.
bool SetGrpAxesAttributes() {
    if (!GetCurMapAttribute(&attr)) return false;
    struct Format {
        int control;
        int decimals;
        double min, max;
    };
    const bool row = isRowMode != 0;
    const Format formats[] = {
        {GRAPH::NUMminScaleX, row ? attr.xDecimals : attr.yDecimals, row ? attr.xMin : attr.yMin,
         row ? attr.xMax : attr.yMax},
        {GRAPH::NUMmaxScaleX, row ? attr.xDecimals : attr.yDecimals, row ? attr.xMin : attr.yMin,
         row ? attr.xMax : attr.yMax},
        {GRAPH::NUMminScaleY, attr.valDecimals, attr.valMin, attr.valMax},
        {GRAPH::NUMmaxScaleY, attr.valDecimals, attr.valMin, attr.valMax},
        {GRAPH::NUMvalX, attr.xDecimals, attr.xMin, attr.xMax},
        {GRAPH::NUMvalY, attr.yDecimals, attr.yMin, attr.yMax},
        {GRAPH::NUMvalZ, attr.valDecimals, attr.valMin, attr.valMax},
        {GRAPH::NUMdeltaVar, attr.valDecimals, -HUGE_VAL, HUGE_VAL},
        {GRAPH::NUMpercVar, 2, -HUGE_VAL, HUGE_VAL},
    };
    return std::all_of(std::begin(formats), std::end(formats), [](const Format& f) {
        return SetCtrlAttribute(hGrpPanel, f.control, ATTR_PRECISION, f.decimals) >= 0 &&
               SetCtrlAttribute(hGrpPanel, f.control, ATTR_MIN_VALUE, f.min) >= 0 &&
               SetCtrlAttribute(hGrpPanel, f.control, ATTR_MAX_VALUE, f.max) >= 0;
    });
}

// Step 5 and 6 of the redraw: the map table's active cell becomes the cursor cell when it moved.
bool FollowTable() {
    if (GetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, &activeCell) < 0) return false;
    if (activeCell.x - 1 != curCol || activeCell.y - kMatrixTopRow != curRow) {
        curCol = activeCell.x - 1;
        curRow = activeCell.y - kMatrixTopRow;
        selected[0] = CursorIndex();
        nSelected = 1;
    }
    return SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, {curCol + 1, curRow + kMatrixTopRow}) >= 0 &&
           SetActiveCtrl(hMp1Panel, MAPS1::TABmatrix) >= 0;
}

bool ShowCaptions() {
    const char* x = GetCurMapXlabel();
    const char* y = GetCurMapYlabel();
    const char* val = GetCurMapValLabel();
    return SetCtrlVal(hGrpPanel, GRAPH::TBselectAxis, static_cast<int>(isRowMode)) >= 0 &&
           SetCtrlVal(hGrpPanel, GRAPH::CBautoScale, static_cast<int>(isAutoScale)) >= 0 &&
           SetCtrlAttribute(hGrpPanel, GRAPH::Graph2D, ATTR_YNAME, val) >= 0 &&
           SetCtrlAttribute(hGrpPanel, GRAPH::Graph2D, ATTR_XNAME, isRowMode ? x : y) >= 0 &&
           SetCtrlAttribute(hGrpPanel, GRAPH::TBselectAxis, ATTR_LABEL_TEXT, isRowMode ? x : y) >= 0 &&
           SetCtrlAttribute(hGrpPanel, GRAPH::NUMvalX, ATTR_LABEL_TEXT, x) >= 0 &&
           SetCtrlAttribute(hGrpPanel, GRAPH::NUMvalY, ATTR_LABEL_TEXT, y) >= 0 &&
           SetCtrlAttribute(hGrpPanel, GRAPH::NUMvalZ, ATTR_LABEL_TEXT, val) >= 0;
}

void FillLines(const CurMapInfo& info) {
    nPoints = isRowMode ? kMapCols : kMapRows;
    for (int i = 0; i < nPoints; ++i) {
        const int r = isRowMode ? curRow : i;
        const int c = isRowMode ? i : curCol;
        lineX[i] = (isRowMode ? info.x[i] : info.y[i]) / (isRowMode ? xScale : yScale);
        refX[i] = (isRowMode ? info.refX[i] : info.refY[i]) / (isRowMode ? xScale : yScale);
        lineY[i] = (*info.matrix)[r][c] / valScale;
        refY[i] = (*info.refMatrix)[r][c] / valScale;
    }
}

struct Span {
    double min, max;
};

// Minimum and maximum of raw values over a scale; an empty range is widened by one raw unit each side.
Span RangeOf(std::span<const std::int16_t> raw, double scale) {
    const auto [lo, hi] = std::minmax_element(raw.begin(), raw.end());
    Span s{*lo / scale, *hi / scale};
    if (s.min == s.max) s = {s.min - 1 / scale, s.max + 1 / scale};
    return s;
}

// The value range in whole display units around the raw extremes; a cursor point lying on a limit gets
// one display unit more room beyond it.
Span ValueRange(const MapMatrix& m, double cursorValue) {
    const auto cells = std::span(&m[0][0], kMapRows * kMapCols);
    const auto [lo, hi] = std::minmax_element(cells.begin(), cells.end());
    const double unit = std::trunc(valScale);
    // Raised to a whole display unit is ceil; the lower limit goes down the same way (floor), so that
    // negative values stay inside the axis as positive ones do.
    Span s{std::floor(*lo / unit), std::ceil(*hi / unit)};
    if (cursorValue == s.max) s.max = std::ceil((s.max * valScale + 1) / unit);
    if (cursorValue == s.min) s.min = std::floor((s.min * valScale - 1) / unit);
    if (s.min == s.max) s = {s.min - 1 / valScale, s.max + 1 / valScale};
    return s;
}

// A user's limits: a maximum below its minimum becomes the minimum, an empty range widens.
void RepairLimits(double& min, double& max, double scale) {
    max = std::max(max, min);
    if (min == max) {
        min -= 1 / scale;
        max += 1 / scale;
    }
}

int InitAxesScale(const CurMapInfo& info) {
    if (isAutoScale || fAxesChanged) {
        const Span x = RangeOf(std::span<const std::int16_t>(info.x, kMapCols), xScale);
        const Span y = RangeOf(std::span<const std::int16_t>(info.y, kMapRows), yScale);
        const Span v = ValueRange(*info.matrix, lineY[CursorIndex()]);
        xAxisMin = x.min, xAxisMax = x.max;
        yAxisMin = y.min, yAxisMax = y.max;
        valAxisMin = v.min, valAxisMax = v.max;
    }
    if (fScaleEdited) {
        RepairLimits(xAxisMin, xAxisMax, xScale);
        RepairLimits(yAxisMin, yAxisMax, yScale);
        RepairLimits(valAxisMin, valAxisMax, valScale);
    }
    valAxisMin = std::clamp(valAxisMin, attr.valMin, attr.valMax);
    valAxisMax = std::clamp(valAxisMax, attr.valMin, attr.valMax);
    const double xMin = isRowMode ? xAxisMin : yAxisMin;
    const double xMax = isRowMode ? xAxisMax : yAxisMax;
    return SetAxisScalingMode(hGrpPanel, GRAPH::Graph2D, VAL_LEFT_YAXIS, VAL_MANUAL, valAxisMin,
                              valAxisMax) >= 0 &&
                   SetAxisScalingMode(hGrpPanel, GRAPH::Graph2D, VAL_XAXIS, VAL_MANUAL, xMin, xMax) >= 0 &&
                   SetCtrlVal(hGrpPanel, GRAPH::NUMmaxScaleX, xMax) >= 0 &&
                   SetCtrlVal(hGrpPanel, GRAPH::NUMminScaleX, xMin) >= 0 &&
                   SetCtrlVal(hGrpPanel, GRAPH::NUMmaxScaleY, valAxisMax) >= 0 &&
                   SetCtrlVal(hGrpPanel, GRAPH::NUMminScaleY, valAxisMin) >= 0
               ? 0
               : -1;
}

bool ShowCursorValues(double x, double y, double z) {
    return SetCtrlVal(hGrpPanel, GRAPH::NUMvalX, x) >= 0 && SetCtrlVal(hGrpPanel, GRAPH::NUMvalY, y) >= 0 &&
           SetCtrlVal(hGrpPanel, GRAPH::NUMvalZ, z) >= 0;
}

bool PlotLines() {
    const auto n = static_cast<std::size_t>(nPoints);
    if (DeleteGraphPlot(hGrpPanel, GRAPH::Graph2D, VAL_ALL_PLOTS) < 0) return false;
    hLinePlot = PlotXY(hGrpPanel, GRAPH::Graph2D, std::span(lineX.data(), n), std::span(lineY.data(), n),
                       VAL_CONNECTED_POINTS, VAL_SOLID_CIRCLE, VAL_RED);
    return hLinePlot > 0 && PlotXY(hGrpPanel, GRAPH::Graph2D, std::span(refX.data(), n),
                                   std::span(refY.data(), n), VAL_THIN_LINE, VAL_NO_POINT, VAL_GREEN) > 0;
}

// While the table's active cell is on the X breakpoint row: no line, no cursor, zero values.
bool ShowEmpty() {
    return DeleteGraphPlot(hGrpPanel, GRAPH::Graph2D, VAL_ALL_PLOTS) >= 0 && PlaceCursor(0) >= 0 &&
           ShowCursorValues(0, 0, 0) &&
           SetCtrlAttribute(hGrpPanel, GRAPH::NUMpercVar, ATTR_VISIBLE, 0) >= 0 &&
           SetCtrlVal(hGrpPanel, GRAPH::NUMdeltaVar, 0.0) >= 0;
}

} // namespace

int CursorIndex() {
    return isRowMode ? curCol : curRow;
}

bool InitGrpPanel() {
    return LoadPage(0, GRAPH::id, hGrpPanel) &&
           EnableExtendedMouseEvents(hGrpPanel, GRAPH::Graph2D, 0.1) >= 0;
}

bool ShowGrpPanel(bool show) {
    if (!show) {
        if (DeleteMapSelection() < 0 || HidePanel(hGrpPanel) < 0) return false;
        fGrpShown = 0;
        return true;
    }
    if (DisplayPanel(hGrpPanel) < 0) return false;
    fGrpShown = 1;
    return ScatterGrpPanel();
}

bool ScatterGrpPanel() {
    int visible = 0;
    if (GetPanelAttribute(hGrpPanel, ATTR_VISIBLE, &visible) < 0) return false;
    if (!visible) return DeleteMapSelection() >= 0;
    if (SetActiveCtrl(hGrpPanel, GRAPH::Graph2D) < 0) return false;
    if (idCurMap != lastMapId) {
        lastMapId = idCurMap;
        fAxesChanged = 1;
    }
    CurMapInfo info;
    if (!SetGrpAxesAttributes() || !GetCurMapInfo(&info)) return false;
    xScale = info.xScale;
    yScale = info.yScale;
    valScale = info.valScale;
    if (!FollowTable() || !ShowCaptions()) return false;
    if (activeCell.y < kMatrixTopRow) return ShowEmpty();
    FillLines(info);
    if (PlaceCursor(0) < 0) return false;
    if ((isAutoScale || fAxesChanged || fScaleEdited) && InitAxesScale(info) == 0)
        fScaleEdited = fAxesChanged = 0;
    if (!ShowCursorValues(info.x[curCol] / xScale, info.y[curRow] / yScale,
                          (*info.matrix)[curRow][curCol] / valScale))
        return false;
    return PlotLines() && PlaceCursor(nSelected) >= 0 && ShowCursorVariation() >= 0;
}

bool GrpTimer() {
    int visible = 0;
    if (GetPanelAttribute(hGrpPanel, ATTR_VISIBLE, &visible) < 0) return false;
    if (!visible || activeCell.y >= kMatrixTopRow) return true;
    return SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, {activeCell.x, kMatrixTopRow}) >= 0 &&
           ScatterGrpPanel();
}

int DeleteMapSelection() {
    return SetTableCellRangeAttribute(hMp1Panel, MAPS1::TABmatrix, kMatrixCells, ATTR_TEXT_BGCOLOR,
                                      VAL_WHITE) >= 0
               ? 0
               : -1;
}

int PlaceCursor(int n) {
    if (SetCtrlAttribute(hGrpPanel, GRAPH::Graph2D, ATTR_NUM_CURSORS, n) < 0 || DeleteMapSelection() < 0)
        return -1;
    for (int k = 1; k <= n; ++k) {
        const int i = selected[k - 1];
        const Point cell =
            isRowMode ? Point{i + 1, curRow + kMatrixTopRow} : Point{curCol + 1, i + kMatrixTopRow};
        if (SetGraphCursorIndex(hGrpPanel, GRAPH::Graph2D, k, hLinePlot, i) < 0 ||
            SetCursorAttribute(hGrpPanel, GRAPH::Graph2D, k, ATTR_CURSOR_COLOR,
                               k == 1 ? VAL_YELLOW : kOtherCursor) < 0 ||
            SetCursorAttribute(hGrpPanel, GRAPH::Graph2D, k, ATTR_CURSOR_POINT_STYLE,
                               k == 1 ? VAL_SOLID_SQUARE : VAL_SOLID_CIRCLE) < 0 ||
            SetTableCellAttribute(hMp1Panel, MAPS1::TABmatrix, cell, ATTR_TEXT_BGCOLOR, kSelectedBg) < 0)
            return -1;
    }
    return 0;
}

// The percent difference has no value against a reference of 0: it shows blank then, while the plain
// difference still shows.
int ShowCursorVariation() {
    const int k = CursorIndex();
    const bool hasPercent = refY[k] != 0;
    if (SetCtrlVal(hGrpPanel, GRAPH::NUMdeltaVar, lineY[k] - refY[k]) < 0 ||
        SetCtrlAttribute(hGrpPanel, GRAPH::NUMpercVar, ATTR_VISIBLE, hasPercent ? 1 : 0) < 0)
        return -1;
    return !hasPercent || SetCtrlVal(hGrpPanel, GRAPH::NUMpercVar, 100 * (lineY[k] / refY[k] - 1)) >= 0 ? 0
                                                                                                        : -1;
}

int SetCurPos() {
    (isRowMode ? curCol : curRow) = selected[0];
    return SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, {curCol + 1, curRow + kMatrixTopRow}) >= 0 &&
                   SetActiveCtrl(hMp1Panel, MAPS1::TABmatrix) >= 0 && SetPltCursor(curCol, curRow)
               ? 0
               : -1;
}

int SetMultipleCursor(double x1, double y1, double x2, double y2) {
    int n = 0;
    std::array<int, kGrpMaxPoints> inside{};
    for (int i = 0; i < nPoints; ++i)
        if (x1 <= lineX[i] && lineX[i] <= x2 && y1 <= lineY[i] && lineY[i] <= y2) inside[n++] = i;
    if (n > 0) selected = inside;
    nSelected = std::max(n, 1);
    return PlaceCursor(nSelected) >= 0 ? SetCurPos() : -1;
}

int ChangeAxis(int panel, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    int on = 0;
    if (GetCtrlVal(panel, GRAPH::TBselectAxis, &on) < 0) return 0;
    isRowMode = on != 0 ? 1 : 0;
    selected[0] = CursorIndex();
    nSelected = 1;
    fAxesChanged = 1;
    ScatterGrpPanel();
    return 0;
}

int AutoScale(int panel, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    int on = 0;
    if (GetCtrlVal(panel, GRAPH::CBautoScale, &on) < 0) return 0;
    isAutoScale = on != 0 ? 1 : 0;
    ScatterGrpPanel();
    return 0;
}

int SelectScale(int panel, int control, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    double* limit = nullptr;
    switch (control) {
    case GRAPH::NUMminScaleX:
        limit = isRowMode ? &xAxisMin : &yAxisMin;
        break;
    case GRAPH::NUMmaxScaleX:
        limit = isRowMode ? &xAxisMax : &yAxisMax;
        break;
    case GRAPH::NUMminScaleY:
        limit = &valAxisMin;
        break;
    case GRAPH::NUMmaxScaleY:
        limit = &valAxisMax;
        break;
    default:
        return 0;
    }
    if (isAutoScale) {
        SetCtrlVal(panel, control, *limit);
        return 0;
    }
    if (GetCtrlVal(panel, control, limit) < 0) return 0;
    fScaleEdited = 1;
    ScatterGrpPanel();
    return 0;
}
