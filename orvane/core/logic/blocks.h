// Whole data areas between the ECU and the program, block by block: reads are blocks of command 0x08;
// writes are a begin command 0x04 and blocks 0x05, each acknowledged with the count of bytes the ECU has
// accepted. A single map block travels bare, 16-bit words in link order. No user interface: progress and
// the outcome go to the caller.
#pragma once

#include "orvane/core/logic/ecucmds.h"
#include "orvane/core/logic/ecuimage.h"
#include "orvane/core/logic/progress.h"

#include <cstddef>
#include <cstdint>
#include <span>

// Data areas of the block commands.
enum DataSetArea : std::uint16_t {
    AREA_PAR = 1,
    AREA_MAP_SLOT1 = 2,
    AREA_MAP_SLOT2 = 3,
    AREA_MAP1_BLOCK = 9,
    AREA_MAP2_BLOCK = 10,
    AREA_MAP3_BLOCK = 11,
    AREA_TUNING_4X_BLOCK = 12, // the four-matrix map of the map set under tuning
    AREA_TUNING_1X_BLOCK = 13, // the single-matrix map of the map set under tuning
    AREA_MAP_TUNING = 14,
    AREA_COC_MAP_A = 20,
    AREA_COC_MAP_B = 21,
};

// Acknowledgements in a row that bring no progress before a write gives up.
inline constexpr int kMaxWriteStalls = 8;

// How a transfer ended.
enum class TransferOutcome {
    Done,
    NoSuchArea,   // a kind or block the ECU does not have: nothing went out
    LinkFailed,   // a frame not sent, a reply missing or malformed, an acknowledgement out of rule
    ForeignData,  // a received data set carries another application's header
    OtherVersion, // a received data set carries another version of this application's header
    Damaged,      // a received data set's length, end marker or checksum is wrong
};

// Progress of a transfer: (done, total) bytes before each block, done being what has gone through so
// far (on a write, what the ECU has acknowledged). The whole transfers (the bare blocks here, the data
// sets) add (total, total) once they are Done, never otherwise; the caller hides any bar it shows.

// Reads the whole area into dst, in blocks of at most 255 bytes, each with one single read.
TransferOutcome ReadArea(std::uint16_t area, std::span<std::byte> dst, ProgressFn progress);
// Announces a write of total bytes to the area; any reply is taken. False when none came.
bool WriteBegin(std::uint16_t area, std::size_t total);
// Sends src block by block after WriteBegin. An acknowledgement below what was sent makes the blocks go
// again from there, one above it fails; an ECU that keeps acknowledging without accepting anything new is
// given up on after kMaxWriteStalls such replies in a row.
TransferOutcome WriteBlocks(std::span<const std::byte> src, ProgressFn progress);

// A bare block into the caller's block, converted to host order. which 1, 2, 18 read a Map4x20x32;
// 3, 19 a Map20x32; 30, 31 an ExtMiniMap (CO-correction maps A, B). Another which, or a block of
// another shape: NoSuchArea without traffic.
TransferOutcome ReadMapBlock(std::uint8_t which, Map4x20x32& block, ProgressFn progress);
TransferOutcome ReadMapBlock(std::uint8_t which, Map20x32& block, ProgressFn progress);
TransferOutcome ReadMapBlock(std::uint8_t which, ExtMiniMap& block, ProgressFn progress);
// which 30, 31: writes a CO-correction map. The block is converted to link order in place once the ECU
// has taken the begin command, and left so: pass a scratch copy.
TransferOutcome WriteMapBlock(std::uint8_t which, ExtMiniMap& block, ProgressFn progress);
