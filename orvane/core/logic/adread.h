// Live A/D readings of the ECU's analog inputs (command 0x07), for the pages that learn sensor end points
// and calibrate sensors against the running engine.
#pragma once

#include "orvane/core/logic/ecucmds.h"

#include <cstdint>

inline constexpr int kAdSamples = 4;        // samples averaged into one reading
inline constexpr int kMaxAdReading = 32767; // a reading fits a signed 16-bit field

// One sample of channel: one request, one reply read within the link's time-out (no polling). False
// unless the request went out and the reply was exactly the two bytes of the reading.
bool ReadAdSample(std::uint8_t channel, std::uint16_t& sample);
// Four samples of channel averaged, rounded to nearest and limited to kMaxAdReading. False at the first
// bad sample (no further requests); reading is written only on success.
bool ReadAdAveraged(std::uint8_t channel, int& reading);
