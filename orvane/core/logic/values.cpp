#include "orvane/core/logic/values.h"

#include "orvane/core/logic/com.h"

#include <algorithm>
#include <array>

namespace {

using Frame = std::array<std::uint8_t, kMaxFrameData>;

bool EchoesSelector(const Frame& reply, const Frame& request) {
    return std::equal(reply.begin(), reply.begin() + 4, request.begin());
}

} // namespace

bool DoGetValues(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                 std::span<std::uint8_t> dst) {
    if (isComOpen == 0 || dst.size() > kMaxValueBlock) return false;
    const Frame request{a, b, c, d};
    if (!TxCommand(CMD_GET_VALUES, request.data(), 4)) return false;
    Frame reply{};
    const auto expected = static_cast<std::uint8_t>(4 + dst.size());
    std::uint8_t len = 0;
    if (RxResponse(CMD_GET_VALUES, reply.data(), expected, &len) != 0 || len != expected) return false;
    if (!EchoesSelector(reply, request)) return false;
    std::copy_n(reply.begin() + 4, dst.size(), dst.begin());
    return true;
}

bool DoSendValues(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d,
                  std::span<const std::uint8_t> src) {
    if (isComOpen == 0 || src.size() > kMaxValueBlock) return false;
    Frame request{a, b, c, d};
    std::copy(src.begin(), src.end(), request.begin() + 4);
    if (!TxCommand(CMD_SET_VALUES, request.data(), static_cast<std::uint8_t>(4 + src.size()))) return false;
    Frame reply{};
    std::uint8_t len = 0;
    return RxResponse(CMD_SET_VALUES, reply.data(), 4, &len) == 0 && len == 4 &&
           EchoesSelector(reply, request);
}
