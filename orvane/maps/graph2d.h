// The 2-D graph window GRAPH: one row or column of the current matrix, through the map table's active
// cell, drawn against the same line of the reference copy, with its scale controls. The map table, this
// graph and the 3-D plot keep one cursor cell.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kGrpMaxPoints = 50;
using GrpLine = std::array<double, kGrpMaxPoints>;

extern int hGrpPanel;            // -1 until loaded
extern std::uint8_t fGrpShown;   // the window is up
extern std::uint8_t isRowMode;   // 1: the cursor cell's row over the X breakpoints; 0: its column over Y
extern std::uint8_t isAutoScale; // the axis ranges follow the map on every redraw
extern int curCol, curRow;       // the cursor cell of the matrix (curRow -1 while the table is on row 1)
extern int nPoints;              // 32 in row mode, 20 in column mode
extern GrpLine lineX, lineY;     // the current line, display units
extern GrpLine refX, refY;       // the same line of the reference copy
extern std::array<int, kGrpMaxPoints> selected; // indices along the line; [0] is the cursor point
extern int nSelected;
extern double xScale, yScale, valScale; // the current map's divisors
// The axis ranges in force, display units: X axis in row mode, X axis in column mode, value axis.
extern double xAxisMin, xAxisMax, yAxisMin, yAxisMax, valAxisMin, valAxisMax;

bool InitGrpPanel();
bool ShowGrpPanel(bool show);
bool ScatterGrpPanel();
bool GrpTimer();
// Clears the light-grey marks of the selected points from the map table.
int DeleteMapSelection();
// n graph cursors on the first n selected points, each marked in the map table.
int PlaceCursor(int n);
int ShowCursorVariation();
// The cursor index: the cursor point's index along the line.
int CursorIndex();
// Makes the first selected point the cursor cell, in the map table and the 3-D plot.
int SetCurPos();
// Selects the points of the line inside the box (graph coordinates, x1 <= x2, y1 <= y2); a box that holds
// none keeps the first selected point alone.
int SetMultipleCursor(double x1, double y1, double x2, double y2);
