// The map-tuning page: the ECU's manual and automatic map tuning as the rest of the program sees it.
#pragma once

#include "orvane/core/settings.h"

#include <cstdint>

extern int hMp2Panel;               // the tuning page
extern int hMtvPanel;               // its tuning-values dialog
extern std::uint8_t isTuningAuto;   // the tuning page is shown in automatic mode
extern std::uint8_t isTuningManual; // the tuning page is shown in manual mode
// The page switches choose the mode the tuning page is shown in.
void SetTuningPageMode(bool automatic, bool manual);
extern SettingsPoint posMtvPanel; // position of the tuning-values dialog while the program runs
extern int zoomMtvPanel;
// Forgets where the tuning-values popup was and its zoom, as at every start of the program.
void ResetMtvPlace();

bool InitMp2Panel(int parent);
bool ScatterMp2Panel();
// One tick of the tuning exchange; false when the link failed this tick.
bool Mp2Timer();

// The ECU's tuning state as Ping reported it (bits 7, 6 and 5 of its flags).
void SetTuneStatusInfo(std::uint8_t isLocked, std::uint8_t isTuning, std::uint8_t isAuto);
// The ECU is tuning its maps (and the link is open).
bool IsMapTuning();
// Asks to stop a running manual tuning; false when the user keeps it running or the ECU did not stop.
bool AbortManualTuning();
// Loads a tuning settings file: interactive with a file dialog, else silently from the remembered path.
bool LoadMtSettings(int interactive);
bool StoreMtSettings();

// The map pages' memory: the map editor or the tuning page, whichever was shown last; -1 until one was.
extern int lastMapPage;
// The main window's Maps button, and the map editor's buttons that show the tuning page in automatic or
// manual mode.
int Maps(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int MapsTuneAuto(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int MapsTuneManual(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

int PanelCallback(int panel, int event, void* callbackData, int eventData1, int eventData2);
int TuningSwitch(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SetTuningAdjust(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int ManualFreeze(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int ManPause(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int SelectSingleMul(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int AutoScrollSwitch(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int NewTuneConfig(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int MapTuneEnabCellCol(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int MapTuneEnabRow(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Also bound to the axis captions of the injection phase page: a left double click in automatic tuning
// cycles the track mode of the whole tuning table. Result 0.
int MapTuneEnabCellAll(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int DlgTuneMapVal(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
