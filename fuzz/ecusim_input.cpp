// The simulated ECU fed arbitrary client bytes, split in two chunks (and two connections) at a point the
// input chooses: frame decoding, every command handler and the replies they encode.
#include "ecusim/ecu.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // A fresh simulator per input, so that every finding reproduces from its input alone; a long run's
    // state is reached by an input of many frames.
    static const ecusim::EcuSim pristine{ecusim::EcuOptions{"fuzz", true}};
    ecusim::EcuSim sim = pristine; // a copy: far cheaper than building the sample data sets again
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    const std::size_t cut = std::min<std::size_t>(data[0], bytes.size());
    sim.Feed(bytes.first(cut));
    if ((data[0] & 1) != 0) sim.NewConnection();
    sim.Feed(bytes.subspan(cut));
    return 0;
}
