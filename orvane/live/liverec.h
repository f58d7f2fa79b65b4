// The live records: what the ECU reports of the running engine (four live records fetched two a tick by
// command 0x06) and of its configuration (three information records and the data-set names, read on
// refresh ticks). Both live pages read them; the exchange below is their only writer.
#pragma once

#include "orvane/core/logic/ecucmds.h"

#include <array>
#include <cstdint>

// The records in host order, at their wire offsets. liveData2 holds each A/D word as its fault flag in
// bit 15 and its 12-bit value in bits 0..11 (the wire's bits 12..14 dropped).
using LiveData0 = std::array<std::uint8_t, 250>;
using LiveData1 = std::array<std::uint8_t, 142>;
using LiveData2 = std::array<std::uint8_t, 56>;
using LiveData3 = std::array<std::uint8_t, 46>;
using EngInfo = std::array<std::uint8_t, 20>; // u16[4], then per cylinder: coil, low injector, high injector
using TwaInfo = std::array<std::uint8_t, 8>;
using MiscInfo = std::array<std::uint8_t, 15>;

// The per-cylinder outputs of engInfo: four entries each, an output number or none.
inline constexpr std::size_t kEngCoils = 8;          // the ignition coil, valid 0..1
inline constexpr std::size_t kEngLowInjectors = 12;  // the low injector, valid 0..3
inline constexpr std::size_t kEngHighInjectors = 16; // the high injector, valid 0..3

// The byte of twaInfo that the live pages read: nonzero, the cam sensor's counters are dimmed.
inline constexpr std::size_t kTwaCamFlag = 3;

// The bytes of miscInfo that the live pages read: what the configuration, and the mapping slot the engine
// runs on, fit.
inline constexpr std::size_t kMiscVariableCam = 0;     // variable cam present
inline constexpr std::size_t kMiscFrontWheelSpeed = 1; // nonzero: the wheel speed is the front wheel's
inline constexpr std::size_t kMiscIdleAir = 3; // idle-air actuator: 1 auxiliary throttle, else a stepper
inline constexpr std::size_t kMiscLevelSensorRaw = 4; // nonzero: the level sensor is shown raw
inline constexpr std::size_t kMiscAnalogInputs = 5;   // analog-input configuration 0..4
inline constexpr std::size_t kMiscGearSensor = 6;  // gear sensor: 2 a plain number, else index and position
inline constexpr std::size_t kMiscLevelSwitch = 7; // level switch: 0 none, 1..16 stepped, 17 and more analog
inline constexpr std::size_t kMiscAntiLag = 8;     // nonzero: the shift switch is the anti-lag switch
inline constexpr std::size_t kMiscLaunch = 9;      // nonzero: the neutral switch is the launch switch
inline constexpr std::size_t kMiscSpeedLimiter = 10;  // nonzero: the clutch switch is the speed limiter's
inline constexpr std::size_t kMiscSpeedRpmRatio = 11; // speed/rpm-ratio function present
inline constexpr std::size_t kMiscAuxOutRelay = 12; // nonzero: the auxiliary output is a relay, else the MIL
inline constexpr std::size_t kMiscExtDriveByWire = 13;  // external drive-by-wire present
inline constexpr std::size_t kMiscTractionControl = 14; // traction control present

extern LiveData0 liveData0;
extern LiveData1 liveData1;
extern LiveData2 liveData2;
extern LiveData3 liveData3;
extern EngInfo engInfo;
extern TwaInfo twaInfo;
extern MiscInfo miscInfo;
extern char szEcuPar[32], szEcuMap1[32], szEcuMap2[32];

// The bench adjustment waiting for the next live request (code 0: none).
extern std::uint8_t benchAdjustCode;
extern std::uint16_t benchAdjustValue;
// The bench adjustment that goes with the next live request; code 0 withdraws the one waiting.
void SetBenchAdjust(std::uint8_t code, std::uint16_t value);
extern std::uint8_t liveIndex;    // the live record asked for next
extern std::uint8_t liveErrCount; // consecutive failed live exchanges
// Live requests sent so far, and for each record the request whose reply it last came from: the page tells
// by them whether a record was read after a given request.
extern std::uint32_t liveRequests;
extern std::array<std::uint32_t, 4> liveRecordRequest;

// Fields of a record in host order.
std::uint16_t LiveU16(const std::uint8_t* record, std::size_t offset);
inline std::int16_t LiveI16(const std::uint8_t* record, std::size_t offset) {
    return static_cast<std::int16_t>(LiveU16(record, offset));
}
inline bool AdFault(std::uint16_t word) {
    return (word & 0x8000) != 0;
}
inline std::uint16_t AdValue(std::uint16_t word) {
    return word & 0x0FFF;
}

// Per cylinder (0..3): the coil (valid 0..1), low and high injector (valid 0..3) driving it, or none.
bool HasCoil(std::size_t cyl);
bool HasLowInj(std::size_t cyl);
bool HasHighInj(std::size_t cyl);
bool AnyCylinderOnCoil(int coil);
bool AnyCylinderOnInjector(int output);

void ClearLiveData();
void UnpackLiveData0();
void UnpackLiveData1();
void UnpackLiveData2();
void UnpackLiveData3();
bool RequestEngInfo();
bool RequestTwaInfo();
bool RequestMiscInfo();
bool RequestEcuNames();

// The live exchange of one tick; init asks for a refresh of the context, page 0 = LIVE1, 1 = LIVE2.
// True while the link is to be counted as healthy.
bool LivTimer(std::uint8_t init, std::uint8_t page);
