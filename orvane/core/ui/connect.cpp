#include "orvane/core/ui/connect.h"

#include "orvane/core/logic/com.h"
#include "orvane/core/logic/dataheader.h"
#include "orvane/core/logic/ecucmds.h"
#include "orvane/core/logic/images.h"
#include "orvane/core/ui/comport.h"
#include "orvane/core/ui/maintimer.h"
#include "orvane/core/ui/mainwin.h"
#include "orvane/core/ui/pageregistry.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

#include <array>
#include <cstdio>
#include <cstring>

std::uint8_t aProtectKeys[2 * kPasswordLength] = {};
std::uint8_t fEcuProtected = 0;
std::uint8_t fwVariant = 0;
char ecuVersionText[256] = "";

namespace {

constexpr double kPingWait = 0.5; // seconds the ECU has to answer a Ping

// Ping reply: protocol version (big-endian), firmware name (zero-padded), variant, flags.
constexpr std::uint8_t kFlagProtected = 0x80;
constexpr std::uint8_t kFlagTuning = 0x40;
constexpr std::uint8_t kFlagAuto = 0x20;

// Firmware variants 1 to 3 are not served by this program.
bool IsForeignVariant(std::uint8_t variant) {
    return variant >= 1 && variant <= 3;
}

bool IsDataNameKind(std::uint8_t kind) {
    return kind == NAME_PAR || kind == NAME_MAP_SLOT1 || kind == NAME_MAP_SLOT2 || kind == NAME_MAP_TUNING;
}

} // namespace

void SetProtectKeys(std::span<const std::uint8_t, kPasswordLength> keys, bool fromLogo) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        aProtectKeys[2 * i] = fromLogo ? 0 : keys[i];
        aProtectKeys[2 * i + 1] = fromLogo ? keys[i] : 0;
    }
}

void ClearProtectKeys() {
    std::memset(aProtectKeys, 0, sizeof aProtectKeys);
}

void SetEcuProtected(bool locked) {
    fEcuProtected = locked ? 1 : 0;
}

bool Ping() {
    if (!isComOpen) {
        fEcuProtected = 0;
        return true;
    }
    if (!TxCommand(CMD_PING, aProtectKeys, sizeof aProtectKeys)) return false;
    std::array<std::uint8_t, kPingReplySize> reply{};
    std::uint8_t len = 0;
    if (PollResponse(CMD_PING, reply.data(), kPingReplySize, &len, kPingWait) != 0 || len != kPingReplySize)
        return false;
    if (((reply[0] << 8) | reply[1]) != appVer * 256 + appSub) return false;
    const char* name = reinterpret_cast<const char*>(&reply[2]);
    if (strnlen(name, kFwNameSize) == kFwNameSize || std::strcmp(name, appFwName) != 0) return false;
    fwVariant = reply[10];
    if (IsForeignVariant(fwVariant)) return false;
    const std::uint8_t flags = reply[11];
    fEcuProtected = (flags & kFlagProtected) != 0;
    TellPingFlags(fEcuProtected, (flags & kFlagTuning) != 0, (flags & kFlagAuto) != 0);
    return true;
}

bool ReadEcuVersion() {
    std::array<std::uint8_t, kMaxFrameData> text{};
    std::uint8_t len = 0;
    const bool ok =
        TxCommand(CMD_VERSION, nullptr, 0) && RxResponse(CMD_VERSION, text.data(), kMaxFrameData, &len) == 0;
    if (ok) {
        std::memcpy(ecuVersionText, text.data(), len);
        ecuVersionText[len] = '\0';
    }
    SetCtrlVal(hMainPanel, MAIN::TMversion, ok ? ecuVersionText : ">Connection?<");
    return ok;
}

bool GetEcuDataName(char* buf, std::size_t size, std::uint8_t kind) {
    if (!IsDataNameKind(kind) || size == 0) return false;
    std::array<std::uint8_t, kMaxFrameData> reply{};
    std::uint8_t len = 0;
    // The ECU is asked twice and only its second answer counts; the first exchange may fail freely.
    TxCommand(CMD_DATA_NAME, &kind, 1);
    RxResponse(CMD_DATA_NAME, reply.data(), kMaxFrameData, &len);
    buf[0] = '\0';
    if (!TxCommand(CMD_DATA_NAME, &kind, 1)) return false;
    if (RxResponse(CMD_DATA_NAME, reply.data(), kMaxFrameData, &len) != 0) return false;
    std::snprintf(buf, size, "%s%.*s", kind == NAME_MAP_TUNING ? "*" : "", static_cast<int>(len),
                  reinterpret_cast<const char*>(reply.data()));
    return true;
}

int CommOnOff(int, int, int event, void*, int, int) {
    if (CheckfBusy() || event != EVENT_COMMIT) return 0;
    GatherAllPanels();
    if (isComOpen) {
        if (MayRunCommand()) CloseComPort();
        return 0;
    }
    OpenComPort();
    if (!ReadEcuVersion()) {
        CloseComPort();
        return 0;
    }
    if (!Ping()) {
        CloseComPort();
        char text[sizeof ecuVersionText + 80];
        std::snprintf(text, sizeof text,
                      "The ECU firmware version (%s%s)\nis incompatible with this monitor.", ecuVersionText,
                      fwVariant == 3 ? " - KQ9" : "");
        MessagePopup("Failure ECU connect", text);
        return 0;
    }
    if (IsEcuTuning()) {
        char name[256];
        if (GetEcuDataName(name, sizeof name, NAME_MAP_TUNING)) {
            ShowConfigName(name, kMapKind);
        } else {
            CloseComPort();
        }
    }
    return 0;
}
