// The analog inputs as the ECU's converter reads them. Command 0x07 reports a reading as a 10-bit count
// (0..1023), the scale of the linearizations' breakpoints; the live records carry the same reading on
// their A/D words' 12 bits, 0..4095 over the same span (a count times 4095 / 1023). The sensor of a
// diagnosed channel the simulator is told is disconnected reads 0 wherever the ECU reports it.
#pragma once

#include <cstdint>
#include <optional>

namespace ecusim {

struct EcuModel;

inline constexpr std::uint8_t kThrottleChannel = 1;
inline constexpr double kReadingFull = 1023.0; // the count at the top of an input's span

// The diagnosed channels, in the order of kDiagChannelNames; kNoChannel for a sensor none of them watches.
enum DiagChannel : int {
    kNoChannel = -1,
    kChanThrottle,
    kChanWater,
    kChanAir,
    kChanBaro,
    kChanManifold,
    kChanAux1,
    kChanAux2,
    kChanStep,
    kChanBattery
};

// What the two auxiliary analog inputs (channels aux1 and aux2) can measure, as the configuration's
// analog type assigns them.
enum class AuxSensor { GearPosition, ShiftSwitch, TcLevel, Lambda1, Lambda2, Fork, Shock };
// The auxiliary input's channel that measures sensor; kNoChannel when neither does.
DiagChannel AuxChannelOf(const EcuModel& model, AuxSensor sensor);

// The channel's sensor is disconnected (kNoChannel: no).
bool Disconnected(const EcuModel& model, DiagChannel channel);
// The ECU has the channel in error now: its diagnosis on and its reading found out of range.
bool InError(const EcuModel& model, DiagChannel channel);

// The count an input reads now; nullopt for an input the ECU has not got.
std::optional<std::uint16_t> SensorReading(const EcuModel& model, std::uint8_t channel);

} // namespace ecusim
