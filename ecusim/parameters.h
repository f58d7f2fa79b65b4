// The parameter pages' values of the simulated engine's mapping data set.
#pragma once

#include "ecusim/imagewriter.h"

namespace ecusim {

// Writes them into a mapping image; slot 1 or 2.
void FillParameters(const ImageWriter& w, int slot);
// One CO-correction map (ExtMiniMap) at offset: near neutral over speed and throttle; map 0 (A) or 1 (B).
void FillCoCorrectionMap(const ImageWriter& w, std::size_t offset, int map);

} // namespace ecusim
