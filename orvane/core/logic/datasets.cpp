#include "orvane/core/logic/datasets.h"

#include "orvane/core/logic/byteorder.h"
#include "orvane/core/logic/dataheader.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/logic/utils.h"

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

// The length, the checksum and the reserved word: neither the length nor the checksum covers them.
constexpr std::size_t kUncounted = 8;

// A data set on the link: its transfer image, the image in memory, and its byte order.
template <class Data> struct DataSet {
    EcuImage<Data>& image;
    Data& data;
    void (*convert)(EcuImage<Data>&);
};

DataSet<EcuParData> ParSet() {
    return {parImage, ecuParData, &ConvertParImage};
}
DataSet<EcuMapData> MapSet() {
    return {mapImage, ecuMapData, &ConvertMapImage};
}

// The checksum goes into the prefix in link order (big-endian).
void PutLinkChecksum(EcuImagePrefix& prefix, std::uint16_t checksum) {
    auto* at = reinterpret_cast<std::uint8_t*>(&prefix.checksum);
    at[0] = static_cast<std::uint8_t>(checksum >> 8);
    at[1] = static_cast<std::uint8_t>(checksum);
}

template <class Data>
TransferOutcome Send(const DataSet<Data>& set, std::uint16_t area, const char* name, ProgressFn progress) {
    EcuImage<Data>& image = set.image;
    image.data = set.data;
    std::memset(image.prefix.name, 0, sizeof image.prefix.name);
    std::memcpy(image.prefix.name, name, strnlen(name, kEcuNameSize - 1));
    MakeDataHeader(image.data.header);
    image.data.endMarker = kEndMarker;
    image.prefix.length = sizeof image - kUncounted;
    set.convert(image);
    const std::span<std::byte> bytes = BytesOf(image);
    PutLinkChecksum(image.prefix, GetChecksum(bytes.subspan(kUncounted)));
    if (!WriteBegin(area, bytes.size())) return TransferOutcome::LinkFailed;
    const TransferOutcome written = WriteBlocks(bytes, progress);
    if (written != TransferOutcome::Done) return written;
    progress(static_cast<unsigned>(bytes.size()), static_cast<unsigned>(bytes.size()));
    return TransferOutcome::Done;
}

// Reads into the transfer image; only a data set that passes every check reaches the image in memory.
template <class Data>
DataSetReceipt Receive(const DataSet<Data>& set, std::uint16_t area, ProgressFn progress) {
    DataSetReceipt receipt{};
    EcuImage<Data>& image = set.image;
    const std::span<std::byte> bytes = BytesOf(image);
    receipt.outcome = ReadArea(area, bytes, progress);
    if (receipt.outcome != TransferOutcome::Done) return receipt;
    const std::uint16_t checksum = GetChecksum(bytes.subspan(kUncounted));
    receipt.header = image.data.header;
    switch (CheckDataHeader(image.data.header)) {
    case -1:
        receipt.outcome = TransferOutcome::ForeignData;
        return receipt;
    case -2:
        receipt.outcome = TransferOutcome::OtherVersion;
        return receipt;
    default:
        break;
    }
    set.convert(image);
    if (image.prefix.length != sizeof image - kUncounted || image.data.endMarker != kEndMarker ||
        image.prefix.checksum != checksum) {
        receipt.outcome = TransferOutcome::Damaged;
        return receipt;
    }
    std::memcpy(receipt.name.data(), image.prefix.name, kEcuNameSize - 1);
    set.data = image.data;
    progress(static_cast<unsigned>(bytes.size()), static_cast<unsigned>(bytes.size()));
    return receipt;
}

} // namespace

TransferOutcome SendDataSet(std::uint16_t kind, const char* name, ProgressFn progress) {
    if (IsMappingSlot(kind)) return Send(MapSet(), kind, name, progress);
    return Send(ParSet(), AREA_PAR, name, progress);
}

DataSetReceipt ReceiveDataSet(std::uint16_t kind, ProgressFn progress) {
    if (kind == AREA_PAR) return Receive(ParSet(), kind, progress);
    if (IsMappingSlot(kind) || kind == AREA_MAP_TUNING) return Receive(MapSet(), kind, progress);
    return {TransferOutcome::NoSuchArea, {}, {}};
}
