// The field runs of the ECU images as compile-time tables: byte order swaps by them, and the page
// bindings are checked against them when they are compiled (a 16-bit binding must lie on a word of a
// word run, and so on).
#pragma once

#include "orvane/core/logic/byteorder.h"

#include <array>
#include <cstddef>
#include <type_traits>

namespace imagefields {

using enum FieldWidth;

#define ORVANE_RUN(Record, member, width)                                                                    \
    FieldRun {                                                                                               \
        offsetof(Record, member), sizeof(Record::member), width, #member                                     \
    }

inline constexpr std::array kPrefixFields{
    ORVANE_RUN(EcuImagePrefix, length, Long),
    ORVANE_RUN(EcuImagePrefix, checksum, Word),
    ORVANE_RUN(EcuImagePrefix, reserved, Bytes),
    ORVANE_RUN(EcuImagePrefix, name, Bytes),
};

inline constexpr std::array kParFields{
    ORVANE_RUN(EcuParData, header, Bytes),
    ORVANE_RUN(EcuParData, notes, Bytes),
    ORVANE_RUN(EcuParData, dwell, Word),
    ORVANE_RUN(EcuParData, pickUp, Word),
    ORVANE_RUN(EcuParData, linThrottle, Word),
    ORVANE_RUN(EcuParData, linWaterTemp, Word),
    ORVANE_RUN(EcuParData, linAirTemp, Word),
    ORVANE_RUN(EcuParData, linManifoldPressure, Word),
    ORVANE_RUN(EcuParData, linTractionSelector, Word),
    ORVANE_RUN(EcuParData, linLambda1, Word),
    ORVANE_RUN(EcuParData, linLambda2, Word),
    ORVANE_RUN(EcuParData, linFork, Word),
    ORVANE_RUN(EcuParData, linShock, Word),
    ORVANE_RUN(EcuParData, linExtDbwGas, Word),
    ORVANE_RUN(EcuParData, battOffsets1, Word),
    ORVANE_RUN(EcuParData, battOffsets2, Word),
    ORVANE_RUN(EcuParData, battX, Word),
    ORVANE_RUN(EcuParData, idlKp, Long),
    ORVANE_RUN(EcuParData, idlKi, Long),
    ORVANE_RUN(EcuParData, idlKd, Long),
    ORVANE_RUN(EcuParData, w6B0, Word),
    ORVANE_RUN(EcuParData, b6CA, Bytes),
    ORVANE_RUN(EcuParData, w6D6, Word),
    ORVANE_RUN(EcuParData, b6E0, Bytes),
    ORVANE_RUN(EcuParData, w6F4, Word),
    ORVANE_RUN(EcuParData, b772, Bytes),
    ORVANE_RUN(EcuParData, w784, Word),
    ORVANE_RUN(EcuParData, b7AE, Bytes),
    ORVANE_RUN(EcuParData, reserved7C6, Bytes),
    ORVANE_RUN(EcuParData, canFrames, Word),
    ORVANE_RUN(EcuParData, endMarker, Word),
};

inline constexpr std::array kMapFields{
    ORVANE_RUN(EcuMapData, header, Bytes),
    ORVANE_RUN(EcuMapData, notes, Bytes),
    ORVANE_RUN(EcuMapData, map9, Word),
    ORVANE_RUN(EcuMapData, map10, Word),
    ORVANE_RUN(EcuMapData, map1, Word),
    ORVANE_RUN(EcuMapData, map2, Word),
    ORVANE_RUN(EcuMapData, map3, Word),
    ORVANE_RUN(EcuMapData, map5, Word),
    ORVANE_RUN(EcuMapData, map6, Word),
    ORVANE_RUN(EcuMapData, map14, Word),
    ORVANE_RUN(EcuMapData, map15, Word),
    ORVANE_RUN(EcuMapData, map16, Word),
    ORVANE_RUN(EcuMapData, map17, Word),
    ORVANE_RUN(EcuMapData, map13, Word),
    ORVANE_RUN(EcuMapData, map7, Word),
    ORVANE_RUN(EcuMapData, map8, Word),
    ORVANE_RUN(EcuMapData, map4, Word),
    ORVANE_RUN(EcuMapData, map11, Word),
    ORVANE_RUN(EcuMapData, map12, Word),
    ORVANE_RUN(EcuMapData, injTrims, Word),
    ORVANE_RUN(EcuMapData, advOffsets, Word),
    ORVANE_RUN(EcuMapData, cocMapA, Word),
    ORVANE_RUN(EcuMapData, cocMapB, Word),
    ORVANE_RUN(EcuMapData, tcMapKj, Word),
    ORVANE_RUN(EcuMapData, tcMapKa, Word),
    ORVANE_RUN(EcuMapData, mapInjNeut, Word),
    ORVANE_RUN(EcuMapData, mapAdvNeut, Word),
    ORVANE_RUN(EcuMapData, mapInjCuts, Word),
    ORVANE_RUN(EcuMapData, mapAdvCuts, Word),
    ORVANE_RUN(EcuMapData, mapAdvAls, Word),
    ORVANE_RUN(EcuMapData, mapPhaseL, Word),
    ORVANE_RUN(EcuMapData, mapPhaseH, Word),
    ORVANE_RUN(EcuMapData, transient, Word),
    ORVANE_RUN(EcuMapData, bypassAir, Word),
    ORVANE_RUN(EcuMapData, injCorr, Word),
    ORVANE_RUN(EcuMapData, advCorr, Word),
    ORVANE_RUN(EcuMapData, w28C48, Word),
    ORVANE_RUN(EcuMapData, b29996, Bytes),
    ORVANE_RUN(EcuMapData, w29998, Word),
    ORVANE_RUN(EcuMapData, b29AF0, Bytes),
    ORVANE_RUN(EcuMapData, w29AF2, Word),
    ORVANE_RUN(EcuMapData, b29B06, Bytes),
    ORVANE_RUN(EcuMapData, w29B08, Word),
    ORVANE_RUN(EcuMapData, b29B0C, Bytes),
    ORVANE_RUN(EcuMapData, w29B24, Word),
    ORVANE_RUN(EcuMapData, b29B3C, Bytes),
    ORVANE_RUN(EcuMapData, w29B48, Word),
    ORVANE_RUN(EcuMapData, b29B9A, Bytes),
    ORVANE_RUN(EcuMapData, w29BA0, Word),
    ORVANE_RUN(EcuMapData, b29BFA, Bytes),
    ORVANE_RUN(EcuMapData, w29BFC, Word),
    ORVANE_RUN(EcuMapData, b29C22, Bytes),
    ORVANE_RUN(EcuMapData, w29C24, Word),
    ORVANE_RUN(EcuMapData, b29C28, Bytes),
    // 0x29C38..0x2A137: the traction-control levels, 64 records of two words and 16 bytes; expanded below.
    ORVANE_RUN(EcuMapData, tcEnable, Bytes),
    ORVANE_RUN(EcuMapData, b2A139, Bytes),
    ORVANE_RUN(EcuMapData, w2A13A, Word),
    ORVANE_RUN(EcuMapData, b2A2F6, Bytes),
    ORVANE_RUN(EcuMapData, singleMatFlags, Bytes),
    ORVANE_RUN(EcuMapData, unused2A304, Bytes),
    ORVANE_RUN(EcuMapData, endMarker, Word),
};

#undef ORVANE_RUN

inline constexpr std::size_t kTcLevels = std::extent_v<decltype(EcuMapData::tcLevels)>;

// The mapping table with the traction-control level records spliced in at their place.
inline constexpr auto kMapFieldsFull = [] {
    std::array<FieldRun, kMapFields.size() + 2 * kTcLevels> runs{};
    std::size_t n = 0;
    for (const FieldRun& r : kMapFields) {
        if (r.offset == offsetof(EcuMapData, tcEnable)) {
            for (std::size_t i = 0; i < kTcLevels; ++i) {
                const std::size_t at = offsetof(EcuMapData, tcLevels) + i * sizeof(TcLevelRecord);
                runs[n++] = {at + offsetof(TcLevelRecord, w), sizeof(TcLevelRecord::w), Word, "tcLevels.w"};
                runs[n++] = {at + offsetof(TcLevelRecord, b), sizeof(TcLevelRecord::b), Bytes, "tcLevels.b"};
            }
        }
        runs[n++] = r;
    }
    return runs;
}();

// The runs must tile the record exactly, each a whole number of its fields.
template <std::size_t N> constexpr bool Tiles(const std::array<FieldRun, N>& runs, std::size_t recordSize) {
    std::size_t next = 0;
    for (const FieldRun& r : runs) {
        if (r.offset != next || r.size % static_cast<std::size_t>(r.width) != 0 ||
            r.offset % static_cast<std::size_t>(r.width) != 0)
            return false;
        next += r.size;
    }
    return next == recordSize;
}
static_assert(Tiles(kPrefixFields, sizeof(EcuImagePrefix)));
static_assert(Tiles(kParFields, sizeof(EcuParData)));
static_assert(Tiles(kMapFieldsFull, sizeof(EcuMapData)));

} // namespace imagefields
