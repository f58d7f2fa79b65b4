// Value blocks addressed by four selector bytes: command 0x1F reads an information block, command 0x1E
// writes one row of a map under tuning.
#include "ecusim/commands.h"

#include <algorithm>

namespace ecusim {

namespace {

using Selector = std::array<std::uint8_t, 4>;

struct InfoBlock {
    Selector selector;
    std::span<std::uint8_t> (*bytes)(EcuModel& model);
};

constexpr InfoBlock kInfoBlocks[] = {
    {{7, 1, 0, 0}, [](EcuModel& m) { return std::span<std::uint8_t>(m.engInfo); }},
    {{7, 2, 0, 0}, [](EcuModel& m) { return std::span<std::uint8_t>(m.twaInfo); }},
    {{7, 3, 0, 0}, [](EcuModel& m) { return std::span<std::uint8_t>(m.miscInfo); }},
    {{7, 4, 0, 0}, [](EcuModel& m) { return std::span<std::uint8_t>(m.cocEditInfo); }},
};

// A row of 32 cells (64 bytes, big-endian as the ECU keeps them) of a map under tuning.
constexpr std::size_t kRowBytes = 64;
constexpr std::uint8_t kMapRows = 20;
constexpr std::uint8_t kMatrices = 4;
constexpr std::size_t kMatrixBytes = kMapRows * kRowBytes;

Selector SelectorOf(std::span<const std::uint8_t> request) {
    return {request[0], request[1], request[2], request[3]};
}

// Offset of the row in the mapping image under tuning: 3,7,row,m is matrix m of the four-matrix map,
// 3,8,row,0 the single-matrix map. Zero for any other selector.
std::size_t TunedRowOffset(const Selector& s) {
    if (s[0] != 3 || s[2] >= kMapRows) return 0;
    if (s[1] == 7 && s[3] < kMatrices)
        return kPrefixSize + kMap1Offset + s[3] * kMatrixBytes + s[2] * kRowBytes;
    if (s[1] == 8 && s[3] == 0) return kPrefixSize + kMap3Offset + s[2] * kRowBytes;
    return 0;
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

// Request: selector, then one row. Reply: the selector echoed. The image under tuning stays a sound data
// set: its checksum follows the change.
Reply SetValues(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 4 + kRowBytes) return std::nullopt;
    const Selector selector = SelectorOf(request);
    const std::size_t offset = TunedRowOffset(selector);
    if (offset == 0) return std::nullopt;
    std::vector<std::uint8_t>& image = model.StoreBytes(model.tuningSlot);
    std::copy(request.begin() + 4, request.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    SealImage(image);
    return std::vector<std::uint8_t>(selector.begin(), selector.end());
}

} // namespace ecusim
