#include "ecusim/bootloader.h"

#include "ecusim/model.h"

#include <algorithm>
#include <iterator>

namespace ecusim {

namespace {

std::vector<std::uint8_t> Text(const std::string& text) {
    return {text.begin(),
            text.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(text.size(), 255))};
}

std::vector<std::uint8_t> Words(std::initializer_list<std::uint16_t> words) {
    std::vector<std::uint8_t> out(words.size() * 2);
    std::size_t at = 0;
    for (std::uint16_t w : words) {
        PutBE16(out.data() + at, w);
        at += 2;
    }
    return out;
}

bool HasArea(const BootLoader& boot, std::uint8_t area) {
    if (boot.sysType == kBootType5600) return area <= 7;
    return (area >= 2 && area <= 12) || area == 14 || area == 15;
}

// The areas the application lives in: all of them must be erased before an image is written.
std::uint32_t ApplicationAreas(const BootLoader& boot) {
    return boot.sysType == kBootType5600 ? 0xFEu : 1u << 14;
}

Reply BootPing(BootLoader& boot, std::span<const std::uint8_t> request) {
    static constexpr std::uint8_t kNewForm[] = {0x00, 0x01};
    const bool answered = boot.oldPing ? request.empty() : std::ranges::equal(request, kNewForm);
    return answered ? Reply{std::vector<std::uint8_t>{}} : std::nullopt;
}

Reply GetInfo(BootLoader& boot, std::span<const std::uint8_t> request) {
    if (request.size() != 1) return std::nullopt;
    switch (request[0]) {
    case 1:
        return Words({boot.sysType});
    case 2:
        return Words({boot.major, boot.minor});
    case 3:
        return Text(boot.name);
    default:
        return std::nullopt;
    }
}

Reply GetAppInfo(BootLoader& boot, std::span<const std::uint8_t> request) {
    if (request.size() != 1) return std::nullopt;
    if (!boot.app) return request[0] == 2 ? Reply{std::vector<std::uint8_t>{}} : std::nullopt;
    const AppInfo& app = *boot.app;
    switch (request[0]) {
    case 1: {
        std::vector<std::uint8_t> reply = Words({app.major, app.minor});
        const std::vector<std::uint8_t> suffix = Text(app.suffix);
        reply.insert(reply.end(), suffix.begin(),
                     suffix.begin() + std::min<std::ptrdiff_t>(std::ssize(suffix), 251));
        return reply;
    }
    case 2:
        return Text(app.name);
    case 3:
        return Text(app.info1);
    case 4:
        return Text(app.info2);
    default:
        return std::nullopt;
    }
}

Reply GetCustomerId(BootLoader& boot, std::span<const std::uint8_t> request) {
    if (!request.empty()) return std::nullopt;
    return Words({boot.customerId});
}

// Erasing any area of the application leaves no application, and starts a new write.
Reply Erase(BootLoader& boot, std::span<const std::uint8_t> request) {
    if (request.size() != 1 || !HasArea(boot, request[0])) return std::nullopt;
    boot.erased |= 1u << request[0];
    if ((ApplicationAreas(boot) & (1u << request[0])) != 0) boot.app.reset();
    boot.received.clear();
    boot.nextBlock = 0;
    return std::vector<std::uint8_t>{};
}

// The end block (its number alone) installs the image when it is whole and made for this system type: the
// application of its header, or without a header the application the ECU ran before.
Reply Finish(BootLoader& boot) {
    if (boot.received.size() <= kFirmwareTagSize || TagSystemType(boot.received) != boot.sysType)
        return std::nullopt;
    boot.programmed = std::move(boot.received);
    boot.received.clear();
    boot.newApplication = ReadAppHeader(std::span(boot.programmed).subspan(kFirmwareTagSize));
    if (boot.newApplication) boot.running = *boot.newApplication;
    boot.app = boot.running;
    boot.erased = 0; // written flash must be erased again before the next image
    boot.nextBlock = 0;
    return std::vector<std::uint8_t>{};
}

Reply WriteBlock(BootLoader& boot, std::span<const std::uint8_t> request) {
    const std::uint32_t needed = ApplicationAreas(boot);
    if ((boot.erased & needed) != needed) return std::nullopt;
    if (request.size() < 2 || request.size() > 2 + kBootBlockData) return std::nullopt;
    if (GetBE16(request.data()) != boot.nextBlock) return std::nullopt;
    if (request.size() == 2) return Finish(boot);
    boot.received.insert(boot.received.end(), request.begin() + 2, request.end());
    ++boot.nextBlock;
    return std::vector<std::uint8_t>{};
}

constexpr BootCommand kBootCommands[] = {
    {1, "boot ping", BootPing}, {2, "boot info", GetInfo},      {3, "app info", GetAppInfo},
    {5, "erase", Erase},        {6, "flash block", WriteBlock}, {15, "customer id", GetCustomerId},
};

} // namespace

const BootCommand* FindBootCommand(std::uint8_t code) {
    const auto* it = std::ranges::find(kBootCommands, code, &BootCommand::code);
    return it != std::end(kBootCommands) ? it : nullptr;
}

} // namespace ecusim
