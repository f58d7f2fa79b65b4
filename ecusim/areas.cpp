// The data areas: whole data sets (EcuImage) and bare map blocks, read with command 0x08 and written with
// 0x04 (begin) and 0x05 (blocks, each acknowledged with the count accepted so far).
#include "ecusim/commands.h"
#include "orvane/core/logic/ecucmds.h"

#include <algorithm>

namespace ecusim {

namespace {

constexpr std::size_t kDataStart = kPrefixSize; // the data image starts after the EcuImage prefix

// The areas of the map set under tuning follow the mapping slot under tuning.
constexpr Store kTuned = Store::Count;

struct Area {
    std::uint16_t number;
    Store store;        // kTuned: the slot under tuning
    std::size_t offset; // in the store
    std::size_t size;
    bool writable;
    bool isImage; // a whole EcuImage, checked before it is adopted
};

constexpr Area kAreas[] = {
    {AREA_PAR, Store::Par, 0, kParImageSize, true, true},
    {AREA_MAP_SLOT1, Store::Slot1, 0, kMapImageSize, true, true},
    {AREA_MAP_SLOT2, Store::Slot2, 0, kMapImageSize, true, true},
    {AREA_MAP_TUNING, kTuned, 0, kMapImageSize, false, true},
    {AREA_MAP1_BLOCK, Store::Slot1, kDataStart + kMap1Offset, kMap4Size, false, false},
    {AREA_MAP2_BLOCK, Store::Slot1, kDataStart + kMap2Offset, kMap4Size, false, false},
    {AREA_MAP3_BLOCK, Store::Slot1, kDataStart + kMap3Offset, kMapSize, false, false},
    {AREA_TUNING_4X_BLOCK, kTuned, kDataStart + kMap1Offset, kMap4Size, false, false},
    {AREA_TUNING_1X_BLOCK, kTuned, kDataStart + kMap3Offset, kMapSize, false, false},
    {AREA_COC_MAP_A, Store::CocA, 0, kExtMiniMapSize, true, false},
    {AREA_COC_MAP_B, Store::CocB, 0, kExtMiniMapSize, true, false},
};

// Every few blocks a short-acknowledging ECU takes only half of what it was sent.
constexpr unsigned kShortAckEvery = 5;

const Area* FindArea(std::uint16_t number) {
    const auto* it =
        std::find_if(std::begin(kAreas), std::end(kAreas), [&](const Area& a) { return a.number == number; });
    return it != std::end(kAreas) ? it : nullptr;
}

std::vector<std::uint8_t> Acknowledge(std::size_t accepted) {
    std::vector<std::uint8_t> reply(4);
    PutBE32(reply.data(), static_cast<std::uint32_t>(accepted));
    return reply;
}

} // namespace

std::span<std::uint8_t> AreaBytes(EcuModel& model, std::uint16_t number) {
    const Area* area = FindArea(number);
    if (area == nullptr) return {};
    // The four-matrix map under tuning is the one by manifold pressure while the tuning says so.
    const std::size_t offset =
        number == AREA_TUNING_4X_BLOCK && (model.tune.flags & 0x01) ? kDataStart + kMap2Offset : area->offset;
    return std::span(model.StoreBytes(area->store == kTuned ? model.tuningSlot : area->store))
        .subspan(offset, area->size);
}

// Request: u32 total bytes, u16 area. Only a writable area written whole opens a write.
Reply WriteBegin(EcuModel& model, std::span<const std::uint8_t> request) {
    model.write.reset();
    if (request.size() != 6) return std::nullopt;
    const Area* area = FindArea(GetBE16(request.data() + 4));
    if (area == nullptr || !area->writable || GetBE32(request.data()) != area->size) return std::nullopt;
    model.write = PendingWrite{area->number, std::vector<std::uint8_t>(area->size), 0};
    return std::vector<std::uint8_t>{};
}

// Request: the next bytes of the area. Reply: u32 bytes of the area accepted so far. A whole data set is
// adopted only when its length field, end marker and checksum agree; otherwise the last block goes
// unanswered and the stored data set stays as it was.
Reply WriteBlock(EcuModel& model, std::span<const std::uint8_t> request) {
    if (!model.write || request.empty()) return std::nullopt;
    PendingWrite& write = *model.write;
    std::size_t take = std::min(request.size(), write.data.size() - write.accepted);
    if (model.shortAcks && ++model.blocksSeen % kShortAckEvery == 0) take /= 2;
    std::copy_n(request.begin(), take, write.data.begin() + static_cast<std::ptrdiff_t>(write.accepted));
    write.accepted += take;
    const std::size_t accepted = write.accepted;
    if (accepted < write.data.size()) return Acknowledge(accepted);

    const Area& area = *FindArea(write.area);
    const std::vector<std::uint8_t> data = std::move(write.data);
    model.write.reset();
    if (area.isImage && !IsImageSound(data)) return std::nullopt;
    std::ranges::copy(data, AreaBytes(model, area.number).begin());
    if (area.isImage) DescribeEngine(model); // the value blocks report the engine as the data sets have it
    return Acknowledge(accepted);
}

// Request: u32 offset, u16 area, u8 count. Reply: count bytes of the area from offset.
Reply ReadBlock(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 7) return std::nullopt;
    const std::span<const std::uint8_t> bytes = AreaBytes(model, GetBE16(request.data() + 4));
    const std::size_t offset = GetBE32(request.data());
    const std::size_t count = request[6];
    if (bytes.empty() || offset > bytes.size() || count > bytes.size() - offset) return std::nullopt;
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    return std::vector<std::uint8_t>(first, first + static_cast<std::ptrdiff_t>(count));
}

} // namespace ecusim
