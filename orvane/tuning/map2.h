// The map-tuning page: the ECU's manual and automatic map tuning as the rest of the program sees it.
#pragma once

#include "orvane/core/settings.h"

#include <cstdint>

extern int hMp2Panel;               // the tuning page
extern int hMtvPanel;               // its tuning-values popup
extern std::uint8_t isTuningAuto;   // the tuning page is shown in automatic mode
extern std::uint8_t isTuningManual; // the tuning page is shown in manual mode
// The page switches choose the mode the tuning page is shown in.
void SetTuningPageMode(bool automatic, bool manual);
extern SettingsPoint posMtvPanel; // position of the tuning-values popup while the program runs
extern int zoomMtvPanel;
// Forgets where the tuning-values popup was and its zoom, as at every start of the program.
void ResetMtvPlace();

bool InitMp2Panel(int parent);
bool ScatterMp2Panel();
bool Mp2Timer();

// The ECU's tuning state as the last Ping reported it (bits 7, 6 and 5 of its flags).
void SetTuneStatusInfo(std::uint8_t isProtected, std::uint8_t isTuning, std::uint8_t isAuto);
// The ECU is tuning its maps.
bool IsMapTuning();
// Asks to stop a running manual tuning; false when the user keeps it running.
bool AbortManualTuning();
// Loads the last tuning settings file; 0: silently from the remembered path.
bool LoadMtSettings(int interactive);

int DlgTuneMapVal(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
