// Layout of the map page for the current map, and stepping of the active cell of its matrix table.
#pragma once

// Cell formats and ranges, captions, unit, matrix choice, Z level, and the dimming of a map that the
// engine configuration leaves inactive; false for an invalid current map or a failing call.
bool FormatMp1Panel();
// Adds steps raw units to the active cell of the matrix table and takes the table into ecuMapData;
// true without a change when the active cell is not a matrix cell.
bool CellValChange(double steps);
