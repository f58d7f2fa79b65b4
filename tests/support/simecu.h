// The in-process simulated ECU as the program's link, and what the transfer tests do to its stored data
// sets and read from the requests it was sent. No user interface.
#pragma once

#include "ecusim/ecu.h"
#include "simlink.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct SimEcu {
    ecusim::EcuSim ecu;
    SimLink* link = nullptr;

    // Makes the simulator the program's open link; the caller closes it.
    void Attach() { link = &AttachSimLink(ecu); }

    Bytes& Store(ecusim::Store s) { return ecu.model.StoreBytes(s); }

    // Changes a stored data set's header as another program would have written it, keeping it sound.
    void PatchStoredHeader(ecusim::Store s, std::size_t at, std::span<const std::uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), Store(s).begin() + 40 + static_cast<std::ptrdiff_t>(at));
        ecusim::SealImage(Store(s));
    }

    // Requests of one command code, as on the wire.
    std::vector<Bytes> Requests(std::uint8_t cmd) const {
        std::vector<Bytes> out;
        for (const Bytes& r : link->requests)
            if (r.size() > 2 && r[2] == cmd) out.push_back(r);
        return out;
    }
};
