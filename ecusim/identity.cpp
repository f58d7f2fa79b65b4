// Who the ECU is: its version text, the Ping that reports protocol, firmware, variant and state (and
// carries the login keys), the names of the data sets it holds, and the application that takes over once
// the boot loader has written a new one.
#include "ecusim/commands.h"
#include "ecusim/firmware.h"
#include "orvane/core/logic/ecucmds.h"

#include <algorithm>
#include <string>

namespace ecusim {

namespace {

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
    PutBE16(reply.data(), model.protocolVersion);
    std::copy_n(model.firmwareName.begin(), std::min(model.firmwareName.size(), kFirmwareNameSize),
                reply.begin() + 2);
    reply[10] = model.variant;
    reply[11] = static_cast<std::uint8_t>((IsProtected(model) ? 0x80 : 0) | (model.tuning ? 0x40 : 0) |
                                          (model.tuning && model.tuningAuto ? 0x20 : 0));
    return reply;
}

Reply ReadDataName(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != 1) return std::nullopt;
    switch (request[0]) {
    case NAME_PAR:
        return TextReply(ImageName(model.StoreBytes(Store::Par)));
    case NAME_MAP_SLOT1:
        return TextReply(ImageName(model.StoreBytes(Store::Slot1)));
    case NAME_MAP_SLOT2:
        return TextReply(ImageName(model.StoreBytes(Store::Slot2)));
    case NAME_MAP_TUNING:
        return TextReply(ImageName(model.StoreBytes(model.tuningSlot)));
    default:
        return std::nullopt;
    }
}

// The application's name is the firmware name the Ping reports, and its version the protocol version.
void AdoptApplication(EcuModel& model, const AppInfo& app) {
    model.versionText =
        app.name + " v" + std::to_string(app.major) + "." + std::to_string(app.minor) + app.suffix;
    model.firmwareName = app.name;
    model.protocolVersion = static_cast<std::uint16_t>(app.major << 8 | (app.minor & 0xFF));
}

} // namespace ecusim
