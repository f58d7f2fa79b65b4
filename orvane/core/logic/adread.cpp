#include "orvane/core/logic/adread.h"

#include "orvane/core/logic/com.h"

#include <algorithm>

bool ReadAdSample(std::uint8_t channel, std::uint16_t& sample) {
    std::uint8_t reply[2] = {};
    std::uint8_t len = 0;
    const bool sent = TxCommand(CMD_READ_AD, &channel, 1);
    // The reply is read even when the send failed: a reply to an earlier request must not be left for the
    // next exchange to mistake for its own.
    const int got = RxResponse(CMD_READ_AD, reply, sizeof reply, &len);
    if (!sent || got != 0 || len != sizeof reply) return false;
    sample = static_cast<std::uint16_t>(reply[0] << 8 | reply[1]);
    return true;
}

bool ReadAdAveraged(std::uint8_t channel, int& reading) {
    std::uint32_t sum = 0;
    for (int i = 0; i < kAdSamples; ++i) {
        std::uint16_t sample = 0;
        if (!ReadAdSample(channel, sample)) return false;
        sum += sample;
    }
    reading = static_cast<int>(std::min<std::uint32_t>((sum + kAdSamples / 2) / kAdSamples, kMaxAdReading));
    return true;
}
