// Whole data areas between the ECU and the program: a data set travels as an EcuImage with checksum,
// header and end marker; a single map block travels bare. Reads are blocks of command 0x08; writes are a
// begin command 0x04 and blocks 0x05, each acknowledged with the count of bytes the ECU has accepted.
#pragma once

#include "orvane/core/ecucmds.h"
#include "orvane/core/ecuimage.h"

#include <cstdint>

inline constexpr std::uint32_t zzzDimParBuf = sizeof(EcuParImage); // 3072
inline constexpr std::uint32_t zzzDimMapBuf = sizeof(EcuMapImage); // 173056

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

// The transfer images: a send builds its image here (left in link order), a receive reads into them.
extern EcuParImage parImage;
extern EcuMapImage mapImage;

// ConvertParImage/ConvertMapImage on the transfer images.
void ConvertParImage();
void ConvertMapImage();

// kind 2, 3: mapping slot 1, 2; anything else: the configuration.
bool SendEcu(std::uint16_t kind);
// kind 1: configuration into ecuParData; 2, 3, 14: mapping slot 1, 2, the map set under tuning, into
// ecuMapData. On any failure the image in memory and the shown name stay as they were.
bool RequestEcu(std::uint16_t kind);
// A bare block into the caller's block, converted to host order. which 1, 2, 18 read a Map4x20x32;
// 3, 19 a Map20x32; 30, 31 an ExtMiniMap (CO-correction maps A, B). Another which, or a block of
// another shape, returns false without traffic.
bool RequestEcuMap(std::uint8_t which, Map4x20x32& block);
bool RequestEcuMap(std::uint8_t which, Map20x32& block);
bool RequestEcuMap(std::uint8_t which, ExtMiniMap& block);
// which 30, 31: writes a CO-correction map. The block is converted to link order in place and left so:
// pass a scratch copy.
bool SendEcuMap(std::uint8_t which, ExtMiniMap& block);
