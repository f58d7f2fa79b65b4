// Big-endian words in the byte buffers the tests build or read: frames, replies and records as they cross
// the link. A word that would not fit its buffer is the test's own fault: it throws instead of reaching past
// the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>

inline void CheckWordFits(std::size_t size, std::size_t at) {
    if (at + 2 > size) throw std::out_of_range("word past the end of the buffer");
}

inline void PutBE16(std::span<std::uint8_t> bytes, std::size_t at, int value) {
    CheckWordFits(bytes.size(), at);
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}

inline std::uint16_t GetBE16(std::span<const std::uint8_t> bytes, std::size_t at) {
    CheckWordFits(bytes.size(), at);
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}
