// The two data images of the program with their reference copies.
#pragma once

#include "orvane/core/logic/ecuimage.h"

#include <cstdint>

// Data-set kinds: 1 configuration, 2 mapping (map slot 1 on the ECU), 3 mapping slot 2.
inline constexpr std::uint16_t kParKind = 1;
inline constexpr std::uint16_t kMapKind = 2;

extern EcuParData ecuParData;    // configuration data, host order
extern EcuMapData ecuMapData;    // mapping data, host order
extern EcuParData ecuParRefData; // the state of the last configuration file loaded or stored
extern EcuMapData ecuMapRefData; // the state of the last mapping file loaded or stored

void CopyEcuDataToRef(std::uint16_t kind);
bool IsEcuDataChanged(std::uint16_t kind);
void InitEcuRefData();
