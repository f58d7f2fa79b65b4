#include "orvane/params/resets.h"

#include "orvane/core/logic/com.h"

#include <initializer_list>

namespace {

// One frame out and one read of its empty reply: a reply that has not arrived by then is a failure.
bool ResetExchange(std::uint8_t cmd, const std::uint8_t* data, std::uint8_t len) {
    if (!TxCommand(cmd, data, len)) return false;
    std::uint8_t got = 0xFF;
    return RxResponse(cmd, nullptr, 0, &got) == 0 && got == 0;
}

} // namespace

bool SendCocReset() {
    if (isComOpen == 0) return true;
    for (const std::uint8_t which : {1, 2})
        if (!ResetExchange(CMD_COC_RESET, &which, 1)) return false;
    return true;
}

bool SendNscReset() {
    if (isComOpen == 0) return true;
    return ResetExchange(CMD_NSC_RESET, nullptr, 0);
}
