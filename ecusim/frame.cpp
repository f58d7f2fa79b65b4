#include "ecusim/frame.h"

#include <algorithm>
#include <numeric>

namespace ecusim {

namespace {

constexpr std::uint8_t kStart = 0x55;
constexpr std::uint8_t kBootStart = 0x6A;
constexpr std::size_t kOverhead = 4; // both kinds: start, len, cmd and sum in their own order

std::uint8_t FrameSum(std::uint8_t len, std::uint8_t cmd, std::span<const std::uint8_t> data) {
    return static_cast<std::uint8_t>(std::accumulate(data.begin(), data.end(), len + cmd));
}

bool IsStart(std::uint8_t b) {
    return b == kStart || b == kBootStart;
}

// Where the fields of each kind lie in its frame.
struct Layout {
    std::size_t len, cmd, data, sum; // sum: counted from the frame's end when data follows it
};
constexpr Layout kAppLayout{1, 2, 3, 0};
constexpr Layout kBootLayout{3, 2, 4, 1};

} // namespace

std::vector<std::uint8_t> EncodeFrame(std::uint8_t cmd, std::span<const std::uint8_t> data) {
    const auto len = static_cast<std::uint8_t>(data.size());
    std::vector<std::uint8_t> frame(data.size() + kOverhead);
    frame[0] = kStart;
    frame[kAppLayout.len] = len;
    frame[kAppLayout.cmd] = cmd;
    std::ranges::copy(data, frame.begin() + kAppLayout.data);
    frame.back() = FrameSum(len, cmd, data);
    return frame;
}

std::vector<std::uint8_t> EncodeBootFrame(std::uint8_t cmd, std::span<const std::uint8_t> data) {
    const auto len = static_cast<std::uint8_t>(data.size());
    std::vector<std::uint8_t> frame(data.size() + kOverhead);
    frame[0] = kBootStart;
    frame[kBootLayout.sum] = FrameSum(len, cmd, data);
    frame[kBootLayout.cmd] = cmd;
    frame[kBootLayout.len] = len;
    std::ranges::copy(data, frame.begin() + kBootLayout.data);
    return frame;
}

std::vector<std::uint8_t> EncodeFrame(const Frame& frame) {
    return frame.boot ? EncodeBootFrame(frame.cmd, frame.data) : EncodeFrame(frame.cmd, frame.data);
}

void FrameParser::Push(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::optional<Frame> FrameParser::Next() {
    for (;;) {
        pending_.erase(pending_.begin(), std::ranges::find_if(pending_, IsStart));
        if (pending_.size() < kOverhead) return std::nullopt;
        const bool boot = pending_[0] == kBootStart;
        const Layout& at = boot ? kBootLayout : kAppLayout;
        const std::uint8_t len = pending_[at.len];
        const std::size_t size = len + kOverhead;
        if (pending_.size() < size) return std::nullopt;
        const std::span<const std::uint8_t> data(pending_.data() + at.data, len);
        const std::uint8_t sum = boot ? pending_[at.sum] : pending_[size - 1];
        if (FrameSum(len, pending_[at.cmd], data) == sum) {
            Frame frame{pending_[at.cmd], {data.begin(), data.end()}, boot};
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(size));
            return frame;
        }
        pending_.erase(pending_.begin());
    }
}

} // namespace ecusim
