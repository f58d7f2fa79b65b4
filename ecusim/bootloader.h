// The simulated ECU's boot loader, on the same link as the application (frames starting 0x6A): who it is,
// what application is installed, erasing its flash areas and writing an image in numbered blocks. It
// refuses (answers nothing to) what a boot loader would refuse: an area its system type does not have, a
// write before the application's areas were erased, a block out of sequence or too long, and an image
// that is not for its system type.
#pragma once

#include "ecusim/commands.h"
#include "ecusim/firmware.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ecusim {

inline constexpr std::uint16_t kBootType5600 = 0x5600;
inline constexpr std::uint16_t kBootType5534 = 0x5534;
inline constexpr std::size_t kBootBlockData = 253; // image bytes a block carries at most

struct BootLoader {
    std::uint16_t sysType = kBootType5600;
    bool oldPing = false; // answers only the bare ping; otherwise only the ping with 0x00 0x01
    std::string name = "ECUSIM BOOT";
    std::uint16_t major = 2;
    std::uint16_t minor = 4;
    std::uint16_t customerId = 0x0A1C;

    // The application the ECU runs: the one it came with, then that of each image written whole with an
    // application header. An image without one leaves it running, and installed as the boot loader reports.
    AppInfo running = FactoryApplication();
    std::optional<AppInfo> app = running; // the application installed; none once its flash is erased
    std::uint32_t erased = 0;             // one bit per area erased since the last image was written
    std::vector<std::uint8_t> received;   // the image written so far, tag included
    std::uint16_t nextBlock = 0;          // the number the next block must carry
    std::vector<std::uint8_t> programmed; // the last image written whole, tag included
    // The application of an image just written whole, from its header, until the ECU takes it over.
    std::optional<AppInfo> newApplication;
};

using BootHandler = Reply (*)(BootLoader& boot, std::span<const std::uint8_t> request);

struct BootCommand {
    std::uint8_t code;
    const char* name;
    BootHandler handle;
};

// The boot loader's command, or nullptr.
const BootCommand* FindBootCommand(std::uint8_t code);

} // namespace ecusim
