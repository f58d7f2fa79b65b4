#include "orvane/core/transfer.h"

#include "orvane/core/byteorder.h"
#include "orvane/core/com.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/maintimer.h"
#include "orvane/core/mainwin.h"
#include "orvane/core/utils.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

EcuParImage parImage;
EcuMapImage mapImage;

void ConvertParImage() {
    ConvertParImage(parImage);
}
void ConvertMapImage() {
    ConvertMapImage(mapImage);
}

namespace {

constexpr double kWriteReplyTimeLimit = 10.0; // seconds
constexpr std::size_t kMaxBlock = kMaxFrameData;

std::uint8_t* Raw(std::span<std::byte> bytes) {
    return reinterpret_cast<std::uint8_t*>(bytes.data());
}

void PutBE(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        at[i] = static_cast<std::uint8_t>(value);
}

std::uint32_t GetBE32(const std::uint8_t* at) {
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) | (std::uint32_t{at[2]} << 8) | at[3];
}

void ShowProgress(std::size_t done, std::size_t total) {
    SetProgressBar(static_cast<unsigned>(done), static_cast<unsigned>(total));
}

// Reads the whole area into dst, in blocks of at most 255 bytes, each with one single read.
bool ReadArea(std::uint16_t area, std::span<std::byte> dst) {
    const std::size_t total = dst.size();
    for (std::size_t offset = 0; offset < total;) {
        ShowProgress(offset, total);
        const auto count = static_cast<std::uint8_t>(std::min(kMaxBlock, total - offset));
        std::array<std::uint8_t, 7> request{};
        PutBE(&request[0], static_cast<std::uint32_t>(offset), 4);
        PutBE(&request[4], area, 2);
        request[6] = count;
        if (!TxCommand(CMD_READ_BLOCK, request.data(), request.size())) return false;
        std::uint8_t len = 0;
        if (RxResponse(CMD_READ_BLOCK, Raw(dst.subspan(offset)), count, &len) != 0 || len != count)
            return false;
        offset += count;
    }
    return true;
}

// Announces a write of total bytes to the area; any reply is taken.
bool WriteBegin(std::uint16_t area, std::size_t total) {
    std::array<std::uint8_t, 6> request{};
    PutBE(&request[0], static_cast<std::uint32_t>(total), 4);
    PutBE(&request[4], area, 2);
    if (!TxCommand(CMD_WRITE_BEGIN, request.data(), request.size())) return false;
    std::array<std::uint8_t, kMaxFrameData> reply{};
    std::uint8_t len = 0;
    return PollResponse(CMD_WRITE_BEGIN, reply.data(), kMaxFrameData, &len, kWriteReplyTimeLimit) == 0;
}

// Sends src block by block after WriteBegin. Each acknowledgement gives the bytes accepted so far:
// fewer than sent makes the blocks go again from there, more fails. An ECU that keeps acknowledging
// without accepting anything new is given up on after kMaxWriteStalls such replies in a row.
bool WriteBlocks(std::span<const std::byte> src) {
    const std::size_t total = src.size();
    std::array<std::uint8_t, 4> reply{};
    std::size_t accepted = 0;
    int stalls = 0;
    for (std::size_t offset = 0; offset < total;) {
        ShowProgress(offset, total);
        const auto n = static_cast<std::uint8_t>(std::min(kMaxBlock, total - offset));
        if (!TxCommand(CMD_WRITE_BLOCK, reinterpret_cast<const std::uint8_t*>(src.data()) + offset, n))
            return false;
        offset += n;
        std::uint8_t len = 0;
        if (PollResponse(CMD_WRITE_BLOCK, reply.data(), kWriteAckSize, &len, kWriteReplyTimeLimit) != 0 ||
            len != kWriteAckSize)
            return false;
        const std::size_t ack = GetBE32(reply.data());
        if (ack > offset) return false;
        if (ack > accepted) {
            accepted = ack;
            stalls = 0;
        } else if (++stalls >= kMaxWriteStalls) {
            return false;
        }
        offset = ack;
    }
    return true;
}

// The form of each whole data set on the link.
template <class Data> struct DataSet {
    EcuImage<Data>& image;
    Data& data;
    std::uint8_t nameKind; // of GetConfigName / ShowConfigName
    const char* receiveTitle;
    void (*convert)(EcuImage<Data>&);
};

DataSet<EcuParData> ParSet() {
    return {parImage, ecuParData, 1, "Receive ECU configuration data", &ConvertParImage};
}
DataSet<EcuMapData> MapSet() {
    return {mapImage, ecuMapData, 2, "Receive ECU mapping data", &ConvertMapImage};
}

template <class Data> bool SendDataSet(const DataSet<Data>& set, std::uint16_t area) {
    EcuImage<Data>& image = set.image;
    image.data = set.data;
    std::array<char, kEcuNameSize> name{};
    GetConfigName(name.data(), name.size(), set.nameKind);
    std::memset(image.prefix.name, 0, sizeof image.prefix.name);
    std::memcpy(image.prefix.name, name.data(), strnlen(name.data(), kEcuNameSize - 1));
    MakeDataHeader(image.data.header);
    image.data.endMarker = kEndMarker;
    image.prefix.length = sizeof image - 8;
    set.convert(image);
    const std::span<std::byte> bytes = BytesOf(image);
    const std::uint16_t checksum = GetChecksum(bytes.subspan(8));
    PutBE(reinterpret_cast<std::uint8_t*>(&image.prefix.checksum), checksum, 2);
    if (!WriteBegin(area, bytes.size()) || !WriteBlocks(bytes)) return false;
    ShowProgress(bytes.size(), bytes.size());
    return true;
}

// Reads into the transfer image; only a data set that passes every check reaches the image in memory
// and the shown name.
template <class Data> bool ReceiveDataSet(const DataSet<Data>& set, std::uint16_t area) {
    EcuImage<Data>& image = set.image;
    const std::span<std::byte> bytes = BytesOf(image);
    if (!ReadArea(area, bytes)) return false;
    const std::uint16_t checksum = GetChecksum(bytes.subspan(8));
    switch (CheckDataHeader(image.data.header)) {
    case -1:
        HeaderMessagePopup(set.receiveTitle, szForeignData);
        return false;
    case -2: {
        const std::string text = "Invalid data!\nData stored by (" + DataHeaderText(image.data.header) + ").";
        HeaderMessagePopup(set.receiveTitle, text.c_str());
        return false;
    }
    default:
        break;
    }
    set.convert(image);
    if (image.prefix.length != sizeof image - 8) return false;
    if (image.data.endMarker != kEndMarker) return false;
    if (image.prefix.checksum != checksum) return false;
    std::array<char, kEcuNameSize> name{};
    std::memcpy(name.data(), image.prefix.name, kEcuNameSize - 1);
    ShowConfigName(name.data(), set.nameKind);
    set.data = image.data;
    ShowProgress(bytes.size(), bytes.size());
    return true;
}

// Bare blocks: which -> area and block size.
struct BlockArea {
    std::uint8_t which;
    std::uint16_t area;
    std::size_t size;
    bool writable;
};
constexpr BlockArea kBlockAreas[] = {
    {1, AREA_MAP1_BLOCK, sizeof(Map4x20x32), false},
    {2, AREA_MAP2_BLOCK, sizeof(Map4x20x32), false},
    {3, AREA_MAP3_BLOCK, sizeof(Map20x32), false},
    {18, AREA_TUNING_4X_BLOCK, sizeof(Map4x20x32), false},
    {19, AREA_TUNING_1X_BLOCK, sizeof(Map20x32), false},
    {30, AREA_COC_MAP_A, sizeof(ExtMiniMap), true},
    {31, AREA_COC_MAP_B, sizeof(ExtMiniMap), true},
};

const BlockArea* FindBlockArea(std::uint8_t which, std::size_t size) {
    for (const BlockArea& a : kBlockAreas)
        if (a.which == which && a.size == size) return &a;
    return nullptr;
}

// Every bare block shape is made of 16-bit words only.
bool RequestBlock(std::uint8_t which, std::span<std::byte> block) {
    const BlockArea* a = FindBlockArea(which, block.size());
    if (a == nullptr || !ReadArea(a->area, block)) return false;
    SwapWords(block);
    ShowProgress(block.size(), block.size());
    return true;
}

} // namespace

bool SendEcu(std::uint16_t kind) {
    if (kind == AREA_MAP_SLOT1 || kind == AREA_MAP_SLOT2) return SendDataSet(MapSet(), kind);
    return SendDataSet(ParSet(), AREA_PAR);
}

bool RequestEcu(std::uint16_t kind) {
    if (kind == AREA_PAR) return ReceiveDataSet(ParSet(), kind);
    if (kind == AREA_MAP_SLOT1 || kind == AREA_MAP_SLOT2 || kind == AREA_MAP_TUNING)
        return ReceiveDataSet(MapSet(), kind);
    return false;
}

bool RequestEcuMap(std::uint8_t which, Map4x20x32& block) {
    return RequestBlock(which, BytesOf(block));
}
bool RequestEcuMap(std::uint8_t which, Map20x32& block) {
    return RequestBlock(which, BytesOf(block));
}
bool RequestEcuMap(std::uint8_t which, ExtMiniMap& block) {
    return RequestBlock(which, BytesOf(block));
}

bool SendEcuMap(std::uint8_t which, ExtMiniMap& block) {
    const BlockArea* a = FindBlockArea(which, sizeof block);
    if (a == nullptr || !a->writable) return false;
    // The block goes to link order only once the ECU has taken the begin command.
    const std::span<std::byte> bytes = BytesOf(block);
    if (!WriteBegin(a->area, bytes.size())) return false;
    SwitchExtMiniMapEndianness(block);
    if (!WriteBlocks(bytes)) return false;
    ShowProgress(bytes.size(), bytes.size());
    return true;
}
