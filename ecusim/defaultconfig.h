// The simulator's configuration data set: a plausible engine, so that a newcomer sees real pages and
// real maps (a two-cylinder, double-injection engine on a 36-1 wheel).
#pragma once

#include <cstdint>
#include <span>

namespace ecusim {

// Writes the engine into a configuration image (link byte order), leaving its prefix and header alone.
void FillDefaultConfiguration(std::span<std::uint8_t> image);

} // namespace ecusim
