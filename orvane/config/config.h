// The engine configuration pages and the CAN acquisition page.
#pragma once

#include <cstdint>

extern int hCg1Panel, hCg2Panel, hCg3Panel, hCg4Panel, hCaqPanel;

bool InitCg1Panel(int parent);
bool InitCg2Panel(int parent);
bool InitCg3Panel(int parent);
bool InitCg4Panel(int parent);
bool InitCaqPanel(int parent);
bool ScatterCg1Panel();
bool ScatterCg2Panel();
bool ScatterCg3Panel();
bool ScatterCg4Panel();
bool ScatterCaqPanel();
bool GatherCg1Panel();
bool GatherCg2Panel();
bool GatherCg3Panel();
bool GatherCg4Panel();
bool GatherCaqPanel();
bool Cg1Timer();
bool Cg2Timer();
bool Cg3Timer();
bool Cg4Timer();
bool CaqTimer();

// The defaults of each page's fields in the configuration image.
void InitCg1Data();
void InitCg2Data();
void InitCg3Data();
void InitCg4Data();
// The CAN frame list's defaults: identifiers 0x200, 0x204, ... all off.
void InitCaqData();

// The repairs after a gather; true when anything changed.
bool CheckCg1();
bool CheckCg2();
bool CheckCg3();

// Reads "canlabel.ini" into the CAN page's labels and sets the identifier ranges.
bool LoadCanLabels();
// True when no two active CAN frames share an identifier.
bool CheckCaqDuplicates();
// True when there is no duplicate or the user chooses to ignore it.
bool IgnoreCaqWarning();

// Callbacks.
int SelzEngine(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SelzVcam(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SelzTurboMode(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SelzGearMode(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SelzAnalogType(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SelzRpmReference(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SelzStepperType(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SelzVelAnt(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SelzBlipping(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int DoCg4Event(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int DoCaqEvent(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
