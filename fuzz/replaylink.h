// What the reader targets share: a link that hands out the fuzzer's bytes in chunks of the sizes asked
// for, and the loop that keeps a reader reading from it until the bytes run out or the link closes.
#pragma once

#include "platform/sys/bytelink.h"
#include "shared/portlink.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

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

// The first byte picks the command waited for, the second the buffer size offered; rx is the reader
// (returns 0 for a good frame and sets the data length), which must never report more than was offered.
template <std::size_t MaxData, class Rx>
int ReplayReplies(const std::uint8_t* data, std::size_t size, Rx rx) {
    if (size < 2) return 0;
    auto link = std::make_unique<ReplayLink>();
    ReplayLink& replay = *link;
    replay.rest = std::span(data + 2, size - 2);
    AttachComLink(std::move(link));
    secTimeOut = 0;
    std::array<std::uint8_t, MaxData> buf{};
    const std::uint8_t maxLen = data[1];
    while (!replay.rest.empty() && isComOpen) {
        std::uint8_t len = 0;
        const std::size_t before = replay.rest.size();
        if (rx(data[0], buf.data(), maxLen, &len) == 0 && len > maxLen) __builtin_trap();
        if (replay.rest.size() == before) break;
    }
    AttachComLink(nullptr);
    return 0;
}
