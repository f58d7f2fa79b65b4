// Byte order of the ECU images. One table per record lists its fields as runs of bytes, 16-bit words or
// 32-bit words, in offset order and without gaps; both directions (host to link and back) reverse the
// same runs, since reversing is its own inverse.
#pragma once

#include "orvane/core/logic/ecuimage.h"

#include <cstddef>
#include <cstdint>
#include <span>

enum class FieldWidth : std::uint8_t { Bytes = 1, Word = 2, Long = 4 };

struct FieldRun {
    std::size_t offset;
    std::size_t size; // bytes
    FieldWidth width;
    const char* name = nullptr; // the record's member, for messages that point at a field
};

std::span<const FieldRun> EcuPrefixFields();
std::span<const FieldRun> EcuParFields();
std::span<const FieldRun> EcuMapFields();

// Reverses every word and long of the runs in data (which starts where the runs' offsets count from).
void SwapFieldRuns(std::span<std::byte> data, std::span<const FieldRun> runs);
// Reverses every 16-bit word of a block made only of words.
void SwapWords(std::span<std::byte> block);

// A whole transfer image in place, prefix included; the same call serves both directions.
void ConvertParImage(EcuParImage& image);
void ConvertMapImage(EcuMapImage& image);

// Bare blocks.
void SwitchMapEndianness(Map20x32& block);
void SwitchMap4Endianness(Map4x20x32& block);
void SwitchMap6Endianness(Map6x20x32& block);
void SwitchMap6x6Endianness(Map6x6x20x32& block);
void SwitchMiniMapEndianness(MiniMap& block);
void SwitchExtMiniMapEndianness(ExtMiniMap& block);
void SwitchCylMiniMapsEndianness(CylMiniMaps& block);
