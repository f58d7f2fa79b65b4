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
