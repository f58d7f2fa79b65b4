#include "orvane/core/logic/blocks.h"

#include "orvane/core/logic/byteorder.h"
#include "orvane/core/logic/com.h"

#include <algorithm>
#include <array>

namespace {

constexpr double kWriteReplyTimeLimit = 10.0; // seconds
constexpr std::size_t kMaxBlock = kMaxFrameData;

void PutBE(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        at[i] = static_cast<std::uint8_t>(value);
}

std::uint32_t GetBE32(const std::uint8_t* at) {
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) | (std::uint32_t{at[2]} << 8) | at[3];
}

void Report(ProgressFn progress, std::size_t done, std::size_t total) {
    progress(static_cast<unsigned>(done), static_cast<unsigned>(total));
}

// Bare blocks: which -> area and block size.
struct BlockArea {
    std::uint8_t which;
    std::uint16_t area;
    std::size_t size;
    bool writable;
};
constexpr BlockArea kBlockAreas[] = {
    {MAP_BLOCK_1, AREA_MAP1_BLOCK, sizeof(Map4x20x32), false},
    {MAP_BLOCK_2, AREA_MAP2_BLOCK, sizeof(Map4x20x32), false},
    {MAP_BLOCK_3, AREA_MAP3_BLOCK, sizeof(Map20x32), false},
    {MAP_BLOCK_TUNING_4X, AREA_TUNING_4X_BLOCK, sizeof(Map4x20x32), false},
    {MAP_BLOCK_TUNING_1X, AREA_TUNING_1X_BLOCK, sizeof(Map20x32), false},
    {MAP_BLOCK_COC_A, AREA_COC_MAP_A, sizeof(ExtMiniMap), true},
    {MAP_BLOCK_COC_B, AREA_COC_MAP_B, sizeof(ExtMiniMap), true},
};

const BlockArea* FindBlockArea(std::uint8_t which, std::size_t size) {
    for (const BlockArea& a : kBlockAreas)
        if (a.which == which && a.size == size) return &a;
    return nullptr;
}

// Every bare block shape is made of 16-bit words only.
TransferOutcome ReadBlock(std::uint8_t which, std::span<std::byte> block, ProgressFn progress) {
    const BlockArea* a = FindBlockArea(which, block.size());
    if (a == nullptr) return TransferOutcome::NoSuchArea;
    const TransferOutcome read = ReadArea(a->area, block, progress);
    if (read != TransferOutcome::Done) return read;
    SwapWords(block);
    Report(progress, block.size(), block.size());
    return TransferOutcome::Done;
}

} // namespace

TransferOutcome ReadArea(std::uint16_t area, std::span<std::byte> dst, ProgressFn progress) {
    const std::size_t total = dst.size();
    for (std::size_t offset = 0; offset < total;) {
        Report(progress, offset, total);
        const auto count = static_cast<std::uint8_t>(std::min(kMaxBlock, total - offset));
        std::array<std::uint8_t, 7> request{};
        PutBE(&request[0], static_cast<std::uint32_t>(offset), 4);
        PutBE(&request[4], area, 2);
        request[6] = count;
        if (!TxCommand(CMD_READ_BLOCK, request.data(), request.size())) return TransferOutcome::LinkFailed;
        const std::span<std::byte> block = dst.subspan(offset, count);
        std::uint8_t len = 0;
        if (RxResponse(CMD_READ_BLOCK, reinterpret_cast<std::uint8_t*>(block.data()), count, &len) != 0 ||
            len != count)
            return TransferOutcome::LinkFailed;
        offset += count;
    }
    return TransferOutcome::Done;
}

bool WriteBegin(std::uint16_t area, std::size_t total) {
    std::array<std::uint8_t, 6> request{};
    PutBE(&request[0], static_cast<std::uint32_t>(total), 4);
    PutBE(&request[4], area, 2);
    if (!TxCommand(CMD_WRITE_BEGIN, request.data(), request.size())) return false;
    std::array<std::uint8_t, kMaxFrameData> reply{};
    std::uint8_t len = 0;
    return PollResponse(CMD_WRITE_BEGIN, reply.data(), kMaxFrameData, &len, kWriteReplyTimeLimit) == 0;
}

TransferOutcome WriteBlocks(std::span<const std::byte> src, ProgressFn progress) {
    const std::size_t total = src.size();
    std::array<std::uint8_t, 4> reply{};
    std::size_t accepted = 0;
    int stalls = 0;
    for (std::size_t offset = 0; offset < total;) {
        Report(progress, offset, total);
        const auto n = static_cast<std::uint8_t>(std::min(kMaxBlock, total - offset));
        const std::span<const std::byte> block = src.subspan(offset, n);
        if (!TxCommand(CMD_WRITE_BLOCK, reinterpret_cast<const std::uint8_t*>(block.data()), n))
            return TransferOutcome::LinkFailed;
        offset += n;
        std::uint8_t len = 0;
        if (PollResponse(CMD_WRITE_BLOCK, reply.data(), kWriteAckSize, &len, kWriteReplyTimeLimit) != 0 ||
            len != kWriteAckSize)
            return TransferOutcome::LinkFailed;
        const std::size_t ack = GetBE32(reply.data());
        if (ack > offset) return TransferOutcome::LinkFailed;
        if (ack > accepted) {
            accepted = ack;
            stalls = 0;
        } else if (++stalls >= kMaxWriteStalls) {
            return TransferOutcome::LinkFailed;
        }
        offset = ack;
    }
    return TransferOutcome::Done;
}

TransferOutcome ReadMapBlock(std::uint8_t which, Map4x20x32& block, ProgressFn progress) {
    return ReadBlock(which, BytesOf(block), progress);
}
TransferOutcome ReadMapBlock(std::uint8_t which, Map20x32& block, ProgressFn progress) {
    return ReadBlock(which, BytesOf(block), progress);
}
TransferOutcome ReadMapBlock(std::uint8_t which, ExtMiniMap& block, ProgressFn progress) {
    return ReadBlock(which, BytesOf(block), progress);
}

TransferOutcome WriteMapBlock(std::uint8_t which, ExtMiniMap& block, ProgressFn progress) {
    const BlockArea* a = FindBlockArea(which, sizeof block);
    if (a == nullptr || !a->writable) return TransferOutcome::NoSuchArea;
    // The block goes to link order only once the ECU has taken the begin command.
    const std::span<std::byte> bytes = BytesOf(block);
    if (!WriteBegin(a->area, bytes.size())) return TransferOutcome::LinkFailed;
    SwitchExtMiniMapEndianness(block);
    const TransferOutcome written = WriteBlocks(bytes, progress);
    if (written != TransferOutcome::Done) return written;
    Report(progress, bytes.size(), bytes.size());
    return TransferOutcome::Done;
}
