// A raw byte link to the ECU: the USB adapter (libftdi1), a COM port (termios), or a listening simulator
// on a Unix socket in place of the adapter. Reads block until the asked count arrived or the time-out ran
// out; they return the count read (0 = nothing arrived) or a negative error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

class ByteLink {
  public:
    virtual ~ByteLink() = default;
    // Bytes written, or negative on error.
    virtual int Write(std::span<const std::uint8_t> data) = 0;
    virtual int Read(std::span<std::uint8_t> data) = 0;
    // Discards bytes received but not yet read.
    virtual bool PurgeRx() = 0;
    // Discards bytes queued for sending.
    virtual bool PurgeTx() = 0;
};
