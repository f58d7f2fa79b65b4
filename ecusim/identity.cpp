// Who the ECU is: its version text, the Ping that reports protocol, firmware, variant and state (and
// carries the login keys), and the names of the data sets it holds.
#include "ecusim/commands.h"

#include <cstring>

namespace ecusim {

namespace {

constexpr std::uint16_t kProtocolVersion = 0x010D;
constexpr char kFirmwareName[] = "T484";
constexpr std::size_t kFirmwareNameSize = 8;

std::vector<std::uint8_t> TextReply(const std::string& text) {
    return {text.begin(),
            text.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(text.size(), 255))};
}

} // namespace

Reply ReadVersion(EcuModel& model, std::span<const std::uint8_t>) {
    return TextReply(model.versionText);
}

Reply Ping(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != kKeysSize) return std::nullopt;
    if (IsProtected(model) && KeysMatch(model, request)) model.unlocked = true;
    std::vector<std::uint8_t> reply(12);
    PutBE16(reply.data(), kProtocolVersion);
    std::memcpy(reply.data() + 2, kFirmwareName, std::min(sizeof kFirmwareName - 1, kFirmwareNameSize));
    reply[10] = model.variant;
    reply[11] = static_cast<std::uint8_t>((IsProtected(model) ? 0x80 : 0) | (model.tuning ? 0x40 : 0) |
                                          (model.tuning && model.tuningAuto ? 0x20 : 0));
    return reply;
}

Reply ReadDataName(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 1) return std::nullopt;
    switch (request[0]) {
    case 0:
        return TextReply(ImageName(model.StoreBytes(Store::Par)));
    case 1:
        return TextReply(ImageName(model.StoreBytes(Store::Slot1)));
    case 2:
        return TextReply(ImageName(model.StoreBytes(Store::Slot2)));
    case 8:
        return TextReply(ImageName(model.StoreBytes(model.tuningSlot)));
    default:
        return std::nullopt;
    }
}

} // namespace ecusim
