// Data images that every reader accepts, for the tests of files and transfers.
#pragma once

#include "orvane/core/logic/dataheader.h"

#include <cstddef>
#include <cstdint>

// This program's header, the end marker, the rest a pattern that seed tells apart.
template <class Data> void FillSound(Data& data, std::uint8_t seed) {
    auto* raw = reinterpret_cast<std::uint8_t*>(&data);
    for (std::size_t i = 0; i < sizeof data; ++i)
        raw[i] = static_cast<std::uint8_t>(i * 13 + seed);
    MakeDataHeader(data.header);
    data.endMarker = kEndMarker;
}
