// The heartbeat of the program: the main timer with the link watchdog, the busy guard that keeps
// callbacks out of long operations, and the progress bar of the main window.
#pragma once

#include <cstdint>

extern std::uint8_t fBusy;        // set only while ProcessMyEvents pumps system events
extern std::uint8_t linkErrCount; // consecutive failed timer ticks
extern std::uint8_t fRefreshLive; // the live pages must reload their context on their next tick
extern std::uint8_t lastProtected;
extern std::uint8_t fSending;   // a Send runs
extern std::uint8_t fReceiving; // a Receive runs

// A Send or a Receive starts (true) or has ended (false); its button stays dimmed meanwhile.
void SetSending(bool running);
void SetReceiving(bool running);
// The live pages reload their context on their next tick (new data sets went to the ECU).
void RequestLiveRefresh();

int MainTimer(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// force: pump every pending event; otherwise pump at most once a second and only repaint in between.
void ProcessMyEvents(std::uint8_t force);
bool CheckfBusy();
// The live pages' exchange: reloads the page's context when refresh is set; false when the link failed.
using LiveExchange = bool (*)(std::uint8_t refresh, std::uint8_t page);
// The tick of live page 0 or 1: exchange, told to reload the page's context when asked or when the
// protection changed.
bool LiveTick(LiveExchange exchange, std::uint8_t page);
void SetProgressBar(unsigned done, unsigned total);
// The same bar for an operation too short to let events through (a local copy of milliseconds): it is
// drawn, and what the user does meanwhile waits for the callbacks, which would drop it while busy.
void DrawProgressBar(unsigned done, unsigned total);
