// The open port of the ECU link, shared by both programs: opening by the port choice, closing, and the
// byte link that each program's own frame code writes and reads.
#pragma once

#include "platform/sys/utility.h"

#include <cstdint>
#include <memory>

class ByteLink;

extern std::uint8_t isComOpen; // 1 while the link is open
extern double secTimeOut;      // read and write time-out of the link in seconds

// Opens the link for a port choice without the user interface: port < 0 the USB adapter (or the simulator
// socket in its place), else the serial device named by label ("COMn" or a device path). The outcome is
// isComOpen; an open link is closed first.
bool OpenPortLink(std::int16_t port, const char* label);
// Closes the link if open; isComOpen := 0.
void CloseComPort();
// Makes link the open link (nullptr: closed); isComOpen follows. Tests attach a pseudo-terminal or socket.
void AttachComLink(std::unique_ptr<ByteLink> link);
// Counts the links attached and closed: a request waiting for one connection is not sent on the next.
std::uint32_t LinkSession();
// The open link; nullptr while closed.
ByteLink* ComLink();
// True when the serial device named by label opens; it is closed again at once (the port list's probe).
bool ProbeComPort(const char* label);

// Waits for a reply: calls read again while it gives 1 (nothing received yet) and no more than limit
// seconds have passed since the first call; the result of the last read (0 received, -1 error).
template <class Read> int PollReply(Read read, double limit) {
    const double start = Timer();
    for (;;) {
        const int result = read();
        if (result != 1 || Timer() - start > limit) return result;
    }
}
