// This program's version and the 64-byte header it writes at the start of every data set it sends or
// stores, and the check of a header read back from the ECU or a file.
#pragma once

#include "orvane/core/logic/ecuimage.h"

#include <cstdint>
#include <string>

// The program's version: the data headers carry it, and the ECU's protocol version must match it.
extern const std::uint8_t appVer;
extern const std::uint8_t appSub;
extern const char appExtra[];
// The name written into the data header.
extern const char appDataName[]; // "Orvane"

// Writes this application's header.
void MakeDataHeader(DataHeader& header);
// 0 this application's header; -1 another name; -2 another version or sub-version; -3 only the suffix
// differs. The last 16 bytes are not compared.
int CheckDataHeader(const DataHeader& header);

// "name vV.Ssuffix" of a header, name and suffix bounded to their fields.
std::string DataHeaderText(const DataHeader& header);
