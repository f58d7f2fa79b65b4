// The engine configuration pages and the CAN acquisition page.
#pragma once

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
bool CaqTimer();

// The CAN frame list's defaults: identifiers 0x200, 0x204, ... all off.
void InitCaqData();
// True when no two active CAN frames share an identifier.
bool CheckCaqDuplicates();
// True when there is no duplicate or the user chooses to ignore it.
bool IgnoreCaqWarning();
