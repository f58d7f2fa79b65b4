// Switching among the editor pages shown inside the main window.
#pragma once

// The last page of each group, -1 until one was shown.
extern int lastInjPage, lastParmPage, lastLnrPage, lastCfgPage, lastLivePage, lastMapPage;

int Injection(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Parameters(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Linearizations(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Configuration(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Live(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Advance(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Diagnost(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Info(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Maps(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int MapsTuneAuto(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int MapsTuneManual(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

// Scrolls the panel vertically so that the control is wholly visible.
bool ScrollToShowCtrl(int panel, int control);
