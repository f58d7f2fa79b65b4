// The ECU link: port list, opening and closing, and one frame out / one frame in.
// Frame on the wire: 0x55, len, cmd, len data bytes, sum of (len + cmd + data) modulo 256.
#pragma once

#include "shared/portlink.h"

#include <cstdint>
#include <span>

inline constexpr std::uint8_t kFrameStart = 0x55;
inline constexpr int kFrameOverhead = 4; // start, len, cmd, sum
inline constexpr int kMaxFrameData = 255;

// Fills the main window's port ring and selects the item of cfg.port.
void InitPortList();
// Callback of the port ring: the choice goes to cfg.port and the settings file.
int SetComPort(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
// Opens the port chosen in the ring; the outcome is isComOpen. Nothing when already open.
void OpenComPort();

// Sends one frame; true when it went out. len > 0 needs data.
bool TxCommand(std::uint8_t cmd, const std::uint8_t* data, std::uint8_t len);
// Reads one reply frame for cmd: 0 a good frame (data copied to buf, length to outLen), 1 nothing
// received, -1 error. buf is written only for a good frame.
int RxResponse(std::uint8_t cmd, std::uint8_t* buf, std::uint8_t maxLen, std::uint8_t* outLen);
// Waits for the reply to cmd: reads again while nothing has come and no more than limit seconds have
// passed since the call; the result of the last read.
int PollResponse(std::uint8_t cmd, std::uint8_t* buf, std::uint8_t maxLen, std::uint8_t* outLen,
                 double limit);
