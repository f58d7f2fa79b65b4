// The injection pages, the advance page and the linearization pages.
#pragma once

#include "orvane/core/settings.h"

extern int hIj1Panel, hIj2Panel, hAdvPanel, hLn1Panel, hLn2Panel;
extern int hIj1Vpanel, hAdvVpanel, hLrtPanel; // their value and calibration popups

// Position and zoom of the injection and advance value popups while the program runs.
extern SettingsPoint posInjVpanel, posAdvVpanel;
extern int zoomInjVpanel, zoomAdvVpanel;
// Forget where the injection (advance) value popup was and its zoom, as at every start.
void ResetInjValuePopupPlace();
void ResetAdvValuePopupPlace();

bool InitIj1Panel(int parent);
bool InitIj2Panel(int parent);
bool InitAdvPanel(int parent);
bool InitLn1Panel(int parent);
bool InitLn2Panel(int parent);
// The dimming and layout that start every fill, before the fields' formats.
bool FormatIj1Panel();
bool FormatIj2Panel();
bool FormatAdvPanel();
bool FormatLn1Panel();
bool FormatLn2Panel();
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

// The defaults of each page's fields in the images.
void InitInjData();
void InitIj2Data();
void InitAdvData();
void InitLn1Data();
void InitLn2Data();
// The breakpoint repairs run after each read-back; true when they changed something.
bool FixInjData();
bool FixIj2Maps();
bool FixAdvData();
bool FixLn1Curves();
bool FixLn2Curves();

// Callbacks of the pages and their popups.
// The main window's Advance button.
int Advance(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int InjEdit(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int DlgInjVal(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int AdvEdit(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int DlgAdvVal(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SetFarf(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SetEdbw(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int ConfigFarf(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SetAutoFarf(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
