// Kestil's boot-loader frame reader fed whatever a boot loader (or line noise) might send: the first byte
// picks the command waited for, the second the buffer size offered, the rest arrives on the link in
// chunks of the sizes asked for.
#include "fuzz/replaylink.h"
#include "kestil/bload.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ReplayReplies<kBloadMaxData>(data, size, RxResponse);
}
