// Bytes the tests build or read: big-endian words in byte buffers (frames, replies and records as they
// cross the link), and whole files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ranges>
#include <span>
#include <stdexcept>
#include <vector>

// A word that would not fit its buffer is the test's own fault: it throws instead of reaching past the end.

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

// A whole file's bytes, in the type the test compares them in (char, unsigned char or std::uint8_t); none
// when the file cannot be read.
template <typename Byte = std::uint8_t> std::vector<Byte> ReadFileBytes(const std::filesystem::path& path) {
    static_assert(sizeof(Byte) == 1);
    std::ifstream in(path, std::ios::binary);
    return std::vector<Byte>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Bytes written as the whole file, replacing what was there.
template <std::ranges::contiguous_range Bytes>
void WriteFileBytes(const std::filesystem::path& path, const Bytes& bytes) {
    static_assert(sizeof(std::ranges::range_value_t<Bytes>) == 1);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(std::ranges::data(bytes)),
               static_cast<std::streamsize>(std::ranges::size(bytes)));
}
