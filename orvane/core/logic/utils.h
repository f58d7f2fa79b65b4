// Small stateless helpers shared by the program: file names, byte reversal, the checksum of the ECU
// images, fixed-length texts, and breakpoint search and interpolation on 16-bit axes and tables (the same
// arithmetic as the ECU's on its maps).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// ---- paths: '\\' and '/' both separate directories ----------------------------------------------------

// The text after the last dot of the file name when it has at most 4 characters; otherwise the end of
// the path.
const char* GetFileExtension(const char* path);
// Replaces the extension found by GetFileExtension by ext, or appends '.' and ext. An empty path stays
// unchanged. Returns path.data(), or nullptr (path unchanged) when the result would not fit.
char* SetFileExtension(std::span<char> path, const char* ext);
// Copies the file name without directory and extension (and without a trailing dot) into name, cut to
// fit; returns a pointer to the extension inside path.
const char* SplitFileName(const char* path, std::span<char> name);

// ---- byte order and checksum --------------------------------------------------------------------------

constexpr std::uint16_t Swap16(std::uint16_t v) {
    return static_cast<std::uint16_t>((v << 8) | (v >> 8));
}
constexpr std::uint32_t Swap32(std::uint32_t v) {
    return (v << 24) | ((v << 8) & 0x00FF0000u) | ((v >> 8) & 0x0000FF00u) | (v >> 24);
}

// One's-complement sum of the little-endian 16-bit words from byte 2 on, inverted. An odd last byte
// counts as a word with a zero high byte.
std::uint16_t GetChecksum(std::span<const std::uint8_t> data);
std::uint16_t GetChecksum(std::span<const std::byte> data);

// ---- texts --------------------------------------------------------------------------------------------

// Makes the text in buf exactly length characters (cut, or filled with fill), then a zero byte; length is
// bounded by the buffer.
void Padr(std::span<char> buf, int length, char fill);
// The 8 bits of value, most significant first, as '0'/'1', then a zero byte (cut to fit).
void Byte2Bin(std::uint8_t value, std::span<char> text);

// ---- breakpoint search and interpolation --------------------------------------------------------------
// An axis holds non-decreasing breakpoints. lo == hi marks an exact hit (the first of a run of equal
// breakpoints) or a value outside the axis, clamped to its ends; otherwise axis[lo] < x < axis[hi].
// An empty axis gives lo = hi = 0.

std::uint16_t GetFirstEqual(std::uint16_t i, std::span<const std::int16_t> axis);
void SearchInterval_S16(std::uint16_t& lo, std::uint16_t& hi, std::int16_t x,
                        std::span<const std::int16_t> axis);
void SearchInterval_U16(std::uint16_t& lo, std::uint16_t& hi, std::uint16_t x,
                        std::span<const std::uint16_t> axis);
// isSigned 0 reads the axis and x as unsigned.
void CercaIntervallo(std::uint16_t& lo, std::uint16_t& hi, std::int16_t x, std::span<const std::int16_t> axis,
                     std::uint8_t isSigned);

// Index of the breakpoint nearer to x; a tie goes to the upper one; 0 for an empty axis.
std::uint16_t GetNearest_S16(std::int16_t x, std::span<const std::int16_t> axis);
// values has (at least) the axis's points; 0 when empty.
std::int16_t Interp1D(std::int16_t x, std::span<const std::int16_t> axis,
                      std::span<const std::int16_t> values);
// table[ny][nx], row by row; 0 when an axis is empty or the table is smaller than nx * ny.
std::int16_t Interp2D(std::int16_t x, std::int16_t y, std::span<const std::int16_t> xAxis,
                      std::span<const std::int16_t> yAxis, std::span<const std::int16_t> table);
// table[nz][ny][nx]; 0 when an axis is empty or the table is smaller than nx * ny * nz.
std::int16_t Interp3D(std::int16_t x, std::int16_t y, std::int16_t z, std::span<const std::int16_t> xAxis,
                      std::span<const std::int16_t> yAxis, std::span<const std::int16_t> zAxis,
                      std::span<const std::int16_t> table);
