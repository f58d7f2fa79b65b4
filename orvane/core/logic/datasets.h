// Whole data sets between the ECU and the program: a data set travels as an EcuImage with checksum,
// header and end marker, in link order. No user interface: progress and the outcome go to the caller.
#pragma once

#include "orvane/core/logic/blocks.h"
#include "orvane/core/logic/ecuimage.h"
#include "orvane/core/logic/progress.h"

#include <array>
#include <cstdint>

inline constexpr std::uint32_t zzzDimParBuf = sizeof(EcuParImage); // 3072
inline constexpr std::uint32_t zzzDimMapBuf = sizeof(EcuMapImage); // 173056

// The transfer images: a send builds its image here (left in link order), a receive reads into them.
extern EcuParImage parImage;
extern EcuMapImage mapImage;

// ConvertParImage/ConvertMapImage on the transfer images.
void ConvertParImage();
void ConvertMapImage();

// Kinds 2 and 3, mapping slots 1 and 2, carry the mapping data; a send of any other kind the
// configuration.
constexpr bool IsMappingSlot(std::uint16_t kind) {
    return kind == AREA_MAP_SLOT1 || kind == AREA_MAP_SLOT2;
}

// Sends ecuMapData to a mapping slot, or ecuParData, under name (cut to 31 characters). The ECU keeps
// this application's header and the end marker whatever the image in memory holds; the image in memory
// is left as it is. Progress as in blocks.h.
TransferOutcome SendDataSet(std::uint16_t kind, const char* name, ProgressFn progress);

struct DataSetReceipt {
    TransferOutcome outcome;
    DataHeader header;                   // as received, once the whole set has been read
    std::array<char, kEcuNameSize> name; // Done: the data set's name, terminated
};
// kind 1: the configuration into ecuParData; 2, 3, 14: mapping slot 1, 2, the map set under tuning, into
// ecuMapData; another kind NoSuchArea without traffic. Only a data set that passes every check reaches
// the image in memory; its header is checked first. Progress as in blocks.h.
DataSetReceipt ReceiveDataSet(std::uint16_t kind, ProgressFn progress);
