// The two live-data pages: page 1 shows the engine as the ECU computes it, page 2 is the bench page with
// the raw A/D values, the drive-by-wire module, the bench adjustments and the one-shot output tests.
#pragma once

#include "orvane/live/liverec.h"

extern int hLv1Panel, hLv2Panel;

bool InitLv1Panel(int parent);
bool InitLv2Panel(int parent);
bool ScatterLv1Panel();
bool ScatterLv2Panel();
// Dim and label the controls by the ECU's configuration (and, on page 2, the link state).
void DimLv1Controls();
void DimLv2Controls();

// Callbacks of page 2: the bench slides set the adjustment for the next live request; the test buttons
// fire one output test at once.
int SetBancoAdjust(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int TestOneShotOutput(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
