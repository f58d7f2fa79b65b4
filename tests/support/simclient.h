// Talks to an in-process simulated ECU frame by frame, the way the program does over the link.
#pragma once

#include "ecusim/ecu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>
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

// A 20x32 map of the slot the ECU runs on, laid out for a test: every cell of its matrices set to cell,
// the engine-speed axis rising from rpm0 by rpmStep, the load axis from 0 by loadStep (raw units).
inline void LayMap(ecusim::EcuModel& model, std::size_t offset, int matrices, std::int16_t cell, int rpm0,
                   int rpmStep, int loadStep) {
    std::vector<std::uint8_t>& image = model.StoreBytes(model.tuningSlot);
    std::uint8_t* map = image.data() + ecusim::kPrefixSize + offset;
    const auto put = [&map](std::size_t i, int v) {
        ecusim::PutBE16(map + 2 * i, static_cast<std::uint16_t>(v));
    };
    const std::size_t cells = static_cast<std::size_t>(matrices) * 20 * 32;
    for (std::size_t i = 0; i < cells; ++i)
        put(i, cell);
    for (int c = 0; c < 32; ++c)
        put(cells + static_cast<std::size_t>(c), rpm0 + rpmStep * c);
    for (int r = 0; r < 20; ++r)
        put(cells + 32 + static_cast<std::size_t>(r), loadStep * r);
    ecusim::SealImage(image);
}

// The mapping slot the ECU runs on with its injection and advance maps empty (every cell and breakpoint
// 0), its corrections and parameters as calibrated.
inline void EmptyMaps(ecusim::EcuModel& model, ecusim::Store slot) {
    std::vector<std::uint8_t>& image = model.StoreBytes(slot);
    for (const auto& [offset, size] : {std::pair{ecusim::kMap1Offset, ecusim::kMap4Size},
                                       std::pair{ecusim::kMap2Offset, ecusim::kMap4Size},
                                       std::pair{ecusim::kMap3Offset, ecusim::kMapSize}})
        std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(ecusim::kPrefixSize + offset), size, 0);
    ecusim::SealImage(image);
}

// A cell of a map laid out as above.
inline std::int16_t MapCell(ecusim::EcuModel& model, std::size_t offset, int matrix, int row, int col) {
    const std::vector<std::uint8_t>& image = model.StoreBytes(model.tuningSlot);
    return static_cast<std::int16_t>(
        ecusim::GetBE16(image.data() + ecusim::kPrefixSize + offset +
                        static_cast<std::size_t>((matrix * 20 + row) * 32 + col) * 2));
}
