// The records of the map-tuning exchange (command 0x09) and the tracking settings record, with their
// byte order. Every multi-byte field travels big-endian; the program keeps them in host order and turns a
// copy to link order just before it goes out, so a frame sent twice goes out the same both times.
#pragma once

#include "orvane/core/logic/ecucmds.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr int kTuneRows = 20;
inline constexpr int kTuneCols = 32;

// Flag bits shared by the settings record, the Manual frame and the Info reply.
inline constexpr std::uint8_t kMtFlagLambda2 = 0x80;
inline constexpr std::uint8_t kMtFlagExtDbw = 0x40;
inline constexpr std::uint8_t kMtFlagByPressure = 0x01;

// The tracking settings of automatic tuning: the Auto frame, the Parms reply and the .mtp file.
struct MTSETTINGS {
    std::uint32_t trackA[kTuneRows]; // per load row, bit c = column c: high bit of the cell's track mode
    std::uint32_t trackB[kTuneRows]; // ... low bit
    std::uint16_t rpmMargin;
    std::int16_t minTh2o; // 0.1 degree Celsius
    std::int16_t maxTh2o;
    std::int16_t sollLambda[3]; // x10
    std::int16_t tolLambda;     // x10
    std::int16_t minTj;         // us
    std::int16_t maxTj;
    std::uint8_t flags;   // kMtFlag*
    std::uint8_t cylMask; // bit 7 = cylinder 1 ... bit 4 = cylinder 4
    std::uint32_t kp;     // x10000
    std::uint32_t ki;
    std::uint16_t step; // x1000
    std::uint8_t singleMul;
    std::uint8_t reserved;
    std::uint16_t tolRpm;
    std::uint16_t tolFarf; // 0.1 deg
    std::uint16_t tolPair; // mbar
    std::uint16_t msCellHold;
};
static_assert(sizeof(MTSETTINGS) == 200);
static_assert(offsetof(MTSETTINGS, trackB) == 80);
static_assert(offsetof(MTSETTINGS, rpmMargin) == 160);
static_assert(offsetof(MTSETTINGS, sollLambda) == 166);
static_assert(offsetof(MTSETTINGS, tolLambda) == 172);
static_assert(offsetof(MTSETTINGS, flags) == 178);
static_assert(offsetof(MTSETTINGS, cylMask) == 179);
static_assert(offsetof(MTSETTINGS, kp) == 180);
static_assert(offsetof(MTSETTINGS, ki) == 184);
static_assert(offsetof(MTSETTINGS, step) == 188);
static_assert(offsetof(MTSETTINGS, singleMul) == 190);
static_assert(offsetof(MTSETTINGS, tolRpm) == 192);
static_assert(offsetof(MTSETTINGS, msCellHold) == 198);

// Track mode of a cell: 0 untracked, 1..3 tracked toward lambda set-point 1..3.
int TrackModeOf(const MTSETTINGS& s, int row, int col);
void SetTrackMode(MTSETTINGS& s, int row, int col, int mode);

// The sub-frames, told apart by their length alone.
inline constexpr std::size_t kMtRequestSize = 1;
inline constexpr std::size_t kMtManualSize = 12;
inline constexpr std::size_t kMtAutoSize = sizeof(MTSETTINGS);
inline constexpr std::size_t kMtFreezeSize = 6;
inline constexpr std::size_t kMtAdjustSize = 4;
inline constexpr std::size_t kMtInfoSize = 162;
inline constexpr std::size_t kMtParmsSize = sizeof(MTSETTINGS);

struct MtManualFrame {
    std::uint8_t flags;
    std::uint8_t cylMask;
    std::uint8_t singleMul;
    std::uint8_t reserved;
    std::uint16_t tolRpm;
    std::uint16_t tolFarf;
    std::uint16_t tolPair;
    std::uint16_t msCellHold;
};
static_assert(sizeof(MtManualFrame) == kMtManualSize);

struct MtFreezeFrame {
    std::uint16_t value; // injection ratio x1000 or advance offset x10
    std::uint8_t cylMask;
    std::uint8_t reserved[3];
};
static_assert(sizeof(MtFreezeFrame) == kMtFreezeSize);

struct MtAdjustFrame {
    std::uint16_t value; // ratio x1000 (mask nonzero) or signed advance offset x10 (mask 0)
    std::uint8_t cylMask;
    std::uint8_t pause;
};
static_assert(sizeof(MtAdjustFrame) == kMtAdjustSize);

// One cell the ECU changed. kind 0 empty, 1 advance map, 2..5 injection matrix 1..4 under tuning.
struct MtCellUpdate {
    std::uint8_t kind;
    std::uint8_t col; // 0..31 on the wire
    std::uint8_t row; // 0..19 on the wire
    std::uint16_t value;
};
inline constexpr int kMtCellUpdates = 32;

// The state byte of Info.
inline constexpr std::uint8_t kStateMask = 0x03;
inline constexpr std::uint8_t kStatePaused = 0x04;
inline constexpr std::uint8_t kStateByPressure = 0x08;
inline constexpr std::uint8_t kStateLambdaMatch = 0x10;
inline constexpr std::uint8_t kStateEnabled = 0x20;
inline constexpr std::uint8_t kStateLambda2Warn = 0x40;
inline constexpr std::uint8_t kStateLambda1Warn = 0x80;

// The Info reply in host order, the packed word of each cell update taken apart.
struct MtInfoFrame {
    std::int16_t rpm;
    std::int16_t farf; // 0.1 deg
    std::int16_t pair; // mbar
    std::int16_t lambda1;
    std::int16_t lambda2;
    std::int16_t setpoint; // negative: none
    std::int16_t th2o;     // 0.1 degree Celsius
    std::uint16_t baseTj[4];
    std::uint16_t injRatio; // x1000
    std::int16_t baseAdv;
    std::int16_t advOffset;
    std::uint8_t conditions;
    std::uint8_t extDbw; // bit 7: an external drive-by-wire is fitted
    std::uint8_t state;
    std::uint8_t flags;
    std::uint8_t cylMask;
    std::uint8_t reserved;
    std::array<MtCellUpdate, kMtCellUpdates> cells;
};

// Conditions byte of Info.
inline constexpr std::uint8_t kCondOverInj = 0x80;
inline constexpr std::uint8_t kCondTh2o = 0x40;
inline constexpr std::uint8_t kCondRpm = 0x20;
inline constexpr std::uint8_t kCondTransient = 0x10;
inline constexpr std::uint8_t kCondCranking = 0x08;
inline constexpr std::uint8_t kCondCutOff = 0x02;

// Host order <-> link order. Each encoder writes exactly the frame's size into out.
void EncodeMtSettings(const MTSETTINGS& s, std::span<std::uint8_t, kMtAutoSize> out);
MTSETTINGS DecodeMtSettings(std::span<const std::uint8_t, kMtParmsSize> in);
void EncodeMtManual(const MtManualFrame& f, std::span<std::uint8_t, kMtManualSize> out);
void EncodeMtFreeze(const MtFreezeFrame& f, std::span<std::uint8_t, kMtFreezeSize> out);
void EncodeMtAdjust(const MtAdjustFrame& f, std::span<std::uint8_t, kMtAdjustSize> out);
// The packed word of each cell update (kind in bits 15-12, column 11-6, row 5-0) is taken apart.
MtInfoFrame DecodeMtInfo(std::span<const std::uint8_t, kMtInfoSize> in);
