// The link's frame reader fed whatever an ECU (or line noise) might send: the first byte picks the command
// waited for and the buffer size offered, the rest arrives on the link in chunks of the sizes asked for.
#include "orvane/core/com.h"
#include "platform/sys/bytelink.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

struct ReplayLink : ByteLink {
    std::span<const std::uint8_t> rest;
    int Write(std::span<const std::uint8_t> data) override { return static_cast<int>(data.size()); }
    int Read(std::span<std::uint8_t> data) override {
        const std::size_t n = std::min(data.size(), rest.size());
        std::copy_n(rest.begin(), n, data.begin());
        rest = rest.subspan(n);
        return static_cast<int>(n);
    }
    bool PurgeRx() override { return true; }
    bool PurgeTx() override { return true; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    auto link = std::make_unique<ReplayLink>();
    ReplayLink& replay = *link;
    replay.rest = std::span(data + 2, size - 2);
    AttachComLink(std::move(link));
    secTimeOut = 0;
    std::array<std::uint8_t, kMaxFrameData> buf{};
    const std::uint8_t maxLen = data[1];
    while (!replay.rest.empty() && isComOpen) {
        std::uint8_t len = 0;
        const std::size_t before = replay.rest.size();
        if (RxResponse(data[0], buf.data(), maxLen, &len) == 0 && len > maxLen) __builtin_trap();
        if (replay.rest.size() == before) break;
    }
    AttachComLink(nullptr);
    return 0;
}
