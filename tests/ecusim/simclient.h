// Talks to an in-process simulated ECU frame by frame, the way the program does over the link.
#pragma once

#include "ecusim/ecu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

struct SimClient {
    ecusim::EcuSim sim;

    // One request; the reply frame, or nullopt when the ECU kept silent.
    std::optional<ecusim::Frame> Exchange(std::uint8_t cmd, std::span<const std::uint8_t> data) {
        ecusim::FrameParser parser;
        parser.Push(sim.Feed(ecusim::EncodeFrame(cmd, data)));
        std::optional<ecusim::Frame> reply = parser.Next();
        EXPECT_FALSE(parser.Next()) << "more than one reply";
        if (reply) {
            EXPECT_EQ(reply->cmd, cmd);
        }
        return reply;
    }

    // Writes a whole area with the program's rule: begin, then blocks of at most 255 bytes, resending from
    // the acknowledged count when it falls short. Every acknowledgement goes to acks.
    bool WriteArea(std::uint16_t area, std::span<const std::uint8_t> data,
                   std::vector<std::uint32_t>* acks = nullptr) {
        std::uint8_t begin[6];
        ecusim::PutBE32(begin, static_cast<std::uint32_t>(data.size()));
        ecusim::PutBE16(begin + 4, area);
        if (!Exchange(0x04, begin)) return false;
        std::size_t offset = 0;
        while (offset < data.size()) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - offset);
            const auto reply = Exchange(0x05, data.subspan(offset, n));
            offset += n;
            if (!reply || reply->data.size() != 4) return false;
            const std::uint32_t ack = ecusim::GetBE32(reply->data.data());
            if (acks != nullptr) acks->push_back(ack);
            if (ack > offset) return false;
            offset = ack;
        }
        return true;
    }

    // Reads size bytes of an area in blocks of at most 255 bytes; nullopt at the first unanswered block.
    std::optional<std::vector<std::uint8_t>> ReadArea(std::uint16_t area, std::size_t size) {
        std::vector<std::uint8_t> out;
        while (out.size() < size) {
            const auto count = static_cast<std::uint8_t>(std::min<std::size_t>(255, size - out.size()));
            std::uint8_t request[7];
            ecusim::PutBE32(request, static_cast<std::uint32_t>(out.size()));
            ecusim::PutBE16(request + 4, area);
            request[6] = count;
            const auto reply = Exchange(0x08, request);
            if (!reply || reply->data.size() != count) return std::nullopt;
            out.insert(out.end(), reply->data.begin(), reply->data.end());
        }
        return out;
    }
};
