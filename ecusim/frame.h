// Frames on the link as the simulated ECU sees them. Two kinds share the link, told apart by their first
// byte:
//   the application's: 0x55, len, cmd, len data bytes, and the sum of len, cmd and the data modulo 256;
//   the boot loader's: 0x6A, the sum of cmd, len and the data modulo 256, cmd, len, len data bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ecusim {

struct Frame {
    std::uint8_t cmd = 0;
    std::vector<std::uint8_t> data;
    bool boot = false; // a boot-loader frame (0x6A)
};

std::vector<std::uint8_t> EncodeFrame(std::uint8_t cmd, std::span<const std::uint8_t> data);
std::vector<std::uint8_t> EncodeBootFrame(std::uint8_t cmd, std::span<const std::uint8_t> data);
// The frame in its own kind.
std::vector<std::uint8_t> EncodeFrame(const Frame& frame);

// Collects bytes as they arrive, in chunks of any size, and hands out whole frames of either kind. Bytes
// before a start byte are skipped; a frame whose sum is wrong is dropped and the search resumes after its
// start byte.
class FrameParser {
  public:
    void Push(std::span<const std::uint8_t> bytes);
    std::optional<Frame> Next();
    // Drops the bytes of a frame not yet complete.
    void Clear() { pending_.clear(); }

  private:
    std::vector<std::uint8_t> pending_;
};

} // namespace ecusim
