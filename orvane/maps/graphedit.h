// Editing the current matrix through the 2-D graph: clicks select and drag points, a right-button box
// selects several, keys step the selected cells or move the cursor, the resets take reference values.
#pragma once

#include "platform/ui/userint.h"

// Changes every selected cell for the cursor point going from oldValue to newValue (raw units): scaled
// by their ratio when both are non-zero, else by the difference; then refreshes the map page.
int MoveCursor(double oldValue, double newValue);
// Clamps a panel point into the plot area of the graph.
int AnalyseMouseGraphCoord(Point point, int* x, int* y);
// Clamps a matrix cell into the matrix.
int ControlNewPosition(int* column, int* row);

// Callbacks of the graph window: the graph's mouse and keys, and the two reset buttons.
int MapGraph2d(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int ResetSingleValue(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int ResetAllValue(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
