// The two data images of the program with their reference copies.
#pragma once

#include "orvane/core/logic/ecuimage.h"

#include <cstdint>

// The data-set kinds of the images, their files and their shown names.
inline constexpr std::uint16_t kParKind = 1;
inline constexpr std::uint16_t kMapKind = 2;

extern EcuParData ecuParData;    // configuration data, host order
extern EcuMapData ecuMapData;    // mapping data, host order
extern EcuParData ecuParRefData; // the state of the last configuration file loaded or stored
extern EcuMapData ecuMapRefData; // the state of the last mapping file loaded or stored

void CopyEcuDataToRef(std::uint16_t kind);
bool IsEcuDataChanged(std::uint16_t kind);
void InitEcuRefData();
