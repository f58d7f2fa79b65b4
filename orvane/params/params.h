// The ten parameter pages.
#pragma once

extern int hPr1Panel, hPr2Panel, hPr3Panel, hPr4Panel, hPr5Panel, hPr6Panel, hPr7Panel, hPr8Panel, hPr9Panel,
    hPr10Panel;

bool InitPr1Panel(int parent);
bool InitPr2Panel(int parent);
bool InitPr3Panel(int parent);
bool InitPr4Panel(int parent);
bool InitPr5Panel(int parent);
bool InitPr6Panel(int parent);
bool InitPr7Panel(int parent);
bool InitPr8Panel(int parent);
bool InitPr9Panel(int parent);
bool InitPr10Panel(int parent);
bool ScatterPr1Panel();
bool ScatterPr2Panel();
bool ScatterPr3Panel();
bool ScatterPr4Panel();
bool ScatterPr5Panel();
bool ScatterPr6Panel();
bool ScatterPr7Panel();
bool ScatterPr8Panel();
bool ScatterPr9Panel();
bool ScatterPr10Panel();
bool GatherPr1Panel();
bool GatherPr2Panel();
bool GatherPr3Panel();
bool GatherPr4Panel();
bool GatherPr5Panel();
bool GatherPr6Panel();
bool GatherPr7Panel();
bool GatherPr8Panel();
bool GatherPr9Panel();
bool GatherPr10Panel();
// The repairs after a gather; true when they changed anything (the page is then shown again).
bool CheckPr1();
bool CheckPr2();
bool CheckPr3();
bool CheckPr4();
// The page's defaults; the Cut Off page also shows gear 1 of both sets again.
void InitPr4Data();
void InitPr6Data();
void InitPr7Data();
bool CheckPr5();
bool CheckPr6();
bool CheckPr7();
bool CheckPr8();
bool CheckPr9();
bool CheckPr10();
bool Pr1Timer();
bool Pr2Timer();
bool Pr3Timer();
bool Pr4Timer();
bool Pr5Timer();
bool Pr6Timer();
bool Pr7Timer();
bool Pr8Timer();
bool Pr9Timer();
bool Pr10Timer();
