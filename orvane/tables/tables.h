// The injection pages, the advance page and the linearization pages.
#pragma once

#include "orvane/core/settings.h"

extern int hIj1Panel, hIj2Panel, hAdvPanel, hLn1Panel, hLn2Panel;
extern int hIj1Vpanel, hAdvVpanel, hLnrGasPanel; // their value and calibration popups

// Position and zoom of the injection and advance value popups while the program runs.
extern SettingsPoint posInjVpanel, posAdvVpanel;
extern int zoomInjVpanel, zoomAdvVpanel;
// Forgets where the injection and advance value popups were and their zoom, as at every start.
void ResetValuePopupPlaces();

bool InitIj1Panel(int parent);
bool InitIj2Panel(int parent);
bool InitAdvPanel(int parent);
bool InitLn1Panel(int parent);
bool InitLn2Panel(int parent);
bool ScatterIj1Panel();
bool ScatterIj2Panel();
bool ScatterAdvPanel();
bool ScatterLn1Panel();
bool ScatterLn2Panel();
bool GatherIj1Panel();
bool GatherIj2Panel();
bool GatherAdvPanel();
bool GatherLn1Panel();
bool GatherLn2Panel();
bool Ij1Timer();
bool Ij2Timer();
bool AdvTimer();
bool Ln1Timer();
bool Ln2Timer();
