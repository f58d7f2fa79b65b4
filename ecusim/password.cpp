// The password lock: command 0x02 sets a new password (and, as the program warns its user, erases the
// stored data sets), and a Ping whose keys match the password unlocks the ECU.
#include "ecusim/commands.h"

#include <algorithm>

namespace ecusim {

namespace {

// The key of a password character: the character rotated left by one bit.
std::uint8_t KeyOf(std::uint8_t c) {
    return static_cast<std::uint8_t>(c << 1 | c >> 7);
}

// Keys in one layout: the key of character i at [2i + keyAt], zero at the other byte of the pair.
bool KeysMatchLayout(const EcuModel& model, std::span<const std::uint8_t> keys, std::size_t keyAt) {
    for (std::size_t i = 0; i < kPasswordSize; ++i) {
        if (keys[2 * i + keyAt] != KeyOf(model.password[i]) || keys[2 * i + (1 - keyAt)] != 0) return false;
    }
    return true;
}

} // namespace

bool KeysMatch(const EcuModel& model, std::span<const std::uint8_t> keys) {
    return keys.size() == kKeysSize && (KeysMatchLayout(model, keys, 0) || KeysMatchLayout(model, keys, 1));
}

Reply SetPassword(EcuModel& model, std::span<const std::uint8_t> request) {
    if (request.size() != kPasswordSize) return std::nullopt;
    std::copy(request.begin(), request.end(), model.password.begin());
    model.unlocked = false;
    ResetStores(model);
    return std::vector<std::uint8_t>{};
}

} // namespace ecusim
