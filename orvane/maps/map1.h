// The map editor page MAPS1: one tab per calibration map, the current matrix in a table with its
// breakpoints, the single-matrix toggle, the cylinder/gear/level choice and the notes of the mapping
// data. Editing changes ecuMapData only.
#pragma once

#include <cstdint>

extern int hMp1Panel; // the map editor page

// Loads the Edit-Map dialog and the page under parent, resets every map to its defaults and loads the
// graph panels; false when any of it fails.
bool InitMp1Panel(int parent);
// Lays the page out for the current map and fills it (and both graphs) from ecuMapData.
bool ScatterMp1Panel();
// Reads the page back into ecuMapData; mode 1 also repairs the breakpoints (and then redraws).
bool GatherMp1Panel(std::uint8_t mode);
bool Mp1Timer();

int DoMapEvent(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
