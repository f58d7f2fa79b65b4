// The ECU's diagnostic log and its parameters: command 0x10 polls the log (and carries one reset action),
// command 0x11 writes or toggles one parameter and returns them all, command 0x13 checks or changes the
// diagnostics password, which only the ECU knows.
#pragma once

#include "orvane/core/logic/ecucmds.h"

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kDiagChannels = 9; // farf, th2o, tair, pBaro, pVacu, aux1, aux2, step, vBat
inline constexpr std::size_t kDiagPasswordSize = 8;

struct DiagStatus {
    std::uint32_t onTime, timeOverRpm, timeOverThrottle, distWheel;
    std::uint16_t maxValRpm, cntOverRev, distErrs;
    std::uint8_t reserved22[2];
    std::uint32_t onTimeUser, distWheelUser, fuelConsMl, fuelRestMl;
    std::uint16_t trigErr[2], injErr[4];
    std::uint16_t velWheelErr, cntStop, cntStarterIn, cntShiftSet, cntDropSwitch, cntNeutral, cntChangeMap,
        cntCodeLoad;
    std::uint16_t reserved68;
    std::uint16_t chanErr[kDiagChannels];
    std::uint8_t chanErrFlagsA, chanErrFlagsB;
    std::uint8_t reserved90[2];
};
static_assert(sizeof(DiagStatus) == 92);
static_assert(offsetof(DiagStatus, onTimeUser) == 24 && offsetof(DiagStatus, trigErr) == 40);
static_assert(offsetof(DiagStatus, velWheelErr) == 52 && offsetof(DiagStatus, reserved68) == 68);
static_assert(offsetof(DiagStatus, chanErr) == 70 && offsetof(DiagStatus, chanErrFlagsA) == 88);

struct DiagParam {
    std::uint16_t kFlowCorrL, kFlowCorrH;
    std::uint32_t fuelLoadMl;
    std::uint16_t rpmLimit, throttleLimit;
    std::uint32_t distLimit;
    std::uint16_t velWheelLimit;
    std::uint16_t maxErr[kDiagChannels], adMin[kDiagChannels];
    std::int16_t physMin[kDiagChannels];
    std::uint16_t adMax[kDiagChannels];
    std::int16_t physMax[kDiagChannels];
    std::uint16_t adRecov[kDiagChannels];
    std::int16_t physRecov[kDiagChannels];
    std::uint8_t chanOffA, chanOffB;
    std::uint8_t reserved146[2];
};
static_assert(sizeof(DiagParam) == 148);
static_assert(offsetof(DiagParam, fuelLoadMl) == 4 && offsetof(DiagParam, distLimit) == 12);
static_assert(offsetof(DiagParam, maxErr) == 18 && offsetof(DiagParam, physMin) == 54);
static_assert(offsetof(DiagParam, adMax) == 72 && offsetof(DiagParam, physRecov) == 126);
static_assert(offsetof(DiagParam, chanOffA) == 144);

extern DiagStatus diagStatus;
extern DiagParam diagParam;
extern std::uint8_t dgnAction; // reset action for the next status poll (0: none)
extern std::uint8_t dgnAccess; // the ECU accepted the diagnostics password
extern bool dgnParamsFresh;    // diagParam changed since the page last showed it

// Channel i's bit in a pair of flag bytes (first byte: farf..pVacu, second: aux1..vBat).
bool ChannelFlag(std::uint8_t first, std::uint8_t second, std::size_t channel);

void ClearDiagData();
void UnpackDiagStatus();
void UnpackDiagParam();
// One 0x11 exchange; on success diagParam holds the ECU's reply.
bool DiagParamExchange(std::uint8_t code, std::uint8_t sub, std::uint32_t value);
// Sends a password (mode 1 check, 0 set), padded with zero bytes to 8. 1 granted or stored, 0 refused,
// -1 no readable answer; access (dgnAccess) is open only after a 1.
int DiagPasswordExchange(std::uint8_t mode, const char* password);
// A reset action (DiagStatus code) goes with the next status poll.
void RequestDgnAction(std::uint8_t action);
// True once after diagParam changed (or an exchange was tried) since the last call: the page shows it anew.
bool TakeDiagParamsFresh();
// The diagnostics page's tick; false reports a failed exchange to the link watchdog.
bool DgnTimer();
