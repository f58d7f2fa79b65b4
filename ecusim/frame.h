// Frames of the ECU link as the simulated ECU sees them: 0x55, len, cmd, len data bytes, and the sum of
// len, cmd and the data modulo 256.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ecusim {

struct Frame {
    std::uint8_t cmd = 0;
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> EncodeFrame(std::uint8_t cmd, std::span<const std::uint8_t> data);

// Collects bytes as they arrive, in chunks of any size, and hands out whole frames. Bytes before a start
// byte are skipped; a frame whose sum is wrong is dropped and the search resumes after its start byte.
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
