#include "ecusim/frame.h"

#include <algorithm>
#include <numeric>

namespace ecusim {

namespace {

constexpr std::uint8_t kStart = 0x55;

std::uint8_t FrameSum(std::uint8_t len, std::uint8_t cmd, std::span<const std::uint8_t> data) {
    return static_cast<std::uint8_t>(std::accumulate(data.begin(), data.end(), len + cmd));
}

} // namespace

std::vector<std::uint8_t> EncodeFrame(std::uint8_t cmd, std::span<const std::uint8_t> data) {
    const auto len = static_cast<std::uint8_t>(data.size());
    std::vector<std::uint8_t> frame(data.size() + 4);
    frame[0] = kStart;
    frame[1] = len;
    frame[2] = cmd;
    std::copy(data.begin(), data.end(), frame.begin() + 3);
    frame.back() = FrameSum(len, cmd, data);
    return frame;
}

void FrameParser::Push(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::optional<Frame> FrameParser::Next() {
    for (;;) {
        pending_.erase(pending_.begin(), std::find(pending_.begin(), pending_.end(), kStart));
        if (pending_.size() < 3) return std::nullopt;
        const std::uint8_t len = pending_[1];
        const std::size_t size = len + 4u;
        if (pending_.size() < size) return std::nullopt;
        const std::span<const std::uint8_t> data(pending_.data() + 3, len);
        if (FrameSum(len, pending_[2], data) == pending_[size - 1]) {
            Frame frame{pending_[2], {data.begin(), data.end()}};
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(size));
            return frame;
        }
        pending_.erase(pending_.begin());
    }
}

} // namespace ecusim
