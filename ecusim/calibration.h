// The calibration of the simulated engine (the two-cylinder, double-injection engine on the 36-1 wheel of
// the configuration): its maps, trims, corrections and the other pages' values, written as a tuner would
// set them up, so that every page shows plausible numbers and every map a shape.
#pragma once

#include <cstdint>
#include <span>

namespace ecusim {

// Writes the calibration into a mapping image (link byte order), leaving its prefix and header alone;
// slot 1 or 2 (the second a little richer and more advanced, so that the two can be told apart).
void CalibrateMapping(std::span<std::uint8_t> image, int slot);
// One of the CO-correction edit maps (a bare map area): map 0 (A) or 1 (B).
void CalibrateCoCorrection(std::span<std::uint8_t> area, int map);
// The sensor linearizations of the configuration image.
void CalibrateSensors(std::span<std::uint8_t> image);

} // namespace ecusim
