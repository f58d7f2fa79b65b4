// The connection state machine that the window's timer drives: find the boot loader, identify it, show
// it and the installed application, keep the link alive; and the status line with the last run's result.
#pragma once

#include <cstdint>

// Result codes of a programming run; -1 none to show.
enum RunResult : int {
    RESULT_NONE = -1,
    RESULT_DONE = 0,
    RESULT_INVALID_FILE = 1,
    RESULT_ERROR = 3,
};

extern bool fUpdUfwVersion;    // the application information must be read (again)
extern bool fBloadKnown;       // the system type of the connected boot loader has been read
extern bool fUpdBloadInfo;     // the boot-loader information for the title must be read
extern std::uint8_t linkCount; // link closed: ticks before the next attempt; open: failed actions in a row
extern int lastResult;         // result of the last run not yet shown
extern double tClearStatus;    // clock time at which the status line is emptied; 0 never

inline constexpr double kDoneShownFor = 10.0; // seconds "Done!" stays

// A programming run ended with result: the status line shows it on the next tick, and the installed
// application is read again.
void ReportRunResult(int result);

int MainTimer(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// One step of the connection state machine.
void LivTimer();
// Boot-loader name, version and customer id into the title.
bool ShowBloadInfo();
// The installed application into the text box.
bool ShowFirmwareInfo();
// The title says "disconnected" and the text box is emptied.
void ShowDisconnected();
