// The transfers of the program's commands: the data sets and bare map blocks of logic/blocks.h and
// logic/datasets.h with the main window's progress bar, the data sets' shown names, and the messages about a
// received data set's header.
#pragma once

#include "orvane/core/logic/blocks.h"
#include "orvane/core/logic/datasets.h"

#include <cstdint>

// kind 2, 3: mapping slot 1, 2; anything else: the configuration. Sent under the data set's shown name.
bool SendEcu(std::uint16_t kind);
// kind 1: configuration into ecuParData; 2, 3, 14: mapping slot 1, 2, the map set under tuning, into
// ecuMapData, and the data set's name shown. A header of another application or version is reported in a
// message. On any failure the image in memory and the shown name stay as they were.
bool RequestEcu(std::uint16_t kind);
// ReadMapBlock and WriteMapBlock with the progress bar.
bool RequestEcuMap(std::uint8_t which, Map4x20x32& block);
bool RequestEcuMap(std::uint8_t which, Map20x32& block);
bool RequestEcuMap(std::uint8_t which, ExtMiniMap& block);
bool SendEcuMap(std::uint8_t which, ExtMiniMap& block);
