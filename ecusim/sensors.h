// The analog inputs as the ECU's converter reads them. Command 0x07 reports a reading as a 10-bit count
// (0..1023), the scale of the linearizations' breakpoints; the live records carry the same reading on
// their A/D words' 12 bits, 0..4095 over the same span (a count times 4095 / 1023).
#pragma once

#include <cstdint>
#include <optional>

namespace ecusim {

struct EcuModel;

inline constexpr std::uint8_t kThrottleChannel = 1;
inline constexpr double kReadingFull = 1023.0; // the count at the top of an input's span

// The count an input reads now; nullopt for an input the ECU has not got.
std::optional<std::uint16_t> SensorReading(const EcuModel& model, std::uint8_t channel);

} // namespace ecusim
