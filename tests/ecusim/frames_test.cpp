// The simulated ECU reads frames however the bytes are chunked, and skips what is not a good frame.
#include "simclient.h"

#include <gtest/gtest.h>

using ecusim::EncodeFrame;
using Bytes = std::vector<std::uint8_t>;

TEST(SimFrames, EncodesStartLengthCommandDataAndSum) {
    EXPECT_EQ(EncodeFrame(0x01, {}), (Bytes{0x55, 0x00, 0x01, 0x01}));
    const Bytes data{0xFF, 0x02};
    EXPECT_EQ(EncodeFrame(0x0E, data), (Bytes{0x55, 0x02, 0x0E, 0xFF, 0x02, 0x11}));
}

TEST(SimFrames, AnswersOnceWhateverTheChunking) {
    const Bytes keys(30, 0);
    const Bytes request = EncodeFrame(0x03, keys);
    for (std::size_t chunk = 1; chunk <= request.size(); ++chunk) {
        ecusim::EcuSim sim;
        Bytes replies;
        for (std::size_t at = 0; at < request.size(); at += chunk) {
            EXPECT_TRUE(replies.empty()) << "answered before the frame was complete, chunk " << chunk;
            const std::size_t n = std::min(chunk, request.size() - at);
            const Bytes out = sim.Feed(std::span(request).subspan(at, n));
            replies.insert(replies.end(), out.begin(), out.end());
        }
        EXPECT_EQ(replies.size(), 12u + 4u) << "chunk " << chunk;
    }
}

TEST(SimFrames, SkipsNoiseAndCorruptFramesAndAnswersTheRest) {
    ecusim::EcuSim sim;
    Bytes stream{0x00, 0xAA}; // noise before a start byte
    Bytes corrupt = EncodeFrame(0x01, {});
    corrupt.back() ^= 0xFF; // wrong sum: no answer
    stream.insert(stream.end(), corrupt.begin(), corrupt.end());
    const Bytes name = EncodeFrame(0x0E, Bytes{0});
    stream.insert(stream.end(), name.begin(), name.end());
    stream.insert(stream.end(), name.begin(), name.end()); // two requests in one chunk: two answers

    ecusim::FrameParser replies;
    replies.Push(sim.Feed(stream));
    for (int i = 0; i < 2; ++i) {
        const auto reply = replies.Next();
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->cmd, 0x0E);
    }
    EXPECT_FALSE(replies.Next());
}
