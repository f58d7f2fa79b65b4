// The ECU link's frames: one frame out / one frame in, on the open port of shared/portlink.h.
// Frame on the wire: 0x55, len, cmd, len data bytes, sum of (len + cmd + data) modulo 256.
#pragma once

#include "shared/portlink.h"

#include <cstdint>
#include <span>

inline constexpr std::uint8_t kFrameStart = 0x55;
inline constexpr int kFrameOverhead = 4; // start, len, cmd, sum
inline constexpr int kMaxFrameData = 255;

// Sends one frame; true when it went out. len > 0 needs data.
bool TxCommand(std::uint8_t cmd, const std::uint8_t* data, std::uint8_t len);
// Reads one reply frame for cmd: 0 a good frame (data copied to buf, length to outLen), 1 nothing
// received, -1 error. buf is written only for a good frame.
int RxResponse(std::uint8_t cmd, std::uint8_t* buf, std::uint8_t maxLen, std::uint8_t* outLen);
// Waits for the reply to cmd: reads again while nothing has come and no more than limit seconds have
// passed since the call; the result of the last read.
int PollResponse(std::uint8_t cmd, std::uint8_t* buf, std::uint8_t maxLen, std::uint8_t* outLen,
                 double limit);
