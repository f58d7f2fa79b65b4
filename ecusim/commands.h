// The commands the simulated ECU answers, one file per command family. Every handler has the same shape:
// decode the request, act on the model, encode the reply. A request the ECU does not accept gets no
// reply at all (std::nullopt), as from a unit that ignores what it cannot parse.
#pragma once

#include "ecusim/model.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ecusim {

struct AppInfo;

using Reply = std::optional<std::vector<std::uint8_t>>;
using Handler = Reply (*)(EcuModel& model, std::span<const std::uint8_t> request);

struct Command {
    std::uint8_t code;
    const char* name;
    Handler handle;
};

// identity.cpp
Reply ReadVersion(EcuModel& model, std::span<const std::uint8_t> request);  // 0x01
Reply Ping(EcuModel& model, std::span<const std::uint8_t> request);         // 0x03
Reply ReadDataName(EcuModel& model, std::span<const std::uint8_t> request); // 0x0E
// password.cpp
Reply SetPassword(EcuModel& model, std::span<const std::uint8_t> request); // 0x02
// adc.cpp
Reply ReadAd(EcuModel& model, std::span<const std::uint8_t> request); // 0x07
// areas.cpp
Reply WriteBegin(EcuModel& model, std::span<const std::uint8_t> request); // 0x04
Reply WriteBlock(EcuModel& model, std::span<const std::uint8_t> request); // 0x05
Reply ReadBlock(EcuModel& model, std::span<const std::uint8_t> request);  // 0x08
// resets.cpp
Reply ResetCoCorrection(EcuModel& model, std::span<const std::uint8_t> request);   // 0x12
Reply ResetStepCorrection(EcuModel& model, std::span<const std::uint8_t> request); // 0x14
// tuning.cpp
Reply MapTuning(EcuModel& model, std::span<const std::uint8_t> request); // 0x09
// live.cpp
Reply ReadLiveData(EcuModel& model, std::span<const std::uint8_t> request); // 0x06
Reply TestOutput(EcuModel& model, std::span<const std::uint8_t> request);   // 0x0A
// diagnostics.cpp
Reply ReadDiagStatus(EcuModel& model, std::span<const std::uint8_t> request);    // 0x10
Reply ExchangeDiagParam(EcuModel& model, std::span<const std::uint8_t> request); // 0x11
Reply DiagPassword(EcuModel& model, std::span<const std::uint8_t> request);      // 0x13
// values.cpp
Reply SetValues(EcuModel& model, std::span<const std::uint8_t> request); // 0x1E
Reply GetValues(EcuModel& model, std::span<const std::uint8_t> request); // 0x1F

// identity.cpp: the ECU becomes the application the boot loader has written: its version text, firmware
// name and protocol version come from the application's header.
void AdoptApplication(EcuModel& model, const AppInfo& app);

// password.cpp: the login keys carry the password's characters in either layout.
bool KeysMatch(const EcuModel& model, std::span<const std::uint8_t> keys);

// tuning.cpp: a row of a map under tuning (value block 3,7,row,matrix or 3,8,row,0); false for another.
bool WriteTunedRow(EcuModel& model, std::uint8_t which, std::uint8_t row, std::uint8_t matrix,
                   std::span<const std::uint8_t> cells);

// areas.cpp: the bytes of a data area as the ECU serves them (empty for an unknown area).
std::span<std::uint8_t> AreaBytes(EcuModel& model, std::uint16_t area);

} // namespace ecusim
