// The value arithmetic of every editor field: what a control shows for a stored raw integer, and what
// a typed value stores. Kept apart from the user interface so that it is tested on its own.
#pragma once

#include <cstddef>
#include <cstdint>

// The raw integer types of image fields.
enum class Raw : std::uint8_t { U8, I8, U16, I16, U32, I32 };

constexpr std::size_t RawSize(Raw raw) {
    switch (raw) {
    case Raw::U8:
    case Raw::I8:
        return 1;
    case Raw::U16:
    case Raw::I16:
        return 2;
    case Raw::U32:
    case Raw::I32:
        return 4;
    }
    return 0;
}

constexpr bool RawSigned(Raw raw) {
    return raw == Raw::I8 || raw == Raw::I16 || raw == Raw::I32;
}

// The decimals a divisor shows (1: 0, 10: 1, 100: 2, 1000: 3; other divisors: 2).
constexpr int DecimalsOf(double divisor) {
    if (divisor == 1) return 0;
    if (divisor == 10) return 1;
    if (divisor == 100) return 2;
    if (divisor == 1000) return 3;
    return 2;
}

// What a control shows for a raw value.
double ShownValue(std::int64_t raw, double divisor);

// How a typed value becomes a whole number: most fields round, a few (on/off tables) truncate.
enum class Rounding : std::uint8_t { HalfAwayFromZero, TowardZero };

// What a typed value stores: typed x divisor, into a signed field rounded half away from zero, into an
// unsigned one 0 for a product of 0 or below, else the product + 0.5 truncated (TowardZero: the product
// truncated); then held to the field type's range, so that an out-of-range number never wraps into a
// different value. The typed value is never rounded to its shown decimals first: the exact number the
// control holds is used.
std::int64_t StoredValue(double typed, double divisor, Raw raw,
                         Rounding rounding = Rounding::HalfAwayFromZero);
