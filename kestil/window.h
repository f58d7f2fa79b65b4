// Kestil's window: start-up, title, port selector, exit and close requests.
#pragma once

#include <cstdint>

extern int hMainPanel;    // the window
extern bool fQuit;        // the user asked to end; the timer ends the event loop
extern bool fProgramming; // a programming run is under way
// A programming run starts (true) or has ended (false).
void SetProgramming(bool running);

extern const char appName[];
extern const std::uint16_t appRelease; // major in the high byte, minor in the low byte
extern const char appExtra[];

inline constexpr std::size_t kTitleSize = 200; // characters of the title at most

// Names the program to the desktop, loads the window from "screen.uir" and sets it up; false when the
// window cannot be loaded.
bool StartKestil();
// The title "Kestil v3.0" alone, or with "    <text>" after it, cut to kTitleSize characters with the
// ">" kept; text may be null.
bool SetMainTitle(const char* text);
// "USB" and every COM port that opens; the item of cfg.port is selected.
void InitPortList();
// Opens the port chosen in the selector into cfg.port (0 when it fails); nothing while open.
void OpenComPort();

int SetComPort(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Exit(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// The window's close box acts as Exit.
int KestilPanel(int panel, int event, void* callbackData, int eventData1, int eventData2);
// The system's request to end the task acts as Exit.
int KestilMainCallback(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
