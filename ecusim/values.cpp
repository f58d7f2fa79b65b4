// Value blocks addressed by four selector bytes: command 0x1F reads an information block, command 0x1E
// writes one row of a map under tuning.
#include "ecusim/commands.h"
#include "orvane/core/logic/ecucmds.h"

#include <algorithm>

namespace ecusim {

namespace {

using Selector = std::array<std::uint8_t, 4>;

struct InfoBlock {
    Selector selector;
    std::span<std::uint8_t> (*bytes)(EcuModel& model);
};

constexpr InfoBlock kInfoBlocks[] = {
    {{VALUES_INFO, INFO_ENGINE, 0, 0}, [](EcuModel& m) { return std::span<std::uint8_t>(m.engInfo); }},
    {{VALUES_INFO, INFO_WHEEL, 0, 0}, [](EcuModel& m) { return std::span<std::uint8_t>(m.twaInfo); }},
    {{VALUES_INFO, INFO_MISC, 0, 0}, [](EcuModel& m) { return std::span<std::uint8_t>(m.miscInfo); }},
    {{VALUES_INFO, INFO_COC_EDIT, 0, 0}, [](EcuModel& m) { return std::span<std::uint8_t>(m.cocEditInfo); }},
};

constexpr std::size_t kRowBytes = 64; // a row of 32 cells of a map under tuning

Selector SelectorOf(std::span<const std::uint8_t> request) {
    return {request[0], request[1], request[2], request[3]};
}

} // namespace

// Request: selector. Reply: the selector echoed, then the block.
Reply GetValues(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 4) return std::nullopt;
    const Selector selector = SelectorOf(request);
    const auto* block = std::ranges::find(kInfoBlocks, selector, &InfoBlock::selector);
    if (block == std::end(kInfoBlocks)) return std::nullopt;
    std::vector<std::uint8_t> reply(selector.begin(), selector.end());
    const std::span<std::uint8_t> bytes = block->bytes(model);
    reply.insert(reply.end(), bytes.begin(), bytes.end());
    return reply;
}

// Request: selector, then one row of a map under tuning. Reply: the selector echoed.
Reply SetValues(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 4 + kRowBytes || request[0] != VALUES_TUNING_ROW) return std::nullopt;
    const Selector selector = SelectorOf(request);
    if (!WriteTunedRow(model, selector[1], selector[2], selector[3], request.subspan(4))) return std::nullopt;
    return std::vector<std::uint8_t>(selector.begin(), selector.end());
}

} // namespace ecusim
