#include "orvane/core/logic/com.h"

#include "platform/sys/bytelink.h"

#include <algorithm>
#include <array>

namespace {

// One buffer for the frame being sent and the frame being received: one exchange runs at a time.
std::array<std::uint8_t, kMaxFrameData + kFrameOverhead + 1> frameBuffer;

} // namespace

bool TxCommand(std::uint8_t cmd, const std::uint8_t* data, std::uint8_t len) {
    if (len > 0 && data == nullptr) return false;
    ByteLink* comLink = ComLink();
    if (comLink == nullptr) return false;
    frameBuffer[0] = kFrameStart;
    frameBuffer[1] = len;
    frameBuffer[2] = cmd;
    std::uint8_t sum = static_cast<std::uint8_t>(len + cmd);
    for (int i = 0; i < len; ++i) {
        frameBuffer[3 + i] = data[i];
        sum = static_cast<std::uint8_t>(sum + data[i]);
    }
    frameBuffer[3 + len] = sum;
    // Whatever is still queued from an earlier exchange that gave up (a late reply, a stray byte) goes,
    // so that it cannot be taken for the reply to this command.
    if (!comLink->PurgeTx() || !comLink->PurgeRx()) return false;
    const int size = len + kFrameOverhead;
    return comLink->Write(std::span(frameBuffer.data(), static_cast<std::size_t>(size))) == size;
}

// The checks run in a fixed order that callers rely on: a frame too long for the caller is left unread
// after its header, and outLen is set before the command code is compared.
int RxResponse(std::uint8_t cmd, std::uint8_t* buf, std::uint8_t maxLen, std::uint8_t* outLen) {
    if (maxLen > 0 && buf == nullptr) return -1;
    ByteLink* comLink = ComLink();
    if (comLink == nullptr) return -1;
    int count = comLink->Read(std::span(frameBuffer.data(), 3));
    if (count == 0) return 1;
    if (count != 3) return -1;
    if (frameBuffer[0] != kFrameStart) return -1;
    const std::uint8_t len = frameBuffer[1];
    if (len > maxLen) return -1;
    if (outLen != nullptr) *outLen = len;
    if (frameBuffer[2] != cmd) return -1;
    count = comLink->Read(std::span(frameBuffer.data(), static_cast<std::size_t>(len) + 1));
    if (count == 0) return 1;
    if (count != len + 1) return -1;
    std::uint8_t sum = static_cast<std::uint8_t>(len + cmd);
    for (int i = 0; i < len; ++i)
        sum = static_cast<std::uint8_t>(sum + frameBuffer[i]);
    if (sum != frameBuffer[len]) return -1;
    // Callers receive live and diagnostic records in place: only a frame whose sum is right reaches them.
    std::copy_n(frameBuffer.begin(), len, buf);
    return 0;
}

int PollResponse(std::uint8_t cmd, std::uint8_t* buf, std::uint8_t maxLen, std::uint8_t* outLen,
                 double limit) {
    return PollReply([&] { return RxResponse(cmd, buf, maxLen, outLen); }, limit);
}
