// The link's frame reader fed whatever an ECU (or line noise) might send: the first byte picks the command
// waited for and the buffer size offered, the rest arrives on the link in chunks of the sizes asked for.
#include "fuzz/replaylink.h"
#include "orvane/core/logic/com.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ReplayReplies<kMaxFrameData>(data, size, RxResponse);
}
