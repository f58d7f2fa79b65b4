// The diagnostics page: the ECU's log and parameters, reset actions, limits and channel switches, the
// default parameters, and the diagnostics password.
#pragma once

#include "orvane/live/diagrec.h"

#include <cstdint>
#include <span>

extern int hDgnPanel;
// Labels of the password change button through its steps.
extern const char labelPwdChange[], labelPwdEnter[], labelPwdReEnter[];

bool InitDgnPanel(int parent);
void ScatterDgnPanel();
// A time in seconds as "DDDDd HHh MMm SSs" (days right-aligned in 4 columns, the rest in 2), cut to buf.
void ConvertTime(std::span<char> buf, std::uint32_t seconds);
// The default parameters, written step by step where the ECU's differ; false at the first failed step.
bool SetDiagDefaults();

// The guarded resets and limits and the password change are dimmed while access is not granted.
void DimDgnGuardedControls();
// The password dialogue back to its start; entryDimmed dims the password field (access granted).
void ResetDgnPwdDialog(bool entryDimmed);

// The main window's Diagnostics button: shows the page with its password field empty.
int Diagnost(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int DgnPanel(int panel, int event, void* callbackData, int eventData1, int eventData2);
int SetDiagnostics(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int DefaultParms(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// The password buttons' callback, and the password field's: Enter in the field presses the button of the
// dialogue's step, "Confirm" or, during a change, the change button ("Enter", "Re-enter").
int ConfigDgnPwd(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
