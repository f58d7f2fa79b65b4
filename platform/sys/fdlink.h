// A byte link over a file descriptor (a terminal or a connected stream socket). Not a public header:
// comlink.cpp and socketlink.cpp build on it.
#pragma once

#include "platform/sys/bytelink.h"

class FdLink final : public ByteLink {
  public:
    enum class Kind { Terminal, Socket };
    // Takes ownership of fd (non-blocking); closes it when destroyed.
    FdLink(int fd, Kind kind, int timeoutMs);
    ~FdLink() override;
    FdLink(const FdLink&) = delete;
    FdLink& operator=(const FdLink&) = delete;

    int Write(std::span<const std::uint8_t> data) override;
    int Read(std::span<std::uint8_t> data) override;
    bool PurgeRx() override;
    bool PurgeTx() override;

  private:
    // Waits until fd is ready for events or the deadline (ms of the monotonic clock) has passed.
    // 1 ready, 0 the deadline passed, -1 the device hung up or failed.
    int WaitReady(short events, long long deadlineMs) const;

    int fd_;
    Kind kind_;
    int timeoutMs_;
};

long long MonotonicMs();
