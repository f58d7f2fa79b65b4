#include "orvane/core/ui/transfer.h"

#include "orvane/core/logic/dataheader.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/ecudata.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"

#include <array>
#include <string>

namespace {

constexpr bool Done(TransferOutcome outcome) {
    return outcome == TransferOutcome::Done;
}

template <class Block> bool RequestBlock(std::uint8_t which, Block& block) {
    return Done(ReadMapBlock(which, block, &SetProgressBar));
}

} // namespace

bool SendEcu(std::uint16_t kind) {
    std::array<char, kEcuNameSize> name{};
    GetConfigName(name.data(), name.size(), IsMappingSlot(kind) ? kMapKind : kParKind);
    return Done(SendDataSet(kind, name.data(), &SetProgressBar));
}

bool RequestEcu(std::uint16_t kind) {
    const DataSetReceipt receipt = ReceiveDataSet(kind, &SetProgressBar);
    const bool configuration = kind == AREA_PAR;
    const char* title = configuration ? "Receive ECU configuration data" : "Receive ECU mapping data";
    switch (receipt.outcome) {
    case TransferOutcome::Done:
        ShowConfigName(receipt.name.data(), configuration ? kParKind : kMapKind);
        return true;
    case TransferOutcome::ForeignData:
        HeaderMessagePopup(title, szForeignData);
        return false;
    case TransferOutcome::OtherVersion: {
        const std::string text = "Invalid data!\nData stored by (" + DataHeaderText(receipt.header) + ").";
        HeaderMessagePopup(title, text.c_str());
        return false;
    }
    default:
        return false;
    }
}

bool RequestEcuMap(std::uint8_t which, Map4x20x32& block) {
    return RequestBlock(which, block);
}
bool RequestEcuMap(std::uint8_t which, Map20x32& block) {
    return RequestBlock(which, block);
}
bool RequestEcuMap(std::uint8_t which, ExtMiniMap& block) {
    return RequestBlock(which, block);
}

bool SendEcuMap(std::uint8_t which, ExtMiniMap& block) {
    return Done(WriteMapBlock(which, block, &SetProgressBar));
}
