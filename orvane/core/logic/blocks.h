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

// The bare blocks of ReadMapBlock and WriteMapBlock, each naming its area.
enum BareBlock : std::uint8_t {
    MAP_BLOCK_1 = 1,          // AREA_MAP1_BLOCK
    MAP_BLOCK_2 = 2,          // AREA_MAP2_BLOCK
    MAP_BLOCK_3 = 3,          // AREA_MAP3_BLOCK
    MAP_BLOCK_TUNING_4X = 18, // AREA_TUNING_4X_BLOCK
    MAP_BLOCK_TUNING_1X = 19, // AREA_TUNING_1X_BLOCK
    MAP_BLOCK_COC_A = 30,     // AREA_COC_MAP_A
    MAP_BLOCK_COC_B = 31,     // AREA_COC_MAP_B
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

// A bare block into the caller's block, converted to host order. MAP_BLOCK_1, MAP_BLOCK_2 and
// MAP_BLOCK_TUNING_4X read a Map4x20x32; MAP_BLOCK_3 and MAP_BLOCK_TUNING_1X a Map20x32; MAP_BLOCK_COC_A and
// MAP_BLOCK_COC_B an ExtMiniMap. Another which, or a block of another shape: NoSuchArea without traffic.
TransferOutcome ReadMapBlock(std::uint8_t which, Map4x20x32& block, ProgressFn progress);
TransferOutcome ReadMapBlock(std::uint8_t which, Map20x32& block, ProgressFn progress);
TransferOutcome ReadMapBlock(std::uint8_t which, ExtMiniMap& block, ProgressFn progress);
// MAP_BLOCK_COC_A, MAP_BLOCK_COC_B: writes a CO-correction map. The block is converted to link order in place
// once the ECU has taken the begin command, and left so: pass a scratch copy.
TransferOutcome WriteMapBlock(std::uint8_t which, ExtMiniMap& block, ProgressFn progress);
