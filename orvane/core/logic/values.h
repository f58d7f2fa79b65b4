// Small value blocks of the ECU addressed by four selector bytes: command 0x1F reads one, 0x1E writes
// one. The payload passes through unchanged; callers convert its byte order.
#pragma once

#include "orvane/core/logic/ecucmds.h"

#include <cstdint>
#include <span>

inline constexpr std::size_t kMaxValueBlock = 251; // 4 selector bytes + block in one frame

// Reads dst.size() bytes of the block into dst; dst is untouched on failure. False with the link closed
// or a block above 251 bytes (both without traffic), or when the reply is not exactly the echoed selector
// and the block.
bool DoGetValues(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d, std::span<std::uint8_t> dst);
// Writes src to the block; true when the ECU echoes the selector.
bool DoSendValues(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                  std::span<const std::uint8_t> src);
