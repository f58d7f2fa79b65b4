// The repairs that the pages' check steps make after a gather, named by what they do. Each returns
// true when it changed something, so that a page knows to show its data again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

// Data that belongs to the points of a breakpoint axis: point k owns the values at
// values[k * pointStride + s * sliceStride] for s in 0..sliceCount-1. A curve's values are
// {values, 1, 1, 0}; the columns of a row-major matrix of C columns and R rows are {cells, 1, R, C};
// its rows are {cells, C, C, 1}.
struct AxisData {
    std::span<std::int16_t> values;
    std::size_t pointStride = 1;
    std::size_t sliceCount = 1;
    std::size_t sliceStride = 0;
};

// What equal neighbouring breakpoints mean.
enum class EqualPoints : std::uint8_t {
    Allowed,    // they may carry different data
    SameValues, // the later point takes the data of the earlier (linearization curves)
};

// One forward pass from the second point on, comparing signed 16-bit values: a breakpoint below its
// already repaired predecessor takes the predecessor's value and its data (in every AxisData given,
// that is every matrix sharing the axis) is copied from the predecessor's. The result is the running
// maximum of the axis.
bool RepairAxis(std::span<std::int16_t> axis, std::initializer_list<AxisData> shared,
                EqualPoints equal = EqualPoints::Allowed);
bool RepairAxis(std::span<std::int16_t> axis, std::span<const AxisData> shared,
                EqualPoints equal = EqualPoints::Allowed);

// One limit taking the other's value: an upper limit below the lower becomes the lower ...
template <class T> bool RaiseToLower(T& upper, T lower) {
    if (!(upper < lower)) return false;
    upper = lower;
    return true;
}
// ... and a value above a ceiling becomes the ceiling.
template <class T> bool LowerToUpper(T& value, T upper) {
    if (!(value > upper)) return false;
    value = upper;
    return true;
}

// A code outside first..last becomes fallback (the field's default, which need not be one the ring
// offers).
template <class T> bool ResetOutside(T& code, T first, T last, T fallback) {
    if (code >= first && code <= last) return false;
    code = fallback;
    return true;
}

// A code that is none of allowed becomes fallback.
template <class T> bool ResetUnlessOneOf(T& code, std::initializer_list<T> allowed, T fallback) {
    for (T a : allowed)
        if (code == a) return false;
    code = fallback;
    return true;
}

// A code set back to fallback while a condition forbids it.
template <class T> bool ResetWhen(T& code, bool forbidden, T fallback) {
    if (!forbidden || code == fallback) return false;
    code = fallback;
    return true;
}
