// The ECU's own diagnostic log: meters and counters that the engine model advances, the parameters that
// govern them, and the diagnostics password that guards a few of them. Held in host order; the
// diagnostics commands encode it big-endian.
#pragma once

#include <array>
#include <cstdint>

namespace ecusim {

inline constexpr std::size_t kDiagChannels = 9;
inline constexpr const char* kDiagChannelNames[kDiagChannels] = {
    "throttle", "water", "air", "baro", "manifold", "aux1", "aux2", "step", "battery"};
inline constexpr std::size_t kDiagPasswordSize = 8;
inline constexpr char kDefaultDiagPassword[] = "service";

struct DiagLog {
    // meters, counted by the engine model
    double onTimeS = 0, timeOverRpmS = 0, timeOverThrottleS = 0, onTimeUserS = 0;
    double distM = 0, distUserM = 0; // reported in metres (the page shows km)
    double fuelConsMl = 0;
    double fuelUsedMl = 0; // since the fuel load was set or the tank refilled (reset of the remaining fuel)
    std::uint16_t maxValRpm = 0, cntOverRev = 0;
    std::array<std::uint16_t, 2> trigErr{};
    std::array<std::uint16_t, 4> injErr{};
    std::uint16_t velWheelErr = 0;
    std::uint16_t cntStop = 0, cntStarterIn = 0, cntShiftSet = 0, cntDropSwitch = 0, cntNeutral = 0,
                  cntChangeMap = 0, cntCodeLoad = 0;
    std::array<std::uint16_t, kDiagChannels> chanErr{};
    std::uint16_t chanErrMask = 0; // bit i: channel i is in error now

    // parameters
    std::uint16_t kFlowCorrL = 1000, kFlowCorrH = 1000;
    std::uint32_t fuelLoadMl = 12000; // a full tank: the remaining fuel counts down from it
    std::uint16_t rpmLimit = 9000, throttleLimit = 700, velWheelLimit = 400;
    std::uint32_t distLimit = 0;
    std::array<std::uint16_t, kDiagChannels> maxErr{}, adMin{}, adMax{}, adRecov{};
    std::uint16_t chanOffMask = 0; // bit i: channel i's diagnosis is off
    bool autoReset = false;

    std::array<std::uint8_t, kDiagPasswordSize> password{};
    bool access = false; // the password was given (or is empty)
};

// A log with the ECU's default parameters and the given password (cut to 8 characters).
DiagLog MakeDiagLog(const char* password);

} // namespace ecusim
