// The in-process simulated ECU as the program's byte link, with a record of every request frame and a
// hook that may change or drop a reply (to play an ECU that misbehaves). Without the hook the replies
// arrive byte for byte as the simulator sends them.
#pragma once

#include "ecusim/ecu.h"
#include "orvane/core/logic/com.h"
#include "platform/sys/bytelink.h"
#include "platform/sys/utility.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct SimLink : ByteLink {
    explicit SimLink(ecusim::EcuSim& ecu) : sim(ecu) {}

    ecusim::EcuSim& sim;
    std::vector<std::vector<std::uint8_t>> requests; // every frame written, as on the wire
    // Called for each request with the simulator's reply (nullopt: none); returns the reply to deliver.
    std::function<std::optional<ecusim::Frame>(const ecusim::Frame& request,
                                               std::optional<ecusim::Frame> reply)>
        tamper;
    int writesLeft = -1;   // >= 0: the link dies after that many more frames
    double replyDelay = 0; // seconds of the program clock before a reply can be read (a slow ECU)
    double replyAt = 0;
    std::deque<std::uint8_t> rx;

    int Write(std::span<const std::uint8_t> data) override {
        if (writesLeft == 0) return -1;
        if (writesLeft > 0) --writesLeft;
        requests.emplace_back(data.begin(), data.end());
        std::vector<std::uint8_t> bytes = sim.Feed(data); // as the simulator sends them, spoiled or not
        if (tamper) {
            ecusim::FrameParser replies;
            replies.Push(bytes);
            std::optional<ecusim::Frame> reply = replies.Next();
            ecusim::FrameParser request;
            request.Push(data);
            if (const std::optional<ecusim::Frame> frame = request.Next())
                reply = tamper(*frame, std::move(reply));
            bytes = reply ? ecusim::EncodeFrame(*reply) : std::vector<std::uint8_t>{};
        }
        replyAt = Timer() + replyDelay;
        rx.insert(rx.end(), bytes.begin(), bytes.end());
        return static_cast<int>(data.size());
    }

    int Read(std::span<std::uint8_t> data) override {
        if (Timer() < replyAt) return 0;
        const std::size_t n = std::min(data.size(), rx.size());
        std::copy_n(rx.begin(), n, data.begin());
        rx.erase(rx.begin(), rx.begin() + static_cast<std::ptrdiff_t>(n));
        return static_cast<int>(n);
    }

    bool PurgeRx() override {
        rx.clear();
        return true;
    }
    bool PurgeTx() override { return true; }
};

// A SimLink over ecu made the program's open link (it lives until the link is closed).
inline SimLink& AttachSimLink(ecusim::EcuSim& ecu) {
    auto owned = std::make_unique<SimLink>(ecu);
    SimLink& link = *owned;
    AttachComLink(std::move(owned));
    return link;
}
