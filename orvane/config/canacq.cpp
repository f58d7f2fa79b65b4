#include "orvane/config/config.h"

#include "orvane/core/connect.h"
#include "orvane/core/ecudata.h"
#include "orvane/core/page.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <bitset>
#include <cstdint>

int hCaqPanel = 0;

namespace {

// A frame word: identifier in bits 0-10, rate code in bits 11-15 (0 = off).
constexpr std::uint16_t kIdMask = 0x07FF;
constexpr int kRateShift = 11;

} // namespace

void InitCaqData() {
    for (std::size_t i = 0; i < std::size(ecuParData.canFrames); ++i)
        ecuParData.canFrames[i] = static_cast<std::uint16_t>(0x200 + 4 * i);
}

bool InitCaqPanel(int parent) {
    if (!LoadPage(parent, CANACQ::id, hCaqPanel)) return false;
    InitCaqData();
    return true;
}

bool ScatterCaqPanel() {
    return true;
}
bool GatherCaqPanel() {
    return true;
}
bool CaqTimer() {
    return Ping();
}

bool CheckCaqDuplicates() {
    std::bitset<kIdMask + 1> seen;
    for (std::uint16_t word : ecuParData.canFrames) {
        if ((word >> kRateShift) == 0) continue;
        const std::uint16_t id = word & kIdMask;
        if (seen[id]) return false;
        seen[id] = true;
    }
    return true;
}

bool IgnoreCaqWarning() {
    return CheckCaqDuplicates() ||
           ConfirmPopup("Warning!", "Active CAN-frames with duplicate IDs.\nIgnore?") != 0;
}
