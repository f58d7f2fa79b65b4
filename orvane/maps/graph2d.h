// The 2-D graph window GRAPH. For now the window itself: the map page shows, hides and refreshes it.
#pragma once

#include <cstdint>

extern int hGrpPanel;          // -1 until loaded
extern std::uint8_t fGrpShown; // the window is up

bool InitGrpPanel();
bool ShowGrpPanel(bool show);
bool ScatterGrpPanel();
bool GrpTimer();
