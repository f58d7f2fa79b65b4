#include "orvane/core/logic/byteorder.h"

#include "orvane/core/logic/imagefields.h"
#include "orvane/core/logic/utils.h"

#include <array>
#include <bit>
#include <cstring>
#include <type_traits>

static_assert(std::endian::native == std::endian::little, "the images are kept little-endian in memory");

namespace {

using namespace imagefields;
using enum FieldWidth;

template <class T> void SwapAll(std::span<std::byte> bytes) {
    for (std::size_t at = 0; at + sizeof(T) <= bytes.size(); at += sizeof(T)) {
        T v;
        std::memcpy(&v, bytes.data() + at, sizeof v);
        if constexpr (sizeof(T) == 2)
            v = Swap16(v);
        else
            v = Swap32(v);
        std::memcpy(bytes.data() + at, &v, sizeof v);
    }
}

template <class Data> void ConvertImage(EcuImage<Data>& image, std::span<const FieldRun> dataRuns) {
    SwapFieldRuns(BytesOf(image.prefix), kPrefixFields);
    SwapFieldRuns(BytesOf(image.data), dataRuns);
}

} // namespace

std::span<const FieldRun> EcuPrefixFields() {
    return kPrefixFields;
}
std::span<const FieldRun> EcuParFields() {
    return kParFields;
}
std::span<const FieldRun> EcuMapFields() {
    return kMapFieldsFull;
}

void SwapFieldRuns(std::span<std::byte> data, std::span<const FieldRun> runs) {
    for (const FieldRun& r : runs) {
        if (r.offset + r.size > data.size()) return;
        const std::span<std::byte> field = data.subspan(r.offset, r.size);
        if (r.width == Word) SwapAll<std::uint16_t>(field);
        if (r.width == Long) SwapAll<std::uint32_t>(field);
    }
}

void SwapWords(std::span<std::byte> block) {
    SwapAll<std::uint16_t>(block);
}

void ConvertParImage(EcuParImage& image) {
    ConvertImage(image, kParFields);
}
void ConvertMapImage(EcuMapImage& image) {
    ConvertImage(image, kMapFieldsFull);
}

void SwitchMapEndianness(Map20x32& block) {
    SwapWords(BytesOf(block));
}
void SwitchMap4Endianness(Map4x20x32& block) {
    SwapWords(BytesOf(block));
}
void SwitchMap6Endianness(Map6x20x32& block) {
    SwapWords(BytesOf(block));
}
void SwitchMap6x6Endianness(Map6x6x20x32& block) {
    SwapWords(BytesOf(block));
}
void SwitchMiniMapEndianness(MiniMap& block) {
    SwapWords(BytesOf(block));
}
void SwitchExtMiniMapEndianness(ExtMiniMap& block) {
    SwapWords(BytesOf(block));
}
void SwitchCylMiniMapsEndianness(CylMiniMaps& block) {
    SwapWords(BytesOf(block));
}
