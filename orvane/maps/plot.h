// The 3-D plot window PLOT: the current matrix as a surface over its breakpoints, with a cursor that
// follows the map table's active cell and moves it in turn.
#pragma once

#include <cstdint>

extern int hPltPanel;          // -1 until loaded
extern std::uint8_t fPltShown; // the window is up

bool InitPltPanel();
bool ShowPltPanel(bool show);
bool ScatterPltPanel();
// Puts the 3-D cursor on matrix cell (col, row), kept inside the matrix.
bool SetPltCursor(int col, int row);
// The 3-D cursor moved: it becomes the map table's active cell and the 2-D graph's cursor cell; 0 when
// the 2-D graph was redrawn, 1 when that failed.
int CursorChange();
void ReleasePltPanel();
