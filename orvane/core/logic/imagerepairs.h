// The repairs of repairs.h on values of a data image named by their offsets, made in place through the
// image view: each returns true when it changed something, and false, repairing nothing, when a value
// does not lie in the image.
#pragma once

#include "orvane/core/logic/imageview.h"
#include "orvane/core/logic/repairs.h"

#include <cstddef>
#include <optional>
#include <span>

// Runs repair (bool(T&), true when it changed the value) on the value of T at offset.
template <class T, class Repair> bool RepairImageValue(Image image, std::size_t offset, Repair repair) {
    const std::span<T> value = ImageSpan<T>(image, offset, 1);
    return !value.empty() && repair(value[0]);
}

// The upper limit at upper, below the lower limit at lower, takes the lower's value.
template <class T> bool RaiseToLowerAt(Image image, std::size_t upper, std::size_t lower) {
    const std::optional<T> low = ImageValue<T>(image, lower);
    return low && RepairImageValue<T>(image, upper, [&](T& v) { return RaiseToLower(v, *low); });
}

// The value at offset, above the ceiling at upper, takes the ceiling's value.
template <class T> bool LowerToUpperAt(Image image, std::size_t offset, std::size_t upper) {
    const std::optional<T> top = ImageValue<T>(image, upper);
    return top && RepairImageValue<T>(image, offset, [&](T& v) { return LowerToUpper(v, *top); });
}

// The code at offset, outside first..last, becomes fallback.
template <class T> bool ResetOutsideAt(Image image, std::size_t offset, T first, T last, T fallback) {
    return RepairImageValue<T>(image, offset,
                               [&](T& code) { return ResetOutside(code, first, last, fallback); });
}
