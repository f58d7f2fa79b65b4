// The Edit-Map dialog MAPVAL: set, add or add a percentage to a block of the current matrix (with a
// preview in the map table), interpolate it, reset it to the reference copy, or copy it to every matrix
// of the map. The operation is named by the id of its radio button (MAPVAL::RBset .. MAPVAL::RBcopy).
#pragma once

#include "orvane/core/ui/settings.h"
#include "orvane/maps/mapdesc.h"
#include "platform/ui/userint.h"

extern int hMpvPanel; // the dialog
// Loads the dialog under parent; false when it cannot be loaded.
bool LoadMpvPanel(int parent);

// The one open dialog's block and limits.
struct MapValContext {
    Rect selection;    // map-table cells: top, left, height, width (never row 1, the X breakpoints)
    MapMatrix* matrix; // the shown matrix of the current map
    double limitMin;   // the map's value limits, display units
    double limitMax;
    double scale; // raw units per display unit
    bool done;    // ends the modal loop
};
extern MapValContext mapValContext;

// Where the dialog was last placed and whether it was zoomed, kept while the program runs.
extern SettingsPoint posMpvPanel;
extern int zoomMpvPanel;
// Forgets where the dialog was and its zoom, as at every start of the program.
void ResetMpvPlace();

// The id of the first radio button that is on; -13 when none is or a read fails.
int GetMapValMode();
// Turns on the radio button of op and off the others; false for an op outside the eight or a failure.
bool SetMapValMode(int op);
// Prepares the dialog for the current map, the chosen operation and the block; opening starts from the
// map's default operation.
bool SetupMapValDialog(bool opening);
// Takes the block selected in the map table into mapValContext and shows it selected: the active cell
// alone when less than 2 x 2 is selected, never the X breakpoint row; false when a call fails.
bool TakeMapValSelection();
// Takes the block selected in the map table and runs the dialog until it is done; with no block it
// only says so.
bool OpenMapValDialog();

int DlgMapVal(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
