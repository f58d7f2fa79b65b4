#include "kestil/bload.h"

#include "platform/sys/bytelink.h"
#include "shared/portlink.h"

#include <algorithm>
#include <array>
#include <span>

const char chrSOM = 'j';
std::uint16_t sysType = 0;
bool fOldBload = false;

namespace {

// One buffer for the frame being sent and the frame being received: one exchange runs at a time.
std::array<std::uint8_t, kBloadHeader + kBloadMaxData> frameBuffer;

bool fPingOld = true; // the form of the next ping

std::uint8_t FrameSum(std::uint8_t cmd, std::uint8_t len, std::span<const std::uint8_t> data) {
    std::uint8_t sum = static_cast<std::uint8_t>(cmd + len);
    for (std::uint8_t b : data)
        sum = static_cast<std::uint8_t>(sum + b);
    return sum;
}

// Polls for the empty reply to cmd after the frame went out.
bool WaitEmptyReply(std::uint8_t cmd, double limit) {
    std::uint8_t len = 0;
    return PollReply([&] { return RxResponse(cmd, nullptr, 0, &len); }, limit) == 0;
}

} // namespace

bool TxCommand(std::uint8_t cmd, const std::uint8_t* data, std::uint8_t len) {
    if (len > 0 && data == nullptr) return false;
    ByteLink* link = ComLink();
    if (link == nullptr) return false;
    const std::span<const std::uint8_t> payload(data, len);
    frameBuffer[0] = kBloadStart;
    frameBuffer[1] = FrameSum(cmd, len, payload);
    frameBuffer[2] = cmd;
    frameBuffer[3] = len;
    std::ranges::copy(payload, frameBuffer.begin() + kBloadHeader);
    // A late reply to an earlier request must not be taken for the reply to this one.
    if (!link->PurgeRx()) return false;
    return link->Write(std::span(frameBuffer.data(), kBloadHeader + std::size_t{len})) >= 0;
}

int RxResponse(std::uint8_t cmd, std::uint8_t* buf, std::uint8_t maxLen, std::uint8_t* outLen) {
    if (maxLen > 0 && buf == nullptr) return -1;
    ByteLink* link = ComLink();
    if (link == nullptr) return -1;
    int count = link->Read(std::span(frameBuffer.data(), kBloadHeader));
    if (count == 0) return 1;
    if (count != kBloadHeader) return -1;
    if (frameBuffer[0] != kBloadStart || frameBuffer[2] != cmd) return -1;
    const std::uint8_t len = frameBuffer[3];
    if (len > maxLen) return -1;
    if (outLen != nullptr) *outLen = len;
    const std::span<std::uint8_t> data(frameBuffer.data() + kBloadHeader, len);
    if (len > 0 && link->Read(data) != len) return -1;
    if (FrameSum(cmd, len, data) != frameBuffer[1]) return -1;
    // The caller's buffer sees only a frame whose checksum is right.
    std::ranges::copy(data, buf);
    return 0;
}

bool Ping() {
    static constexpr std::uint8_t kNewForm[] = {0x00, 0x01};
    const bool sent = fPingOld ? TxCommand(BL_PING, nullptr, 0) : TxCommand(BL_PING, kNewForm, 2);
    std::uint8_t len = 0;
    if (sent && RxResponse(BL_PING, nullptr, 0, &len) == 0) {
        fOldBload = fPingOld;
        return true;
    }
    fPingOld = !fPingOld;
    return false;
}

void ResetPingForm() {
    fPingOld = true;
}

bool EraseArea(std::uint8_t area) {
    const bool known = (sysType == kSysType5534 && ((area >= 2 && area <= 12) || area == 14 || area == 15)) ||
                       (sysType == kSysType5600 && area <= 7);
    if (!known) return false;
    return TxCommand(BL_ERASE, &area, 1) && WaitEmptyReply(BL_ERASE, kEraseWait);
}

bool SendAndWait(std::uint8_t cmd, const std::uint8_t* data, std::uint8_t len) {
    return TxCommand(cmd, data, len) && WaitEmptyReply(cmd, kBlockWait);
}

bool CheckBloadInfo() {
    const std::uint8_t subId = 1;
    std::array<std::uint8_t, kBloadMaxData> reply{};
    std::uint8_t len = 0;
    if (!TxCommand(BL_GET_INFO, &subId, 1) || RxResponse(BL_GET_INFO, reply.data(), kBloadMaxData, &len) != 0)
        return false;
    sysType = len == 2 ? static_cast<std::uint16_t>(reply[0] << 8 | reply[1]) : 0;
    if (sysType == kSysType5600 || sysType == kSysType5534) return true;
    sysType = 0;
    return false;
}
