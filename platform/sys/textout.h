// Copying a text into a caller's buffer: always terminated, cut to fit.
#pragma once

#include <span>
#include <string_view>

// Returns false when the buffer cannot even hold the terminator.
inline bool CopyText(std::string_view text, std::span<char> out) {
    if (out.empty()) return false;
    const std::size_t n = text.size() < out.size() - 1 ? text.size() : out.size() - 1;
    text.copy(out.data(), n);
    out[n] = '\0';
    return true;
}
