#include "orvane/maps/graphedit.h"

#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/maps/cellkeys.h"
#include "orvane/maps/curmap.h"
#include "orvane/maps/graph2d.h"
#include "orvane/maps/map1.h"
#include "orvane/maps/mapcells.h"
#include "orvane/maps/plot.h"
#include "orvane/maps/setcurmap.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <algorithm>
#include <cmath>

namespace {

int fDragging = 0;  // the left button holds the cursor point
int fSelecting = 0; // the right button draws a selection box
int hitIndex = 0;   // the point hit by the last left click
struct Box {
    double x1, y1, x2, y2;
};
Box selBox{};     // graph coordinates
int hSelRect = 0; // the plot of the selection box

constexpr int kHitHalfBox = 5; // pixels each side of the mouse that a click reaches

constexpr const char* kHelpText = "LEFT MOUSE CLICK     - Select/mouve cursor\nRIGHT MOUSE CLICK  - Multiple "
                                  "select\n\nctrl Z  - Set select "
                                  "point at reference value\n\n+        -  increase 1\nctrl +  -  increase "
                                  "2\nalt +   -  increase 3\n-         -  "
                                  "decrease 1\nctrl -   -  decrease 2\nalt -    -  decrease 3";

// While the map table is on its breakpoint row there is no cursor cell to edit.
bool HasCursorCell() {
    return curRow >= 0 && curCol >= 0;
}

// The matrix cell of point i along the line.
Point MatrixCellOf(int i) {
    return isRowMode ? Point{i, curRow} : Point{curCol, i};
}

Point TableCellOf(Point cell) {
    return {cell.x + 1, cell.y + kMatrixTopRow};
}

// A point of the line whose change is exact in whole raw units takes that unit: a factor computed in
// double precision can leave 47.99999999999999 where 48 is meant, and the map model cuts toward zero.
constexpr double kWholeUnitTolerance = 1e-9;

// The mouse point of the last mouse event, clamped into the plot area, in graph coordinates; true when
// it lies in the plot area.
bool MouseInGraph(int dx, int dy, double* x, double* y) {
    Point at;
    if (GetRelativeMouseState(hGrpPanel, 0, &at.x, &at.y) < 0) return false;
    at = {at.x + dx, at.y + dy};
    return AnalyseMouseGraphCoord(at, &at.x, &at.y) == 0 &&
           GetGraphCoordsFromPoint(hGrpPanel, GRAPH::Graph2D, at, x, y) == 1;
}

bool ActivateTableCell(Point cell) {
    return SetActiveTableCell(hMp1Panel, MAPS1::TABmatrix, TableCellOf(cell)) >= 0 &&
           SetActiveCtrl(hMp1Panel, MAPS1::TABmatrix) >= 0;
}

bool ColourFirstCursor(int color) {
    return SetCursorAttribute(hGrpPanel, GRAPH::Graph2D, 1, ATTR_CURSOR_COLOR, color) >= 0;
}

void HitTest() {
    double lowX = 0, lowY = 0, highX = 0, highY = 0;
    MouseInGraph(-kHitHalfBox, kHitHalfBox, &lowX, &lowY);
    MouseInGraph(kHitHalfBox, -kHitHalfBox, &highX, &highY);
    int i = 0;
    while (i < nPoints && !(lowX <= lineX[i] && lineX[i] <= highX && lowY <= lineY[i] && lineY[i] <= highY))
        ++i;
    if (i == nPoints || !HasCursorCell()) return;
    hitIndex = i;
    fDragging = i == CursorIndex() ? 1 : 0;
    if (fDragging && !ColourFirstCursor(VAL_CYAN)) return;
    if (!ActivateTableCell(MatrixCellOf(i)) || !ScatterGrpPanel() || !SetPltCursor(curCol, curRow)) return;
    if (fDragging)
        ColourFirstCursor(VAL_CYAN);
    else
        SetMultipleCursor(lineX[i], lineY[i], lineX[i], lineY[i]);
}

void DragStep() {
    double x = 0, y = 0;
    if (MouseInGraph(0, 0, &x, &y)) MoveCursor(valScale * lineY[hitIndex], valScale * y);
    if (ScatterGrpPanel() && ColourFirstCursor(VAL_CYAN) && ActivateTableCell(MatrixCellOf(hitIndex)))
        SetPltCursor(curCol, curRow);
}

void DrawBox() {
    if (hSelRect > 0) DeleteGraphPlot(hGrpPanel, GRAPH::Graph2D, hSelRect); // gone already after a redraw
    hSelRect = PlotRectangle(hGrpPanel, GRAPH::Graph2D, selBox.x1, selBox.y1, selBox.x2, selBox.y2, VAL_CYAN,
                             VAL_TRANSPARENT);
}

void StartBox() {
    double x = 0, y = 0;
    if (!MouseInGraph(0, 0, &x, &y)) return;
    fSelecting = 1;
    selBox = {x, y, x, y};
    hSelRect = 0;
    DrawBox();
}

// The box's second corner follows the mouse, clamped to the plot area's edge when outside.
void TakeSecondCorner() {
    MouseInGraph(0, 0, &selBox.x2, &selBox.y2);
}

void MoveBox() {
    TakeSecondCorner();
    DrawBox();
}

// The box ends where the button is let go.
void FinishBox() {
    TakeSecondCorner();
    fSelecting = 0;
    if (hSelRect > 0) DeleteGraphPlot(hGrpPanel, GRAPH::Graph2D, hSelRect);
    hSelRect = 0;
    const Box b{std::min(selBox.x1, selBox.x2), std::min(selBox.y1, selBox.y2),
                std::max(selBox.x1, selBox.x2), std::max(selBox.y1, selBox.y2)};
    selBox = b;
    if (HasCursorCell()) SetMultipleCursor(b.x1, b.y1, b.x2, b.y2);
}

// An arrow key: the cursor cell one point along the line (or one line across), kept inside the matrix.
void StepCursor(int alongLine, int acrossLines) {
    Point cell = {curCol + (isRowMode ? alongLine : acrossLines),
                  curRow + (isRowMode ? acrossLines : alongLine)};
    ControlNewPosition(&cell.x, &cell.y);
    if (ActivateTableCell(cell) && SetPltCursor(cell.x, cell.y)) ScatterGrpPanel();
}

void StepValue(double steps) {
    if (!HasCursorCell()) return;
    // The cursor point's raw value: its display value brought back to the whole raw unit it came from.
    const double v = std::round(valScale * lineY[CursorIndex()]);
    if (MoveCursor(v, v + steps) < 0) MessagePopup("Graph 2D Panel", szGenericError);
}

int GraphKey(int keyCode) {
    const int key = keyCode & ~VAL_SHIFT_MODIFIER;
    if (const double steps = CellStepOfKey(key); steps != 0) {
        StepValue(steps);
        return 1;
    }
    switch (key) {
    case 'Z' | VAL_MENUKEY_MODIFIER:
    case 'z' | VAL_MENUKEY_MODIFIER:
        ResetSingleValue(hGrpPanel, GRAPH::CBresetSingle, EVENT_COMMIT, nullptr, 0, 0);
        return 1;
    case VAL_F1_VKEY:
        MessagePopup("Graph 2D - Help", kHelpText);
        return 1;
    case VAL_LEFT_ARROW_VKEY:
        StepCursor(-1, 0);
        return 1;
    case VAL_RIGHT_ARROW_VKEY:
        StepCursor(1, 0);
        return 1;
    case VAL_UP_ARROW_VKEY:
        StepCursor(0, 1);
        return 1;
    case VAL_DOWN_ARROW_VKEY:
        StepCursor(0, -1);
        return 1;
    default:
        return 0;
    }
}

} // namespace

int MoveCursor(double oldValue, double newValue) {
    // Nothing to do for an unchanged value; the proportional rule would even set the cells to 0 when
    // both are 0.
    if (nSelected == 0 || oldValue == newValue || !HasCursorCell()) return 0;
    const MapDesc* d = CurMapDesc();
    CurMapInfo info;
    if (d == nullptr || !GetCurMapInfo(&info)) return -1;
    const bool proportional = oldValue != 0 && newValue != 0;
    const double factor = proportional ? newValue / oldValue : 0;
    for (int k = 0; k < nSelected; ++k) {
        const Point cell = MatrixCellOf(selected[k]);
        double add = newValue - oldValue;
        double f = factor;
        if (proportional && !d->addOnly) {
            const double raw = (*info.matrix)[cell.y][cell.x];
            const double whole = std::round(raw * factor);
            if (std::abs(raw * factor - whole) < kWholeUnitTolerance) {
                if (whole == raw) continue;
                add = whole - raw; // the same change as an exact addition
                f = 0;
            }
        }
        if (!SetCurMap(cell.x, cell.y, add, f, 0, 0, 0, 0)) return -1;
    }
    return ScatterMp1Panel() ? 0 : -1;
}

int AnalyseMouseGraphCoord(Point point, int* x, int* y) {
    int left = 0, top = 0, areaLeft = 0, areaTop = 0, width = 0, height = 0;
    if (GetCtrlAttribute(hGrpPanel, GRAPH::Graph2D, ATTR_LEFT, &left) < 0 ||
        GetCtrlAttribute(hGrpPanel, GRAPH::Graph2D, ATTR_TOP, &top) < 0 ||
        GetCtrlAttribute(hGrpPanel, GRAPH::Graph2D, ATTR_PLOT_AREA_LEFT, &areaLeft) < 0 ||
        GetCtrlAttribute(hGrpPanel, GRAPH::Graph2D, ATTR_PLOT_AREA_TOP, &areaTop) < 0 ||
        GetCtrlAttribute(hGrpPanel, GRAPH::Graph2D, ATTR_PLOT_AREA_WIDTH, &width) < 0 ||
        GetCtrlAttribute(hGrpPanel, GRAPH::Graph2D, ATTR_PLOT_AREA_HEIGHT, &height) < 0)
        return -1;
    *x = std::clamp(point.x, left + areaLeft, left + areaLeft + width);
    *y = std::clamp(point.y, top + areaTop, top + areaTop + height);
    return 0;
}

int ControlNewPosition(int* column, int* row) {
    *column = std::clamp(*column, 0, kMapCols - 1);
    *row = std::clamp(*row, 0, kMapRows - 1);
    return 0;
}

int MapGraph2d(int panel, int, int event, void*, int eventData1, int) {
    if (panel != hGrpPanel || CheckfBusy()) return 0;
    switch (event) {
    case EVENT_COMMIT:
    case EVENT_VAL_CHANGED:
    case EVENT_LEFT_DOUBLE_CLICK:
    case EVENT_RIGHT_DOUBLE_CLICK:
        return 1;
    case EVENT_LEFT_CLICK:
        if (!fDragging) HitTest();
        return 1;
    case EVENT_RIGHT_CLICK:
        if (!fSelecting) StartBox();
        return 1;
    case EVENT_KEYPRESS:
        return GraphKey(eventData1);
    case EVENT_MOUSE_POINTER_MOVE:
        if (!fDragging && !fSelecting) return 0;
        if (fDragging) DragStep();
        if (fSelecting) MoveBox();
        return 1;
    case EVENT_RIGHT_CLICK_UP:
        if (!fSelecting) return 0;
        FinishBox();
        return 1;
    case EVENT_LEFT_CLICK_UP:
        if (!fDragging) return 0;
        fDragging = 0;
        ScatterGrpPanel();
        return 1;
    default:
        return 0;
    }
}

int ResetSingleValue(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || !HasCursorCell()) return 0;
    if (SetCurMap(curCol, curRow, 0, 0, 1, 0, 0, 1)) ScatterGrpPanel();
    return 0;
}

int ResetAllValue(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT || !HasCursorCell()) return 0;
    if (SetCurMap(isRowMode ? -1 : curCol, isRowMode ? curRow : -1, 0, 0, 1, 0, 0, 1)) ScatterGrpPanel();
    return 0;
}
