// The 3-D plot window PLOT. For now the window itself: the map page shows, hides and refreshes it.
#pragma once

#include <cstdint>

extern int hPltPanel;          // -1 until loaded
extern std::uint8_t fPltShown; // the window is up

bool InitPltPanel();
bool ShowPltPanel(bool show);
bool ScatterPltPanel();
// Puts the 3-D cursor on matrix cell (col, row).
bool SetPltCursor(int col, int row);
void ReleasePltPanel();
