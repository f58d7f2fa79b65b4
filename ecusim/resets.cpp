// Resets of the corrections the ECU learns while the engine runs. Both answer with an empty frame.
#include "ecusim/commands.h"

namespace ecusim {

// Request: one byte, 1 or 2: the CO correction of map A or B. Reply: empty.
Reply ResetCoCorrection(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 1 || request[0] < 1 || request[0] > model.cocCorrection.size()) return std::nullopt;
    model.cocCorrection[request[0] - 1u] = 0;
    return std::vector<std::uint8_t>{};
}

// Request: nothing. Reply: empty.
Reply ResetStepCorrection(EcuModel& model, std::span<const std::uint8_t> request) {
    if (!request.empty()) return std::nullopt;
    model.stepCorrection = 0;
    return std::vector<std::uint8_t>{};
}

} // namespace ecusim
