// The main window: start-up and shutdown, the whole-program scatter and gather, Exit, the generic
// panel callback, and the names of the data sets shown on the window.
#pragma once

#include <cstddef>
#include <cstdint>

extern int hMainPanel; // the main window
extern int hCurPanel;  // the page shown inside the main window; hMainPanel when none

extern const char appName[];
extern const char appSubname[];
extern const char appFwName[];
extern const char szGenericError[];

// Names the program to the desktop and loads the main window from "screen.uir" into hMainPanel; false when
// it cannot be loaded.
bool LoadMainPanel();
// The page shown inside the main window is now panel (hMainPanel: none); showing and hiding are the
// caller's.
void SetCurPanel(int panel);

// The program: 0 after a normal end of the event loop, -1 when start-up fails.
int OrvaneMain();
// Start-up up to the event loop: every panel loaded, settings read, last files loaded, pages filled.
// False when a panel cannot be loaded; nothing is shown then. Nothing is asked: a remembered file that
// needs the user's word stays remembered and unloaded for ShowOrvane.
bool StartOrvane();
// Shows the main window, then asks about the remembered files start-up left unloaded (another version's
// or another application's), as the Load button asks.
void ShowOrvane();
// Shutdown after the event loop: link closed, settings written, 3-D plot released.
void StopOrvane();

bool ScatterAllPanels();
bool GatherAllPanels();

int MainCallBack(int handle, int control, int event, void* callbackData, int eventData1, int eventData2);
int Exit(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int DlgGenericPanel(int panel, int event, void* callbackData, int eventData1, int eventData2);

// kind 1: configuration, 2: mapping; other kinds do nothing.
void ShowConfigName(const char* name, std::uint8_t kind);
// Reads the shown name back (cut to size); other kinds give "_Ooops!_".
int GetConfigName(char* buf, std::size_t size, std::uint8_t kind);
