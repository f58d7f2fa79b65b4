// Part of the field engine (ui/fields.h), without user interface: the two data images as bounds-checked runs
// of bytes and words, the one way to reach image bytes outside a page's field table (the pages' checks, the
// configuration settings other pages follow). A run that would leave its image comes back empty and a value
// outside it comes back as nothing: the caller sees the failure and touches nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <span>
#include <type_traits>

enum class Image : std::uint8_t { Par, Map };

// The whole image.
std::span<std::byte> ImageBytes(Image image);
// size bytes from offset; empty when they do not lie wholly inside the image.
std::span<std::byte> ImageBytes(Image image, std::size_t offset, std::size_t size);

// count values of T (a byte or a word type) from offset, to read or repair in place; empty when they do
// not lie wholly inside the image or offset is not on a T of the image.
template <class T> std::span<T> ImageSpan(Image image, std::size_t offset, std::size_t count) {
    static_assert(std::is_integral_v<T>);
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) return {};
    const std::span<std::byte> bytes = ImageBytes(image, offset, count * sizeof(T));
    if (bytes.empty() || reinterpret_cast<std::uintptr_t>(bytes.data()) % alignof(T) != 0) return {};
    return {reinterpret_cast<T*>(bytes.data()), count};
}

// The value of T at offset; nothing when it does not lie wholly inside the image.
template <class T> std::optional<T> ImageValue(Image image, std::size_t offset) {
    static_assert(std::is_integral_v<T>);
    const std::span<const std::byte> bytes = ImageBytes(image, offset, sizeof(T));
    if (bytes.empty()) return std::nullopt;
    T value;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}
